#pragma once

#include "race/ColorValue.h"
#include "race/RaceState.h"

// What one sample of a move meets, tested in this order: the barrier colour first, then the
// checkpoints from the first to the last, the first decision ending the walk.
enum class SampleEvent {
    None,              // nothing that decides the move
    Crash,             // the barrier colour
    WrongEntry,        // the entry colour of a checkpoint other than the expected one
    ExitWithoutEntry,  // the exit colour of the expected checkpoint before its entry colour
    Finished,          // the exit colour that passes the last checkpoint
};

// How far a car has come through the checkpoints.
struct CheckpointProgress {
    quint8 passed = 0;         // checkpoints passed in order
    bool enteredNext = false;  // the expected checkpoint's entry colour has been met
};

// Classifies one sample's colour, updating progress as checkpoints are entered and passed. The
// expected checkpoint is read afresh for every checkpoint tested, so passing one and entering the
// next at the same sample is no fault.
SampleEvent classifySample(const RaceState& state, CheckpointProgress& progress, ColorValue color);
