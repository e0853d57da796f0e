// Plays the input as a track picture: read as a metafile the way a track's .wmf is read, then
// rasterized onto a small track as the race does, and drawn once more in part, enlarged, as the
// track view draws a zoomed-in window onto the picture.
#include "files/Metafile.h"
#include "files/TrackPicture.h"
#include "fuzz/FuzzSupport.h"

#include <QImage>
#include <QPainter>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    startHeadlessApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::optional<Metafile> picture = Metafile::fromBytes(inputBytes(data, size));
    if (!picture)
        return 0;
    FUZZ_CHECK(!picture->frame().isEmpty());

    const ColorValue background = colorValue(0, 128, 0);
    const std::optional<TrackRaster> raster = rasterizeTrackPicture(*picture, 64, 48, background);
    FUZZ_CHECK(raster.has_value());

    QImage view(40, 30, QImage::Format_RGB32);
    view.fill(Qt::white);
    QPainter painter(&view);
    painter.translate(-150, -90);
    picture->play(painter, QRectF(0, 0, 640, 480));
    return 0;
}
