// A metafile as the rest of the program sees it: its frame, its natural size, and how play() puts
// the frame onto the target within the caller's painter (its transform, its clip, its state).
#include "files/Metafile.h"
#include "race/ColorValue.h"
#include "tools/MetafileWriter.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

constexpr QRgb Paper = qRgb(12, 34, 56);
constexpr ColorValue Red = colorValue(200, 30, 30);
constexpr QRgb RedRgb = qRgb(200, 30, 30);

std::string rectText(const QRect& r)
{
    return std::to_string(r.x()) + ',' + std::to_string(r.y()) + ' ' + std::to_string(r.width()) + 'x' + std::to_string(r.height());
}

// The bounds of the red pixels.
QRect redBounds(const QImage& image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) | 0xFF000000u) == RedRgb)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

// A red rectangle over the whole of the frame (left, top) to (right, bottom).
void fillFrame(MetafileWriter& writer, const QRect& frame)
{
    writer.selectObject(writer.createPen(5, 0, 0));
    writer.selectObject(writer.createBrush(0, Red));
    writer.rectangle(frame);
}

TEST(Metafile, FrameComesFromThePlaceableHeaderElseTheWindowElseTheDrawing)
{
    struct Case {
        const char* name;
        std::function<void(MetafileWriter&)> records;
        QRect frame;
        QSize naturalSize;
    } const cases[] = {
        {"placeable header, 1440 units an inch",
         [](MetafileWriter& w) { w.setPlaceable(QRect(10, 20, 1440, 720), 1440); w.setWindowExt(5, 5); w.rectangle(QRect(0, 0, 5, 5)); },
         QRect(10, 20, 1440, 720), QSize(96, 48)},
        {"placeable header without units", [](MetafileWriter& w) { w.setPlaceable(QRect(0, 0, 30, 40), 0); w.rectangle(QRect(0, 0, 5, 5)); },
         QRect(0, 0, 30, 40), QSize(30, 40)},
        {"window records", [](MetafileWriter& w) { w.setWindowOrg(-5, 10); w.setWindowExt(50, 20); w.rectangle(QRect(0, 0, 5, 5)); },
         QRect(-5, 10, 50, 20), QSize(50, 20)},
        {"window with a negative height", [](MetafileWriter& w) { w.setWindowOrg(0, 100); w.setWindowExt(50, -100); w.rectangle(QRect(0, 0, 5, 5)); },
         QRect(0, 0, 50, 100), QSize(50, 100)},
        {"only the first window counts", [](MetafileWriter& w) { w.setWindowExt(50, 20); w.setWindowExt(500, 200); w.rectangle(QRect(0, 0, 5, 5)); },
         QRect(0, 0, 50, 20), QSize(50, 20)},
        {"no window: what the drawing touches",
         [](MetafileWriter& w) { w.rectangle(QRect(3, 4, 10, 6)); w.polygon({{20, 1}, {25, 30}, {22, 2}}); w.moveTo(-2, 7); },
         QRect(-2, 1, 27, 29), QSize(27, 29)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MetafileWriter writer;
        c.records(writer);
        const std::optional<Metafile> picture = Metafile::fromBytes(writer.bytes());
        ASSERT_TRUE(picture);
        EXPECT_EQ(rectText(picture->frame()), rectText(c.frame));
        EXPECT_EQ(picture->naturalSize(), c.naturalSize);
    }
}

TEST(Metafile, PlayStretchesTheFrameOntoTheTarget)
{
    struct Case {
        const char* name;
        QRect frame;      // placeable
        QRect drawn;      // logical
        QRectF target;    // on a 60 × 40 image
        QRect expected;
    } const cases[] = {
        {"the whole frame onto an offset target", QRect(10, 10, 20, 20), QRect(10, 10, 20, 20), QRectF(5, 5, 40, 20), QRect(5, 5, 40, 20)},
        {"the left half", QRect(0, 0, 100, 100), QRect(0, 0, 50, 100), QRectF(0, 0, 60, 40), QRect(0, 0, 30, 40)},
        {"a quarter in the middle", QRect(0, 0, 4, 4), QRect(1, 1, 2, 2), QRectF(0, 0, 60, 40), QRect(15, 10, 30, 20)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MetafileWriter writer;
        writer.setPlaceable(c.frame, 96);
        fillFrame(writer, c.drawn);
        const std::optional<Metafile> picture = Metafile::fromBytes(writer.bytes());
        ASSERT_TRUE(picture);
        QImage image(60, 40, QImage::Format_RGB32);
        image.fill(Paper);
        QPainter painter(&image);
        picture->play(painter, c.target);
        painter.end();
        EXPECT_EQ(rectText(redBounds(image)), rectText(c.expected));
    }
}

TEST(Metafile, PlayDrawsThroughTheCallersTransformAndClip)
{
    MetafileWriter writer;
    writer.setPlaceable(QRect(0, 0, 20, 20), 96);
    fillFrame(writer, QRect(0, 0, 20, 20));
    const std::optional<Metafile> picture = Metafile::fromBytes(writer.bytes());
    ASSERT_TRUE(picture);
    struct Case {
        const char* name;
        std::function<void(QPainter&)> setUp;
        QRect expected;
    } const cases[] = {
        {"translated, as a scrolled view draws", [](QPainter& p) { p.translate(-5, 3); }, QRect(0, 3, 15, 20)},
        {"scaled, as a zoomed view draws", [](QPainter& p) { p.scale(2, 1); }, QRect(0, 0, 40, 20)},
        {"window and viewport of the painter", [](QPainter& p) { p.setWindow(0, 0, 20, 20); p.setViewport(0, 0, 10, 10); }, QRect(0, 0, 10, 10)},
        {"clipped", [](QPainter& p) { p.setClipRect(QRect(4, 6, 5, 5)); }, QRect(4, 6, 5, 5)},
        {"clipped, then translated", [](QPainter& p) { p.setClipRect(QRect(0, 0, 10, 40)); p.translate(6, 0); }, QRect(6, 0, 4, 20)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage image(40, 40, QImage::Format_RGB32);
        image.fill(Paper);
        QPainter painter(&image);
        c.setUp(painter);
        picture->play(painter, QRectF(0, 0, 20, 20));
        painter.end();
        EXPECT_EQ(rectText(redBounds(image)), rectText(c.expected));
    }
}

TEST(Metafile, PlayLeavesThePainterAsItFoundIt)
{
    MetafileWriter writer;
    writer.setPlaceable(QRect(0, 0, 20, 20), 96);
    writer.setRop2(7);
    writer.intersectClipRect(QRect(2, 2, 10, 10));
    fillFrame(writer, QRect(0, 0, 20, 20));
    writer.selectObject(writer.createFont(-12, 700, 238, "DejaVu Sans"));
    writer.textOut(2, 2, "Ab");
    const std::optional<Metafile> picture = Metafile::fromBytes(writer.bytes());
    ASSERT_TRUE(picture);

    QImage image(40, 40, QImage::Format_RGB32);
    QPainter painter(&image);
    const QPen pen(Qt::green, 3);
    const QBrush brush(Qt::blue, Qt::Dense4Pattern);
    const QFont font(QStringLiteral("DejaVu Serif"), 17);
    painter.setPen(pen);
    painter.setBrush(brush);
    painter.setFont(font);
    painter.translate(3, 4);
    painter.setClipRect(QRect(0, 0, 30, 30));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setCompositionMode(QPainter::CompositionMode_Multiply);
    painter.setBackgroundMode(Qt::OpaqueMode);
    const QTransform transform = painter.worldTransform();
    const QRegion clip = painter.clipRegion();

    picture->play(painter, QRectF(0, 0, 20, 20));

    EXPECT_EQ(painter.pen(), pen);
    EXPECT_EQ(painter.brush(), brush);
    EXPECT_EQ(painter.font(), font);
    EXPECT_EQ(painter.worldTransform(), transform);
    EXPECT_EQ(painter.clipRegion(), clip);
    EXPECT_TRUE(painter.testRenderHint(QPainter::Antialiasing));
    EXPECT_EQ(painter.compositionMode(), QPainter::CompositionMode_Multiply);
    EXPECT_EQ(painter.backgroundMode(), Qt::OpaqueMode);
}

}  // namespace
