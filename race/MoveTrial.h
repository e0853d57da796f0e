#pragma once

#include "race/RaceState.h"

#include <cstdint>
#include <unordered_map>

// The rules of a move tried without making it, for the searches that plan rides: the same walk
// over the track raster and the same colour tests as a committed move.

struct MoveTrialResult {
    bool legal = false;     // no barrier, no wrong checkpoint, ends on the track
    bool crashed = false;   // met the barrier or left the track (and how fast)
    double crashSpeed = 0;  // in step lengths
    bool finished = false;  // crossed the finish
    int passed = 0;         // checkpoints passed after the move
    double fraction = 0;    // where on the move the finish was crossed (0 ... 1)
};

// The move from `from` to `to` of a car that has passed `passed` checkpoints. A move that crosses
// a checkpoint out of order is never legal, and none that leaves the track or meets the barrier.
MoveTrialResult tryMove(const RaceState& state, TrackPoint from, TrackPoint to, int passed);

// Whether a car at `position`, having come from `previous`, can still come to rest by braking as
// hard as its circle allows, straight on, to targets inside the picture, without a crash or a wrong
// checkpoint (or it finishes on the way). From such a state there is always a legal way on.
bool canStop(const RaceState& state, TrackPoint position, TrackPoint previous, int passed);

// Whether `to` lies in the circle of allowed moves round the inertia point and within the speed
// limit of `position`: whole points only, as the searches choose them.
bool isAllowedPoint(const RaceState& state, TrackPoint position, TrackPoint aim, TrackPoint to);

// The same trials for a search that makes very many of them on one track: a colour that is neither
// the barrier nor a checkpoint's is passed over without the checkpoint tests, and whether a state
// can still stop is remembered. Answers exactly as the functions above.
class MoveTrials {
public:
    explicit MoveTrials(const RaceState& state);

    MoveTrialResult tryMove(TrackPoint from, TrackPoint to, int passed) const;
    bool canStop(TrackPoint position, TrackPoint previous, int passed) const;

    // The samples walked by the trials so far: the work a search has done, which it may bound.
    qint64 samplesWalked() const { return samples_; }
    // Forgets the remembered answers of canStop and gives back their memory. The answers stay the
    // same; only the work of finding them again is spent.
    void forgetRemembered() const;

private:
    bool mayMatter(ColorValue color) const { return (specialMask_ >> (hashBits(color))) & 1u; }
    static unsigned hashBits(ColorValue color) { return (color ^ (color >> 8) ^ (color >> 16) ^ (color >> 21)) & 63u; }

    // The most answers of canStop kept; beyond it they are forgotten and found again.
    static constexpr std::size_t MaxRemembered = 1 << 21;

    struct StopKey {
        TrackPoint position;
        TrackPoint velocity;
        int passed = 0;
        friend bool operator==(const StopKey&, const StopKey&) = default;
    };
    struct StopKeyHash {
        std::size_t operator()(const StopKey& key) const;
    };

    const RaceState& state_;
    std::uint64_t specialMask_ = 0;
    mutable std::unordered_map<StopKey, bool, StopKeyHash> stops_;
    mutable qint64 samples_ = 0;
};
