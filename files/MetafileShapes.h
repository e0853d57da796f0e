#pragma once

#include "files/MetafileDeviceMap.h"

#include <QPainterPath>
#include <QPointF>
#include <QRectF>

#include <optional>

// The device outlines of the shapes drawn inside a bounding box: rectangle, rounded rectangle,
// ellipse, arc, pie and chord. As the system draws them, the box covers the device pixels from its
// left and top edges up to, not including, its right and bottom edges: the fill path covers
// exactly those pixels, and the one-pixel pen runs along the outermost of them.
enum class MetafileBoxShape { Rectangle, RoundRect, Ellipse, Arc, Pie, Chord };

struct MetafileShapeGeometry {
    MetafileBoxShape shape = MetafileBoxShape::Rectangle;
    QRectF box;          // logical corners: left, top, right, bottom as given (any order)
    QSizeF corner;       // the rounded rectangle's corner ellipse, logical
    QPointF arcStart;    // arc, pie and chord: the radials' end points, logical
    QPointF arcEnd;
};

struct MetafileShapePaths {
    QPainterPath fill;     // empty for an arc
    QPainterPath outline;
};

// Nothing for a box without area. The arc runs counter-clockwise on the device from the start radial
// to the end radial; equal radials make a whole ellipse.
std::optional<MetafileShapePaths> metafileShapePaths(const MetafileDeviceMap& map, const MetafileShapeGeometry& geometry);
