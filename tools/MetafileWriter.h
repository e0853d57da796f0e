#pragma once

#include <QByteArray>
#include <QPoint>
#include <QRect>
#include <QVector>
#include <QtGlobal>

#include <initializer_list>
#include <vector>

// Writes Windows metafiles record by record. Used by the track maker to draw the bundled tracks,
// and by the tests and benchmarks to build pictures, well-formed or deliberately damaged.
//
// Colours are Windows colour values (red + 256 * green + 65536 * blue).
class MetafileWriter {
public:
    // Record function numbers.
    enum Function : quint16 {
        Eof = 0x0000,
        SaveDc = 0x001E,
        SetBkMode = 0x0102,
        SetMapMode = 0x0103,
        SetRop2 = 0x0104,
        SetPolyFillMode = 0x0106,
        RestoreDc = 0x0127,
        SelectObject = 0x012D,
        SetTextAlign = 0x012E,
        DeleteObject = 0x01F0,
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
        ExcludeClipRect = 0x0415,
        IntersectClipRect = 0x0416,
        Ellipse = 0x0418,
        Rectangle = 0x041B,
        SetPixel = 0x041F,
        ScaleWindowExt = 0x0410,
        ScaleViewportExt = 0x0412,
        RoundRect = 0x061C,
        PatBlt = 0x061D,
        TextOut = 0x0521,
        PolyPolygon = 0x0538,
        Polygon = 0x0324,
        Polyline = 0x0325,
        Escape = 0x0626,
        CreatePalette = 0x00F7,
        SelectPalette = 0x0234,
        Arc = 0x0817,
        Pie = 0x081A,
        Chord = 0x0830,
        BitBlt = 0x0922,
        StretchBlt = 0x0B23,
        ExtTextOut = 0x0A32,
        DibBitBlt = 0x0940,
        DibStretchBlt = 0x0B41,
        StretchDib = 0x0F43,
        CreatePenIndirect = 0x02FA,
        CreateFontIndirect = 0x02FB,
        CreateBrushIndirect = 0x02FC,
        CreateRegion = 0x06FF,
        DibCreatePatternBrush = 0x0142,
        SelectClipRegion = 0x012C,
        FillRegion = 0x0228,
        PaintRegion = 0x012B,
        SetPalEntries = 0x0037,
        SetDibToDev = 0x0D33,
    };

    // Raster operations of the bitmap records.
    enum RasterOperation : quint32 {
        SrcCopy = 0x00CC0020,
        SrcPaint = 0x00EE0086,
        SrcAnd = 0x008800C6,
        SrcInvert = 0x00660046,
        PatCopy = 0x00F00021,
        DstInvert = 0x00550009,
        Blackness = 0x00000042,
        Whiteness = 0x00FF0062,
    };

    // Starts the file with a placeable header: the picture's frame in logical units and how many
    // of them make an inch.
    void setPlaceable(const QRect& frame, quint16 unitsPerInch);

    // A record of the given function with 16-bit parameters in file order.
    void record(quint16 function, std::initializer_list<quint16> words);
    void record(quint16 function, const std::vector<quint16>& words);
    // Words followed by bytes (a bitmap, a text), padded to a whole word.
    void record(quint16 function, const std::vector<quint16>& words, const QByteArray& tail);
    // Any bytes, placed as they are: a record with a wrong size field, a truncated one, ...
    void rawBytes(const QByteArray& bytes);
    // The header's size of the object table (by default the slots the create functions took).
    void setObjectCount(quint16 count);

    void setWindowOrg(int x, int y);
    void setWindowExt(int width, int height);
    void setViewportOrg(int x, int y);
    void setViewportExt(int width, int height);
    void setMapMode(int mode);
    void setBkMode(int mode);        // 1 transparent, 2 opaque
    void setBkColor(quint32 color);
    void setPolyFillMode(int mode);  // 1 alternate, 2 winding
    void setTextColor(quint32 color);
    void setTextAlign(quint16 align);
    void setRop2(int rop2);
    void offsetWindowOrg(int dx, int dy);
    void offsetViewportOrg(int dx, int dy);
    void scaleWindowExt(int xNum, int xDenom, int yNum, int yDenom);
    void scaleViewportExt(int xNum, int xDenom, int yNum, int yDenom);

    // The create functions return the object slot the object takes: the lowest free one.
    int createPen(quint16 style, int width, quint32 color);   // style 0 solid, 5 null
    int createBrush(quint16 style, quint32 color, quint16 hatch = 0);  // style 0 solid, 1 null
    int createFont(int height, int weight, quint8 charset, const QByteArray& faceName, int escapement = 0);
    // Colours as Windows colour values; a colour value 0x01000000 + i names entry i of the selected palette.
    int createPalette(const std::vector<quint32>& colors);
    void selectPalette(int slot);
    // One scan line band per rectangle; the rectangles are given top to bottom.
    int createRegion(const std::vector<QRect>& rects);
    int createDibPatternBrush(const QByteArray& dib);
    void selectObject(int slot);
    void deleteObject(int slot);

    void polygon(const QVector<QPoint>& points);
    void polyPolygon(const QVector<QVector<QPoint>>& polygons);
    void polyline(const QVector<QPoint>& points);
    void rectangle(const QRect& rect);  // from rect.left(), rect.top() to rect.right() + 1, rect.bottom() + 1
    void ellipse(const QRect& rect);    // the same bounds as rectangle
    void moveTo(int x, int y);
    void lineTo(int x, int y);
    void setPixel(int x, int y, quint32 color);
    // Text in the font's 8-bit encoding.
    void textOut(int x, int y, const QByteArray& text);
    void saveDc();
    void restoreDc(int which = -1);
    void intersectClipRect(const QRect& rect);
    void excludeClipRect(const QRect& rect);
    void roundRect(const QRect& rect, int cornerWidth, int cornerHeight);
    // Counter-clockwise along the ellipse in rect from the radial through start to the one through end.
    void arc(const QRect& rect, QPoint start, QPoint end);
    void pie(const QRect& rect, QPoint start, QPoint end);
    void chord(const QRect& rect, QPoint start, QPoint end);
    // options: 2 opaque, 4 clipped (either writes the rectangle); dx: one distance per byte, or none.
    void extTextOut(int x, int y, quint16 options, const QRect& rect, const QByteArray& text, const std::vector<int>& dx = {});
    void patBlt(const QRect& rect, quint32 rasterOperation);
    // Source rectangle in the bitmap's pixels, counted from its bottom row for a bottom-up bitmap.
    void stretchDib(const QRect& destination, const QRect& source, const QByteArray& dib,
                    quint32 rasterOperation = SrcCopy, quint16 colorUsage = 0);

    // A packed device-independent bitmap (info header, colour table, rows) of width × height
    // pixels (colour values, row by row from the top) at 1, 4, 8, 16 (5-5-5), 24 or 32 bits per
    // pixel. Up to 8 bits, every pixel's colour must be in colorTable; its position there is the
    // pixel value. Rows bottom-up unless topDown.
    static QByteArray dib(int width, int height, const std::vector<quint32>& pixels, int bitsPerPixel,
                          const std::vector<quint32>& colorTable = {}, bool topDown = false);

    // The whole file: placeable header if set, the metafile header, every record and the end record.
    QByteArray bytes() const;

private:
    int takeSlot();

    bool placeable_ = false;
    QRect frame_;
    quint16 unitsPerInch_ = 0;
    QByteArray records_;
    quint32 largestRecordWords_ = 3;
    std::vector<bool> slots_;
    int objectCount_ = -1;
};
