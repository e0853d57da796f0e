// The computer drivers through the race engine, without a window: legal moves by the live rules,
// finishes from every start position on every bundled track, the master against the committed
// records, repeatable races, and tracks that make driving hard.

#include "files/RecordFile.h"
#include "files/TrackFile.h"
#include "race/ComputerDriver.h"
#include "race/MoveCommit.h"
#include "race/MoveGeometry.h"
#include "race/MoveTrial.h"
#include "race/RaceStart.h"
#include "race/ResetRace.h"
#include "race/StartPositions.h"
#include "race/TrackDistances.h"
#include "tests/support/RecordingGameWindow.h"
#include "tests/support/SmallTrackFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <tuple>

namespace {

const QString BundledTracks = QStringLiteral(TRASOVKY_SOURCE_DIR "/tracks/");

// A loaded bundled track, measured once for the drivers of all its tests.
struct LoadedTrack {
    RaceState state;
    RecordingGameWindow window;
    std::unique_ptr<ComputerDriver> driver;
    std::unique_ptr<TrackDistances> distances;  // for the lower bound on every ride's moves
    double recordMoves = 0;

    explicit LoadedTrack(const QString& name)
    {
        ReadLanguageLayout(state);
        state.zoom = 1;
        LoadTrack(state, window, nullptr, BundledTracks + name + ".trt");
        recordMoves = state.recordMoves;
        driver = std::make_unique<ComputerDriver>(state);
        distances = std::make_unique<TrackDistances>(state);
    }
};

LoadedTrack& loaded(const QString& name)
{
    static std::map<QString, std::unique_ptr<LoadedTrack>> tracks;
    auto& track = tracks[name];
    if (!track)
        track = std::make_unique<LoadedTrack>(name);
    return *track;
}

// The rides of a race: each car's positions from its start on.
struct RaceRun {
    std::map<int, std::vector<TrackPoint>> rides;
    int turns = 0;
    QStringList faults;
};

// Plays a race of the given drivers (player i + 1 drives kinds[i]) to the end, or for at most
// maxTurns turns, through the engine: the computer chooses the starts and every move, each checked
// against the rules before it is made.
RaceRun race(LoadedTrack& track, const std::vector<DriverKind>& kinds, quint64 seed, int maxTurns = 1500,
             std::optional<int> onlyStart = std::nullopt)
{
    RaceState& state = track.state;
    RecordingGameWindow& window = track.window;
    ResetRace(state, window);
    state.AskBeforeCrash = true;
    std::array<PlayerEntry, PlayerSlots> rows;
    for (std::size_t i = 0; i < kinds.size(); ++i)
        rows[i] = {QStringLiteral("Řidič %1").arg(i + 1), colorValue(40 * static_cast<int>(i), 0, 0), true, kinds[i]};
    StartRace(state, rows, seed);
    RaceRun run;
    while (!state.raceRunning && run.turns < PlayerSlots) {
        const int player = state.currentPlayer;
        ChooseStartPosition(state, window, onlyStart.value_or(track.driver->chooseStart(state, player)));
        run.rides[player].push_back({state.player(player).posX, state.player(player).posY});
        ++run.turns;
    }
    while (state.raceRunning && run.turns < maxTurns) {
        const int player = state.currentPlayer;
        const PlayerRecord& car = state.player(player);
        const TrackPoint position{car.posX, car.posY}, aim{car.aimX, car.aimY};
        const TrackPoint to = track.driver->chooseTarget(state, player);
        if (!isAllowedPoint(state, position, aim, to) || !IsAllowedTarget(state, static_cast<float>(to.x), static_cast<float>(to.y)))
            run.faults << QStringLiteral("player %1 turn %2: (%3, %4) outside the circle").arg(player).arg(run.turns).arg(to.x).arg(to.y);
        if (IsOutsideTrackPicture(state, to.x, to.y))
            run.faults << QStringLiteral("player %1 turn %2: (%3, %4) off the picture").arg(player).arg(run.turns).arg(to.x).arg(to.y);
        const MoveTrialResult trial = tryMove(state, position, to, car.checkpointsPassed);
        const bool slowCrash = trial.crashed && trial.crashSpeed < 3.0;
        if (!trial.legal && !(slowCrash && car.driver == DriverKind::Beginner))
            run.faults << QStringLiteral("player %1 turn %2: a move the rules do not let through").arg(player).arg(run.turns);
        CommitMoveTo(state, window, to);
        run.rides[player].push_back(to);
        ++run.turns;
    }
    return run;
}

using TrackAndStrength = std::tuple<const char*, DriverKind>;

class DriverOnBundledTrack : public ::testing::TestWithParam<TrackAndStrength> {};

TEST_P(DriverOnBundledTrack, FinishesFromEveryStartPositionWithLegalMovesOnly)
{
    const auto [name, kind] = GetParam();
    LoadedTrack& track = loaded(QString::fromLatin1(name));
    ASSERT_TRUE(track.window.boxes.empty());
    for (int start = 1; start <= track.state.startCount; ++start) {
        const RaceRun run = race(track, {kind}, 20261210 + start, 1500, start);
        EXPECT_TRUE(run.faults.isEmpty()) << name << " from " << start << ": " << run.faults.join("; ").toStdString();
        EXPECT_EQ(track.state.player(1).state, PlayerState::Placed) << name << " from " << start << " after " << run.turns << " turns";
        // No ride beats the lower bound on the moves from its start.
        const TrackPoint from = run.rides.at(1).front();
        EXPECT_LE(movesLowerBound(track.state, track.distances->remaining(0, from.x, from.y)), track.state.player(1).moves)
            << name << " from " << start;
        // The master drives a whole lap at least as well as the track's committed record.
        if (kind == DriverKind::Master && start == 1) {
            EXPECT_LE(track.state.player(1).moves, track.recordMoves) << name;
        }
    }
}

std::string trackAndStrengthName(const ::testing::TestParamInfo<TrackAndStrength>& info)
{
    static const char* const strengths[] = {"Person", "Beginner", "Racer", "Master"};
    return std::string(std::get<0>(info.param)) + strengths[static_cast<int>(std::get<1>(info.param))];
}

INSTANTIATE_TEST_SUITE_P(AllTracks, DriverOnBundledTrack,
                         ::testing::Combine(::testing::Values("Rybnik", "Kladivnice", "Serpentiny", "Vysocina"),
                                            ::testing::Values(DriverKind::Beginner, DriverKind::Racer, DriverKind::Master)),
                         trackAndStrengthName);

TEST(ComputerDriver, TheSameSeedDrivesTheSameRace)
{
    LoadedTrack& track = loaded(QStringLiteral("Rybnik"));
    const std::vector<DriverKind> kinds{DriverKind::Beginner, DriverKind::Racer, DriverKind::Beginner};
    const RaceRun first = race(track, kinds, 77);
    const RaceRun again = race(track, kinds, 77);
    const RaceRun other = race(track, kinds, 78);
    EXPECT_EQ(first.rides, again.rides);
    EXPECT_NE(first.rides, other.rides);  // a beginner's line follows the seed
}

TEST(ComputerDriver, TenComputersFinishAndTheStrongerAreAheadOnAverage)
{
    LoadedTrack& track = loaded(QStringLiteral("Rybnik"));
    const std::vector<DriverKind> kinds{DriverKind::Beginner, DriverKind::Master, DriverKind::Racer, DriverKind::Beginner,
                                        DriverKind::Racer,    DriverKind::Master, DriverKind::Beginner, DriverKind::Racer,
                                        DriverKind::Beginner, DriverKind::Master};
    std::map<DriverKind, double> total;
    for (quint64 seed : {1u, 2u, 3u}) {
        const RaceRun run = race(track, kinds, seed, 4000);
        EXPECT_TRUE(run.faults.isEmpty()) << run.faults.join("; ").toStdString();
        EXPECT_FALSE(track.state.raceRunning) << "seed " << seed;
        for (int player = 1; player <= PlayerSlots; ++player) {
            EXPECT_EQ(track.state.player(player).state, PlayerState::Placed) << "seed " << seed << " player " << player;
            total[kinds[static_cast<std::size_t>(player - 1)]] += track.state.player(player).moves;
        }
        // Nobody was asked anything for the computer.
        EXPECT_TRUE(track.window.boxes.empty()) << track.window.boxes.front().prompt.toStdString();
    }
    const double master = total[DriverKind::Master] / 9, racer = total[DriverKind::Racer] / 9, beginner = total[DriverKind::Beginner] / 12;
    EXPECT_LT(master, racer);
    EXPECT_LT(racer, beginner);
}

// Small tracks of the test fixture: a 100 × 50 straight, the barrier from x = 90 on, checkpoint 1
// red then blue at x 40-43, the finish white then black at x 60-63; start at (10, 25).
class DriverOnSmallTrack : public SmallTrackFixture {
protected:
    void SetUp() override
    {
        SmallTrackFixture::SetUp();
        state.startLine = {TrackPoint{10, 25}, TrackPoint{10, 25}};
        state.startCount = 1;
        state.trackRaster = TrackRaster(state.trackRaster.image(), Road);
        car().driver = DriverKind::Master;
        standAt(10, 25);
    }

    // Drives the computer's car for at most turns turns; gives the faults seen.
    QStringList drive(int turns)
    {
        ComputerDriver driver(state);
        QStringList faults;
        for (int turn = 0; turn < turns && state.raceRunning; ++turn) {
            PlayerRecord& p = car();
            p.aimX = 2 * p.posX - p.prevX;
            p.aimY = 2 * p.posY - p.prevY;
            const TrackPoint to = driver.chooseTarget(state, 1);
            if (!isAllowedPoint(state, {p.posX, p.posY}, {p.aimX, p.aimY}, to))
                faults << QStringLiteral("turn %1: outside the allowed area").arg(turn);
            const MoveTrialResult trial = tryMove(state, {p.posX, p.posY}, to, p.checkpointsPassed);
            if (!trial.legal)
                faults << QStringLiteral("turn %1: a move the rules do not let through").arg(turn);
            if (trial.finished) {
                p.state = PlayerState::Finished;
                break;
            }
            p.checkpointsPassed = static_cast<quint8>(trial.passed);
            p.prevX = p.posX;
            p.prevY = p.posY;
            p.posX = to.x;
            p.posY = to.y;
        }
        return faults;
    }
};

TEST_F(DriverOnSmallTrack, ASpeedLimitBelowTheStepLengthIsKept)
{
    state.speedLimit = 5;
    const QStringList faults = drive(40);
    EXPECT_TRUE(faults.isEmpty()) << faults.join("; ").toStdString();
    EXPECT_EQ(car().state, PlayerState::Finished);
}

TEST_F(DriverOnSmallTrack, AWalledOffFinishLeavesTheCarStandingLegally)
{
    // A barrier across the road before the finish: the finish cannot be reached.
    QImage image = state.trackRaster.image();
    QPainter painter(&image);
    painter.fillRect(50, 0, 3, 50, QColor(0, 160, 0));
    painter.end();
    state.trackRaster = TrackRaster(image, Road);
    const QStringList faults = drive(30);
    EXPECT_TRUE(faults.isEmpty()) << faults.join("; ").toStdString();
    EXPECT_NE(car().state, PlayerState::Finished);
    // It has come to rest: moves of nothing, never into the barrier.
    EXPECT_EQ(car().posX, car().prevX);
    EXPECT_EQ(car().posY, car().prevY);
    EXPECT_LT(car().posX, 50);
}

TEST_F(DriverOnSmallTrack, AHugeCircleIsSampledAndStillGivesLegalTargets)
{
    // A step length far larger than the track: the circle has billions of whole points.
    state.stepLength = 30000;
    const QStringList faults = drive(3);
    EXPECT_TRUE(faults.isEmpty()) << faults.join("; ").toStdString();
}

TEST_F(DriverOnSmallTrack, TheOnlyStartPositionIsChosen)
{
    ComputerDriver driver(state);
    car().state = PlayerState::ChoosingStart;
    EXPECT_EQ(driver.chooseStart(state, 1), 1);
}

}  // namespace
