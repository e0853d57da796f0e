#include "race/CheckpointProgress.h"

SampleEvent classifySample(const RaceState& state, CheckpointProgress& progress, ColorValue color)
{
    if (color == state.crashColor)
        return SampleEvent::Crash;
    const int count = static_cast<int>(state.checkpoints.size());
    for (int k = 1; k <= count; ++k) {
        const CheckpointColors& checkpoint = state.checkpoints[static_cast<size_t>(k - 1)];
        const int expected = progress.passed + 1;
        if (color == checkpoint.firstColor) {
            if (k != expected)
                return SampleEvent::WrongEntry;
            progress.enteredNext = true;
        } else if (color == checkpoint.secondColor && k == expected) {
            if (!progress.enteredNext)
                return SampleEvent::ExitWithoutEntry;
            ++progress.passed;
            progress.enteredNext = false;
            if (progress.passed == count)
                return SampleEvent::Finished;
        }
    }
    return SampleEvent::None;
}
