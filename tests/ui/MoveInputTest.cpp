// The move input through real events on the main window: start markers, clicks, the pointer
// feedback, the keys, and the trajectory segments they leave.

#include "files/TrackPicture.h"
#include "race/MoveGeometry.h"
#include "race/RaceState.h"
#include "shell/MessageBoxStyle.h"
#include "shell/NumberFormat.h"
#include "tests/support/RaceWindowFixture.h"

#include <QMenu>
#include <gtest/gtest.h>

namespace {

// Kolem rybníka: start position 1 is (414, 544); the committed record ride goes on to (424, 544)
// and (444, 544), each on the circle of the move before (step length 10), along the road.
constexpr TrackPoint Start1{414, 544};
constexpr TrackPoint Ride2{424, 544};
constexpr TrackPoint Ride3{444, 544};

class MoveInputTest : public ::testing::Test {
protected:
    void SetUp() override { f.showWithTrack(QStringLiteral("Rybnik")); }

    // A race of the given players, each on his start marker 1, 2, ... in turn.
    void raceWith(int players)
    {
        f.startRace(players);
        for (int i = 1; i <= players; ++i)
            f.clickMarker(i);
        ASSERT_TRUE(f.state.raceRunning);
    }

    int visibleLines() const
    {
        int count = 0;
        for (const TrajectoryLine& line : f.window->trajectoryLines())
            count += line.visible ? 1 : 0;
        return count;
    }

    RaceWindowFixture f;
};

TEST_F(MoveInputTest, StartMarkersTakeTurnsAndTheLastStartsTheRace)
{
    f.startRace(2);
    ASSERT_EQ(f.state.currentPlayer, 1);
    StartMarker* marker2 = f.view().startMarker(2);
    ASSERT_TRUE(marker2->isVisible());
    EXPECT_EQ(marker2->palette().color(QPalette::Window), toQColor(RaceWindowFixture::PlayerColors[0]));

    f.clickMarker(1);
    EXPECT_EQ(f.state.player(1).posX, Start1.x);
    EXPECT_EQ(f.state.player(1).posY, Start1.y);
    EXPECT_EQ(f.state.player(1).state, PlayerState::Racing);
    EXPECT_FALSE(f.view().startMarker(1)->isVisible());
    EXPECT_FALSE(f.state.raceRunning);
    // The remaining markers take the colour of the next player to choose.
    EXPECT_EQ(f.state.currentPlayer, 2);
    EXPECT_EQ(marker2->palette().color(QPalette::Window), toQColor(RaceWindowFixture::PlayerColors[1]));
    // Clicks on the track are ignored until every car stands on the start.
    f.clickTrack(Ride2);
    EXPECT_EQ(f.state.player(2).state, PlayerState::ChoosingStart);

    f.clickMarker(2);
    EXPECT_TRUE(f.state.raceRunning);
    EXPECT_EQ(f.state.currentPlayer, 1);
    for (int i = 1; i <= 10; ++i)
        EXPECT_FALSE(f.view().startMarker(i)->isVisible()) << i;
    // Player 1's circle is drawn round his standing car, in his colour.
    EXPECT_EQ(f.shownAt(Start1.x + 10, Start1.y), RaceWindowFixture::PlayerColors[0]);
    EXPECT_EQ(f.shownAt(Start1.x, Start1.y - 10), RaceWindowFixture::PlayerColors[0]);
}

TEST_F(MoveInputTest, AClickOnTheCircleIsCommittedAndOneBeyondItIsNot)
{
    raceWith(1);
    f.clickTrack({Ride2.x + 1, Ride2.y});  // 11 units from the inertia point: not allowed
    EXPECT_EQ(f.state.player(1).posX, Start1.x);
    EXPECT_EQ(f.state.player(1).moves, 1);

    f.clickTrack(Ride2);  // exactly 10 units from the inertia point
    const PlayerRecord& car = f.state.player(1);
    EXPECT_EQ(car.posX, Ride2.x);
    EXPECT_EQ(car.prevX, Start1.x);
    EXPECT_EQ(car.aimX, Ride2.x + 10);  // the next turn is prepared
    EXPECT_EQ(car.moves, 2);
    ASSERT_EQ(car.segmentLines.size(), 2u);
    const TrajectoryLine& line = f.window->trajectoryLines().at(static_cast<size_t>(car.segmentLines[1] - 1));
    EXPECT_EQ(line.from, QPointF(Start1.x, Start1.y));
    EXPECT_EQ(line.to, QPointF(Ride2.x, Ride2.y));
    EXPECT_TRUE(line.visible);
    EXPECT_EQ(f.window->statusPanel(5), QStringLiteral("Tah 2"));
}

TEST_F(MoveInputTest, PointerFeedbackShowsPositionSpeedCursorAndGuideLine)
{
    raceWith(1);
    f.clickTrack(Ride2);
    const QColor red = toQColor(RaceWindowFixture::PlayerColors[0]);
    // The first move after the turn began is the re-arming one: readouts, but no guide line.
    f.state.mouseMoveArmed = false;
    f.moveOverTrack(QPoint(Ride3.x, Ride3.y - 3));
    EXPECT_EQ(f.window->statusPanel(6), QStringLiteral("X = 444"));
    EXPECT_EQ(f.window->statusPanel(7), QStringLiteral("Y = 541"));
    EXPECT_EQ(f.window->statusPanel(8), QStringLiteral("v = 2") + systemDecimalSeparator() + "022");  // √(20² + 3²) / 10
    EXPECT_EQ(f.picture()->canvas().markedPoints().size(), 1u);

    // Then the guide line from the pointer to the car, every pixel in the player's colour.
    f.moveOverTrack(QPoint(Ride3.x, Ride3.y));
    const auto& marked = f.picture()->canvas().markedPoints();
    ASSERT_EQ(marked.size(), 21u);  // 444 down to 424 along x
    EXPECT_EQ(marked.front().x, Ride3.x);
    EXPECT_EQ(marked.back().x, Ride2.x);
    for (int x = Ride2.x; x <= Ride3.x; ++x)
        EXPECT_EQ(f.shownAt(x, Ride3.y), RaceWindowFixture::PlayerColors[0]) << x;
    EXPECT_EQ(f.picture()->cursor().shape(), Qt::BitmapCursor);

    // Outside the circle with "Jen povolený tah" checked: no line, the forbidden pointer.
    const QColor before = QColor::fromRgb(f.picture()->canvas().picture().pixel(Ride3.x - 5, Ride3.y));
    f.moveOverTrack(QPoint(Ride3.x + 30, Ride3.y));
    EXPECT_EQ(f.picture()->canvas().markedPoints().size(), 1u);
    EXPECT_EQ(QColor::fromRgb(f.picture()->canvas().pixel(Ride3.x - 5, Ride3.y)), before);
    // Unchecked: the line follows the pointer anywhere.
    f.item("mnuJen")->trigger();
    f.moveOverTrack(QPoint(Ride3.x + 31, Ride3.y));
    EXPECT_EQ(f.picture()->canvas().markedPoints().size(), 52u);
    EXPECT_EQ(QColor::fromRgb(f.picture()->canvas().pixel(Ride3.x - 5, Ride3.y)), red);
}

struct KeypadCase {
    const char* label;
    int key;
    Qt::KeyboardModifiers modifiers;
    bool commits;
};

TEST_F(MoveInputTest, KeypadEightPlacesThePointerAndWithCtrlMakesTheMove)
{
    // After two moves of the record ride the car runs at (20, 0): the far end of its circle is (474, 544).
    const KeypadCase cases[] = {
        {"Num Lock on", Qt::Key_8, Qt::KeypadModifier, false},
        {"Num Lock off", Qt::Key_Up, Qt::KeypadModifier, false},
        {"Num Lock on with Ctrl", Qt::Key_8, Qt::KeypadModifier | Qt::ControlModifier, true},
        {"Num Lock off with Ctrl", Qt::Key_Up, Qt::KeypadModifier | Qt::ControlModifier, true},
    };
    for (const KeypadCase& c : cases) {
        RaceWindowFixture g;
        g.showWithTrack(QStringLiteral("Rybnik"));
        g.startRace(1);
        g.clickMarker(1);
        g.clickTrack(Ride2);
        g.clickTrack(Ride3);
        ASSERT_EQ(g.state.player(1).posX, Ride3.x) << c.label;
        g.pointer->placed.clear();
        g.press(c.key, c.modifiers);
        // (With Ctrl the next turn's automatic centring puts the pointer on the new inertia point.)
        ASSERT_EQ(g.pointer->placed.size(), c.commits ? 2u : 1u) << c.label;
        EXPECT_EQ(g.pointer->placed[0], g.picture()->mapToGlobal(QPoint(474, 544))) << c.label;
        EXPECT_EQ(g.state.player(1).posX, c.commits ? 474 : Ride3.x) << c.label;
        EXPECT_EQ(g.state.player(1).moves, c.commits ? 4 : 3) << c.label;
    }
}

TEST_F(MoveInputTest, ArrowKeysOfTheCursorBlockMoveThePointerByOnePixel)
{
    raceWith(1);
    f.pointer->at = QPoint(300, 200);
    f.press(Qt::Key_Up);
    f.press(Qt::Key_Left);
    EXPECT_EQ(f.pointer->at, QPoint(299, 199));
    EXPECT_EQ(f.state.player(1).moves, 1);
}

TEST_F(MoveInputTest, TouchingPointsNeedAMoveLongerThanTheStepLength)
{
    raceWith(1);
    // Standing still, then moving exactly one step length: keypad 4 and 6 have no point to aim at.
    const TrackPoint next[] = {Ride2, Ride3};
    for (int move = 0; move < 2; ++move) {
        f.pointer->placed.clear();
        for (int key : {Qt::Key_4, Qt::Key_6, Qt::Key_Left, Qt::Key_Right})
            f.press(key, Qt::KeypadModifier | Qt::ControlModifier);
        EXPECT_TRUE(f.pointer->placed.empty()) << move;
        EXPECT_EQ(f.state.player(1).moves, move + 1);
        f.clickTrack(next[move]);
    }
    // At (20, 0) the circle round (464, 544) is touched where the line from the car meets it at a
    // right angle: 17.32 units from the car, 30° off the direction of travel; up on the screen is left.
    f.pointer->placed.clear();
    f.press(Qt::Key_4, Qt::KeypadModifier);
    f.press(Qt::Key_6, Qt::KeypadModifier);
    ASSERT_EQ(f.pointer->placed.size(), 2u);
    // Rounded towards the inertia point: (444 + 15, 544 - 8.66) and (444 + 15, 544 + 8.66).
    EXPECT_EQ(f.pointer->placed[0], f.picture()->mapToGlobal(QPoint(459, 536)));
    EXPECT_EQ(f.pointer->placed[1], f.picture()->mapToGlobal(QPoint(459, 552)));
}

TEST_F(MoveInputTest, UncheckedTrajectoriesLeaveOnlyEachPlayersNewestSegment)
{
    raceWith(2);
    const auto moveBoth = [this](TrackPoint first, TrackPoint second) {
        f.clickTrack(first);
        f.clickTrack(second);
    };
    // Player 2 stands on start position 2, twelve units above player 1.
    moveBoth(Ride2, {Ride2.x, Ride2.y - 12});
    moveBoth(Ride3, {Ride3.x, Ride3.y - 12});
    EXPECT_EQ(visibleLines(), 4);

    f.item("mnuTrajektorie")->trigger();  // unchecked: every drawn segment is hidden
    EXPECT_EQ(visibleLines(), 0);
    moveBoth({Ride3.x + 28, Ride3.y}, {Ride3.x + 28, Ride3.y - 12});
    moveBoth({Ride3.x + 56, Ride3.y}, {Ride3.x + 56, Ride3.y - 12});
    EXPECT_EQ(visibleLines(), 2);
    for (int player = 1; player <= 2; ++player) {
        const PlayerRecord& p = f.state.player(player);
        const auto& lines = f.window->trajectoryLines();
        EXPECT_TRUE(lines.at(static_cast<size_t>(p.segmentLines.back() - 1)).visible) << player;
    }

    f.item("mnuTrajektorie")->trigger();  // checked again: all of them are back
    EXPECT_EQ(visibleLines(), 8);
}

TEST_F(MoveInputTest, RightButtonPopsUpTheViewMenu)
{
    raceWith(1);
    f.pointer->at = f.picture()->mapToGlobal(QPoint(100, 100));
    f.clickTrack(Ride2, Qt::RightButton);
    QMenu* view = f.window->menus().mnuZobrazeni;
    EXPECT_TRUE(view->isVisible());
    view->close();
    EXPECT_EQ(f.state.player(1).posX, Start1.x);  // no move
}

TEST_F(MoveInputTest, KeysAndClicksWithoutARaceChangeNothingAndDoNotCrash)
{
    f.window->resize(300, 300);
    for (int key : {Qt::Key_C, Qt::Key_Space, Qt::Key_Escape, Qt::Key_5, Qt::Key_8, Qt::Key_4})
        for (Qt::KeyboardModifiers modifiers : {Qt::KeyboardModifiers(), Qt::KeyboardModifiers(Qt::KeypadModifier | Qt::ControlModifier)})
            f.press(key, modifiers);
    f.clickTrack({10, 10});
    EXPECT_EQ(f.state.currentPlayer, 0);
    EXPECT_FALSE(f.state.raceRunning);
    EXPECT_TRUE(f.boxes.shown.empty());
}

}  // namespace
