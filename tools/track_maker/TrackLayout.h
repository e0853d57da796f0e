#pragma once

#include "tools/track_maker/CentreLine.h"
#include "tools/track_maker/TrackDesign.h"
#include "tools/track_maker/TrackScene.h"

#include <QPoint>
#include <QStringList>

#include <vector>

// The width of each checkpoint band along the road: wide enough that no move, however slanted,
// passes between its pixels (a move's samples are at most one pixel apart in either direction).
inline constexpr double CheckpointBandWidth = 8;
// The thickness of the barrier; like the bands, no move slips through it.
inline constexpr double BarrierWidth = 5;

// Everything the track maker works out from a design: the picture, the start line with the start
// positions as the game lays them out, and where along the centre line the checkpoints lie.
struct TrackLayout {
    TrackDesign design;
    CentreLine line;
    TrackScene scene;
    double startArc = 0;
    std::vector<double> checkpointArcs;  // where each checkpoint's entry band begins
    QPoint startA;
    QPoint startB;
    std::vector<QPoint> startPoints;  // the centres of the start markers, the first one nearest B

    // From the middle of the road to the inner side of the barrier at arc s: how far a car may
    // stray to either side.
    double drivableHalfWidth(double s) const { return line.widthAt(s) / 2 + design.runOff; }
};

// Lays the track out. problems lists every rule that keeps the track fair and drivable and that
// the design breaks, with where on the track; a track with problems is not to be used.
TrackLayout layOutTrack(const TrackDesign& design, QStringList& problems);
