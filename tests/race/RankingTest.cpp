#include "race/Ranking.h"

#include <gtest/gtest.h>

namespace {

struct Entry {
    int player;
    quint8 state;
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
         {{1, Finished, 12.5}, {3, Finished, 11.0}, {7, Finished, 11.0}, {9, Finished, 10.25}},
         {9, 3, 7, 1}},
        {"crashed and disqualified mixed, more moves first",
         {{2, CrashedOut, 4}, {4, Disqualified, 9}, {5, Finished, 30}, {6, CrashedOut, 9}},
         {5, 4, 6, 2}},
        {"no finisher", {{8, CrashedOut, 3}, {10, Disqualified, 7}}, {10, 8}},
        {"nobody in the race", {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        RaceState state;
        for (PlayerRecord& player : state.players)
            player.state = NoPlayer;
        for (const Entry& entry : c.entries) {
            state.player(entry.player).state = entry.state;
            state.player(entry.player).moves = entry.moves;
        }
        state.newRecordPlayer = 3;
        EXPECT_EQ(RankPlayers(state), static_cast<int>(c.order.size()));
        EXPECT_EQ(state.OrderOfFinish, c.order);
        EXPECT_EQ(state.newRecordPlayer, c.order.empty() ? 0 : c.order.front());
        for (const Entry& entry : c.entries) {
            const quint8 placed = entry.state == Finished ? Placed : entry.state == Disqualified ? PlacedDisqualified : PlacedCrashedOut;
            EXPECT_EQ(state.player(entry.player).state, placed) << entry.player;
        }
    }
}

}  // namespace
