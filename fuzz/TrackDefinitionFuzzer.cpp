// Reads the input as a track definition file (.trt): decoded from Windows-1250 and parsed field by
// field as ReadTrackFiles does, then the size check that comes before the picture is rasterized.
// A definition that parses must hold only values inside the bounds the race relies on.
#include "files/TrackFile.h"
#include "files/TrackPicture.h"
#include "fuzz/FuzzSupport.h"
#include "shell/Windows1250.h"

#include <limits>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Reading stops at MaxTrackFileSize; the fuzzer's inputs stay far below it.
    RaceState state;
    if (!parseTrackDefinition(state, decodeWindows1250(inputBytes(data, size))))
        return 0;

    FUZZ_CHECK(state.trackWidth >= 1 && state.trackHeight >= 1);
    FUZZ_CHECK(state.stepLength >= 1);
    FUZZ_CHECK(state.speedLimit >= 0 && state.speedLimit % state.stepLength == 0);
    FUZZ_CHECK(state.checkpointCount >= 1 && state.checkpoints.size() == state.checkpointCount);
    FUZZ_CHECK(state.startCount >= 1);
    for (const TrackPoint& end : state.startLine) {
        FUZZ_CHECK(end.x >= 0 && end.x < state.trackWidth);
        FUZZ_CHECK(end.y >= 0 && end.y < state.trackHeight);
    }
    if (trackSizeFitsRaster(state.trackWidth, state.trackHeight))
        FUZZ_CHECK(static_cast<qint64>(state.trackWidth) * state.trackHeight <= MaxTrackPixels);
    return 0;
}
