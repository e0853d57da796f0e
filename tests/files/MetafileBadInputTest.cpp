// Damaged and hostile metafiles: each is refused when it is read, or played to its end without a
// crash, a hang or an allocation beyond the caps (a hang shows as the test binary's timeout).
#include "files/Metafile.h"
#include "tools/MetafileWriter.h"
#include "tests/support/MetafileBytes.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {

// The 18-byte header: memory metafile, 9 words, version 3, file size, objects, largest record, 0.
QByteArray header(quint16 objects = 4, quint16 type = 1, quint16 words = 9, quint16 version = 0x0300)
{
    return le(type, 2) + le(words, 2) + le(version, 2) + le(0, 4) + le(objects, 2) + le(0, 4) + le(0, 2);
}

QByteArray record(quint32 sizeWords, quint16 function, const QByteArray& parameters = {})
{
    return le(sizeWords, 4) + le(function, 2) + parameters;
}

const QByteArray EndRecord = record(3, 0);

TEST(MetafileBadInput, BytesWithoutAUsableHeaderOrRecordAreRefused)
{
    const QByteArray rectangle = record(7, 0x041B, le(10, 2) + le(10, 2) + le(0, 2) + le(0, 2));
    struct Case {
        const char* name;
        QByteArray bytes;
    } const cases[] = {
        {"nothing", QByteArray()},
        {"a few zero bytes", QByteArray(10, '\0')},
        {"a placeable key cut short", le(0x9AC6CDD7u, 4) + QByteArray(6, '\0')},
        {"a placeable header alone", le(0x9AC6CDD7u, 4) + QByteArray(18, '\0')},
        {"a header cut short", header().left(12)},
        {"an unknown file type", header(4, 3) + rectangle + EndRecord},
        {"a header of the wrong size", header(4, 1, 10) + rectangle + EndRecord},
        {"an unknown version", header(4, 1, 9, 0x0200) + rectangle + EndRecord},
        {"no record before the end record", header() + EndRecord + rectangle},
        {"no records at all", header()},
        {"a first record of size 0", header() + record(0, 0x041B) + rectangle},
        {"a first record of size 2", header() + record(2, 0x041B) + rectangle},
        {"a first record running past the end", header() + record(50, 0x041B, le(10, 2))},
        {"a first record of four billion words", header() + record(0xFFFFFFFFu, 0x041B, le(10, 2))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(Metafile::fromBytes(c.bytes));
    }
    EXPECT_FALSE(Metafile::fromFile(QStringLiteral("/nonexistent/picture.wmf")));
}

TEST(MetafileBadInput, ARecordRunningPastTheEndEndsTheList)
{
    MetafileWriter writer;
    writer.setWindowOrg(0, 0);
    writer.setWindowExt(20, 20);
    writer.selectObject(writer.createPen(5, 0, 0));
    writer.selectObject(writer.createBrush(0, 0x0000FF));
    writer.rectangle(QRect(0, 0, 10, 20));
    writer.rawBytes(record(1000, 0x041B, le(20, 2) + le(20, 2) + le(0, 2) + le(10, 2)));  // the right half, but cut
    const std::optional<Metafile> picture = Metafile::fromBytes(writer.bytes());
    ASSERT_TRUE(picture);
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    picture->play(painter, QRectF(0, 0, 20, 20));
    painter.end();
    EXPECT_EQ(image.pixel(5, 10) | 0xFF000000u, qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(15, 10) | 0xFF000000u, qRgb(255, 255, 255));
}

std::vector<quint16> words(std::initializer_list<int> values)
{
    std::vector<quint16> out;
    for (int v : values)
        out.push_back(static_cast<quint16>(v));
    return out;
}

// A DIB header (uncompressed unless told) naming a bitmap that its bytes do not hold.
QByteArray dibHeader(qint32 width, qint32 height, int bitsPerPixel, quint32 colorsUsed = 0, quint32 compression = 0)
{
    return le(40, 4) + le(static_cast<quint32>(width), 4) + le(static_cast<quint32>(height), 4) + le(1, 2) + le(bitsPerPixel, 2)
           + le(compression, 4) + le(0, 4) + le(0, 4) + le(0, 4) + le(colorsUsed, 4) + le(0, 4);
}

// A run-length DIB of width × height 8-bit pixels in a few bytes: one colour, then the end of the bitmap.
QByteArray emptyRunLengthDib(qint32 width, qint32 height)
{
    return dibHeader(width, height, 8, 1, 1) + le(0x0000FF, 4) + le(0x0100, 2);
}

TEST(MetafileBadInput, HostileRecordsArePlayedOrSkippedSafely)
{
    const std::vector<quint16> copyOp = words({0x0020, 0x00CC});
    const auto withOp = [&](std::initializer_list<int> rest) {
        std::vector<quint16> out = copyOp;
        for (int v : rest)
            out.push_back(static_cast<quint16>(v));
        return out;
    };
    struct Case {
        const char* name;
        std::function<void(MetafileWriter&)> records;
    } const cases[] = {
        {"a polygon claiming more points than it holds", [](MetafileWriter& w) { w.record(MetafileWriter::Polygon, words({32767, 1, 1, 5, 5})); }},
        {"a polyline claiming a negative number of points", [](MetafileWriter& w) { w.record(MetafileWriter::Polyline, words({-5, 1, 1, 5, 5})); }},
        {"a polypolygon claiming 65535 polygons", [](MetafileWriter& w) { w.record(MetafileWriter::PolyPolygon, words({65535, 3, 1, 1, 5, 5, 9, 1})); }},
        {"a polypolygon claiming billions of points",
         [](MetafileWriter& w) { w.record(MetafileWriter::PolyPolygon, words({4, 65535, 65535, 65535, 65535, 1, 1, 5, 5})); }},
        {"huge extents with every shape",
         [](MetafileWriter& w) {
             w.setMapMode(8);
             w.setWindowExt(1, 1);
             w.setViewportExt(32767, 32767);
             w.selectObject(w.createPen(0, 32767, 0x00FF00));
             w.rectangle(QRect(-32768, -32768, 65535, 65535));
             w.ellipse(QRect(-30000, -30000, 60000, 60000));
             w.arc(QRect(-30000, -30000, 60000, 60000), {30000, 0}, {0, -30000});
             w.pie(QRect(-3, -3, 7, 7), {3, 0}, {0, -3});
             w.roundRect(QRect(-30000, -30000, 60000, 60000), 32767, 32767);
             w.moveTo(-32768, -32768);
             w.lineTo(32767, 32767);
             w.polygon({{-32768, 0}, {32767, 1}, {0, 32767}});
             w.setPixel(32767, 32767, 0xFF);
             w.selectObject(w.createFont(-32768, 400, 0, "DejaVu Sans"));
             w.textOut(0, 0, "Huge");
             w.selectObject(w.createFont(32767, 400, 0, "DejaVu Sans"));
             w.textOut(0, 0, "Huge");
             w.intersectClipRect(QRect(-32768, -32768, 65535, 65535));
             w.stretchDib(QRect(-32768, -32768, 65535, 65535), QRect(0, 0, 1, 1), MetafileWriter::dib(1, 1, {0xFF}, 24));
         }},
        {"extents scaled far beyond what fits",
         [](MetafileWriter& w) {
             w.setMapMode(8);
             for (int i = 0; i < 200; ++i) {
                 w.scaleViewportExt(32767, 1, 32767, 1);
                 w.scaleWindowExt(1, 32767, 1, 32767);
                 w.offsetViewportOrg(32767, 32767);
                 w.offsetWindowOrg(-32768, -32768);
             }
             w.rectangle(QRect(0, 0, 10, 10));
             w.textOut(1, 1, "x");
         }},
        {"zero extents, zero scales and unknown modes",
         [](MetafileWriter& w) {
             w.setWindowExt(0, 0);
             w.setViewportExt(0, 5);
             w.scaleWindowExt(0, 0, 1, 0);
             w.setMapMode(999);
             w.setBkMode(77);
             w.setPolyFillMode(-3);
             w.setRop2(0);
             w.setRop2(40000);
             w.setTextAlign(0xFFFF);
             w.rectangle(QRect(0, 0, 10, 10));
             w.textOut(5, 5, "x");
         }},
        {"bitmaps naming more pixels than they hold",
         [&](MetafileWriter& w) {
             w.stretchDib(QRect(0, 0, 10, 10), QRect(0, 0, 65535, 65535), dibHeader(65535, 65535, 1) + QByteArray(16, '\0'));
             w.stretchDib(QRect(0, 0, 10, 10), QRect(0, 0, 30000, 30000), dibHeader(30000, -30000, 24) + QByteArray(8, '\0'));
             w.stretchDib(QRect(0, 0, 10, 10), QRect(0, 0, 1, 1), dibHeader(1, 1, 8, 0xFFFFFFFFu) + QByteArray(8, '\0'));
             w.stretchDib(QRect(0, 0, 10, 10), QRect(0, 0, 1, 1), dibHeader(-5, std::numeric_limits<qint32>::min(), 32));
             w.stretchDib(QRect(0, 0, 10, 10), QRect(0, 0, 1, 1), QByteArray(3, '\1'));
             w.record(MetafileWriter::DibStretchBlt, withOp({8, 8, 0, 0, 10, 10, 0, 0}), dibHeader(0x7FFFFFFF, 0x7FFFFFFF, 32));
             w.record(MetafileWriter::DibBitBlt, withOp({0, 0, 10, 10, 0, 0}), dibHeader(100000, 2, 4) + QByteArray(100, '\0'));
             w.record(MetafileWriter::StretchBlt, withOp({2, 2, 0, 0, 10, 10, 0, 0}), le(0, 2) + le(32767, 2) + le(32767, 2) + le(4096, 2) + le(0x0101, 2));
             w.record(MetafileWriter::BitBlt, withOp({0, 0, 10, 10, 0, 0}), le(0, 2) + le(8, 2) + le(8, 2) + le(1, 2) + le(0x0101, 2));
             w.record(MetafileWriter::SetDibToDev, words({0, 65535, 0, 0, 0, 65535, 65535, 0, 0}), dibHeader(65535, 65535, 24));
             w.record(MetafileWriter::DibCreatePatternBrush, words({5, 0}), dibHeader(20000, 20000, 1) + QByteArray(64, '\0'));
             w.selectObject(0);
             w.rectangle(QRect(0, 0, 10, 10));
         }},
        {"run-length bitmaps of the most pixels in a few bytes, again and again",
         [](MetafileWriter& w) {
             for (int i = 0; i < 400; ++i)
                 w.stretchDib(QRect(0, 0, 10, 10), QRect(0, 0, 8192, 8192), emptyRunLengthDib(8192, 8192));
         }},
        {"pattern brushes of the most pixels, each selected, saved and deleted",
         [](MetafileWriter& w) {
             w.setObjectCount(1);
             for (int i = 0; i < 1200; ++i) {
                 w.record(MetafileWriter::DibCreatePatternBrush, words({5, 0}), emptyRunLengthDib(1024, 1024));
                 w.selectObject(0);
                 w.saveDc();
                 w.deleteObject(0);
             }
             w.rectangle(QRect(0, 0, 10, 10));
         }},
        {"blits that copy the device onto itself", [&](MetafileWriter& w) {
             w.record(MetafileWriter::DibStretchBlt, withOp({8, 8, 0, 0, 0, 10, 10, 0, 0}));
             w.record(MetafileWriter::BitBlt, withOp({0, 0, 0, 10, 10, 0, 0}));
         }},
        {"deep saves and wild restores",
         [](MetafileWriter& w) {
             for (int i = 0; i < 5000; ++i) {
                 w.saveDc();
                 w.intersectClipRect(QRect(0, 0, 60 - i % 50, 60));
             }
             w.restoreDc(-32768);
             w.restoreDc(32767);
             w.restoreDc(0);
             for (int i = 0; i < 6000; ++i)
                 w.restoreDc(-1);
             w.rectangle(QRect(0, 0, 10, 10));
         }},
        {"object indices out of range",
         [](MetafileWriter& w) {
             w.selectObject(65535);
             w.selectObject(-1);
             w.deleteObject(65535);
             w.deleteObject(3);
             w.selectPalette(65535);
             w.record(MetafileWriter::FillRegion, words({65535, 65535}));
             w.record(MetafileWriter::PaintRegion, words({4}));
             w.record(MetafileWriter::SelectClipRegion, words({65535}));
             w.rectangle(QRect(0, 0, 10, 10));
         }},
        {"more objects than the largest table",
         [](MetafileWriter& w) {
             w.setObjectCount(65535);
             for (int i = 0; i < 70000; ++i)
                 w.record(MetafileWriter::CreatePenIndirect, words({0, 1, 0, i & 0xFFFF, 0}));
             w.selectObject(65534);
             w.rectangle(QRect(0, 0, 10, 10));
         }},
        {"objects of the wrong kind and cut short",
         [](MetafileWriter& w) {
             const int palette = w.createPalette({1, 2});
             w.selectObject(palette);
             w.record(MetafileWriter::CreatePenIndirect, words({0}));
             w.record(MetafileWriter::CreateBrushIndirect, words({}));
             w.record(MetafileWriter::CreateFontIndirect, words({-10}));
             w.record(MetafileWriter::CreateRegion, words({0, 6, 0, 0, 0, 65535, 65535, 0, 0, 10, 10, 65535, 0, 10}));
             w.record(MetafileWriter::CreatePalette, words({0x0300, 65535, 1, 2}));
             w.record(0x01F9, words({0, 32767, 32767, 4096}));  // an old pattern brush, cut short
             for (int slot = 0; slot < 12; ++slot) {
                 w.selectObject(slot);
                 w.selectPalette(slot);
                 w.record(MetafileWriter::SelectClipRegion, words({slot}));
                 w.record(MetafileWriter::PaintRegion, words({slot}));
             }
             w.rectangle(QRect(0, 0, 10, 10));
         }},
        {"palettes changed past their ends",
         [](MetafileWriter& w) {
             w.record(MetafileWriter::SetPalEntries, words({0, 10, 1, 2}));  // no palette selected
             w.selectPalette(w.createPalette({1, 2}));
             w.record(MetafileWriter::SetPalEntries, words({65000, 65535, 1, 2}));
             w.record(MetafileWriter::SetPalEntries, words({0, 65535, 1}));
             w.record(0x0139, words({65535}));  // resize
             w.record(0x0139, words({0}));
             w.selectObject(w.createBrush(0, 0x01000005));
             w.rectangle(QRect(0, 0, 10, 10));
         }},
        {"text records cut short",
         [](MetafileWriter& w) {
             w.selectObject(w.createFont(-12, 400, 238, "DejaVu Sans"));
             w.record(MetafileWriter::TextOut, words({32767, 0x4141}));
             w.record(MetafileWriter::TextOut, words({-4, 0x4141, 5, 5}));
             w.record(MetafileWriter::ExtTextOut, words({5, 5, 4, 6, 0, 0}));
             w.record(MetafileWriter::ExtTextOut, words({5, 5, 32767, 0, 0x4141}));
             w.record(MetafileWriter::ExtTextOut, words({5, 5, -1, 2, 0, 0, 10, 10}));
             w.record(MetafileWriter::ExtTextOut, words({5, 5, 2, 0, 0x4141, 32767}));  // a cut distance array
             w.record(MetafileWriter::ExtTextOut, words({5, 5, 2, 0, 0x4141, 32767, -32768}));
         }},
        {"regions with absurd scans",
         [](MetafileWriter& w) {
             std::vector<quint16> region = words({0, 6, 0, 0, 0, 20000, 2, -32768, -32768, 32767, 32767});
             for (int i = 0; i < 20000; ++i)
                 for (int v : {2, 20000 - i, 20001 - i, -i, i + 1, 2})
                     region.push_back(static_cast<quint16>(v));
             w.record(MetafileWriter::CreateRegion, region);
             w.record(MetafileWriter::PaintRegion, words({0}));
             w.record(MetafileWriter::SelectClipRegion, words({0}));
             w.record(0x0220, words({32767, -32768}));  // offset the clip region
             w.rectangle(QRect(0, 0, 10, 10));
         }},
        {"escapes and unknown records of every size", [](MetafileWriter& w) {
             w.record(MetafileWriter::Escape, words({15, 60000, 1, 2}));
             for (int f = 0; f < 0x1000; f += 0x0F7)
                 w.record(static_cast<quint16>(0xF000 | f), words({1, 2, 3}));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MetafileWriter writer;
        writer.setWindowOrg(0, 0);
        writer.setWindowExt(64, 64);
        c.records(writer);
        const std::optional<Metafile> picture = Metafile::fromBytes(writer.bytes());
        ASSERT_TRUE(picture);
        QImage image(64, 64, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        picture->play(painter, QRectF(0, 0, 64, 64));
        painter.end();
    }
}

TEST(MetafileBadInput, DegenerateTargetsDrawNothingAndDoNotFail)
{
    MetafileWriter writer;
    writer.setWindowOrg(0, 0);
    writer.setWindowExt(10, 10);
    writer.rectangle(QRect(0, 0, 10, 10));
    writer.ellipse(QRect(0, 0, 10, 10));
    writer.stretchDib(QRect(0, 0, 10, 10), QRect(0, 0, 1, 1), MetafileWriter::dib(1, 1, {0xFF}, 24));
    writer.textOut(1, 1, "x");
    const std::optional<Metafile> picture = Metafile::fromBytes(writer.bytes());
    ASSERT_TRUE(picture);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const QRectF& target : {QRectF(0, 0, 0, 0), QRectF(5, 5, -10, 0), QRectF(nan, 0, nan, 10), QRectF(0, 0, 1e300, 1e300)}) {
        QImage image(16, 16, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        picture->play(painter, target);
        painter.end();
    }
    // A painter that is not painting is left alone.
    QPainter inactive;
    picture->play(inactive, QRectF(0, 0, 10, 10));
}

}  // namespace

namespace {

// Clip records and polygons of many long edges draw few pixels but cost Qt's region code and
// rasterizer work by their rectangles and edges; the picture's work budget counts them, so a
// file of them stops drawing instead of holding the window for minutes. Each case plays `count`
// repetitions of its records onto a 1000 × 1000 device and then fills a marker square: a count a
// drawn picture could use leaves the marker drawn, a hostile count has spent the budget before it.
struct WorkCase {
    const char* name;
    int usual;    // repetitions a real picture might hold
    int hostile;  // repetitions of a hostile file
    std::function<void(MetafileWriter&, int)> records;
};

struct Played {
    bool complete;     // what the player says: played to the end
    bool markerDrawn;  // what the device shows
};

Played playedWith(const WorkCase& c, int count)
{
    MetafileWriter writer;
    writer.setWindowOrg(0, 0);
    writer.setWindowExt(1000, 1000);
    writer.selectObject(writer.createPen(5, 0, 0));
    writer.selectObject(writer.createBrush(0, 0x000000));
    c.records(writer, count);
    // The marker, with the whole device as the clip again.
    writer.selectObject(writer.createRegion({QRect(0, 0, 1000, 1000)}));
    writer.selectObject(writer.createBrush(0, 0x0000FF));
    writer.rectangle(QRect(990, 990, 10, 10));
    const std::optional<Metafile> picture = Metafile::fromBytes(writer.bytes());
    if (!picture)
        return {false, false};
    QImage image(1000, 1000, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    const bool complete = picture->play(painter, QRectF(0, 0, 1000, 1000));
    painter.end();
    return {complete, image.pixel(995, 995) == qRgb(255, 0, 0)};
}

}  // namespace

TEST(MetafileWorkBudget, ClipRegionAndEdgeWorkStopsAHostilePicture)
{
    const WorkCase cases[] = {
        {"clip rectangles cut out one by one", 100, 80000,
         [](MetafileWriter& w, int count) {
             for (int i = 0; i < count; ++i)
                 w.excludeClipRect(QRect((i * 7) % 990, (i * 13) % 980, 1, 1));
         }},
        {"a region of 16384 rectangles selected as the clip again and again", 20, 16000,
         [](MetafileWriter& w, int count) {
             std::vector<QRect> rects;
             for (int y = 0; y < 128; ++y)
                 for (int x = 0; x < 128; ++x)
                     rects.emplace_back(x * 7, y * 7, 3, 3);
             const int region = w.createRegion(rects);
             for (int i = 0; i < count; ++i)
                 w.record(MetafileWriter::SelectClipRegion, words({region}));
         }},
        {"polygons of 16 000 edges crossing the device top to bottom", 2, 200,
         [](MetafileWriter& w, int count) {
             QVector<QPoint> zigzag;
             for (int i = 0; i < 16000; ++i)
                 zigzag.append(QPoint(i % 2 == 0 ? 0 : 1, i % 2 == 0 ? 0 : 999));
             for (int i = 0; i < count; ++i)
                 w.polygon(zigzag);
         }},
    };
    for (const WorkCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Played usual = playedWith(c, c.usual);
        EXPECT_TRUE(usual.complete);
        EXPECT_TRUE(usual.markerDrawn);
        const Played hostile = playedWith(c, c.hostile);
        EXPECT_FALSE(hostile.complete);
        EXPECT_FALSE(hostile.markerDrawn);
    }
}
