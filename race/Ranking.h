#pragma once

#include "race/RaceState.h"

// Ranks the players at the end of a race: finishers first by their moves, fewest first; then the
// cars that crashed out or were disqualified, those that lasted more moves first. Ties keep the
// lower player number ahead. Fills OrderOfFinish, marks every ranked player as placed (249, 250,
// 251) and sets newRecordPlayer to the first, or to the best placed person where the computer
// drove ahead of him; gives the number of ranked players.
int RankPlayers(RaceState& state);
