#pragma once

#include "ui/main/TrackCanvas.h"
#include "ui/main/TrajectoryLine.h"

#include <QWidget>

#include <functional>
#include <vector>

// picTRT: the track at the zoom with its drawings, and the trajectory lines over them. Positions
// are view units, the widget's own pixels. The mouse over it is passed on as it comes.
class TrackPictureBox : public QWidget {
    Q_OBJECT

public:
    explicit TrackPictureBox(QWidget* parent);

    TrackCanvas& canvas() { return canvas_; }
    const TrackCanvas& canvas() const { return canvas_; }
    // Repaints what the canvas changed since the last call.
    void showCanvasChanges();

    // The line objects linTrajektorie; line 1 always exists. Line i is element i - 1.
    std::vector<TrajectoryLine>& lines() { return lines_; }
    const std::vector<TrajectoryLine>& lines() const { return lines_; }
    TrajectoryLine& line(int index) { return lines_.at(static_cast<std::size_t>(index - 1)); }
    // Repaints the part of the view a line covers.
    void updateLine(const TrajectoryLine& line);
    // Painted over everything else at every paint: the cars.
    void setOverlay(std::function<void(QPainter&)> overlay) { overlay_ = std::move(overlay); }
    // How far round a point an overlay may paint, in view pixels.
    static constexpr int OverlayReach = 6;

signals:
    void mouseMoved(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPointF position);
    void mousePressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    TrackCanvas canvas_;
    std::vector<TrajectoryLine> lines_{TrajectoryLine{}};
    std::function<void(QPainter&)> overlay_;
};
