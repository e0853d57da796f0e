#pragma once

#include "files/RecordFile.h"
#include "files/TrackFile.h"
#include "race/RaceStart.h"
#include "tests/support/MainWindowFixture.h"
#include "ui/main/MoveInput.h"
#include "ui/main/StartMarker.h"
#include "ui/main/TrackView.h"

#include <QFile>
#include <QScrollBar>
#include <QTest>

// The main window shown with a race set up on a copy of a bundled track: the players are in the
// race state and the start markers wait, as after Start in the new race dialog.
class RaceWindowFixture : public MainWindowFixture {
public:
    static constexpr ColorValue PlayerColors[] = {colorValue(255, 0, 0), colorValue(0, 0, 255), colorValue(0, 128, 0)};

    // The committed record ride of a bundled track, from its start position to the finish.
    static std::vector<TrackPoint> bundledRecordRide(const QString& track)
    {
        const QString source = QStringLiteral(TRASOVKY_SOURCE_DIR "/tracks/") + track;
        RaceState other;
        ReadLanguageLayout(other);
        other.trackPicturePath = source + ".wmf";
        EXPECT_EQ(readRecordFile(other, source + ".rek").error, RecordReadError::None);
        return {other.recordRide.begin() + 1, other.recordRide.end()};
    }

    // The bundled track's definition and picture in tracks/ (no record) and remembered in the
    // settings, so that the new race dialog opens on it.
    void rememberBundledTrack(const QString& track)
    {
        ASSERT_TRUE(QDir(dir.path()).mkpath("tracks"));
        for (const char* extension : {".trt", ".wmf"})
            ASSERT_TRUE(QFile::copy(QStringLiteral(TRASOVKY_SOURCE_DIR "/tracks/") + track + extension,
                                    path("tracks/" + track + extension)));
        writeFile("Trasovky.ini", "[Settings]\r\nLANG=1\r\nTRT=%tracks/" + track.toUtf8() + ".trt\r\n");
    }

    // Shows the window at the given size with the bundled track loaded, with its record or without.
    MainWindow& showWithTrack(const QString& track, QSize size = QSize(1024, 720), bool withRecord = false)
    {
        const QString source = QStringLiteral(TRASOVKY_SOURCE_DIR "/tracks/") + track;
        for (const char* extension : {".trt", ".wmf", ".rek"}) {
            if (withRecord || QLatin1String(extension) != QLatin1String(".rek")) {
                EXPECT_TRUE(QFile::copy(source + extension, path(track + extension)));
            }
        }
        MainWindow& w = start();
        w.resize(size);
        w.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&w));
        LoadTrack(state, w, nullptr, path(track + ".trt"));
        EXPECT_TRUE(boxes.shown.empty());
        return w;
    }

    // Starts a race of the first players (1 ... players) as the new race dialog's Start does.
    void startRace(int players, bool trajectories = true)
    {
        std::array<PlayerEntry, PlayerSlots> rows;
        for (int i = 0; i < PlayerSlots; ++i) {
            rows[static_cast<size_t>(i)].name = QStringLiteral("Hráč %1").arg(i + 1);
            rows[static_cast<size_t>(i)].color = PlayerColors[i % 3];
            rows[static_cast<size_t>(i)].takesPart = i < players;
        }
        StartRace(state, rows);
        window->showRaceStart(trajectories);
    }

    TrackView& view() const { return window->trackView(); }
    TrackPictureBox* picture() const { return view().picture(); }
    const PlayerRecord& current() const { return state.player(state.currentPlayer); }

    void clickMarker(int index) { QTest::mouseClick(view().startMarker(index), Qt::LeftButton, {}, QPoint(5, 5)); }
    // Clicks and moves over the track view at a point in track units (the view is at 100 %).
    void clickTrack(TrackPoint p, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(picture(), button, {}, QPoint(p.x, p.y));
    }
    void moveOverTrack(QPoint viewPoint) { QTest::mouseMove(picture(), viewPoint); }
    // A key pressed in the main window.
    void press(int key, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(window.get(), static_cast<Qt::Key>(key), modifiers);
    }
    // The colour the track view shows at a point in view units.
    ColorValue shownAt(int x, int y) const
    {
        const QRgb rgb = picture()->canvas().pixel(x, y);
        return colorValue(qRed(rgb), qGreen(rgb), qBlue(rgb));
    }
};
