#pragma once

#include "race/RaceState.h"

#include <optional>
#include <vector>

class RideGuide;
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

// How hard the ride solver works: one beam search after the other, as wide as each width in turn.
struct RideSolverSettings {
    std::vector<int> beamWidths{250, 1000, 4000};
    int maxMoves = 1000;
};

// The best ride the solver finds from a standing start at `start`, under the same rules as
// searchRide. Every depth keeps the cars nearest to the finish by the guide (by the distances where
// the track has no guide), spread over position and velocity: of cars standing close together and
// moving alike only the nearest stays, so a car on a wider, faster line is not crowded out by many
// on one line. Cars that cannot beat the best ride of an earlier pass (by movesLowerBound from
// their position and speed) are dropped. Only whole points inside both circles are chosen: a
// player clicks each of them at 100 %. Nothing when no pass finds a ride.
std::optional<FoundRide> solveRide(const RaceState& state, const TrackDistances& distances, const RideGuide& guide,
                                   TrackPoint start, const RideSolverSettings& settings = {});
