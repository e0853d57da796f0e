#include "files/RecordCheck.h"

#include "race/CheckpointProgress.h"
#include "race/MoveGeometry.h"
#include "race/SegmentWalk.h"
#include "race/StartPositions.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

bool fitsInt32(qint64 value)
{
    return value >= std::numeric_limits<qint32>::min() && value <= std::numeric_limits<qint32>::max();
}

double distance(qint64 x1, qint64 y1, qint64 x2, qint64 y2)
{
    const double dx = static_cast<double>(x1 - x2), dy = static_cast<double>(y1 - y2);
    return std::sqrt(dx * dx + dy * dy);
}

qint64 millionths(double moves)
{
    return static_cast<qint64>(std::nearbyint(moves * 1000000.0));
}

}  // namespace

CheckCode CheckRecord(const RaceState& state)
{
    const std::vector<TrackPoint>& ride = state.recordRide;  // element 0 is a placeholder
    const qint64 m = static_cast<qint64>(ride.size()) - 1;
    if (m > MaxCheckedRidePoints || state.stepLength < 1)
        return CheckCode::CheckFailed;
    const auto point = [&ride](qint64 i) { return ride[static_cast<size_t>(i)]; };
    const double s = state.stepLength;
    const double limit = state.speedLimit;
    const double moveLimit = std::abs(state.recordMoves * 1000000.0);
    if (!std::isfinite(moveLimit) || moveLimit > 9.0e18)
        return CheckCode::CheckFailed;

    // A ride begins where a start marker puts a car; one laid out anywhere else, for example just
    // before the finish, is no ride of a race.
    if (m >= 1) {
        const std::vector<TrackPoint> starts = startPoints(state);
        if (std::find(starts.begin(), starts.end(), point(1)) == starts.end())
            return CheckCode::NotAnAllowedMove;
    }

    double counted = static_cast<double>(m - 2);
    CheckpointProgress progress;
    bool crashed = false;
    TrackPoint rest;
    qint64 samples = 0;

    for (qint64 i = 2; i <= m; ++i) {
        qint64 centreX = 0, centreY = 0;
        if (crashed) {
            // A crash is stored as the move's target followed by the resting place.
            ++i;
            if (i > m)
                return CheckCode::NotFinished;
            if (!(point(i - 1) == rest))
                return CheckCode::NotAtRestingPlace;
            centreX = rest.x;
            centreY = rest.y;
            crashed = false;
        } else if (i == 2) {
            centreX = point(1).x;
            centreY = point(1).y;
        } else {
            centreX = 2LL * point(i - 1).x - point(i - 2).x;
            centreY = 2LL * point(i - 1).y - point(i - 2).y;
            if (!fitsInt32(centreX) || !fitsInt32(centreY))
                return CheckCode::CheckFailed;
        }

        const TrackPoint from = point(i - 1), to = point(i);
        const double length = distance(to.x, to.y, from.x, from.y);
        // Both circles are tested by the whole part of the distance: live play tests the pointer
        // and then rounds it to whole units, which can move the point up to 0.71 units outward.
        if (std::floor(distance(to.x, to.y, centreX, centreY)) > s || (limit > 0 && std::floor(length) > limit))
            return CheckCode::NotAnAllowedMove;
        // The speed as live play hands it to the crash question: a 32-bit float.
        const float speed = static_cast<float>(length / s);

        const qint64 dx = static_cast<qint64>(to.x) - from.x, dy = static_cast<qint64>(to.y) - from.y;
        if (dx == 0 && dy == 0)
            continue;
        const SegmentWalk walk(from, dx, dy);
        samples += walk.length() + 1;
        if (samples > MaxCheckedSamples)
            return CheckCode::CheckFailed;
        SampleEvent event = SampleEvent::None;
        const std::optional<qint64> stop = walk.walk(state.trackRaster, walk.length(), [&](qint64, ColorValue color) {
            event = classifySample(state, progress, color);
            return event != SampleEvent::None;
        });
        switch (event) {
        case SampleEvent::Crash:
            if (speed >= 3.0f)
                return CheckCode::CrashOutOrFinishTooSoon;
            counted += std::ceil(static_cast<double>(speed)) - 1;
            rest = walk.towardsStart(*stop - 2);
            crashed = true;
            continue;
        case SampleEvent::WrongEntry:
            return CheckCode::WrongCheckpointEntered;
        case SampleEvent::ExitWithoutEntry:
            return CheckCode::NotAnAllowedMove;
        case SampleEvent::Finished:
            if (i != m)
                return CheckCode::CrashOutOrFinishTooSoon;
            // The fraction as live play stores it, a 32-bit float: the record written from a live
            // finish then counts to the same millionth.
            counted += static_cast<double>(static_cast<float>(static_cast<double>(*stop) / static_cast<double>(walk.length())));
            return millionths(state.recordMoves) == millionths(counted) ? CheckCode::RecordValid : CheckCode::NotFinished;
        case SampleEvent::None:
            break;
        }
        if (IsOutsideTrackPicture(state, to.x, to.y)) {
            const std::optional<TrackPoint> edge = clipToTrack(state, from, to.x, to.y);
            if (!edge)
                return CheckCode::CheckFailed;
            if (speed >= 3.0f)
                return CheckCode::LeftTrackTooFast;
            counted += std::ceil(static_cast<double>(speed)) - 1;
            rest = *edge;
            crashed = true;
        }
    }
    return CheckCode::NotFinished;
}
