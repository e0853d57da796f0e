// The view menu's commands and the view keys on the main window during a race.

#include "shell/Windows1250.h"
#include "tests/support/NextModalDialog.h"
#include "tests/support/RaceWindowFixture.h"
#include "tools/MetafileWriter.h"
#include "ui/dialogs/ZoomDialog.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class ViewCommandsTest : public ::testing::Test {
protected:
    // Okruh Vysočina, 2400 × 1800: the view scrolls both ways.
    void SetUp() override
    {
        f.showWithTrack(QStringLiteral("Vysocina"));
        f.startRace(1);
    }

    RaceWindowFixture f;
};

TEST_F(ViewCommandsTest, RaceStartCentresTheStartLineWithItsMarkersInView)
{
    EXPECT_EQ(f.state.scrollbarFlags, QStringLiteral("11"));
    const QRect visible(-f.view().pictureLeft(), -f.view().pictureTop(), f.state.viewWidth, f.state.viewHeight);
    // The start line runs from (692, 1586) to (692, 1714); its middle is in the middle of the view.
    EXPECT_NEAR(visible.center().x(), 692, 1);
    EXPECT_NEAR(visible.center().y(), std::min(1650, 1800 - f.state.viewHeight / 2), 1);
    for (int i = 1; i <= f.state.startCount; ++i)
        EXPECT_TRUE(visible.contains(f.view().startMarker(i)->geometry())) << i;
    EXPECT_EQ(f.window->statusPanel(1), QStringLiteral("100%"));
    EXPECT_EQ(f.window->statusPanel(2), QStringLiteral("Okruh Vysočina"));
    EXPECT_EQ(f.window->statusPanel(3), QStringLiteral("není"));
    EXPECT_EQ(f.window->statusPanel(4), QStringLiteral("Hráč 1"));
    EXPECT_EQ(f.window->statusPanel(5), QStringLiteral("Tah 0"));
    EXPECT_EQ(f.window->statusPanel(8), QStringLiteral("v = 0"));
}

TEST_F(ViewCommandsTest, ArrowKeysWithShiftCtrlAndAltScrollAlsoWithTheBarsHidden)
{
    f.item("mnuScrollbary")->trigger();  // bars hidden: the view still scrolls
    ASSERT_FALSE(f.view().horizontalBar()->isVisible());
    QScrollBar* scrH = f.view().horizontalBar();
    QScrollBar* scrV = f.view().verticalBar();
    scrH->setValue(500);
    scrV->setValue(500);
    f.press(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(scrH->value(), 501);
    f.press(Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(scrH->value(), 501 - scrH->pageStep());
    f.press(Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(scrV->value(), scrV->maximum());
    f.press(Qt::Key_Up, Qt::AltModifier);
    EXPECT_EQ(scrV->value(), 0);
    EXPECT_EQ(f.view().pictureLeft(), -scrH->value());
    // The inner area is all view: no room is kept for the hidden bars.
    EXPECT_EQ(f.state.viewWidth, f.window->centralWidget()->width());
}

TEST_F(ViewCommandsTest, StatusBarCommandGivesItsRoomToTheView)
{
    const int before = f.state.viewHeight;
    QStatusBar* bar = f.window->findChild<QStatusBar*>(QStringLiteral("stbTrasovky"));
    f.item("mnuStatusbar")->trigger();
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(f.state.viewHeight, before + bar->height());
    f.item("mnuStatusbar")->trigger();
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(f.state.viewHeight, before);
}

TEST_F(ViewCommandsTest, ZoomDialogAppliesItsSliderAndStornoKeepsTheZoom)
{
    struct Case {
        const char* button;
        int slider;
        float zoom;
    };
    const Case cases[] = {{"cmdStorno", 40, 1.0f}, {"cmdOk", 40, 0.4f}, {"cmdOk", 1, 0.01f}};
    for (const Case& c : cases) {
        const NextModalDialog inDialog([&c](QWidget* dialog) {
            auto* slider = dialog->findChild<QSlider*>(QStringLiteral("sldVelikost"));
            ASSERT_NE(slider, nullptr);
            slider->setValue(c.slider);
            EXPECT_EQ(dialog->findChild<QLabel*>(QStringLiteral("lblVelikost"))->text(), QString::number(c.slider) + '%');
            QTest::mouseClick(dialog->findChild<QPushButton*>(QString::fromLatin1(c.button)), Qt::LeftButton);
        });
        f.item("mnuJiné")->trigger();
        EXPECT_FLOAT_EQ(f.state.zoom, c.zoom) << c.button << c.slider;
    }
    // 1 % of the largest track: 24 × 18 pixels in the middle of the window.
    EXPECT_EQ(f.picture()->size(), QSize(24, 18));
    EXPECT_EQ(f.state.scrollbarFlags, QStringLiteral("00"));
    EXPECT_EQ(f.window->statusPanel(1), QStringLiteral("1%"));
    f.item("mnuProcent", 0)->trigger();
    EXPECT_EQ(f.picture()->size(), QSize(2400, 1800));
    EXPECT_EQ(f.window->statusPanel(1), QStringLiteral("100%"));
}

TEST_F(ViewCommandsTest, RedrawClearsTheGuideLineAndDrawsTheCircleAgain)
{
    f.clickMarker(1);
    const PlayerRecord& car = f.current();
    const QPoint aim = QPoint(car.aimX, car.aimY);
    f.moveOverTrack(aim + QPoint(5, 1));
    f.moveOverTrack(aim + QPoint(6, 2));
    ASSERT_GT(f.picture()->canvas().markedPoints().size(), 1u);
    const TrackCanvas& canvas = f.picture()->canvas();
    const QPoint pointer = aim + QPoint(6, 2);  // the line's first pixel, inside the circle
    ASSERT_EQ(f.shownAt(pointer.x(), pointer.y()), RaceWindowFixture::PlayerColors[0]);
    f.item("mnuObnovit")->trigger();
    EXPECT_EQ(canvas.markedPoints().size(), 1u);
    EXPECT_EQ(canvas.pixel(pointer.x(), pointer.y()), canvas.picture().pixel(pointer.x(), pointer.y()));
    EXPECT_EQ(f.shownAt(aim.x() + 10, aim.y()), RaceWindowFixture::PlayerColors[0]);
}

TEST_F(ViewCommandsTest, ATinyWindowKeepsItsSmallestSizeAndAWorkingView)
{
    f.window->resize(50, 20);
    EXPECT_GE(f.window->width(), 300);
    EXPECT_GE(f.window->height(), 300);
    EXPECT_EQ(f.state.scrollbarFlags, QStringLiteral("11"));
    EXPECT_GT(f.state.viewWidth, 0);
    EXPECT_GT(f.state.viewHeight, 0);
    f.clickMarker(1);
    EXPECT_TRUE(f.state.raceRunning);
}

TEST(LongStartLine, MarkersBeyondTheViewAreReachedByScrolling)
{
    // A 3000 × 400 straight whose start line runs along it from x = 10 to x = 2990: the ten
    // markers spread far beyond a 1024 wide window.
    RaceWindowFixture f;
    MetafileWriter picture;
    picture.setPlaceable(QRect(0, 0, 3000, 400), 96);
    picture.setWindowOrg(0, 0);
    picture.setWindowExt(3000, 400);
    picture.selectObject(picture.createPen(5, 0, 0));
    picture.selectObject(picture.createBrush(0, colorValue(110, 110, 120)));
    picture.rectangle(QRect(0, 100, 3000, 200));
    f.writeFile("Dlouha.wmf", picture.bytes());
    f.writeFile("Dlouha.trt", encodeWindows1250(QStringLiteral(
        "Dlouhá|3000|400|10|0|092158064|044044052|1|255255255|000000000|10|2990|200|10|200|Rovinka")));
    MainWindow& window = f.start();
    window.resize(1024, 720);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    LoadTrack(f.state, window, nullptr, f.path("Dlouha.trt"));
    ASSERT_TRUE(f.boxes.shown.empty());
    f.startRace(1);
    EXPECT_EQ(f.state.scrollbarFlags.left(1), QStringLiteral("1"));
    // Marker 1 lies nearest to end B (x = 10), 2980 / 11 = 270.9, so 271 units on: off to the left
    // of the view centred on the line's middle.
    const QRect visible(-f.view().pictureLeft(), -f.view().pictureTop(), f.state.viewWidth, f.state.viewHeight);
    StartMarker* first = f.view().startMarker(1);
    EXPECT_FALSE(visible.intersects(first->geometry()));
    f.press(Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(f.view().pictureLeft(), 0);
    f.clickMarker(1);
    EXPECT_TRUE(f.state.raceRunning);
    EXPECT_EQ(f.state.player(1).posX, 281);
    EXPECT_EQ(f.state.player(1).posY, 200);
    EXPECT_TRUE(f.boxes.shown.empty());
}

}  // namespace
