#pragma once

#include "race/RaceState.h"

class GameWindow;

// Makes the current player's move to the point (x, y) in view units, as a click on the track view
// does: the move is tested, recorded as trajectory segments, the turn passed on and, while the
// race runs, the next turn prepared. Nothing happens for a point outside the allowed area, before
// the race runs, or when the player withdraws the move.
void CommitMove(RaceState& state, GameWindow& window, float x, float y);

// The same move to a whole point in track units, as the computer drivers choose them: committed
// when it lies in the circle of allowed moves and within the speed limit.
void CommitMoveTo(RaceState& state, GameWindow& window, TrackPoint target);

// The current player takes start position index (1 ... startCount): his car stands at the middle
// of the start marker. When the last player has chosen, the race runs.
void ChooseStartPosition(RaceState& state, GameWindow& window, int index);

// The size of a start marker, in track units.
inline constexpr int StartMarkerSize = 10;
