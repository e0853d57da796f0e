#include "tools/ride_finder/RideSearch.h"

#include "race/CheckpointProgress.h"
#include "race/MoveGeometry.h"
#include "race/SegmentWalk.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <deque>
#include <limits>
#include <unordered_set>

namespace {

constexpr std::uint32_t Unreachable = std::numeric_limits<std::uint32_t>::max();

// For checkpoint k (0-based), the number of 8-connected pixel steps from every pixel to its entry
// stripe, never crossing the barrier, another checkpoint's entry colour or its own exit colour.
class DistanceFields {
public:
    explicit DistanceFields(const RaceState& state)
        : width_(state.trackWidth), height_(state.trackHeight)
    {
        const int count = state.checkpointCount;
        fields_.resize(static_cast<size_t>(count));
        for (int k = 0; k < count; ++k)
            build(state, k);
        // What is left after reaching checkpoint k: the way from its stripe to the next one.
        remainingAfter_.assign(static_cast<size_t>(count), 0);
        for (int k = count - 2; k >= 0; --k) {
            std::uint32_t best = Unreachable;
            const auto& here = fields_[static_cast<size_t>(k)];
            const auto& next = fields_[static_cast<size_t>(k + 1)];
            for (size_t i = 0; i < here.size(); ++i)
                if (here[i] == 0 && next[i] != Unreachable)
                    best = std::min(best, next[i]);
            remainingAfter_[static_cast<size_t>(k)] = (best == Unreachable ? 1'000'000 : best) + remainingAfter_[static_cast<size_t>(k + 1)];
        }
    }

    // The distance still to drive for a car at (x, y) that has passed `passed` checkpoints.
    std::uint64_t remaining(int passed, qint32 x, qint32 y) const
    {
        if (x < 0 || y < 0 || x >= width_ || y >= height_)
            return std::numeric_limits<std::uint64_t>::max();
        const std::uint32_t d = fields_[static_cast<size_t>(passed)][static_cast<size_t>(y) * width_ + x];
        if (d == Unreachable)
            return std::numeric_limits<std::uint64_t>::max();
        return std::uint64_t(d) + remainingAfter_[static_cast<size_t>(passed)];
    }

private:
    void build(const RaceState& state, int k)
    {
        auto& field = fields_[static_cast<size_t>(k)];
        field.assign(static_cast<size_t>(width_) * height_, Unreachable);
        std::vector<bool> blocked(field.size(), false);
        std::deque<qint64> queue;
        const CheckpointColors target = state.checkpoints[static_cast<size_t>(k)];
        for (qint32 y = 0; y < height_; ++y)
            for (qint32 x = 0; x < width_; ++x) {
                const ColorValue c = state.trackRaster.colorAt(x, y);
                const size_t i = static_cast<size_t>(y) * width_ + x;
                if (c == target.firstColor) {
                    field[i] = 0;
                    queue.push_back(static_cast<qint64>(i));
                    continue;
                }
                bool wall = c == state.crashColor || c == target.secondColor;
                for (int j = 0; j < state.checkpointCount && !wall; ++j)
                    wall = j != k && c == state.checkpoints[static_cast<size_t>(j)].firstColor;
                blocked[i] = wall;
            }
        while (!queue.empty()) {
            const qint64 i = queue.front();
            queue.pop_front();
            const qint32 x = static_cast<qint32>(i % width_);
            const qint32 y = static_cast<qint32>(i / width_);
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const qint32 nx = x + dx, ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= width_ || ny >= height_)
                        continue;
                    const size_t n = static_cast<size_t>(ny) * width_ + nx;
                    if (blocked[n] || field[n] != Unreachable)
                        continue;
                    field[n] = field[static_cast<size_t>(i)] + 1;
                    queue.push_back(static_cast<qint64>(n));
                }
        }
    }

    qint32 width_;
    qint32 height_;
    std::vector<std::vector<std::uint32_t>> fields_;
    std::vector<std::uint64_t> remainingAfter_;
};

struct SearchState {
    TrackPoint position;
    TrackPoint previous;
    int passed = 0;
    int parent = -1;  // index into the list of all states kept
    std::uint64_t score = 0;
};

// What the move from `from` to `to` does, walked exactly as a live move is.
struct StepResult {
    bool allowed = false;
    bool finished = false;
    int passed = 0;
    double fraction = 0;
};

StepResult tryMove(const RaceState& state, TrackPoint from, TrackPoint to, int passed)
{
    StepResult result;
    if (to.x < 0 || to.y < 0 || to.x >= state.trackWidth || to.y >= state.trackHeight)
        return result;
    const SegmentWalk walk(from, qint64(to.x) - from.x, qint64(to.y) - from.y);
    CheckpointProgress progress{static_cast<quint8>(passed), false};
    SampleEvent event = SampleEvent::None;
    const std::optional<qint64> stop = walk.walk(state.trackRaster, walk.length(), [&](qint64, ColorValue color) {
        event = classifySample(state, progress, color);
        return event != SampleEvent::None;
    });
    if (event == SampleEvent::Crash || event == SampleEvent::WrongEntry || event == SampleEvent::ExitWithoutEntry)
        return result;
    result.allowed = true;
    result.passed = progress.passed;
    if (event == SampleEvent::Finished) {
        result.finished = true;
        result.fraction = static_cast<double>(*stop) / static_cast<double>(walk.length());
    }
    return result;
}

// Whether a car at position with the last move ending there from previous can still come to rest
// without a crash or a wrong checkpoint by braking as hard as the circle allows, straight ahead.
// Only such states are kept: from every one of them the search can always go on.
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
        const StepResult moved = tryMove(state, position, to, passed);
        if (!moved.allowed)
            return false;
        if (moved.finished)
            return true;
        passed = moved.passed;
        previous = position;
        position = to;
    }
    return false;
}

std::uint64_t stateKey(TrackPoint position, TrackPoint previous, int passed)
{
    const std::uint64_t vx = static_cast<std::uint16_t>(position.x - previous.x + 0x8000);
    const std::uint64_t vy = static_cast<std::uint16_t>(position.y - previous.y + 0x8000);
    return (std::uint64_t(static_cast<std::uint16_t>(position.x)) << 48) | (std::uint64_t(static_cast<std::uint16_t>(position.y)) << 32)
        | (vx << 16) | vy | (std::uint64_t(passed) << 60);
}

}  // namespace

std::optional<FoundRide> searchRide(const RaceState& state, TrackPoint start, int beamWidth, int maxMoves)
{
    const DistanceFields distances(state);
    std::vector<SearchState> kept{{start, start, 0, -1, distances.remaining(0, start.x, start.y)}};
    std::vector<int> beam{0};
    const qint32 step = state.stepLength;
    const qint64 limit = state.speedLimit;

    for (int depth = 1; depth <= maxMoves && !beam.empty(); ++depth) {
        std::vector<SearchState> next;
        std::unordered_set<std::uint64_t> seen;
        std::optional<std::pair<int, TrackPoint>> bestFinish;
        double bestFraction = 2;
        for (int index : beam) {
            const SearchState here = kept[static_cast<size_t>(index)];
            const TrackPoint aim{2 * here.position.x - here.previous.x, 2 * here.position.y - here.previous.y};
            for (qint32 dy = -step; dy <= step; ++dy)
                for (qint32 dx = -step; dx <= step; ++dx) {
                    if (qint64(dx) * dx + qint64(dy) * dy > qint64(step) * step)
                        continue;
                    const TrackPoint to{aim.x + dx, aim.y + dy};
                    const qint64 mx = to.x - here.position.x, my = to.y - here.position.y;
                    if (mx == 0 && my == 0)
                        continue;
                    if (limit > 0 && mx * mx + my * my > limit * limit)
                        continue;
                    const StepResult moved = tryMove(state, here.position, to, here.passed);
                    if (!moved.allowed)
                        continue;
                    if (moved.finished) {
                        if (moved.fraction < bestFraction) {
                            bestFraction = moved.fraction;
                            bestFinish = std::make_pair(index, to);
                        }
                        continue;
                    }
                    if (!seen.insert(stateKey(to, here.position, moved.passed)).second)
                        continue;
                    if (!canStop(state, to, here.position, moved.passed))
                        continue;
                    const std::uint64_t score = distances.remaining(moved.passed, to.x, to.y);
                    if (score == std::numeric_limits<std::uint64_t>::max())
                        continue;
                    next.push_back({to, here.position, moved.passed, index, score});
                }
        }
        if (bestFinish) {
            FoundRide ride;
            ride.points.push_back(bestFinish->second);
            for (int i = bestFinish->first; i >= 0; i = kept[static_cast<size_t>(i)].parent)
                ride.points.push_back(kept[static_cast<size_t>(i)].position);
            std::reverse(ride.points.begin(), ride.points.end());
            // The moves as live play counts them, with the fraction of the last move as a 32-bit float.
            ride.moves = (depth - 1) + static_cast<double>(static_cast<float>(bestFraction));
            return ride;
        }
        const size_t width = std::min<size_t>(next.size(), static_cast<size_t>(beamWidth));
        std::partial_sort(next.begin(), next.begin() + static_cast<std::ptrdiff_t>(width), next.end(),
                          [](const SearchState& a, const SearchState& b) { return a.score < b.score; });
        next.resize(width);
        if (qEnvironmentVariableIsSet("FIND_RIDE_TRACE") && !next.empty())
            std::fprintf(stderr, "depth %d: %zu states, best %llu at %d,%d\n", depth, next.size(),
                         static_cast<unsigned long long>(next.front().score), next.front().position.x, next.front().position.y);
        beam.clear();
        for (SearchState& s : next) {
            beam.push_back(static_cast<int>(kept.size()));
            kept.push_back(s);
        }
    }
    return std::nullopt;
}
