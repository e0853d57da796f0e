#pragma once

#include <QImage>
#include <QString>

struct RaceState;

// The pictures of the help document, drawn here. They need a QGuiApplication for their fonts.

// The circle of allowed moves on squared paper: the car's last move, the inertia point, the step
// length, the farthest and nearest points and the two touching points with the keypad keys that
// put the pointer on them, and one move chosen inside the circle.
QImage drawMoveCircle();

// A loaded track's picture scaled to the given width with its record ride drawn over it in the
// record's colour, one dot on every position. Without a record only the track is drawn.
QImage drawTrackWithRide(const RaceState& state, int width);
