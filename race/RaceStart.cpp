#include "race/RaceStart.h"

#include "race/StartPositions.h"

void StartRace(RaceState& state, const std::array<PlayerEntry, PlayerSlots>& entries, quint64 seed)
{
    state.raceSeed = seed;
    for (int number = 1; number <= PlayerSlots; ++number) {
        const PlayerEntry& entry = entries[static_cast<size_t>(number - 1)];
        PlayerRecord& player = state.player(number);
        player.name = entry.name;
        player.color = entry.color;
        player.driver = entry.driver;
        if (entry.takesPart) {
            player.state = PlayerState::ChoosingStart;
            ++state.playersRacing;
        }
    }
    for (int number = PlayerSlots; number >= 1; --number)
        if (state.player(number).state == PlayerState::ChoosingStart)
            state.currentPlayer = static_cast<quint8>(number);
    LayOutStartPositions(state);
}
