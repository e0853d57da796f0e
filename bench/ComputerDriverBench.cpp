// The computer drivers on the largest bundled track, Okruh Vysočina: measuring the track for them
// once, and choosing one move at each strength, ten moves after the start, at speed.

#include "files/TrackFile.h"
#include "race/ComputerDriver.h"
#include "race/RaceStart.h"
#include "race/StartPositions.h"

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

BENCHMARK(measureTrackForDrivers)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(chooseOneMove, beginner, DriverKind::Beginner)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(chooseOneMove, racer, DriverKind::Racer)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(chooseOneMove, master, DriverKind::Master)->Unit(benchmark::kMillisecond);

}  // namespace
