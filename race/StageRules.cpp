#include "race/StageRules.h"

#include <algorithm>

SpecialColours::SpecialColours(const RaceState& state)
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

void SpecialColours::add(ColorValue colour)
{
    if (std::find(colours.begin(), colours.end(), colour) == colours.end())
        colours.push_back(colour);
}

std::uint16_t SpecialColours::codeOf(ColorValue colour) const
{
    const auto it = std::lower_bound(byColour.begin(), byColour.end(), std::make_pair(colour, std::uint16_t(0)));
    return it != byColour.end() && it->first == colour ? it->second : 0;
}

StageRule stageRuleFor(const RaceState& state, const SpecialColours& special, int k, bool crossing)
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
