#include "files/RecordCheck.h"
#include "files/RecordCheckCommand.h"
#include "files/RecordChecksum.h"
#include "files/RecordFile.h"
#include "files/TrackFile.h"
#include "shell/MessageBoxStyle.h"
#include "shell/Windows1250.h"
#include "tests/support/SmallTrackFixture.h"

#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

namespace {

class RecordCheckTest : public SmallTrackFixture {
protected:
    // Checks the ride on the test track whose only start position is the ride's first point.
    CheckCode check(std::vector<TrackPoint> points, double moves)
    {
        if (!points.empty()) {
            state.startLine = {points.front(), points.front()};
            state.startCount = 1;
        }
        return checkFromStartLine(std::move(points), moves);
    }
    CheckCode checkFromStartLine(std::vector<TrackPoint> points, double moves)
    {
        state.recordRide = {TrackPoint{}};
        state.recordRide.insert(state.recordRide.end(), points.begin(), points.end());
        state.recordMoves = moves;
        return CheckRecord(state);
    }

    // Paints more barrier onto the test track.
    void addBarrier(const QRect& area)
    {
        QImage image = state.trackRaster.image();
        QPainter painter(&image);
        painter.fillRect(area, QColor(0, 160, 0));
        painter.end();
        state.trackRaster = TrackRaster(image, state.trackBackColor);
    }
};

// Start, then through checkpoint 1, then over the finish at 12 of 16 samples: 2.75 moves.
const std::vector<TrackPoint> straightRide = {{30, 20}, {38, 20}, {50, 20}, {66, 20}};

TEST_F(RecordCheckTest, ValidRideAndItsStoredMoves)
{
    const struct {
        double moves;
        CheckCode code;
    } cases[] = {{2.75, CheckCode::RecordValid}, {2.7500004, CheckCode::RecordValid}, {2.750001, CheckCode::NotFinished}, {3.75, CheckCode::NotFinished}, {0, CheckCode::NotFinished}};
    for (const auto& c : cases)
        EXPECT_EQ(check(straightRide, c.moves), c.code) << c.moves;
}

TEST_F(RecordCheckTest, RideMustBeginAtAStartPosition)
{
    struct Case {
        const char* label;
        TrackPoint a, b;
        int count;
        CheckCode code;
    };
    // straightRide begins at (30, 20).
    const Case cases[] = {
        {"the only position, in the middle of the line", {30, 30}, {30, 10}, 1, CheckCode::RecordValid},
        {"position 2 of 3: middles at y = 15, 20, 25", {30, 30}, {30, 10}, 3, CheckCode::RecordValid},
        {"two positions: -20 / 3 rounds to -7, middles at y = 23 and 16", {30, 30}, {30, 10}, 2, CheckCode::NotAnAllowedMove},
        {"a line one unit to the right", {31, 30}, {31, 10}, 1, CheckCode::NotAnAllowedMove},
    };
    for (const Case& c : cases) {
        state.startLine = {c.a, c.b};
        state.startCount = static_cast<quint8>(c.count);
        EXPECT_EQ(checkFromStartLine(straightRide, 2.75), c.code) << c.label;
    }
}

TEST_F(RecordCheckTest, FinishFractionCountsAsLivePlayStoresIt)
{
    // The last move, 15 -> 35 -> 64, passes the finish at sample 27 of 29. Live play stores
    // 2 + 27/29 with the fraction as a 32-bit float: 2.93103450..., 2931035 millionths, where the
    // exact quotient would give 2931034.
    const std::vector<TrackPoint> ride = {{5, 20}, {15, 20}, {35, 20}, {64, 20}};
    const double liveMoves = 2 + static_cast<double>(static_cast<float>(27.0 / 29.0));
    EXPECT_EQ(check(ride, liveMoves), CheckCode::RecordValid);
    EXPECT_EQ(check(ride, 2 + 27.0 / 29.0), CheckCode::NotFinished);
}

TEST_F(RecordCheckTest, EveryMoveMustBeAllowed)
{
    const struct {
        const char* label;
        std::vector<TrackPoint> ride;
        qint16 speedLimit;
        CheckCode code;
    } cases[] = {
        {"first move longer than a step", {{30, 20}, {41, 20}, {50, 20}, {66, 20}}, 0, CheckCode::NotAnAllowedMove},
        {"past the circle", {{30, 20}, {38, 20}, {57, 20}, {66, 20}}, 0, CheckCode::NotAnAllowedMove},
        {"whole part of 10.44 is within it", {{30, 20}, {38, 20}, {56, 23}, {66, 20}}, 0, CheckCode::NotFinished},
        {"past the speed limit", straightRide, 10, CheckCode::NotAnAllowedMove},
        {"within the speed limit", straightRide, 16, CheckCode::RecordValid},
        // Live play tests the pointer, then rounds it: a 10.44 move can follow a click inside a limit of 10.
        {"whole part of 10.44 is within a limit of 10", {{30, 20}, {40, 23}}, 10, CheckCode::NotFinished},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        state.speedLimit = c.speedLimit;
        EXPECT_EQ(check(c.ride, 2.75), c.code);
    }
}

TEST_F(RecordCheckTest, CheckpointsAndTheFinishInOrder)
{
    const struct {
        const char* label;
        std::vector<TrackPoint> ride;
        CheckCode code;
    } cases[] = {
        {"finish entered first", {{55, 20}, {63, 20}}, CheckCode::WrongCheckpointEntered},
        {"checkpoint 1 backwards", {{46, 20}, {38, 20}}, CheckCode::NotAnAllowedMove},
        {"on after the finish", {{30, 20}, {38, 20}, {50, 20}, {66, 20}, {70, 20}}, CheckCode::CrashOutOrFinishTooSoon},
        {"never at the finish", {{30, 20}, {38, 20}, {46, 20}}, CheckCode::NotFinished},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(check(c.ride, 3.6), c.code);
    }
}

TEST_F(RecordCheckTest, EntryMetInOneMoveCountsForTheExitInALaterOne)
{
    // Checkpoint 1 with road between its bands: red 40-41, blue 46-47. The first move ends in the
    // gap, the second crosses the blue band without meeting red again.
    QImage image = state.trackRaster.image();
    QPainter painter(&image);
    painter.fillRect(42, 0, 2, 50, QColor(128, 128, 128));
    painter.fillRect(46, 0, 2, 50, Qt::blue);
    painter.end();
    state.trackRaster = TrackRaster(image, state.trackBackColor);
    EXPECT_EQ(check({{34, 20}, {43, 20}, {50, 20}, {66, 20}}, 2.75), CheckCode::RecordValid);
}

TEST_F(RecordCheckTest, SlowCrashNeedsItsRestingPlaceAndCostsItsTurns)
{
    addBarrier(QRect(20, 40, 10, 10));
    // Into the block at 1.79 step lengths (two turns), resting at (19, 38), then on from rest
    // through checkpoint 1 and over the finish at 19 of 23 samples.
    std::vector<TrackPoint> ride = {{10, 20}, {14, 28}, {22, 44}, {19, 38}, {27, 34}, {43, 26}, {66, 20}};
    const double moves = 5 + 1 + 19.0 / 23.0;
    EXPECT_EQ(check(ride, moves), CheckCode::RecordValid);
    EXPECT_EQ(check(ride, moves - 1), CheckCode::NotFinished);  // a crash counted as one turn

    ride[3] = {20, 38};
    EXPECT_EQ(check(ride, moves), CheckCode::NotAtRestingPlace);

    // A ride that ends on the resting place, or right after the crash, never finished.
    EXPECT_EQ(check({{10, 20}, {14, 28}, {22, 44}, {19, 38}}, 2), CheckCode::NotFinished);
    EXPECT_EQ(check({{10, 20}, {14, 28}, {22, 44}}, 1), CheckCode::NotFinished);
}

TEST_F(RecordCheckTest, FastCrashesEndTheRide)
{
    // Upwards at 1, 2 and then 3 step lengths: over the top edge, or into a barrier along it.
    const std::vector<TrackPoint> ride = {{10, 45}, {10, 35}, {10, 15}, {10, -15}};
    EXPECT_EQ(check(ride, 3), CheckCode::LeftTrackTooFast);
    addBarrier(QRect(0, 0, 100, 3));
    EXPECT_EQ(check(ride, 3), CheckCode::CrashOutOrFinishTooSoon);
}

TEST_F(RecordCheckTest, ImpossibleRidesFailWithoutHarm)
{
    // A vertical move off the left edge from a point off the track cannot be cut back onto it.
    EXPECT_EQ(check({{-5, 20}, {-5, 28}, {-5, 36}}, 2), CheckCode::CheckFailed);
    // More points than a ride can have.
    std::vector<TrackPoint> endless(40000, TrackPoint{30, 20});
    EXPECT_EQ(check(endless, 1), CheckCode::CheckFailed);
    // Far off the track at the limits of 32-bit numbers.
    const CheckCode farOff = check({{2147483647, -2147483647 - 1}, {2147483640, -2147483647}, {2147483633, -2147483646}}, 1);
    EXPECT_TRUE(farOff == CheckCode::NotFinished || farOff == CheckCode::CheckFailed || farOff == CheckCode::NotAnAllowedMove) << int(farOff);
    EXPECT_EQ(check({}, 0), CheckCode::NotFinished);
    EXPECT_EQ(check({{30, 20}}, 0), CheckCode::NotFinished);
}

}  // namespace

// The dialog's record part as the check command drives it.
struct RecordFieldsLog : RecordFields {
    QStringList calls;
    void showRecord(const QString& text) override { calls << "record " + text; }
    void setRecordButtonsEnabled(bool enabled) override { calls << (enabled ? "buttons on" : "buttons off"); }
};

class RecordCheckCommandTest : public RecordCheckTest {
protected:
    void SetUp() override
    {
        RecordCheckTest::SetUp();
        ASSERT_TRUE(dir_.isValid());
        state.trackPicturePath = dir_.filePath("rovinka.wmf");
        recordPath_ = dir_.filePath("rovinka.rek");
        QFile file(recordPath_);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("the record file");
        file.close();
        state.startLine = {TrackPoint{30, 20}, TrackPoint{30, 20}};
        state.startCount = 1;
        state.recordHolder = QStringLiteral("Alena");
        state.recordRide = {TrackPoint{}};
        state.recordRide.insert(state.recordRide.end(), straightRide.begin(), straightRide.end());
    }

    QTemporaryDir dir_;
    QString recordPath_;
    RecordFieldsLog dialog_;
};

TEST_F(RecordCheckCommandTest, ValidRecordIsReportedAndShownAgain)
{
    state.recordMoves = 2.75;
    EXPECT_EQ(CheckLoadedRecord(state, window, &dialog_), CheckCode::RecordValid);
    ASSERT_EQ(window.boxes.size(), 1u);
    EXPECT_EQ(window.boxes[0].prompt, "Kontrola rekordu proběhla úspěšně.");
    EXPECT_EQ(window.boxes[0].style, StyleInformation);
    EXPECT_EQ(window.boxes[0].title, "Rekord...");
    EXPECT_EQ(dialog_.calls, (QStringList{"record probíhá kontrola...", "record " + recordSummary(state)}));
    EXPECT_TRUE(QFile::exists(recordPath_));
}

TEST_F(RecordCheckCommandTest, FailedRecordIsMovedAsideAndForgotten)
{
    QFile old(recordPath_ + ".bak");
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("an older backup");
    old.close();
    state.recordMoves = 3.75;
    EXPECT_EQ(CheckLoadedRecord(state, window, &dialog_), CheckCode::NotFinished);
    ASSERT_EQ(window.boxes.size(), 1u);
    EXPECT_EQ(window.boxes[0].prompt, "Rekord obsahuje neplatné ůdaje.");
    EXPECT_EQ(window.boxes[0].style, StyleCritical);
    EXPECT_EQ(window.boxes[0].title, "Rekord...");
    EXPECT_FALSE(QFile::exists(recordPath_));
    QFile backup(recordPath_ + ".bak");
    ASSERT_TRUE(backup.open(QIODevice::ReadOnly));
    EXPECT_EQ(backup.readAll(), "the record file");
    EXPECT_EQ(state.recordMoves, 0);
    EXPECT_TRUE(state.recordHolder.isEmpty());
    EXPECT_EQ(dialog_.calls.first(), "record probíhá kontrola...");
    EXPECT_TRUE(dialog_.calls.contains("buttons off"));
}

// A hand-made record on a copy of Kolem rybníka: a ride of three points laid out just before the
// finish, 1.3 moves, with the checksum anyone can compute. The game's check refuses it.
TEST(ForgedRecord, RideLaidOutBeforeTheFinishIsRefusedAndMovedAside)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString bundled = QStringLiteral(TRASOVKY_SOURCE_DIR "/tracks/Rybnik");
    for (const char* extension : {".trt", ".wmf"})
        ASSERT_TRUE(QFile::copy(bundled + extension, dir.filePath(QStringLiteral("Rybnik") + extension)));
    const QString ride = QStringLiteral("365:544:375:544:385:544:");
    QFile record(dir.filePath("Rybnik.rek"));
    ASSERT_TRUE(record.open(QIODevice::WriteOnly));
    record.write(encodeWindows1250(QString::number(RecordChecksum(1.3, ride)) + "|Podvodník|dnes|1.3|" + ride + "|255|"));
    record.close();

    RaceState state;
    ReadLanguageLayout(state);
    RecordingGameWindow window;
    LoadTrack(state, window, nullptr, dir.filePath("Rybnik.trt"));
    ASSERT_TRUE(window.boxes.empty());
    ASSERT_DOUBLE_EQ(state.recordMoves, 1.3);  // the checksum lets it in
    EXPECT_EQ(CheckRecord(state), CheckCode::NotAnAllowedMove);
    EXPECT_EQ(CheckLoadedRecord(state, window, nullptr), CheckCode::NotAnAllowedMove);
    ASSERT_EQ(window.boxes.size(), 1u);
    EXPECT_EQ(window.boxes[0].prompt, QStringLiteral("Rekord obsahuje neplatné ůdaje."));
    EXPECT_FALSE(QFile::exists(dir.filePath("Rybnik.rek")));
    EXPECT_TRUE(QFile::exists(dir.filePath("Rybnik.rek.bak")));
    EXPECT_EQ(state.recordMoves, 0);
}
