#include "tools/PictureTool.h"

#include <QGuiApplication>
#include <QSaveFile>
#include <QString>
#include <QTextStream>

int runPictureTool(int argc, char** argv, const char* toolName, const std::function<QImage()>& draw)
{
    // A GUI application only so that fonts can be used; run with QT_QPA_PLATFORM=offscreen.
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QString tool = QString::fromLatin1(toolName);
    if (argc != 2) {
        err << "usage: " << tool << " OUT.bmp\n";
        return 2;
    }
    return writePicture(draw(), QString::fromLocal8Bit(argv[1]), "BMP", toolName);
}

int writePicture(const QImage& image, const QString& target, const char* format, const char* toolName)
{
    QTextStream err(stderr);
    const QString tool = QString::fromLatin1(toolName);
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly)) {
        err << tool << ": cannot create " << target << ": " << file.errorString() << '\n';
        return 1;
    }
    if (!image.save(&file, format)) {
        err << tool << ": cannot write " << target << '\n';
        file.cancelWriting();
        return 1;
    }
    if (!file.commit()) {
        err << tool << ": cannot save " << target << ": " << file.errorString() << '\n';
        return 1;
    }
    return 0;
}
