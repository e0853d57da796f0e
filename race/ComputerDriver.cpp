#include "race/ComputerDriver.h"

#include "race/MoveTrial.h"
#include "race/StartPositions.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_set>
#include <vector>

namespace {

// How a strength drives.
struct Strength {
    qint64 workBudget;     // the most samples walked for one move: a bound on its time on any track
    int beamWidth;         // states kept at every move looked ahead
    int lookAhead;         // moves looked ahead
    int spacing;           // targets tried: the circle's points on a grid this wide, and its rim
    double speedCap;       // the fastest it goes, in step lengths a move; 0: as fast as it can
    double noise;          // how far its judgement of a state may be off, as a share of it
    double blunderChance;  // at low speed, the chance of a move tried without looking
};

Strength strengthOf(DriverKind kind)
{
    switch (kind) {
    case DriverKind::Beginner: return {200'000, 6, 6, 3, 4.0, 0.15, 0.05};
    case DriverKind::Racer: return {1'000'000, 10, 8, 2, 7.0, 0.04, 0.0};
    case DriverKind::Master:
    case DriverKind::Person: break;
    }
    return {12'000'000, 150, 8, 1, 0.0, 0.0, 0.0};
}

// A number from the seed and the situation, the same every time for the same situation.
std::uint64_t mix(std::uint64_t value)
{
    value += 0x9E3779B97F4A7C15ull;
    value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ull;
    value = (value ^ (value >> 27)) * 0x94D049BB133111EBull;
    return value ^ (value >> 31);
}

std::uint64_t situation(const RaceState& state, int player)
{
    const PlayerRecord& car = state.player(player);
    std::uint64_t h = mix(state.raceSeed);
    for (const std::int64_t part : {std::int64_t(player), std::int64_t(car.moves * 1000), std::int64_t(car.posX), std::int64_t(car.posY),
                                    std::int64_t(car.prevX), std::int64_t(car.prevY)})
        h = mix(h ^ static_cast<std::uint64_t>(part));
    return h;
}

// A number in [0, 1) from a hash.
double unit(std::uint64_t h)
{
    return static_cast<double>(mix(h) >> 11) / static_cast<double>(1ull << 53);
}

// The offsets from the inertia point that a strength tries: the whole points of the circle on
// its grid, and the whole points of the circle's rim, where the hardest turns and stops lie. A
// large circle is sampled: a grid of about MaxGridPoints and RimDirections points of its rim.
constexpr qint64 MaxGridPoints = 400;
constexpr int RimDirections = 64;

std::vector<TrackPoint> candidateOffsets(qint32 step, int spacing)
{
    const qint64 s2 = qint64(step) * step;
    // The grid's spacing: the strength's, or wider where the circle has too many points for it.
    qint64 grid = std::max(1, spacing);
    while (3.15 * static_cast<double>(s2) / static_cast<double>(grid * grid) > MaxGridPoints)
        ++grid;
    std::vector<TrackPoint> offsets;
    const qint64 rim = qint64(step - 1) * (step - 1);
    const bool wholeRim = 2 * 3.15 * step <= RimDirections * 4;
    for (qint64 dy = -(step / grid) * grid; dy <= step; dy += grid) {
        for (qint64 dx = -(step / grid) * grid; dx <= step; dx += grid) {
            if (dx * dx + dy * dy <= s2)
                offsets.push_back({static_cast<qint32>(dx), static_cast<qint32>(dy)});
        }
    }
    if (wholeRim) {
        for (qint32 dy = -step; dy <= step; ++dy) {
            for (qint32 dx = -step; dx <= step; ++dx) {
                const qint64 r2 = qint64(dx) * dx + qint64(dy) * dy;
                if (r2 <= s2 && r2 > rim && (dx % grid != 0 || dy % grid != 0))
                    offsets.push_back({dx, dy});
            }
        }
    } else {
        for (int i = 0; i < RimDirections; ++i) {
            const double angle = 2 * 3.14159265358979323846 * i / RimDirections;
            // Rounded towards the centre, so the point stays in the circle.
            const auto inward = [](double value) { return static_cast<qint32>(value < 0 ? std::ceil(value) : std::floor(value)); };
            offsets.push_back({inward(step * std::cos(angle)), inward(step * std::sin(angle))});
        }
    }
    return offsets;
}

struct Candidate {
    TrackPoint position;
    TrackPoint previous;
    int passed = 0;
    TrackPoint first;  // the move this line of the search began with
    double score = 0;
};

struct SeenKey {
    TrackPoint position;
    TrackPoint velocity;
    int passed;
    friend bool operator==(const SeenKey&, const SeenKey&) = default;
};

struct SeenKeyHash {
    std::size_t operator()(const SeenKey& key) const
    {
        std::uint64_t h = 0;
        for (const std::int64_t part : {std::int64_t(key.position.x), std::int64_t(key.position.y), std::int64_t(key.velocity.x),
                                        std::int64_t(key.velocity.y), std::int64_t(key.passed)})
            h = mix(h ^ static_cast<std::uint64_t>(part));
        return static_cast<std::size_t>(h);
    }
};

double moveLength(TrackPoint from, TrackPoint to)
{
    const double dx = static_cast<double>(to.x) - from.x, dy = static_cast<double>(to.y) - from.y;
    return std::sqrt(dx * dx + dy * dy);
}

}  // namespace

ComputerDriver::ComputerDriver(const RaceState& state)
    : distances_(state), trials_(state), rasterKey_(state.trackRaster.image().cacheKey())
{
}

bool ComputerDriver::knowsTrack(const RaceState& state) const
{
    return state.trackRaster.image().cacheKey() == rasterKey_;
}

int ComputerDriver::chooseStart(const RaceState& state, int player) const
{
    // Every race of a computer begins here. What the trials remembered of the race before goes:
    // it would pile up from race to race on one track (up to MaxRemembered answers, some hundred
    // MiB), and the next race would find its answers with less work than a race of its own.
    trials_.forgetRemembered();
    const std::vector<TrackPoint> starts = startPoints(state);
    std::vector<int> free;
    for (int i = 0; i < static_cast<int>(starts.size()); ++i) {
        bool taken = false;
        for (int other = 1; other <= PlayerSlots && !taken; ++other) {
            const PlayerRecord& car = state.player(other);
            taken = other != player && isOnTrack(car.state) && car.posX == starts[static_cast<std::size_t>(i)].x
                    && car.posY == starts[static_cast<std::size_t>(i)].y;
        }
        if (!taken)
            free.push_back(i);
    }
    if (free.empty())
        return 1;
    if (state.player(player).driver == DriverKind::Beginner)
        return free[static_cast<std::size_t>(unit(situation(state, player)) * static_cast<double>(free.size()))] + 1;
    // The start with the least to drive; the first of equal ones.
    int best = free.front();
    for (int i : free) {
        const TrackPoint p = starts[static_cast<std::size_t>(i)];
        const TrackPoint b = starts[static_cast<std::size_t>(best)];
        if (distances_.remaining(0, p.x, p.y) < distances_.remaining(0, b.x, b.y))
            best = i;
    }
    return best + 1;
}

TrackPoint ComputerDriver::chooseTarget(const RaceState& state, int player) const
{
    const PlayerRecord& car = state.player(player);
    const Strength strength = strengthOf(car.driver);
    const qint32 step = std::max<qint32>(1, state.stepLength);
    const std::vector<TrackPoint> offsets = candidateOffsets(step, std::min<int>(strength.spacing, std::max(1, step / 2)));
    const std::uint64_t luck = situation(state, player);
    const TrackPoint position{car.posX, car.posY};
    const TrackPoint previous{car.prevX, car.prevY};
    const TrackPoint aim{2 * car.posX - car.prevX, 2 * car.posY - car.prevY};
    const double fastest = strength.speedCap > 0 ? strength.speedCap * step : std::numeric_limits<double>::infinity();

    // Now and then, at low speed, a beginner tries a move without looking: it may end against the
    // barrier, but never fast enough to end the race, and never through a wrong checkpoint.
    if (strength.blunderChance > 0 && moveLength(previous, position) <= 2.0 * step && unit(luck ^ 0xB1) < strength.blunderChance) {
        std::vector<TrackPoint> tries;
        for (const TrackPoint offset : offsets) {
            const TrackPoint to{aim.x + offset.x, aim.y + offset.y};
            if (!isAllowedPoint(state, position, aim, to))
                continue;
            const MoveTrialResult moved = trials_.tryMove(position, to, car.checkpointsPassed);
            if (moved.legal || (moved.crashed && moved.crashSpeed < 3.0))
                tries.push_back(to);
        }
        if (!tries.empty())
            return tries[static_cast<std::size_t>(unit(luck ^ 0xB2) * static_cast<double>(tries.size()))];
    }

    // The judgement of a state: the steps it still has to drive, as this driver sees them.
    const auto judged = [&](double steps, TrackPoint to, int depth) {
        if (strength.noise <= 0)
            return steps;
        const std::uint64_t h = luck ^ mix((std::uint64_t(std::uint32_t(to.x)) << 32) ^ std::uint32_t(to.y) ^ (std::uint64_t(depth) << 58));
        return steps * (1.0 + strength.noise * (2.0 * unit(h) - 1.0));
    };
    // The least a target can still have to drive before its move is walked: the move may pass a
    // checkpoint or two on the way, so the nearest of those stages counts.
    const int lastStage = distances_.stages() - 1;
    const auto hopeful = [&](int passed, TrackPoint to) {
        std::uint32_t best = TrackDistances::Unreachable;
        for (int stage = passed; stage <= std::min(passed + 2, lastStage); ++stage)
            best = std::min(best, distances_.remaining(stage, to.x, to.y));
        return best;
    };

    std::vector<Candidate> beam{{position, previous, car.checkpointsPassed, position, 0}};
    std::optional<TrackPoint> bestFinish;
    // The work of this move is bounded: a look ahead cut short keeps what it found so far.
    const qint64 workStart = trials_.samplesWalked();
    const auto outOfWork = [&] { return trials_.samplesWalked() - workStart > strength.workBudget; };
    struct Pending {
        std::size_t parent;
        TrackPoint to;
        double hope;  // never more than the judgement once the move is walked
    };
    for (int depth = 1; depth <= strength.lookAhead && !beam.empty() && !bestFinish; ++depth) {
        std::unordered_set<SeenKey, SeenKeyHash> seen;
        std::vector<Pending> pending;
        double finishValue = std::numeric_limits<double>::infinity();
        for (std::size_t index = 0; index < beam.size(); ++index) {
            const Candidate& here = beam[index];
            const TrackPoint hereAim{2 * here.position.x - here.previous.x, 2 * here.position.y - here.previous.y};
            const std::uint32_t toGo = distances_.remaining(here.passed, here.position.x, here.position.y);
            for (const TrackPoint offset : offsets) {
                const TrackPoint to{hereAim.x + offset.x, hereAim.y + offset.y};
                if (!isAllowedPoint(state, here.position, hereAim, to) || moveLength(here.position, to) > fastest)
                    continue;
                // A move whose samples reach as far as the finish may cross it: only walking it tells.
                const qint64 samples = std::max(std::abs(qint64(to.x) - here.position.x), std::abs(qint64(to.y) - here.position.y));
                if (here.passed == lastStage && toGo != TrackDistances::Unreachable && samples >= toGo) {
                    const MoveTrialResult moved = trials_.tryMove(here.position, to, here.passed);
                    if (moved.finished && moved.fraction < finishValue) {
                        finishValue = moved.fraction;
                        bestFinish = depth == 1 ? to : here.first;
                    }
                    if (moved.finished || !moved.legal)
                        continue;
                }
                const std::uint32_t hope = hopeful(here.passed, to);
                if (hope == TrackDistances::Unreachable)
                    continue;
                pending.push_back({index, to, judged(hope, to, depth)});
            }
        }
        if (bestFinish)
            break;
        // The beam's best by their judgement, walking the most hopeful targets first and stopping
        // once no target left can be judged better than the beam already is.
        const auto moreHopeful = [](const Pending& a, const Pending& b) { return a.hope > b.hope; };
        std::make_heap(pending.begin(), pending.end(), moreHopeful);
        std::vector<Candidate> next;
        const auto worstKept = [&] {
            return std::max_element(next.begin(), next.end(), [](const Candidate& a, const Candidate& b) { return a.score < b.score; });
        };
        while (!pending.empty() && !outOfWork()) {
            std::pop_heap(pending.begin(), pending.end(), moreHopeful);
            const Pending target = pending.back();
            pending.pop_back();
            if (static_cast<int>(next.size()) >= strength.beamWidth && worstKept()->score <= target.hope)
                break;
            const Candidate& here = beam[target.parent];
            // The same position and velocity reached from another state of the beam leads on alike.
            if (!seen.insert(SeenKey{target.to, {target.to.x - here.position.x, target.to.y - here.position.y}, here.passed}).second)
                continue;
            const MoveTrialResult moved = trials_.tryMove(here.position, target.to, here.passed);
            if (!moved.legal || moved.finished)
                continue;
            const std::uint32_t remaining = distances_.remaining(moved.passed, target.to.x, target.to.y);
            if (remaining == TrackDistances::Unreachable || !trials_.canStop(target.to, here.position, moved.passed))
                continue;
            const Candidate reached{target.to, here.position, moved.passed, depth == 1 ? target.to : here.first,
                                    judged(remaining, target.to, depth)};
            if (static_cast<int>(next.size()) < strength.beamWidth)
                next.push_back(reached);
            else if (const auto worst = worstKept(); reached.score < worst->score)
                *worst = reached;
        }
        if (next.empty())
            break;
        std::sort(next.begin(), next.end(), [](const Candidate& a, const Candidate& b) { return a.score < b.score; });
        beam = std::move(next);
        if (outOfWork())
            break;
    }
    if (bestFinish)
        return *bestFinish;
    if (!(beam.size() == 1 && beam.front().first == position && beam.front().previous == previous))
        return beam.front().first;

    // Nothing ahead leads on to the finish (it cannot be reached, or every way is too fast): brake.
    // The legal move that leaves the car slowest, one from which it can still stop first; standing
    // still where the circle holds the car; at worst the slowest crash.
    std::optional<TrackPoint> slowest;
    double slowestSpeed = std::numeric_limits<double>::infinity();
    bool slowestCanStop = false;
    std::optional<TrackPoint> gentlestCrash;
    double gentlestSpeed = std::numeric_limits<double>::infinity();
    for (const TrackPoint offset : candidateOffsets(step, 1)) {
        const TrackPoint to{aim.x + offset.x, aim.y + offset.y};
        if (!isAllowedPoint(state, position, aim, to))
            continue;
        const MoveTrialResult moved = trials_.tryMove(position, to, car.checkpointsPassed);
        const double speed = moveLength(position, to);
        if (moved.legal) {
            const bool stops = moved.finished || trials_.canStop(to, position, moved.passed);
            if ((stops && !slowestCanStop) || (stops == slowestCanStop && speed < slowestSpeed)) {
                slowest = to;
                slowestSpeed = speed;
                slowestCanStop = stops;
            }
        } else if (moved.crashed && moved.crashSpeed < gentlestSpeed) {
            gentlestCrash = to;
            gentlestSpeed = moved.crashSpeed;
        }
    }
    if (slowest)
        return *slowest;
    if (gentlestCrash)
        return *gentlestCrash;
    return aim;
}
