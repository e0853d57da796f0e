#pragma once

#include "race/ColorValue.h"

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QString>
#include <QVector>

#include <cmath>
#include <utility>
#include <vector>

// One shape of the track picture in whole track units, drawn in one exact colour: the metafile
// and the preview draw the very same list.
struct Shape {
    enum class Kind { Polygon, Ellipse, Text };
    // What the shape is to the race: only the barrier may carry the crash colour and only the
    // checkpoint bands their colours; everything else is scenery a car drives over.
    enum class Role { Scenery, Barrier, Checkpoint };
    Kind kind = Kind::Polygon;
    Role role = Role::Scenery;
    ColorValue color = 0;
    QVector<QPoint> points;  // polygon
    QRect box;               // ellipse: covers box.left() ... box.right() and box.top() ... box.bottom()
    QPoint origin;           // text: top-left corner
    int textHeight = 0;
    QString text;
};

struct TrackScene {
    int width = 0;
    int height = 0;
    std::vector<Shape> shapes;  // in drawing order; the first one covers the whole picture with grass
};

// A point made whole, each coordinate rounded half up: the same on every machine.
inline QPoint wholePoint(QPointF p)
{
    return QPoint(static_cast<int>(std::floor(p.x() + 0.5)), static_cast<int>(std::floor(p.y() + 0.5)));
}

inline Shape polygonShape(ColorValue color, QVector<QPoint> points, Shape::Role role = Shape::Role::Scenery)
{
    Shape shape;
    shape.kind = Shape::Kind::Polygon;
    shape.role = role;
    shape.color = color;
    shape.points = std::move(points);
    return shape;
}

inline Shape ellipseShape(ColorValue color, QPointF centre, double radiusX, double radiusY)
{
    Shape shape;
    shape.kind = Shape::Kind::Ellipse;
    shape.color = color;
    shape.box = QRect(wholePoint(centre - QPointF(radiusX, radiusY)), wholePoint(centre + QPointF(radiusX, radiusY)));
    return shape;
}
