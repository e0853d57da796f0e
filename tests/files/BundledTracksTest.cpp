// The tracks shipped in tracks/: each one loads as the game reads it, is exactly what the track
// maker makes from its description in tracks/src, and can be raced: the barrier closes the road
// in, the checkpoints cannot be missed and are met in order, and backing off the grid never
// counts as a finish. And the track maker refuses a description that would make a track unfair.

#include "files/TrackFile.h"
#include "race/CheckpointProgress.h"
#include "race/MoveCommit.h"
#include "race/SegmentWalk.h"
#include "race/StartPositions.h"
#include "tools/track_maker/TrackDesign.h"
#include "tools/track_maker/TrackFiles.h"
#include "tools/track_maker/TrackLayout.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace {

const QString TracksDir = QStringLiteral(TRASOVKY_SOURCE_DIR "/tracks");

QStringList baseNames(const QString& dir, const QString& pattern)
{
    QStringList names;
    for (const QFileInfo& file : QDir(dir).entryInfoList({pattern}, QDir::Files, QDir::Name))
        names << file.completeBaseName();
    return names;
}

QStringList bundledTracks()
{
    return baseNames(TracksDir, QStringLiteral("*.trt"));
}

std::vector<std::string> bundledTrackNames()
{
    std::vector<std::string> names;
    for (const QString& name : bundledTracks())
        names.push_back(name.toStdString());
    return names;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString at(TrackPoint p)
{
    return QStringLiteral("(%1, %2)").arg(p.x).arg(p.y);
}

const char* eventName(SampleEvent event)
{
    switch (event) {
    case SampleEvent::None:
        return "no decision";
    case SampleEvent::Crash:
        return "a crash";
    case SampleEvent::WrongEntry:
        return "a wrong checkpoint";
    case SampleEvent::ExitWithoutEntry:
        return "an exit colour before its entry colour";
    case SampleEvent::Finished:
        return "the finish";
    }
    return "?";
}

// How a ride over the track ended.
struct RideEnd {
    SampleEvent event = SampleEvent::None;  // the deciding sample, None when the ride ran out of points
    int passed = 0;                         // checkpoints passed in order
    TrackPoint where;                       // the car's position before the move that decided
    size_t move = 0;                        // the number of that move
    QString fault;                          // a move the rules do not allow
};

// Drives the points one move each, from a standstill at the first one, as live play walks a move
// over the raster: every move must lie in the circle of allowed moves (and within the speed
// limit), and the ride ends at the first sample that decides anything.
RideEnd drive(const RaceState& state, const std::vector<TrackPoint>& points)
{
    RideEnd end;
    CheckpointProgress progress;
    TrackPoint previous = points.front(), position = points.front();
    for (size_t i = 1; i < points.size(); ++i) {
        const TrackPoint to = points[i];
        const double offX = to.x - (2.0 * position.x - previous.x), offY = to.y - (2.0 * position.y - previous.y);
        const double length = std::hypot(to.x - position.x, to.y - position.y);
        if (std::floor(std::hypot(offX, offY)) > state.stepLength || (state.speedLimit > 0 && length > state.speedLimit)) {
            end.fault = QStringLiteral("the move from %1 to %2 is not allowed").arg(at(position), at(to));
            return end;
        }
        const SegmentWalk walk(position, to.x - position.x, to.y - position.y);
        progress.enteredNext = false;
        walk.walk(state.trackRaster, walk.length(), [&](qint64, ColorValue color) {
            end.event = classifySample(state, progress, color);
            return end.event != SampleEvent::None;
        });
        end.passed = progress.passed;
        end.where = position;
        end.move = i;
        if (end.event != SampleEvent::None)
            return end;
        previous = position;
        position = to;
    }
    return end;
}

class BundledTrackTest : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override
    {
        ReadLanguageLayout(state_);
        const TrackFileResult result = ReadTrackFiles(state_, file(".trt"));
        ASSERT_EQ(result.error, TrackFileError::None) << result.message.toStdString();

        QString error;
        const QByteArray source = fileBytes(TracksDir + "/src/" + QString::fromStdString(GetParam()) + ".track");
        ASSERT_FALSE(source.isEmpty()) << "no description tracks/src/" << GetParam() << ".track";
        const std::optional<TrackDesign> design = parseTrackDesign(QString::fromUtf8(source), &error);
        ASSERT_TRUE(design) << error.toStdString();
        layout_.emplace(layOutTrack(*design, problems_));
    }

    // The track's file with this extension in tracks/.
    QString file(const char* extension) const
    {
        return TracksDir + '/' + QString::fromStdString(GetParam()) + QLatin1String(extension);
    }

    // The start marker centres as the game lays them out.
    std::vector<TrackPoint> startPoints()
    {
        LayOutStartPositions(state_);
        std::vector<TrackPoint> points;
        for (const TrackPoint& corner : state_.startPositions)
            points.push_back({corner.x + StartMarkerSize / 2, corner.y + StartMarkerSize / 2});
        return points;
    }

    bool isCheckpointColor(ColorValue color) const
    {
        return std::any_of(state_.checkpoints.begin(), state_.checkpoints.end(), [color](const CheckpointColors& checkpoint) {
            return checkpoint.firstColor == color || checkpoint.secondColor == color;
        });
    }

    // Points about 7 units apart from the start line a lap forwards (direction +1) or backwards
    // (-1): along the middle of the road (side 0) or 3 units inside the barrier on the driver's
    // left (+1) or right (-1).
    std::vector<TrackPoint> lane(int side, int direction) const
    {
        const TrackLayout& layout = *layout_;
        const CentreLine& line = layout.line;
        const double length = line.closed() ? line.length() : (direction > 0 ? line.length() - layout.startArc : layout.startArc);
        const int steps = static_cast<int>(length / 7);
        std::vector<TrackPoint> points;
        for (int i = 0; i <= steps; ++i) {
            const double s = layout.startArc + direction * 7.0 * i;
            const double offset = side * (layout.drivableHalfWidth(s) - 3);
            const QPoint p = wholePoint(line.pointAt(s) + line.leftAt(s) * offset);
            const TrackPoint point{p.x(), p.y()};
            if (points.empty() || !(points.back() == point))
                points.push_back(point);
        }
        return points;
    }

    RaceState state_;
    QStringList problems_;
    std::optional<TrackLayout> layout_;
};

TEST_P(BundledTrackTest, IsWhatItsDescriptionMakes)
{
    EXPECT_TRUE(problems_.isEmpty()) << problems_.join(u'\n').toStdString();
    EXPECT_TRUE(definitionFile(*layout_) == fileBytes(file(".trt")))
        << "tracks/" << GetParam() << ".trt differs from its description: run tools/make_tracks.sh";
    EXPECT_TRUE(pictureFile(layout_->scene) == fileBytes(file(".wmf")))
        << "tracks/" << GetParam() << ".wmf differs from its description: run tools/make_tracks.sh";
}

// Every pixel a car can reach from the grid without touching the barrier (a move's samples step
// at most one pixel in each direction, so the car's ground is the 8-connected region): it holds
// every start position and both colours of every checkpoint, and neither the grass beyond the
// barrier nor the picture's edge.
TEST_P(BundledTrackTest, BarrierClosesInTheGridAndEveryCheckpoint)
{
    ASSERT_EQ(state_.trackRaster.width(), state_.trackWidth);
    ASSERT_EQ(state_.trackRaster.height(), state_.trackHeight);
    const std::vector<TrackPoint> starts = startPoints();
    ASSERT_GE(starts.size(), 10u) << "a start position for each of ten players";
    for (const TrackPoint& start : starts) {
        const ColorValue color = state_.trackRaster.colorAt(start.x, start.y);
        EXPECT_TRUE(color != state_.crashColor && !isCheckpointColor(color)) << "start position " << at(start).toStdString();
    }

    const int width = state_.trackWidth, height = state_.trackHeight;
    std::vector<char> reached(static_cast<size_t>(width) * height, 0);
    std::deque<TrackPoint> queue{starts.front()};
    reached[static_cast<size_t>(starts.front().y) * width + starts.front().x] = 1;
    QSet<ColorValue> colors;
    while (!queue.empty()) {
        const TrackPoint p = queue.front();
        queue.pop_front();
        const ColorValue color = state_.trackRaster.colorAt(p.x, p.y);
        ASSERT_TRUE(color != state_.trackBackColor && p.x > 0 && p.y > 0 && p.x < width - 1 && p.y < height - 1)
            << "a car gets past the barrier at " << at(p).toStdString();
        colors.insert(color);
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const TrackPoint q{p.x + dx, p.y + dy};
                char& seen = reached[static_cast<size_t>(q.y) * width + q.x];
                if (!seen && state_.trackRaster.colorAt(q.x, q.y) != state_.crashColor) {
                    seen = 1;
                    queue.push_back(q);
                }
            }
    }
    for (const TrackPoint& start : starts)
        EXPECT_TRUE(reached[static_cast<size_t>(start.y) * width + start.x]) << "start position " << at(start).toStdString();
    for (size_t k = 0; k < state_.checkpoints.size(); ++k)
        EXPECT_TRUE(colors.contains(state_.checkpoints[k].firstColor) && colors.contains(state_.checkpoints[k].secondColor))
            << "checkpoint " << k + 1 << " lies out of the cars' reach";
}

// A lap along the middle of the road and along both sides just inside the barrier: a band that
// stops short of the barrier, a checkpoint out of order, bands in the wrong order or a start line
// before the finish stop one of them.
TEST_P(BundledTrackTest, LapAlongEitherBarrierAndTheMiddlePassesEveryCheckpointToTheFinish)
{
    for (int side : {0, 1, -1}) {
        SCOPED_TRACE(side == 0 ? "along the middle" : side > 0 ? "along the left barrier" : "along the right barrier");
        const std::vector<TrackPoint> points = lane(side, +1);
        const RideEnd end = drive(state_, points);
        EXPECT_TRUE(end.fault.isEmpty()) << end.fault.toStdString();
        EXPECT_EQ(end.event, SampleEvent::Finished)
            << "the ride ended with " << eventName(end.event) << " at " << at(end.where).toStdString();
        EXPECT_EQ(end.passed, state_.checkpointCount);
        if (layout_->line.closed() && end.event == SampleEvent::Finished) {
            EXPECT_GT(end.move, points.size() * 9 / 10) << "the finish comes before the lap is whole";
        }
    }
}

TEST_P(BundledTrackTest, BackingOffTheGridNeverFinishes)
{
    const RideEnd end = drive(state_, lane(0, -1));
    EXPECT_TRUE(end.fault.isEmpty()) << end.fault.toStdString();
    EXPECT_EQ(end.passed, 0);
    if (layout_->line.closed()) {
        EXPECT_TRUE(end.event == SampleEvent::WrongEntry || end.event == SampleEvent::ExitWithoutEntry)
            << "backing off the grid must meet the finish the wrong way, not " << eventName(end.event);
    } else {
        EXPECT_EQ(end.event, SampleEvent::Crash) << "the road's beginning is closed by the barrier, not " << eventName(end.event);
    }
}

// Each track's tests are named by its file name, with anything but ASCII letters and digits as "_".
std::string testName(const ::testing::TestParamInfo<std::string>& info)
{
    std::string name;
    for (char c : info.param)
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Tracks, BundledTrackTest, ::testing::ValuesIn(bundledTrackNames()), testName);

TEST(BundledTracks, EveryDescriptionHasItsTrackAndEveryTrackItsPicture)
{
    EXPECT_EQ(baseNames(TracksDir + "/src", QStringLiteral("*.track")), bundledTracks());
    EXPECT_EQ(baseNames(TracksDir, QStringLiteral("*.wmf")), bundledTracks());
}

TEST(BundledTracks, OneScrollsOnTheScreenAndOneLimitsTheSpeed)
{
    bool large = false, limited = false;
    for (const QString& name : bundledTracks()) {
        RaceState state;
        ReadLanguageLayout(state);
        ASSERT_EQ(ReadTrackFiles(state, TracksDir + '/' + name + ".trt").error, TrackFileError::None) << name.toStdString();
        large = large || (state.trackWidth > 1280 && state.trackHeight > 1024);
        limited = limited || state.speedLimit > 0;
    }
    EXPECT_TRUE(large) << "a track larger than 1280 x 1024";
    EXPECT_TRUE(limited) << "a track with a speed limit";
}

// A small oval that the track maker lays out without a problem.
const char* const OvalDescription = R"(name = Ovál
description = Zkušební ovál.
size = 700 500
step = 10
speed = 0
shape = loop
road width = 60
run-off = 10
kerbs = none
point = 250 400 140
point = 400 400 140
point = 540 370
point = 610 250
point = 540 130
point = 350 100
point = 160 130
point = 90 250
point = 160 370
finish = @0.2
start = @0.2+40 10
)";

struct DescriptionFault {
    const char* what;
    const char* line;   // a line of the oval's description; empty: one more line at its end
    const char* by;     // what takes its place
    const char* named;  // in the refusal
};

TEST(TrackDescription, MakerRefusesWhatWouldMakeATrackUnfairOrUnreadable)
{
    QStringList ovalProblems;
    const std::optional<TrackDesign> oval = parseTrackDesign(QString::fromUtf8(OvalDescription), nullptr);
    ASSERT_TRUE(oval);
    layOutTrack(*oval, ovalProblems);
    ASSERT_TRUE(ovalProblems.isEmpty()) << ovalProblems.join(u'\n').toStdString();

    const DescriptionFault faults[] = {
        {"a curve too tight for the road", "point = 610 250\n", "point = 700 250\n", "is too tight for the road"},
        {"the road running into itself", "point = 350 100\n", "point = 350 300\n", "lies too close to itself"},
        {"a barrier off the picture", "size = 700 500\n", "size = 640 500\n", "the barrier at"},
        {"ten markers on a narrow road", "start = @0.2+40 10\n", "start = @4+40 10\n", "start markers are too close"},
        {"the start line before the finish", "start = @0.2+40 10\n", "start = @0.2-40 10\n", "far past the finish"},
        {"a tree on the road", "", "tree = 350 250 120\n", "a tree at (350, 250) reaches the road's barrier"},
        {"the road in the barrier's colour", "", "colour road = 044044052\n", "a colour of the scenery is the barrier's"},
        {"the run-off in the grass's colour", "", "colour verge = 092158064\n", "the run-off needs a colour"},
        {"two checkpoints sharing a colour", "finish = @0.2\n", "checkpoint = @1.5 255255255 000000255\nfinish = @0.2\n",
         "checkpoints 1 and 2 share a colour"},
        {"a checkpoint after the finish", "finish = @0.2\n", "finish = @0.2\ncheckpoint = @3 000102255 000204255\n",
         "line 20: the finish is the last checkpoint"},
        {"no finish", "finish = @0.2\n", "", "the track has no finish"},
        {"a step length of 0", "step = 10\n", "step = 0\n", "line 4: the step length lies in 1 ... 32767"},
        {"a colour group above 255", "", "colour grass = 300000000\n", "line 21: a colour group above 255"},
        {"an unknown key", "", "bridge = 1\n", "line 21: unknown key \"bridge\""},
    };
    for (const DescriptionFault& fault : faults) {
        SCOPED_TRACE(fault.what);
        QString text = QString::fromUtf8(OvalDescription);
        if (*fault.line) {
            ASSERT_TRUE(text.contains(QString::fromUtf8(fault.line)));
            text.replace(QString::fromUtf8(fault.line), QString::fromUtf8(fault.by));
        } else {
            text += QString::fromUtf8(fault.by);
        }
        QString error;
        QStringList problems;
        if (const std::optional<TrackDesign> design = parseTrackDesign(text, &error))
            layOutTrack(*design, problems);
        else
            problems << error;
        EXPECT_TRUE(problems.join(u'\n').contains(QString::fromUtf8(fault.named))) << problems.join(u'\n').toStdString();
    }
}

}  // namespace
