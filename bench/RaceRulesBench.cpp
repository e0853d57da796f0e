// The race rules on the hot paths of a turn: preparing a turn, walking a move over the track
// raster, replaying a stored ride.

#include "bench/QuietGameWindow.h"
#include "files/RecordCheck.h"
#include "files/TrackFile.h"
#include "files/TrackPicture.h"
#include "race/MoveSegment.h"
#include "race/TurnPreparation.h"

#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <cmath>

namespace {

const QString largeTrack = QStringLiteral(TRASOVKY_SOURCE_DIR "/tracks/Vysocina.trt");

// A state with the large bundled track loaded and player 1 racing at the start of the start line.
bool loadRace(benchmark::State& bench, RaceState& state)
{
    ReadLanguageLayout(state);
    const TrackFileResult result = ReadTrackFiles(state, largeTrack);
    if (result.error != TrackFileError::None) {
        bench.SkipWithError(result.message.toStdString().c_str());
        return false;
    }
    state.zoom = 1;
    state.raceRunning = true;
    state.currentPlayer = 1;
    state.playersRacing = 1;
    PlayerRecord& player = state.player(1);
    player.state = PlayerState::Racing;
    player.posX = (state.startLine[0].x + state.startLine[1].x) / 2;
    player.posY = (state.startLine[0].y + state.startLine[1].y) / 2;
    // Moving at two step lengths, as a car in the middle of a race does.
    player.prevX = player.posX - 2 * state.stepLength;
    player.prevY = player.posY;
    return true;
}

void prepareTurn(benchmark::State& bench)
{
    RaceState state;
    if (!loadRace(bench, state))
        return;
    QuietGameWindow window;
    for (auto _ : bench) {
        PrepareTurn(state, window);
        benchmark::DoNotOptimize(state.CollisionWindow);
    }
}
BENCHMARK(prepareTurn);

// What preparing a turn would cost if it painted the collision window afresh from the metafile
// every turn instead of reading the raster made when the track was loaded.
void collisionWindowFromMetafile(benchmark::State& bench)
{
    RaceState state;
    if (!loadRace(bench, state))
        return;
    const PlayerRecord& player = state.player(1);
    const qint32 s = state.stepLength;
    const qint32 aimX = 2 * player.posX - player.prevX, aimY = 2 * player.posY - player.prevY;
    const qint32 left = std::min(player.posX, aimX - s), right = std::max(player.posX, aimX + s);
    const qint32 top = std::min(player.posY, aimY - s), bottom = std::max(player.posY, aimY + s);
    QImage window(right - left + 1, bottom - top + 1, QImage::Format_RGB32);
    for (auto _ : bench) {
        window.fill(toQColor(state.trackBackColor));
        QPainter painter(&window);
        painter.translate(-left, -top);
        state.trackPicture->play(painter, QRectF(0, 0, state.trackWidth, state.trackHeight));
        painter.end();
        benchmark::DoNotOptimize(window.constBits());
    }
}
BENCHMARK(collisionWindowFromMetafile);

// An open green track of the given size, step length 10, with its one checkpoint, the finish, as
// a white band then a black one across the whole track from x = finishX on (none when negative).
void openTrack(RaceState& state, int width, int height, int finishX)
{
    ReadLanguageLayout(state);
    state.trackWidth = width;
    state.trackHeight = height;
    state.stepLength = 10;
    state.trackBackColor = colorValue(0, 128, 0);
    state.crashColor = colorValue(255, 0, 0);
    state.checkpointCount = 1;
    state.checkpoints = {CheckpointColors{colorValue(255, 255, 255), colorValue(0, 0, 0)}};
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(0, 128, 0));
    if (finishX >= 0) {
        QPainter painter(&image);
        painter.fillRect(finishX, 0, 2, height, QColor(255, 255, 255));
        painter.fillRect(finishX + 2, 0, 2, height, QColor(0, 0, 0));
    }
    state.trackRaster = TrackRaster(image, state.trackBackColor);
}

// A long move over open track: the time per sampled pixel is the time per iteration divided by
// the pixels counted.
void moveSegmentWalk(benchmark::State& bench)
{
    RaceState state;
    openTrack(state, 4000, 100, -1);
    state.zoom = 1;
    state.currentPlayer = 1;
    PlayerRecord& player = state.player(1);
    player.posX = player.prevX = 10;
    player.posY = player.prevY = 10;
    player.aimX = 10;
    player.aimY = 10;
    const qint32 dx = 3900, dy = 77;
    state.CollisionWindow = {0, 0, 0, 0, 10, 10};
    QuietGameWindow window;
    for (auto _ : bench) {
        player.maxSpeed = 0;
        benchmark::DoNotOptimize(TestMoveSegment(state, window, dx, dy));
    }
    bench.counters["pixels"] = benchmark::Counter(static_cast<double>(bench.iterations()) * (dx + 1), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(moveSegmentWalk);

// A ride of more than 1000 moves on an open track: back and forth at up to two step lengths,
// then on to the finish.
void checkLongRide(benchmark::State& bench)
{
    RaceState state;
    openTrack(state, 2000, 200, 1900);
    // One start position, (100, 100), where the ride begins: a check refuses any other first point.
    state.startLine = {TrackPoint{100, 50}, TrackPoint{100, 150}};
    state.startCount = 1;

    std::vector<TrackPoint> ride{TrackPoint{}, TrackPoint{100, 100}};
    const int cycle[] = {10, 20, 10, 0, -10, -20, -10, 0};
    for (int i = 0; i < 1000; ++i)
        ride.push_back({ride.back().x + cycle[i % 8], 100});
    for (int v = 10; ride.back().x < 1903; v += 10)
        ride.push_back({ride.back().x + v, 100});
    const TrackPoint last = ride[ride.size() - 2], end = ride.back();
    // The finish is passed at the first sample of its exit colour.
    state.recordMoves = static_cast<double>(ride.size() - 3) + static_cast<double>(1902 - last.x) / (end.x - last.x);
    state.recordRide = ride;
    if (CheckRecord(state) != CheckCode::RecordValid) {
        bench.SkipWithError("the benchmark's ride does not pass the check");
        return;
    }
    for (auto _ : bench)
        benchmark::DoNotOptimize(CheckRecord(state));
    bench.counters["moves"] = static_cast<double>(ride.size() - 2);
}
BENCHMARK(checkLongRide)->Unit(benchmark::kMillisecond);

}  // namespace
