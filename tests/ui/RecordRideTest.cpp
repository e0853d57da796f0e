// The stored record ride on the main window's track view, and the way back from it.

#include "shell/NumberFormat.h"
#include "tests/support/NextModalDialog.h"
#include "tests/support/RaceWindowFixture.h"

#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <gtest/gtest.h>

namespace {

class RecordRideTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        f.showWithTrack(QStringLiteral("Vysocina"));
        f.state.recordHolder = QStringLiteral("Bohouš");
        f.state.recordMoves = 3.5;
        f.state.recordDate = QStringLiteral("1. 5. 2026");
        f.state.recordColor = colorValue(0, 0, 192);
        f.state.recordRide = {TrackPoint{}, {697, 1645}, {707, 1645}, {727, 1645}, {757, 1645}, {797, 1640}};
    }

    QLabel* panel(int number) const
    {
        return f.window->findChild<QStatusBar*>(QStringLiteral("stbTrasovky"))->findChild<QLabel*>(QStringLiteral("Panel%1").arg(number));
    }

    RaceWindowFixture f;
};

TEST_F(RecordRideTest, FivePositionsAreDrawnAsFourLinesAndEscLeadsBack)
{
    f.window->ShowRecordRide(true);
    EXPECT_TRUE(f.state.replayRunning);
    const auto& lines = f.window->trajectoryLines();
    ASSERT_EQ(lines.size(), 5u);  // line 1 is not the ride's; lines 2 to 5 are
    for (size_t i = 2; i <= 5; ++i) {
        const TrackPoint from = f.state.recordRide[i - 1], to = f.state.recordRide[i];
        EXPECT_EQ(lines[i - 1].from, QPointF(from.x, from.y)) << i;
        EXPECT_EQ(lines[i - 1].to, QPointF(to.x, to.y)) << i;
        EXPECT_EQ(lines[i - 1].color, colorValue(0, 0, 192)) << i;
        EXPECT_TRUE(lines[i - 1].visible) << i;
    }
    // Seven panels with the record's data; the game menu hidden, "Zpět" in the view menu.
    EXPECT_TRUE(panel(8)->isHidden());
    EXPECT_EQ(f.window->statusPanel(2), QStringLiteral("Okruh Vysočina - rekord"));
    EXPECT_EQ(f.window->statusPanel(3), QStringLiteral("Bohouš"));
    EXPECT_EQ(f.window->statusPanel(4), formatFixed6(3.5, systemDecimalSeparator()));
    EXPECT_EQ(f.window->statusPanel(5), QStringLiteral("1. 5. 2026"));
    EXPECT_FALSE(f.window->menus().mnuHra->menuAction()->isVisible());
    EXPECT_TRUE(f.item("mnuZpět")->isVisible());
    EXPECT_FALSE(f.item("mnuTrajektorie")->isEnabled());
    EXPECT_TRUE(f.item("mnuTrajektorie")->isChecked());
    // The view scrolls: it is centred on the ride's first position.
    const QRect visible(-f.view().pictureLeft(), -f.view().pictureTop(), f.state.viewWidth, f.state.viewHeight);
    EXPECT_TRUE(visible.contains(697, 1645));
    // Clicks take no moves meanwhile.
    f.clickTrack({707, 1645});
    EXPECT_EQ(f.window->trajectoryLines().size(), 5u);

    WhenDialogOpens newRace(QStringLiteral("frmNováHra"), [](QWidget* dialog) { dialog->hide(); });
    f.press(Qt::Key_Escape);
    EXPECT_TRUE(newRace.ran());
    EXPECT_FALSE(f.state.replayRunning);
    EXPECT_FALSE(panel(8)->isHidden());
    EXPECT_TRUE(f.window->menus().mnuHra->menuAction()->isVisible());
    EXPECT_FALSE(f.item("mnuZpět")->isVisible());
    EXPECT_FALSE(f.picture()->isVisible());
    EXPECT_EQ(f.window->trajectoryLines().size(), 1u);
}

TEST_F(RecordRideTest, RideOfOnePositionDrawsNothing)
{
    f.state.recordRide = {TrackPoint{}, {697, 1645}};
    f.window->ShowRecordRide(true);
    EXPECT_EQ(f.window->trajectoryLines().size(), 1u);
    EXPECT_TRUE(f.picture()->isVisible());
}

}  // namespace
