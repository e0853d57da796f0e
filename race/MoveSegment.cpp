#include "race/MoveSegment.h"

#include "race/CheckpointProgress.h"
#include "race/GameWindow.h"
#include "race/MoveGeometry.h"
#include "race/SegmentWalk.h"
#include "race/TurnCycle.h"

#include <cmath>

namespace {

// The car's position in track units and the move to the chosen point, both from the collision window.
struct Move {
    TrackPoint start;
    qint64 dx;
    qint64 dy;
};

Move moveOf(const RaceState& state, qint32 offsetX, qint32 offsetY)
{
    const auto& window = state.CollisionWindow;
    const qint64 endX = static_cast<qint64>(offsetX) + window.CentreX;
    const qint64 endY = static_cast<qint64>(offsetY) + window.CentreY;
    return {TrackPoint{window.StartX + window.left, window.StartY + window.top}, endX - window.StartX, endY - window.StartY};
}

}  // namespace

MoveOutcome TestMoveSegment(RaceState& state, GameWindow& window, qint32 offsetX, qint32 offsetY)
{
    const Move move = moveOf(state, offsetX, offsetY);
    if (move.dx == 0 && move.dy == 0)
        return MoveOutcome::OrdinaryMove;
    PlayerRecord& player = state.player(state.currentPlayer);
    const double speed = std::sqrt(static_cast<double>(move.dx * move.dx + move.dy * move.dy)) / state.stepLength;
    if (speed > player.maxSpeed)
        player.maxSpeed = speed;

    const SegmentWalk walk(move.start, move.dx, move.dy);
    CheckpointProgress progress{player.checkpointsPassed, false};
    SampleEvent event = SampleEvent::None;
    const std::optional<qint64> stop = walk.walk(state.trackRaster, walk.length(), [&](qint64, ColorValue color) {
        event = classifySample(state, progress, color);
        return event != SampleEvent::None;
    });
    // The checkpoints passed on the way become the player's only when the move is made: a
    // withdrawn move leaves the race as it was.
    switch (event) {
    case SampleEvent::Crash: {
        if (!ConfirmCrash(state, window, static_cast<float>(speed)))
            return MoveOutcome::Withdrawn;
        const TrackPoint rest = walk.towardsStart(*stop - 2);
        player.checkpointsPassed = progress.passed;
        player.aimX = rest.x;
        player.aimY = rest.y;
        return MoveOutcome::Crashed;
    }
    case SampleEvent::WrongEntry:
    case SampleEvent::ExitWithoutEntry:
        return ConfirmWrongCheckpoint(state, window) ? MoveOutcome::OutOfOrder : MoveOutcome::Withdrawn;
    case SampleEvent::Finished:
        player.checkpointsPassed = progress.passed;
        FinishCar(state, window, static_cast<float>(static_cast<double>(*stop) / static_cast<double>(walk.length())));
        return MoveOutcome::CrossedFinish;
    case SampleEvent::None:
        break;
    }
    const qint64 endX = static_cast<qint64>(offsetX) + player.aimX;
    const qint64 endY = static_cast<qint64>(offsetY) + player.aimY;
    if (endX >= 0 && endX <= state.trackWidth - 1LL && endY >= 0 && endY <= state.trackHeight - 1LL) {
        player.checkpointsPassed = progress.passed;
        window.PlaySound(1);
        return MoveOutcome::OrdinaryMove;
    }
    const std::optional<TrackPoint> edge = clipToTrack(state, TrackPoint{player.posX, player.posY}, endX, endY);
    if (!ConfirmCrash(state, window, static_cast<float>(speed)))
        return MoveOutcome::Withdrawn;
    player.checkpointsPassed = progress.passed;
    player.aimX = edge ? edge->x : player.posX;
    player.aimY = edge ? edge->y : player.posY;
    return MoveOutcome::Crashed;
}

bool PathIsClear(const RaceState& state, qint32 dx, qint32 dy)
{
    const Move move = moveOf(state, dx, dy);
    if (move.dx == 0 && move.dy == 0)
        return true;
    const SegmentWalk walk(move.start, move.dx, move.dy);
    const ColorValue barrier = state.crashColor;
    return !walk.walk(state.trackRaster, walk.length() - 1, [barrier](qint64, ColorValue color) { return color == barrier; });
}
