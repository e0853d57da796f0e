#include "race/ResetRace.h"

#include "race/GameWindow.h"
#include "race/RaceState.h"

void ResetRace(RaceState& state, GameWindow& window)
{
    state.raceRunning = false;
    window.setTrackPointerDefault();
    window.unloadRaceDrawings();
    window.setStatusBarVisible(false);
    state.playersRacing = 0;
    state.newRecordPlayer = 0;
    state.zoom = 1.0f;
    for (PlayerRecord& p : state.players) {
        p.prevX = p.prevY = 0;
        p.posX = p.posY = 0;
        p.aimX = p.aimY = 0;
        p.moves = 0;
        p.checkpointsPassed = 0;
        p.maxSpeed = 0;
        p.state = PlayerState::NoPlayer;
        p.segmentLines.assign(1, 0);
        p.segmentStarts.assign(1, TrackPoint{});
    }
    window.showLogoInsteadOfTrack();
    window.layoutWindow();
}
