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
// The same for a car whose last move was `speed` track units long (0: standing).
double movesLowerBound(const RaceState& state, std::uint32_t steps, double speed);

// The fewest steps any ride from `start` takes to the finish by straight lines alone: to a pixel of
// the first checkpoint's entry colour, from there to one of its exit colour, on to the next
// checkpoint's entry and so on to the last exit; walls are not looked at. A sound measure for
// movesLowerBound on a track of any size, for where the distances above are coarse, though a
// weaker one: the bands are found in square cells (at most MaxBandCells, and MaxBandCellHops over
// all the lines), and each line is counted short by up to one cell. Unreachable when a band is
// missing from the picture.
std::uint32_t straightLineSteps(const RaceState& state, TrackPoint start);
inline constexpr qint64 MaxBandCells = 2'000'000;
inline constexpr qint64 MaxBandCellHops = 100'000'000;
