#include "tools/MetafileWriter.h"

#include <algorithm>

namespace {

void appendWord(QByteArray& out, quint16 word)
{
    out.append(static_cast<char>(word & 0xFF));
    out.append(static_cast<char>(word >> 8));
}

void appendDword(QByteArray& out, quint32 value)
{
    appendWord(out, static_cast<quint16>(value & 0xFFFF));
    appendWord(out, static_cast<quint16>(value >> 16));
}

quint16 word(int value)
{
    return static_cast<quint16>(static_cast<qint16>(value));
}

void appendColor(std::vector<quint16>& words, quint32 color)
{
    words.push_back(static_cast<quint16>(color & 0xFFFF));
    words.push_back(static_cast<quint16>(color >> 16));
}

void appendPoints(std::vector<quint16>& words, const QVector<QPoint>& points)
{
    for (const QPoint& point : points) {
        words.push_back(word(point.x()));
        words.push_back(word(point.y()));
    }
}

// Bottom, right, top, left: the order of the rectangle records.
std::vector<quint16> boxWords(const QRect& rect)
{
    return {word(rect.bottom() + 1), word(rect.right() + 1), word(rect.top()), word(rect.left())};
}

}  // namespace

void MetafileWriter::setPlaceable(const QRect& frame, quint16 unitsPerInch)
{
    placeable_ = true;
    frame_ = frame;
    unitsPerInch_ = unitsPerInch;
}

void MetafileWriter::record(quint16 function, std::initializer_list<quint16> words)
{
    record(function, std::vector<quint16>(words));
}

void MetafileWriter::record(quint16 function, const std::vector<quint16>& words)
{
    const quint32 size = static_cast<quint32>(3 + words.size());
    appendDword(records_, size);
    appendWord(records_, function);
    for (quint16 w : words)
        appendWord(records_, w);
    largestRecordWords_ = std::max(largestRecordWords_, size);
}

void MetafileWriter::record(quint16 function, const std::vector<quint16>& words, const QByteArray& tail)
{
    std::vector<quint16> all = words;
    for (qsizetype i = 0; i < tail.size(); i += 2) {
        const quint8 low = static_cast<quint8>(tail[i]);
        const quint8 high = i + 1 < tail.size() ? static_cast<quint8>(tail[i + 1]) : 0;
        all.push_back(static_cast<quint16>(low | (high << 8)));
    }
    record(function, all);
}

void MetafileWriter::rawBytes(const QByteArray& bytes)
{
    records_.append(bytes);
}

void MetafileWriter::setObjectCount(quint16 count)
{
    objectCount_ = count;
}

void MetafileWriter::setWindowOrg(int x, int y) { record(SetWindowOrg, {word(y), word(x)}); }
void MetafileWriter::setWindowExt(int width, int height) { record(SetWindowExt, {word(height), word(width)}); }
void MetafileWriter::setViewportOrg(int x, int y) { record(SetViewportOrg, {word(y), word(x)}); }
void MetafileWriter::setViewportExt(int width, int height) { record(SetViewportExt, {word(height), word(width)}); }
void MetafileWriter::setMapMode(int mode) { record(SetMapMode, {word(mode)}); }
void MetafileWriter::setBkMode(int mode) { record(SetBkMode, {word(mode)}); }
void MetafileWriter::setPolyFillMode(int mode) { record(SetPolyFillMode, {word(mode)}); }
void MetafileWriter::setTextAlign(quint16 align) { record(SetTextAlign, {align}); }
void MetafileWriter::setRop2(int rop2) { record(SetRop2, {word(rop2)}); }
void MetafileWriter::offsetWindowOrg(int dx, int dy) { record(OffsetWindowOrg, {word(dy), word(dx)}); }
void MetafileWriter::offsetViewportOrg(int dx, int dy) { record(OffsetViewportOrg, {word(dy), word(dx)}); }
void MetafileWriter::scaleWindowExt(int xNum, int xDenom, int yNum, int yDenom)
{
    record(ScaleWindowExt, {word(yDenom), word(yNum), word(xDenom), word(xNum)});
}
void MetafileWriter::scaleViewportExt(int xNum, int xDenom, int yNum, int yDenom)
{
    record(ScaleViewportExt, {word(yDenom), word(yNum), word(xDenom), word(xNum)});
}

void MetafileWriter::setBkColor(quint32 color)
{
    std::vector<quint16> words;
    appendColor(words, color);
    record(SetBkColor, words);
}

void MetafileWriter::setTextColor(quint32 color)
{
    std::vector<quint16> words;
    appendColor(words, color);
    record(SetTextColor, words);
}

int MetafileWriter::takeSlot()
{
    const auto free = std::find(slots_.begin(), slots_.end(), false);
    if (free != slots_.end()) {
        *free = true;
        return static_cast<int>(free - slots_.begin());
    }
    slots_.push_back(true);
    return static_cast<int>(slots_.size()) - 1;
}

int MetafileWriter::createPen(quint16 style, int width, quint32 color)
{
    std::vector<quint16> words{style, word(width), 0};
    appendColor(words, color);
    record(CreatePenIndirect, words);
    return takeSlot();
}

int MetafileWriter::createBrush(quint16 style, quint32 color, quint16 hatch)
{
    std::vector<quint16> words{style};
    appendColor(words, color);
    words.push_back(hatch);
    record(CreateBrushIndirect, words);
    return takeSlot();
}

int MetafileWriter::createFont(int height, int weight, quint8 charset, const QByteArray& faceName, int escapement)
{
    // Height, width, escapement, orientation, weight; then italic, underline, strike-out, charset,
    // output precision, clip precision, quality, pitch and family as bytes; then the face name.
    std::vector<quint16> words{word(height), 0, word(escapement), word(escapement), word(weight), 0, static_cast<quint16>(charset << 8), 0, 0};
    QByteArray face = faceName.left(31);
    face.append('\0');
    if (face.size() % 2)
        face.append('\0');
    for (qsizetype i = 0; i < face.size(); i += 2)
        words.push_back(static_cast<quint16>(static_cast<quint8>(face[i]) | (static_cast<quint8>(face[i + 1]) << 8)));
    record(CreateFontIndirect, words);
    return takeSlot();
}

int MetafileWriter::createPalette(const std::vector<quint32>& colors)
{
    // Version, number of entries, then red, green, blue and flags bytes per entry.
    std::vector<quint16> words{0x0300, word(static_cast<int>(colors.size()))};
    for (quint32 color : colors) {
        words.push_back(static_cast<quint16>(color & 0xFFFF));
        words.push_back(static_cast<quint16>((color >> 16) & 0xFF));
    }
    record(CreatePalette, words);
    return takeSlot();
}

void MetafileWriter::selectPalette(int slot) { record(SelectPalette, {word(slot)}); }

int MetafileWriter::createRegion(const std::vector<QRect>& rects)
{
    QRect bounds;
    for (const QRect& rect : rects)
        bounds |= rect;
    // Chain, type 6, object count (two words), size, scan count, largest scan, bounds (left, top,
    // right, bottom); per scan: 2, top, bottom, left, right, 2.
    std::vector<quint16> words{0, 6, 0, 0, 0, word(static_cast<int>(rects.size())), 2,
                               word(bounds.left()), word(bounds.top()), word(bounds.right() + 1), word(bounds.bottom() + 1)};
    for (const QRect& rect : rects) {
        for (int w : {2, rect.top(), rect.bottom() + 1, rect.left(), rect.right() + 1, 2})
            words.push_back(word(w));
    }
    words[4] = word(static_cast<int>(2 * words.size()));
    record(CreateRegion, words);
    return takeSlot();
}

int MetafileWriter::createDibPatternBrush(const QByteArray& dib)
{
    record(DibCreatePatternBrush, {5, 0}, dib);
    return takeSlot();
}

void MetafileWriter::selectObject(int slot) { record(SelectObject, {word(slot)}); }

void MetafileWriter::deleteObject(int slot)
{
    record(DeleteObject, {word(slot)});
    if (slot >= 0 && slot < static_cast<int>(slots_.size()))
        slots_[static_cast<size_t>(slot)] = false;
}

void MetafileWriter::polygon(const QVector<QPoint>& points)
{
    std::vector<quint16> words{word(static_cast<int>(points.size()))};
    appendPoints(words, points);
    record(Polygon, words);
}

void MetafileWriter::polyline(const QVector<QPoint>& points)
{
    std::vector<quint16> words{word(static_cast<int>(points.size()))};
    appendPoints(words, points);
    record(Polyline, words);
}

void MetafileWriter::polyPolygon(const QVector<QVector<QPoint>>& polygons)
{
    std::vector<quint16> words{word(static_cast<int>(polygons.size()))};
    for (const auto& polygon : polygons)
        words.push_back(word(static_cast<int>(polygon.size())));
    for (const auto& polygon : polygons)
        appendPoints(words, polygon);
    record(PolyPolygon, words);
}

void MetafileWriter::rectangle(const QRect& rect) { record(Rectangle, boxWords(rect)); }
void MetafileWriter::ellipse(const QRect& rect) { record(Ellipse, boxWords(rect)); }
void MetafileWriter::intersectClipRect(const QRect& rect) { record(IntersectClipRect, boxWords(rect)); }
void MetafileWriter::excludeClipRect(const QRect& rect) { record(ExcludeClipRect, boxWords(rect)); }

void MetafileWriter::roundRect(const QRect& rect, int cornerWidth, int cornerHeight)
{
    std::vector<quint16> words{word(cornerHeight), word(cornerWidth)};
    for (quint16 w : boxWords(rect))
        words.push_back(w);
    record(RoundRect, words);
}

namespace {
// End radial, start radial, then the box: each point y first.
std::vector<quint16> arcWords(const QRect& rect, QPoint start, QPoint end)
{
    std::vector<quint16> words{word(end.y()), word(end.x()), word(start.y()), word(start.x())};
    for (quint16 w : boxWords(rect))
        words.push_back(w);
    return words;
}
}  // namespace

void MetafileWriter::arc(const QRect& rect, QPoint start, QPoint end) { record(Arc, arcWords(rect, start, end)); }
void MetafileWriter::pie(const QRect& rect, QPoint start, QPoint end) { record(Pie, arcWords(rect, start, end)); }
void MetafileWriter::chord(const QRect& rect, QPoint start, QPoint end) { record(Chord, arcWords(rect, start, end)); }

void MetafileWriter::moveTo(int x, int y) { record(MoveTo, {word(y), word(x)}); }
void MetafileWriter::lineTo(int x, int y) { record(LineTo, {word(y), word(x)}); }
void MetafileWriter::saveDc() { record(SaveDc, {}); }
void MetafileWriter::restoreDc(int which) { record(RestoreDc, {word(which)}); }

void MetafileWriter::setPixel(int x, int y, quint32 color)
{
    std::vector<quint16> words;
    appendColor(words, color);
    words.push_back(word(y));
    words.push_back(word(x));
    record(SetPixel, words);
}

void MetafileWriter::textOut(int x, int y, const QByteArray& text)
{
    std::vector<quint16> words{word(static_cast<int>(text.size()))};
    for (qsizetype i = 0; i < text.size(); i += 2) {
        const quint8 low = static_cast<quint8>(text[i]);
        const quint8 high = i + 1 < text.size() ? static_cast<quint8>(text[i + 1]) : 0;
        words.push_back(static_cast<quint16>(low | (high << 8)));
    }
    words.push_back(word(y));
    words.push_back(word(x));
    record(TextOut, words);
}

void MetafileWriter::extTextOut(int x, int y, quint16 options, const QRect& rect, const QByteArray& text, const std::vector<int>& dx)
{
    std::vector<quint16> words{word(y), word(x), word(static_cast<int>(text.size())), options};
    if (options & 0x0006) {
        for (int w : {rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1})
            words.push_back(word(w));
    }
    QByteArray tail = text;
    if (tail.size() % 2)
        tail.append('\0');
    for (int d : dx) {
        tail.append(static_cast<char>(word(d) & 0xFF));
        tail.append(static_cast<char>(word(d) >> 8));
    }
    record(ExtTextOut, words, tail);
}

void MetafileWriter::patBlt(const QRect& rect, quint32 rasterOperation)
{
    record(PatBlt, {static_cast<quint16>(rasterOperation & 0xFFFF), static_cast<quint16>(rasterOperation >> 16),
                    word(rect.height()), word(rect.width()), word(rect.top()), word(rect.left())});
}

void MetafileWriter::stretchDib(const QRect& destination, const QRect& source, const QByteArray& dib, quint32 rasterOperation, quint16 colorUsage)
{
    record(StretchDib,
           {static_cast<quint16>(rasterOperation & 0xFFFF), static_cast<quint16>(rasterOperation >> 16), colorUsage,
            word(source.height()), word(source.width()), word(source.top()), word(source.left()),
            word(destination.height()), word(destination.width()), word(destination.top()), word(destination.left())},
           dib);
}

QByteArray MetafileWriter::dib(int width, int height, const std::vector<quint32>& pixels, int bitsPerPixel,
                               const std::vector<quint32>& colorTable, bool topDown)
{
    const int stride = (width * bitsPerPixel + 31) / 32 * 4;
    QByteArray out;
    appendDword(out, 40);
    appendDword(out, static_cast<quint32>(width));
    appendDword(out, static_cast<quint32>(topDown ? -height : height));
    appendWord(out, 1);
    appendWord(out, static_cast<quint16>(bitsPerPixel));
    appendDword(out, 0);  // uncompressed
    appendDword(out, static_cast<quint32>(stride * height));
    appendDword(out, 2835);
    appendDword(out, 2835);
    appendDword(out, bitsPerPixel <= 8 ? static_cast<quint32>(colorTable.size()) : 0);
    appendDword(out, 0);
    const auto red = [](quint32 c) { return static_cast<uchar>(c & 0xFF); };
    const auto green = [](quint32 c) { return static_cast<uchar>((c >> 8) & 0xFF); };
    const auto blue = [](quint32 c) { return static_cast<uchar>((c >> 16) & 0xFF); };
    if (bitsPerPixel <= 8) {
        for (quint32 color : colorTable) {
            out.append(static_cast<char>(blue(color)));
            out.append(static_cast<char>(green(color)));
            out.append(static_cast<char>(red(color)));
            out.append('\0');
        }
    }
    for (int row = 0; row < height; ++row) {
        const int y = topDown ? row : height - 1 - row;
        QByteArray line(stride, '\0');
        auto* bytes = reinterpret_cast<uchar*>(line.data());
        for (int x = 0; x < width; ++x) {
            const quint32 color = pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
            switch (bitsPerPixel) {
            case 1:
            case 4:
            case 8: {
                const auto found = std::find(colorTable.begin(), colorTable.end(), color);
                const int index = found == colorTable.end() ? 0 : static_cast<int>(found - colorTable.begin());
                const int bit = x * bitsPerPixel;
                bytes[bit / 8] |= static_cast<uchar>(index << (8 - bitsPerPixel - bit % 8));
                break;
            }
            case 16: {
                const int v = ((red(color) >> 3) << 10) | ((green(color) >> 3) << 5) | (blue(color) >> 3);
                bytes[2 * x] = static_cast<uchar>(v & 0xFF);
                bytes[2 * x + 1] = static_cast<uchar>(v >> 8);
                break;
            }
            default: {
                const int size = bitsPerPixel / 8;
                bytes[size * x] = blue(color);
                bytes[size * x + 1] = green(color);
                bytes[size * x + 2] = red(color);
                break;  // the fourth byte of a 32-bit pixel stays 0: readers ignore it
            }
            }
        }
        out.append(line);
    }
    return out;
}

QByteArray MetafileWriter::bytes() const
{
    QByteArray out;
    if (placeable_) {
        QByteArray header;
        appendDword(header, 0x9AC6CDD7u);
        appendWord(header, 0);
        appendWord(header, word(frame_.left()));
        appendWord(header, word(frame_.top()));
        appendWord(header, word(frame_.right() + 1));
        appendWord(header, word(frame_.bottom() + 1));
        appendWord(header, unitsPerInch_);
        appendDword(header, 0);
        quint16 checksum = 0;
        for (int i = 0; i < 10; ++i)
            checksum ^= static_cast<quint16>(static_cast<quint8>(header[2 * i]) | (static_cast<quint8>(header[2 * i + 1]) << 8));
        appendWord(header, checksum);
        out.append(header);
    }
    QByteArray body = records_;
    appendDword(body, 3);
    appendWord(body, Eof);
    const quint32 totalWords = static_cast<quint32>(9 + body.size() / 2);
    appendWord(out, 1);       // memory metafile
    appendWord(out, 9);       // header size in words
    appendWord(out, 0x0300);  // version
    appendDword(out, totalWords);
    appendWord(out, static_cast<quint16>(objectCount_ >= 0 ? objectCount_ : static_cast<int>(slots_.size())));
    appendDword(out, largestRecordWords_);
    appendWord(out, 0);
    out.append(body);
    return out;
}
