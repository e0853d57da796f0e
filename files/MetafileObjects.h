#pragma once

#include "files/MetafileRecord.h"

#include <QImage>
#include <QRect>
#include <QRgb>
#include <QString>
#include <QVector>

#include <memory>
#include <optional>
#include <queue>
#include <variant>
#include <vector>

// The most rectangles a region object keeps: more make it a hostile one, and it is cut there.
inline constexpr qsizetype MaxRegionRectangles = 16384;

// The graphics objects a metafile creates (pens, brushes, fonts, palettes, regions), read from their
// create records, and the object table that holds them by index.

// The colours of a logical palette. Palette records change a palette in place, so every device
// context state that selected it sees the change: it is shared, not copied.
using MetafilePalette = std::shared_ptr<std::vector<QRgb>>;

// A colour value of a record (red + 256 × green + 65536 × blue, a palette index when the top byte
// is 1). A palette index outside the selected palette, or without one, is black.
QRgb metafileColor(quint32 colorRef, const std::vector<QRgb>* palette);

struct MetafilePen {
    enum Style : quint16 { Solid = 0, Dash = 1, Dot = 2, DashDot = 3, DashDotDot = 4, Null = 5, InsideFrame = 6, UserStyle = 7, Alternate = 8 };
    enum : quint16 { StyleMask = 0x000F, CapMask = 0x0F00, CapSquare = 0x0100, CapFlat = 0x0200, JoinMask = 0xF000, JoinBevel = 0x1000, JoinMiter = 0x2000 };

    quint16 style = Solid;   // style, end cap and join bits
    int width = 0;           // in logical units; 0 and 1 are one device pixel
    quint32 color = 0;

    quint16 lineStyle() const { return style & StyleMask; }
    bool isNull() const { return lineStyle() == Null; }
};

// A pattern brush's bitmap. A monochrome pattern has no colours of its own: its 0 pixels take the
// text colour and its 1 pixels the background colour of the moment it fills something.
struct MetafilePattern {
    QImage image;             // Format_RGB32, or Format_Mono for a monochrome pattern
    bool monochrome = false;
};

struct MetafileBrush {
    enum Style : quint16 { Solid = 0, Null = 1, Hatched = 2, Pattern = 3, DibPattern = 5, DibPatternPt = 6 };
    enum Hatch : quint16 { Horizontal = 0, Vertical = 1, ForwardDiagonal = 2, BackwardDiagonal = 3, Cross = 4, DiagonalCross = 5 };

    quint16 style = Solid;
    quint32 color = 0xFFFFFF;
    quint16 hatch = Horizontal;
    std::shared_ptr<const MetafilePattern> pattern;  // set for the pattern styles that have one

    bool isNull() const { return style == Null || ((style == Pattern || style == DibPattern || style == DibPatternPt) && !pattern); }
};

struct MetafileFont {
    int height = 0;        // negative: character height; positive: cell height; 0: a default size
    int width = 0;         // average character width; 0: the font's own
    int escapement = 0;    // tenths of a degree, counter-clockwise
    int weight = 0;        // 0 normal, else 100 to 900
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    quint8 charset = 1;    // 0 ANSI, 1 default, 2 symbol, 238 Central European, ...
    QString face;
};

// A region: rectangles in logical units, each without its right and bottom edge.
struct MetafileRegion {
    QVector<QRect> rects;
};

using MetafileObject = std::variant<MetafilePen, MetafileBrush, MetafileFont, MetafilePalette, MetafileRegion>;

// Object decoding from the create records. A record too short for its object still makes one (a
// null pen or brush, a default font, an empty palette or region): the writer counted the slot as
// taken, and the following records' indices count on it.
MetafilePen readPen(const MetafileRecord& record);
MetafileBrush readBrush(const MetafileRecord& record);
MetafileFont readFont(const MetafileRecord& record);
MetafilePalette readPalette(const MetafileRecord& record);
MetafileRegion readRegion(const MetafileRecord& record);
// The pattern brush records. A pattern of more than maxPixels pixels is not decoded (the brush then
// fills nothing); a DIB whose colours index a palette reads the palette selected when it is made.
MetafileBrush readDibPatternBrush(const MetafileRecord& record, const std::vector<QRgb>* palette, qint64 maxPixels);
MetafileBrush readOldPatternBrush(const MetafileRecord& record, qint64 maxPixels);

// The object table: as many slots as the header names. A created object takes the lowest free
// slot; when every slot is taken it is dropped, as the system drops it. Patterns are decoded images,
// so the pixels of all the patterns a picture makes have a budget. Deleting a pattern brush gives
// none of it back: the selected brush and the saved states may still hold the image.
class MetafileObjectTable {
public:
    static constexpr qint64 PatternPixelBudget = 16 * 1024 * 1024;
    static constexpr qint64 MaxPatternPixels = 1024 * 1024;

    explicit MetafileObjectTable(int size);

    // Returns the slot taken, or -1 when the table is full.
    int create(MetafileObject object);
    // Null for an index out of range or an empty slot.
    const MetafileObject* at(int index) const;
    void remove(int index);

    // How many more pattern pixels the picture may make.
    qint64 patternPixelsLeft() const { return std::max<qint64>(0, PatternPixelBudget - patternPixels_); }

private:
    static qint64 patternPixelsOf(const MetafileObject& object);

    std::vector<std::optional<MetafileObject>> slots_;
    // The lowest free slot is the smaller of the lowest freed one and the first never used.
    std::priority_queue<int, std::vector<int>, std::greater<int>> freed_;
    int firstUnused_ = 0;
    qint64 patternPixels_ = 0;
};
