#include "race/MoveTrial.h"

#include "race/CheckpointProgress.h"
#include "race/MoveGeometry.h"
#include "race/SegmentWalk.h"

#include <cmath>

namespace {

// The walk of a move with the colour tests of a committed move. mayMatter(colour) false passes a
// sample over untested: only a colour that is neither the barrier nor a checkpoint's may be. The
// samples walked are added to `samples`.
template <typename MayMatter>
MoveTrialResult walkMove(const RaceState& state, TrackPoint from, TrackPoint to, int passed, MayMatter mayMatter,
                         qint64& samples)
{
    MoveTrialResult result;
    result.passed = passed;
    const qint64 dx = qint64(to.x) - from.x, dy = qint64(to.y) - from.y;
    const SegmentWalk walk(from, dx, dy);
    samples += walk.length() + 1;
    CheckpointProgress progress{static_cast<quint8>(passed), false};
    SampleEvent event = SampleEvent::None;
    const std::optional<qint64> stop = walk.walk(state.trackRaster, walk.length(), [&](qint64, ColorValue color) {
        if (!mayMatter(color))
            return false;
        event = classifySample(state, progress, color);
        return event != SampleEvent::None;
    });
    const auto speed = [&] { return std::sqrt(static_cast<double>(dx * dx + dy * dy)) / state.stepLength; };
    switch (event) {
    case SampleEvent::Crash:
        result.crashed = true;
        result.crashSpeed = speed();
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
        result.crashSpeed = speed();
        return result;
    }
    result.legal = true;
    result.passed = progress.passed;
    return result;
}

// Brakes as hard as the circle allows, straight on, trying each braking move with tryMove(from,
// to, passed): true once the car is slow enough to stand still next (or it finishes on the way).
template <typename TryMove>
bool brakesToRest(const RaceState& state, TrackPoint position, TrackPoint previous, int passed, TryMove tryMove)
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
        // Every braking target must be a point a player can click: inside the picture.
        if (IsOutsideTrackPicture(state, to.x, to.y))
            return false;
        const MoveTrialResult moved = tryMove(position, to, passed);
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

}  // namespace

MoveTrialResult tryMove(const RaceState& state, TrackPoint from, TrackPoint to, int passed)
{
    qint64 samples = 0;
    return walkMove(state, from, to, passed, [](ColorValue) { return true; }, samples);
}

bool canStop(const RaceState& state, TrackPoint position, TrackPoint previous, int passed)
{
    return brakesToRest(state, position, previous, passed,
                        [&state](TrackPoint from, TrackPoint to, int p) { return tryMove(state, from, to, p); });
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

MoveTrials::MoveTrials(const RaceState& state) : state_(state)
{
    specialMask_ |= std::uint64_t(1) << hashBits(state.crashColor);
    for (const CheckpointColors& checkpoint : state.checkpoints) {
        specialMask_ |= std::uint64_t(1) << hashBits(checkpoint.firstColor);
        specialMask_ |= std::uint64_t(1) << hashBits(checkpoint.secondColor);
    }
}

MoveTrialResult MoveTrials::tryMove(TrackPoint from, TrackPoint to, int passed) const
{
    return walkMove(state_, from, to, passed, [this](ColorValue color) { return mayMatter(color); }, samples_);
}

std::size_t MoveTrials::StopKeyHash::operator()(const StopKey& key) const
{
    std::uint64_t h = 0xCBF29CE484222325ull;
    for (const std::int64_t part : {std::int64_t(key.position.x), std::int64_t(key.position.y), std::int64_t(key.velocity.x),
                                    std::int64_t(key.velocity.y), std::int64_t(key.passed)})
        h = (h ^ static_cast<std::uint64_t>(part)) * 0x100000001B3ull;
    return static_cast<std::size_t>(h ^ (h >> 32));
}

void MoveTrials::forgetRemembered() const
{
    std::unordered_map<StopKey, bool, StopKeyHash>().swap(stops_);
}

bool MoveTrials::canStop(TrackPoint position, TrackPoint previous, int passed) const
{
    const StopKey key{position, {position.x - previous.x, position.y - previous.y}, passed};
    if (const auto it = stops_.find(key); it != stops_.end())
        return it->second;
    const bool stops = brakesToRest(state_, position, previous, passed,
                                    [this](TrackPoint from, TrackPoint to, int p) { return tryMove(from, to, p); });
    if (stops_.size() >= MaxRemembered)
        stops_.clear();
    stops_.emplace(key, stops);
    return stops;
}
