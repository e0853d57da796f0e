#pragma once

#include "race/RaceState.h"

#include <optional>
#include <vector>

class TrackDistances;

// A ride found on a track by search: the positions from the start to the move that crosses the
// finish, and the moves it counts (whole moves plus the fraction of the last one).
struct FoundRide {
    std::vector<TrackPoint> points;  // points[0] is the start
    double moves = 0;
};

// Searches a ride without crashes from a standing start to the finish of the loaded track, obeying
// the circle of allowed moves, the speed limit and the order of the checkpoints exactly as live
// play tests them. A beam search: every depth keeps the beamWidth states nearest to the finish by
// the distance still to drive, and only states from which the car can still stop. Nothing when no
// ride within maxMoves is found.
std::optional<FoundRide> searchRide(const RaceState& state, const TrackDistances& distances, TrackPoint start,
                                    int beamWidth, int maxMoves);
// The same, measuring the track's distances first.
std::optional<FoundRide> searchRide(const RaceState& state, TrackPoint start, int beamWidth, int maxMoves);
