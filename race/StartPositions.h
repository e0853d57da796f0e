#pragma once

#include "race/RaceState.h"

// Lays the startCount start positions out evenly on the start line, strictly between its ends,
// position 1 nearest to end B: each is the top-left corner of a start marker of StartMarkerSize
// whose centre lies on the line.
void LayOutStartPositions(RaceState& state);

// The points where a car stands on each start position of the loaded track: the middles of the
// start markers laid out as above. Position i is element i - 1.
std::vector<TrackPoint> startPoints(const RaceState& state);
