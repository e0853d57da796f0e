#pragma once

#include "race/RaceState.h"

class GameWindow;

// What a chosen move turns out to be.
enum class MoveOutcome : quint8 {
    Withdrawn = 0,     // the player took the move back after a warning
    Crashed = 1,       // the car ran off the track; its resting place is in aimX, aimY
    OutOfOrder = 3,    // the car passed a wrong checkpoint and is disqualified
    CrossedFinish = 4, // the car finished
    OrdinaryMove = 255,
};

// Walks the current player's move to the chosen point — (offsetX, offsetY) from the inertia point,
// in track units — over the track picture and decides what it is, asking the player where a
// crash or a wrong checkpoint needs his word. Keeps the player's highest speed.
MoveOutcome TestMoveSegment(RaceState& state, GameWindow& window, qint32 offsetX, qint32 offsetY);

// Whether the straight way from the car to the chosen point ((dx, dy) from the inertia point)
// meets no barrier colour, the end point itself not looked at. Changes nothing.
bool PathIsClear(const RaceState& state, qint32 dx, qint32 dy);
