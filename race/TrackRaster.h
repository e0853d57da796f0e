#pragma once

#include "race/ColorValue.h"

#include <QImage>
#include <QtEndian>
#include <QtGlobal>

#include <cstring>
#include <utility>

// The track picture at one pixel per track unit: the one raster that every colour test of the race
// reads. Outside the track it reads as the track's background colour.
//
// The pixels are kept as the painter draws them, 0xFFRRGGBB words; a colour test is one load and a
// byte swap into the colour value's order (red in the low byte).
class TrackRaster {
public:
    TrackRaster() = default;
    TrackRaster(const QImage& image, ColorValue background)
        : image_(image.convertToFormat(QImage::Format_RGB32)), background_(background)
    {
        bits_ = image_.constBits();
        stride_ = image_.bytesPerLine();
        width_ = image_.width();
        height_ = image_.height();
    }
    TrackRaster(const TrackRaster& other) : TrackRaster(other.image_, other.background_) {}
    TrackRaster& operator=(const TrackRaster& other)
    {
        TrackRaster copy(other);
        swap(copy);
        return *this;
    }
    TrackRaster(TrackRaster&& other) noexcept { swap(other); }
    TrackRaster& operator=(TrackRaster&& other) noexcept
    {
        swap(other);
        return *this;
    }

    bool isNull() const { return image_.isNull(); }
    int width() const { return image_.width(); }
    int height() const { return image_.height(); }
    const QImage& image() const { return image_; }
    ColorValue background() const { return background_; }

    // The colour of the pixel at whole coordinates (x, y).
    ColorValue colorAt(qint64 x, qint64 y) const
    {
        if (x < 0 || y < 0 || x >= width_ || y >= height_)
            return background_;
        quint32 pixel;
        std::memcpy(&pixel, bits_ + y * stride_ + 4 * x, sizeof pixel);
        return qbswap(pixel) >> 8;
    }

private:
    void swap(TrackRaster& other) noexcept
    {
        std::swap(image_, other.image_);
        std::swap(background_, other.background_);
        std::swap(bits_, other.bits_);
        std::swap(stride_, other.stride_);
        std::swap(width_, other.width_);
        std::swap(height_, other.height_);
    }

    QImage image_;
    ColorValue background_ = 0;
    const uchar* bits_ = nullptr;
    qsizetype stride_ = 0;
    qint64 width_ = 0;   // the image's, kept for the colour tests
    qint64 height_ = 0;
};
