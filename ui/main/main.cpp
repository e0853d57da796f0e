// Starts the game: the main window does the whole start-up when it is built.
#include "race/RaceState.h"
#include "shell/DataFolder.h"
#include "ui/main/MainWindow.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Trasovky"));
    RaceState state;
    MainWindowServices services;
    // The executable's own folder, links resolved: bin/trasovky of an installation links to it.
    services.programDirectory = QCoreApplication::applicationDirPath();
    services.dataDirectory = PrepareDataDirectory(services.programDirectory);
    MainWindow window(state, services);
    window.show();
    return QApplication::exec();
}
