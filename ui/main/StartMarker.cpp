#include "ui/main/StartMarker.h"

#include "race/MoveCommit.h"

#include <QMouseEvent>
#include <QPainter>

StartMarker::StartMarker(QWidget* parent, int index) : QWidget(parent), index_(index)
{
    setObjectName(QStringLiteral("picStartPozice"));
    setProperty("Index", index);
    setFixedSize(StartMarkerSize, StartMarkerSize);
    setAutoFillBackground(true);
    hide();
}

void StartMarker::setColor(const QColor& color)
{
    QPalette colors = palette();
    colors.setColor(QPalette::Window, color);
    setPalette(colors);
    update();
}

void StartMarker::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked(index_);
}

void StartMarker::paintEvent(QPaintEvent*)
{
    // A frame of the contrasting shade, so a marker stays visible on a road of its own colour.
    QPainter painter(this);
    const QColor fill = palette().color(QPalette::Window);
    painter.setPen(fill.lightness() > 128 ? Qt::black : Qt::white);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
