#pragma once

#include "race/RaceState.h"

#include <QPointF>

// One line object of the track view: a trajectory segment in view units, painted over the picture.
struct TrajectoryLine {
    QPointF from;
    QPointF to;
    ColorValue color = 0;
    int width = 1;
    bool visible = false;
};
