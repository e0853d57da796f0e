#include "race/TrackDistances.h"

#include "race/StageRules.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <utility>

TrackDistances::TrackDistances(const RaceState& state)
{
    const qint64 width = state.trackWidth, height = state.trackHeight;
    const int stageCount = state.checkpointCount;
    if (width < 1 || height < 1 || stageCount < 1 || state.trackRaster.isNull()
        || static_cast<int>(state.checkpoints.size()) < stageCount)
        return;
    // Cells as small as the budget of all stages allows.
    while (((width + cell_ - 1) / cell_) * ((height + cell_ - 1) / cell_) * stageCount > MaxDistanceCells)
        ++cell_;
    columns_ = static_cast<qint32>((width + cell_ - 1) / cell_);
    rows_ = static_cast<qint32>((height + cell_ - 1) / cell_);
    const std::size_t cells = static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_);

    // Every cell's code: a pixel's own colour; for a larger cell a checkpoint colour found in it
    // (a band is thinner than a cell), else the barrier when the cell is nothing else. A cell that
    // shows both colours of one checkpoint gets a code of its own for the pair, past the colours'
    // codes: with one of them only, a band thinner than a cell could vanish from the way.
    const SpecialColours special(state);
    const std::uint16_t barrierCode = special.codeOf(state.crashColor);
    const std::size_t pairBase = special.colours.size() + 1;
    std::vector<std::uint16_t> entryCode, exitCode;
    for (int k = 0; k < stageCount; ++k) {
        entryCode.push_back(special.codeOf(state.checkpoints[static_cast<std::size_t>(k)].firstColor));
        exitCode.push_back(special.codeOf(state.checkpoints[static_cast<std::size_t>(k)].secondColor));
    }
    std::vector<std::uint16_t> code(cells, 0);
    std::vector<std::uint16_t> inCell;
    for (qint32 cy = 0; cy < rows_; ++cy) {
        for (qint32 cx = 0; cx < columns_; ++cx) {
            std::uint16_t found = 0;
            bool allBarrier = true;
            inCell.clear();
            for (qint64 y = qint64(cy) * cell_; y < std::min<qint64>(height, qint64(cy + 1) * cell_); ++y) {
                for (qint64 x = qint64(cx) * cell_; x < std::min<qint64>(width, qint64(cx + 1) * cell_); ++x) {
                    const std::uint16_t pixel = special.codeOf(state.trackRaster.colorAt(x, y));
                    allBarrier = allBarrier && pixel == barrierCode;
                    if (pixel == 0 || pixel == barrierCode)
                        continue;
                    if (found == 0)
                        found = pixel;
                    if (cell_ > 1 && std::find(inCell.begin(), inCell.end(), pixel) == inCell.end())
                        inCell.push_back(pixel);
                }
            }
            std::uint16_t cellCode = found != 0 ? found : (allBarrier ? barrierCode : 0);
            if (inCell.size() > 1) {
                const auto shows = [&](std::uint16_t c) { return std::find(inCell.begin(), inCell.end(), c) != inCell.end(); };
                for (int k = 0; k < stageCount; ++k) {
                    if (entryCode[static_cast<std::size_t>(k)] != exitCode[static_cast<std::size_t>(k)]
                        && shows(entryCode[static_cast<std::size_t>(k)]) && shows(exitCode[static_cast<std::size_t>(k)])) {
                        cellCode = static_cast<std::uint16_t>(pairBase + static_cast<std::size_t>(k));
                        break;
                    }
                }
            }
            code[static_cast<std::size_t>(cy) * columns_ + cx] = cellCode;
        }
    }
    // The rules of a stage for the pair codes too: a pair is where the stage's way begins when
    // either of its colours is, and a wall only when both are (a car in the cell may stand on
    // either band).
    const auto withPairs = [&](StageRule rule) {
        for (int k = 0; k < stageCount; ++k) {
            const std::uint16_t entry = entryCode[static_cast<std::size_t>(k)], exit = exitCode[static_cast<std::size_t>(k)];
            const bool seed = rule.seed[entry] || rule.seed[exit];
            rule.seed.push_back(seed);
            rule.wall.push_back(!seed && rule.wall[entry] && rule.wall[exit]);
        }
        return rule;
    };

    // One stage after the other from the finish backwards: the way across the last checkpoint, then
    // to its entry, then across the one before and so on; each begins where the next one's way is
    // known, with that distance.
    const auto spread = [&](const StageRule& rule, const std::vector<std::uint32_t>& onward, std::vector<std::uint32_t>& out) {
        out.assign(cells, Unreachable);
        std::vector<std::pair<std::uint32_t, std::uint32_t>> seeds;  // (distance, cell)
        for (std::size_t i = 0; i < cells; ++i) {
            if (!rule.seed[code[i]])
                continue;
            const std::uint32_t start = onward.empty() ? 0 : onward[i];
            if (start != Unreachable)
                seeds.emplace_back(start, static_cast<std::uint32_t>(i));
        }
        std::sort(seeds.begin(), seeds.end());
        std::vector<std::uint32_t> current, next;
        std::size_t s = 0;
        std::uint32_t d = 0;
        while (s < seeds.size() || !current.empty()) {
            if (current.empty())
                d = seeds[s].first;
            for (; s < seeds.size() && seeds[s].first == d; ++s) {
                if (out[seeds[s].second] > d) {
                    out[seeds[s].second] = d;
                    current.push_back(seeds[s].second);
                }
            }
            next.clear();
            for (std::uint32_t i : current) {
                if (out[i] != d)
                    continue;
                const qint32 x = static_cast<qint32>(i % static_cast<std::uint32_t>(columns_));
                const qint32 y = static_cast<qint32>(i / static_cast<std::uint32_t>(columns_));
                for (qint32 ny = std::max(0, y - 1); ny <= std::min(rows_ - 1, y + 1); ++ny) {
                    for (qint32 nx = std::max(0, x - 1); nx <= std::min(columns_ - 1, x + 1); ++nx) {
                        const std::size_t n = static_cast<std::size_t>(ny) * columns_ + nx;
                        if (rule.wall[code[n]] || out[n] <= d + 1)
                            continue;
                        out[n] = d + 1;
                        next.push_back(static_cast<std::uint32_t>(n));
                    }
                }
            }
            current.swap(next);
            ++d;
        }
    };

    legs_.resize(static_cast<std::size_t>(stageCount));
    std::vector<std::uint32_t> crossing;
    for (int k = stageCount - 1; k >= 0; --k) {
        const std::vector<std::uint32_t> none;
        spread(withPairs(stageRuleFor(state, special, k, true)), k + 1 < stageCount ? legs_[static_cast<std::size_t>(k + 1)] : none,
               crossing);
        spread(withPairs(stageRuleFor(state, special, k, false)), crossing, legs_[static_cast<std::size_t>(k)]);
    }
}

std::uint32_t TrackDistances::remaining(int passed, qint32 x, qint32 y) const
{
    if (passed < 0 || passed >= stages() || x < 0 || y < 0)
        return Unreachable;
    const qint32 cx = x / cell_, cy = y / cell_;
    if (cx >= columns_ || cy >= rows_)
        return Unreachable;
    return legs_[static_cast<std::size_t>(passed)][static_cast<std::size_t>(cy) * columns_ + cx];
}

double movesLowerBound(const RaceState& state, std::uint32_t steps)
{
    return movesLowerBound(state, steps, 0);
}

double movesLowerBound(const RaceState& state, std::uint32_t steps, double speed)
{
    if (steps == TrackDistances::Unreachable)
        return std::numeric_limits<double>::infinity();
    if (steps == 0 || state.stepLength < 1)
        return 0;
    // A committed point is the pointer rounded to whole units: up to half a diagonal beyond the
    // circle, and beyond the speed limit.
    const double slack = std::numbers::sqrt2 / 2;
    const double accelerate = state.stepLength + slack;
    const double longest = state.speedLimit > 0 ? std::floor(state.speedLimit + slack) : std::numeric_limits<double>::infinity();
    const double lastMove = std::isfinite(speed) && speed > 0 ? speed : 0;
    double covered = 0;  // the most steps the moves so far can have taken
    for (qint64 n = 1;; ++n) {
        // A move takes as many steps as its longer axis is long: a whole number, never more than its length.
        const double reach = std::min(std::floor(lastMove + static_cast<double>(n) * accelerate), longest);
        if (covered + reach >= steps) {
            // The last move crosses the finish at its fraction: the steps still left of its length.
            // The game keeps the fraction as a 32-bit float; the margin covers its rounding.
            return std::max(0.0, static_cast<double>(n - 1) + (steps - covered) / reach - 1e-6);
        }
        covered += reach;
    }
}

std::uint32_t straightLineSteps(const RaceState& state, TrackPoint start)
{
    const qint64 width = state.trackWidth, height = state.trackHeight;
    const int count = state.checkpointCount;
    if (width < 1 || height < 1 || count < 1 || state.trackRaster.isNull() || static_cast<int>(state.checkpoints.size()) < count)
        return 0;
    const qint64 hops = 2LL * count;  // to every entry band and every exit band
    qint64 cell = 1;
    const auto cellCount = [&](qint64 side) { return ((width + side - 1) / side) * ((height + side - 1) / side); };
    while (cellCount(cell) > MaxBandCells || cellCount(cell) * hops > MaxBandCellHops)
        ++cell;
    const qint64 columns = (width + cell - 1) / cell, rows = (height + cell - 1) / cell;
    const std::size_t cells = static_cast<std::size_t>(columns * rows);

    // Which cells show each band: band 2k is checkpoint k's entry colour, band 2k + 1 its exit colour.
    std::vector<std::vector<bool>> band(static_cast<std::size_t>(hops), std::vector<bool>(cells, false));
    std::vector<std::pair<ColorValue, int>> bandOf;
    for (int k = 0; k < count; ++k) {
        bandOf.emplace_back(state.checkpoints[static_cast<std::size_t>(k)].firstColor, 2 * k);
        bandOf.emplace_back(state.checkpoints[static_cast<std::size_t>(k)].secondColor, 2 * k + 1);
    }
    std::sort(bandOf.begin(), bandOf.end());
    for (qint64 y = 0; y < height; ++y) {
        for (qint64 x = 0; x < width; ++x) {
            const ColorValue colour = state.trackRaster.colorAt(x, y);
            auto it = std::lower_bound(bandOf.begin(), bandOf.end(), std::make_pair(colour, -1));
            for (; it != bandOf.end() && it->first == colour; ++it)
                band[static_cast<std::size_t>(it->second)][static_cast<std::size_t>((y / cell) * columns + x / cell)] = true;
        }
    }

    // Band by band, the fewest cell steps (eight neighbours, no walls: the chessboard distance)
    // from the start through every band so far to each cell of the next one.
    constexpr std::uint32_t none = TrackDistances::Unreachable;
    std::vector<std::uint32_t> reached(cells, none), next(cells, none);
    if (start.x < 0 || start.y < 0 || start.x >= width || start.y >= height)
        return 0;
    reached[static_cast<std::size_t>((start.y / cell) * columns + start.x / cell)] = 0;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> seeds;
    std::vector<std::uint32_t> current, following;
    for (qint64 b = 0; b < hops; ++b) {
        seeds.clear();
        for (std::size_t i = 0; i < cells; ++i)
            if (reached[i] != none)
                seeds.emplace_back(reached[i], static_cast<std::uint32_t>(i));
        std::sort(seeds.begin(), seeds.end());
        std::fill(next.begin(), next.end(), none);
        std::size_t s = 0;
        std::uint32_t d = 0;
        current.clear();
        while (s < seeds.size() || !current.empty()) {
            if (current.empty())
                d = seeds[s].first;
            for (; s < seeds.size() && seeds[s].first == d; ++s) {
                if (next[seeds[s].second] > d) {
                    next[seeds[s].second] = d;
                    current.push_back(seeds[s].second);
                }
            }
            following.clear();
            for (const std::uint32_t i : current) {
                if (next[i] != d)
                    continue;
                const qint64 x = i % columns, y = i / columns;
                for (qint64 ny = std::max<qint64>(0, y - 1); ny <= std::min(rows - 1, y + 1); ++ny) {
                    for (qint64 nx = std::max<qint64>(0, x - 1); nx <= std::min(columns - 1, x + 1); ++nx) {
                        const std::size_t n = static_cast<std::size_t>(ny * columns + nx);
                        if (next[n] <= d + 1)
                            continue;
                        next[n] = d + 1;
                        following.push_back(static_cast<std::uint32_t>(n));
                    }
                }
            }
            current.swap(following);
            ++d;
        }
        const std::vector<bool>& cellsOfBand = band[static_cast<std::size_t>(b)];
        for (std::size_t i = 0; i < cells; ++i)
            reached[i] = cellsOfBand[i] ? next[i] : none;
    }
    std::uint32_t fewest = none;
    for (const std::uint32_t d : reached)
        fewest = std::min(fewest, d);
    if (fewest == none)
        return TrackDistances::Unreachable;
    // Two pixels whose cells lie d cells apart lie more than (d - 1) cells apart themselves.
    if (cell == 1)
        return fewest;
    const qint64 steps = (static_cast<qint64>(fewest) - hops) * cell;
    return static_cast<std::uint32_t>(std::clamp<qint64>(steps, 0, none - 1));
}
