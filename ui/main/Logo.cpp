#include "ui/main/Logo.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>

QPixmap loadLogo(const QString& programDirectory)
{
    for (const char* name : {"Logo.bmp", "Logo.jpg", "Logo.gif"}) {
        const QString path = QDir(programDirectory).filePath(QString::fromLatin1(name));
        if (!QFileInfo(path).isFile())
            continue;
        // A damaged or absurdly large picture is passed over; the reader refuses to allocate
        // more than its limit.
        QImageReader reader(path);
        const QImage image = reader.read();
        if (!image.isNull())
            return QPixmap::fromImage(image);
    }
    return {};
}

LogoPlacement placeLogo(QSize inner, QSize picture)
{
    LogoPlacement placement;
    const double W = inner.width();
    const double H = inner.height();
    const double w = std::max(1, picture.width());
    const double h = std::max(1, picture.height());
    const bool widthLimits = W / w < H / h;
    const double ratio = widthLimits ? W / w : H / h;
    if (ratio < 1) {
        placement.stretched = true;
        if (widthLimits) {
            const int height = static_cast<int>(h * W / w);
            placement.geometry = QRect(0, static_cast<int>((H - height) / 2), static_cast<int>(W), height);
        } else {
            const int width = static_cast<int>(w * H / h);
            placement.geometry = QRect(static_cast<int>((W - width) / 2), 0, width, static_cast<int>(H));
        }
    } else {
        placement.geometry = QRect(static_cast<int>((W - w) / 2), static_cast<int>((H - h) / 2),
                                   static_cast<int>(w), static_cast<int>(h));
    }
    return placement;
}
