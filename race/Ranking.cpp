#include "race/Ranking.h"

namespace {

// The player to take next: among those whose state is accepted, the one whose moves are best;
// only a strictly better value replaces the candidate. 0 when there is none.
template <typename Accept, typename Better>
int pickPlayer(const RaceState& state, Accept accept, Better better)
{
    int chosen = 0;
    for (int number = 1; number <= PlayerSlots; ++number) {
        const PlayerRecord& player = state.player(number);
        if (accept(player.state) && (chosen == 0 || better(player.moves, state.player(chosen).moves)))
            chosen = number;
    }
    return chosen;
}

}  // namespace

int RankPlayers(RaceState& state)
{
    state.OrderOfFinish.clear();
    while (state.OrderOfFinish.size() < PlayerSlots) {
        const int next = pickPlayer(state, [](PlayerState s) { return s == PlayerState::Finished; }, [](double a, double b) { return a < b; });
        if (next == 0)
            break;
        state.OrderOfFinish.push_back(static_cast<quint8>(next));
        state.player(next).state = PlayerState::Placed;
    }
    while (state.OrderOfFinish.size() < PlayerSlots) {
        const int next = pickPlayer(state, [](PlayerState s) { return s == PlayerState::Disqualified || s == PlayerState::CrashedOut; },
                                    [](double a, double b) { return a > b; });
        if (next == 0)
            break;
        state.OrderOfFinish.push_back(static_cast<quint8>(next));
        PlayerRecord& player = state.player(next);
        player.state = player.state == PlayerState::Disqualified ? PlayerState::PlacedDisqualified : PlayerState::PlacedCrashedOut;
    }
    // The player whose ride a new record would store: the first place, or where the computer drove
    // there, the best placed person — a record is a person's.
    state.newRecordPlayer = state.OrderOfFinish.empty() ? 0 : state.OrderOfFinish.front();
    for (quint8 number : state.OrderOfFinish) {
        if (!state.drivenByComputer(number)) {
            state.newRecordPlayer = number;
            break;
        }
    }
    return static_cast<int>(state.OrderOfFinish.size());
}
