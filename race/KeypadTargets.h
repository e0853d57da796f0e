#pragma once

#include "race/RaceState.h"

#include <QPointF>

#include <optional>

// The characteristic points of the current player's circle that the numeric keypad aims at.
enum class KeypadTarget {
    InertiaPoint,  // 5: the centre of the circle
    Farthest,      // 8: the far end of the circle along the last move (or the speed limit)
    Nearest,       // 2: the near end of the circle along the last move
    TouchLeft,     // 4: where a line from the car touches the circle, left of the direction of travel
    TouchRight,    // 6: the same on the right
};

// The point in track units, unrounded; nothing where its geometry is undefined: the far and near
// ends of a car standing still, the touching points of a circle that holds the car (the last move
// not longer than the step length).
std::optional<QPointF> keypadTargetPoint(const RaceState& state, KeypadTarget target);
