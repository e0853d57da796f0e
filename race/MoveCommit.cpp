#include "race/MoveCommit.h"

#include "race/GameWindow.h"
#include "race/MoveGeometry.h"
#include "race/MoveSegment.h"
#include "race/MoveTrial.h"
#include "race/TurnCycle.h"
#include "race/TurnPreparation.h"

#include <algorithm>

namespace {

constexpr unsigned StartSound = 0;

// The newest segment of the player is always shown; older ones only with "Trajektorie" checked.
void retireLastSegment(const PlayerRecord& player, GameWindow& window)
{
    window.setTrajectoryLineVisible(player.segmentLines.back(), window.isOptionChecked(MenuOption::Trajectories));
}

void appendSegment(RaceState& state, PlayerRecord& player, int line, QPointF from)
{
    player.segmentLines.push_back(line);
    player.segmentStarts.push_back({roundHalfEven(from.x() / static_cast<double>(state.zoom)),
                                    roundHalfEven(from.y() / static_cast<double>(state.zoom))});
}

QPointF inView(const RaceState& state, qint32 x, qint32 y)
{
    return {static_cast<double>(state.zoom * static_cast<float>(x)), static_cast<double>(state.zoom * static_cast<float>(y))};
}

// The move of the current player to target, allowed already: tested, recorded, the turn passed on.
void commitTarget(RaceState& state, GameWindow& window, TrackPoint target)
{
    PlayerRecord& player = state.player(state.currentPlayer);
    const MoveOutcome outcome = TestMoveSegment(state, window, target.x - player.aimX, target.y - player.aimY);
    if (outcome == MoveOutcome::Withdrawn)
        return;

    window.clearMarkedPoints();
    player.prevX = player.posX;
    player.prevY = player.posY;
    player.posX = target.x;
    player.posY = target.y;
    const QPointF from = inView(state, player.prevX, player.prevY);
    const int line = window.loadTrajectoryLine(from, inView(state, player.posX, player.posY), player.color);
    retireLastSegment(player, window);
    appendSegment(state, player, line, from);
    if (outcome == MoveOutcome::Crashed) {
        // The car slides back to its resting place and stands still there.
        const QPointF crashAt = inView(state, player.posX, player.posY);
        const int slide = window.loadTrajectoryLine(crashAt, inView(state, player.aimX, player.aimY), player.color);
        player.prevX = player.posX = player.aimX;
        player.prevY = player.posY = player.aimY;
        retireLastSegment(player, window);
        appendSegment(state, player, slide, crashAt);
    }

    PassTurn(state, window);
    if (state.raceRunning)
        PrepareTurn(state, window);
}

}  // namespace

void CommitMove(RaceState& state, GameWindow& window, float x, float y)
{
    if (!state.raceRunning || !IsAllowedTarget(state, x, y))
        return;
    commitTarget(state, window, {roundHalfEven(static_cast<double>(x / state.zoom)), roundHalfEven(static_cast<double>(y / state.zoom))});
}

void CommitMoveTo(RaceState& state, GameWindow& window, TrackPoint target)
{
    if (!state.raceRunning)
        return;
    const PlayerRecord& player = state.player(state.currentPlayer);
    if (!isAllowedPoint(state, {player.posX, player.posY}, {player.aimX, player.aimY}, target))
        return;
    commitTarget(state, window, target);
}

void ChooseStartPosition(RaceState& state, GameWindow& window, int index)
{
    if (index < 1 || index > static_cast<int>(state.startPositions.size()))
        return;
    PlayerRecord& player = state.player(state.currentPlayer);
    player.state = PlayerState::Racing;
    const TrackPoint corner = state.startPositions[static_cast<size_t>(index - 1)];
    player.prevX = player.posX = corner.x + StartMarkerSize / 2;
    player.prevY = player.posY = corner.y + StartMarkerSize / 2;
    window.hideStartMarker(index);
    window.PlaySound(StartSound);
    PassTurn(state, window);
    const bool someoneChoosing = std::any_of(state.players.begin(), state.players.end(),
                                             [](const PlayerRecord& p) { return p.state == PlayerState::ChoosingStart; });
    if (someoneChoosing) {
        window.setStartMarkersColor(state.player(state.currentPlayer).color);
        return;
    }
    window.hideStartMarkers();
    state.raceRunning = true;
    PrepareTurn(state, window);
}
