#include "race/TrackDistances.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <utility>

namespace {

// The colours that matter to the way through the checkpoints: the barrier and every checkpoint's
// two colours. Every cell gets the number of the one it shows (0 for any other colour).
struct SpecialColours {
    std::vector<ColorValue> colours;                        // colour n - 1 has code n
    std::vector<std::pair<ColorValue, std::uint16_t>> byColour;  // sorted, for the look-up

    explicit SpecialColours(const RaceState& state)
    {
        add(state.crashColor);
        for (const CheckpointColors& checkpoint : state.checkpoints) {
            add(checkpoint.firstColor);
            add(checkpoint.secondColor);
        }
        for (std::size_t i = 0; i < colours.size(); ++i)
            byColour.emplace_back(colours[i], static_cast<std::uint16_t>(i + 1));
        std::sort(byColour.begin(), byColour.end());
    }
    void add(ColorValue colour)
    {
        if (std::find(colours.begin(), colours.end(), colour) == colours.end())
            colours.push_back(colour);
    }
    std::uint16_t codeOf(ColorValue colour) const
    {
        const auto it = std::lower_bound(byColour.begin(), byColour.end(), std::make_pair(colour, std::uint16_t(0)));
        return it != byColour.end() && it->first == colour ? it->second : 0;
    }
};

// For one stage of the way, which codes are walls and which are where the stage's distances begin.
struct StageRule {
    std::vector<char> wall;
    std::vector<char> seed;
};

// Heading for checkpoint k's entry (k passed before it): a wall is the barrier, another
// checkpoint's entry colour, and k's exit colour; the way begins on k's entry colour.
// Crossing checkpoint k after its entry: a wall is the barrier and another checkpoint's entry; the
// way begins on k's exit colour.
StageRule ruleFor(const RaceState& state, const SpecialColours& special, int k, bool crossing)
{
    StageRule rule;
    rule.wall.assign(special.colours.size() + 1, 0);
    rule.seed.assign(special.colours.size() + 1, 0);
    const CheckpointColors& target = state.checkpoints[static_cast<std::size_t>(k)];
    for (std::size_t i = 0; i < special.colours.size(); ++i) {
        const ColorValue colour = special.colours[i];
        bool wall = colour == state.crashColor;
        for (int j = 0; j < state.checkpointCount && !wall; ++j)
            wall = j != k && colour == state.checkpoints[static_cast<std::size_t>(j)].firstColor;
        if (!crossing && colour == target.secondColor && colour != target.firstColor)
            wall = true;
        rule.wall[i + 1] = wall;
        rule.seed[i + 1] = !wall && colour == (crossing ? target.secondColor : target.firstColor);
    }
    return rule;
}

}  // namespace

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
    // (a band is thinner than a cell), else the barrier when the cell is nothing else.
    const SpecialColours special(state);
    const std::uint16_t barrierCode = special.codeOf(state.crashColor);
    std::vector<std::uint16_t> code(cells, 0);
    for (qint32 cy = 0; cy < rows_; ++cy) {
        for (qint32 cx = 0; cx < columns_; ++cx) {
            std::uint16_t found = 0;
            bool allBarrier = true;
            for (qint64 y = qint64(cy) * cell_; y < std::min<qint64>(height, qint64(cy + 1) * cell_); ++y) {
                for (qint64 x = qint64(cx) * cell_; x < std::min<qint64>(width, qint64(cx + 1) * cell_); ++x) {
                    const std::uint16_t pixel = special.codeOf(state.trackRaster.colorAt(x, y));
                    allBarrier = allBarrier && pixel == barrierCode;
                    if (pixel != 0 && pixel != barrierCode && found == 0)
                        found = pixel;
                }
            }
            code[static_cast<std::size_t>(cy) * columns_ + cx] = found != 0 ? found : (allBarrier ? barrierCode : 0);
        }
    }

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
        spread(ruleFor(state, special, k, true), k + 1 < stageCount ? legs_[static_cast<std::size_t>(k + 1)] : none, crossing);
        spread(ruleFor(state, special, k, false), crossing, legs_[static_cast<std::size_t>(k)]);
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
    if (steps == TrackDistances::Unreachable)
        return std::numeric_limits<double>::infinity();
    if (steps == 0 || state.stepLength < 1)
        return 0;
    // A committed point is the pointer rounded to whole units: up to half a diagonal beyond the
    // circle, and beyond the speed limit.
    const double slack = std::numbers::sqrt2 / 2;
    const double accelerate = state.stepLength + slack;
    const double longest = state.speedLimit > 0 ? std::floor(state.speedLimit + slack) : std::numeric_limits<double>::infinity();
    double covered = 0;  // the most steps the moves so far can have taken
    for (qint64 n = 1;; ++n) {
        const double reach = std::min(std::floor(static_cast<double>(n) * accelerate), longest);
        if (covered + reach >= steps) {
            // The last move crosses the finish at its fraction: the steps still left of its length.
            // The game keeps the fraction as a 32-bit float; the margin covers its rounding.
            return static_cast<double>(n - 1) + (steps - covered) / reach - 1e-6;
        }
        covered += reach;
    }
}
