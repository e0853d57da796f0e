#include "files/Metafile.h"

#include "files/MetafileContent.h"
#include "files/MetafilePlayer.h"
#include "files/MetafileRecord.h"

#include <QFile>
#include <QPainter>

#include <algorithm>
#include <cmath>

struct Metafile::Data : MetafileContent {};

namespace {

constexpr quint32 PlaceableKey = 0x9AC6CDD7u;
constexpr qsizetype PlaceableHeaderBytes = 22;
constexpr qsizetype HeaderBytes = 18;

quint16 wordAt(QByteArrayView bytes, qsizetype offset)
{
    const auto* p = reinterpret_cast<const uchar*>(bytes.data()) + offset;
    return static_cast<quint16>(p[0] | (p[1] << 8));
}

qint16 signedWordAt(QByteArrayView bytes, qsizetype offset) { return static_cast<qint16>(wordAt(bytes, offset)); }

// A rectangle from two corners in any order, at least one unit wide and high.
QRect frameFromCorners(int x1, int y1, int x2, int y2)
{
    const int left = std::min(x1, x2);
    const int top = std::min(y1, y2);
    return QRect(left, top, std::max(1, std::abs(x2 - x1)), std::max(1, std::abs(y2 - y1)));
}

// The logical points a drawing record touches, for a picture that names no frame of its own.
class DrawingBounds {
public:
    void add(int x, int y)
    {
        if (empty_) {
            left_ = right_ = x;
            top_ = bottom_ = y;
            empty_ = false;
            return;
        }
        left_ = std::min(left_, x);
        right_ = std::max(right_, x);
        top_ = std::min(top_, y);
        bottom_ = std::max(bottom_, y);
    }

    void addRecord(const MetafileRecord& record)
    {
        using namespace MetafileFunction;
        switch (record.function()) {
        case Polygon:
        case Polyline: {
            const int count = record.s16(0);
            if (count > 0 && record.has(1 + 2 * qsizetype(count)))
                for (int i = 0; i < count; ++i)
                    add(record.s16(1 + 2 * i), record.s16(2 + 2 * i));
            break;
        }
        case PolyPolygon: {
            // The number of polygons and their point counts are unsigned.
            const int polygons = record.u16(0);
            if (polygons == 0 || !record.has(1 + qsizetype(polygons)))
                break;
            qsizetype points = 0;
            for (int i = 0; i < polygons; ++i)
                points += record.u16(1 + i);
            const qsizetype first = 1 + polygons;
            if (record.has(first + 2 * points))
                for (qsizetype i = 0; i < points; ++i)
                    add(record.s16(first + 2 * i), record.s16(first + 2 * i + 1));
            break;
        }
        case MoveTo:
        case LineTo:
            if (record.has(2))
                add(record.s16(1), record.s16(0));
            break;
        case Rectangle:
        case Ellipse:
        case RoundRect:
            addBox(record, 0);
            break;
        case Arc:
        case Pie:
        case Chord:
            addBox(record, 4);
            break;
        case SetPixel:
            if (record.has(4))
                add(record.s16(3), record.s16(2));
            break;
        case PatBlt:
            if (record.has(6)) {
                add(record.s16(5), record.s16(4));
                add(record.s16(5) + record.s16(3), record.s16(4) + record.s16(2));
            }
            break;
        case StretchDib:
            if (record.has(11)) {
                add(record.s16(10), record.s16(9));
                add(record.s16(10) + record.s16(8), record.s16(9) + record.s16(7));
            }
            break;
        default:
            break;
        }
    }

    std::optional<QRect> rect() const
    {
        if (empty_)
            return std::nullopt;
        return frameFromCorners(left_, top_, right_, bottom_);
    }

private:
    // Bottom, right, top, left from the given word on.
    void addBox(const MetafileRecord& record, qsizetype first)
    {
        if (!record.has(first + 4))
            return;
        add(record.s16(first + 3), record.s16(first + 2));
        add(record.s16(first + 1), record.s16(first));
    }

    bool empty_ = true;
    int left_ = 0, top_ = 0, right_ = 0, bottom_ = 0;
};

}  // namespace

std::optional<Metafile> Metafile::fromBytes(const QByteArray& bytes)
{
    if (bytes.size() > MaxFileSize)
        return std::nullopt;
    auto data = std::make_shared<Data>();
    data->bytes = bytes;
    const QByteArrayView view(data->bytes);

    qsizetype headerAt = 0;
    QRect placeableFrame;
    if (view.size() >= 4 && (wordAt(view, 0) | (static_cast<quint32>(wordAt(view, 2)) << 16)) == PlaceableKey) {
        if (view.size() < PlaceableHeaderBytes)
            return std::nullopt;
        // Writers often store a wrong checksum: it is not checked.
        placeableFrame = frameFromCorners(signedWordAt(view, 6), signedWordAt(view, 8), signedWordAt(view, 10), signedWordAt(view, 12));
        data->placeable = true;
        data->unitsPerInch = wordAt(view, 14);
        headerAt = PlaceableHeaderBytes;
    }
    if (view.size() - headerAt < HeaderBytes)
        return std::nullopt;
    const quint16 type = wordAt(view, headerAt);
    const quint16 headerWords = wordAt(view, headerAt + 2);
    const quint16 version = wordAt(view, headerAt + 4);
    if ((type != 1 && type != 2) || headerWords != 9 || (version != 0x0100 && version != 0x0300))
        return std::nullopt;
    // The header's size of the whole file is not checked: some writers count the placeable
    // header in it, and the records themselves say where the list ends.
    data->objectCount = wordAt(view, headerAt + 10);
    data->recordsBegin = headerAt + HeaderBytes;

    // One pass over the records: where the list ends, the first window records, the drawing's bounds.
    MetafileRecordReader reader(view.sliced(data->recordsBegin));
    MetafileRecord record;
    qsizetype recordCount = 0;
    std::optional<QPoint> windowOrg;
    std::optional<QSize> windowExt;
    DrawingBounds bounds;
    while (reader.next(record)) {
        ++recordCount;
        if (record.function() == MetafileFunction::SetWindowOrg && !windowOrg && record.has(2))
            windowOrg = QPoint(record.s16(1), record.s16(0));
        else if (record.function() == MetafileFunction::SetWindowExt && !windowExt && record.has(2) && record.s16(0) != 0 && record.s16(1) != 0)
            windowExt = QSize(record.s16(1), record.s16(0));
        else if (!data->placeable && !windowExt)
            bounds.addRecord(record);
    }
    if (recordCount == 0)
        return std::nullopt;
    data->recordsEnd = data->recordsBegin + reader.offset();

    if (data->placeable) {
        data->frame = placeableFrame;
        data->initialWindowOrg = placeableFrame.topLeft();
        data->initialWindowExt = placeableFrame.size();
    } else if (windowExt) {
        const QPoint org = windowOrg.value_or(QPoint(0, 0));
        data->frame = frameFromCorners(org.x(), org.y(), org.x() + windowExt->width(), org.y() + windowExt->height());
        data->initialWindowOrg = org;
        data->initialWindowExt = *windowExt;
    } else {
        // Neither a placeable header nor a window: the frame is what the drawing records touch,
        // or one unit at the origin when they touch nothing.
        data->frame = bounds.rect().value_or(QRect(0, 0, 1, 1));
        data->initialWindowOrg = data->frame.topLeft();
        data->initialWindowExt = data->frame.size();
    }

    Metafile metafile;
    metafile.data_ = std::move(data);
    return metafile;
}

std::optional<Metafile> Metafile::fromFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxFileSize)
        return std::nullopt;
    const QByteArray bytes = file.read(std::min<qint64>(file.size(), MaxFileSize) + 1);
    if (bytes.size() > MaxFileSize)
        return std::nullopt;
    return fromBytes(bytes);
}

QRect Metafile::frame() const
{
    return data_->frame;
}

QSize Metafile::naturalSize() const
{
    const QSize size = data_->frame.size();
    if (!data_->placeable || data_->unitsPerInch == 0)
        return size;
    const auto pixels = [&](int units) { return std::max(1, static_cast<int>(std::lround(units * 96.0 / data_->unitsPerInch))); };
    return QSize(pixels(size.width()), pixels(size.height()));
}

bool Metafile::play(QPainter& painter, const QRectF& target) const
{
    return playMetafile(*data_, painter, target);
}
