#pragma once

#include "race/RaceState.h"

#include <QtGlobal>

#include <cstdint>
#include <vector>

// The way still to drive from any point of the loaded track to the finish, through the
// checkpoints still ahead in their order, counted in steps between neighbouring pixels (the eight
// around a pixel), never over a pixel that a ride which goes on to the finish cannot touch at that
// stage: the barrier, the entry colour of any checkpoint but the expected one, and the expected
// one's exit colour before its entry.
//
// A move walks its samples one pixel after the other along its longer axis (SegmentWalk), each a
// neighbour of the one before, so a move of long-axis length n takes the car at most n steps along
// this way; the finish fraction is counted in the same samples. That makes the distances a sound
// measure for a lower bound on the moves, and a guide for the searches of the computer drivers.
//
// The distances of every checkpoint stage are kept, one number per cell. A track too large for
// MaxDistanceCells numbers in all is measured in square cells of several pixels instead; such
// coarse distances only guide, they bound nothing (exact() is false).
class TrackDistances {
public:
    static constexpr std::uint32_t Unreachable = 0xFFFFFFFFu;
    // At most this many distances are kept over all stages: 24 million, 96 MiB.
    static constexpr qint64 MaxDistanceCells = 24'000'000;

    explicit TrackDistances(const RaceState& state);

    // The steps still to drive for a car at (x, y) that has passed `passed` checkpoints and starts
    // its next move there; Unreachable when the finish cannot be reached from there, or off the track.
    std::uint32_t remaining(int passed, qint32 x, qint32 y) const;

    // The side of a cell in pixels: 1 when every pixel has its own distance.
    int cellSize() const { return cell_; }
    bool exact() const { return cell_ == 1; }
    int stages() const { return static_cast<int>(legs_.size()); }

private:
    int cell_ = 1;
    qint32 columns_ = 0;
    qint32 rows_ = 0;
    std::vector<std::vector<std::uint32_t>> legs_;  // stage k: the way to the finish having passed k checkpoints
};

// The fewest moves, with the fraction of the last one, in which any ride can cover `steps` of the
// distances above from a standing start: each move at most one step length (and the rounding of a
// committed point) faster than the one before, and never longer than the speed limit. Nothing
// finishes faster, so a stored or found ride can be measured against it.
double movesLowerBound(const RaceState& state, std::uint32_t steps);
