// The track view on an inner area of its own: which directions scroll, where the picture and the
// bars stand, centring, keeping the circle in view, zoom and best fit.

#include "race/RaceState.h"
#include "ui/main/TrackView.h"

#include <QScrollBar>
#include <QWidget>
#include <gtest/gtest.h>

#include <cmath>

namespace {

class TrackViewTest : public ::testing::Test {
protected:
    // A track of the given size in track units, drawn as one colour, in an inner area of room.
    void lay(QSize track, QSize room, bool barsShown = true)
    {
        state = RaceState{};
        state.zoom = 1;
        state.trackWidth = track.width();
        state.trackHeight = track.height();
        state.stepLength = 10;
        QImage image(track, QImage::Format_RGB32);
        image.fill(qRgb(90, 160, 60));
        state.trackRaster = TrackRaster(image, 0);
        barsShown_ = barsShown;
        area.resize(room);
        view = std::make_unique<TrackView>(state, &area, TrackView::Options{[this] { return barsShown_; }, [this](const QString& text) { zoomText = text; }});
        view->prepareTrack();
        view->showView();
        view->LayoutView();
    }

    QScrollBar* scrH() const { return view->horizontalBar(); }
    QScrollBar* scrV() const { return view->verticalBar(); }
    // The track point in the middle of the view.
    QPointF middle() const
    {
        const double zoom = state.zoom;
        return {(state.viewWidth / 2.0 - view->pictureLeft()) / zoom, (state.viewHeight / 2.0 - view->pictureTop()) / zoom};
    }

    QWidget area;
    RaceState state;
    std::unique_ptr<TrackView> view;
    QString zoomText;
    bool barsShown_ = true;
};

TEST_F(TrackViewTest, ScrollingDirectionsAndPlacesOfPictureBarsAndFiller)
{
    QScrollBar probe(Qt::Vertical);
    const int bar = probe.sizeHint().width();
    const int barHeight = QScrollBar(Qt::Horizontal).sizeHint().height();
    struct Case {
        const char* label;
        QSize track;
        bool barsShown;
        const char* flags;
        QPoint picture;   // top left in the inner area of 800 × 600
        int maxH, maxV;   // scroll maxima
        bool filler;
    };
    const Case cases[] = {
        {"fits: centred", {700, 500}, true, "00", {50, 50}, 0, 0, false},
        {"too wide only", {900, 500}, true, "10", {0, (600 - barHeight - 500) / 2}, 100, 0, false},
        {"too high, and then too wide for the room the bar leaves", {800 - bar / 2, 700}, true, "11", {0, 0},
         800 - bar / 2 - (800 - bar), 700 - (600 - barHeight), true},
        {"too high, still fits beside the bar", {800 - bar - 1, 700}, true, "01", {0, 0}, 0, 100, false},
        {"too large with the bars hidden: the whole room is view", {1000, 1000}, false, "11", {0, 0}, 200, 400, false},
        {"just narrower than a hidden bar would leave", {800 - bar / 2, 700}, false, "01", {(bar / 2) / 2, 0}, 0, 100, false},
    };
    for (const Case& c : cases) {
        lay(c.track, {800, 600}, c.barsShown);
        EXPECT_EQ(state.scrollbarFlags, QString::fromLatin1(c.flags)) << c.label;
        EXPECT_EQ(QPoint(view->pictureLeft(), view->pictureTop()), c.picture) << c.label;
        EXPECT_EQ(scrH()->maximum(), c.maxH) << c.label;
        EXPECT_EQ(scrV()->maximum(), c.maxV) << c.label;
        EXPECT_EQ(scrH()->isVisibleTo(&area), c.barsShown && c.flags[0] == '1') << c.label;
        EXPECT_EQ(scrV()->isVisibleTo(&area), c.barsShown && c.flags[1] == '1') << c.label;
        EXPECT_EQ(view->filler()->isVisibleTo(&area), c.filler) << c.label;
        if (c.flags[0] == '1') {
            EXPECT_EQ(scrH()->pageStep(), c.maxH / 10 + 1) << c.label;
        }
    }
}

TEST_F(TrackViewTest, CentringClampsToTheScrollRangeAndMovesThePicture)
{
    lay({2000, 1500}, {800, 600}, false);
    ASSERT_EQ(state.viewWidth, 800);
    ASSERT_EQ(state.viewHeight, 600);
    view->CentreViewOn(1000, 750);
    EXPECT_EQ(scrH()->value(), 600);
    EXPECT_EQ(scrV()->value(), 450);
    EXPECT_EQ(view->pictureLeft(), -600);  // hidden bars still scroll the picture
    EXPECT_EQ(view->pictureTop(), -450);
    EXPECT_FALSE(state.mouseMoveArmed);
    view->CentreViewOn(0, 5000);
    EXPECT_EQ(scrH()->value(), 0);
    EXPECT_EQ(scrV()->value(), 900);
}

TEST_F(TrackViewTest, KeepingTheCircleInViewScrollsTheNearEdgeFirst)
{
    lay({2000, 1500}, {800, 600}, false);
    state.currentPlayer = 1;
    PlayerRecord& car = state.player(1);
    struct Case {
        int aimX, aimY;
        int valueH, valueV;
    };
    // The view starts at (100, 100); the square of ±10 round the inertia point comes into view.
    const Case cases[] = {
        {500, 400, 100, 100},   // inside: nothing moves
        {95, 400, 85, 100},     // off the left edge: that edge comes to the view's left
        {895, 695, 105, 105},   // off the right and bottom: the far edges come to the view's edges
        {5, 1495, 0, 900},      // beyond the range: clamped
    };
    for (const Case& c : cases) {
        scrH()->setValue(100);
        scrV()->setValue(100);
        car.aimX = c.aimX;
        car.aimY = c.aimY;
        view->KeepCircleInView();
        EXPECT_EQ(scrH()->value(), c.valueH) << c.aimX << "," << c.aimY;
        EXPECT_EQ(scrV()->value(), c.valueV) << c.aimX << "," << c.aimY;
    }
}

TEST_F(TrackViewTest, ZoomKeepsTheMiddleOfTheViewAndSmoothsThePicture)
{
    lay({2400, 1800}, {800, 600});
    view->CentreViewOn(1500, 700);
    const QPointF before = middle();
    state.zoom = 0.5f;
    view->ApplyZoom();
    EXPECT_EQ(view->picture()->size(), QSize(1200, 900));
    EXPECT_EQ(zoomText, QStringLiteral("50%"));
    EXPECT_NEAR(middle().x(), before.x(), 2);
    EXPECT_NEAR(middle().y(), before.y(), 2);
    state.zoom = 0.3f;
    view->ApplyZoom();
    EXPECT_EQ(state.scrollbarFlags, QStringLiteral("00"));  // 720 × 540 fits
    EXPECT_EQ(zoomText, QStringLiteral("30%"));
    state.zoom = 0.01f;  // the smallest the zoom dialog gives: 24 × 18
    view->ApplyZoom();
    EXPECT_EQ(view->picture()->size(), QSize(24, 18));
    EXPECT_EQ(QPoint(view->pictureLeft(), view->pictureTop()), QPoint(388, 291));
}

TEST_F(TrackViewTest, BestFitShrinksToTheLimitingSideAndNeverEnlarges)
{
    struct Case {
        QSize track;
        float zoom;
    };
    const Case cases[] = {
        {{400, 300}, 1.0f},      // smaller than the room: stays at 100 %
        {{1600, 900}, 0.5f},     // width limits: 800 / 1600
        {{1000, 1200}, 0.5f},    // height limits: 600 / 1200
    };
    for (const Case& c : cases) {
        lay(c.track, {800, 600});
        view->BestFit();
        EXPECT_FLOAT_EQ(state.zoom, c.zoom) << c.track.width();
        EXPECT_EQ(state.scrollbarFlags, QStringLiteral("00")) << c.track.width();
    }
}

}  // namespace
