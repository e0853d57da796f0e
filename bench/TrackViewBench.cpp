// The track view during a race on Okruh Vysočina at 100 % in a 1024 × 720 window: one mouse move
// over the view (readouts, pointer shape, path look-ahead, guide line, allowed area) and one
// repaint of everything visible; and a long stored ride shown on it.

#include "files/TrackFile.h"
#include "race/RaceStart.h"
#include "race/RaceState.h"
#include "shell/SoundPlayer.h"
#include "ui/main/MainWindow.h"
#include "ui/main/MoveInput.h"
#include "ui/main/StartMarker.h"
#include "ui/main/TrackView.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace {

struct SilentOutput : SoundOutput {
    void play(const QString&) override {}
};

// Counts the paint events a widget receives.
struct PaintCounter : QObject {
    long long paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

struct StillPointer : PointerDevice {
    QPoint position() const override { return {}; }
    void setPosition(QPoint) override {}
};

// The main window with one car standing on the start of Okruh Vysočina, its turn prepared.
struct RaceOnVysocina {
    QTemporaryDir programDirectory;
    RaceState state;
    std::unique_ptr<MainWindow> window;

    RaceOnVysocina()
    {
        MainWindowServices services;
        services.programDirectory = programDirectory.path();
        services.soundOutput = std::make_shared<SilentOutput>();
        services.messageBox = [](const QString&, int, const QString&) { return 1; };
        services.endProgram = [] {};
        services.pointer = std::make_shared<StillPointer>();
        window = std::make_unique<MainWindow>(state, services);
        window->resize(1024, 720);
        window->show();
        QApplication::processEvents();
        LoadTrack(state, *window, nullptr, QStringLiteral(TRASOVKY_SOURCE_DIR "/tracks/Vysocina.trt"));
        std::array<PlayerEntry, PlayerSlots> rows;
        rows[0] = {QStringLiteral("Hráč 1"), colorValue(255, 0, 0), true};
        StartRace(state, rows);
        window->showRaceStart(true);
        window->moveInput().picStartPozice_Click(1);
        QApplication::processEvents();
    }

    TrackPictureBox* picture() const { return window->trackView().picture(); }
};

void mouseMoveOverTheView(benchmark::State& bench)
{
    RaceOnVysocina race;
    const PlayerRecord& car = race.state.player(1);
    // Two points of the circle in turn, so every event clears one guide line and draws another.
    const QPointF points[] = {QPointF(car.aimX + 6, car.aimY + 5), QPointF(car.aimX - 4, car.aimY + 7)};
    int i = 0;
    for (auto _ : bench) {
        const QPointF at = points[i++ & 1];
        QMouseEvent move(QEvent::MouseMove, at, race.picture()->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(race.picture(), &move);
    }
    if (race.picture()->canvas().markedPoints().size() < 2)
        bench.SkipWithError("no guide line was drawn");
}

void repaintTheVisibleView(benchmark::State& bench)
{
    RaceOnVysocina race;
    TrackPictureBox* picture = race.picture();
    const QRect visible(-picture->x(), -picture->y(), race.state.viewWidth, race.state.viewHeight);
    PaintCounter counter;
    picture->installEventFilter(&counter);
    for (auto _ : bench)
        picture->repaint(visible);
    picture->removeEventFilter(&counter);
    bench.counters["pixels"] = static_cast<double>(visible.width()) * visible.height();
    bench.counters["paints"] = benchmark::Counter(static_cast<double>(counter.paints), benchmark::Counter::kAvgIterations);
}

// A stored ride of 30 000 positions, some seventy laps of moves about 15 units long round an
// ellipse over the whole track: drawn as lines, then the view painted once.
void showALongRecordRide(benchmark::State& bench)
{
    RaceOnVysocina race;
    race.state.recordColor = colorValue(0, 0, 192);
    race.state.recordRide.assign(1, TrackPoint{});
    for (int i = 0; i < 30000; ++i) {
        const double angle = i * 0.0147;
        race.state.recordRide.push_back({static_cast<qint32>(1200 + 1000 * std::cos(angle)), static_cast<qint32>(900 + 750 * std::sin(angle))});
    }
    for (auto _ : bench) {
        race.window->ShowRecordRide(true);
        TrackPictureBox* picture = race.picture();
        picture->repaint(QRect(-picture->x(), -picture->y(), race.state.viewWidth, race.state.viewHeight));
        race.window->ShowRecordRide(false);
    }
}

BENCHMARK(mouseMoveOverTheView)->Unit(benchmark::kMicrosecond);
BENCHMARK(showALongRecordRide)->Unit(benchmark::kMillisecond);
BENCHMARK(repaintTheVisibleView)->Unit(benchmark::kMillisecond);

}  // namespace
