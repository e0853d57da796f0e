#include "ui/main/TrackPictureBox.h"

#include "files/TrackPicture.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

TrackPictureBox::TrackPictureBox(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("picTRT"));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    // The canvas covers every pixel it has; nothing behind it needs painting first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TrackPictureBox::showCanvasChanges()
{
    const QRect area = canvas_.takeChangedArea();
    if (!area.isEmpty())
        update(area);
}

void TrackPictureBox::updateLine(const TrajectoryLine& line)
{
    const int margin = std::max(line.width + 2, OverlayReach);
    update(QRectF(line.from, line.to).normalized().toAlignedRect().adjusted(-margin, -margin, margin, margin));
}

void TrackPictureBox::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect area = event->rect();
    // Where the picture does not reach (a picture smaller than the box by rounding), the background.
    const QRegion uncovered = QRegion(area).subtracted(QRegion(QRect(QPoint(0, 0), canvas_.size())));
    for (const QRect& rect : uncovered)
        painter.fillRect(rect, palette().color(QPalette::Window));
    canvas_.paint(painter, area);

    painter.setRenderHint(QPainter::Antialiasing, true);
    QPen pen;
    pen.setCapStyle(Qt::RoundCap);
    for (const TrajectoryLine& line : lines_) {
        if (!line.visible)
            continue;
        const double margin = line.width + 2;
        if (!QRectF(line.from, line.to).normalized().adjusted(-margin, -margin, margin, margin).intersects(area))
            continue;
        // One pen, changed only where a line differs from the one before.
        if (pen.color() != toQColor(line.color) || pen.widthF() != line.width) {
            pen.setColor(toQColor(line.color));
            pen.setWidthF(line.width);
            painter.setPen(pen);
        } else if (painter.pen() != pen) {
            painter.setPen(pen);
        }
        painter.drawLine(line.from, line.to);
    }
    if (overlay_)
        overlay_(painter);
}

void TrackPictureBox::mouseMoveEvent(QMouseEvent* event)
{
    emit mouseMoved(event->buttons(), event->modifiers(), event->position());
}

void TrackPictureBox::mousePressEvent(QMouseEvent* event)
{
    emit mousePressed(event->button(), event->modifiers(), event->position());
}
