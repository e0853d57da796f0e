#pragma once

#include "race/RaceState.h"

#include <cstdint>
#include <utility>
#include <vector>

// The colours that matter to the way through the checkpoints, and which of them a ride that goes on
// to the finish may touch at each stage of that way. Shared by the measures of the way still to
// drive (TrackDistances, RideGuide).

// The barrier and every checkpoint's two colours, each with a code: colour n - 1 has code n, any
// other colour code 0.
struct SpecialColours {
    std::vector<ColorValue> colours;
    std::vector<std::pair<ColorValue, std::uint16_t>> byColour;  // sorted, for the look-up

    explicit SpecialColours(const RaceState& state);
    std::uint16_t codeOf(ColorValue colour) const;

private:
    void add(ColorValue colour);
};

// For one stage of the way, which codes are walls and which are where the stage's way begins.
struct StageRule {
    std::vector<char> wall;
    std::vector<char> seed;
};

// Heading for checkpoint k's entry (k passed before it): a wall is the barrier, another
// checkpoint's entry colour, and k's exit colour; the way begins on k's entry colour.
// Crossing checkpoint k after its entry: a wall is the barrier and another checkpoint's entry; the
// way begins on k's exit colour.
StageRule stageRuleFor(const RaceState& state, const SpecialColours& special, int k, bool crossing);
