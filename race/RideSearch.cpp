#include "race/RideSearch.h"

#include "race/MoveTrial.h"
#include "race/TrackDistances.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <unordered_set>

namespace {

struct SearchState {
    TrackPoint position;
    TrackPoint previous;
    int passed = 0;
    int parent = -1;  // index into the list of all states kept
    std::uint64_t score = 0;
};

// A state as the search tells states apart: where the car is, how it moves, what it has passed.
struct StateKey {
    TrackPoint position;
    TrackPoint velocity;
    int passed = 0;
    friend bool operator==(const StateKey&, const StateKey&) = default;
};

struct StateKeyHash {
    std::size_t operator()(const StateKey& key) const
    {
        std::uint64_t h = 0x9E3779B97F4A7C15ull;
        for (const std::int64_t part : {std::int64_t(key.position.x), std::int64_t(key.position.y), std::int64_t(key.velocity.x),
                                        std::int64_t(key.velocity.y), std::int64_t(key.passed)})
            h = (h ^ static_cast<std::uint64_t>(part)) * 0x100000001B3ull;
        return static_cast<std::size_t>(h ^ (h >> 29));
    }
};

}  // namespace

std::optional<FoundRide> searchRide(const RaceState& state, TrackPoint start, int beamWidth, int maxMoves)
{
    return searchRide(state, TrackDistances(state), start, beamWidth, maxMoves);
}

std::optional<FoundRide> searchRide(const RaceState& state, const TrackDistances& distances, TrackPoint start,
                                    int beamWidth, int maxMoves)
{
    std::vector<SearchState> kept{{start, start, 0, -1, distances.remaining(0, start.x, start.y)}};
    std::vector<int> beam{0};
    const qint32 step = state.stepLength;
    const qint64 limit = state.speedLimit;

    for (int depth = 1; depth <= maxMoves && !beam.empty(); ++depth) {
        std::vector<SearchState> next;
        std::unordered_set<StateKey, StateKeyHash> seen;
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
                    const MoveTrialResult moved = tryMove(state, here.position, to, here.passed);
                    if (!moved.legal)
                        continue;
                    if (moved.finished) {
                        if (moved.fraction < bestFraction) {
                            bestFraction = moved.fraction;
                            bestFinish = std::make_pair(index, to);
                        }
                        continue;
                    }
                    if (!seen.insert(StateKey{to, {to.x - here.position.x, to.y - here.position.y}, moved.passed}).second)
                        continue;
                    if (!canStop(state, to, here.position, moved.passed))
                        continue;
                    const std::uint32_t remaining = distances.remaining(moved.passed, to.x, to.y);
                    if (remaining == TrackDistances::Unreachable)
                        continue;
                    const std::uint64_t score = remaining;
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
        beam.clear();
        for (SearchState& s : next) {
            beam.push_back(static_cast<int>(kept.size()));
            kept.push_back(s);
        }
    }
    return std::nullopt;
}
