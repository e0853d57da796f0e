// The computer drivers on the largest bundled track, Okruh Vysočina: measuring the track for them
// once, and choosing one move at each strength, ten moves after the start, at speed.

#include "files/TrackFile.h"
#include "race/ComputerDriver.h"
#include "race/RaceStart.h"
#include "race/StartPositions.h"

#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

struct DrivenOnVysocina {
    RaceState state;
    std::unique_ptr<ComputerDriver> driver;

    DrivenOnVysocina()
    {
        ReadLanguageLayout(state);
        if (ReadTrackFiles(state, QStringLiteral(TRASOVKY_SOURCE_DIR "/tracks/Vysocina.trt")).error != TrackFileError::None)
            return;
        LayOutStartPositions(state);
        driver = std::make_unique<ComputerDriver>(state);
        // A master's car ten moves after start position 1, found by the driver itself.
        PlayerRecord& car = state.player(1);
        car.driver = DriverKind::Master;
        const TrackPoint start = startPoints(state).front();
        car.prevX = car.posX = start.x;
        car.prevY = car.posY = start.y;
        state.currentPlayer = 1;
        for (int move = 0; move < 10; ++move) {
            const TrackPoint to = driver->chooseTarget(state, 1);
            car.prevX = car.posX;
            car.prevY = car.posY;
            car.posX = to.x;
            car.posY = to.y;
            car.moves += 1;
        }
    }
};

void measureTrackForDrivers(benchmark::State& bench)
{
    RaceState state;
    ReadLanguageLayout(state);
    ReadTrackFiles(state, QStringLiteral(TRASOVKY_SOURCE_DIR "/tracks/Vysocina.trt"));
    for (auto _ : bench)
        benchmark::DoNotOptimize(ComputerDriver(state).distances().stages());
}

void chooseOneMove(benchmark::State& bench, DriverKind kind)
{
    static DrivenOnVysocina race;
    if (!race.driver) {
        bench.SkipWithError("the track did not load");
        return;
    }
    race.state.player(1).driver = kind;
    for (auto _ : bench)
        benchmark::DoNotOptimize(race.driver->chooseTarget(race.state, 1));
    race.state.player(1).driver = DriverKind::Master;
}

// The largest track the game accepts, 8000 × 5000 units (40 million pixels): a wide oval road
// with the finish across it, a step length of 500. Measuring it stays within the distance budget
// (coarse cells), and a master's move within its work budget.
void driveOnTheLargestTrack(benchmark::State& bench)
{
    RaceState state;
    state.trackWidth = 8000;
    state.trackHeight = 5000;
    state.stepLength = 500;
    state.zoom = 1;
    state.crashColor = colorValue(40, 40, 40);
    state.checkpoints = {{colorValue(255, 255, 255), colorValue(0, 0, 0)}};
    state.checkpointCount = 1;
    state.startLine = {TrackPoint{4000, 300}, TrackPoint{4000, 1200}};
    state.startCount = 1;
    QImage image(8000, 5000, QImage::Format_RGB32);
    image.fill(qRgb(40, 40, 40));
    {
        QPainter painter(&image);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(120, 120, 120));
        painter.drawEllipse(QRect(200, 200, 7600, 4600));
        painter.setBrush(QColor(40, 40, 40));
        painter.drawEllipse(QRect(1400, 1400, 5200, 2200));
        painter.fillRect(3800, 200, 20, 1200, Qt::white);
        painter.fillRect(3820, 200, 20, 1200, Qt::black);
    }
    state.trackRaster = TrackRaster(image, state.crashColor);
    for (PlayerRecord& player : state.players)
        player.state = PlayerState::NoPlayer;
    PlayerRecord& car = state.player(1);
    car.state = PlayerState::Racing;
    car.driver = DriverKind::Master;
    car.prevX = car.posX = 4500;
    car.prevY = car.posY = 700;
    car.aimX = 4500;
    car.aimY = 700;
    state.currentPlayer = 1;
    for (auto _ : bench) {
        const ComputerDriver driver(state);
        benchmark::DoNotOptimize(driver.chooseTarget(state, 1));
        bench.counters["cell"] = driver.distances().cellSize();
    }
}

BENCHMARK(measureTrackForDrivers)->Unit(benchmark::kMillisecond);
BENCHMARK(driveOnTheLargestTrack)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(chooseOneMove, beginner, DriverKind::Beginner)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(chooseOneMove, racer, DriverKind::Racer)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(chooseOneMove, master, DriverKind::Master)->Unit(benchmark::kMillisecond);

}  // namespace
