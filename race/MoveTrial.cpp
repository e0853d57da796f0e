#include "race/MoveTrial.h"

#include "race/CheckpointProgress.h"
#include "race/MoveGeometry.h"
#include "race/SegmentWalk.h"

#include <cmath>

MoveTrialResult tryMove(const RaceState& state, TrackPoint from, TrackPoint to, int passed)
{
    MoveTrialResult result;
    result.passed = passed;
    const qint64 dx = qint64(to.x) - from.x, dy = qint64(to.y) - from.y;
    const double speed = std::sqrt(static_cast<double>(dx * dx + dy * dy)) / state.stepLength;
    const SegmentWalk walk(from, dx, dy);
    CheckpointProgress progress{static_cast<quint8>(passed), false};
    SampleEvent event = SampleEvent::None;
    const std::optional<qint64> stop = walk.walk(state.trackRaster, walk.length(), [&](qint64, ColorValue color) {
        event = classifySample(state, progress, color);
        return event != SampleEvent::None;
    });
    switch (event) {
    case SampleEvent::Crash:
        result.crashed = true;
        result.crashSpeed = speed;
        return result;
    case SampleEvent::WrongEntry:
    case SampleEvent::ExitWithoutEntry:
        return result;
    case SampleEvent::Finished:
        result.legal = true;
        result.finished = true;
        result.passed = progress.passed;
        result.fraction = walk.length() > 0 ? static_cast<double>(*stop) / static_cast<double>(walk.length()) : 0;
        return result;
    case SampleEvent::None:
        break;
    }
    if (IsOutsideTrackPicture(state, to.x, to.y)) {
        result.crashed = true;
        result.crashSpeed = speed;
        return result;
    }
    result.legal = true;
    result.passed = progress.passed;
    return result;
}

bool canStop(const RaceState& state, TrackPoint position, TrackPoint previous, int passed)
{
    const double s = state.stepLength;
    for (int guard = 0; guard < 1000; ++guard) {
        const double vx = position.x - previous.x, vy = position.y - previous.y;
        const double v = std::sqrt(vx * vx + vy * vy);
        if (v <= s)
            return true;
        const TrackPoint aim{2 * position.x - previous.x, 2 * position.y - previous.y};
        const double f = 1 - s / v;
        const TrackPoint to{RoundTowards(aim.x, static_cast<float>(position.x + f * vx)),
                            RoundTowards(aim.y, static_cast<float>(position.y + f * vy))};
        const MoveTrialResult moved = tryMove(state, position, to, passed);
        if (!moved.legal)
            return false;
        if (moved.finished)
            return true;
        passed = moved.passed;
        previous = position;
        position = to;
    }
    return false;
}

bool isAllowedPoint(const RaceState& state, TrackPoint position, TrackPoint aim, TrackPoint to)
{
    const qint64 ax = qint64(to.x) - aim.x, ay = qint64(to.y) - aim.y;
    const qint64 s = state.stepLength;
    if (ax * ax + ay * ay > s * s)
        return false;
    if (state.speedLimit > 0) {
        const qint64 mx = qint64(to.x) - position.x, my = qint64(to.y) - position.y;
        const qint64 limit = state.speedLimit;
        if (mx * mx + my * my > limit * limit)
            return false;
    }
    return true;
}
