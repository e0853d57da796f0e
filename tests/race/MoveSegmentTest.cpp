#include "race/MoveCommit.h"
#include "race/MoveSegment.h"
#include "shell/MessageBoxStyle.h"
#include "shell/NumberFormat.h"
#include "tests/support/SmallTrackFixture.h"

namespace {

class MoveSegmentTest : public SmallTrackFixture {
protected:
    // A fresh car standing at (x, y) makes the move by (byX, byY) and answers Yes to any warning.
    MoveOutcome moveFreshCar(qint32 x, qint32 y, qint32 byX, qint32 byY)
    {
        SetUp();
        window = RecordingGameWindow{};
        window.answers = {AnswerYes};
        standAt(x, y);
        return TestMoveSegment(state, window, byX, byY);
    }
};

TEST_F(MoveSegmentTest, StandingStillIsAnOrdinaryMoveWithoutSound)
{
    standAt(20, 20);
    car().maxSpeed = 0.25;
    EXPECT_EQ(TestMoveSegment(state, window, 0, 0), MoveOutcome::OrdinaryMove);
    EXPECT_TRUE(window.calls.isEmpty());
    EXPECT_DOUBLE_EQ(car().maxSpeed, 0.25);
}

TEST_F(MoveSegmentTest, ClearMoveSoundsAndKeepsTheHighestSpeed)
{
    standAt(20, 20, 6, 8);
    EXPECT_EQ(TestMoveSegment(state, window, 0, 0), MoveOutcome::OrdinaryMove);  // to the inertia point: 10 units
    EXPECT_EQ(window.calls, QStringList{"sound 1"});
    EXPECT_DOUBLE_EQ(car().maxSpeed, 1.0);
    standAt(20, 20);
    EXPECT_EQ(TestMoveSegment(state, window, 3, 4), MoveOutcome::OrdinaryMove);  // slower: the highest stays
    EXPECT_DOUBLE_EQ(car().maxSpeed, 1.0);
}

TEST_F(MoveSegmentTest, CheckpointsCountOnlyInOrderAndWhole)
{
    const struct {
        const char* label;
        qint32 fromX, byX;
        quint8 passedBefore;
        MoveOutcome outcome;
        quint8 passedAfter;
    } cases[] = {
        {"through checkpoint 1", 35, 10, 0, MoveOutcome::OrdinaryMove, 1},
        {"into the entry band only", 35, 5, 0, MoveOutcome::OrdinaryMove, 0},
        {"backwards through checkpoint 1", 45, -10, 0, MoveOutcome::OutOfOrder, 0},
        {"finish before checkpoint 1", 55, 10, 0, MoveOutcome::OutOfOrder, 0},
        {"checkpoint 1 again after passing it", 35, 10, 1, MoveOutcome::OutOfOrder, 1},
        {"finish after checkpoint 1", 55, 10, 1, MoveOutcome::CrossedFinish, 2},
        {"both in one move", 35, 30, 0, MoveOutcome::CrossedFinish, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        SetUp();
        window = RecordingGameWindow{};
        window.answers = {AnswerYes, AnswerOk};
        standAt(c.fromX, 20);
        car().checkpointsPassed = c.passedBefore;
        EXPECT_EQ(TestMoveSegment(state, window, c.byX, 0), c.outcome);
        EXPECT_EQ(car().checkpointsPassed, c.passedAfter);
    }
}

TEST_F(MoveSegmentTest, FinishCountsTheFractionOfTheMove)
{
    standAt(55, 20);
    car().checkpointsPassed = 1;
    car().moves = 12;
    EXPECT_EQ(TestMoveSegment(state, window, 10, 0), MoveOutcome::CrossedFinish);
    // The exit band begins at x = 62: sample 7 of 10.
    EXPECT_NEAR(car().moves, 11.7, 1e-6);
    EXPECT_EQ(car().state, PlayerState::Finished);
    EXPECT_EQ(state.playersRacing, 0);
}

TEST_F(MoveSegmentTest, WrongCheckpointAnsweredNoWithdrawsTheMove)
{
    standAt(55, 20);
    window.answers = {AnswerNo};
    EXPECT_EQ(TestMoveSegment(state, window, 10, 0), MoveOutcome::Withdrawn);
    EXPECT_EQ(car().state, PlayerState::Racing);
    EXPECT_EQ(state.playersRacing, 1);
    ASSERT_EQ(window.boxes.size(), 1u);
    EXPECT_EQ(window.boxes[0].style, StyleYesNoDefaultNo);
}

TEST_F(MoveSegmentTest, CrashRestsTwoSamplesBackRoundedTowardsTheCar)
{
    const struct {
        const char* label;
        qint32 fromX, fromY, byX, byY;
        TrackPoint rest;
        PlayerState penalty;
    } cases[] = {
        {"straight into the barrier", 80, 20, 15, 0, {88, 20}, PlayerState::SitOut2},       // barrier met at t = 10
        {"slanting into it", 80, 20, 15, 3, {88, 21}, PlayerState::SitOut2},                // y at t = 8: 21.6 → 21
        {"slanting upwards", 80, 20, 15, -3, {88, 19}, PlayerState::SitOut2},               // 18.4 → 19
        {"standing on the barrier", 90, 20, 5, 0, {88, 20}, PlayerState::SitOut1},          // t = 0: two units behind
        {"one unit before it", 89, 20, 5, 0, {88, 20}, PlayerState::SitOut1},               // t = 1
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(moveFreshCar(c.fromX, c.fromY, c.byX, c.byY), MoveOutcome::Crashed);
        EXPECT_EQ((TrackPoint{car().aimX, car().aimY}), c.rest);
        EXPECT_EQ(car().state, c.penalty);
    }
}

TEST_F(MoveSegmentTest, WithdrawnCrashKeepsTheRaisedSpeedAndNothingElse)
{
    // Through checkpoint 1 and on over the bottom edge at more than 3 step lengths; withdrawn.
    standAt(35, 20);
    window.answers = {AnswerNo};
    EXPECT_EQ(TestMoveSegment(state, window, 10, 40), MoveOutcome::Withdrawn);
    EXPECT_DOUBLE_EQ(car().maxSpeed, std::sqrt(1700.0) / 10);
    EXPECT_EQ(car().checkpointsPassed, 0);
    EXPECT_EQ(car().state, PlayerState::Racing);
    EXPECT_EQ((TrackPoint{car().aimX, car().aimY}), (TrackPoint{35, 20}));
    EXPECT_EQ(state.playersRacing, 1);
}

TEST_F(MoveSegmentTest, CheckpointPassedBeforeACrashCounts)
{
    standAt(35, 35);
    window.answers = {AnswerYes};
    EXPECT_EQ(TestMoveSegment(state, window, 10, 20), MoveOutcome::Crashed);  // over the bottom at 2.24 step lengths
    EXPECT_EQ(car().checkpointsPassed, 1);
    EXPECT_EQ(car().state, PlayerState::SitOut3);
}

TEST_F(MoveSegmentTest, LeavingTheTrackIsACrashAtItsEdge)
{
    const struct {
        const char* label;
        qint32 fromX, fromY, byX, byY;
        TrackPoint rest;
    } cases[] = {
        {"over the top", 50, 5, 0, -10, {50, 0}},
        {"over the bottom, slanting", 20, 45, 4, 10, {21, 49}},  // x = 20 + 4·4/10 = 21.6, towards the car
        {"over the left edge", 3, 20, -8, 6, {0, 22}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(moveFreshCar(c.fromX, c.fromY, c.byX, c.byY), MoveOutcome::Crashed);
        EXPECT_EQ((TrackPoint{car().aimX, car().aimY}), c.rest);
        ASSERT_FALSE(window.boxes.empty());
        const double speed = std::hypot(c.byX, c.byY) / 10;
        EXPECT_TRUE(window.boxes[0].prompt.contains(formatFixed6(static_cast<float>(speed), systemDecimalSeparator())));
    }
}

TEST_F(MoveSegmentTest, PathPreviewSeesTheBarrierButNotAtTheEndPoint)
{
    standAt(80, 20);
    EXPECT_TRUE(PathIsClear(state, 9, 0));    // ends on x = 89
    EXPECT_TRUE(PathIsClear(state, 10, 0));   // ends on the barrier: the end point is not looked at
    EXPECT_FALSE(PathIsClear(state, 11, 0));
    EXPECT_TRUE(PathIsClear(state, 0, 0));
    EXPECT_TRUE(window.calls.isEmpty());
}

}  // namespace

// A long race of ten cars draws more than 32 767 trajectory lines: the segments keep the index of
// their own line, so the one the next move retires is the right one.
TEST_F(MoveSegmentTest, SegmentsPastThirtyTwoThousandLinesKeepTheirLine)
{
    window.lines.resize(40000);
    standAt(20, 20);
    car().segmentLines = {0};
    car().segmentStarts = {{0, 0}};
    CommitMoveTo(state, window, {21, 20});
    CommitMoveTo(state, window, {22, 20});
    EXPECT_EQ(car().segmentLines, (std::vector<qint32>{0, 40001, 40002}));
    window.options[MenuOption::Trajectories] = false;
    CommitMoveTo(state, window, {23, 20});
    EXPECT_FALSE(window.lines[40001].visible) << "line 40002, the one retired";
    EXPECT_TRUE(window.lines[40002].visible);
}
