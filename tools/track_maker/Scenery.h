#pragma once

#include "tools/track_maker/TrackDesign.h"
#include "tools/track_maker/TrackScene.h"

#include <QPointF>
#include <QRectF>
#include <QStringList>

#include <functional>
#include <vector>

// The ground a decoration covers: a circle, a rectangle with a margin around it, or an ellipse.
struct Footprint {
    QPointF centre;
    double radius = 0;  // a circle, or with a non-empty rect, a margin around it
    QRectF rect;
    double radiusX = 0;  // an ellipse around centre when set
    double radiusY = 0;

    // From p to the footprint's outline; negative inside it.
    double distanceTo(QPointF p) const;
};

// The least distance from a footprint to the road's corridor: the outer side of its barrier.
using CorridorClearance = std::function<double(const Footprint&)>;

// The decorations of a track: lakes, grandstands, trees and forests, labels, appended to shapes
// in drawing order. Decorations are neither barrier nor road: each one stays in the grass outside
// the barrier and inside the picture, and a forest's trees keep off the other decorations.
// problems names every decoration that breaks this.
void drawScenery(const TrackDesign& design, const CorridorClearance& clearance, std::vector<Shape>& shapes,
                 QStringList& problems);
