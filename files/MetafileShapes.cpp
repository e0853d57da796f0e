#include "files/MetafileShapes.h"

#include <cmath>
#include <numbers>

namespace {

// The angle Qt's arc functions take for the point where the ray from the ellipse's centre through
// p meets the ellipse: the parametric angle, counter-clockwise on the device.
double arcAngle(const QRectF& ellipse, QPointF p)
{
    const QPointF c = ellipse.center();
    const double rx = ellipse.width() / 2;
    const double ry = ellipse.height() / 2;
    if (rx <= 0 || ry <= 0)
        return 0;
    return std::atan2(-(p.y() - c.y()) / ry, (p.x() - c.x()) / rx) * 180 / std::numbers::pi;
}

// The counter-clockwise sweep from one angle to the other, in (0, 360].
double sweepBetween(double from, double to)
{
    double sweep = std::fmod(to - from, 360.0);
    if (sweep <= 1e-9)
        sweep += 360;
    return sweep;
}

QPainterPath shapePath(MetafileBoxShape shape, const QRectF& rect, QSizeF cornerRadii, double start, double sweep, bool forFill)
{
    QPainterPath path;
    switch (shape) {
    case MetafileBoxShape::Rectangle:
        path.addRect(rect);
        break;
    case MetafileBoxShape::RoundRect:
        path.addRoundedRect(rect, std::min(cornerRadii.width(), rect.width() / 2), std::min(cornerRadii.height(), rect.height() / 2));
        break;
    case MetafileBoxShape::Ellipse:
        path.addEllipse(rect);
        break;
    case MetafileBoxShape::Arc:
        if (!forFill) {
            path.arcMoveTo(rect, start);
            path.arcTo(rect, start, sweep);
        }
        break;
    case MetafileBoxShape::Pie:
        path.moveTo(rect.center());
        path.arcTo(rect, start, sweep);
        path.closeSubpath();
        break;
    case MetafileBoxShape::Chord:
        path.arcMoveTo(rect, start);
        path.arcTo(rect, start, sweep);
        path.closeSubpath();
        break;
    }
    return path;
}

}  // namespace

std::optional<MetafileShapePaths> metafileShapePaths(const MetafileDeviceMap& map, const MetafileShapeGeometry& geometry)
{
    const QRectF& box = geometry.box;
    MetafileShapePaths paths;
    if (map.axisAligned()) {
        const QRect pixels = map.box(box.left(), box.top(), box.right(), box.bottom());
        if (pixels.isEmpty())
            return std::nullopt;
        const QRectF fill(pixels.left(), pixels.top(), pixels.width(), pixels.height());
        const QRectF outline(pixels.left(), pixels.top(), pixels.width() - 1, pixels.height() - 1);
        const QSizeF radii(std::abs(geometry.corner.width() * map.lengthX()) / 2, std::abs(geometry.corner.height() * map.lengthY()) / 2);
        const double start = arcAngle(fill, map.map(geometry.arcStart.x(), geometry.arcStart.y()));
        const double end = arcAngle(fill, map.map(geometry.arcEnd.x(), geometry.arcEnd.y()));
        const double sweep = sweepBetween(start, end);
        paths.fill = shapePath(geometry.shape, fill, radii, start, sweep, true);
        paths.outline = shapePath(geometry.shape, outline, radii, start, sweep, false);
        return paths;
    }
    // Turned by the painter's transform: the shape is built in logical units and carried over whole.
    const QRectF logical = QRectF(box.topLeft(), box.bottomRight()).normalized();
    if (logical.isEmpty())
        return std::nullopt;
    const QTransform& t = map.transform();
    // In logical units the device's counter-clockwise is clockwise when the mapping mirrors an axis.
    const bool mirrored = t.determinant() < 0;
    double start = arcAngle(logical, geometry.arcStart);
    double end = arcAngle(logical, geometry.arcEnd);
    if (mirrored)
        std::swap(start, end);
    const double sweep = sweepBetween(start, end);
    const QSizeF radii(std::abs(geometry.corner.width()) / 2, std::abs(geometry.corner.height()) / 2);
    QPainterPath fill = shapePath(geometry.shape, logical, radii, start, sweep, true);
    QPainterPath outline = shapePath(geometry.shape, logical, radii, start, sweep, false);
    paths.fill = t.map(fill);
    paths.outline = t.map(outline);
    return paths;
}
