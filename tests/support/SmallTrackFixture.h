#pragma once

#include "race/RaceState.h"
#include "tests/support/RecordingGameWindow.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

// A 100 × 50 straight drawn in the test: grey road, the barrier from x = 90 on, checkpoint 1 as a
// red band (x 40-41) then a blue one (42-43), the finish as white (60-61) then black (62-63).
// Step length 10, no speed limit. Player 1 races, his turn.
class SmallTrackFixture : public ::testing::Test {
protected:
    static constexpr ColorValue Road = colorValue(128, 128, 128);
    static constexpr ColorValue Barrier = colorValue(0, 160, 0);
    static constexpr ColorValue Red = colorValue(255, 0, 0);
    static constexpr ColorValue Blue = colorValue(0, 0, 255);
    static constexpr ColorValue White = colorValue(255, 255, 255);
    static constexpr ColorValue Black = colorValue(0, 0, 0);

    void SetUp() override
    {
        state = RaceState{};
        ReadLanguageLayout(state);
        state.trackWidth = 100;
        state.trackHeight = 50;
        state.stepLength = 10;
        state.zoom = 1;
        state.trackBackColor = Road;
        state.crashColor = Barrier;
        state.checkpoints = {{Red, Blue}, {White, Black}};
        state.checkpointCount = 2;
        QImage image(100, 50, QImage::Format_RGB32);
        image.fill(qRgb(128, 128, 128));
        QPainter painter(&image);
        painter.fillRect(90, 0, 10, 50, QColor(0, 160, 0));
        painter.fillRect(40, 0, 2, 50, Qt::red);
        painter.fillRect(42, 0, 2, 50, Qt::blue);
        painter.fillRect(60, 0, 2, 50, Qt::white);
        painter.fillRect(62, 0, 2, 50, Qt::black);
        painter.end();
        state.trackRaster = TrackRaster(image, Road);
        state.AskBeforeCrash = true;
        state.raceRunning = true;
        for (PlayerRecord& player : state.players)
            player.state = PlayerState::NoPlayer;
        car().state = PlayerState::Racing;
        car().name = QStringLiteral("Alena");
        state.currentPlayer = 1;
        state.playersRacing = 1;
    }

    PlayerRecord& car() { return state.player(1); }

    // Puts the car at (x, y) after a move by (vx, vy) and opens its collision window as a turn does.
    void standAt(qint32 x, qint32 y, qint32 vx = 0, qint32 vy = 0)
    {
        car().prevX = x - vx;
        car().prevY = y - vy;
        car().posX = x;
        car().posY = y;
        car().aimX = x + vx;
        car().aimY = y + vy;
        const qint32 s = state.stepLength;
        const qint32 left = std::min(x, car().aimX - s), top = std::min(y, car().aimY - s);
        state.CollisionWindow = {x - left, y - top, car().aimX - left, car().aimY - top, left, top};
    }

    RaceState state;
    RecordingGameWindow window;
};
