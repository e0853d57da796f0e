#include "race/MoveGeometry.h"

#include "race/FloorDivide.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double Pi = std::numbers::pi;

// The arc cosine as the program has always computed it: π/2 - arctan(q / √(1 - q²)).
double arcCosine(double q)
{
    if (q >= 1)
        return 0;
    if (q <= -1)
        return Pi;
    return Pi / 2 - std::atan(q / std::sqrt(1 - q * q));
}

// Direction from (0, 0) to (dx, dy), counter-clockwise on the screen, in [0, 2π).
double screenAngle(double dx, double dy)
{
    if (dy == 0)
        return dx < 0 ? Pi : 0;
    double theta = std::atan(dx / dy) + Pi / 2;
    if (dy > 0)
        theta += Pi;
    return theta;
}

OutlineArc arcAround(double centreX, double centreY, double radius, double from, double to)
{
    if (from < 0)
        from += 2 * Pi;
    if (to > 2 * Pi)
        to -= 2 * Pi;
    return {QPointF(centreX, centreY), radius, from, to};
}

}  // namespace

qint32 RoundTowards(qint32 anchor, float value)
{
    if (value > static_cast<float>(anchor))
        return static_cast<qint32>(std::floor(value));
    return static_cast<qint32>(std::ceil(value));
}

qint32 RoundTowards(qint32 anchor, qint64 numerator, qint64 denominator)
{
    // value > anchor  <=>  numerator > anchor * denominator, with denominator > 0
    if (numerator > static_cast<qint64>(anchor) * denominator)
        return static_cast<qint32>(floorDivide(numerator, denominator));
    return static_cast<qint32>(-floorDivide(-numerator, denominator));
}

qint32 roundHalfEven(double value)
{
    return static_cast<qint32>(std::nearbyint(value));
}

bool IsOutsideTrackPicture(const RaceState& state, qint32 x, qint32 y)
{
    return x < 0 || x > state.trackWidth - 1 || y < 0 || y > state.trackHeight - 1;
}

bool IsAllowedTarget(const RaceState& state, float x, float y)
{
    const PlayerRecord& player = state.player(state.currentPlayer);
    const double u = static_cast<double>(x / state.zoom);
    const double w = static_cast<double>(y / state.zoom);
    if (std::hypot(w - player.aimY, u - player.aimX) > state.stepLength)
        return false;
    if (state.speedLimit > 0 && std::hypot(w - player.posY, u - player.posX) > state.speedLimit)
        return false;
    return true;
}

AllowedAreaOutline allowedAreaOutline(const RaceState& state)
{
    const PlayerRecord& player = state.player(state.currentPlayer);
    const double zoom = state.zoom;
    const double s = state.stepLength;
    const double limit = state.speedLimit;
    const double dx = static_cast<double>(player.aimX) - player.posX;
    const double dy = static_cast<double>(player.aimY) - player.posY;
    const double d = std::sqrt(dx * dx + dy * dy);

    AllowedAreaOutline outline;
    // A car standing still (d = 0) always has its whole circle: a speed limit is at least one step.
    if (state.speedLimit == 0 || d <= limit - s || d == 0) {
        outline.circle = {QPointF(zoom * player.aimX, zoom * player.aimY), zoom * s, 0, 2 * Pi};
        return outline;
    }
    outline.wholeCircle = false;
    const double theta = screenAngle(dx, dy);
    const double alpha = arcCosine((limit * limit + d * d - s * s) / (2 * limit * d));
    outline.limitArc = arcAround(zoom * player.posX, zoom * player.posY, zoom * limit, theta - alpha, theta + alpha);
    const double opposite = theta < Pi ? theta + Pi : theta - Pi;
    const double beta = arcCosine((s * s + d * d - limit * limit) / (2 * s * d));
    outline.moveArc = arcAround(zoom * player.aimX, zoom * player.aimY, zoom * s, opposite - beta, opposite + beta);
    return outline;
}
