#include "ui/main/TrackView.h"

#include "files/TrackPicture.h"
#include "race/MoveGeometry.h"
#include "race/RaceState.h"
#include "shell/NumberFormat.h"
#include "ui/main/StartMarker.h"

#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace {

// A size in view units: track units times the zoom, at least one pixel.
int atZoom(qint32 trackUnits, float zoom)
{
    return std::max(1, roundHalfEven(static_cast<double>(zoom * static_cast<float>(trackUnits))));
}

QScrollBar* makeBar(Qt::Orientation orientation, QWidget* room, const char* name)
{
    auto* bar = new QScrollBar(orientation, room);
    bar->setObjectName(QString::fromUtf8(name));
    // Keys always reach the move input: a scroll bar never keeps the focus.
    bar->setFocusPolicy(Qt::NoFocus);
    bar->setRange(0, 0);
    bar->setSingleStep(1);
    bar->hide();
    return bar;
}

}  // namespace

TrackView::TrackView(RaceState& state, QWidget* room, Options options)
    : QObject(room), state_(state), room_(room), options_(std::move(options))
{
    picTRT_ = new TrackPictureBox(room);
    picTRT_->hide();
    scrH_ = makeBar(Qt::Horizontal, room, "scrH");
    scrV_ = makeBar(Qt::Vertical, room, "scrV");
    picVypln_ = new QWidget(room);
    picVypln_->setObjectName(QStringLiteral("picVýplň"));
    picVypln_->setAutoFillBackground(true);
    picVypln_->hide();
    connect(scrH_, &QScrollBar::valueChanged, this, &TrackView::ScrollView);
    connect(scrV_, &QScrollBar::valueChanged, this, &TrackView::ScrollView);
    picTRT_->setOverlay([this](QPainter& painter) { paintCars(painter); });
    addStartMarker(1);
}

void TrackView::updateCars()
{
    const double zoom = state_.zoom;
    const int reach = TrackPictureBox::OverlayReach;
    for (const PlayerRecord& car : state_.players)
        if (isOnTrack(car.state))
            picTRT_->update(QRect(roundHalfEven(zoom * car.posX) - reach, roundHalfEven(zoom * car.posY) - reach, 2 * reach + 1, 2 * reach + 1));
}

void TrackView::paintCars(QPainter& painter) const
{
    painter.setRenderHint(QPainter::Antialiasing, true);
    const double zoom = state_.zoom;
    for (int number = 1; number <= PlayerSlots; ++number) {
        const PlayerRecord& car = state_.player(number);
        if (!isOnTrack(car.state) || state_.replayRunning)
            continue;
        const QColor color = toQColor(car.color);
        const double radius = number == state_.currentPlayer ? 4 : 3;
        painter.setPen(QPen(color.lightness() > 100 ? QColor(Qt::black) : QColor(Qt::white), 1));
        painter.setBrush(color);
        painter.drawEllipse(QPointF(zoom * car.posX, zoom * car.posY), radius, radius);
    }
}

StartMarker* TrackView::addStartMarker(int index)
{
    auto* marker = new StartMarker(picTRT_, index);
    if (!markers_.empty())
        marker->setCursor(markers_.front()->cursor());
    connect(marker, &StartMarker::clicked, this, &TrackView::startMarkerClicked);
    markers_.push_back(marker);
    return marker;
}

StartMarker* TrackView::startMarker(int index) const
{
    if (index < 1 || index > static_cast<int>(markers_.size()))
        return nullptr;
    return markers_[static_cast<std::size_t>(index - 1)];
}

void TrackView::prepareTrack()
{
    zoomedPicture_ = QImage();
    picTRT_->setGeometry(0, 0, std::max(1, state_.trackWidth), std::max(1, state_.trackHeight));
    QPalette colors = picTRT_->palette();
    colors.setColor(QPalette::Window, toQColor(state_.trackBackColor));
    picTRT_->setPalette(colors);
    picTRT_->canvas().setPicture(state_.trackRaster.image());
    picTRT_->update();
}

QImage TrackView::pictureAtZoom()
{
    const QImage& raster = state_.trackRaster.image();
    const QSize size(atZoom(state_.trackWidth, state_.zoom), atZoom(state_.trackHeight, state_.zoom));
    if (raster.isNull() || raster.size() == size)
        return raster;
    if (zoomedPicture_.size() != size || zoomedFrom_ != raster.cacheKey()) {
        // Smaller than the raster: every view pixel is the average of the track pixels it covers,
        // so thin lines and text stay readable instead of losing pixels.
        zoomedPicture_ = raster.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        zoomedFrom_ = raster.cacheKey();
    }
    return zoomedPicture_;
}

void TrackView::fitPictureToZoom()
{
    const QSize size(atZoom(state_.trackWidth, state_.zoom), atZoom(state_.trackHeight, state_.zoom));
    if (picTRT_->size() != size || picTRT_->canvas().size() != size) {
        picTRT_->resize(size);
        picTRT_->canvas().setPicture(pictureAtZoom());
        picTRT_->update();
    }
}

void TrackView::showView()
{
    picTRT_->show();
    picTRT_->setFocus();
}

void TrackView::hideView()
{
    picTRT_->hide();
    scrH_->hide();
    scrV_->hide();
    picVypln_->hide();
}

bool TrackView::isShown() const
{
    return picTRT_->isVisibleTo(room_);
}

bool TrackView::scrollsHorizontally() const
{
    return state_.scrollbarFlags.size() >= 1 && state_.scrollbarFlags[0] == u'1';
}

bool TrackView::scrollsVertically() const
{
    return state_.scrollbarFlags.size() >= 2 && state_.scrollbarFlags[1] == u'1';
}

int TrackView::pictureLeft() const
{
    return picTRT_->x();
}

int TrackView::pictureTop() const
{
    return picTRT_->y();
}

void TrackView::ApplyZoom()
{
    // 1. The drawings go; the next mouse move only re-arms the guide line.
    picTRT_->canvas().clear();
    state_.mouseMoveArmed = false;

    // 2. The middle of the view in track units.
    const double oldScaleX = static_cast<double>(picTRT_->width()) / std::max(1, state_.trackWidth);
    const double oldScaleY = static_cast<double>(picTRT_->height()) / std::max(1, state_.trackHeight);
    const qint32 cx = scrollsHorizontally() ? roundHalfEven((scrH_->value() + state_.viewWidth / 2.0) / oldScaleX)
                                            : state_.trackWidth / 2;
    const qint32 cy = scrollsVertically() ? roundHalfEven((scrV_->value() + state_.viewHeight / 2.0) / oldScaleY)
                                          : state_.trackHeight / 2;

    // 3. and 4. The picture, the lines and the markers at the new zoom.
    fitPictureToZoom();
    placeLinesForZoom();
    placeMarkersForZoom();

    // 5. to 8.
    if (options_.showZoomText)
        options_.showZoomText(formatFixed(static_cast<double>(state_.zoom * 100.0f), 0, systemDecimalSeparator()) + u'%');
    LayoutView();
    if (!state_.replayRunning)
        CentreViewOn(roundHalfEven(cx * static_cast<double>(state_.zoom)), roundHalfEven(cy * static_cast<double>(state_.zoom)));
    if (state_.raceRunning)
        redrawAllowedArea();
    picTRT_->showCanvasChanges();
}

void TrackView::placeLinesForZoom()
{
    const double zoom = state_.zoom;
    const auto inView = [zoom](TrackPoint p) { return QPointF(zoom * p.x, zoom * p.y); };
    std::vector<TrajectoryLine>& lines = picTRT_->lines();
    const auto lineAt = [&lines](int index) -> TrajectoryLine* {
        return index >= 1 && index <= static_cast<int>(lines.size()) ? &lines[static_cast<std::size_t>(index - 1)] : nullptr;
    };
    if (state_.replayRunning) {
        for (std::size_t i = 2; i < state_.recordRide.size(); ++i) {
            if (TrajectoryLine* line = lineAt(static_cast<int>(i))) {
                line->from = inView(state_.recordRide[i - 1]);
                line->to = inView(state_.recordRide[i]);
            }
        }
    } else {
        for (const PlayerRecord& player : state_.players) {
            if (player.state == PlayerState::NoPlayer || player.segmentLines.empty() || player.segmentStarts.size() != player.segmentLines.size())
                continue;
            const std::size_t last = player.segmentLines.size() - 1;
            for (std::size_t k = 1; k <= last; ++k) {
                TrajectoryLine* line = lineAt(player.segmentLines[k]);
                if (!line)
                    continue;
                line->from = inView(player.segmentStarts[k]);
                line->to = k < last ? inView(player.segmentStarts[k + 1]) : inView({player.posX, player.posY});
            }
        }
    }
    picTRT_->update();
}

void TrackView::placeMarkersForZoom()
{
    // A marker keeps its size; its middle stays on its start position's point at any zoom.
    const double zoom = state_.zoom;
    for (std::size_t i = 0; i < markers_.size() && i < state_.startPositions.size(); ++i) {
        const TrackPoint corner = state_.startPositions[i];
        const QSize size = markers_[i]->size();
        const double middleX = corner.x + size.width() / 2.0, middleY = corner.y + size.height() / 2.0;
        markers_[i]->move(roundHalfEven(zoom * middleX - size.width() / 2.0), roundHalfEven(zoom * middleY - size.height() / 2.0));
    }
}

void TrackView::LayoutView()
{
    const QSize room = room_->size();
    const int pictureWidth = picTRT_->width();
    const int pictureHeight = picTRT_->height();
    const bool barsShown = options_.scrollBarsShown && options_.scrollBarsShown();
    const int barWidth = scrV_->sizeHint().width();
    const int barHeight = scrH_->sizeHint().height();

    // 1. and 2. Which directions scroll: a bar needed in one direction takes room from the other.
    bool horizontal = pictureWidth > room.width();
    bool vertical = pictureHeight > room.height();
    if (barsShown && horizontal != vertical) {
        if (vertical)
            horizontal = pictureWidth > room.width() - barWidth;
        else
            vertical = pictureHeight > room.height() - barHeight;
    }
    state_.scrollbarFlags = QString(horizontal ? u'1' : u'0') + QString(vertical ? u'1' : u'0');
    const int roomWidth = room.width() - (vertical && barsShown ? barWidth : 0);
    const int roomHeight = room.height() - (horizontal && barsShown ? barHeight : 0);

    // 3. to 6. A bar in use runs along its edge with the range the picture leaves beyond the view.
    const auto layOutBar = [barsShown](QScrollBar* bar, bool inUse, const QRect& place, int maximum) {
        if (!inUse) {
            bar->hide();
            bar->setRange(0, 0);
            return;
        }
        bar->setGeometry(place);
        bar->setPageStep(maximum / 10 + 1);
        bar->setVisible(barsShown);
        bar->setRange(0, maximum);
    };
    if (horizontal)
        state_.viewWidth = roomWidth;
    if (vertical)
        state_.viewHeight = roomHeight;
    layOutBar(scrH_, horizontal, QRect(0, room.height() - barHeight, roomWidth, barHeight), pictureWidth - roomWidth);
    layOutBar(scrV_, vertical, QRect(room.width() - barWidth, 0, barWidth, roomHeight), pictureHeight - roomHeight);
    // Where it scrolls, the picture stands at minus the bar's value (a range that shrank has brought
    // the value back to its new maximum); elsewhere it is centred in the room.
    picTRT_->move(horizontal ? -scrH_->value() : (roomWidth - pictureWidth) / 2,
                  vertical ? -scrV_->value() : (roomHeight - pictureHeight) / 2);

    if (horizontal && vertical && barsShown) {
        picVypln_->setGeometry(roomWidth, roomHeight, barWidth, barHeight);
        picVypln_->show();
        picVypln_->raise();
    } else {
        picVypln_->hide();
    }
    scrH_->raise();
    scrV_->raise();
}

void TrackView::ScrollView()
{
    state_.mouseMoveArmed = false;
    int left = picTRT_->x();
    int top = picTRT_->y();
    if (scrollsHorizontally())
        left = -scrH_->value();
    if (scrollsVertically())
        top = -scrV_->value();
    picTRT_->move(left, top);
    if (state_.raceRunning)
        redrawAllowedArea();
}

void TrackView::CentreViewOn(qint32 x, qint32 y)
{
    const auto centre = [](QScrollBar* bar, double value) {
        const qint64 v = std::llround(std::nearbyint(value));
        bar->setValue(static_cast<int>(std::clamp<qint64>(v, bar->minimum(), bar->maximum())));
    };
    if (scrollsHorizontally())
        centre(scrH_, x - state_.viewWidth / 2.0);
    if (scrollsVertically())
        centre(scrV_, y - state_.viewHeight / 2.0);
}

void TrackView::KeepCircleInView()
{
    if (state_.currentPlayer < 1 || state_.currentPlayer > PlayerSlots)
        return;
    const PlayerRecord& player = state_.player(state_.currentPlayer);
    const double s = state_.stepLength;
    const double zoom = state_.zoom;
    const auto keep = [](QScrollBar* bar, double nearEdge, double farEdge, int visibleFrom, int visibleSize) {
        if (nearEdge < visibleFrom)
            bar->setValue(std::max(bar->minimum(), roundHalfEven(nearEdge)));
        else if (farEdge > visibleFrom + visibleSize)
            bar->setValue(std::min(bar->maximum(), roundHalfEven(farEdge - visibleSize)));
    };
    if (scrollsHorizontally())
        keep(scrH_, (player.aimX - s) * zoom, (player.aimX + s) * zoom, -picTRT_->x(), state_.viewWidth);
    if (scrollsVertically())
        keep(scrV_, (player.aimY - s) * zoom, (player.aimY + s) * zoom, -picTRT_->y(), state_.viewHeight);
}

void TrackView::BestFit()
{
    const double width = room_->width();
    const double height = room_->height();
    if (width <= 0 || height <= 0 || state_.trackWidth <= 0 || state_.trackHeight <= 0)
        return;
    float zoom = state_.trackHeight / height < state_.trackWidth / width ? static_cast<float>(width / state_.trackWidth)
                                                                        : static_cast<float>(height / state_.trackHeight);
    // Best fit never enlarges.
    state_.zoom = std::min(zoom, 1.0f);
    ApplyZoom();
}

void TrackView::Redraw()
{
    picTRT_->canvas().clear();
    picTRT_->update();
    if (state_.raceRunning)
        redrawAllowedArea();
    picTRT_->showCanvasChanges();
}

void TrackView::clearDrawings()
{
    picTRT_->canvas().clear();
    picTRT_->showCanvasChanges();
    updateCars();
}

void TrackView::drawAllowedOutline(const AllowedAreaOutline& outline, ColorValue color)
{
    picTRT_->canvas().drawOutline(outline, toQRgb(color));
    picTRT_->showCanvasChanges();
}

void TrackView::redrawAllowedArea()
{
    if (state_.currentPlayer < 1 || state_.currentPlayer > PlayerSlots)
        return;
    drawAllowedOutline(allowedAreaOutline(state_), state_.player(state_.currentPlayer).color);
}

int TrackView::loadLine(QPointF from, QPointF to, ColorValue color)
{
    std::vector<TrajectoryLine>& lines = picTRT_->lines();
    TrajectoryLine line = lines.front();
    line.from = from;
    line.to = to;
    line.color = color;
    line.visible = true;
    lines.push_back(line);
    picTRT_->updateLine(line);
    return static_cast<int>(lines.size());
}

void TrackView::loadLines(std::vector<TrajectoryLine> added)
{
    std::vector<TrajectoryLine>& lines = picTRT_->lines();
    const int width = lines.front().width;
    lines.reserve(lines.size() + added.size());
    for (TrajectoryLine& line : added) {
        line.width = width;
        lines.push_back(line);
    }
    picTRT_->update();
}

void TrackView::setLineVisible(int index, bool visible)
{
    // Index 0 is the placeholder of a player's first segment: there is no such line.
    std::vector<TrajectoryLine>& lines = picTRT_->lines();
    if (index < 1 || index > static_cast<int>(lines.size()))
        return;
    TrajectoryLine& line = lines[static_cast<std::size_t>(index - 1)];
    if (line.visible != visible) {
        line.visible = visible;
        picTRT_->updateLine(line);
    }
}

int TrackView::lineWidth() const
{
    return picTRT_->lines().front().width;
}

void TrackView::setLineWidth(int width)
{
    for (TrajectoryLine& line : picTRT_->lines())
        line.width = width;
    picTRT_->update();
}

void TrackView::unloadLines()
{
    picTRT_->lines().resize(1);
    picTRT_->update();
}

void TrackView::placeStartMarkers(ColorValue color)
{
    while (markers_.size() < state_.startPositions.size())
        addStartMarker(static_cast<int>(markers_.size()) + 1);
    for (std::size_t i = 0; i < state_.startPositions.size(); ++i) {
        StartMarker* marker = markers_[i];
        marker->setColor(toQColor(color));
        marker->show();
        marker->raise();
    }
    placeMarkersForZoom();
}

void TrackView::hideStartMarker(int index)
{
    if (StartMarker* marker = startMarker(index))
        marker->hide();
}

void TrackView::hideStartMarkers()
{
    for (StartMarker* marker : markers_)
        marker->hide();
}

void TrackView::setStartMarkersColor(ColorValue color)
{
    for (StartMarker* marker : markers_)
        marker->setColor(toQColor(color));
}

void TrackView::unloadStartMarkers()
{
    while (markers_.size() > 1) {
        delete markers_.back();
        markers_.pop_back();
    }
    markers_.front()->hide();
}
