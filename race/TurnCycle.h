#pragma once

#include "race/RaceState.h"

class GameWindow;

// What a made move does to the race: crash penalties, disqualification, the finish, whose turn is
// next, and the end of the race. Every question goes through the window's message box, every
// sound through its sound player.

// The move runs off the track at speed (the whole move's length in step lengths). Asks the player
// (only tells him during a forced move); true when the move is to be made, with the penalty set.
bool ConfirmCrash(RaceState& state, GameWindow& window, float speed);
// The move passes a checkpoint out of order. True (disqualified) when the player makes it anyway.
bool ConfirmWrongCheckpoint(RaceState& state, GameWindow& window);
// The move crosses the finish line at fraction (0 ... 1) of its length.
void FinishCar(RaceState& state, GameWindow& window, float fraction);
// Gives the turn to the next player who may play, running down the sit-out penalties of those
// passed over; ends the race when no car is left.
void PassTurn(RaceState& state, GameWindow& window);
// Ends the race: ranks the players and shows the results.
void EndRace(RaceState& state, GameWindow& window);
