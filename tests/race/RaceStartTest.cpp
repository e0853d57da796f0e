// The race start: the player slots from the dialog's rows and the start positions on the start line.

#include "race/MoveCommit.h"
#include "race/RaceStart.h"
#include "race/StartPositions.h"

#include <gtest/gtest.h>

namespace {

TEST(RaceStart, StartPositionsLieEvenlyFromEndBTowardsEndA)
{
    struct Case {
        const char* label;
        TrackPoint a, b;
        int count;
        std::vector<TrackPoint> corners;  // top-left corners of the markers, 10 × 10 each
    };
    const Case cases[] = {
        // dy = 400 / 4 = 100: the markers' middles at y = 200, 300, 400.
        {"A (100, 500), B (100, 100), three positions", {100, 500}, {100, 100}, 3, {{95, 195}, {95, 295}, {95, 395}}},
        // dx = 10 / 4 = 2.5 rounds to 2; dy = -14 / 4 = -3.5 rounds to -4 (ties to even).
        {"ties round to even", {110, 86}, {100, 100}, 3, {{97, 91}, {99, 87}, {101, 83}}},
        {"one position: the middle", {0, 40}, {0, 0}, 1, {{-5, 15}}},
    };
    for (const Case& c : cases) {
        RaceState state;
        state.startLine = {c.a, c.b};
        state.startCount = static_cast<quint8>(c.count);
        LayOutStartPositions(state);
        EXPECT_EQ(state.startPositions, c.corners) << c.label;
    }
}

TEST(RaceStart, TickedRowsRaceAndTheLowestOfThemMovesFirst)
{
    RaceState state;
    for (PlayerRecord& player : state.players)
        player.state = PlayerState::NoPlayer;
    state.startLine = {TrackPoint{100, 500}, TrackPoint{100, 100}};
    state.startCount = 10;
    std::array<PlayerEntry, PlayerSlots> rows;
    for (int i = 0; i < PlayerSlots; ++i)
        rows[static_cast<size_t>(i)] = {QStringLiteral("Hráč %1").arg(i + 1), colorValue(i, 0, 0), i == 1 || i == 4};
    StartRace(state, rows);
    EXPECT_EQ(state.currentPlayer, 2);
    EXPECT_EQ(state.playersRacing, 2);
    for (int n = 1; n <= PlayerSlots; ++n) {
        EXPECT_EQ(state.player(n).name, QStringLiteral("Hráč %1").arg(n));
        EXPECT_EQ(state.player(n).color, colorValue(n - 1, 0, 0));
        EXPECT_EQ(state.player(n).state, n == 2 || n == 5 ? PlayerState::ChoosingStart : PlayerState::NoPlayer) << n;
    }
    EXPECT_EQ(state.startPositions.size(), 10u);
}

}  // namespace
