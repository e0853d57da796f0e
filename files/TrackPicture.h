#pragma once

#include "files/Metafile.h"
#include "race/ColorValue.h"
#include "race/TrackRaster.h"

#include <QColor>
#include <QtGlobal>

#include <optional>

// The largest track raster made: 40 million pixels, 160 MiB. A track file may name sizes up to
// 2147483647 × 2147483647; anything above this limit is refused as a damaged file instead of being
// allowed to exhaust the memory.
inline constexpr qint64 MaxTrackPixels = 40'000'000;

inline QColor toQColor(ColorValue value)
{
    return QColor::fromRgb(toQRgb(value));
}

// Whether a track of this size can be rasterized.
bool trackSizeFitsRaster(qint32 width, qint32 height);

// The picture stretched onto width × height track units, one pixel each, on the background colour.
// Nothing when the size is above the limit, the memory for it cannot be had, or the picture asks
// for more drawing work than the player's limits allow.
std::optional<TrackRaster> rasterizeTrackPicture(const Metafile& picture, qint32 width, qint32 height, ColorValue background);
