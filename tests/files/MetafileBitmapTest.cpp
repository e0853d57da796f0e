// Bitmaps in metafiles: decoding device-independent bitmaps at every bit depth and the old
// device-dependent ones, and the records that draw them (stretched, mirrored, through raster
// operations), always pixel for pixel without smoothing.
#include "files/Metafile.h"
#include "files/MetafileBitmap.h"
#include "race/ColorValue.h"
#include "tools/MetafileWriter.h"
#include "tests/support/MetafileBytes.h"

#include <QImage>
#include <QPainter>
#include <QSet>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr QRgb Paper = qRgb(12, 34, 56);
constexpr ColorValue Red = colorValue(255, 0, 0);
constexpr ColorValue Green = colorValue(0, 255, 0);
constexpr ColorValue Blue = colorValue(0, 0, 255);
constexpr ColorValue Yellow = colorValue(255, 255, 0);
constexpr ColorValue Grey = colorValue(128, 128, 128);


std::string colorText(QRgb c)
{
    return std::to_string(qRed(c)) + ',' + std::to_string(qGreen(c)) + ',' + std::to_string(qBlue(c));
}

QRgb at(const QImage& image, int x, int y)
{
    return image.pixel(x, y) | 0xFF000000u;
}

QByteArray infoHeader(int width, int height, int bitsPerPixel, quint32 compression = 0, quint32 colorsUsed = 0)
{
    return le(40, 4) + le(static_cast<quint32>(width), 4) + le(static_cast<quint32>(height), 4) + le(1, 2) + le(bitsPerPixel, 2)
           + le(compression, 4) + le(0, 4) + le(0, 4) + le(0, 4) + le(colorsUsed, 4) + le(0, 4);
}

// A 2 × 2 picture (red, green / blue, yellow), the way a picture's corners are easy to tell apart.
const std::vector<quint32> Corners = {Red, Green, Blue, Yellow};

void expectCorners(const QImage& image)
{
    ASSERT_EQ(image.size(), QSize(2, 2));
    EXPECT_EQ(colorText(at(image, 0, 0)), colorText(toQRgb(Red)));
    EXPECT_EQ(colorText(at(image, 1, 0)), colorText(toQRgb(Green)));
    EXPECT_EQ(colorText(at(image, 0, 1)), colorText(toQRgb(Blue)));
    EXPECT_EQ(colorText(at(image, 1, 1)), colorText(toQRgb(Yellow)));
}

TEST(MetafileBitmap, DibsOfEveryDepthDecodeToTheirExactColours)
{
    for (const int bpp : {4, 8, 16, 24, 32}) {
        for (const bool topDown : {false, true}) {
            SCOPED_TRACE(std::to_string(bpp) + " bits, " + (topDown ? "top-down" : "bottom-up"));
            // 16 bits hold five bits a channel: the corners' channels are all 0 or 255 there too.
            const QByteArray dib = MetafileWriter::dib(2, 2, Corners, bpp, bpp <= 8 ? Corners : std::vector<quint32>{}, topDown);
            const std::optional<DecodedDib> decoded = decodeDib(dib, DibColorUsage::RgbColors, nullptr);
            ASSERT_TRUE(decoded);
            EXPECT_EQ(decoded->bottomUp, !topDown);
            expectCorners(decoded->image);
        }
    }
    // One bit a pixel: two colours, a row of nine pixels to cross a byte.
    const std::vector<quint32> row = {Red, Blue, Blue, Red, Red, Red, Blue, Red, Blue};
    const std::optional<DecodedDib> mono = decodeDib(MetafileWriter::dib(9, 1, row, 1, {Red, Blue}), DibColorUsage::RgbColors, nullptr);
    ASSERT_TRUE(mono);
    for (int x = 0; x < 9; ++x)
        EXPECT_EQ(colorText(at(mono->image, x, 0)), colorText(toQRgb(row[static_cast<size_t>(x)]))) << "pixel " << x;
}

TEST(MetafileBitmap, HandWrittenDibsDecode)
{
    const QRgb R = toQRgb(Red), G = toQRgb(Green), B = toQRgb(Blue), Y = toQRgb(Yellow), K = qRgb(0, 0, 0);
    // Colour entries (blue, green, red, reserved): 0 black, 1 red, 2 green, 3 blue, 4 yellow.
    const QByteArray table = QByteArray::fromHex("00000000" "0000ff00" "00ff0000" "ff000000" "00ffff00");
    struct Case {
        const char* name;
        QByteArray dib;
        std::vector<std::vector<QRgb>> rows;  // top-down
    } const cases[] = {
        // Rows bottom-up, each padded to four bytes.
        {"24 bits, bottom-up", infoHeader(2, 2, 24) + QByteArray::fromHex("ff0000" "00ffff" "0000" "0000ff" "00ff00" "0000"), {{R, G}, {B, Y}}},
        {"16 bits with 5-6-5 fields, top-down",
         infoHeader(2, -2, 16, 3) + le(0xF800, 4) + le(0x07E0, 4) + le(0x001F, 4) + le(0xF800, 2) + le(0x07E0, 2) + le(0x001F, 2) + le(0xFFE0, 2),
         {{R, G}, {B, Y}}},
        // A core header: 16-bit sizes, three-byte colour entries (all sixteen of 4 bits a pixel).
        {"core header, 4 bits",
         le(12, 4) + le(2, 2) + le(2, 2) + le(1, 2) + le(4, 2) + QByteArray::fromHex("0000ff" "00ff00" "ff0000" "00ffff") + QByteArray(12 * 3, '\0')
             + QByteArray::fromHex("23000000" "01000000"),
         {{R, G}, {B, Y}}},
        // Run lengths, the bottom row first. A literal run (escape 0, count 3, padded to a word), end of
        // row, a run of three, end of bitmap.
        {"8-bit run lengths", infoHeader(3, 2, 8, 1, 5) + table + QByteArray::fromHex("0003030401" "00" "0000" "0302" "0001"),
         {{G, G, G}, {B, Y, R}}},
        // A run, a jump one right and one up, a run; pixels no run reaches are colour 0.
        {"8-bit run lengths with a jump", infoHeader(3, 2, 8, 1, 5) + table + QByteArray::fromHex("0101" "00020101" "0104" "0001"),
         {{K, K, Y}, {R, K, K}}},
        {"4-bit run lengths", infoHeader(4, 1, 4, 2, 5) + table + QByteArray::fromHex("0412" "0001"), {{R, G, R, G}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<DecodedDib> decoded = decodeDib(c.dib, DibColorUsage::RgbColors, nullptr);
        ASSERT_TRUE(decoded);
        ASSERT_EQ(decoded->image.height(), static_cast<int>(c.rows.size()));
        ASSERT_EQ(decoded->image.width(), static_cast<int>(c.rows[0].size()));
        for (size_t y = 0; y < c.rows.size(); ++y)
            for (size_t x = 0; x < c.rows[y].size(); ++x)
                EXPECT_EQ(colorText(at(decoded->image, int(x), int(y))), colorText(c.rows[y][x])) << x << ',' << y;
    }
}

TEST(MetafileBitmap, PaletteUsageReadsTheColourTableAsPaletteIndices)
{
    const std::vector<QRgb> palette = {toQRgb(Grey), toQRgb(Yellow), toQRgb(Blue), toQRgb(Green), toQRgb(Red)};
    // 8 bits a pixel; the colour table holds 16-bit indices 4, 3, 2, 1 (red, green, blue, yellow).
    const QByteArray withIndices = infoHeader(2, -2, 8, 0, 4) + le(4, 2) + le(3, 2) + le(2, 2) + le(1, 2) + QByteArray::fromHex("0001" "0000" "0203" "0000");
    const std::optional<DecodedDib> indexed = decodeDib(withIndices, DibColorUsage::PaletteColors, &palette);
    ASSERT_TRUE(indexed);
    expectCorners(indexed->image);
    // Without a palette every colour is black.
    const std::optional<DecodedDib> without = decodeDib(withIndices, DibColorUsage::PaletteColors, nullptr);
    ASSERT_TRUE(without);
    EXPECT_EQ(colorText(at(without->image, 0, 0)), colorText(qRgb(0, 0, 0)));
}

TEST(MetafileBitmap, DamagedOrOversizedDibsAreRefused)
{
    const QByteArray whole = MetafileWriter::dib(2, 2, Corners, 24);
    struct Case {
        const char* name;
        QByteArray dib;
        qint64 maxPixels;
    } const cases[] = {
        {"empty", QByteArray(), MaxBitmapPixels},
        {"a header cut short", whole.left(30), MaxBitmapPixels},
        {"rows cut short", whole.left(whole.size() - 1), MaxBitmapPixels},
        {"an unknown header size", le(20, 4) + whole.mid(4), MaxBitmapPixels},
        {"no width", infoHeader(0, 2, 24) + QByteArray(16, '\0'), MaxBitmapPixels},
        {"no height", infoHeader(2, 0, 24), MaxBitmapPixels},
        {"2 bits a pixel", infoHeader(2, 2, 2) + QByteArray(64, '\0'), MaxBitmapPixels},
        {"compressed as JPEG", infoHeader(2, 2, 24, 4) + QByteArray(64, '\0'), MaxBitmapPixels},
        {"run lengths at 24 bits", infoHeader(2, 2, 24, 1) + QByteArray(64, '\0'), MaxBitmapPixels},
        {"a colour table past the end", infoHeader(2, 2, 8, 0, 200) + QByteArray(16, '\0'), MaxBitmapPixels},
        {"more pixels than allowed", whole, 3},
        {"a width the pixels cannot hold", infoHeader(0x7FFFFFFF, 1, 1) + QByteArray(64, '\0'), MaxBitmapPixels},
        {"a height the pixels cannot hold", infoHeader(1, -0x7FFFFFFF, 1) + QByteArray(64, '\0'), MaxBitmapPixels},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(decodeDib(c.dib, DibColorUsage::RgbColors, nullptr, c.maxPixels));
    }
}

TEST(MetafileBitmap, OldBitmapsDecodeWhenTheyAreMonochromeOrTrueColour)
{
    // Type, width, height, bytes per row, planes and bits per pixel as bytes, then the rows top-down.
    const QByteArray mono = le(0, 2) + le(3, 2) + le(2, 2) + le(2, 2) + le(0x0101, 2) + QByteArray::fromHex("a000" "4000");
    const std::optional<QImage> decoded = decodeBitmap16(mono, toQRgb(Red), toQRgb(Blue));
    ASSERT_TRUE(decoded);
    const QRgb expected[2][3] = {{toQRgb(Blue), toQRgb(Red), toQRgb(Blue)}, {toQRgb(Red), toQRgb(Blue), toQRgb(Red)}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(colorText(at(*decoded, x, y)), colorText(expected[y][x])) << x << ',' << y;

    const QByteArray trueColour = le(0, 2) + le(1, 2) + le(1, 2) + le(4, 2) + le(0x1801, 2) + QByteArray::fromHex("00ffff00");
    const std::optional<QImage> yellow = decodeBitmap16(trueColour, 0, 0);
    ASSERT_TRUE(yellow);
    EXPECT_EQ(colorText(at(*yellow, 0, 0)), colorText(toQRgb(Yellow)));

    const QByteArray eightBits = le(0, 2) + le(1, 2) + le(1, 2) + le(2, 2) + le(0x0801, 2) + QByteArray(2, '\0');
    EXPECT_FALSE(decodeBitmap16(eightBits, 0, 0)) << "a device's own palette cannot be known";
    EXPECT_FALSE(decodeBitmap16(mono.left(12), 0, 0)) << "rows cut short";
}

// --- Records that draw bitmaps ----------------------------------------------------------------

QImage play(const MetafileWriter& writer, QSize size, bool smoothingRequested = false, QRgb paper = Paper)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(paper);
    const std::optional<Metafile> picture = Metafile::fromBytes(writer.bytes());
    if (!picture) {
        ADD_FAILURE() << "the picture was refused";
        return image;
    }
    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, smoothingRequested);
    picture->play(painter, QRectF(QPointF(0, 0), size));
    return image;
}

MetafileWriter canvas(int size)
{
    MetafileWriter writer;
    writer.setWindowOrg(0, 0);
    writer.setWindowExt(size, size);
    return writer;
}

// Every pixel of the block (x, y, w, h) is exactly the colour.
void expectBlock(const QImage& image, const QRect& block, QRgb color)
{
    int wrong = 0;
    for (int y = block.top(); y <= block.bottom(); ++y)
        for (int x = block.left(); x <= block.right(); ++x)
            wrong += at(image, x, y) != color;
    EXPECT_EQ(wrong, 0) << "pixels other than " << colorText(color) << " in " << block.x() << ',' << block.y() << ' ' << block.width() << 'x'
                        << block.height();
}

TEST(MetafileBitmap, StretchedDibsCoverTheirDestinationInWholeSourcePixels)
{
    struct Case {
        const char* name;
        QRect destination;  // logical, of a 20 × 20 picture
        QRect source;       // in the bitmap's pixels, rows counted from the bottom of the bottom-up bitmap
        bool smoothingRequested;
        // Which corner colour each 4 × 4 block of the destination (4, 4, 8, 8) shows: top left, top
        // right, bottom left, bottom right; 0 for the paper.
        ColorValue blocks[4];
    } const cases[] = {
        {"stretched four times", QRect(4, 4, 8, 8), QRect(0, 0, 2, 2), false, {Red, Green, Blue, Yellow}},
        {"with smoothing asked for", QRect(4, 4, 8, 8), QRect(0, 0, 2, 2), true, {Red, Green, Blue, Yellow}},
        {"mirrored left to right", QRect(12, 4, -8, 8), QRect(0, 0, 2, 2), false, {Green, Red, Yellow, Blue}},
        {"mirrored top to bottom", QRect(4, 12, 8, -8), QRect(0, 0, 2, 2), false, {Blue, Yellow, Red, Green}},
        {"the bottom left pixel", QRect(4, 4, 8, 8), QRect(0, 0, 1, 1), false, {Blue, Blue, Blue, Blue}},
        {"the top row", QRect(4, 4, 8, 4), QRect(0, 1, 2, 1), false, {Red, Green, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MetafileWriter writer = canvas(20);
        writer.stretchDib(c.destination, c.source, MetafileWriter::dib(2, 2, Corners, 24));
        const QImage image = play(writer, QSize(20, 20), c.smoothingRequested);
        const QRect blocks[4] = {QRect(4, 4, 4, 4), QRect(8, 4, 4, 4), QRect(4, 8, 4, 4), QRect(8, 8, 4, 4)};
        for (int i = 0; i < 4; ++i)
            expectBlock(image, blocks[i], c.blocks[i] ? toQRgb(c.blocks[i]) : Paper);
        expectBlock(image, QRect(0, 0, 20, 4), Paper);
        expectBlock(image, QRect(0, 12, 20, 8), Paper);
    }
}

TEST(MetafileBitmap, RasterOperationsCombineSourceBrushAndDestination)
{
    const QRgb paper = qRgb(0x0F, 0xF0, 0x33);
    const ColorValue source = colorValue(0x55, 0x55, 0xAA);
    struct Case {
        const char* name;
        quint32 operation;
        bool usesSource;  // else a pattern blit does it too
        QRgb result;
    } const cases[] = {
        {"copy", MetafileWriter::SrcCopy, true, qRgb(0x55, 0x55, 0xAA)},
        {"and", MetafileWriter::SrcAnd, true, qRgb(0x05, 0x50, 0x22)},
        {"or", MetafileWriter::SrcPaint, true, qRgb(0x5F, 0xF5, 0xBB)},
        {"xor", MetafileWriter::SrcInvert, true, qRgb(0x5A, 0xA5, 0x99)},
        {"not the source", 0x00330008, true, qRgb(0xAA, 0xAA, 0x55)},
        {"brush and source together: skipped", 0x00C000CA, true, paper},
        {"the brush", MetafileWriter::PatCopy, false, toQRgb(Yellow)},
        {"black", MetafileWriter::Blackness, false, qRgb(0, 0, 0)},
        {"white", MetafileWriter::Whiteness, false, qRgb(255, 255, 255)},
        {"the destination inverted", MetafileWriter::DstInvert, false, qRgb(0xF0, 0x0F, 0xCC)},
    };
    for (const Case& c : cases) {
        for (const bool patBlt : {false, true}) {
            if (patBlt && c.usesSource)
                continue;
            SCOPED_TRACE(std::string(c.name) + (patBlt ? ", pattern blit" : ", stretched bitmap"));
            MetafileWriter writer = canvas(20);
            writer.selectObject(writer.createBrush(0, Yellow));
            if (patBlt)
                writer.patBlt(QRect(0, 0, 10, 20), c.operation);
            else
                writer.stretchDib(QRect(0, 0, 10, 20), QRect(0, 0, 1, 1), MetafileWriter::dib(1, 1, {source}, 24), c.operation);
            const QImage image = play(writer, QSize(20, 20), false, paper);
            EXPECT_EQ(colorText(at(image, 5, 10)), colorText(c.result));
            EXPECT_EQ(colorText(at(image, 15, 10)), colorText(paper));
        }
    }
}

// The blit records that carry their own source: a DIB, or an old bitmap whose 0 bits take the text
// colour and 1 bits the background colour. Their source rows count from the top.
TEST(MetafileBitmap, BlitRecordsDrawTheirSourceRectangle)
{
    const QByteArray dib = MetafileWriter::dib(2, 2, Corners, 24);
    const QByteArray mono = QByteArray::fromHex("0000" "0200" "0200" "0200" "0101" "4000" "8000");  // rows: 01, 10
    const auto words = [](std::initializer_list<int> values) {
        std::vector<quint16> out;
        for (int v : values)
            out.push_back(static_cast<quint16>(v));
        return out;
    };
    constexpr quint16 CopyLow = 0x0020, CopyHigh = 0x00CC;
    struct Case {
        const char* name;
        quint16 function;
        std::vector<quint16> words;  // raster operation, source and destination
        QByteArray bitmap;
        ColorValue blocks[4];  // of the destination (4, 4, 8, 8), as above
    } const cases[] = {
        {"stretched DIB blit", MetafileWriter::DibStretchBlt, words({CopyLow, CopyHigh, 2, 2, 0, 0, 8, 8, 4, 4}), dib, {Red, Green, Blue, Yellow}},
        {"stretched DIB blit of the bottom row", MetafileWriter::DibStretchBlt, words({CopyLow, CopyHigh, 1, 2, 1, 0, 8, 8, 4, 4}), dib,
         {Blue, Yellow, Blue, Yellow}},
        {"old stretched blit", MetafileWriter::StretchBlt, words({CopyLow, CopyHigh, 2, 2, 0, 0, 8, 8, 4, 4}), mono, {Red, Blue, Blue, Red}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MetafileWriter writer = canvas(20);
        writer.setTextColor(Red);
        writer.setBkColor(Blue);
        writer.record(c.function, c.words, c.bitmap);
        const QImage image = play(writer, QSize(20, 20));
        const QRect blocks[4] = {QRect(4, 4, 4, 4), QRect(8, 4, 4, 4), QRect(4, 8, 4, 4), QRect(8, 8, 4, 4)};
        for (int i = 0; i < 4; ++i)
            expectBlock(image, blocks[i], toQRgb(c.blocks[i]));
    }
    // Unstretched: the source's size is the destination's.
    struct Unstretched {
        const char* name;
        quint16 function;
        std::vector<quint16> words;  // raster operation, source y, x, height, width, destination y, x
        QByteArray bitmap;
        std::vector<std::pair<QPoint, QRgb>> pixels;
    } const unstretched[] = {
        {"DIB blit of the right column", MetafileWriter::DibBitBlt, words({CopyLow, CopyHigh, 0, 1, 2, 1, 4, 8}), dib,
         {{{8, 4}, toQRgb(Green)}, {{8, 5}, toQRgb(Yellow)}, {{7, 4}, Paper}, {{9, 4}, Paper}}},
        {"old blit", MetafileWriter::BitBlt, words({CopyLow, CopyHigh, 0, 0, 2, 2, 4, 4}), mono,
         {{{4, 4}, toQRgb(Red)}, {{5, 4}, toQRgb(Blue)}, {{4, 5}, toQRgb(Blue)}, {{5, 5}, toQRgb(Red)}, {{6, 4}, Paper}}},
    };
    for (const Unstretched& c : unstretched) {
        SCOPED_TRACE(c.name);
        MetafileWriter writer = canvas(20);
        writer.setTextColor(Red);
        writer.setBkColor(Blue);
        writer.record(c.function, c.words, c.bitmap);
        const QImage image = play(writer, QSize(20, 20));
        for (const auto& [point, color] : c.pixels)
            EXPECT_EQ(colorText(at(image, point.x(), point.y())), colorText(color)) << point.x() << ',' << point.y();
    }
}

TEST(MetafileBitmap, DibPatternBrushTilesTheFillFromThePicturesCorner)
{
    MetafileWriter writer = canvas(20);
    writer.selectObject(writer.createPen(5, 0, 0));
    writer.selectObject(writer.createDibPatternBrush(MetafileWriter::dib(2, 2, Corners, 24)));
    writer.rectangle(QRect(3, 3, 10, 10));
    const QImage image = play(writer, QSize(20, 20));
    QSet<QRgb> seen;
    for (int y = 3; y < 13; ++y) {
        for (int x = 3; x < 13; ++x) {
            const QRgb expected = toQRgb(Corners[static_cast<size_t>((y % 2) * 2 + x % 2)]);
            EXPECT_EQ(colorText(at(image, x, y)), colorText(expected)) << x << ',' << y;
            seen.insert(at(image, x, y));
        }
    }
    EXPECT_EQ(seen.size(), 4);
    expectBlock(image, QRect(13, 0, 7, 20), Paper);
}

TEST(MetafileBitmap, SetDibToDevicePlacesTheBitmapOneToOne)
{
    // Colour usage, scan count, first scan, source y, x, height, width, destination y, x, the DIB.
    MetafileWriter writer = canvas(10);  // two pixels a unit: the bitmap is not stretched even so
    writer.record(MetafileWriter::SetDibToDev, {0, 2, 0, 0, 0, 2, 2, 3, 2}, MetafileWriter::dib(2, 2, Corners, 24));
    const QImage image = play(writer, QSize(20, 20));
    expectBlock(image, QRect(4, 6, 1, 1), toQRgb(Red));
    expectBlock(image, QRect(5, 6, 1, 1), toQRgb(Green));
    expectBlock(image, QRect(4, 7, 1, 1), toQRgb(Blue));
    expectBlock(image, QRect(5, 7, 1, 1), toQRgb(Yellow));
    expectBlock(image, QRect(6, 0, 14, 20), Paper);
}

// The committed pictures of real drawing programs hold bitmaps too: RealMetafileTest checks them.

}  // namespace
