#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QRgb>
#include <QtGlobal>

#include <optional>
#include <vector>

// Bitmaps inside metafile records: device-independent bitmaps (a BITMAPINFOHEADER or
// BITMAPCOREHEADER, its colour table and its pixels, packed) and the old device-dependent bitmaps.

// The most pixels one bitmap is decoded to (256 MiB as RGB32); a larger one is skipped.
inline constexpr qint64 MaxBitmapPixels = 64 * 1024 * 1024;
// The most bitmap pixels one picture decodes, over all its bitmaps: a few of the largest. A
// run-length bitmap names its size in a few bytes, so the size of the file alone does not bound them.
inline constexpr qint64 MaxPictureBitmapPixels = 4 * MaxBitmapPixels;

// How a DIB's colour table is read.
enum class DibColorUsage : quint16 {
    RgbColors = 0,      // blue, green, red, reserved bytes
    PaletteColors = 1,  // 16-bit indices into the selected palette
    PaletteIndices = 2, // no table: the pixel values are palette indices
};

struct DecodedDib {
    QImage image;           // Format_RGB32, rows top-down
    bool bottomUp = false;  // the file stores the last row first (a positive height)
};

// 1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed (with bit fields for 16 and 32), RLE8 and RLE4.
// The alpha byte of 32-bit pixels is ignored, as the blit records ignore it. A colour index past the
// table is black. Nothing for a truncated bitmap, an unknown format or more than maxPixels pixels.
std::optional<DecodedDib> decodeDib(QByteArrayView bytes, DibColorUsage usage, const std::vector<QRgb>* palette,
                                    qint64 maxPixels = MaxBitmapPixels);

// The width and height a packed DIB names, or nothing when its header cannot be read.
std::optional<QSize> dibSize(QByteArrayView bytes);

// An old device-dependent bitmap (type, width, height, bytes per row, planes, bits per pixel, then
// the rows top-down). Only the device-independent cases are decoded: monochrome (0 pixels take
// zeroColor, 1 pixels oneColor) and 24 or 32 bits per pixel.
std::optional<QImage> decodeBitmap16(QByteArrayView bytes, QRgb zeroColor, QRgb oneColor, qint64 maxPixels = MaxBitmapPixels);

// A monochrome pattern from the old pattern-brush record's bits: width × height pixels, rows of
// bytesPerRow bytes, top-down. Format_Mono; index 0 is a 0 bit.
std::optional<QImage> decodeMonochromeRows(QByteArrayView bits, int width, int height, int bytesPerRow);
