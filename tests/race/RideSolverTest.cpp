// The ride solver and the measures it stands on: the distances still to drive, the lower bound on
// the moves of any ride, the solver's rides on small tracks drawn here and on the bundled tracks,
// and the tool's solve command.

#include "files/RecordCheck.h"
#include "files/RecordFile.h"
#include "files/TrackFile.h"
#include "race/RideGuide.h"
#include "race/RideSearch.h"
#include "race/StartPositions.h"
#include "race/TrackDistances.h"
#include "shell/NumberFormat.h"
#include "shell/Windows1250.h"
#include "tests/support/SmallTrackFixture.h"
#include "tools/MetafileWriter.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr std::uint32_t Unreachable = TrackDistances::Unreachable;

// The ride replayed by the record check as a stored record would be.
CheckCode checkRide(RaceState& state, const FoundRide& ride)
{
    state.recordRide.assign(1, TrackPoint{});
    state.recordRide.insert(state.recordRide.end(), ride.points.begin(), ride.points.end());
    state.recordMoves = ride.moves;
    return CheckRecord(state);
}

// The straight of SmallTrackFixture (road x 0-89, checkpoint 1 red 40-41 then blue 42-43, the
// finish white 60-61 then black 62-63, step length 10) with one start position at (10, 25).
class RideSolverStraight : public SmallTrackFixture {
protected:
    void SetUp() override
    {
        SmallTrackFixture::SetUp();
        state.startLine = {TrackPoint{10, 20}, TrackPoint{10, 30}};
        state.startCount = 1;
    }

    void paint(const QRect& area, const QColor& colour)
    {
        QImage image = state.trackRaster.image();
        QPainter painter(&image);
        painter.fillRect(area, colour);
        painter.end();
        state.trackRaster = TrackRaster(image, Road);
    }

    TrackPoint start() const { return startPoints(state).at(0); }
};

TEST_F(RideSolverStraight, TheStartPositionIsWhereTheMarkerPutsTheCar)
{
    EXPECT_EQ(start(), (TrackPoint{10, 25}));
}

// Counted by hand along the straight: to the finish's black band at x = 62 every step gains one
// column, so a car left of it at x has 62 - x steps to go, whatever its row.
TEST_F(RideSolverStraight, DistancesCountTheStepsThroughEveryCheckpoint)
{
    const TrackDistances distances(state);
    EXPECT_TRUE(distances.exact());
    EXPECT_EQ(distances.stages(), 2);
    struct Case {
        int passed;
        qint32 x, y;
        std::uint32_t steps;
    };
    const Case cases[] = {
        {0, 10, 25, 52},
        {0, 0, 0, 62},
        {0, 39, 49, 23},
        {0, 41, 7, 21},           // on the red entry band: across it and on
        {1, 44, 10, 18},
        {1, 61, 3, 1},            // on the white entry of the finish: one step to the black
        {1, 62, 3, Unreachable},  // the finish's exit before its entry is no way
        {0, 50, 10, Unreachable}, // between checkpoint 1's exit (a wall before it is passed) and the finish's entry
        {0, 70, 10, Unreachable}, // beyond the finish, walled in by its entry band and the barrier
        {1, 70, 10, Unreachable},
        {0, 95, 10, Unreachable}, // the barrier
        {2, 10, 25, Unreachable}, // no such stage
        {0, -1, 25, Unreachable}, // off the track
        {0, 10, 50, Unreachable},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "passed " << c.passed << " at " << c.x << "," << c.y);
        EXPECT_EQ(distances.remaining(c.passed, c.x, c.y), c.steps);
    }
}

TEST_F(RideSolverStraight, AWrongCheckpointsEntryBandIsAWall)
{
    // A red stripe beyond the finish's entry band would be checkpoint 1 met out of order: a car
    // that has passed checkpoint 1 cannot cross it, and no car can reach the finish through it.
    paint(QRect(50, 0, 2, 50), Qt::red);
    const TrackDistances distances(state);
    EXPECT_EQ(distances.remaining(1, 44, 10), Unreachable);
    EXPECT_EQ(distances.remaining(0, 10, 25), Unreachable);
    EXPECT_EQ(distances.remaining(1, 55, 10), 7u);  // beyond the stripe nothing changed
}

TEST_F(RideSolverStraight, AWallOfBarrierAcrossTheRoadLeavesNoWayToTheFinish)
{
    paint(QRect(50, 0, 3, 50), QColor(0, 160, 0));
    const TrackDistances distances(state);
    EXPECT_EQ(distances.remaining(0, 10, 25), Unreachable);
    EXPECT_EQ(distances.remaining(1, 45, 25), Unreachable);
    EXPECT_EQ(distances.remaining(1, 55, 25), 7u);
    EXPECT_TRUE(std::isinf(movesLowerBound(state, distances.remaining(0, 10, 25))));
    const RideGuide guide(state);
    EXPECT_FALSE(solveRide(state, distances, guide, start()).has_value());
}

// A barrier from the top to row 19 at x = 20 on a 60 × 30 road; one checkpoint, the finish, white
// at x 50-51 and black at 52-53. From (10, 5) a car must get below the barrier before it passes
// column 20: 15 steps to (20, 20) (five down, ten diagonal), 30 more to the white band, 2 across it.
TEST(TrackDistancesWalls, ABarrierForcesTheWayRound)
{
    RaceState state;
    ReadLanguageLayout(state);
    state.trackWidth = 60;
    state.trackHeight = 30;
    state.stepLength = 10;
    state.trackBackColor = colorValue(128, 128, 128);
    state.crashColor = colorValue(0, 160, 0);
    state.checkpoints = {{colorValue(255, 255, 255), colorValue(0, 0, 0)}};
    state.checkpointCount = 1;
    QImage image(60, 30, QImage::Format_RGB32);
    image.fill(qRgb(128, 128, 128));
    QPainter painter(&image);
    painter.fillRect(20, 0, 1, 20, QColor(0, 160, 0));
    painter.fillRect(50, 0, 2, 30, Qt::white);
    painter.fillRect(52, 0, 2, 30, Qt::black);
    painter.end();
    state.trackRaster = TrackRaster(image, state.trackBackColor);

    const TrackDistances distances(state);
    EXPECT_EQ(distances.remaining(0, 10, 5), 47u);
    EXPECT_EQ(distances.remaining(0, 19, 0), 52u);  // 20 down to row 20 first, then 30 + 2
    EXPECT_EQ(distances.remaining(0, 10, 25), 42u); // below the barrier: straight on, 40 + 2
    EXPECT_EQ(distances.remaining(0, 21, 0), 31u);  // behind it
    EXPECT_EQ(distances.remaining(0, 20, 5), Unreachable);
}

// The fewest moves for a number of steps, worked by hand. Step length 10: a committed point may lie
// up to half a diagonal (0.7071) beyond the circle, so move n of a standing car is at most
// n * 10.7071 long, and takes the whole part of that in steps: 10, 21, 32, 42, 53, 64, 74, 85, 96,
// 107, 117, 128, 139, 149, 160, 171, ... (10, 31, 63, 105, ... 1277 after 15 moves, 1448 after 16).
// The last move counts the part of it still needed, less a millionth for the game's float.
TEST_F(RideSolverStraight, MovesLowerBoundWorkedExamples)
{
    struct Case {
        qint16 speedLimit;
        double speed;  // of the move before
        std::uint32_t steps;
        double moves;
    };
    const Case cases[] = {
        {0, 0, 0, 0},
        {0, 0, 10, 1 - 1e-6},                   // the first move, all of it
        {0, 0, 30, 1 + 20.0 / 21 - 1e-6},       // 10, then 20 of 21
        {0, 0, 1396, 15 + 119.0 / 171 - 1e-6},  // 1277 after 15 moves, 119 of the 16th's 171
        {40, 0, 100, 3 + 37.0 / 40 - 1e-6},     // 10, 21, 32, then held at 40: 37 of them
        {4, 0, 30, 7 + 2.0 / 4 - 1e-6},         // a limit below the step length: 4 a move, 7 moves and a half
        {0, 20, 30, 1 - 1e-6},                  // after a move of 20: up to 30 at once
        {0, 0, Unreachable, std::numeric_limits<double>::infinity()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "limit " << c.speedLimit << " speed " << c.speed << " steps " << c.steps);
        state.speedLimit = c.speedLimit;
        if (std::isinf(c.moves))
            EXPECT_EQ(movesLowerBound(state, c.steps, c.speed), c.moves);
        else
            EXPECT_NEAR(movesLowerBound(state, c.steps, c.speed), c.moves, 1e-9);
        if (c.speed == 0) {
            EXPECT_EQ(movesLowerBound(state, c.steps), movesLowerBound(state, c.steps, 0));
        }
    }
}

// From (10, 25) a standing car covers at most 10, then 20, then 30 columns of whole points: it
// stands at x = 40 after two moves at best and meets the black band at x = 62 after 22 of the third
// move's 30: 2.733333 moves, the one ride that does it.
TEST_F(RideSolverStraight, TheSolverFindsTheFastestRideAndTheRecordCheckAcceptsIt)
{
    const TrackDistances distances(state);
    const RideGuide guide(state);
    ASSERT_TRUE(guide.available());
    const std::optional<FoundRide> ride = solveRide(state, distances, guide, start());
    ASSERT_TRUE(ride.has_value());
    EXPECT_EQ(ride->points, (std::vector<TrackPoint>{{10, 25}, {20, 25}, {40, 25}, {70, 25}}));
    EXPECT_DOUBLE_EQ(ride->moves, 2 + static_cast<double>(22.0f / 30.0f));
    EXPECT_EQ(checkRide(state, *ride), CheckCode::RecordValid);
    EXPECT_LE(movesLowerBound(state, distances.remaining(0, 10, 25)), ride->moves);
}

// A speed limit of 4 under a step length of 10: every move at most 4 long, 52 steps in 13 moves,
// the last one all of it to the black band. The bound says the same, less its millionth.
TEST_F(RideSolverStraight, ASpeedLimitBelowTheStepLengthHoldsEveryMove)
{
    state.speedLimit = 4;
    const TrackDistances distances(state);
    const RideGuide guide(state);
    const std::optional<FoundRide> ride = solveRide(state, distances, guide, start());
    ASSERT_TRUE(ride.has_value());
    EXPECT_DOUBLE_EQ(ride->moves, 13);
    for (std::size_t i = 1; i < ride->points.size(); ++i) {
        const qint64 dx = ride->points[i].x - ride->points[i - 1].x, dy = ride->points[i].y - ride->points[i - 1].y;
        EXPECT_LE(dx * dx + dy * dy, 16) << "move " << i;
    }
    EXPECT_EQ(checkRide(state, *ride), CheckCode::RecordValid);
    EXPECT_NEAR(movesLowerBound(state, distances.remaining(0, 10, 25)), 13 - 1e-6, 1e-9);
}

// A straight of width × 100 with `count` checkpoints, each a pair of bands two columns wide, the
// entry of checkpoint k at x = 100 k: from x = 10 the exit band of the last one, at x = 100 count + 2,
// is 100 count - 8 columns away along straight lines through every band.
RaceState straightWithCheckpoints(int width, int count)
{
    RaceState state;
    ReadLanguageLayout(state);
    state.trackWidth = width;
    state.trackHeight = 100;
    state.stepLength = 10;
    state.trackBackColor = colorValue(128, 128, 128);
    state.crashColor = colorValue(0, 160, 0);
    QImage image(width, 100, QImage::Format_RGB32);
    image.fill(qRgb(128, 128, 128));
    QPainter painter(&image);
    for (int k = 1; k <= count; ++k) {
        const QColor entry(k, 0, 100), exit(k, 255, 100);
        state.checkpoints.push_back({colorValue(entry.red(), entry.green(), entry.blue()),
                                     colorValue(exit.red(), exit.green(), exit.blue())});
        painter.fillRect(100 * k, 0, 2, 100, entry);
        painter.fillRect(100 * k + 2, 0, 2, 100, exit);
    }
    painter.end();
    state.checkpointCount = static_cast<quint8>(count);
    state.trackRaster = TrackRaster(image, state.trackBackColor);
    return state;
}

// Where the distances of every stage are more than their budget they are measured in cells and
// bound nothing; the bound comes from straight lines between the bands then.
TEST(TrackDistancesCoarse, StraightLinesBoundWhereTheDistancesAreCoarse)
{
    const TrackPoint start{10, 50};
    {
        // Nine stages of 100 000 pixels: exact distances, and band cells as small as a pixel.
        const RaceState state = straightWithCheckpoints(1000, 9);
        EXPECT_TRUE(TrackDistances(state).exact());
        EXPECT_EQ(straightLineSteps(state, start), 892u);
        EXPECT_EQ(straightLineSteps(state, start), TrackDistances(state).remaining(0, start.x, start.y));
    }
    {
        // A hundred stages of a million pixels: distances in cells; the bands in cells of 2 pixels,
        // each of the 200 lines counted short by up to one.
        const RaceState state = straightWithCheckpoints(10100, 100);
        EXPECT_FALSE(TrackDistances(state).exact());
        const std::uint32_t steps = straightLineSteps(state, start);
        EXPECT_LE(steps, 9992u);
        EXPECT_GE(steps, 9992u - 2 * 200);
        const std::optional<FoundRide> ride = solveRide(state, TrackDistances(state), RideGuide(state), start, {{100}, 1000});
        ASSERT_TRUE(ride.has_value());
        EXPECT_LE(movesLowerBound(state, steps), ride->moves);
    }
}

// The committed record of every bundled track and the solver's ride from start position 1 are
// never faster than the lower bound, and the solver's ride passes the record check.
class BundledTrackSolver : public ::testing::TestWithParam<const char*> {};

TEST_P(BundledTrackSolver, NoRideBeatsTheLowerBound)
{
    RaceState state;
    ReadLanguageLayout(state);
    const QString path = QStringLiteral(TRASOVKY_SOURCE_DIR "/tracks/") + GetParam() + QStringLiteral(".trt");
    ASSERT_EQ(ReadTrackFiles(state, path).error, TrackFileError::None);
    ASSERT_EQ(readRecordFile(state, recordFilePathFor(path)).error, RecordReadError::None);
    const double recordMoves = state.recordMoves;
    const TrackPoint recordStart = state.recordRide.at(1);

    const TrackDistances distances(state);
    ASSERT_TRUE(distances.exact());
    const auto bound = [&](TrackPoint start) { return movesLowerBound(state, distances.remaining(0, start.x, start.y)); };
    const std::vector<TrackPoint> starts = startPoints(state);
    for (const TrackPoint& start : starts)
        EXPECT_TRUE(std::isfinite(bound(start))) << start.x << "," << start.y;
    EXPECT_LE(bound(recordStart), recordMoves);

    const RideGuide guide(state);
    RideSolverSettings settings;
    settings.beamWidths = {250};
    const std::optional<FoundRide> ride = solveRide(state, distances, guide, starts.front(), settings);
    ASSERT_TRUE(ride.has_value());
    EXPECT_EQ(ride->points.front(), starts.front());
    EXPECT_LE(bound(starts.front()), ride->moves);
    EXPECT_EQ(checkRide(state, *ride), CheckCode::RecordValid);
    if (QString::fromLatin1(GetParam()) == QLatin1String("Rybnik")) {
        EXPECT_LE(ride->moves, recordMoves);
    }
}

INSTANTIATE_TEST_SUITE_P(Tracks, BundledTrackSolver, ::testing::Values("Rybnik", "Kladivnice", "Serpentiny", "Vysocina"),
                         [](const auto& info) { return std::string(info.param); });

// The tool's solve command on a 200 × 60 straight written to files: road, the finish as a white
// band at x 150-153 and a black one at 154-157, one start position at (20, 30).
class SolveCommandTest : public ::testing::Test {
protected:
    struct Run {
        int exitCode = -1;
        QString out;
        QString err;
    };

    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        path_ = dir_.filePath("rovinka.trt");
    }

    void writeTrack(bool walledOff, int startCount = 1)
    {
        writeFile(path_, encodeWindows1250(QStringLiteral("Rovinka|200|60|10|0|128128128|000160000|1|255255255|000000000|"
                                                          "%1|20|10|20|50|Krátká rovinka.")
                                               .arg(startCount)));
        MetafileWriter picture;
        picture.setPlaceable(QRect(0, 0, 200, 60), 96);
        picture.setWindowOrg(0, 0);
        picture.setWindowExt(200, 60);
        picture.selectObject(picture.createPen(5, 0, 0));
        const auto band = [&](int x, int width, ColorValue colour) {
            const int brush = picture.createBrush(0, colour);
            picture.selectObject(brush);
            picture.rectangle(QRect(x, 0, width, 60));
        };
        band(150, 4, colorValue(255, 255, 255));
        band(154, 4, colorValue(0, 0, 0));
        if (walledOff)
            band(100, 4, colorValue(0, 160, 0));
        writeFile(trackPicturePathFor(path_), picture.bytes());
    }

    void writeFile(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    static Run runTool(const QStringList& arguments)
    {
        QProcess process;
        process.start(QStringLiteral(TRASOVKY_TOOL), arguments);
        EXPECT_TRUE(process.waitForFinished(60000));
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    // The value of a key=value line of the output.
    static QString value(const QString& out, const QString& key)
    {
        for (const QString& line : out.split(u'\n'))
            if (line.startsWith(key + u'='))
                return line.mid(key.size() + 1);
        return QString();
    }

    QTemporaryDir dir_;
    QString path_;
};

TEST_F(SolveCommandTest, WritesARecordThatTheCheckAccepts)
{
    writeTrack(false);
    const QString record = dir_.filePath("rovinka.rek");
    const Run solved = runTool({"solve", path_, "--write", record});
    ASSERT_EQ(solved.exitCode, 0) << solved.err.toStdString();
    EXPECT_EQ(value(solved.out, "start"), "1");
    const std::optional<double> moves = parseDecimal(value(solved.out, "moves"));
    const std::optional<double> bound = parseDecimal(value(solved.out, "lowerBound"));
    ASSERT_TRUE(moves && bound);
    EXPECT_EQ(value(solved.out, "moves").size(), value(solved.out, "moves").indexOf(u'.') + 7);  // six decimals
    EXPECT_LE(*bound, *moves);
    EXPECT_GT(*bound, 0);
    EXPECT_EQ(value(solved.out, "lowerBoundFrom"), "distances");

    const Run checked = runTool({"check", path_});
    EXPECT_EQ(checked.exitCode, 0) << checked.out.toStdString();
    EXPECT_TRUE(checked.out.startsWith("CheckCode=0\n"));
    RaceState state;
    ReadLanguageLayout(state);
    ASSERT_EQ(ReadTrackFiles(state, path_).error, TrackFileError::None);
    ASSERT_EQ(readRecordFile(state, record).error, RecordReadError::None);
    EXPECT_EQ(state.recordHolder, "Trasovky");
    EXPECT_NEAR(state.recordMoves, *moves, 1e-6);
    EXPECT_EQ(state.recordRide.at(1), (TrackPoint{20, 30}));
}

TEST_F(SolveCommandTest, EveryStartPositionIsTriedAndTheBestReported)
{
    writeTrack(false, 3);
    const Run run = runTool({"solve", path_});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const int start = value(run.out, "start").toInt();
    EXPECT_GE(start, 1);
    EXPECT_LE(start, 3);
    // No start does better than the one reported.
    const std::optional<double> best = parseDecimal(value(run.out, "moves"));
    ASSERT_TRUE(best);
    for (const char* other : {"1", "2", "3"}) {
        const Run one = runTool({"solve", path_, "--start", other});
        ASSERT_EQ(one.exitCode, 0) << one.err.toStdString();
        EXPECT_GE(*parseDecimal(value(one.out, "moves")) + 1e-6, *best) << other;
    }
}

TEST_F(SolveCommandTest, AFinishWalledOffHasNoRide)
{
    writeTrack(true);
    const QString record = dir_.filePath("rovinka.rek");
    const Run run = runTool({"solve", path_, "--write", record});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "no ride found\n");
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_FALSE(QFile::exists(record));
}

TEST_F(SolveCommandTest, WrongUsageExitsWithTwo)
{
    writeTrack(false);
    const QStringList cases[] = {
        {"solve", path_, "--start", "2"},  // the track has one start position
        {"solve", path_, "--start", "0"},
        {"solve", path_, "--start", "x"},
        {"solve", path_, "--start"},
        {"solve", path_, "--start", "1", "--start", "1"},
        {"solve", path_, "--write"},
        {"solve", path_, "--fast"},
        {"solve", path_, path_},
        {"solve"},
    };
    for (const QStringList& arguments : cases) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const Run run = runTool(arguments);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_FALSE(run.err.isEmpty());
    }
}

TEST_F(SolveCommandTest, AMissingTrackIsTheGamesMessage)
{
    const Run run = runTool({"solve", path_});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "Soubor " + path_ + " nenalezen!\n");
}

}  // namespace
