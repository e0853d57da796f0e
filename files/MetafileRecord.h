#pragma once

#include <QByteArrayView>
#include <QtGlobal>

// The record functions of a Windows metafile that the player reads or knows to skip.
namespace MetafileFunction {
enum : quint16 {
    Eof = 0x0000,
    RealizePalette = 0x0035,
    SetPalEntries = 0x0037,
    CreatePalette = 0x00F7,
    SaveDc = 0x001E,
    ResizePalette = 0x0139,
    SetLayout = 0x0149,
    SetTextJustification = 0x020A,
    SetMapperFlags = 0x0231,
    FloodFill = 0x0419,
    FrameRegion = 0x0429,
    AnimatePalette = 0x0436,
    ExtFloodFill = 0x0548,
    DrawText = 0x062F,
    SetBkMode = 0x0102,
    SetMapMode = 0x0103,
    SetRop2 = 0x0104,
    SetRelAbs = 0x0105,
    SetPolyFillMode = 0x0106,
    SetStretchBltMode = 0x0107,
    SetTextCharExtra = 0x0108,
    RestoreDc = 0x0127,
    InvertRegion = 0x012A,
    PaintRegion = 0x012B,
    SelectClipRegion = 0x012C,
    SelectObject = 0x012D,
    SetTextAlign = 0x012E,
    DibCreatePatternBrush = 0x0142,
    DeleteObject = 0x01F0,
    CreatePatternBrush = 0x01F9,
    SetBkColor = 0x0201,
    SetTextColor = 0x0209,
    SetWindowOrg = 0x020B,
    SetWindowExt = 0x020C,
    SetViewportOrg = 0x020D,
    SetViewportExt = 0x020E,
    OffsetWindowOrg = 0x020F,
    OffsetViewportOrg = 0x0211,
    LineTo = 0x0213,
    MoveTo = 0x0214,
    OffsetClipRegion = 0x0220,
    FillRegion = 0x0228,
    SelectPalette = 0x0234,
    CreatePenIndirect = 0x02FA,
    CreateFontIndirect = 0x02FB,
    CreateBrushIndirect = 0x02FC,
    Polygon = 0x0324,
    Polyline = 0x0325,
    ScaleWindowExt = 0x0410,
    ScaleViewportExt = 0x0412,
    ExcludeClipRect = 0x0415,
    IntersectClipRect = 0x0416,
    Ellipse = 0x0418,
    Rectangle = 0x041B,
    SetPixel = 0x041F,
    TextOut = 0x0521,
    PolyPolygon = 0x0538,
    RoundRect = 0x061C,
    PatBlt = 0x061D,
    Escape = 0x0626,
    CreateRegion = 0x06FF,
    Arc = 0x0817,
    Pie = 0x081A,
    Chord = 0x0830,
    BitBlt = 0x0922,
    DibBitBlt = 0x0940,
    ExtTextOut = 0x0A32,
    StretchBlt = 0x0B23,
    DibStretchBlt = 0x0B41,
    SetDibToDev = 0x0D33,
    StretchDib = 0x0F43,
};
}  // namespace MetafileFunction

// One record of a metafile: its function and its parameter words. Every read is checked against
// the record's end; a word past it reads as 0, so callers test has() before they trust a value.
class MetafileRecord {
public:
    MetafileRecord() = default;
    MetafileRecord(quint16 function, QByteArrayView parameters) : function_(function), parameters_(parameters) {}

    quint16 function() const { return function_; }
    // The number of whole parameter words.
    qsizetype words() const { return parameters_.size() / 2; }
    bool has(qsizetype count) const { return count >= 0 && words() >= count; }

    quint16 u16(qsizetype index) const
    {
        if (index < 0 || index >= words())
            return 0;
        const auto* p = reinterpret_cast<const uchar*>(parameters_.data()) + 2 * index;
        return static_cast<quint16>(p[0] | (p[1] << 8));
    }
    qint16 s16(qsizetype index) const { return static_cast<qint16>(u16(index)); }
    // Two words, the low one first.
    quint32 u32(qsizetype index) const { return u16(index) | (static_cast<quint32>(u16(index + 1)) << 16); }
    // The parameter bytes from a word on to the record's end (empty past it).
    QByteArrayView bytesFrom(qsizetype wordIndex) const
    {
        if (wordIndex < 0 || wordIndex > words())
            return {};
        return parameters_.sliced(2 * wordIndex);
    }

private:
    quint16 function_ = 0;
    QByteArrayView parameters_;
};

// Walks a record list from its first record. It stops at the end record, at a record whose size is
// below the three words of size and function, and at a record that runs past the bytes.
class MetafileRecordReader {
public:
    explicit MetafileRecordReader(QByteArrayView list) : list_(list) {}

    bool next(MetafileRecord& record)
    {
        if (done_ || list_.size() - offset_ < 6) {
            done_ = true;
            return false;
        }
        const auto* p = reinterpret_cast<const uchar*>(list_.data()) + offset_;
        const quint64 sizeWords = p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<quint64>(p[3]) << 24);
        const quint16 function = static_cast<quint16>(p[4] | (p[5] << 8));
        if (sizeWords < 3 || sizeWords * 2 > static_cast<quint64>(list_.size() - offset_) || function == MetafileFunction::Eof) {
            done_ = true;
            return false;
        }
        const qsizetype sizeBytes = static_cast<qsizetype>(sizeWords * 2);
        record = MetafileRecord(function, list_.sliced(offset_ + 6, sizeBytes - 6));
        offset_ += sizeBytes;
        return true;
    }

    // Where the next record would start: after the last record read.
    qsizetype offset() const { return offset_; }

private:
    QByteArrayView list_;
    qsizetype offset_ = 0;
    bool done_ = false;
};
