#include "race/KeypadTargets.h"

#include <cmath>
#include <numbers>

namespace {

// The sign of a component, a zero counting as the given side.
double signOf(double value, double zeroSign)
{
    if (value > 0)
        return 1;
    if (value < 0)
        return -1;
    return zeroSign;
}

}  // namespace

std::optional<QPointF> keypadTargetPoint(const RaceState& state, KeypadTarget target)
{
    const PlayerRecord& player = state.player(state.currentPlayer);
    const double posX = player.posX, posY = player.posY;
    const double vx = static_cast<double>(player.aimX) - posX;
    const double vy = static_cast<double>(player.aimY) - posY;
    const double d = std::sqrt(vx * vx + vy * vy);
    const double s = state.stepLength;
    const double limit = state.speedLimit;

    switch (target) {
    case KeypadTarget::InertiaPoint:
        return QPointF(player.aimX, player.aimY);
    case KeypadTarget::Farthest: {
        if (d == 0)
            return std::nullopt;
        const double g = limit > 0 && d > limit - s ? limit / d : 1 + s / d;
        return QPointF(posX + g * vx, posY + g * vy);
    }
    case KeypadTarget::Nearest: {
        if (d == 0)
            return std::nullopt;
        const double g = 1 - s / d;
        return QPointF(posX + g * vx, posY + g * vy);
    }
    case KeypadTarget::TouchLeft:
    case KeypadTarget::TouchRight: {
        // Only a car outside its circle has lines that touch it.
        if (d <= s)
            return std::nullopt;
        const bool left = target == KeypadTarget::TouchLeft;
        const double phi = vx == 0 ? std::numbers::pi / 2 : std::fabs(std::atan(vy / vx));
        const double q = s / d;
        const double psi = std::atan(q / std::sqrt(1 - q * q));
        const double r = std::sqrt(d * d - s * s);
        const double zeroSign = left ? -1 : 1;
        const double sx = signOf(vx, zeroSign), sy = signOf(vy, zeroSign);
        const double angle = (sx == sy) == left ? phi - psi : phi + psi;
        return QPointF(posX + sx * r * std::cos(angle), posY + sy * r * std::sin(angle));
    }
    }
    return std::nullopt;
}
