#include "race/RideSearch.h"

#include "race/FloorDivide.h"
#include "race/MoveGeometry.h"
#include "race/MoveTrial.h"
#include "race/RideGuide.h"
#include "race/TrackDistances.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <tuple>
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

namespace {

// The moves a solver pass may choose from a car's inertia point: every whole point of the circle
// of allowed moves; on a circle too large to try every point, the points of a coarser grid in it
// and the outermost whole point on each of its lines, about MaxChoices in all.
std::vector<TrackPoint> moveChoices(const RaceState& state)
{
    constexpr qint64 MaxChoices = 6000;
    const qint64 s = state.stepLength;
    qint64 grid = 1;
    while (4 * (s / grid + 1) * (s / grid + 1) > MaxChoices)
        ++grid;
    std::vector<TrackPoint> choices;
    const auto add = [&choices](qint64 dx, qint64 dy) { choices.push_back({static_cast<qint32>(dx), static_cast<qint32>(dy)}); };
    for (qint64 dy = -(s / grid) * grid; dy <= s; dy += grid)
        for (qint64 dx = -(s / grid) * grid; dx <= s; dx += grid)
            if (dx * dx + dy * dy <= s * s)
                add(dx, dy);
    if (grid > 1) {
        for (qint64 line = -(s / grid) * grid; line <= s; line += grid) {
            qint64 reach = static_cast<qint64>(std::sqrt(static_cast<double>(s * s - line * line)));
            while (reach * reach + line * line > s * s)
                --reach;
            while ((reach + 1) * (reach + 1) + line * line <= s * s)
                ++reach;
            for (const qint64 end : {-reach, reach}) {
                add(line, end);
                add(end, line);
            }
        }
        const auto order = [](const TrackPoint& a, const TrackPoint& b) { return a.y < b.y || (a.y == b.y && a.x < b.x); };
        std::sort(choices.begin(), choices.end(), order);
        choices.erase(std::unique(choices.begin(), choices.end()), choices.end());
    }
    return choices;
}

struct SolverState {
    TrackPoint position;
    TrackPoint previous;
    int passed = 0;
    int parent = -1;  // index into the list of all states kept
};

// A car one move on from a kept state. Its move is tried only when it is a candidate for the beam:
// most cars of a depth are never looked at again, and ranking them needs no trial.
struct Candidate {
    SolverState state;  // until tried, `passed` is the parent's
    float score = 0;    // the way still to drive
    qint64 speed = 0;   // the square of the move's length
    bool tried = false;
};

// A cell of position and velocity: of the cars in one cell at one depth only the nearest is kept.
struct Bin {
    qint64 x, y, vx, vy;
    int passed;
    friend bool operator==(const Bin&, const Bin&) = default;
};

struct BinHash {
    std::size_t operator()(const Bin& bin) const
    {
        std::uint64_t h = 0x9E3779B97F4A7C15ull;
        for (const std::int64_t part : {std::int64_t(bin.x), std::int64_t(bin.y), std::int64_t(bin.vx), std::int64_t(bin.vy), std::int64_t(bin.passed)})
            h = (h ^ static_cast<std::uint64_t>(part)) * 0x100000001B3ull;
        return static_cast<std::size_t>(h ^ (h >> 29));
    }
};

class SolverPass {
public:
    SolverPass(const RaceState& state, const TrackDistances& distances, const RideGuide& guide,
               const std::vector<TrackPoint>& choices)
        : state_(state), distances_(distances), guide_(guide), choices_(choices)
    {
        const int s = state.stepLength;
        positionCell_ = std::max(1, (s + 1) / 3);
        velocityCell_ = std::max(1, s / 5);
    }

    // A ride better than `better` moves (infinity: any ride), or nothing.
    std::optional<FoundRide> run(TrackPoint start, int width, int maxMoves, double better)
    {
        kept_.assign(1, SolverState{start, start, 0, -1});
        std::vector<int> beam{0};
        std::vector<Candidate> next;
        std::vector<Candidate> passedOver;  // cars of the depth before that did not make the beam
        const std::size_t passedOverLimit = 4 * static_cast<std::size_t>(width);
        for (int depth = 1; depth <= maxMoves && !beam.empty(); ++depth) {
            if (depth - 1 >= better)
                return std::nullopt;
            next.clear();
            Finish finish;
            expandAll(beam, next, finish);
            if (finish.parent >= 0) {
                // A car of the beam crossed the finish; one passed over at the depth before may cross
                // it earlier in its move.
                for (Candidate& candidate : passedOver) {
                    if (!tryCandidate(candidate))
                        continue;
                    kept_.push_back(candidate.state);
                    if (!expandFinishOnly(static_cast<int>(kept_.size()) - 1, finish))
                        kept_.pop_back();
                }
                const double moves = (depth - 1) + static_cast<double>(static_cast<float>(finish.fraction));
                if (!(moves < better))
                    return std::nullopt;
                FoundRide ride;
                ride.points.push_back(finish.to);
                for (int i = finish.parent; i >= 0; i = kept_[static_cast<std::size_t>(i)].parent)
                    ride.points.push_back(kept_[static_cast<std::size_t>(i)].position);
                std::reverse(ride.points.begin(), ride.points.end());
                ride.moves = moves;
                return ride;
            }
            // Nearest first; of two as near, the faster.
            std::sort(next.begin(), next.end(), [](const Candidate& a, const Candidate& b) {
                if (a.score != b.score)
                    return a.score < b.score;
                if (a.speed != b.speed)
                    return a.speed > b.speed;
                return std::tie(a.state.position.y, a.state.position.x, a.state.previous.y, a.state.previous.x) <
                       std::tie(b.state.position.y, b.state.position.x, b.state.previous.y, b.state.previous.x);
            });
            beam.clear();
            passedOver.clear();
            std::unordered_set<Bin, BinHash> bins;
            for (Candidate& candidate : next) {
                if (static_cast<int>(beam.size()) >= width) {
                    if (passedOver.size() >= passedOverLimit)
                        break;
                    passedOver.push_back(candidate);
                    continue;
                }
                // The cell first, by the checkpoints passed before the move: most cars meet an
                // occupied cell, and need no trial then.
                const SolverState& s = candidate.state;
                const auto binOf = [&] {
                    return Bin{floorDivide<qint64>(s.position.x, positionCell_), floorDivide<qint64>(s.position.y, positionCell_),
                               floorDivide(qint64(s.position.x) - s.previous.x, velocityCell_),
                               floorDivide(qint64(s.position.y) - s.previous.y, velocityCell_), s.passed};
                };
                if (bins.contains(binOf()) || !tryCandidate(candidate))
                    continue;
                const Bin bin = binOf();
                if (bins.contains(bin))
                    continue;
                // Exact distances rule a car out that cannot reach the finish, or not soon enough.
                if (distances_.exact()) {
                    const std::uint32_t steps = distances_.remaining(s.passed, s.position.x, s.position.y);
                    if (steps == TrackDistances::Unreachable
                        || depth + movesLowerBound(state_, steps, std::sqrt(static_cast<double>(candidate.speed))) >= better)
                        continue;
                }
                if (!canStop(state_, s.position, s.previous, s.passed)) {
                    if (passedOver.size() < passedOverLimit)
                        passedOver.push_back(candidate);
                    continue;
                }
                bins.insert(bin);
                beam.push_back(static_cast<int>(kept_.size()));
                kept_.push_back(s);
            }
        }
        return std::nullopt;
    }

private:
    struct Finish {
        int parent = -1;
        TrackPoint to;
        double fraction = 2;
    };

    // The way still to drive for a car at `to` that has passed `passed` checkpoints: by the guide,
    // else by the distances. Where the distances are measured in cells, a cell can look walled in
    // while a car in it is not: such a car is ranked last, never dropped.
    float score(int passed, TrackPoint to) const
    {
        if (guide_.available())
            return guide_.remaining(passed, to.x, to.y);
        const std::uint32_t steps = distances_.remaining(passed, to.x, to.y);
        if (steps != TrackDistances::Unreachable)
            return static_cast<float>(steps);
        return distances_.exact() ? RideGuide::Unreachable : std::numeric_limits<float>::max();
    }

    // The same for a car whose move has not been tried: the nearer of the way with the checkpoints
    // passed before it and with one more, as the move may have passed one.
    float roughScore(int passed, TrackPoint to) const { return std::min(score(passed, to), score(passed + 1, to)); }

    // Tries the candidate's move once; whether it is legal and does not finish.
    bool tryCandidate(Candidate& candidate)
    {
        if (candidate.tried)
            return true;
        SolverState& s = candidate.state;
        const MoveTrialResult moved = tryMove(state_, s.previous, s.position, s.passed);
        if (!moved.legal || moved.finished)
            return false;
        s.passed = moved.passed;
        candidate.tried = true;
        return true;
    }

    // Whether a move `longAxis` units long from a car `steps` from the finish may cross it: it
    // must take every one of them, where the distances count whole steps.
    bool mayFinish(std::uint32_t steps, qint64 longAxis) const
    {
        return !distances_.exact() || steps <= longAxis;
    }

    // The cars one move on from the beam into `next`, and the best finish among them. Two kept cars
    // reach the same car only from the same point, so only cars standing together are compared.
    void expandAll(std::vector<int>& beam, std::vector<Candidate>& next, Finish& finish)
    {
        const auto order = [this](int a, int b) {
            const SolverState& p = kept_[static_cast<std::size_t>(a)];
            const SolverState& q = kept_[static_cast<std::size_t>(b)];
            return std::tie(p.position.y, p.position.x, p.passed, a) < std::tie(q.position.y, q.position.x, q.passed, b);
        };
        std::sort(beam.begin(), beam.end(), order);
        for (std::size_t first = 0; first < beam.size();) {
            const SolverState& here = kept_[static_cast<std::size_t>(beam[first])];
            std::size_t last = first + 1;
            while (last < beam.size() && kept_[static_cast<std::size_t>(beam[last])].position == here.position
                   && kept_[static_cast<std::size_t>(beam[last])].passed == here.passed)
                ++last;
            if (last - first == 1) {
                expand(beam[first], next, finish, nullptr);
            } else {
                // The inertia points of the group and the circle round each bound the points reached.
                qint64 left = std::numeric_limits<qint64>::max(), top = left, right = std::numeric_limits<qint64>::min(), bottom = right;
                for (std::size_t i = first; i < last; ++i) {
                    const SolverState& s = kept_[static_cast<std::size_t>(beam[i])];
                    const qint64 ax = 2LL * s.position.x - s.previous.x, ay = 2LL * s.position.y - s.previous.y;
                    left = std::min(left, ax);
                    right = std::max(right, ax);
                    top = std::min(top, ay);
                    bottom = std::max(bottom, ay);
                }
                const qint64 s = state_.stepLength;
                group_ = {left - s, top - s, right - left + 2 * s + 1, bottom - top + 2 * s + 1};
                groupSeen_.assign(static_cast<std::size_t>(group_.width * group_.height), 0);
                for (std::size_t i = first; i < last; ++i)
                    expand(beam[i], next, finish, &groupSeen_);
            }
            first = last;
        }
    }

    // The cars one move on from kept state `index` into `next`, and the best finish among them;
    // points already reached from the same spot are marked in `seen` (the group's window).
    void expand(int index, std::vector<Candidate>& next, Finish& finish, std::vector<char>* seen)
    {
        const SolverState here = kept_[static_cast<std::size_t>(index)];
        const TrackPoint aim{2 * here.position.x - here.previous.x, 2 * here.position.y - here.previous.y};
        const std::uint32_t steps = distances_.remaining(here.passed, here.position.x, here.position.y);
        const qint64 limit = state_.speedLimit;
        for (const TrackPoint& choice : choices_) {
            const TrackPoint to{aim.x + choice.x, aim.y + choice.y};
            const qint64 mx = qint64(to.x) - here.position.x, my = qint64(to.y) - here.position.y;
            if (mx == 0 && my == 0)
                continue;
            if (limit > 0 && mx * mx + my * my > limit * limit)
                continue;
            if (IsOutsideTrackPicture(state_, to.x, to.y) || state_.trackRaster.colorAt(to.x, to.y) == state_.crashColor)
                continue;
            if (seen) {
                char& mark = (*seen)[static_cast<std::size_t>((to.y - group_.top) * group_.width + (to.x - group_.left))];
                if (mark)
                    continue;
                mark = 1;
            }
            Candidate candidate{SolverState{to, here.position, here.passed, index}, 0, mx * mx + my * my, false};
            if (mayFinish(steps, std::max(std::abs(mx), std::abs(my)))) {
                const MoveTrialResult moved = tryMove(state_, here.position, to, here.passed);
                if (!moved.legal)
                    continue;
                if (moved.finished) {
                    if (moved.fraction < finish.fraction)
                        finish = {index, to, moved.fraction};
                    continue;
                }
                candidate.state.passed = moved.passed;
                candidate.tried = true;
                candidate.score = score(moved.passed, to);
            } else {
                candidate.score = roughScore(here.passed, to);
                // A fast move may pass more than one checkpoint: the way ahead is then known only
                // from the move itself.
                if (candidate.score == RideGuide::Unreachable && tryCandidate(candidate))
                    candidate.score = score(candidate.state.passed, to);
            }
            if (candidate.score == RideGuide::Unreachable)
                continue;
            next.push_back(candidate);
        }
    }

    // Only the finishing moves from kept state `index`; whether one beat `finish`.
    bool expandFinishOnly(int index, Finish& finish)
    {
        const SolverState here = kept_[static_cast<std::size_t>(index)];
        const TrackPoint aim{2 * here.position.x - here.previous.x, 2 * here.position.y - here.previous.y};
        const std::uint32_t steps = distances_.remaining(here.passed, here.position.x, here.position.y);
        const qint64 limit = state_.speedLimit;
        bool better = false;
        for (const TrackPoint& choice : choices_) {
            const TrackPoint to{aim.x + choice.x, aim.y + choice.y};
            const qint64 mx = qint64(to.x) - here.position.x, my = qint64(to.y) - here.position.y;
            if ((mx == 0 && my == 0) || (limit > 0 && mx * mx + my * my > limit * limit))
                continue;
            if (!mayFinish(steps, std::max(std::abs(mx), std::abs(my))))
                continue;
            const MoveTrialResult moved = tryMove(state_, here.position, to, here.passed);
            if (moved.legal && moved.finished && moved.fraction < finish.fraction) {
                finish = {index, to, moved.fraction};
                better = true;
            }
        }
        return better;
    }

    const RaceState& state_;
    const TrackDistances& distances_;
    const RideGuide& guide_;
    const std::vector<TrackPoint>& choices_;
    qint64 positionCell_ = 1;
    qint64 velocityCell_ = 1;
    std::vector<SolverState> kept_;
    struct {
        qint64 left, top, width, height;
    } group_{};
    std::vector<char> groupSeen_;
};

}  // namespace

std::optional<FoundRide> solveRide(const RaceState& state, const TrackDistances& distances, const RideGuide& guide,
                                   TrackPoint start, const RideSolverSettings& settings)
{
    if (state.stepLength < 1 || state.trackRaster.isNull())
        return std::nullopt;
    const std::vector<TrackPoint> choices = moveChoices(state);
    SolverPass pass(state, distances, guide, choices);
    std::optional<FoundRide> best;
    for (const int width : settings.beamWidths) {
        if (width < 1)
            continue;
        const double better = best ? best->moves : std::numeric_limits<double>::infinity();
        if (std::optional<FoundRide> ride = pass.run(start, width, settings.maxMoves, better))
            best = std::move(ride);
    }
    return best;
}
