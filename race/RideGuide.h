#pragma once

#include "race/RaceState.h"

#include <QtGlobal>

#include <limits>
#include <vector>

// The way still to drive from every pixel to the finish through the checkpoints ahead, measured
// along lines that run in sixteen directions (the eight neighbours and the knight's jumps), so that
// it is close to the length of a real line on the track whichever way the road runs. The steps of
// TrackDistances count a diagonal as long as a straight step, which leaves a car no reason to drive
// towards the finish along the shorter axis; this measure is what the ride solver ranks its cars by.
// It only guides: nothing is bounded by it.
//
// The same walls as TrackDistances at every stage; a knight's jump passes only where both pixels it
// jumps over are free, so the way never slips through a thin wall. One float per pixel and stage;
// a track with more than MaxGuideCells of them gets no guide (available() is false).
class RideGuide {
public:
    static constexpr float Unreachable = std::numeric_limits<float>::infinity();
    static constexpr qint64 MaxGuideCells = 24'000'000;

    explicit RideGuide(const RaceState& state);

    bool available() const { return !legs_.empty(); }
    // The length still to drive for a car at (x, y) having passed `passed` checkpoints;
    // Unreachable off the track, where the finish cannot be reached, or without a guide.
    float remaining(int passed, qint32 x, qint32 y) const;

private:
    qint32 width_ = 0;
    qint32 height_ = 0;
    std::vector<std::vector<float>> legs_;  // stage k: having passed k checkpoints
};
