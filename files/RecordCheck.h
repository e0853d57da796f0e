#pragma once

#include "race/RaceState.h"

// What the replay of a stored ride found.
enum class CheckCode : quint8 {
    RecordValid = 0,
    LeftTrackTooFast = 2,       // a move leaves the track picture at 3 step lengths or more
    NotAtRestingPlace = 3,      // after a crash the next point is not where the car came to rest
    WrongCheckpointEntered = 4, // a checkpoint's entry colour met out of order
    CrashOutOrFinishTooSoon = 5,// a barrier crash at 3 step lengths or more, or the finish crossed before the last point
    NotAnAllowedMove = 6,       // a first point off the start positions, a point outside the circle of allowed moves or beyond
                                // the speed limit, or an exit colour met before its entry
    NotFinished = 7,            // the ride never crosses the finish, or its moves differ from the stored ones
    CheckFailed = 8,            // anything else: a number out of range, a ride too long to check
};

// The most points a ride may have to be checked: the ride's point index is a 16-bit number.
inline constexpr qint64 MaxCheckedRidePoints = 32767;
// The most pixels a check reads before it gives up with CheckFailed: a ride that a real race can
// produce needs a tiny part of this, and no crafted ride can keep the check busy for long.
inline constexpr qint64 MaxCheckedSamples = 500'000'000;

// Replays the loaded record's ride (recordRide, recordMoves) on the loaded track with the rules of
// live play and says whether it is valid. Changes nothing.
CheckCode CheckRecord(const RaceState& state);
