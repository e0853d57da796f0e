// Starts the game: the main window does the whole start-up when it is built.
#include "race/RaceState.h"
#include "ui/main/MainWindow.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Trasovky"));
    RaceState state;
    MainWindowServices services;
    services.programDirectory = QCoreApplication::applicationDirPath();
    MainWindow window(state, services);
    window.show();
    return QApplication::exec();
}
