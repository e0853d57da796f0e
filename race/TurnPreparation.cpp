#include "race/TurnPreparation.h"

#include "race/GameWindow.h"
#include "race/MoveCommit.h"
#include "race/MoveGeometry.h"
#include "shell/MessageBoxStyle.h"
#include "shell/StringIds.h"

#include <algorithm>
#include <cmath>

namespace {

// The distance from the inertia point to the track picture, as far as the turn needs it: 0 or
// more than the step length when only one coordinate is off the picture.
double distanceToPicture(const RaceState& state, qint64 aimX, qint64 aimY)
{
    const qint64 w = state.trackWidth, h = state.trackHeight, s = state.stepLength;
    const bool left = aimX < 0, right = aimX > w, above = aimY < 0, below = aimY > h;
    if ((left || right) && (above || below)) {
        const double dx = static_cast<double>(left ? aimX : aimX - w);
        const double dy = static_cast<double>(above ? aimY : aimY - h);
        return std::sqrt(dx * dx + dy * dy);
    }
    if (aimX - s <= w && aimX + s >= 0 && aimY + s >= 0 && aimY - s <= h)
        return 0;
    return static_cast<double>(s + 1);
}

void makeForcedMove(RaceState& state, GameWindow& window)
{
    const PlayerRecord& player = state.player(state.currentPlayer);
    window.KeepCircleInView();
    state.AskBeforeCrash = false;
    if (!state.drivenByComputer(state.currentPlayer))
        window.messageBox(LoadText(state, StringId::CircleOffTrackText), StyleCritical, LoadText(state, StringId::ErrorTitle));
    // The point of the circle nearest to the car, on the line of the last move.
    const double lastX = static_cast<double>(player.posX) - player.aimX;
    const double lastY = static_cast<double>(player.posY) - player.aimY;
    const double v = std::sqrt(lastX * lastX + lastY * lastY);
    const double f = 1 - state.stepLength / v;
    const float tx = static_cast<float>(player.posX - f * lastX);
    const float ty = static_cast<float>(player.posY - f * lastY);
    const float zoom = state.zoom;
    const qint32 x = RoundTowards(roundHalfEven(static_cast<double>(zoom) * player.aimX), zoom * tx);
    const qint32 y = RoundTowards(roundHalfEven(static_cast<double>(zoom) * player.aimY), zoom * ty);
    CommitMove(state, window, static_cast<float>(x), static_cast<float>(y));
    state.AskBeforeCrash = true;
}

}  // namespace

void DrawAllowedArea(const RaceState& state, GameWindow& window)
{
    window.drawAllowedOutline(allowedAreaOutline(state), state.player(state.currentPlayer).color);
}

void PrepareTurn(RaceState& state, GameWindow& window)
{
    PlayerRecord& player = state.player(state.currentPlayer);
    player.aimX = 2 * player.posX - player.prevX;
    player.aimY = 2 * player.posY - player.prevY;
    if (window.isOptionChecked(MenuOption::AutoCentre))
        window.runAutoCentring();
    window.clearTrackDrawings();
    DrawAllowedArea(state, window);

    // The collision window: the car and its circle. The colour tests read the track raster
    // through it, one pixel per track unit.
    const qint32 s = state.stepLength;
    const qint32 left = std::min(player.posX, player.aimX - s);
    const qint32 top = std::min(player.posY, player.aimY - s);
    state.CollisionWindow = {player.posX - left, player.posY - top, player.aimX - left, player.aimY - top, left, top};

    const bool inside = player.aimX >= 0 && player.aimX <= state.trackWidth && player.aimY >= 0 && player.aimY <= state.trackHeight;
    if (inside || distanceToPicture(state, player.aimX, player.aimY) < s)
        return;
    makeForcedMove(state, window);
}
