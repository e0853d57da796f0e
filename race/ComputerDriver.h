#pragma once

#include "race/MoveTrial.h"
#include "race/RaceState.h"
#include "race/TrackDistances.h"

#include <QtGlobal>

#include <memory>

// The computer at the wheel. For the current state of a race it chooses a car's start position
// and its next target, by the same rules a committed move is tested with: every target it gives
// lies in the car's circle, within the speed limit and on the track, and it never drives through a
// checkpoint out of order or crashes at a speed that ends the race. Its choices follow from the
// race's seed, so a race played again with the same seed is the same race.
//
// It looks a few moves ahead: a beam of the states that have the least still to drive, kept only
// where the car can still brake to a stop, deeper and wider the stronger the driver.
//   začátečník (beginner): looks little ahead, keeps its speed down, misses the line by a margin,
//                          and now and then tries a move that ends against the barrier at low speed;
//   závodník (racer):      a solid line at a sensible speed;
//   mistr (master):        the widest and deepest look ahead, nothing held back.
class ComputerDriver {
public:
    // Measures the loaded track; the driver serves races on it until another track is loaded. The
    // state must outlive the driver.
    explicit ComputerDriver(const RaceState& state);

    // Whether this driver measured the track that is loaded now.
    bool knowsTrack(const RaceState& state) const;
    const TrackDistances& distances() const { return distances_; }

    // The start position (1 ... startCount) that player chooses among those no car stands on yet.
    int chooseStart(const RaceState& state, int player) const;
    // The point, in track units, that the current player's car moves to.
    TrackPoint chooseTarget(const RaceState& state, int player) const;

private:
    TrackDistances distances_;
    MoveTrials trials_;
    qint64 rasterKey_ = 0;
};
