#include "race/TurnCycle.h"
#include "shell/MessageBoxStyle.h"
#include "shell/NumberFormat.h"
#include "tests/support/SmallTrackFixture.h"

namespace {

using TurnCycleTest = SmallTrackFixture;

QString fixed6(double value)
{
    return formatFixed6(value, systemDecimalSeparator());
}

TEST_F(TurnCycleTest, CrashPenaltyIsTheSpeedRoundedUp)
{
    const struct {
        float speed;
        PlayerState state;
        const char* text;  // after the speed
        unsigned sound;
    } cases[] = {
        {0.5f, PlayerState::SitOut1, "! Jeden tah nebudete hrát. Jste si jisti, že ho chcete opravdu provést?", 2},
        {1.0f, PlayerState::SitOut1, "! Jeden tah nebudete hrát. Jste si jisti, že ho chcete opravdu provést?", 2},
        {1.01f, PlayerState::SitOut2, "! Dva tahy nebudete hrát. Jste si jisti, že ho chcete opravdu provést?", 3},
        {2.4f, PlayerState::SitOut3, "! Tři tahy nebudete hrát. Jste si jisti, že ho chcete opravdu provést?", 4},
        {2.9999f, PlayerState::SitOut3, "! Tři tahy nebudete hrát. Jste si jisti, že ho chcete opravdu provést?", 4},
        {3.0f, PlayerState::CrashedOut,
         ", která je bohužel tak velká, že nebudete schopni pokračovat v závodu! Jste si jisti, že ho chcete opravdu provést?", 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.speed);
        SetUp();
        window = RecordingGameWindow{};
        window.answers = {AnswerYes};
        EXPECT_TRUE(ConfirmCrash(state, window, c.speed));
        EXPECT_EQ(car().state, c.state);
        ASSERT_GE(window.boxes.size(), 1u);
        EXPECT_EQ(window.boxes[0].prompt, "V tomto tahu se nabouráte v rychlosti " + fixed6(c.speed) + QString::fromUtf8(c.text));
        EXPECT_EQ(window.boxes[0].title, "Pozor!");
        EXPECT_EQ(window.boxes[0].style, StyleYesNoDefaultNo);
        EXPECT_TRUE(window.calls.contains(QStringLiteral("sound %1").arg(c.sound)));
        if (c.state == PlayerState::CrashedOut) {
            EXPECT_EQ(state.playersRacing, 0);
            ASSERT_EQ(window.boxes.size(), 2u);
            EXPECT_EQ(window.boxes[1].prompt, "Vaše auto je vážně poškozeno! Nemůžete pokračovat v závodu.");
            EXPECT_EQ(window.boxes[1].title, "Havárie");
            EXPECT_EQ(window.boxes[1].style, StyleCritical);
        } else {
            EXPECT_EQ(state.playersRacing, 1);
            EXPECT_EQ(window.boxes.size(), 1u);
        }
    }
}

TEST_F(TurnCycleTest, CrashAnsweredNoChangesNothing)
{
    for (float speed : {1.5f, 4.0f}) {
        SetUp();
        window = RecordingGameWindow{};
        window.answers = {AnswerNo};
        EXPECT_FALSE(ConfirmCrash(state, window, speed));
        EXPECT_EQ(car().state, PlayerState::Racing);
        EXPECT_EQ(state.playersRacing, 1);
        EXPECT_EQ(window.calls.size(), 1);  // the question only: no sound
    }
}

TEST_F(TurnCycleTest, CrashAtZeroSpeedAndDuringAForcedMove)
{
    car().state = PlayerState::SitOut2;
    EXPECT_TRUE(ConfirmCrash(state, window, 0.0f));
    EXPECT_EQ(car().state, PlayerState::Racing);
    EXPECT_TRUE(window.calls.isEmpty());

    state.AskBeforeCrash = false;  // the forced move: the crash is announced, never asked
    EXPECT_TRUE(ConfirmCrash(state, window, 1.5f));
    ASSERT_EQ(window.boxes.size(), 1u);
    EXPECT_EQ(window.boxes[0].style, StyleInformationNote);
    EXPECT_EQ(car().state, PlayerState::SitOut2);
}

TEST_F(TurnCycleTest, WrongCheckpointDisqualifies)
{
    state.AskBeforeCrash = false;  // asked even during a forced move
    window.answers = {AnswerYes};
    EXPECT_TRUE(ConfirmWrongCheckpoint(state, window));
    EXPECT_EQ(car().state, PlayerState::Disqualified);
    EXPECT_EQ(state.playersRacing, 0);
    ASSERT_EQ(window.boxes.size(), 2u);
    EXPECT_EQ(window.boxes[0].prompt, "Projíždíte nesprávnou kontrolou. Budete diskvalifikován! Opradu si přejete tento tah provést?");
    EXPECT_EQ(window.boxes[0].style, StyleYesNoDefaultNo);
    EXPECT_EQ(window.boxes[1].prompt, "Byl jste diskvalifikován! Závod pro Vás skončil.");
    EXPECT_EQ(window.boxes[1].title, "Diskvalifikace");
    EXPECT_EQ(window.boxes[1].style, StyleCritical);
    EXPECT_TRUE(window.calls.contains("sound 6"));
}

TEST_F(TurnCycleTest, FinishStoresTheFractionalMoves)
{
    car().moves = 20;
    FinishCar(state, window, 0.25f);
    EXPECT_DOUBLE_EQ(car().moves, 19.25);
    EXPECT_EQ(car().state, PlayerState::Finished);
    EXPECT_EQ(state.playersRacing, 0);
    ASSERT_EQ(window.boxes.size(), 1u);
    EXPECT_EQ(window.boxes[0].prompt, "Sláva! Projel jste cílem v tahu " + fixed6(19.25) + ".");
    EXPECT_EQ(window.boxes[0].title, "Cíl");
    EXPECT_EQ(window.boxes[0].style, StyleExclamation);
    EXPECT_EQ(window.calls.first(), "sound 7");
}

class PassTurnTest : public SmallTrackFixture {
protected:
    void race(std::initializer_list<int> numbers)
    {
        for (int n : numbers) {
            state.player(n).state = PlayerState::Racing;
            state.player(n).name = QStringLiteral("Hráč %1").arg(n);
        }
        state.playersRacing = static_cast<quint8>(numbers.size());
    }
};

TEST_F(PassTurnTest, NextPlayerWrapsFromTenToOne)
{
    car().state = PlayerState::NoPlayer;
    race({2, 5, 9});
    const struct {
        quint8 current, next;
    } cases[] = {{9, 2}, {2, 5}, {5, 9}, {10, 2}, {1, 2}};
    for (const auto& c : cases) {
        state.currentPlayer = c.current;
        PassTurn(state, window);
        EXPECT_EQ(state.currentPlayer, c.next) << int(c.current);
    }
    state.currentPlayer = 9;
    state.player(2).state = PlayerState::Finished;
    state.player(5).state = PlayerState::CrashedOut;
    state.playersRacing = 1;
    PassTurn(state, window);
    EXPECT_EQ(state.currentPlayer, 9);  // the only car left plays again
}

TEST_F(PassTurnTest, TurnCountsAMoveExceptWhileChoosingTheStart)
{
    car().state = PlayerState::NoPlayer;
    race({3, 4});
    state.player(4).state = PlayerState::ChoosingStart;
    state.currentPlayer = 3;
    PassTurn(state, window);
    EXPECT_EQ(state.currentPlayer, 4);
    EXPECT_EQ(state.player(4).moves, 0);
    EXPECT_EQ(window.statusPanel(4), "Hráč 4");
    EXPECT_EQ(window.statusPanel(5), "Tah 0");
    PassTurn(state, window);
    EXPECT_EQ(state.currentPlayer, 3);
    EXPECT_EQ(state.player(3).moves, 1);
    EXPECT_EQ(window.statusPanel(5), "Tah 1");
}

TEST_F(PassTurnTest, SitOutCountsDownWithAMessageAndAMoveEachTurn)
{
    car().state = PlayerState::NoPlayer;
    race({1, 2});
    state.player(2).state = PlayerState::SitOut3;
    state.player(2).moves = 4;
    state.currentPlayer = 1;
    const QStringList expected = {"Hráč 2 ještě tři tahy nehraje.", "Hráč 2 ještě dva tahy nehraje.", "Hráč 2 ještě jeden tah nehraje."};
    for (int turn = 0; turn < 3; ++turn) {
        window.boxes.clear();
        PassTurn(state, window);
        EXPECT_EQ(state.currentPlayer, 1);
        ASSERT_EQ(window.boxes.size(), 1u);
        EXPECT_EQ(window.boxes[0].prompt, expected[turn]);
        EXPECT_EQ(window.boxes[0].title, "Nehrajete...");
        EXPECT_EQ(window.boxes[0].style, StyleInformation);
        EXPECT_EQ(state.player(2).moves, 5 + turn);
        EXPECT_EQ(window.panels[8], "v = 0");
    }
    window.boxes.clear();
    PassTurn(state, window);
    EXPECT_EQ(state.currentPlayer, 2);
    EXPECT_TRUE(window.boxes.empty());
    EXPECT_EQ(state.player(2).moves, 8);
}

TEST_F(PassTurnTest, SittingOutWithAutoCentringCentresOnTheInertiaPoint)
{
    car().state = PlayerState::NoPlayer;
    race({1, 2});
    window.options[MenuOption::AutoCentre] = true;
    state.zoom = 0.5f;
    state.player(2).state = PlayerState::SitOut1;
    state.player(2).aimX = 201;  // 100.5 → 100
    state.player(2).aimY = 83;   // 41.5 → 42
    state.currentPlayer = 1;
    PassTurn(state, window);
    EXPECT_TRUE(window.calls.contains("centre 100,42"));
    EXPECT_TRUE(window.calls.contains("clear drawings"));
}

TEST_F(PassTurnTest, NoCarLeftEndsTheRace)
{
    car().state = PlayerState::CrashedOut;
    state.player(2).state = PlayerState::Finished;
    state.player(2).moves = 9.5;
    state.playersRacing = 0;
    PassTurn(state, window);
    EXPECT_FALSE(state.raceRunning);
    EXPECT_EQ(window.calls, (QStringList{"race view finished", "results"}));
    EXPECT_EQ(state.OrderOfFinish, (std::vector<quint8>{2, 1}));
    EXPECT_EQ(state.newRecordPlayer, 2);
}

TEST_F(PassTurnTest, MiscountedRaceEndsInsteadOfSearchingForever)
{
    car().state = PlayerState::Finished;
    state.playersRacing = 1;  // no car is left, whatever the count says
    PassTurn(state, window);
    EXPECT_FALSE(state.raceRunning);
    EXPECT_TRUE(window.calls.contains("results"));
}

TEST_F(TurnCycleTest, TheComputerAsksItselfNothingButPaysTheSame)
{
    car().driver = DriverKind::Racer;
    // A crash it chose: made at once, the penalty and the sound as for a person.
    EXPECT_TRUE(ConfirmCrash(state, window, 1.5f));
    EXPECT_EQ(car().state, PlayerState::SitOut2);
    EXPECT_TRUE(window.calls.contains("sound 3"));
    // Too fast: out of the race, without the notice.
    car().state = PlayerState::Racing;
    EXPECT_TRUE(ConfirmCrash(state, window, 3.5f));
    EXPECT_EQ(car().state, PlayerState::CrashedOut);
    EXPECT_EQ(state.playersRacing, 0);
    // A wrong checkpoint and the finish likewise.
    state.playersRacing = 2;
    car().state = PlayerState::Racing;
    EXPECT_TRUE(ConfirmWrongCheckpoint(state, window));
    EXPECT_EQ(car().state, PlayerState::Disqualified);
    car().state = PlayerState::Racing;
    car().moves = 12;
    FinishCar(state, window, 0.5f);
    EXPECT_EQ(car().moves, 11.5);
    EXPECT_TRUE(window.boxes.empty());
}

TEST_F(PassTurnTest, AComputerSittingOutIsNotAnnounced)
{
    car().state = PlayerState::NoPlayer;
    race({1, 2});
    state.player(2).state = PlayerState::SitOut2;
    state.player(2).driver = DriverKind::Beginner;
    state.player(2).moves = 4;
    state.currentPlayer = 1;
    PassTurn(state, window);
    EXPECT_EQ(state.currentPlayer, 1);
    EXPECT_EQ(state.player(2).state, PlayerState::SitOut1);
    EXPECT_EQ(state.player(2).moves, 5);  // the turn sat out still counts
    EXPECT_TRUE(window.boxes.empty());
    EXPECT_TRUE(window.calls.contains("turn given"));
}

}  // namespace
