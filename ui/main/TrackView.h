#pragma once

#include "race/ColorValue.h"
#include "ui/main/TrackPictureBox.h"

#include <QImage>
#include <QObject>

#include <functional>
#include <vector>

class QScrollBar;
class StartMarker;
struct AllowedAreaOutline;
struct RaceState;

// The track view of the main window: the picture box picTRT at the zoom inside the window's inner
// area, the scroll bars scrH and scrV with the filler picVýplň between them, and the start markers
// on the picture. It lays itself out, scrolls, centres and zooms; it draws what the race asks for.
//
// Scroll bar values are view units by which the picture is moved left (up). They fit 16 bits for
// every track below 32768 view units; larger pictures use Qt's wider range rather than wrap.
class TrackView : public QObject {
    Q_OBJECT

public:
    struct Options {
        std::function<bool()> scrollBarsShown;             // "Posuvníky" is checked
        std::function<void(const QString&)> showZoomText;  // status panel 1
    };

    TrackView(RaceState& state, QWidget* room, Options options);

    TrackPictureBox* picture() const { return picTRT_; }
    QScrollBar* horizontalBar() const { return scrH_; }
    QScrollBar* verticalBar() const { return scrV_; }
    QWidget* filler() const { return picVypln_; }
    TrackCanvas& canvas() { return picTRT_->canvas(); }

    // A track has loaded: the picture at one pixel per track unit, at the top left, on the track's
    // background colour.
    void prepareTrack();
    // The picture box sized and drawn for the current zoom (after a race reset set it back to 100 %).
    void fitPictureToZoom();
    void showView();
    // Hides the picture, both scroll bars and the filler.
    void hideView();
    bool isShown() const;

    // Zoom, layout and scrolling.
    void ApplyZoom();
    void LayoutView();
    void ScrollView();
    void CentreViewOn(qint32 x, qint32 y);
    void KeepCircleInView();
    void BestFit();
    void Redraw();
    // The picture's left and top edges relative to the inner area: minus the scroll values where
    // scrolling is in use.
    int pictureLeft() const;
    int pictureTop() const;

    // Drawings on the picture.
    void clearDrawings();
    void drawAllowedOutline(const AllowedAreaOutline& outline, ColorValue color);
    // The current player's allowed area drawn again.
    void redrawAllowedArea();

    // Trajectory lines: line 1 always exists and carries the width of every line.
    int loadLine(QPointF from, QPointF to, ColorValue color);
    // Many lines at once, with the width of line 1 and a single repaint: a stored ride.
    void loadLines(std::vector<TrajectoryLine> lines);
    void setLineVisible(int index, bool visible);
    int lineWidth() const;
    void setLineWidth(int width);
    void unloadLines();
    const std::vector<TrajectoryLine>& lines() const { return picTRT_->lines(); }

    // Start markers 1 ... startCount at the start positions, in the given colour, shown.
    void placeStartMarkers(ColorValue color);
    void hideStartMarker(int index);
    void hideStartMarkers();
    void setStartMarkersColor(ColorValue color);
    // Markers above 1 are gone and marker 1 is hidden.
    void unloadStartMarkers();
    StartMarker* startMarker(int index) const;

signals:
    void startMarkerClicked(int index);

private:
    bool scrollsHorizontally() const;
    bool scrollsVertically() const;
    QImage pictureAtZoom();
    void placeMarkersForZoom();
    void placeLinesForZoom();
    StartMarker* addStartMarker(int index);
    // Every car still in the race as a dot in its player's colour, the one whose turn it is larger.
    void paintCars(QPainter& painter) const;
    // Repaints round every car: a turn passing changes which dot is the larger.
    void updateCars();

    RaceState& state_;
    QWidget* room_;
    Options options_;
    TrackPictureBox* picTRT_ = nullptr;
    QScrollBar* scrH_ = nullptr;
    QScrollBar* scrV_ = nullptr;
    QWidget* picVypln_ = nullptr;
    std::vector<StartMarker*> markers_;  // marker i is element i - 1

    // The last picture made at a zoom, kept for the next redraw at the same size.
    QImage zoomedPicture_;
    qint64 zoomedFrom_ = 0;
};
