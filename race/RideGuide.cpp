#include "race/RideGuide.h"

#include "race/StageRules.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <queue>
#include <utility>

namespace {

struct Jump {
    int dx;
    int dy;
    float length;
};

// The eight neighbours and the eight knight's jumps.
std::vector<Jump> jumps()
{
    std::vector<Jump> all;
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
            const int ax = std::abs(dx), ay = std::abs(dy);
            const bool neighbour = ax <= 1 && ay <= 1 && (ax | ay) != 0;
            const bool knight = (ax == 2 && ay == 1) || (ax == 1 && ay == 2);
            if (neighbour || knight)
                all.push_back({dx, dy, static_cast<float>(std::hypot(dx, dy))});
        }
    }
    return all;
}

}  // namespace

RideGuide::RideGuide(const RaceState& state)
{
    const qint64 width = state.trackWidth, height = state.trackHeight;
    const int stageCount = state.checkpointCount;
    if (width < 1 || height < 1 || stageCount < 1 || state.trackRaster.isNull()
        || static_cast<int>(state.checkpoints.size()) < stageCount || width * height * stageCount > MaxGuideCells)
        return;
    width_ = static_cast<qint32>(width);
    height_ = static_cast<qint32>(height);
    const std::size_t cells = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);

    const SpecialColours special(state);
    std::vector<std::uint16_t> code(cells);
    for (qint32 y = 0; y < height_; ++y)
        for (qint32 x = 0; x < width_; ++x)
            code[static_cast<std::size_t>(y) * width_ + x] = special.codeOf(state.trackRaster.colorAt(x, y));

    const std::vector<Jump> moves = jumps();
    // Dijkstra's way from every seed pixel, which starts with the onward length of the next stage.
    const auto spread = [&](const StageRule& rule, const std::vector<float>* onward, std::vector<float>& out) {
        out.assign(cells, Unreachable);
        using Entry = std::pair<float, std::uint32_t>;
        std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> queue;
        for (std::size_t i = 0; i < cells; ++i) {
            if (!rule.seed[code[i]])
                continue;
            const float start = onward ? (*onward)[i] : 0.0f;
            if (start != Unreachable) {
                out[i] = start;
                queue.emplace(start, static_cast<std::uint32_t>(i));
            }
        }
        const auto free = [&](qint32 x, qint32 y) { return !rule.wall[code[static_cast<std::size_t>(y) * width_ + x]]; };
        while (!queue.empty()) {
            const auto [length, i] = queue.top();
            queue.pop();
            if (length > out[i])
                continue;
            const qint32 x = static_cast<qint32>(i % static_cast<std::uint32_t>(width_));
            const qint32 y = static_cast<qint32>(i / static_cast<std::uint32_t>(width_));
            for (const Jump& jump : moves) {
                const qint32 nx = x + jump.dx, ny = y + jump.dy;
                if (nx < 0 || ny < 0 || nx >= width_ || ny >= height_ || !free(nx, ny))
                    continue;
                if (std::abs(jump.dx) == 2 || std::abs(jump.dy) == 2) {
                    const int sx = (jump.dx > 0) - (jump.dx < 0), sy = (jump.dy > 0) - (jump.dy < 0);
                    // The two pixels between: one straight step and one diagonal step from (x, y).
                    const bool alongX = std::abs(jump.dx) == 2;
                    if (!free(alongX ? x + sx : x, alongX ? y : y + sy) || !free(x + sx, y + sy))
                        continue;
                }
                const std::size_t n = static_cast<std::size_t>(ny) * width_ + nx;
                const float next = length + jump.length;
                if (next < out[n]) {
                    out[n] = next;
                    queue.emplace(next, static_cast<std::uint32_t>(n));
                }
            }
        }
    };

    legs_.resize(static_cast<std::size_t>(stageCount));
    std::vector<float> crossing;
    for (int k = stageCount - 1; k >= 0; --k) {
        spread(stageRuleFor(state, special, k, true), k + 1 < stageCount ? &legs_[static_cast<std::size_t>(k + 1)] : nullptr,
               crossing);
        spread(stageRuleFor(state, special, k, false), &crossing, legs_[static_cast<std::size_t>(k)]);
    }
}

float RideGuide::remaining(int passed, qint32 x, qint32 y) const
{
    if (passed < 0 || passed >= static_cast<int>(legs_.size()) || x < 0 || y < 0 || x >= width_ || y >= height_)
        return Unreachable;
    return legs_[static_cast<std::size_t>(passed)][static_cast<std::size_t>(y) * width_ + x];
}
