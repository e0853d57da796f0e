// The game menu's race commands on the main window: a new race asked for during a race, and the
// information about the running race.

#include "shell/IniFile.h"
#include "shell/MessageBoxStyle.h"
#include "race/TurnCycle.h"
#include "shell/SettingsFile.h"
#include "tests/support/NextModalDialog.h"
#include "tests/support/RaceWindowFixture.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace {

class RaceMenuCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        f.showWithTrack(QStringLiteral("Rybnik"));
        f.startRace(2);
        f.clickMarker(1);
        f.clickMarker(2);
        ASSERT_TRUE(f.state.raceRunning);
    }

    RaceWindowFixture f;
};

TEST_F(RaceMenuCommandsTest, NewRaceDuringARaceAsksAndNoLeavesTheRaceAlone)
{
    f.boxes.answers = {AnswerNo};
    f.item("mnuNová")->trigger();
    ASSERT_EQ(f.boxes.shown.size(), 1u);
    EXPECT_EQ(f.boxes.shown[0].prompt, QStringLiteral("Opravdu chcete ukončit tuto hru a začít novou?"));
    EXPECT_EQ(f.boxes.shown[0].title, QStringLiteral("Nová hra..."));
    EXPECT_EQ(f.boxes.shown[0].style, StyleYesNoDefaultNo);
    EXPECT_TRUE(f.state.raceRunning);
    EXPECT_TRUE(f.picture()->isVisible());

    // Yes: the race is reset and the dialog opens for a new race.
    f.boxes.answers = {AnswerYes};
    QString caption;
    bool startShown = false;
    const NextModalDialog inDialog([&](QWidget* dialog) {
        caption = dialog->windowTitle();
        startShown = dialog->findChild<QPushButton*>(QStringLiteral("cmdStart"))->isVisible();
        dialog->hide();
    });
    f.item("mnuNová")->trigger();
    EXPECT_EQ(caption, QStringLiteral("Nový závod..."));
    EXPECT_TRUE(startShown);
    EXPECT_FALSE(f.state.raceRunning);
    EXPECT_EQ(f.state.player(1).state, PlayerState::NoPlayer);
    EXPECT_FALSE(f.picture()->isVisible());
    EXPECT_EQ(f.window->trajectoryLines().size(), 1u);
}

TEST_F(RaceMenuCommandsTest, InformationShowsTheRaceReadOnlyAndChangesNothing)
{
    QString caption;
    bool startHidden = false;
    const NextModalDialog inDialog([&](QWidget* dialog) {
        caption = dialog->windowTitle();
        startHidden = dialog->findChild<QPushButton*>(QStringLiteral("cmdStart"))->isHidden();
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    });
    f.item("mnuInfo")->trigger();
    EXPECT_EQ(caption, QStringLiteral("Informace o závodu..."));
    EXPECT_TRUE(startHidden);
    EXPECT_TRUE(f.state.raceRunning);
    EXPECT_EQ(f.state.playersRacing, 2);
    EXPECT_TRUE(f.boxes.shown.empty());
}

TEST(RaceInformation, RecordSeenFromItCannotShowItsRide)
{
    // A race started from the new race dialog on a track with a record.
    RaceWindowFixture f;
    f.showWithTrack(QStringLiteral("Rybnik"), QSize(1024, 720), true);
    IniFile(settingsFilePath(f.dir.path())).write(SettingsSection, TrackKey, QStringLiteral("%Rybnik.trt"));
    {
        const NextModalDialog inDialog([](QWidget* dialog) {
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdStart")), Qt::LeftButton);
        });
        f.item("mnuNová")->trigger();
    }
    f.clickMarker(1);
    ASSERT_TRUE(f.state.raceRunning);
    ASSERT_GT(f.state.recordMoves, 0);

    bool recordOpened = false;
    bool rideEnabled = true;
    const NextModalDialog inDialog([&](QWidget* information) {
        WhenDialogOpens record(QStringLiteral("frmRekord"), [&](QWidget* dialog) {
            recordOpened = true;
            rideEnabled = dialog->findChild<QPushButton*>(QStringLiteral("cmdZobrazit"))->isEnabled();
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdZpět")), Qt::LeftButton);
        });
        QTest::mouseClick(information->findChild<QPushButton*>(QStringLiteral("cmdRekord")), Qt::LeftButton);
        QTest::mouseClick(information->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    });
    f.item("mnuInfo")->trigger();
    EXPECT_TRUE(recordOpened);
    EXPECT_FALSE(rideEnabled);
    EXPECT_TRUE(f.state.raceRunning);
    EXPECT_FALSE(f.state.replayRunning);
}

TEST_F(RaceMenuCommandsTest, NewGameFromTheResultsOpensTheNewRaceDialogOnceTheRaceHasEnded)
{
    // Both cars are taken out of the race at once, as a last move would leave them.
    for (int player : {1, 2})
        f.state.player(player).state = PlayerState::CrashedOut;
    f.state.playersRacing = 0;
    WhenDialogOpens results(QStringLiteral("frmVýsledky"), [](QWidget* dialog) {
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdNováHra")), Qt::LeftButton);
    });
    bool endedFirst = false;
    WhenDialogOpens newRace(QStringLiteral("frmNováHra"), [&](QWidget* dialog) {
        endedFirst = !f.state.raceRunning && f.state.player(1).state == PlayerState::NoPlayer;
        dialog->hide();
    });
    EndRace(f.state, *f.window);
    EXPECT_TRUE(results.ran());
    EXPECT_FALSE(newRace.ran());  // not inside the move that ended the race
    for (int i = 0; i < 500 && !newRace.ran(); ++i)
        QTest::qWait(10);
    EXPECT_TRUE(newRace.ran());
    EXPECT_TRUE(endedFirst);
}

}  // namespace
