#include "race/StartPositions.h"

#include "race/MoveCommit.h"
#include "race/MoveGeometry.h"

#include <algorithm>

namespace {

// Rounds to the nearest integer, ties to the even one, held within 32 bits: a start line of a
// loaded track always fits, a made-up state far off at the limits must not overflow.
qint32 roundWithin32Bits(double value)
{
    return roundHalfEven(std::clamp(value, -2147483648.0, 2147483647.0));
}

// The top-left corners of the start markers: their middles evenly spaced on the start line.
std::vector<TrackPoint> markerCorners(const RaceState& state)
{
    const TrackPoint a = state.startLine[0], b = state.startLine[1];
    const int n = state.startCount;
    const qint32 dx = roundHalfEven((static_cast<double>(a.x) - b.x) / (n + 1));
    const qint32 dy = roundHalfEven((static_cast<double>(a.y) - b.y) / (n + 1));
    std::vector<TrackPoint> corners;
    for (int i = 1; i <= n; ++i) {
        corners.push_back({roundWithin32Bits(static_cast<double>(i) * dx + b.x - StartMarkerSize / 2.0),
                           roundWithin32Bits(static_cast<double>(i) * dy + b.y - StartMarkerSize / 2.0)});
    }
    return corners;
}

}  // namespace

void LayOutStartPositions(RaceState& state)
{
    state.startPositions = markerCorners(state);
}

std::vector<TrackPoint> startPoints(const RaceState& state)
{
    std::vector<TrackPoint> points = markerCorners(state);
    for (TrackPoint& point : points) {
        point.x = roundWithin32Bits(static_cast<double>(point.x) + StartMarkerSize / 2);
        point.y = roundWithin32Bits(static_cast<double>(point.y) + StartMarkerSize / 2);
    }
    return points;
}
