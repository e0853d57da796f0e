// A person against the computer in the main window: the computer's row chosen in the new race
// dialog, its start and its moves made on its own after the pause, Space making them at once, and
// the results with both, the record offered to the person only.

#include "files/RecordFile.h"
#include "race/RaceStart.h"
#include "tests/support/NextModalDialog.h"
#include "tests/support/RaceWindowFixture.h"
#include "ui/dialogs/ResultsDialog.h"
#include "ui/main/ComputerTurns.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

class ComputerOpponentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        f.rememberBundledTrack(QStringLiteral("Rybnik"));
        MainWindow& window = f.start();
        window.resize(1024, 720);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        // Row 1 a person, row 2 the master.
        const NextModalDialog inDialog([](QWidget* dialog) {
            for (QCheckBox* tick : dialog->findChildren<QCheckBox*>(QStringLiteral("chkHráči")))
                if (tick->property("Index").toInt() == 2)
                    QTest::mouseClick(tick, Qt::LeftButton, {}, QPoint(tick->width() / 2, tick->height() / 2));
            for (QComboBox* driver : dialog->findChildren<QComboBox*>(QStringLiteral("cboŘidič")))
                if (driver->property("Index").toInt() == 2) {
                    driver->setFocus();
                    QTest::keyClick(driver, Qt::Key_End);
                }
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdStart")), Qt::LeftButton);
        });
        f.item("mnuNová")->trigger();
        ASSERT_EQ(f.state.player(2).driver, DriverKind::Master);
        ASSERT_EQ(f.state.player(2).state, PlayerState::ChoosingStart);
    }

    // Waits, with the events running, until the computer has had its turn (or a few seconds).
    void letTheComputerMove()
    {
        for (int i = 0; i < 500 && f.window->computerTurns().isComputersTurn(); ++i)
            QTest::qWait(10);
        ASSERT_FALSE(f.window->computerTurns().isComputersTurn());
    }

    RaceWindowFixture f;
};

TEST_F(ComputerOpponentTest, TheComputerMovesOnItsOwnAndTheRecordStaysThePersons)
{
    f.window->computerTurns().setPause(20);
    f.clickMarker(1);
    letTheComputerMove();
    ASSERT_TRUE(f.state.raceRunning);
    EXPECT_NE(f.state.player(2).posY, f.state.player(1).posY);  // on a start of its own

    QString offeredTo;
    WhenDialogOpens record(QStringLiteral("frmRekord"), [&](QWidget* dialog) {
        offeredTo = dialog->findChild<QLineEdit*>(QStringLiteral("txtJméno"))->text();
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdUložit")), Qt::LeftButton);
    }, 60000);
    std::vector<QStringList> rows;
    WhenDialogOpens results(QStringLiteral("frmVýsledky"), [&](QWidget* dialog) {
        rows = qobject_cast<ResultsDialog*>(dialog)->shownRows();
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdSkrýt")), Qt::LeftButton);
    }, 60000);

    // The person drives the track's record ride by clicks; the computer answers each move.
    const std::vector<TrackPoint> ride = RaceWindowFixture::bundledRecordRide(QStringLiteral("Rybnik"));
    std::size_t next = 1;
    int computerMoves = 0;
    while (f.state.raceRunning && next < ride.size()) {
        if (f.state.currentPlayer == 1) {
            f.clickTrack(ride[next++]);
        } else {
            const TrackPoint before{f.state.player(2).posX, f.state.player(2).posY};
            letTheComputerMove();
            computerMoves += TrackPoint{f.state.player(2).posX, f.state.player(2).posY} == before ? 0 : 1;
        }
    }
    while (f.state.raceRunning)
        letTheComputerMove();
    EXPECT_GT(computerMoves, 20);
    EXPECT_TRUE(f.boxes.shown.size() >= 1);  // the person's own finish notice, nothing for the computer
    for (const auto& box : f.boxes.shown)
        EXPECT_EQ(box.title, QStringLiteral("Cíl")) << box.prompt.toStdString();

    // Both in the results, the computer marked; the record offered to the person and saved as his.
    ASSERT_TRUE(results.ran());
    ASSERT_EQ(rows.size(), 2u);
    QStringList names{rows[0][1], rows[1][1]};
    EXPECT_TRUE(names.contains(QStringLiteral("Hráč 1")));
    EXPECT_TRUE(names.contains(QStringLiteral("Hráč 2 (počítač)")));
    ASSERT_TRUE(record.ran());
    EXPECT_EQ(offeredTo, QStringLiteral("Hráč 1"));
    RaceState stored;
    stored.trackPicturePath = f.path("tracks/Rybnik.wmf");
    ASSERT_EQ(readRecordFile(stored, f.path("tracks/Rybnik.rek")).error, RecordReadError::None);
    EXPECT_EQ(std::vector<TrackPoint>(stored.recordRide.begin() + 1, stored.recordRide.end()), ride);
}

TEST_F(ComputerOpponentTest, SpaceMakesTheComputersMoveAtOnceAndClicksDoNotMoveForIt)
{
    f.window->computerTurns().setPause(20);
    f.clickMarker(1);
    letTheComputerMove();
    ASSERT_TRUE(f.state.raceRunning);
    // A long pause now: the computer's move waits, shown as the guide line.
    f.window->computerTurns().setPause(60000);
    f.clickTrack({424, 544});
    ASSERT_EQ(f.state.currentPlayer, 2);
    for (int i = 0; i < 100 && f.picture()->canvas().markedPoints().size() < 2; ++i)
        QTest::qWait(10);
    ASSERT_GT(f.picture()->canvas().markedPoints().size(), 1u);
    const PlayerRecord& computer = f.state.player(2);
    const TrackPoint standing{computer.posX, computer.posY};
    // Keys that would move a person's car do nothing for the computer's.
    f.press(Qt::Key_5, Qt::KeypadModifier | Qt::ControlModifier);
    EXPECT_EQ((TrackPoint{computer.posX, computer.posY}), standing);
    EXPECT_EQ(f.state.currentPlayer, 2);
    f.press(Qt::Key_Space);
    EXPECT_EQ(f.state.currentPlayer, 1);
    EXPECT_NE((TrackPoint{computer.posX, computer.posY}), standing);
}

TEST(ComputersOnly, ARaceOfComputersPlaysItselfToTheResults)
{
    RaceWindowFixture f;
    MainWindow& window = f.showWithTrack(QStringLiteral("Rybnik"));
    window.computerTurns().setPause(0);
    std::array<PlayerEntry, PlayerSlots> rows;
    rows[0] = {QStringLiteral("Robot A"), colorValue(255, 0, 0), true, DriverKind::Racer};
    rows[1] = {QStringLiteral("Robot B"), colorValue(0, 0, 255), true, DriverKind::Beginner};
    StartRace(f.state, rows, 42);
    bool resultsShown = false;
    WhenDialogOpens results(QStringLiteral("frmVýsledky"), [&](QWidget* dialog) {
        resultsShown = true;
        dialog->hide();
    }, 60000);
    window.showRaceStart(true);
    for (int i = 0; i < 6000 && !resultsShown; ++i)
        QTest::qWait(10);
    EXPECT_TRUE(resultsShown);
    EXPECT_EQ(f.state.player(1).state, PlayerState::Placed);
    EXPECT_EQ(f.state.player(2).state, PlayerState::Placed);
    // Computers only: nobody is offered the record, nobody was asked anything.
    EXPECT_TRUE(f.boxes.shown.empty());
    EXPECT_FALSE(QFile::exists(f.path("Rybnik.rek")));
}

}  // namespace
