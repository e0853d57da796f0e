// The drawing surface of the track view: drawings read back exactly, the guide line restores what
// it covered, a clear brings the picture back.

#include "race/MoveGeometry.h"
#include "ui/main/TrackCanvas.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <numbers>

namespace {

constexpr QRgb Grass = 0xFF5A9E40;
constexpr QRgb Red = 0xFFFF0000;
constexpr QRgb Blue = 0xFF0000FF;

// A 200 × 150 picture of grass with one white pixel column at x = 100.
QImage picture()
{
    QImage image(200, 150, QImage::Format_RGB32);
    image.fill(Grass);
    for (int y = 0; y < 150; ++y)
        image.setPixel(100, y, 0xFFFFFFFF);
    return image;
}

AllowedAreaOutline circleAt(double x, double y, double radius)
{
    AllowedAreaOutline outline;
    outline.circle = {QPointF(x, y), radius, 0, 2 * std::numbers::pi};
    return outline;
}

TEST(TrackCanvas, GuideLineWalksTheLongerAxisAndPutsBackWhatItCovered)
{
    TrackCanvas canvas;
    canvas.setPicture(picture());
    canvas.markGuideLine({98, 10}, {102, 12}, Red);
    // Along x; y = 10 + t·2/4 made whole with ties to even: 10, 10, 11, 12, 12.
    const int expected[][2] = {{98, 10}, {99, 10}, {100, 11}, {101, 12}, {102, 12}};
    const auto& marked = canvas.markedPoints();
    ASSERT_EQ(marked.size(), 5u);
    for (int t = 0; t < 5; ++t) {
        EXPECT_EQ(marked[t].x, expected[t][0]);
        EXPECT_EQ(marked[t].y, expected[t][1]);
        EXPECT_EQ(canvas.pixel(expected[t][0], expected[t][1]), Red);
    }
    EXPECT_EQ(marked[2].savedColor, 0xFFFFFFFFu);  // the white column
    EXPECT_EQ(marked[0].savedColor, Grass);

    canvas.clearGuideLine();
    EXPECT_EQ(canvas.pixel(100, 11), 0xFFFFFFFFu);
    EXPECT_EQ(canvas.pixel(98, 10), Grass);
    EXPECT_EQ(canvas.markedPoints().size(), 1u);
    // Both ends at one point: nothing drawn.
    canvas.markGuideLine({5, 5}, {5, 5}, Red);
    EXPECT_EQ(canvas.markedPoints().size(), 1u);
    EXPECT_EQ(canvas.pixel(5, 5), Grass);
}

TEST(TrackCanvas, GuideLineOverTheOutlineGivesTheOutlineBack)
{
    TrackCanvas canvas;
    canvas.setPicture(picture());
    canvas.drawOutline(circleAt(60, 60, 20), Blue);
    ASSERT_EQ(canvas.pixel(80, 60), Blue);
    canvas.markGuideLine({70, 60}, {90, 60}, Red);
    EXPECT_EQ(canvas.pixel(80, 60), Red);
    canvas.clearGuideLine();
    EXPECT_EQ(canvas.pixel(80, 60), Blue);
    EXPECT_EQ(canvas.pixel(85, 60), Grass);
}

TEST(TrackCanvas, OutlineIsDrawnInExactColourAcrossTilesAndClearRestoresThePicture)
{
    TrackCanvas canvas;
    canvas.setPicture(picture());
    // A circle round (64, 64) lies on four tiles of 64 pixels.
    canvas.drawOutline(circleAt(64, 64, 10), Blue);
    for (const QPoint p : {QPoint(74, 64), QPoint(54, 64), QPoint(64, 54), QPoint(64, 74)})
        EXPECT_EQ(canvas.pixel(p.x(), p.y()), Blue) << p.x() << "," << p.y();
    EXPECT_EQ(canvas.pixel(64, 64), Grass);
    // The painted canvas shows the same pixels as the queries.
    QImage shown(200, 150, QImage::Format_RGB32);
    {
        QPainter painter(&shown);
        canvas.paint(painter, shown.rect());
    }
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x)
            ASSERT_EQ(shown.pixel(x, y), canvas.pixel(x, y)) << x << "," << y;

    canvas.markGuideLine({0, 0}, {10, 0}, Red);
    canvas.clear();
    EXPECT_EQ(canvas.pixel(74, 64), Grass);
    EXPECT_EQ(canvas.pixel(5, 0), Grass);
    EXPECT_EQ(canvas.markedPoints().size(), 1u);
    // The picture itself never took a drawing.
    EXPECT_EQ(canvas.picture().pixel(74, 64), Grass);
}

TEST(TrackCanvas, ArcsOfALensRunCounterClockwiseAcrossZero)
{
    TrackCanvas canvas;
    canvas.setPicture(picture());
    AllowedAreaOutline lens;
    lens.wholeCircle = false;
    const double pi = std::numbers::pi;
    // An arc from 330° to 30° round (150, 75), radius 30: through 0° (the right), not the left.
    lens.limitArc = {QPointF(150, 75), 30, 11 * pi / 6, pi / 6};
    lens.moveArc = {QPointF(150, 75), 30, 11 * pi / 6, pi / 6};
    canvas.drawOutline(lens, Red);
    EXPECT_EQ(canvas.pixel(180, 75), Red);
    EXPECT_EQ(canvas.pixel(120, 75), Grass);
    EXPECT_EQ(canvas.pixel(150, 45), Grass);
}

TEST(TrackCanvas, DrawingsOffThePictureAreIgnored)
{
    TrackCanvas canvas;
    canvas.setPicture(picture());
    canvas.setPixel(-1, 5, Red);
    canvas.setPixel(200, 5, Red);
    canvas.drawOutline(circleAt(-500, -500, 10), Red);
    canvas.markGuideLine({190, 140}, {230, 160}, Red);  // its part on the picture is drawn
    EXPECT_EQ(canvas.pixel(190, 140), Red);
    EXPECT_EQ(canvas.pixel(-1, 5), 0u);
    canvas.clearGuideLine();
    EXPECT_EQ(canvas.pixel(190, 140), Grass);
}

}  // namespace
