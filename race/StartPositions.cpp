#include "race/StartPositions.h"

#include "race/MoveCommit.h"
#include "race/MoveGeometry.h"

void LayOutStartPositions(RaceState& state)
{
    const TrackPoint a = state.startLine[0], b = state.startLine[1];
    const int n = state.startCount;
    const qint32 dx = roundHalfEven((static_cast<double>(a.x) - b.x) / (n + 1));
    const qint32 dy = roundHalfEven((static_cast<double>(a.y) - b.y) / (n + 1));
    state.startPositions.clear();
    for (int i = 1; i <= n; ++i) {
        state.startPositions.push_back({roundHalfEven(static_cast<double>(i) * dx + b.x - StartMarkerSize / 2.0),
                                        roundHalfEven(static_cast<double>(i) * dy + b.y - StartMarkerSize / 2.0)});
    }
}
