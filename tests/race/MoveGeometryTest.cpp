#include "race/MoveGeometry.h"

#include <gtest/gtest.h>

#include <numbers>

namespace {

constexpr double Pi = std::numbers::pi;

TEST(RoundTowards, MakesTheValueWholeInTheAnchorsDirection)
{
    const struct {
        qint32 anchor;
        float value;
        qint32 expected;
    } cases[] = {
        {5, 7.6f, 7}, {5, 2.2f, 3}, {5, 5.0f, 5}, {0, -1.5f, -1}, {0, 1.5f, 1}, {-3, -3.5f, -3}, {-4, -3.5f, -4}, {2, 2.9f, 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RoundTowards(c.anchor, c.value), c.expected) << c.anchor << " " << c.value;
}

TEST(RoundTowards, ExactFractionsRoundTheSameWay)
{
    const struct {
        qint32 anchor;
        qint64 numerator, denominator;
        qint32 expected;
    } cases[] = {
        {7, 15, 2, 7}, {8, 15, 2, 8}, {0, -3, 2, -1}, {-1, -3, 2, -1}, {-2, -3, 2, -2}, {3, 9, 3, 3}, {4, 9, 3, 3}, {0, 1, 3, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RoundTowards(c.anchor, c.numerator, c.denominator), c.expected) << c.anchor << " " << c.numerator << "/" << c.denominator;
}

TEST(RoundHalfEven, TiesGoToTheEvenNeighbour)
{
    EXPECT_EQ(roundHalfEven(0.5), 0);
    EXPECT_EQ(roundHalfEven(1.5), 2);
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(2.5000001), 3);
}

TEST(IsOutsideTrackPicture, EdgesOfTheTrack)
{
    RaceState state;
    state.trackWidth = 100;
    state.trackHeight = 80;
    const struct {
        qint32 x, y;
        bool outside;
    } cases[] = {{0, 0, false}, {99, 79, false}, {100, 0, true}, {0, 80, true}, {-1, 5, true}, {5, -1, true}};
    for (const auto& c : cases)
        EXPECT_EQ(IsOutsideTrackPicture(state, c.x, c.y), c.outside) << c.x << "," << c.y;
}

class CarGeometry : public ::testing::Test {
protected:
    void SetUp() override
    {
        state.trackWidth = 1000;
        state.trackHeight = 1000;
        state.stepLength = 10;
        state.zoom = 1;
        state.currentPlayer = 3;
    }
    void place(qint32 posX, qint32 posY, qint32 aimX, qint32 aimY)
    {
        PlayerRecord& car = state.player(3);
        car.posX = posX;
        car.posY = posY;
        car.aimX = aimX;
        car.aimY = aimY;
    }
    RaceState state;
};

TEST_F(CarGeometry, AllowedTargetsLieOnOrInsideBothCircles)
{
    place(100, 85, 100, 100);
    const struct {
        float zoom;
        float x, y;
        qint16 limit;
        bool allowed;
    } cases[] = {
        {1, 110, 100, 0, true},       // on the move circle
        {1, 110.01f, 100, 0, false},
        {1, 106, 108, 0, true},       // 6² + 8² = 10²
        {1, 107, 108, 0, false},
        {0.5f, 55, 50, 0, true},      // view units: (110, 100) at half size
        {0.5f, 55.5f, 50, 0, false},
        {1, 100, 105, 20, true},      // exactly at the speed limit
        {1, 100, 106, 20, false},     // inside the move circle, past the limit
        {1, 100, 106, 0, true},       // no limit
        {1, 100, 94, 20, true},
    };
    for (const auto& c : cases) {
        state.zoom = c.zoom;
        state.speedLimit = c.limit;
        EXPECT_EQ(IsAllowedTarget(state, c.x, c.y), c.allowed) << c.x << "," << c.y << " zoom " << c.zoom << " limit " << c.limit;
    }
}

TEST_F(CarGeometry, WholeCircleWithoutLimitOrWellInsideIt)
{
    state.zoom = 0.5f;
    place(100, 100, 130, 140);  // d = 50
    for (qint16 limit : {0, 60, 70}) {
        state.speedLimit = limit;
        const AllowedAreaOutline outline = allowedAreaOutline(state);
        EXPECT_TRUE(outline.wholeCircle) << limit;
        EXPECT_EQ(outline.circle.centre, QPointF(65, 70));
        EXPECT_DOUBLE_EQ(outline.circle.radius, 5);
    }
    state.speedLimit = 59;  // d > L - s: the limit cuts the circle
    EXPECT_FALSE(allowedAreaOutline(state).wholeCircle);
}

TEST_F(CarGeometry, ArcAnglesFollowTheDirectionOfTheLastMove)
{
    // L = s = d = 10: both half-angles are π/3. Screen angles: y grows downwards.
    state.speedLimit = 10;
    const struct {
        const char* direction;
        qint32 dx, dy;
        double theta;
    } cases[] = {
        {"right", 10, 0, 0},
        {"up", 0, -10, Pi / 2},
        {"left", -10, 0, Pi},
        {"down", 0, 10, 3 * Pi / 2},
        {"up right", 6, -8, std::atan(6.0 / -8.0) + Pi / 2},
        {"up left", -6, -8, std::atan(-6.0 / -8.0) + Pi / 2},
        {"down left", -6, 8, std::atan(-6.0 / 8.0) + 3 * Pi / 2},
        {"down right", 6, 8, std::atan(6.0 / 8.0) + 3 * Pi / 2},
    };
    const auto wrapped = [](double from, double to) {
        return std::pair{from < 0 ? from + 2 * Pi : from, to > 2 * Pi ? to - 2 * Pi : to};
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.direction);
        place(500, 500, 500 + c.dx, 500 + c.dy);
        const AllowedAreaOutline outline = allowedAreaOutline(state);
        ASSERT_FALSE(outline.wholeCircle);
        const auto [limitFrom, limitTo] = wrapped(c.theta - Pi / 3, c.theta + Pi / 3);
        EXPECT_NEAR(outline.limitArc.startAngle, limitFrom, 1e-9);
        EXPECT_NEAR(outline.limitArc.endAngle, limitTo, 1e-9);
        EXPECT_EQ(outline.limitArc.centre, QPointF(500, 500));
        EXPECT_DOUBLE_EQ(outline.limitArc.radius, 10);
        const double opposite = c.theta < Pi ? c.theta + Pi : c.theta - Pi;
        const auto [moveFrom, moveTo] = wrapped(opposite - Pi / 3, opposite + Pi / 3);
        EXPECT_NEAR(outline.moveArc.startAngle, moveFrom, 1e-9);
        EXPECT_NEAR(outline.moveArc.endAngle, moveTo, 1e-9);
        EXPECT_EQ(outline.moveArc.centre, QPointF(500 + c.dx, 500 + c.dy));
    }
}

}  // namespace
