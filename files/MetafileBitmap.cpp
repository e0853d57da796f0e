#include "files/MetafileBitmap.h"

#include <QSize>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>

namespace {

enum Compression : quint32 { Rgb = 0, Rle8 = 1, Rle4 = 2, BitFields = 3 };

constexpr qsizetype CoreHeaderBytes = 12;
constexpr qsizetype InfoHeaderBytes = 40;

quint32 u32At(QByteArrayView bytes, qsizetype offset)
{
    const auto* p = reinterpret_cast<const uchar*>(bytes.data()) + offset;
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<quint32>(p[3]) << 24);
}

quint16 u16At(QByteArrayView bytes, qsizetype offset)
{
    const auto* p = reinterpret_cast<const uchar*>(bytes.data()) + offset;
    return static_cast<quint16>(p[0] | (p[1] << 8));
}

struct DibHeader {
    qsizetype headerBytes = 0;
    qint64 width = 0;
    qint64 height = 0;  // negative: rows top-down
    int bitsPerPixel = 0;
    quint32 compression = Rgb;
    qint64 colorsUsed = 0;
    std::array<quint32, 3> masks{};  // red, green, blue for bit fields
    bool core = false;
};

std::optional<DibHeader> readHeader(QByteArrayView bytes)
{
    if (bytes.size() < 4)
        return std::nullopt;
    DibHeader header;
    header.headerBytes = u32At(bytes, 0);
    if (header.headerBytes == CoreHeaderBytes) {
        if (bytes.size() < CoreHeaderBytes)
            return std::nullopt;
        header.core = true;
        header.width = u16At(bytes, 4);
        header.height = u16At(bytes, 6);
        header.bitsPerPixel = u16At(bytes, 10);
        return header;
    }
    if (header.headerBytes < InfoHeaderBytes || header.headerBytes > bytes.size())
        return std::nullopt;
    header.width = static_cast<qint32>(u32At(bytes, 4));
    header.height = static_cast<qint32>(u32At(bytes, 8));
    header.bitsPerPixel = u16At(bytes, 14);
    header.compression = u32At(bytes, 16);
    header.colorsUsed = u32At(bytes, 32);
    if (header.compression == BitFields) {
        // The masks follow a plain info header and are part of the longer ones.
        const qsizetype at = InfoHeaderBytes;
        if (bytes.size() < at + 12)
            return std::nullopt;
        header.masks = {u32At(bytes, at), u32At(bytes, at + 4), u32At(bytes, at + 8)};
        if (header.headerBytes == InfoHeaderBytes)
            header.headerBytes += 12;
    }
    return header;
}

// One channel of a bit-field pixel, scaled to 0..255.
class Channel {
public:
    explicit Channel(quint32 mask) : mask_(mask), shift_(mask ? std::countr_zero(mask) : 0), max_(mask ? mask >> shift_ : 0) {}
    int operator()(quint32 pixel) const { return max_ ? static_cast<int>(((pixel & mask_) >> shift_) * 255u / max_) : 0; }

private:
    quint32 mask_;
    int shift_;
    quint32 max_;
};

// Writes decoded pixels into the image, turning the file's row order into top-down.
class RowWriter {
public:
    RowWriter(QImage& image, bool bottomUp) : image_(image), bottomUp_(bottomUp) {}
    QRgb* row(qint64 fileRow) const
    {
        const int y = static_cast<int>(bottomUp_ ? image_.height() - 1 - fileRow : fileRow);
        return reinterpret_cast<QRgb*>(image_.scanLine(y));
    }

private:
    QImage& image_;
    bool bottomUp_;
};

// The run-length encodings: pairs of a count and a value, or an escape (count 0) for the end of a
// row, the end of the bitmap, a jump, or a run of literal values.
bool decodeRunLengths(QByteArrayView data, bool fourBits, const std::vector<QRgb>& colors, QImage& image, bool bottomUp)
{
    const RowWriter rows(image, bottomUp);
    const qint64 width = image.width();
    const qint64 height = image.height();
    const QRgb background = colors.empty() ? qRgb(0, 0, 0) : colors[0];
    image.fill(background);
    const auto color = [&](uint index) { return index < colors.size() ? colors[index] : qRgb(0, 0, 0); };
    qint64 x = 0;
    qint64 y = 0;
    qsizetype at = 0;
    const auto* p = reinterpret_cast<const uchar*>(data.data());
    const auto put = [&](uint index) {
        if (x < width && y < height)
            rows.row(y)[x] = color(index);
        ++x;
    };
    while (at + 2 <= data.size() && y < height) {
        const uint count = p[at];
        const uint value = p[at + 1];
        at += 2;
        if (count > 0) {
            for (uint i = 0; i < count && x < width; ++i)
                put(fourBits ? ((i % 2) ? (value & 0x0F) : (value >> 4)) : value);
            continue;
        }
        if (value == 0) {  // end of row
            x = 0;
            ++y;
        } else if (value == 1) {  // end of bitmap
            return true;
        } else if (value == 2) {  // jump
            if (at + 2 > data.size())
                return true;
            x += p[at];
            y += p[at + 1];
            at += 2;
        } else {  // literal values, padded to a word
            const qsizetype bytes = fourBits ? (value + 1) / 2 : value;
            if (at + bytes > data.size())
                return true;
            for (uint i = 0; i < value; ++i) {
                const uint byte = p[at + (fourBits ? i / 2 : i)];
                put(fourBits ? ((i % 2) ? (byte & 0x0F) : (byte >> 4)) : byte);
            }
            at += bytes + (bytes % 2);
        }
    }
    return true;
}

}  // namespace

std::optional<QSize> dibSize(QByteArrayView bytes)
{
    const std::optional<DibHeader> header = readHeader(bytes);
    if (!header || header->width <= 0 || header->height == 0 || header->width > 0x7FFFFFFF || std::abs(header->height) > 0x7FFFFFFF)
        return std::nullopt;
    return QSize(static_cast<int>(header->width), static_cast<int>(std::abs(header->height)));
}

std::optional<DecodedDib> decodeDib(QByteArrayView bytes, DibColorUsage usage, const std::vector<QRgb>* palette, qint64 maxPixels)
{
    const std::optional<DibHeader> header = readHeader(bytes);
    if (!header)
        return std::nullopt;
    const qint64 width = header->width;
    const qint64 height = std::abs(header->height);
    const int bpp = header->bitsPerPixel;
    if (width <= 0 || height <= 0 || width > maxPixels || height > maxPixels || width * height > maxPixels)
        return std::nullopt;
    const bool indexed = bpp == 1 || bpp == 4 || bpp == 8;
    const bool direct = bpp == 16 || bpp == 24 || bpp == 32;
    if (!indexed && !direct)
        return std::nullopt;
    switch (header->compression) {
    case Rgb:
        break;
    case Rle8:
        if (bpp != 8)
            return std::nullopt;
        break;
    case Rle4:
        if (bpp != 4)
            return std::nullopt;
        break;
    case BitFields:
        if (bpp != 16 && bpp != 32)
            return std::nullopt;
        break;
    default:
        return std::nullopt;  // JPEG and PNG inside a metafile are not decoded
    }

    // The colour table: every entry the header counts, then the pixels.
    const qint64 tableEntries = header->colorsUsed > 0 ? header->colorsUsed : (indexed ? (qint64(1) << bpp) : 0);
    const qsizetype entryBytes = usage == DibColorUsage::PaletteIndices ? 0
                                 : usage == DibColorUsage::PaletteColors ? 2
                                 : header->core ? 3 : 4;
    const qint64 tableBytes = tableEntries * entryBytes;
    if (tableBytes > bytes.size() - header->headerBytes)
        return std::nullopt;
    const auto fromPalette = [palette](qint64 index) {
        return palette && index >= 0 && index < static_cast<qint64>(palette->size()) ? (*palette)[static_cast<size_t>(index)] : qRgb(0, 0, 0);
    };
    std::vector<QRgb> colors;
    if (indexed) {
        const qint64 used = std::min<qint64>(tableEntries, qint64(1) << bpp);
        colors.reserve(static_cast<size_t>(qint64(1) << bpp));
        const qsizetype table = header->headerBytes;
        for (qint64 i = 0; i < (qint64(1) << bpp); ++i) {
            if (usage == DibColorUsage::PaletteIndices) {
                colors.push_back(fromPalette(i));
            } else if (i >= used) {
                colors.push_back(qRgb(0, 0, 0));
            } else if (usage == DibColorUsage::PaletteColors) {
                colors.push_back(fromPalette(u16At(bytes, table + 2 * i)));
            } else {
                const auto* c = reinterpret_cast<const uchar*>(bytes.data()) + table + i * entryBytes;
                colors.push_back(qRgb(c[2], c[1], c[0]));
            }
        }
    }
    const QByteArrayView pixels = bytes.sliced(header->headerBytes + tableBytes);
    const bool bottomUp = header->height > 0;

    const bool runLengths = header->compression == Rle8 || header->compression == Rle4;
    const qint64 stride = (width * bpp + 31) / 32 * 4;
    if (!runLengths && stride * height > pixels.size())
        return std::nullopt;

    DecodedDib result;
    result.bottomUp = bottomUp;
    result.image = QImage(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
    if (result.image.isNull())
        return std::nullopt;

    if (runLengths) {
        decodeRunLengths(pixels, header->compression == Rle4, colors, result.image, bottomUp);
        return result;
    }

    const RowWriter rows(result.image, bottomUp);
    const auto* data = reinterpret_cast<const uchar*>(pixels.data());
    const bool fields = header->compression == BitFields;
    const Channel red(fields ? header->masks[0] : (bpp == 16 ? 0x7C00u : 0xFF0000u));
    const Channel green(fields ? header->masks[1] : (bpp == 16 ? 0x03E0u : 0x00FF00u));
    const Channel blue(fields ? header->masks[2] : (bpp == 16 ? 0x001Fu : 0x0000FFu));
    for (qint64 y = 0; y < height; ++y) {
        const uchar* in = data + y * stride;
        QRgb* out = rows.row(y);
        switch (bpp) {
        case 1:
            for (qint64 x = 0; x < width; ++x)
                out[x] = colors[(in[x / 8] >> (7 - x % 8)) & 1];
            break;
        case 4:
            for (qint64 x = 0; x < width; ++x)
                out[x] = colors[(in[x / 2] >> ((x % 2) ? 0 : 4)) & 0x0F];
            break;
        case 8:
            for (qint64 x = 0; x < width; ++x)
                out[x] = colors[in[x]];
            break;
        case 16:
            for (qint64 x = 0; x < width; ++x) {
                const quint32 v = in[2 * x] | (in[2 * x + 1] << 8);
                out[x] = qRgb(red(v), green(v), blue(v));
            }
            break;
        case 24:
            for (qint64 x = 0; x < width; ++x)
                out[x] = qRgb(in[3 * x + 2], in[3 * x + 1], in[3 * x]);
            break;
        case 32:
            if (!fields) {
                for (qint64 x = 0; x < width; ++x)
                    out[x] = qRgb(in[4 * x + 2], in[4 * x + 1], in[4 * x]);
            } else {
                for (qint64 x = 0; x < width; ++x) {
                    const quint32 v = u32At(QByteArrayView(in + 4 * x, 4), 0);
                    out[x] = qRgb(red(v), green(v), blue(v));
                }
            }
            break;
        }
    }
    return result;
}

std::optional<QImage> decodeBitmap16(QByteArrayView bytes, QRgb zeroColor, QRgb oneColor, qint64 maxPixels)
{
    constexpr qsizetype HeaderBytes = 10;
    if (bytes.size() < HeaderBytes)
        return std::nullopt;
    const qint64 width = static_cast<qint16>(u16At(bytes, 2));
    const qint64 height = static_cast<qint16>(u16At(bytes, 4));
    const qint64 bytesPerRow = u16At(bytes, 6);
    const auto* header = reinterpret_cast<const uchar*>(bytes.data());
    const int planes = header[8];
    const int bpp = header[9];
    if (width <= 0 || height <= 0 || width * height > maxPixels || planes != 1)
        return std::nullopt;
    if ((bpp != 1 && bpp != 24 && bpp != 32) || bytesPerRow < (width * bpp + 7) / 8)
        return std::nullopt;
    const QByteArrayView bits = bytes.sliced(HeaderBytes);
    if (bytesPerRow * height > bits.size())
        return std::nullopt;
    QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
    if (image.isNull())
        return std::nullopt;
    const auto* data = reinterpret_cast<const uchar*>(bits.data());
    for (qint64 y = 0; y < height; ++y) {
        const uchar* in = data + y * bytesPerRow;
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(y)));
        for (qint64 x = 0; x < width; ++x) {
            if (bpp == 1)
                out[x] = ((in[x / 8] >> (7 - x % 8)) & 1) ? oneColor : zeroColor;
            else
                out[x] = qRgb(in[x * (bpp / 8) + 2], in[x * (bpp / 8) + 1], in[x * (bpp / 8)]);
        }
    }
    return image;
}

std::optional<QImage> decodeMonochromeRows(QByteArrayView bits, int width, int height, int bytesPerRow)
{
    if (width <= 0 || height <= 0 || bytesPerRow < (width + 7) / 8 || qint64(bytesPerRow) * height > bits.size())
        return std::nullopt;
    QImage image(width, height, QImage::Format_Mono);
    if (image.isNull())
        return std::nullopt;
    const auto* data = reinterpret_cast<const uchar*>(bits.data());
    for (int y = 0; y < height; ++y)
        std::copy_n(data + qsizetype(y) * bytesPerRow, (width + 7) / 8, image.scanLine(y));
    return image;
}
