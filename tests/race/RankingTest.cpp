#include "race/Ranking.h"

#include <gtest/gtest.h>

namespace {

struct Entry {
    int player;
    PlayerState state;
    double moves;
};

TEST(Ranking, FinishersFirstThenTheCarsThatLastedLongest)
{
    const struct {
        const char* label;
        std::vector<Entry> entries;
        std::vector<quint8> order;
    } cases[] = {
        {"finishers by moves, ties to the lower number",
         {{1, PlayerState::Finished, 12.5}, {3, PlayerState::Finished, 11.0}, {7, PlayerState::Finished, 11.0}, {9, PlayerState::Finished, 10.25}},
         {9, 3, 7, 1}},
        {"crashed and disqualified mixed, more moves first",
         {{2, PlayerState::CrashedOut, 4}, {4, PlayerState::Disqualified, 9}, {5, PlayerState::Finished, 30}, {6, PlayerState::CrashedOut, 9}},
         {5, 4, 6, 2}},
        {"no finisher", {{8, PlayerState::CrashedOut, 3}, {10, PlayerState::Disqualified, 7}}, {10, 8}},
        {"nobody in the race", {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        RaceState state;
        for (PlayerRecord& player : state.players)
            player.state = PlayerState::NoPlayer;
        for (const Entry& entry : c.entries) {
            state.player(entry.player).state = entry.state;
            state.player(entry.player).moves = entry.moves;
        }
        state.newRecordPlayer = 3;
        EXPECT_EQ(RankPlayers(state), static_cast<int>(c.order.size()));
        EXPECT_EQ(state.OrderOfFinish, c.order);
        EXPECT_EQ(state.newRecordPlayer, c.order.empty() ? 0 : c.order.front());
        for (const Entry& entry : c.entries) {
            const PlayerState placed = entry.state == PlayerState::Finished ? PlayerState::Placed : entry.state == PlayerState::Disqualified ? PlayerState::PlacedDisqualified : PlayerState::PlacedCrashedOut;
            EXPECT_EQ(state.player(entry.player).state, placed) << entry.player;
        }
    }
}

}  // namespace
