#include "files/TrackPicture.h"

#include <QImage>
#include <QPainter>

bool trackSizeFitsRaster(qint32 width, qint32 height)
{
    return width >= 1 && height >= 1 && static_cast<qint64>(width) * height <= MaxTrackPixels;
}

std::optional<TrackRaster> rasterizeTrackPicture(const Metafile& picture, qint32 width, qint32 height, ColorValue background)
{
    if (!trackSizeFitsRaster(width, height))
        return std::nullopt;
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return std::nullopt;
    image.fill(toQColor(background));
    {
        // A picture that a work limit stopped is only part of the track: its barrier may be
        // missing, so it is refused like any other damaged picture.
        QPainter painter(&image);
        if (!picture.play(painter, QRectF(0, 0, width, height)))
            return std::nullopt;
    }
    return TrackRaster(std::move(image), background);
}
