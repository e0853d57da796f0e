#include "files/MetafileObjects.h"

#include "files/MetafileBitmap.h"

#include <algorithm>

QRgb metafileColor(quint32 colorRef, const std::vector<QRgb>* palette)
{
    if ((colorRef >> 24) == 0x01) {
        const quint32 index = colorRef & 0xFFFF;
        return palette && index < palette->size() ? (*palette)[index] : qRgb(0, 0, 0);
    }
    return qRgb(colorRef & 0xFF, (colorRef >> 8) & 0xFF, (colorRef >> 16) & 0xFF);
}

MetafilePen readPen(const MetafileRecord& record)
{
    MetafilePen pen;
    if (!record.has(5)) {
        pen.style = MetafilePen::Null;
        return pen;
    }
    // Style, the width as a point (its y is unused), the colour.
    pen.style = record.u16(0);
    pen.width = record.s16(1);
    pen.color = record.u32(3);
    return pen;
}

MetafileBrush readBrush(const MetafileRecord& record)
{
    MetafileBrush brush;
    if (!record.has(4)) {
        brush.style = MetafileBrush::Null;
        return brush;
    }
    brush.style = record.u16(0);
    brush.color = record.u32(1);
    brush.hatch = record.u16(3);
    return brush;
}

MetafileFont readFont(const MetafileRecord& record)
{
    MetafileFont font;
    if (!record.has(9))
        return font;
    // Height, width, escapement, orientation, weight; then bytes: italic, underline, strike-out,
    // charset, two precisions, quality, pitch and family; then the face name, at most 32 bytes.
    font.height = record.s16(0);
    font.width = record.s16(1);
    font.escapement = record.s16(2);
    font.weight = record.s16(4);
    font.italic = (record.u16(5) & 0xFF) != 0;
    font.underline = (record.u16(5) >> 8) != 0;
    font.strikeOut = (record.u16(6) & 0xFF) != 0;
    font.charset = static_cast<quint8>(record.u16(6) >> 8);
    const QByteArrayView face = record.bytesFrom(9).first(std::min<qsizetype>(32, record.bytesFrom(9).size()));
    const qsizetype end = face.indexOf('\0');
    font.face = QString::fromLatin1(end < 0 ? face : face.first(end));
    return font;
}

MetafilePalette readPalette(const MetafileRecord& record)
{
    auto palette = std::make_shared<std::vector<QRgb>>();
    // A version word, the number of entries, then red, green, blue and flags bytes per entry.
    const qsizetype count = std::min<qsizetype>(record.u16(1), std::max<qsizetype>(0, (record.words() - 2) / 2));
    palette->reserve(static_cast<size_t>(count));
    for (qsizetype i = 0; i < count; ++i) {
        const quint16 redGreen = record.u16(2 + 2 * i);
        const quint16 blueFlags = record.u16(3 + 2 * i);
        palette->push_back(qRgb(redGreen & 0xFF, redGreen >> 8, blueFlags & 0xFF));
    }
    return palette;
}

MetafileRegion readRegion(const MetafileRecord& record)
{
    MetafileRegion region;
    if (!record.has(11))
        return region;
    // Chain, type, count (two words), size, scan count, largest scan, bounding box (left, top, right,
    // bottom); then per scan: a count of x values, top, bottom, the left-right pairs, the count again.
    const int scans = record.u16(5);
    const QRect bounds(QPoint(record.s16(7), record.s16(8)), QPoint(record.s16(9) - 1, record.s16(10) - 1));
    qsizetype at = 11;
    for (int scan = 0; scan < scans && region.rects.size() < MaxRegionRectangles; ++scan) {
        if (!record.has(at + 3))
            break;
        const int values = record.u16(at);
        const int top = record.s16(at + 1);
        const int bottom = record.s16(at + 2);
        if (!record.has(at + 3 + values + 1))
            break;
        for (int i = 0; i + 1 < values && region.rects.size() < MaxRegionRectangles; i += 2) {
            const int left = record.s16(at + 3 + i);
            const int right = record.s16(at + 4 + i);
            if (right > left && bottom > top)
                region.rects.push_back(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)));
        }
        at += 3 + values + 1;
    }
    if (scans == 0 && bounds.isValid())
        region.rects.push_back(bounds);
    return region;
}

MetafileBrush readDibPatternBrush(const MetafileRecord& record, const std::vector<QRgb>* palette, qint64 maxPixels)
{
    MetafileBrush brush;
    brush.style = MetafileBrush::DibPatternPt;
    if (!record.has(2))
        return brush;
    // Style, colour usage, the DIB. A BS_PATTERN brush always has colours of its own.
    const auto usage = record.u16(0) == MetafileBrush::Pattern ? DibColorUsage::RgbColors : static_cast<DibColorUsage>(std::min<quint16>(record.u16(1), 2));
    std::optional<DecodedDib> dib = decodeDib(record.bytesFrom(2), usage, palette, maxPixels);
    if (dib) {
        auto pattern = std::make_shared<MetafilePattern>();
        pattern->image = std::move(dib->image);
        brush.pattern = std::move(pattern);
    }
    return brush;
}

MetafileBrush readOldPatternBrush(const MetafileRecord& record, qint64 maxPixels)
{
    MetafileBrush brush;
    brush.style = MetafileBrush::Pattern;
    // The first 14 bytes of a bitmap header (type, width, height, bytes per row, planes, bits per
    // pixel, a pointer), 18 reserved bytes, the rows. Only monochrome patterns are device-independent.
    if (!record.has(16))
        return brush;
    const int width = record.s16(1);
    const int height = record.s16(2);
    const int bytesPerRow = record.s16(3);
    const int planes = record.u16(4) & 0xFF;
    const int bitsPerPixel = record.u16(4) >> 8;
    if (planes != 1 || bitsPerPixel != 1 || width <= 0 || height <= 0 || qint64(width) * height > maxPixels)
        return brush;
    if (std::optional<QImage> image = decodeMonochromeRows(record.bytesFrom(16), width, height, bytesPerRow)) {
        auto pattern = std::make_shared<MetafilePattern>();
        pattern->image = std::move(*image);
        pattern->monochrome = true;
        brush.pattern = std::move(pattern);
    }
    return brush;
}

MetafileObjectTable::MetafileObjectTable(int size) : slots_(static_cast<size_t>(std::clamp(size, 0, 0xFFFF))) {}

qint64 MetafileObjectTable::patternPixelsOf(const MetafileObject& object)
{
    const auto* brush = std::get_if<MetafileBrush>(&object);
    if (!brush || !brush->pattern)
        return 0;
    return qint64(brush->pattern->image.width()) * brush->pattern->image.height();
}

int MetafileObjectTable::create(MetafileObject object)
{
    // A pattern dropped for want of a slot was decoded all the same.
    patternPixels_ += patternPixelsOf(object);
    const int slot = freed_.empty() ? firstUnused_ : freed_.top();
    if (slot >= static_cast<int>(slots_.size()))
        return -1;
    if (freed_.empty())
        ++firstUnused_;
    else
        freed_.pop();
    slots_[static_cast<size_t>(slot)] = std::move(object);
    return slot;
}

const MetafileObject* MetafileObjectTable::at(int index) const
{
    if (index < 0 || index >= static_cast<int>(slots_.size()) || !slots_[static_cast<size_t>(index)])
        return nullptr;
    return &*slots_[static_cast<size_t>(index)];
}

void MetafileObjectTable::remove(int index)
{
    if (!at(index))
        return;
    slots_[static_cast<size_t>(index)].reset();
    freed_.push(index);
}
