// The metafile player record by record: shapes, lines, pens and brushes, fill modes, raster
// operations, the window and viewport mapping, clipping, saved states and the object table.
// Each picture is small and drawn at one logical unit per pixel unless the case says otherwise;
// colours are compared exactly.
#include "files/Metafile.h"
#include "race/ColorValue.h"
#include "tools/MetafileWriter.h"

#include <QImage>
#include <QPainter>
#include <QRegion>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

constexpr QRgb Paper = qRgb(12, 34, 56);
constexpr ColorValue Red = colorValue(200, 30, 30);
constexpr ColorValue Blue = colorValue(30, 80, 200);
constexpr ColorValue Green = colorValue(0, 128, 0);
constexpr ColorValue Yellow = colorValue(255, 255, 0);
constexpr ColorValue Black = colorValue(0, 0, 0);

constexpr quint16 SolidPen = 0, NullPen = 5;
constexpr quint16 SolidBrush = 0, NullBrush = 1, HatchedBrush = 2;


// A picture whose logical units are the pixels of a width × height image.
MetafileWriter canvas(int width = 20, int height = 20)
{
    MetafileWriter writer;
    writer.setWindowOrg(0, 0);
    writer.setWindowExt(width, height);
    return writer;
}

void selectPenAndBrush(MetafileWriter& writer, quint16 penStyle, quint16 brushStyle, ColorValue brushColor = Red, int penWidth = 0)
{
    writer.selectObject(writer.createPen(penStyle, penWidth, Black));
    writer.selectObject(writer.createBrush(brushStyle, brushColor));
}

QImage play(const MetafileWriter& writer, QSize size = QSize(20, 20), QRgb paper = Paper)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(paper);
    const std::optional<Metafile> picture = Metafile::fromBytes(writer.bytes());
    if (!picture) {
        ADD_FAILURE() << "the picture was refused";
        return image;
    }
    QPainter painter(&image);
    picture->play(painter, QRectF(QPointF(0, 0), size));
    return image;
}

QRgb at(const QImage& image, int x, int y)
{
    return image.pixel(x, y) | 0xFF000000u;
}

// Every pixel of exactly that colour.
QRegion pixelsOf(const QImage& image, QRgb color)
{
    QRegion region;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (at(image, x, y) == (color | 0xFF000000u))
                region += QRect(x, y, 1, 1);
    return region;
}

// The region row by row, one span of pixels after another: the same pixels always read the same.
std::string text(const QRegion& region)
{
    std::string out;
    const QRect bounds = region.boundingRect();
    for (int y = bounds.top(); y <= bounds.bottom(); ++y) {
        std::string row;
        for (int x = bounds.left(); x <= bounds.right(); ++x) {
            if (!region.contains(QPoint(x, y)) || (x > bounds.left() && region.contains(QPoint(x - 1, y))))
                continue;
            int end = x;
            while (end + 1 <= bounds.right() && region.contains(QPoint(end + 1, y)))
                ++end;
            row += ' ' + std::to_string(x) + '-' + std::to_string(end);
        }
        if (!row.empty())
            out += "y" + std::to_string(y) + ':' + row + "; ";
    }
    return out.empty() ? "(none)" : out;
}

std::string colorText(QRgb c)
{
    return std::to_string(qRed(c)) + ',' + std::to_string(qGreen(c)) + ',' + std::to_string(qBlue(c));
}

struct Probe {
    QPoint at;
    QRgb color;
};

void expectProbes(const QImage& image, const std::vector<Probe>& probes)
{
    for (const Probe& probe : probes)
        EXPECT_EQ(colorText(at(image, probe.at.x(), probe.at.y())), colorText(probe.color))
            << "at " << probe.at.x() << ',' << probe.at.y();
}

// --- Shapes in a box -------------------------------------------------------------------------

// The box of every case: from (2, 2) up to, not including, (18, 14). Its centre is (10, 8).
const QRect Box(2, 2, 16, 12);

struct BoxCase {
    const char* name;
    quint16 penStyle;
    std::function<void(MetafileWriter&)> draw;
    QRgb boundsColor;  // the colour whose pixels must have exactly these bounds
    QRect bounds;
    std::vector<Probe> probes;
};

TEST(MetafilePlayer, ShapesInABoxCoverItWithoutItsRightAndBottomEdges)
{
    const QPoint right(18, 8), top(10, 2);  // radials to 3 o'clock and 12 o'clock: the upper right quarter
    const std::vector<BoxCase> cases = {
        {"rectangle without a pen", NullPen, [](MetafileWriter& w) { w.rectangle(Box); }, toQRgb(Red), Box,
         {{{2, 2}, toQRgb(Red)}, {{17, 13}, toQRgb(Red)}, {{18, 13}, Paper}, {{17, 14}, Paper}}},
        {"rectangle with a pen", SolidPen, [](MetafileWriter& w) { w.rectangle(Box); }, toQRgb(Black), Box,
         {{{2, 2}, toQRgb(Black)}, {{17, 13}, toQRgb(Black)}, {{3, 3}, toQRgb(Red)}, {{16, 12}, toQRgb(Red)}, {{18, 8}, Paper}}},
        {"ellipse without a pen", NullPen, [](MetafileWriter& w) { w.ellipse(Box); }, toQRgb(Red), Box,
         {{{10, 8}, toQRgb(Red)}, {{2, 2}, Paper}, {{17, 13}, Paper}}},
        {"ellipse with a pen", SolidPen, [](MetafileWriter& w) { w.ellipse(Box); }, toQRgb(Black), Box,
         {{{10, 8}, toQRgb(Red)}, {{2, 8}, toQRgb(Black)}, {{17, 8}, toQRgb(Black)}, {{3, 3}, Paper}}},
        {"rounded rectangle", NullPen, [](MetafileWriter& w) { w.roundRect(Box, 6, 6); }, toQRgb(Red), Box,
         {{{2, 2}, Paper}, {{10, 2}, toQRgb(Red)}, {{2, 8}, toQRgb(Red)}, {{17, 13}, Paper}}},
        {"pie of the upper right quarter", NullPen, [&](MetafileWriter& w) { w.pie(Box, right, top); }, toQRgb(Red), QRect(10, 2, 8, 6),
         {{{15, 4}, toQRgb(Red)}, {{12, 6}, toQRgb(Red)}, {{5, 4}, Paper}, {{15, 11}, Paper}}},
        // The chord's straight side runs from (18, 8) to (10, 2): pixel (10, 2) lies just outside it.
        {"chord of the upper right quarter", NullPen, [&](MetafileWriter& w) { w.chord(Box, right, top); }, toQRgb(Red), QRect(11, 2, 7, 6),
         {{{15, 4}, toQRgb(Red)}, {{12, 6}, Paper}, {{10, 8}, Paper}}},
        {"pie of the rest, from 12 o'clock round to 3 o'clock", NullPen, [&](MetafileWriter& w) { w.pie(Box, top, right); }, toQRgb(Red), Box,
         {{{5, 4}, toQRgb(Red)}, {{15, 11}, toQRgb(Red)}, {{15, 4}, Paper}}},
        {"arc: the outline only, brush or not", SolidPen, [&](MetafileWriter& w) { w.arc(Box, right, top); }, toQRgb(Black), QRect(10, 2, 8, 6),
         {{{13, 6}, Paper}, {{10, 8}, Paper}, {{17, 7}, toQRgb(Black)}, {{10, 2}, toQRgb(Black)}}},
    };
    for (const BoxCase& c : cases) {
        SCOPED_TRACE(c.name);
        MetafileWriter writer = canvas();
        selectPenAndBrush(writer, c.penStyle, SolidBrush);
        c.draw(writer);
        const QImage image = play(writer);
        EXPECT_EQ(text(QRegion(pixelsOf(image, c.boundsColor).boundingRect())), text(QRegion(c.bounds)));
        expectProbes(image, c.probes);
    }
}

TEST(MetafilePlayer, RectangleOutlineIsOnePixelRingAroundItsFill)
{
    MetafileWriter writer = canvas();
    selectPenAndBrush(writer, SolidPen, SolidBrush);
    writer.rectangle(Box);
    const QImage image = play(writer);
    const QRect inside = Box.adjusted(1, 1, -1, -1);
    EXPECT_EQ(text(pixelsOf(image, toQRgb(Black))), text(QRegion(Box) - QRegion(inside)));
    EXPECT_EQ(text(pixelsOf(image, toQRgb(Red))), text(QRegion(inside)));
}

// --- Lines and pens ----------------------------------------------------------------------------

TEST(MetafilePlayer, LinesLeaveOutTheirLastPixelAndMoveTheCurrentPosition)
{
    MetafileWriter writer = canvas();
    selectPenAndBrush(writer, SolidPen, NullBrush);
    writer.moveTo(2, 5);
    writer.lineTo(10, 5);
    writer.lineTo(10, 12);  // from where the last line ended
    writer.polyline({{12, 2}, {18, 2}, {18, 8}});
    const QImage image = play(writer);
    const QRegion expected = QRegion(2, 5, 8, 1) + QRegion(10, 5, 1, 7) + QRegion(12, 2, 6, 1) + QRegion(18, 2, 1, 6);
    EXPECT_EQ(text(pixelsOf(image, toQRgb(Black))), text(expected));
}

TEST(MetafilePlayer, PenWidthScalesWithTheMappingButNeverFallsBelowOnePixel)
{
    struct Case {
        int width;
        int windowSize;  // of a 20 × 20 image
        int rows;        // how thick the horizontal line is drawn
    } const cases[] = {
        {0, 20, 1},
        {1, 20, 1},
        {1, 5, 4},    // one unit is four pixels: a pen of width 1 is four pixels wide
        {0, 5, 1},    // width 0 is one pixel at any scale
        {4, 20, 4},
        {4, 80, 1},   // a quarter pixel wide: still one pixel
        {40, 80, 10},
        {2, 10, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("width " + std::to_string(c.width) + " in a window of " + std::to_string(c.windowSize));
        MetafileWriter writer = canvas(c.windowSize, c.windowSize);
        writer.selectObject(writer.createPen(SolidPen, c.width, Black));
        writer.moveTo(0, c.windowSize / 2);
        writer.lineTo(c.windowSize, c.windowSize / 2);
        const QImage image = play(writer);
        int rows = 0;
        for (int y = 0; y < image.height(); ++y)
            rows += at(image, 10, y) == toQRgb(Black);
        EXPECT_EQ(rows, c.rows);
    }
}

TEST(MetafilePlayer, NullPenAndNullBrushLeaveOutOutlineAndFill)
{
    const QRect square(2, 2, 10, 10);
    const QRegion outline = QRegion(2, 2, 11, 11) - QRegion(3, 3, 9, 9);
    struct Case {
        const char* name;
        quint16 pen;
        quint16 brush;
        QRegion red;
        QRegion black;
    } const cases[] = {
        {"both null", NullPen, NullBrush, QRegion(), QRegion()},
        {"fill only", NullPen, SolidBrush, QRegion(square), QRegion()},
        {"outline only", SolidPen, NullBrush, QRegion(), outline},
        {"both", SolidPen, SolidBrush, QRegion(3, 3, 9, 9), outline},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MetafileWriter writer = canvas();
        selectPenAndBrush(writer, c.pen, c.brush);
        writer.polygon({{2, 2}, {12, 2}, {12, 12}, {2, 12}});
        const QImage image = play(writer);
        EXPECT_EQ(text(pixelsOf(image, toQRgb(Red))), text(c.red));
        EXPECT_EQ(text(pixelsOf(image, toQRgb(Black))), text(c.black));
    }
}

TEST(MetafilePlayer, PolyFillModeDecidesWhetherOverlapsAreFilled)
{
    const QVector<QPoint> outer{{2, 2}, {18, 2}, {18, 18}, {2, 18}};
    const QVector<QPoint> inner{{6, 6}, {14, 6}, {14, 14}, {6, 14}};  // same turning direction
    const QVector<QPoint> star{{10, 0}, {16, 19}, {0, 7}, {20, 7}, {4, 19}};
    struct Case {
        const char* name;
        int mode;
        bool polyPolygon;
        QRgb centre;
    } const cases[] = {
        {"alternate, nested polygons", 1, true, Paper},
        {"winding, nested polygons", 2, true, toQRgb(Red)},
        {"alternate, self-crossing star", 1, false, Paper},
        {"winding, self-crossing star", 2, false, toQRgb(Red)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MetafileWriter writer = canvas();
        selectPenAndBrush(writer, NullPen, SolidBrush);
        writer.setPolyFillMode(c.mode);
        if (c.polyPolygon)
            writer.polyPolygon({outer, inner});
        else
            writer.polygon(star);
        const QImage image = play(writer);
        expectProbes(image, {{{10, 10}, c.centre}, {{c.polyPolygon ? 3 : 10, c.polyPolygon ? 3 : 2}, toQRgb(Red)}});
    }
}

TEST(MetafilePlayer, EveryBinaryRasterOperationCombinesPenAndDestinationBits)
{
    const QRgb paper = qRgb(0x0F, 0xF0, 0x33);
    const ColorValue brush = colorValue(0x55, 0x55, 0xAA);
    const QRgb expected[16] = {
        qRgb(0x00, 0x00, 0x00),  // black
        qRgb(0xA0, 0x0A, 0x44),  // not (pen or destination)
        qRgb(0x0A, 0xA0, 0x11),  // destination and not pen
        qRgb(0xAA, 0xAA, 0x55),  // not pen
        qRgb(0x50, 0x05, 0x88),  // pen and not destination
        qRgb(0xF0, 0x0F, 0xCC),  // not destination
        qRgb(0x5A, 0xA5, 0x99),  // pen xor destination
        qRgb(0xFA, 0xAF, 0xDD),  // not (pen and destination)
        qRgb(0x05, 0x50, 0x22),  // pen and destination
        qRgb(0xA5, 0x5A, 0x66),  // not (pen xor destination)
        paper,                   // destination
        qRgb(0xAF, 0xFA, 0x77),  // destination or not pen
        qRgb(0x55, 0x55, 0xAA),  // pen
        qRgb(0xF5, 0x5F, 0xEE),  // pen or not destination
        qRgb(0x5F, 0xF5, 0xBB),  // pen or destination
        qRgb(0xFF, 0xFF, 0xFF),  // white
    };
    for (int rop2 = 1; rop2 <= 16; ++rop2) {
        SCOPED_TRACE("raster operation " + std::to_string(rop2));
        MetafileWriter writer = canvas();
        selectPenAndBrush(writer, NullPen, SolidBrush, brush);
        writer.setRop2(rop2);
        writer.rectangle(QRect(0, 0, 10, 20));
        const QImage image = play(writer, QSize(20, 20), paper);
        expectProbes(image, {{{5, 10}, expected[rop2 - 1]}, {{15, 10}, paper}});
    }
}

TEST(MetafilePlayer, HatchGapsShowTheBackgroundColourOnlyInOpaqueMode)
{
    constexpr quint16 Horizontal = 0, Vertical = 1, Cross = 4;
    struct Case {
        const char* name;
        quint16 hatch;
        int backgroundMode;
        QRgb gaps;
        bool uniformRows;
        bool uniformColumns;
    } const cases[] = {
        {"horizontal, opaque", Horizontal, 2, toQRgb(Yellow), true, false},
        {"horizontal, transparent", Horizontal, 1, Paper, true, false},
        {"vertical, opaque", Vertical, 2, toQRgb(Yellow), false, true},
        {"cross, transparent", Cross, 1, Paper, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MetafileWriter writer = canvas(16, 16);
        writer.setBkMode(c.backgroundMode);
        writer.setBkColor(Yellow);
        writer.selectObject(writer.createPen(NullPen, 0, Black));
        writer.selectObject(writer.createBrush(HatchedBrush, Red, c.hatch));
        writer.rectangle(QRect(0, 0, 16, 16));
        const QImage image = play(writer, QSize(16, 16));
        const QRegion hatch = pixelsOf(image, toQRgb(Red));
        const QRegion gaps = pixelsOf(image, c.gaps);
        EXPECT_FALSE(hatch.isEmpty());
        EXPECT_FALSE(gaps.isEmpty());
        EXPECT_EQ(text(hatch + gaps), text(QRegion(0, 0, 16, 16))) << "a pixel of another colour";
        for (int i = 0; i < 16; ++i) {
            if (c.uniformRows) {
                EXPECT_TRUE(hatch.contains(QRect(0, i, 16, 1)) || !hatch.intersects(QRect(0, i, 16, 1))) << "row " << i;
            }
            if (c.uniformColumns) {
                EXPECT_TRUE(hatch.contains(QRect(i, 0, 1, 16)) || !hatch.intersects(QRect(i, 0, 1, 16))) << "column " << i;
            }
        }
    }
}

// --- The mapping -------------------------------------------------------------------------------

TEST(MetafilePlayer, WindowAndViewportRecordsMapLogicalUnitsOntoTheFrame)
{
    struct Case {
        const char* name;
        std::function<void(MetafileWriter&)> setUp;  // after a placeable frame and window of 0..20
        QRect logical;                               // the rectangle drawn
        QRect device;                                // the pixels it must cover
    } const cases[] = {
        {"one unit a pixel", [](MetafileWriter&) {}, QRect(2, 2, 4, 4), QRect(2, 2, 4, 4)},
        {"window origin", [](MetafileWriter& w) { w.setWindowOrg(10, 10); }, QRect(12, 12, 4, 4), QRect(2, 2, 4, 4)},
        {"window origin offset", [](MetafileWriter& w) { w.setWindowOrg(2, 0); w.offsetWindowOrg(3, 4); }, QRect(7, 6, 4, 4), QRect(2, 2, 4, 4)},
        {"larger window", [](MetafileWriter& w) { w.setWindowExt(40, 40); }, QRect(4, 4, 8, 8), QRect(2, 2, 4, 4)},
        {"window scaled", [](MetafileWriter& w) { w.scaleWindowExt(1, 2, 1, 4); }, QRect(1, 1, 2, 2), QRect(2, 4, 4, 8)},
        {"negative window height turns the y axis", [](MetafileWriter& w) { w.setWindowOrg(0, 20); w.setWindowExt(20, -20); },
         QRect(2, 2, 4, 4), QRect(2, 14, 4, 4)},
        {"negative window width turns the x axis", [](MetafileWriter& w) { w.setWindowOrg(20, 0); w.setWindowExt(-20, 20); },
         QRect(2, 2, 4, 4), QRect(14, 2, 4, 4)},
        {"viewport origin", [](MetafileWriter& w) { w.setViewportOrg(4, 0); }, QRect(2, 2, 4, 4), QRect(6, 2, 4, 4)},
        {"viewport origin offset", [](MetafileWriter& w) { w.offsetViewportOrg(0, 5); }, QRect(2, 2, 4, 4), QRect(2, 7, 4, 4)},
        {"smaller viewport", [](MetafileWriter& w) { w.setViewportExt(10, 10); }, QRect(4, 4, 8, 8), QRect(2, 2, 4, 4)},
        {"viewport scaled", [](MetafileWriter& w) { w.scaleViewportExt(3, 2, 1, 1); }, QRect(2, 2, 4, 4), QRect(3, 2, 6, 4)},
        {"anisotropic keeps each axis's scale", [](MetafileWriter& w) { w.setMapMode(8); w.setWindowExt(10, 20); w.setViewportExt(20, 20); },
         QRect(0, 0, 10, 10), QRect(0, 0, 20, 10)},
        {"isotropic takes the smaller scale for both", [](MetafileWriter& w) { w.setMapMode(7); w.setWindowExt(10, 20); w.setViewportExt(20, 20); },
         QRect(0, 0, 10, 10), QRect(0, 0, 10, 10)},
        {"text mode: one unit a frame unit", [](MetafileWriter& w) { w.setWindowExt(40, 40); w.setMapMode(1); }, QRect(2, 2, 4, 4), QRect(2, 2, 4, 4)},
        {"metric modes count y upwards", [](MetafileWriter& w) { w.setMapMode(2); }, QRect(2, -6, 4, 4), QRect(2, 2, 4, 4)},
        {"extents are ignored in text mode", [](MetafileWriter& w) { w.setMapMode(1); w.setWindowExt(40, 40); }, QRect(2, 2, 4, 4), QRect(2, 2, 4, 4)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MetafileWriter writer;
        writer.setPlaceable(QRect(0, 0, 20, 20), 96);
        writer.setWindowOrg(0, 0);
        writer.setWindowExt(20, 20);
        c.setUp(writer);
        selectPenAndBrush(writer, NullPen, SolidBrush);
        writer.rectangle(c.logical);
        EXPECT_EQ(text(pixelsOf(play(writer), toQRgb(Red))), text(QRegion(c.device)));
    }
}

// --- Clipping ----------------------------------------------------------------------------------

TEST(MetafilePlayer, ClipRectanglesLimitWhatLaterRecordsDraw)
{
    const QRect all(0, 0, 20, 20);
    struct Case {
        const char* name;
        std::function<void(MetafileWriter&)> clip;
        QRect filled;  // logical, drawn after the clip
        QRegion red;
    } const cases[] = {
        {"intersect", [](MetafileWriter& w) { w.intersectClipRect(QRect(4, 4, 8, 8)); }, all, QRegion(4, 4, 8, 8)},
        {"exclude", [](MetafileWriter& w) { w.excludeClipRect(QRect(4, 4, 8, 8)); }, all, QRegion(all) - QRegion(4, 4, 8, 8)},
        {"intersect, then exclude from it",
         [](MetafileWriter& w) { w.intersectClipRect(QRect(2, 2, 14, 14)); w.excludeClipRect(QRect(6, 6, 4, 4)); }, all,
         QRegion(2, 2, 14, 14) - QRegion(6, 6, 4, 4)},
        {"two intersections", [](MetafileWriter& w) { w.intersectClipRect(QRect(2, 2, 10, 10)); w.intersectClipRect(QRect(8, 8, 10, 10)); }, all,
         QRegion(8, 8, 4, 4)},
        {"an empty intersection clips everything", [](MetafileWriter& w) { w.intersectClipRect(QRect(4, 4, 0, 0)); }, all, QRegion()},
        {"restoring the state restores the clip", [](MetafileWriter& w) { w.saveDc(); w.intersectClipRect(QRect(4, 4, 4, 4)); w.restoreDc(); }, all,
         QRegion(all)},
        {"the clip stays on the device when the window moves",
         [](MetafileWriter& w) { w.intersectClipRect(QRect(0, 0, 10, 10)); w.setWindowOrg(-10, 0); }, QRect(-10, 0, 20, 20), QRegion(0, 0, 10, 10)},
        {"a clip region replaces the clip", [](MetafileWriter& w) {
             w.intersectClipRect(QRect(0, 0, 4, 4));
             w.record(MetafileWriter::SelectClipRegion, {static_cast<quint16>(w.createRegion({QRect(2, 2, 4, 4), QRect(10, 12, 6, 3)}))});
         }, all, QRegion(2, 2, 4, 4) + QRegion(10, 12, 6, 3)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MetafileWriter writer = canvas();
        selectPenAndBrush(writer, NullPen, SolidBrush);
        c.clip(writer);
        writer.rectangle(c.filled);
        EXPECT_EQ(text(pixelsOf(play(writer), toQRgb(Red))), text(c.red));
    }
}

// --- Saved states --------------------------------------------------------------------------------

TEST(MetafilePlayer, RestoringGoesBackToTheStateSavedThatManySavesAgoOrToOneCountedFromTheFirst)
{
    struct Case {
        const char* name;
        std::function<void(MetafileWriter&, int red, int blue, int green)> records;
        QRgb filled;
    } const cases[] = {
        {"the last save", [](MetafileWriter& w, int red, int blue, int) { w.selectObject(red); w.saveDc(); w.selectObject(blue); w.restoreDc(-1); }, toQRgb(Red)},
        {"two saves back",
         [](MetafileWriter& w, int red, int blue, int green) {
             w.selectObject(red); w.saveDc(); w.selectObject(blue); w.saveDc(); w.selectObject(green); w.restoreDc(-2);
         },
         toQRgb(Red)},
        {"the first save, counted from it",
         [](MetafileWriter& w, int red, int blue, int green) {
             w.selectObject(red); w.saveDc(); w.selectObject(blue); w.saveDc(); w.selectObject(green); w.restoreDc(1);
         },
         toQRgb(Red)},
        {"the second save, counted from the first",
         [](MetafileWriter& w, int red, int blue, int green) {
             w.selectObject(red); w.saveDc(); w.selectObject(blue); w.saveDc(); w.selectObject(green); w.restoreDc(2);
         },
         toQRgb(Blue)},
        {"nothing saved: nothing restored", [](MetafileWriter& w, int, int blue, int) { w.selectObject(blue); w.restoreDc(-1); }, toQRgb(Blue)},
        {"further back than saved: nothing restored",
         [](MetafileWriter& w, int red, int blue, int) { w.selectObject(red); w.saveDc(); w.selectObject(blue); w.restoreDc(-2); }, toQRgb(Blue)},
        {"a restore pops its state: a second one goes further back",
         [](MetafileWriter& w, int red, int blue, int green) {
             w.selectObject(red); w.saveDc(); w.selectObject(blue); w.saveDc(); w.selectObject(green); w.restoreDc(-1); w.restoreDc(-1);
         },
         toQRgb(Red)},
        {"the mapping is part of the state",
         [](MetafileWriter& w, int red, int, int) { w.selectObject(red); w.saveDc(); w.setWindowOrg(100, 100); w.restoreDc(-1); }, toQRgb(Red)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MetafileWriter writer = canvas();
        writer.selectObject(writer.createPen(NullPen, 0, Black));
        const int red = writer.createBrush(SolidBrush, Red);
        const int blue = writer.createBrush(SolidBrush, Blue);
        const int green = writer.createBrush(SolidBrush, Green);
        c.records(writer, red, blue, green);
        writer.rectangle(QRect(0, 0, 20, 20));
        EXPECT_EQ(colorText(at(play(writer), 10, 10)), colorText(c.filled));
    }
}

// --- The object table ----------------------------------------------------------------------------

TEST(MetafilePlayer, ObjectsTakeTheLowestFreeSlotAndSelectingAnEmptySlotChangesNothing)
{
    struct Case {
        const char* name;
        std::function<void(MetafileWriter&)> records;  // slot 0 holds a null pen, selected
        QRgb filled;
    } const cases[] = {
        {"a deleted slot is taken again",
         [](MetafileWriter& w) {
             w.createBrush(SolidBrush, Red);   // 1
             w.createBrush(SolidBrush, Blue);  // 2
             w.deleteObject(1);
             w.createBrush(SolidBrush, Green);  // 1 again
             w.selectObject(1);
         },
         toQRgb(Green)},
        {"the lowest of several free slots",
         [](MetafileWriter& w) {
             w.createBrush(SolidBrush, Red);   // 1
             w.createBrush(SolidBrush, Blue);  // 2
             w.createBrush(SolidBrush, Red);   // 3
             w.deleteObject(3);
             w.deleteObject(1);
             w.createBrush(SolidBrush, Green);  // 1
             w.selectObject(1);
         },
         toQRgb(Green)},
        {"palettes, fonts and regions take slots too",
         [](MetafileWriter& w) {
             w.createPalette({Red});
             w.createFont(-10, 400, 0, "DejaVu Sans");
             w.createRegion({QRect(0, 0, 1, 1)});
             w.createBrush(SolidBrush, Green);  // 4
             w.selectObject(4);
         },
         toQRgb(Green)},
        {"a deleted slot selects nothing", [](MetafileWriter& w) {
             w.selectObject(w.createBrush(SolidBrush, Red));
             const int blue = w.createBrush(SolidBrush, Blue);
             w.deleteObject(blue);
             w.selectObject(blue);
         }, toQRgb(Red)},
        {"a slot past the table selects nothing", [](MetafileWriter& w) { w.selectObject(w.createBrush(SolidBrush, Red)); w.selectObject(40000); }, toQRgb(Red)},
        {"a deleted selected brush still draws",
         [](MetafileWriter& w) {
             const int red = w.createBrush(SolidBrush, Red);
             w.selectObject(red);
             w.deleteObject(red);
             w.createBrush(SolidBrush, Blue);  // takes the slot, is not selected
         },
         toQRgb(Red)},
        {"an object beyond the header's table size is dropped",
         [](MetafileWriter& w) {
             w.setObjectCount(2);
             w.selectObject(w.createBrush(SolidBrush, Red));  // 1
             w.createBrush(SolidBrush, Blue);                 // no slot left
             w.selectObject(2);
         },
         toQRgb(Red)},
        {"a default brush is white", [](MetafileWriter&) {}, qRgb(255, 255, 255)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MetafileWriter writer = canvas();
        writer.selectObject(writer.createPen(NullPen, 0, Black));
        c.records(writer);
        writer.rectangle(QRect(0, 0, 20, 20));
        EXPECT_EQ(colorText(at(play(writer), 10, 10)), colorText(c.filled));
    }
}

TEST(MetafilePlayer, PaletteIndexColoursFollowTheSelectedPaletteAndItsChanges)
{
    constexpr quint32 ThirdEntry = 0x01000002;
    struct Case {
        const char* name;
        std::function<void(MetafileWriter&)> records;  // before a brush of the palette's third entry fills the picture
        QRgb filled;
    } const cases[] = {
        {"the selected palette", [](MetafileWriter& w) { w.selectPalette(w.createPalette({Red, Blue, Green})); }, toQRgb(Green)},
        {"no palette: black", [](MetafileWriter&) {}, qRgb(0, 0, 0)},
        {"an index past the palette: black", [](MetafileWriter& w) { w.selectPalette(w.createPalette({Red, Blue})); }, qRgb(0, 0, 0)},
        {"entries set after the palette was selected",
         [](MetafileWriter& w) {
             w.selectPalette(w.createPalette({Red, Blue, Green}));
             w.record(MetafileWriter::SetPalEntries, {2, 1, static_cast<quint16>(Yellow & 0xFFFF), static_cast<quint16>(Yellow >> 16)});
         },
         toQRgb(Yellow)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MetafileWriter writer = canvas();
        writer.selectObject(writer.createPen(NullPen, 0, Black));
        c.records(writer);
        writer.selectObject(writer.createBrush(SolidBrush, ThirdEntry));
        writer.rectangle(QRect(0, 0, 20, 20));
        EXPECT_EQ(colorText(at(play(writer), 10, 10)), colorText(c.filled));
    }
}

// --- Pixels, regions and skipped records ----------------------------------------------------------

TEST(MetafilePlayer, SetPixelSetsExactlyOneDevicePixelWhateverTheRasterOperation)
{
    for (const int windowSize : {20, 10}) {
        SCOPED_TRACE("window " + std::to_string(windowSize));
        MetafileWriter writer = canvas(windowSize, windowSize);
        writer.setRop2(11);  // leave the destination: pens and brushes draw nothing
        writer.setPixel(3, 4, Red);
        const int scale = 20 / windowSize;
        EXPECT_EQ(text(pixelsOf(play(writer), toQRgb(Red))), text(QRegion(3 * scale, 4 * scale, 1, 1)));
    }
}

TEST(MetafilePlayer, RegionsAreFilledWithTheNamedOrTheSelectedBrush)
{
    const QRegion shape = QRegion(2, 2, 4, 4) + QRegion(10, 12, 6, 3);
    for (const bool named : {true, false}) {
        SCOPED_TRACE(named ? "fill region" : "paint region");
        MetafileWriter writer = canvas();
        const int region = writer.createRegion({QRect(2, 2, 4, 4), QRect(10, 12, 6, 3)});
        const int red = writer.createBrush(SolidBrush, Red);
        if (named) {
            writer.record(MetafileWriter::FillRegion, {static_cast<quint16>(region), static_cast<quint16>(red)});
        } else {
            writer.selectObject(red);
            writer.record(MetafileWriter::PaintRegion, {static_cast<quint16>(region)});
        }
        EXPECT_EQ(text(pixelsOf(play(writer), toQRgb(Red))), text(shape));
    }
}

TEST(MetafilePlayer, EscapesAndUnknownRecordsAreSkipped)
{
    MetafileWriter writer = canvas();
    selectPenAndBrush(writer, NullPen, SolidBrush);
    writer.record(MetafileWriter::Escape, {15, 8, 0x4D50, 0x4D45, 1, 0, 0, 0});  // a comment, as writers embed
    writer.record(0x0999, {1, 2, 3});
    writer.record(0x0E77, {});
    writer.rectangle(QRect(2, 2, 4, 4));
    EXPECT_EQ(text(pixelsOf(play(writer), toQRgb(Red))), text(QRegion(2, 2, 4, 4)));
}

}  // namespace
