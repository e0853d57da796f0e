// A whole race in the main window through real events: Ctrl+N, two players ticked in the new race
// dialog, Start, both start markers clicked, the moves by mouse clicks and by Ctrl + keypad, one
// crash first withdrawn and then made, until both cars have finished and the race has ended.

#include "files/RecordFile.h"
#include "race/KeypadTargets.h"
#include "race/MoveGeometry.h"
#include "shell/MessageBoxStyle.h"
#include "shell/NumberFormat.h"
#include "tests/support/NextModalDialog.h"
#include "tests/support/RaceWindowFixture.h"
#include "ui/dialogs/ResultsDialog.h"
#include "race/RideSearch.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QDir>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// The point a keypad key aims at, in view units at 100 %, as the keypad commands round it.
std::optional<QPoint> keypadPoint(const RaceState& state, KeypadTarget target)
{
    const std::optional<QPointF> point = keypadTargetPoint(state, target);
    if (!point)
        return std::nullopt;
    const PlayerRecord& car = state.player(state.currentPlayer);
    return QPoint(RoundTowards(car.aimX, static_cast<float>(point->x())), RoundTowards(car.aimY, static_cast<float>(point->y())));
}

class WholeRaceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        f.rememberBundledTrack(QStringLiteral("Rybnik"));
        MainWindow& window = f.start();
        window.resize(1024, 720);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    // Makes the current player's move to target: with Ctrl and the keypad key that aims there, if
    // one does, else by a click. Gives whether a key made it.
    bool moveTo(TrackPoint target)
    {
        const struct {
            KeypadTarget target;
            int key;
        } keys[] = {{KeypadTarget::InertiaPoint, Qt::Key_5}, {KeypadTarget::Farthest, Qt::Key_8}, {KeypadTarget::Nearest, Qt::Key_2},
                    {KeypadTarget::TouchLeft, Qt::Key_4}, {KeypadTarget::TouchRight, Qt::Key_6}};
        for (const auto& k : keys) {
            if (keypadPoint(f.state, k.target) == QPoint(target.x, target.y)) {
                f.press(k.key, Qt::KeypadModifier | Qt::ControlModifier);
                return true;
            }
        }
        f.clickTrack(target);
        return false;
    }

    RaceWindowFixture f;
};

TEST_F(WholeRaceTest, TwoPlayersRaceFromTheMenuToTheEnd)
{
    // Ctrl+N opens the new race dialog with the remembered track; row 1 is ticked, row 2 is ticked
    // by a click, and Start starts the race.
    bool dialogSeen = false;
    const NextModalDialog inDialog([&](QWidget* dialog) {
        dialogSeen = dialog->objectName() == QStringLiteral("frmNováHra");
        for (QCheckBox* tick : dialog->findChildren<QCheckBox*>(QStringLiteral("chkHráči")))
            if (tick->property("Index").toInt() == 2)
                QTest::mouseClick(tick, Qt::LeftButton, {}, QPoint(tick->width() / 2, tick->height() / 2));
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdStart")), Qt::LeftButton);
    });
    QTest::keyClick(f.window.get(), Qt::Key_N, Qt::ControlModifier);
    ASSERT_TRUE(dialogSeen);
    ASSERT_EQ(f.state.playersRacing, 2);
    ASSERT_EQ(f.state.trackName, QStringLiteral("Kolem rybníka"));
    EXPECT_TRUE(f.boxes.shown.empty());

    // Player 1 takes start position 1 and drives the track's record ride; player 2 takes position
    // 10, at the top of the start line, close to the barrier.
    f.clickMarker(1);
    f.clickMarker(10);
    ASSERT_TRUE(f.state.raceRunning);
    const std::vector<TrackPoint> ride1 = RaceWindowFixture::bundledRecordRide(QStringLiteral("Rybnik"));
    ASSERT_EQ(ride1.front(), (TrackPoint{f.state.player(1).posX, f.state.player(1).posY}));
    const TrackPoint start2{f.state.player(2).posX, f.state.player(2).posY};
    ASSERT_EQ(start2, (TrackPoint{414, 436}));

    // Player 1's first move; then player 2 heads up to the barrier: (414, 426), then (414, 408),
    // which the barrier at y = 410 stops at 1.8 step lengths a move.
    ASSERT_FALSE(moveTo(ride1[1]));
    f.clickTrack({414, 426});
    EXPECT_TRUE(moveTo(ride1[2]));  // (10, 0) onwards to (444, 544): keypad 8 aims exactly there
    const PlayerRecord& car2 = f.state.player(2);
    const size_t linesBefore = f.window->trajectoryLines().size();
    f.boxes.answers = {AnswerNo};
    f.clickTrack({414, 408});
    ASSERT_FALSE(f.boxes.shown.empty());
    EXPECT_EQ(f.boxes.shown.back().style, StyleYesNoDefaultNo);
    EXPECT_TRUE(f.boxes.shown.back().prompt.startsWith(QStringLiteral("V tomto tahu se nabouráte v rychlosti 1")));
    // No: nothing changed, the same player chooses again.
    EXPECT_EQ(f.state.currentPlayer, 2);
    EXPECT_EQ((TrackPoint{car2.posX, car2.posY}), (TrackPoint{414, 426}));
    EXPECT_EQ(car2.state, PlayerState::Racing);
    EXPECT_EQ(f.window->trajectoryLines().size(), linesBefore);
    // Yes: the car crashes, slides to its resting place and sits out two turns.
    f.boxes.answers = {AnswerYes};
    f.clickTrack({414, 408});
    EXPECT_EQ(car2.state, PlayerState::SitOut2);
    EXPECT_EQ(f.window->trajectoryLines().size(), linesBefore + 2);
    EXPECT_EQ(car2.posX, car2.aimX);
    EXPECT_EQ(car2.posY, car2.aimY);
    EXPECT_EQ(f.state.currentPlayer, 1);

    // From its resting place player 2 drives a ride found by search; both drive to the finish.
    const std::optional<FoundRide> ride2 = searchRide(f.state, {car2.posX, car2.posY}, 200, 1000);
    ASSERT_TRUE(ride2.has_value());
    const std::vector<TrackPoint>* rides[] = {&ride1, &ride2->points};
    size_t next[] = {3, 1};
    // The winner's ride will beat the track's (missing) record: the record dialog takes it down.
    QString offeredName, offeredMoves;
    WhenDialogOpens recordDialog(QStringLiteral("frmRekord"), [&](QWidget* dialog) {
        offeredName = dialog->findChild<QLineEdit*>(QStringLiteral("txtJméno"))->text();
        offeredMoves = dialog->findChild<QLineEdit*>(QStringLiteral("txtTahů"))->text();
        QTest::keyClicks(dialog->findChild<QPlainTextEdit*>(QStringLiteral("txtKomentář")), QStringLiteral("Prvni kolo | bez chyby"));
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdUložit")), Qt::LeftButton);
    });
    // Then the results: both finishers, the winner's new record noted; "Skrýt" hides them.
    std::vector<QStringList> resultRows;
    WhenDialogOpens resultsDialog(QStringLiteral("frmVýsledky"), [&](QWidget* dialog) {
        resultRows = qobject_cast<ResultsDialog*>(dialog)->shownRows();
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdSkrýt")), Qt::LeftButton);
    });
    int keypadMoves = 1;
    for (int turn = 0; f.state.raceRunning && turn < 500; ++turn) {
        const int player = f.state.currentPlayer;
        const std::vector<TrackPoint>& ride = *rides[player - 1];
        ASSERT_LT(next[player - 1], ride.size()) << "player " << player << " ran out of ride";
        const TrackPoint target = ride[next[player - 1]++];
        keypadMoves += moveTo(target) ? 1 : 0;
        const PlayerRecord& car = f.state.player(player);
        ASSERT_EQ((TrackPoint{car.posX, car.posY}), target) << "player " << player << " turn " << turn;
    }
    EXPECT_GT(keypadMoves, 1);

    // Both finished: the race is over, they are ranked, the view is done with the race.
    EXPECT_FALSE(f.state.raceRunning);
    EXPECT_EQ(f.state.playersRacing, 0);
    EXPECT_EQ(f.state.player(1).state, PlayerState::Placed);
    EXPECT_EQ(f.state.player(2).state, PlayerState::Placed);
    EXPECT_EQ(f.state.newRecordPlayer, 1);
    EXPECT_NEAR(f.state.player(1).moves, 37.073171, 1e-6);
    EXPECT_GT(f.state.player(2).moves, f.state.player(1).moves);
    int finishes = 0;
    for (const auto& box : f.boxes.shown)
        finishes += box.title == QStringLiteral("Cíl") ? 1 : 0;
    EXPECT_EQ(finishes, 2);
    EXPECT_FALSE(f.item("mnuTrajektorie")->isEnabled());
    EXPECT_TRUE(f.picture()->cursor().shape() == Qt::ArrowCursor || !f.picture()->testAttribute(Qt::WA_SetCursor));

    ASSERT_TRUE(resultsDialog.ran());
    ASSERT_EQ(resultRows.size(), 2u);
    EXPECT_EQ(resultRows[0][0], QStringLiteral("1"));
    EXPECT_EQ(resultRows[0][1], QStringLiteral("Hráč 1"));
    EXPECT_EQ(resultRows[0][2].trimmed(), formatFixed6(37.073171, systemDecimalSeparator()));
    EXPECT_EQ(resultRows[0][4], QStringLiteral("nový rekord"));
    EXPECT_EQ(resultRows[1][0], QStringLiteral("2"));
    EXPECT_EQ(resultRows[1][1], QStringLiteral("Hráč 2"));
    EXPECT_EQ(resultRows[1][2].trimmed(), formatFixed6(f.state.player(2).moves, systemDecimalSeparator()));
    EXPECT_EQ(resultRows[1][4], QStringLiteral("dojel"));
    EXPECT_TRUE(f.item("mnuVýsledky")->isVisible());

    // The record: offered to the winner, saved with the comment, and it reads back as his ride.
    ASSERT_TRUE(recordDialog.ran());
    EXPECT_EQ(offeredName, QStringLiteral("Hráč 1"));
    EXPECT_EQ(offeredMoves, formatFixed6(37.073171, systemDecimalSeparator()));
    RaceState stored;
    ReadLanguageLayout(stored);
    stored.trackPicturePath = f.path("tracks/Rybnik.wmf");
    ASSERT_EQ(readRecordFile(stored, f.path("tracks/Rybnik.rek")).error, RecordReadError::None);
    EXPECT_EQ(stored.recordHolder, QStringLiteral("Hráč 1"));
    EXPECT_EQ(stored.recordComment, QStringLiteral("Prvni kolo | bez chyby"));
    EXPECT_EQ(std::vector<TrackPoint>(stored.recordRide.begin() + 1, stored.recordRide.end()), ride1);
    const int soundsCount = f.sounds->played.size();
    ASSERT_GE(soundsCount, 2);
    EXPECT_TRUE(f.sounds->played[soundsCount - 2].endsWith(QStringLiteral("rekord.wav")));
    EXPECT_TRUE(f.sounds->played.last().endsWith(QStringLiteral("vysledky.wav")));

    // The next new race shows the record, the check finds it valid, and its ride is shown.
    f.boxes.shown.clear();
    QString shownRecord;
    bool rideButtonEnabled = false;
    WhenDialogOpens newRace(QStringLiteral("frmNováHra"), [&](QWidget* dialog) {
        shownRecord = dialog->findChild<QLineEdit*>(QStringLiteral("txtRekord"))->text();
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdKontrola")), Qt::LeftButton);
        WhenDialogOpens recordInformation(QStringLiteral("frmRekord"), [&](QWidget* record) {
            auto* showRide = record->findChild<QPushButton*>(QStringLiteral("cmdZobrazit"));
            rideButtonEnabled = showRide->isEnabled();
            QTest::mouseClick(showRide, Qt::LeftButton);
        });
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdRekord")), Qt::LeftButton);
    });
    f.item("mnuNová")->trigger();
    ASSERT_TRUE(newRace.ran());
    EXPECT_EQ(shownRecord, formatFixed6(37.073171, systemDecimalSeparator()) + QStringLiteral(" (Hráč 1)"));
    ASSERT_EQ(f.boxes.shown.size(), 1u);
    EXPECT_EQ(f.boxes.shown[0].prompt, QStringLiteral("Kontrola rekordu proběhla úspěšně."));
    EXPECT_TRUE(rideButtonEnabled);
    EXPECT_TRUE(f.state.replayRunning);
    EXPECT_EQ(f.window->trajectoryLines().size(), ride1.size());  // line 1 and one per move
    EXPECT_EQ(f.window->trajectoryLines().back().to, QPointF(ride1.back().x, ride1.back().y));
    EXPECT_FALSE(f.window->menus().mnuHra->menuAction()->isVisible());
    EXPECT_EQ(f.window->statusPanel(2), QStringLiteral("Kolem rybníka - rekord"));

    // "Zpět" returns to the new race dialog, the race menus as before.
    WhenDialogOpens back(QStringLiteral("frmNováHra"), [](QWidget* dialog) { dialog->hide(); });
    f.item("mnuZpět")->trigger();
    EXPECT_TRUE(back.ran());
    EXPECT_FALSE(f.state.replayRunning);
    EXPECT_TRUE(f.window->menus().mnuHra->menuAction()->isVisible());
    EXPECT_EQ(f.window->trajectoryLines().size(), 1u);

    // A record changed by hand is reported and moved aside when the track loads next.
    QFile file(f.path("tracks/Rybnik.rek"));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    bytes.replace("|414:544:424:544:", "|414:544:425:544:");
    file.seek(0);
    file.write(bytes);
    file.close();
    f.boxes.shown.clear();
    WhenDialogOpens again(QStringLiteral("frmNováHra"), [](QWidget* dialog) { dialog->hide(); });
    f.item("mnuNová")->trigger();
    ASSERT_EQ(f.boxes.shown.size(), 1u);
    EXPECT_EQ(f.boxes.shown[0].prompt, "Soubor " + QDir::toNativeSeparators(f.path("tracks/Rybnik.rek")) +
                                           " obsahuje neplatné údaje nebo je poškozen!");
    EXPECT_FALSE(QFile::exists(f.path("tracks/Rybnik.rek")));
    EXPECT_TRUE(QFile::exists(f.path("tracks/Rybnik.rek.bak")));
    EXPECT_EQ(f.state.recordMoves, 0);
}

}  // namespace
