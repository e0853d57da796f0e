#pragma once

#include "race/RaceState.h"

#include <array>

// One player row of the new race dialog, as the race start takes it.
struct PlayerEntry {
    QString name;
    ColorValue color = 0;
    bool takesPart = false;
    DriverKind driver = DriverKind::Person;
};

// Starts a race on the loaded track (the race was reset before): every slot takes its row's name
// and colour; the slots taking part choose their start next (PlayerState::ChoosingStart) and are counted in
// playersRacing; the turn goes to the lowest of them; the start positions are laid out along the
// start line. The seed decides every choice the computer drivers make in this race.
void StartRace(RaceState& state, const std::array<PlayerEntry, PlayerSlots>& entries, quint64 seed = 0);
