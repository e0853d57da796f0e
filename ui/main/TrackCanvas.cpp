#include "ui/main/TrackCanvas.h"

#include "race/MoveGeometry.h"

#include <QPainter>

#include <cmath>
#include <cstdlib>
#include <numbers>

namespace {

constexpr double Pi = std::numbers::pi;

// Qt counts arc angles in sixteenths of a degree, counter-clockwise from three o'clock, as the
// outline does in radians.
int sixteenthsOfDegree(double radians)
{
    return static_cast<int>(std::lround(radians * 180.0 / Pi * 16.0));
}

void drawArc(QPainter& painter, const OutlineArc& arc)
{
    const QRectF box(arc.centre.x() - arc.radius, arc.centre.y() - arc.radius, 2 * arc.radius, 2 * arc.radius);
    // An arc runs counter-clockwise from its start to its end, across 0 when the end is smaller.
    double span = arc.endAngle - arc.startAngle;
    if (span < 0)
        span += 2 * Pi;
    painter.drawArc(box, sixteenthsOfDegree(arc.startAngle), sixteenthsOfDegree(span));
}

QRectF boundsOf(const OutlineArc& arc)
{
    return {arc.centre.x() - arc.radius, arc.centre.y() - arc.radius, 2 * arc.radius, 2 * arc.radius};
}

// The other coordinate at step t of a line walked along its longer axis: start + t·delta/length,
// made whole to the nearest integer, ties to the even one.
int interpolate(int start, int delta, int t, int length)
{
    const qint64 numerator = static_cast<qint64>(t) * delta;
    qint64 quotient = numerator / length;
    qint64 remainder = numerator % length;
    if (remainder < 0) {
        remainder += length;
        --quotient;
    }
    if (2 * remainder > length || (2 * remainder == length && (quotient & 1)))
        ++quotient;
    return start + static_cast<int>(quotient);
}

}  // namespace

void TrackCanvas::setPicture(const QImage& picture)
{
    picture_ = picture.format() == QImage::Format_RGB32 ? picture : picture.convertToFormat(QImage::Format_RGB32);
    tiles_.clear();
    markedPoints_.assign(1, MarkedPoint{});
    changedArea_ = picture_.rect();
}

void TrackCanvas::clear()
{
    for (const auto& [key, tile] : tiles_)
        changed(tileRect(static_cast<int>(key & 0xFFFFFFFFu), static_cast<int>(key >> 32)));
    tiles_.clear();
    markedPoints_.assign(1, MarkedPoint{});
}

QRect TrackCanvas::tileRect(int tileX, int tileY) const
{
    return QRect(tileX * TileSize, tileY * TileSize, TileSize, TileSize).intersected(picture_.rect());
}

QImage& TrackCanvas::tileFor(int tileX, int tileY)
{
    auto [it, inserted] = tiles_.try_emplace(keyOf(tileX, tileY));
    if (inserted)
        it->second = picture_.copy(tileRect(tileX, tileY));
    return it->second;
}

QRgb TrackCanvas::pixel(int x, int y) const
{
    if (!contains(x, y))
        return 0;
    const auto it = tiles_.find(keyOf(x / TileSize, y / TileSize));
    if (it == tiles_.end())
        return picture_.pixel(x, y);
    return it->second.pixel(x % TileSize, y % TileSize);
}

void TrackCanvas::setPixel(int x, int y, QRgb color)
{
    if (!contains(x, y))
        return;
    tileFor(x / TileSize, y / TileSize).setPixel(x % TileSize, y % TileSize, color | 0xFF000000u);
    changed(QRect(x, y, 1, 1));
}

void TrackCanvas::drawOutline(const AllowedAreaOutline& outline, QRgb color)
{
    const QRectF bounds = outline.wholeCircle ? boundsOf(outline.circle) : boundsOf(outline.limitArc) | boundsOf(outline.moveArc);
    if (!std::isfinite(bounds.width()) || !std::isfinite(bounds.height()))
        return;
    // One pixel of margin round the shape: a pen of one pixel may fall on either side of its edge.
    const QRect area = bounds.toAlignedRect().adjusted(-1, -1, 2, 2).intersected(picture_.rect());
    if (area.isEmpty())
        return;
    QPen pen(QColor::fromRgb(color));
    pen.setWidth(1);
    pen.setCosmetic(true);
    for (int tileY = area.top() / TileSize; tileY <= area.bottom() / TileSize; ++tileY) {
        for (int tileX = area.left() / TileSize; tileX <= area.right() / TileSize; ++tileX) {
            QImage& tile = tileFor(tileX, tileY);
            QPainter painter(&tile);
            painter.setRenderHint(QPainter::Antialiasing, false);
            painter.translate(-tileX * TileSize, -tileY * TileSize);
            painter.setPen(pen);
            painter.setBrush(Qt::NoBrush);
            if (outline.wholeCircle) {
                painter.drawEllipse(outline.circle.centre, outline.circle.radius, outline.circle.radius);
            } else {
                drawArc(painter, outline.limitArc);
                drawArc(painter, outline.moveArc);
            }
        }
    }
    changed(area);
}

void TrackCanvas::markGuideLine(QPoint from, QPoint to, QRgb color)
{
    if (from == to)
        return;
    const int dx = to.x() - from.x();
    const int dy = to.y() - from.y();
    const bool alongX = std::abs(dx) > std::abs(dy);
    const int length = alongX ? std::abs(dx) : std::abs(dy);
    markedPoints_.assign(static_cast<std::size_t>(length) + 1, MarkedPoint{});
    for (int t = 0; t <= length; ++t) {
        const int x = alongX ? from.x() + (dx > 0 ? t : -t) : interpolate(from.x(), dx, t, length);
        const int y = alongX ? interpolate(from.y(), dy, t, length) : from.y() + (dy > 0 ? t : -t);
        markedPoints_[static_cast<std::size_t>(t)] = {x, y, pixel(x, y)};
        setPixel(x, y, color);
    }
}

void TrackCanvas::clearGuideLine()
{
    if (markedPoints_.size() > 1) {
        for (const MarkedPoint& point : markedPoints_)
            setPixel(point.x, point.y, point.savedColor);
    }
    markedPoints_.assign(1, MarkedPoint{});
}

void TrackCanvas::forgetGuideLine()
{
    markedPoints_.assign(1, MarkedPoint{});
}

void TrackCanvas::paint(QPainter& painter, const QRect& rect) const
{
    const QRect area = rect.intersected(picture_.rect());
    if (area.isEmpty())
        return;
    painter.drawImage(area.topLeft(), picture_, area);
    for (const auto& [key, tile] : tiles_) {
        const QRect where = tileRect(static_cast<int>(key & 0xFFFFFFFFu), static_cast<int>(key >> 32));
        const QRect part = where.intersected(area);
        if (!part.isEmpty())
            painter.drawImage(part.topLeft(), tile, part.translated(-where.topLeft()));
    }
}

QRect TrackCanvas::takeChangedArea()
{
    const QRect area = changedArea_;
    changedArea_ = QRect();
    return area;
}
