#pragma once

#include "race/ColorValue.h"
#include "race/RaceState.h"
#include "race/TrackRaster.h"

#include <QtGlobal>

#include <cstdlib>
#include <optional>

// The samples of a move from start by (dx, dy): one per whole track unit along the longer axis
// (y on a tie), t = 0 ... length, the other coordinate start + sign · t · |short| / |long| kept as an
// exact fraction and read at the pixel floor(coordinate + ½). The live move, the path preview and
// the record check all walk a move this one way, so they agree to the pixel.
class SegmentWalk {
public:
    SegmentWalk(TrackPoint start, qint64 dx, qint64 dy);

    bool isEmpty() const { return length_ == 0; }
    bool alongX() const { return alongX_; }
    qint64 length() const { return length_; }  // L: the move's length along the walking axis
    TrackPoint start() const { return start_; }

    // The pixel read at sample t.
    void pixel(qint64 t, qint64& x, qint64& y) const;
    // The position t samples along the move, each coordinate made whole towards the start's
    // (RoundTowards); t may be negative: a crash at the first samples rests behind the start.
    TrackPoint towardsStart(qint64 t) const;

    // Calls visit(t, colour) for t = 0 ... last (at most length()) until it returns true; gives the
    // t at which it stopped, or nothing when it never did.
    template <typename Visit>
    std::optional<qint64> walk(const TrackRaster& raster, qint64 last, Visit&& visit) const;

private:
    TrackPoint start_;
    bool alongX_ = false;
    qint64 length_ = 0;     // |long|
    qint64 shortSize_ = 0;  // |short|
    int longSign_ = 0;
    int shortSign_ = 0;
};

// The end of a move that leaves the track, cut back onto the track's edge along the line from the
// car's position p: first against the left or right edge, then against the top or bottom edge,
// each coordinate made whole towards p's. Nothing when the line cannot be cut (a position p that
// is itself off the track in the same direction).
std::optional<TrackPoint> clipToTrack(const RaceState& state, TrackPoint p, qint64 x, qint64 y);

template <typename Visit>
std::optional<qint64> SegmentWalk::walk(const TrackRaster& raster, qint64 last, Visit&& visit) const
{
    if (last > length_)
        last = length_;
    // The short coordinate as floor(numerator / (2 · length)) with the numerator kept as quotient
    // and remainder, advanced by 2 · sign · |short| per sample: no division in the loop.
    const qint64 denominator = 2 * (length_ == 0 ? 1 : length_);
    const qint64 shortStart = alongX_ ? start_.y : start_.x;
    const qint64 longStart = alongX_ ? start_.x : start_.y;
    qint64 quotient = shortStart;
    qint64 remainder = denominator / 2;  // + ½
    const qint64 step = 2 * shortSign_ * shortSize_;
    for (qint64 t = 0; t <= last; ++t) {
        const qint64 along = longStart + longSign_ * t;
        const ColorValue color = alongX_ ? raster.colorAt(along, quotient) : raster.colorAt(quotient, along);
        if (visit(t, color))
            return t;
        remainder += step;
        if (remainder >= denominator) {
            remainder -= denominator;
            ++quotient;
        } else if (remainder < 0) {
            remainder += denominator;
            --quotient;
        }
    }
    return std::nullopt;
}
