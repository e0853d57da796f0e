#pragma once

class GameWindow;
struct RaceState;

// Puts the race back to "no race": every slot empty, zoom 100 %, the logo in place of the track.
// Names and colours of the slots stay, so the next race offers them again.
void ResetRace(RaceState& state, GameWindow& window);
