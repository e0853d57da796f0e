#pragma once

#include "race/RaceState.h"

#include <QPointF>
#include <QtGlobal>

// Whole numbers made from fractional ones, and the tests of where a car may go.

// value made whole in the direction of anchor: the largest integer not above value when value is
// above anchor, otherwise the smallest integer not below it.
qint32 RoundTowards(qint32 anchor, float value);
// The same for the exact fraction numerator / denominator (denominator > 0).
qint32 RoundTowards(qint32 anchor, qint64 numerator, qint64 denominator);

// Rounds to the nearest integer, ties to the even one.
qint32 roundHalfEven(double value);

// Whether the point (track units) lies off the track: x outside 0 ... trackWidth - 1 or y outside
// 0 ... trackHeight - 1.
bool IsOutsideTrackPicture(const RaceState& state, qint32 x, qint32 y);

// Whether the point (x, y) in view units is a target the current player may choose: within
// stepLength of the inertia point and, on a track with a speed limit, within speedLimit of the
// car. Points exactly on either circle are allowed.
bool IsAllowedTarget(const RaceState& state, float x, float y);

// The outline of the current player's allowed targets, in view units: the whole circle of radius
// stepLength around the inertia point, or, where the speed-limit circle cuts it, two arcs bounding
// the lens where both discs overlap. Angles are in radians, counter-clockwise as seen on the
// screen (y grows downwards), from the positive x direction; an arc runs counter-clockwise from
// its start angle to its end angle.
struct OutlineArc {
    QPointF centre;
    double radius = 0;
    double startAngle = 0;
    double endAngle = 0;
};

struct AllowedAreaOutline {
    bool wholeCircle = true;
    OutlineArc circle;      // when wholeCircle: the whole circle (angles 0 and 2π)
    OutlineArc limitArc;    // otherwise: the arc of the speed-limit circle
    OutlineArc moveArc;     // and the arc of the circle of allowed moves
};

AllowedAreaOutline allowedAreaOutline(const RaceState& state);
