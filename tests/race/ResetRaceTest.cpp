#include "tests/support/RecordingGameWindow.h"
#include "race/RaceState.h"
#include "race/ResetRace.h"

#include <gtest/gtest.h>


TEST(ResetRace, EmptiesEverySlotButKeepsNamesAndColours)
{
    RaceState state;
    state.raceRunning = true;
    state.playersRacing = 3;
    state.newRecordPlayer = 2;
    state.zoom = 0.3f;
    for (int n = 1; n <= 10; ++n) {
        PlayerRecord& p = state.player(n);
        p.name = QStringLiteral("Hráč %1").arg(n);
        p.color = colorValue(n, 2 * n, 3 * n);
        p.state = n % 2 ? PlayerState::Finished : PlayerState::SitOut2;
        p.moves = 11.5;
        p.prevX = p.prevY = p.posX = p.posY = p.aimX = p.aimY = n;
        p.checkpointsPassed = 2;
        p.maxSpeed = 4.25;
        p.segmentLines = {0, 3, 4};
        p.segmentStarts = {{}, {1, 2}, {3, 4}};
    }
    RecordingGameWindow window;
    ResetRace(state, window);

    EXPECT_EQ(window.calls, (QStringList{"pointer", "drawings", "status hidden", "logo", "layout"}));
    EXPECT_FALSE(state.raceRunning);
    EXPECT_EQ(state.playersRacing, 0);
    EXPECT_EQ(state.newRecordPlayer, 0);
    EXPECT_FLOAT_EQ(state.zoom, 1.0f);
    for (int n = 1; n <= 10; ++n) {
        const PlayerRecord& p = state.player(n);
        EXPECT_EQ(p.name, QStringLiteral("Hráč %1").arg(n));
        EXPECT_EQ(p.color, colorValue(n, 2 * n, 3 * n));
        EXPECT_EQ(p.state, PlayerState::NoPlayer);
        EXPECT_EQ(p.moves, 0);
        EXPECT_EQ(p.prevX + p.prevY + p.posX + p.posY + p.aimX + p.aimY, 0);
        EXPECT_EQ(p.checkpointsPassed, 0);
        EXPECT_EQ(p.maxSpeed, 0);
        EXPECT_EQ(p.segmentLines, std::vector<qint32>{0});
        EXPECT_EQ(p.segmentStarts, std::vector<TrackPoint>{TrackPoint{}});
    }
}

TEST(RaceState, PlayerNumbersOutsideOneToTenAreProgramErrors)
{
    RaceState state;
    EXPECT_THROW(state.player(0), std::out_of_range);
    EXPECT_THROW(state.player(11), std::out_of_range);
    EXPECT_NO_THROW(state.player(1));
    EXPECT_NO_THROW(state.player(10));
    EXPECT_EQ(&state.player(10), &state.players[9]);
}

TEST(RaceState, ColourValueIsRedPlusGreenAndBlueShifted)
{
    EXPECT_EQ(colorValue(255, 0, 0), 255u);
    EXPECT_EQ(colorValue(0, 255, 0), 65280u);
    EXPECT_EQ(colorValue(0, 0, 255), 16711680u);
    EXPECT_EQ(colorValue(1, 2, 3), 1u + 512u + 196608u);
}
