#include "race/SegmentWalk.h"

#include "race/FloorDivide.h"
#include "race/MoveGeometry.h"

#include <limits>

namespace {

int sign(qint64 value)
{
    return (value > 0) - (value < 0);
}

// 128 bits hold every product of two differences of 32-bit coordinates, whatever a stored ride says.
using Wide = __int128;

// value = numerator / denominator made whole towards anchor, for any non-zero denominator;
// nothing when the denominator is 0 or the result is beyond 64 bits.
std::optional<qint64> towards(Wide anchor, Wide numerator, Wide denominator)
{
    if (denominator == 0)
        return std::nullopt;
    if (denominator < 0) {
        numerator = -numerator;
        denominator = -denominator;
    }
    const Wide whole = numerator > anchor * denominator ? floorDivide(numerator, denominator)
                                                         : -floorDivide(-numerator, denominator);
    if (whole > std::numeric_limits<qint64>::max() || whole < std::numeric_limits<qint64>::min())
        return std::nullopt;
    return static_cast<qint64>(whole);
}

bool fitsInt32(qint64 value)
{
    return value >= std::numeric_limits<qint32>::min() && value <= std::numeric_limits<qint32>::max();
}

}  // namespace

SegmentWalk::SegmentWalk(TrackPoint start, qint64 dx, qint64 dy) : start_(start)
{
    alongX_ = std::llabs(dy) < std::llabs(dx);
    length_ = alongX_ ? std::llabs(dx) : std::llabs(dy);
    shortSize_ = alongX_ ? std::llabs(dy) : std::llabs(dx);
    longSign_ = sign(alongX_ ? dx : dy);
    shortSign_ = sign(alongX_ ? dy : dx);
}

void SegmentWalk::pixel(qint64 t, qint64& x, qint64& y) const
{
    const qint64 shortStart = alongX_ ? start_.y : start_.x;
    const qint64 longStart = alongX_ ? start_.x : start_.y;
    const qint64 denominator = 2 * (length_ == 0 ? 1 : length_);
    const qint64 shortPixel = floorDivide((2 * shortStart + 1) * (denominator / 2) + 2 * shortSign_ * t * shortSize_, denominator);
    const qint64 longPixel = longStart + longSign_ * t;
    x = alongX_ ? longPixel : shortPixel;
    y = alongX_ ? shortPixel : longPixel;
}

TrackPoint SegmentWalk::towardsStart(qint64 t) const
{
    const qint64 shortStart = alongX_ ? start_.y : start_.x;
    const qint64 longStart = alongX_ ? start_.x : start_.y;
    const qint64 denominator = length_ == 0 ? 1 : length_;
    const qint64 shortValue = *towards(shortStart, static_cast<Wide>(shortStart) * denominator + static_cast<Wide>(shortSign_) * t * shortSize_, denominator);
    const qint64 longValue = longStart + longSign_ * t;
    const qint32 x = static_cast<qint32>(alongX_ ? longValue : shortValue);
    const qint32 y = static_cast<qint32>(alongX_ ? shortValue : longValue);
    return {x, y};
}

std::optional<TrackPoint> clipToTrack(const RaceState& state, TrackPoint p, qint64 x, qint64 y)
{
    const qint64 right = state.trackWidth - 1LL;
    const qint64 bottom = state.trackHeight - 1LL;
    const Wide px = p.x, py = p.y;
    if (x < 0 || x > right) {
        const qint64 edge = x < 0 ? 0 : right;
        // y = p.y + (y - p.y) · (edge - p.x) / (x - p.x)
        const auto cut = towards(py, py * (x - px) + (y - py) * (edge - px), x - px);
        if (!cut)
            return std::nullopt;
        x = edge;
        y = *cut;
    }
    if (y < 0 || y > bottom) {
        const qint64 edge = y < 0 ? 0 : bottom;
        const auto cut = towards(px, px * (y - py) + (x - px) * (edge - py), y - py);
        if (!cut)
            return std::nullopt;
        y = edge;
        x = *cut;
    }
    if (!fitsInt32(x) || !fitsInt32(y))
        return std::nullopt;
    return TrackPoint{static_cast<qint32>(x), static_cast<qint32>(y)};
}
