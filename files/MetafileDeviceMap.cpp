#include "files/MetafileDeviceMap.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double CoordinateLimit = 1 << 29;  // a box between two such points still has an int width
}

MetafileDeviceMap::MetafileDeviceMap(const QSize& frameSize, const QRectF& target, const QTransform& world)
{
    const double sx = frameSize.width() > 0 ? target.width() / frameSize.width() : 0.0;
    const double sy = frameSize.height() > 0 ? target.height() / frameSize.height() : 0.0;
    frameToDevice_ = QTransform(sx, 0, 0, sy, target.left(), target.top()) * world;
    transform_ = frameToDevice_;
}

void MetafileDeviceMap::setMapping(const MetafileMapping& mapping)
{
    const QTransform logicalToFrame(mapping.scaleX(), 0, 0, mapping.scaleY(), mapping.offsetX(), mapping.offsetY());
    transform_ = logicalToFrame * frameToDevice_;
    lengthX_ = std::hypot(transform_.m11(), transform_.m12());
    lengthY_ = std::hypot(transform_.m21(), transform_.m22());
}

double MetafileDeviceMap::rounded(double value)
{
    if (!(value > -CoordinateLimit))  // also NaN
        return -CoordinateLimit;
    if (value > CoordinateLimit)
        return CoordinateLimit;
    return std::floor(value + 0.5);
}

QPointF MetafileDeviceMap::pixel(double x, double y) const
{
    const QPointF p = map(x, y);
    return QPointF(rounded(p.x()), rounded(p.y()));
}

QRect MetafileDeviceMap::box(double x1, double y1, double x2, double y2) const
{
    const QPointF a = pixel(x1, y1);
    const QPointF b = pixel(x2, y2);
    const int left = static_cast<int>(std::min(a.x(), b.x()));
    const int top = static_cast<int>(std::min(a.y(), b.y()));
    const int right = static_cast<int>(std::max(a.x(), b.x()));
    const int bottom = static_cast<int>(std::max(a.y(), b.y()));
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}
