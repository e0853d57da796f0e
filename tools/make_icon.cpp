// make_icon ICON.xpm SIZE OUT.png
//
// Writes the game's icon for the desktop's menus: the window icon of resources/trasovky.xpm
// enlarged to SIZE × SIZE pixels by whole pixels, so its squares stay sharp. SIZE must be a
// whole multiple of the picture's size. The file is written under a temporary name and renamed
// into place once it is whole. Exit 0 when written, 1 when it cannot be, 2 on wrong usage.

#include "tools/PictureTool.h"

#include <QGuiApplication>
#include <QImage>
#include <QString>
#include <QTextStream>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    bool sizeRead = false;
    const int size = argc == 4 ? QString::fromLocal8Bit(argv[2]).toInt(&sizeRead) : 0;
    if (!sizeRead || size <= 0 || size > 1024) {
        err << "usage: make_icon ICON.xpm SIZE OUT.png\n";
        return 2;
    }
    const QString source = QString::fromLocal8Bit(argv[1]);
    const QString target = QString::fromLocal8Bit(argv[3]);
    const QImage icon(source, "XPM");
    if (icon.isNull() || icon.width() != icon.height() || size % icon.width() != 0) {
        err << "make_icon: " << source << " is no square picture that " << size << " pixels are a multiple of\n";
        return 1;
    }
    const QImage enlarged = icon.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return writePicture(enlarged, target, "PNG", "make_icon");
}
