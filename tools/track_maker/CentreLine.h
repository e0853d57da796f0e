#pragma once

#include "tools/track_maker/TrackDesign.h"

#include <QPointF>

#include <vector>

// The middle of the road: a centripetal Catmull-Rom curve through the control points, closed into
// a loop or open at both ends, measured by its length. Every place on it is given by its arc
// length s from the first control point; on a loop s wraps around.
//
// Only arithmetic and square roots go into the curve, so the same control points give the same
// numbers, and the same track files, on every machine.
class CentreLine {
public:
    CentreLine(const std::vector<ControlPoint>& points, double defaultWidth, bool closed);

    bool closed() const { return closed_; }
    double length() const { return samples_.back().arc; }

    // s brought into 0 ... length: wrapped on a loop, clamped on an open road.
    double wrap(double s) const;
    // How far ahead b lies from a along the direction of travel (on a loop, 0 ... length).
    double ahead(double a, double b) const;

    double arcOf(const TrackPosition& position) const;

    QPointF pointAt(double s) const;
    QPointF tangentAt(double s) const;  // unit vector in the direction of travel
    QPointF leftAt(double s) const;     // unit vector to the driver's left
    double widthAt(double s) const;
    // The road's left (side +1) or right (side -1) edge, moved by inset towards the middle
    // (a negative inset moves it out into the grass).
    QPointF edgeAt(double s, int side, double inset = 0) const;
    // Signed curvature: positive where the road turns right (clockwise on the screen).
    double curvatureAt(double s) const;

private:
    struct Sample {
        QPointF point;
        QPointF tangent;
        double width = 0;
        double arc = 0;
    };
    // The sample pair around s and how far s lies between them.
    std::pair<size_t, double> locate(double s) const;

    bool closed_ = true;
    std::vector<Sample> samples_;  // on a loop the last sample repeats the first at arc = length
    std::vector<double> knotArcs_;
};
