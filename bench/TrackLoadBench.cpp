// Loading a track: reading the definition file and the metafile, and rasterizing the picture at
// one pixel per track unit.

#include "files/Metafile.h"
#include "files/TrackFile.h"
#include "files/TrackPicture.h"
#include "tools/MetafileWriter.h"

#include <QDir>
#include <benchmark/benchmark.h>

#include <random>

namespace {

void loadBundledTrack(benchmark::State& bench, const QString& path)
{
    for (auto _ : bench) {
        RaceState state;
        ReadLanguageLayout(state);
        const TrackFileResult result = ReadTrackFiles(state, path);
        if (result.error != TrackFileError::None) {
            bench.SkipWithError(result.message.toStdString().c_str());
            return;
        }
        benchmark::DoNotOptimize(state.trackRaster.image().constBits());
    }
}

// A 3000 × 2000 picture of 5000 polygons of 3 to 8 corners in 16 colours, as a busy drawing would be.
QByteArray syntheticPicture()
{
    std::mt19937 random(20261210);
    MetafileWriter writer;
    writer.setPlaceable(QRect(0, 0, 3000, 2000), 96);
    writer.setWindowOrg(0, 0);
    writer.setWindowExt(3000, 2000);
    writer.selectObject(writer.createPen(5, 0, 0));
    std::vector<int> brushes;
    for (int i = 0; i < 16; ++i)
        brushes.push_back(writer.createBrush(0, colorValue(16 * i, 255 - 16 * i, (37 * i) % 256)));
    std::uniform_int_distribution<int> x(0, 2999), y(0, 1999), corners(3, 8), radius(10, 120), brush(0, 15);
    for (int i = 0; i < 5000; ++i) {
        const int cx = x(random), cy = y(random), r = radius(random), n = corners(random);
        QVector<QPoint> points;
        for (int k = 0; k < n; ++k) {
            const double angle = 6.283185307179586 * k / n;
            points << QPoint(cx + static_cast<int>(r * std::cos(angle)), cy + static_cast<int>(r * std::sin(angle)));
        }
        writer.selectObject(brushes[static_cast<size_t>(brush(random))]);
        writer.polygon(points);
    }
    return writer.bytes();
}

void BM_SyntheticPicture_ReadAndRasterize(benchmark::State& bench)
{
    const QByteArray bytes = syntheticPicture();
    for (auto _ : bench) {
        const std::optional<Metafile> picture = Metafile::fromBytes(bytes);
        const auto raster = rasterizeTrackPicture(*picture, 3000, 2000, colorValue(0, 128, 0));
        benchmark::DoNotOptimize(raster->image().constBits());
    }
    bench.SetLabel(std::to_string(bytes.size() / 1024) + " KiB metafile");
}
BENCHMARK(BM_SyntheticPicture_ReadAndRasterize)->Unit(benchmark::kMillisecond);

void BM_SyntheticPicture_Read(benchmark::State& bench)
{
    const QByteArray bytes = syntheticPicture();
    for (auto _ : bench)
        benchmark::DoNotOptimize(Metafile::fromBytes(bytes));
}
BENCHMARK(BM_SyntheticPicture_Read)->Unit(benchmark::kMillisecond);

const bool bundledTracksRegistered = [] {
    const QDir tracks(QStringLiteral(TRASOVKY_SOURCE_DIR "/tracks"));
    for (const QString& name : tracks.entryList({QStringLiteral("*.trt")}, QDir::Files, QDir::Name)) {
        benchmark::RegisterBenchmark(("BM_LoadBundledTrack/" + name).toStdString().c_str(), loadBundledTrack, tracks.filePath(name))
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

}  // namespace
