// The ride solver on every bundled track from start position 1, as `trasovky-tool solve --start 1`
// runs it (the distances, the guide and every pass of the schedule), and the measures it stands on
// for the largest bundled track.

#include "files/TrackFile.h"
#include "race/RideGuide.h"
#include "race/RideSearch.h"
#include "race/StartPositions.h"
#include "race/TrackDistances.h"
#include "shell/NumberFormat.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <benchmark/benchmark.h>

namespace {

bool loadTrack(benchmark::State& bench, RaceState& state, const QString& path)
{
    ReadLanguageLayout(state);
    const TrackFileResult result = ReadTrackFiles(state, path);
    if (result.error != TrackFileError::None) {
        bench.SkipWithError(result.message.toStdString().c_str());
        return false;
    }
    return true;
}

// The moves of the ride found and the lower bound go with the time, as counters and in the label.
void solveFromFirstStart(benchmark::State& bench, const QString& path)
{
    RaceState state;
    if (!loadTrack(bench, state, path))
        return;
    const TrackPoint start = startPoints(state).front();
    double moves = 0, bound = 0;
    for (auto _ : bench) {
        const TrackDistances distances(state);
        const RideGuide guide(state);
        const std::optional<FoundRide> ride = solveRide(state, distances, guide, start);
        if (!ride) {
            bench.SkipWithError("no ride found");
            return;
        }
        moves = ride->moves;
        bound = movesLowerBound(state, distances.remaining(0, start.x, start.y));
        benchmark::DoNotOptimize(ride->points.data());
    }
    bench.counters["moves"] = moves;
    bench.counters["lowerBound"] = bound;
    bench.SetLabel(("moves " + formatFixed6(moves, u'.') + ", bound " + formatFixed6(bound, u'.')).toStdString());
}

void measureDistances(benchmark::State& bench, const QString& path)
{
    RaceState state;
    if (!loadTrack(bench, state, path))
        return;
    for (auto _ : bench) {
        const TrackDistances distances(state);
        benchmark::DoNotOptimize(distances.remaining(0, 0, 0));
    }
    const double cells = static_cast<double>(state.trackWidth) * state.trackHeight * state.checkpointCount;
    bench.counters["MiB"] = cells * sizeof(std::uint32_t) / (1024.0 * 1024.0);
}

void measureGuide(benchmark::State& bench, const QString& path)
{
    RaceState state;
    if (!loadTrack(bench, state, path))
        return;
    for (auto _ : bench) {
        const RideGuide guide(state);
        benchmark::DoNotOptimize(guide.remaining(0, 0, 0));
    }
    const double cells = static_cast<double>(state.trackWidth) * state.trackHeight * state.checkpointCount;
    bench.counters["MiB"] = cells * sizeof(float) / (1024.0 * 1024.0);
}

// Width × height × checkpoints from a track file's first fields: the benchmarks are chosen before
// there is an application to load a track's picture with.
qint64 distanceCells(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = file.read(4096).split('|');
    return fields.size() > 7 ? fields[1].toLongLong() * fields[2].toLongLong() * fields[7].toLongLong() : 0;
}

const bool solverBenchmarksRegistered = [] {
    const QDir tracks(QStringLiteral(TRASOVKY_SOURCE_DIR "/tracks"));
    QString largest;
    qint64 largestArea = 0;
    for (const QString& name : tracks.entryList({QStringLiteral("*.trt")}, QDir::Files, QDir::Name)) {
        const QString path = tracks.filePath(name);
        // One solve takes seconds: a single iteration says enough.
        benchmark::RegisterBenchmark(("BM_SolveRide/" + name).toStdString().c_str(), solveFromFirstStart, path)
            ->Unit(benchmark::kSecond)
            ->Iterations(1);
        const qint64 area = distanceCells(path);
        if (area > largestArea) {
            largestArea = area;
            largest = path;
        }
    }
    if (!largest.isEmpty()) {
        const std::string name = QFileInfo(largest).fileName().toStdString();
        benchmark::RegisterBenchmark(("BM_TrackDistances/" + name).c_str(), measureDistances, largest)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("BM_RideGuide/" + name).c_str(), measureGuide, largest)->Unit(benchmark::kMillisecond);
    }
    return true;
}();

}  // namespace
