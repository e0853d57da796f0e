#include "race/SegmentWalk.h"

#include <gtest/gtest.h>

#include <random>

namespace {

TEST(SegmentWalk, LongerAxisIsWalkedAndTiesGoToY)
{
    const struct {
        qint64 dx, dy;
        bool alongX;
        qint64 length;
    } cases[] = {{3, -3, false, 3}, {4, 3, true, 4}, {3, 4, false, 4}, {0, 5, false, 5}, {-7, 0, true, 7}, {-2, 2, false, 2}};
    for (const auto& c : cases) {
        const SegmentWalk walk({10, 10}, c.dx, c.dy);
        EXPECT_EQ(walk.alongX(), c.alongX) << c.dx << "," << c.dy;
        EXPECT_EQ(walk.length(), c.length) << c.dx << "," << c.dy;
    }
}

TEST(SegmentWalk, SamplesReadThePixelHalfUpOfTheExactCoordinate)
{
    // From (0, 0) by (4, ±1): the short coordinate is ±t/4; ±0.5 reads the pixel above it.
    const struct {
        qint64 dy, t, x, y;
    } cases[] = {{1, 1, 1, 0}, {1, 2, 2, 1}, {1, 3, 3, 1}, {1, 4, 4, 1}, {-1, 1, 1, 0}, {-1, 2, 2, 0}, {-1, 3, 3, -1}, {-1, 4, 4, -1}};
    for (const auto& c : cases) {
        const SegmentWalk walk({0, 0}, 4, c.dy);
        qint64 x = 0, y = 0;
        walk.pixel(c.t, x, y);
        EXPECT_EQ(x, c.x) << "dy " << c.dy << " t " << c.t;
        EXPECT_EQ(y, c.y) << "dy " << c.dy << " t " << c.t;
    }
    // Ratio 0.3, which no binary float holds: 25 · 15 / 50 = 7.5 exactly, read at 8.
    const SegmentWalk steep({0, 0}, 15, 50);
    qint64 x = 0, y = 0;
    steep.pixel(25, x, y);
    EXPECT_EQ(x, 8);
    EXPECT_EQ(y, 25);
    steep.pixel(24, x, y);  // 7.2
    EXPECT_EQ(x, 7);
}

TEST(SegmentWalk, WalkVisitsExactlyThePixelsOfTheFormula)
{
    // One pixel per sample, coloured by its coordinates, so the colour tells which pixel was read.
    QImage image(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            image.setPixel(x, y, qRgb(x, y, 0));
    const TrackRaster raster(image, colorValue(0, 0, 255));
    std::mt19937 random(7);
    std::uniform_int_distribution<int> coordinate(0, 63);
    for (int i = 0; i < 2000; ++i) {
        const TrackPoint start{coordinate(random), coordinate(random)};
        const qint64 dx = coordinate(random) - start.x, dy = coordinate(random) - start.y;
        const SegmentWalk walk(start, dx, dy);
        qint64 visited = 0;
        walk.walk(raster, walk.length(), [&](qint64 t, ColorValue color) {
            qint64 x = 0, y = 0;
            walk.pixel(t, x, y);
            EXPECT_EQ(color, raster.colorAt(x, y)) << start.x << "," << start.y << " by " << dx << "," << dy << " t " << t;
            ++visited;
            return false;
        });
        EXPECT_EQ(visited, walk.length() + 1);
        qint64 x = 0, y = 0;
        walk.pixel(walk.length(), x, y);
        EXPECT_EQ(x, start.x + dx);  // the last sample is the end point itself
        EXPECT_EQ(y, start.y + dy);
    }
}

TEST(SegmentWalk, PositionsBackAlongTheMoveRoundTowardsTheStart)
{
    const struct {
        qint64 dx, dy, t;
        TrackPoint expected;
    } cases[] = {
        {4, 2, -2, {8, 9}},    // exactly 9
        {4, 2, 1, {11, 10}},   // 10.5 above the start: down
        {4, 2, 3, {13, 11}},   // 11.5: down
        {4, -2, 1, {11, 10}},  // 9.5 below the start: up
        {4, -2, -2, {8, 11}},
        {-3, -9, 4, {9, 6}},   // y walk: x = 10 - 4/3 = 8.67 → 9
        {0, 0, 0, {10, 10}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SegmentWalk({10, 10}, c.dx, c.dy).towardsStart(c.t), c.expected) << c.dx << "," << c.dy << " t " << c.t;
}

TEST(ClipToTrack, CutsTheMoveAtTheEdgesInOrder)
{
    RaceState state;
    state.trackWidth = 100;
    state.trackHeight = 80;
    const TrackPoint p{50, 40};
    const struct {
        qint64 x, y;
        TrackPoint expected;
    } cases[] = {
        {150, 40, {99, 40}},
        {-50, 40, {0, 40}},
        {50, -40, {50, 0}},
        {50, 100, {50, 79}},
        {150, 140, {89, 79}},  // right edge first (y = 89), then the bottom edge
        {-1, 41, {0, 40}},     // 40.98 rounds towards p
        {-1, 39, {0, 40}},     // 39.02 rounds towards p
        {-50, -50, {6, 0}},    // left edge at y = -5 exactly, then the top edge at x = 5.56 → 6
    };
    for (const auto& c : cases) {
        const auto clipped = clipToTrack(state, p, c.x, c.y);
        ASSERT_TRUE(clipped.has_value());
        EXPECT_EQ(*clipped, c.expected) << c.x << "," << c.y;
    }
    // From a position off the track the line cannot be cut.
    EXPECT_FALSE(clipToTrack(state, {-5, 40}, -5, 30).has_value());
}

}  // namespace
