#pragma once

#include "race/RaceState.h"

class GameWindow;

// Prepares the current player's turn: the inertia point, the drawn circle of allowed targets, the
// collision window, and, when the circle lies wholly off the track picture, the forced move at
// minimum speed (made at once, through the same path as a click).
void PrepareTurn(RaceState& state, GameWindow& window);

// Draws the outline of the current player's allowed targets in his colour.
void DrawAllowedArea(const RaceState& state, GameWindow& window);
