#include "race/TurnCycle.h"

#include "race/GameWindow.h"
#include "race/MoveGeometry.h"
#include "race/Ranking.h"
#include "shell/MessageBoxStyle.h"
#include "shell/NumberFormat.h"
#include "shell/StringIds.h"

#include <cmath>

namespace {

// Sounds.
constexpr unsigned CrashSounds = 2;          // 2, 3, 4: one, two, three turns lost
constexpr unsigned CrashOutSound = 5;
constexpr unsigned DisqualifiedSound = 6;
constexpr unsigned FinishSound = 7;

QString fixed6(double value)
{
    return formatFixed6(value, systemDecimalSeparator());
}

void showTurnOf(const RaceState& state, GameWindow& window, const PlayerRecord& player)
{
    window.setStatusPanel(4, player.name);
    window.setStatusPanel(5, LoadText(state, StringId::MoveLabel) + formatGeneral(player.moves, systemDecimalSeparator()));
}

// A question or notice for the player whose turn it is. The computer asks itself nothing: it chose
// its move knowing what it does, so it answers Yes, and it needs no notice.
int askCurrentPlayer(const RaceState& state, GameWindow& window, const QString& prompt, int style, const QString& title)
{
    if (state.drivenByComputer(state.currentPlayer))
        return (style & 7) == 4 ? AnswerYes : AnswerOk;
    return window.messageBox(prompt, style, title);
}

}  // namespace

bool ConfirmCrash(RaceState& state, GameWindow& window, float speed)
{
    PlayerRecord& player = state.player(state.currentPlayer);
    const int style = state.AskBeforeCrash ? StyleYesNoDefaultNo : StyleInformationNote;
    const QString title = LoadText(state, StringId::WarningTitle);
    const QString prefix = LoadText(state, StringId::CrashSpeedText) + fixed6(speed);
    if (speed < 3.0f) {
        const int turns = static_cast<int>(std::ceil(speed));
        if (turns == 0) {
            player.state = PlayerState::Racing;
            return true;
        }
        if (askCurrentPlayer(state, window, prefix + LoadText(state, StringId::FirstPenaltyText + turns - 1), style, title) == AnswerNo)
            return false;
        window.PlaySound(CrashSounds + static_cast<unsigned>(turns) - 1);
        player.state = sittingOut(turns);
        return true;
    }
    if (askCurrentPlayer(state, window, prefix + LoadText(state, StringId::CrashOutText), style, title) == AnswerNo)
        return false;
    window.PlaySound(CrashOutSound);
    player.state = PlayerState::CrashedOut;
    --state.playersRacing;
    askCurrentPlayer(state, window, LoadText(state, StringId::CarDamagedText), StyleCritical, LoadText(state, StringId::CrashTitle));
    return true;
}

bool ConfirmWrongCheckpoint(RaceState& state, GameWindow& window)
{
    if (askCurrentPlayer(state, window, LoadText(state, StringId::WrongCheckpointText), StyleYesNoDefaultNo, LoadText(state, StringId::WarningTitle)) == AnswerNo)
        return false;
    window.PlaySound(DisqualifiedSound);
    state.player(state.currentPlayer).state = PlayerState::Disqualified;
    --state.playersRacing;
    askCurrentPlayer(state, window, LoadText(state, StringId::DisqualifiedText), StyleCritical, LoadText(state, StringId::DisqualifiedTitle));
    return true;
}

void FinishCar(RaceState& state, GameWindow& window, float fraction)
{
    PlayerRecord& player = state.player(state.currentPlayer);
    player.state = PlayerState::Finished;
    player.moves = player.moves + static_cast<double>(fraction) - 1;
    --state.playersRacing;
    window.PlaySound(FinishSound);
    askCurrentPlayer(state, window, LoadText(state, StringId::FinishText) + fixed6(player.moves) + '.', StyleExclamation, LoadText(state, StringId::FinishTitle));
}

void PassTurn(RaceState& state, GameWindow& window)
{
    for (;;) {
        if (state.playersRacing == 0) {
            EndRace(state, window);
            return;
        }
        bool anyInRace = false;
        for (int i = 0; i <= 9; ++i) {
            const int number = (state.currentPlayer + i) % PlayerSlots + 1;
            PlayerRecord& player = state.player(number);
            if (player.state == PlayerState::Racing || player.state == PlayerState::ChoosingStart) {
                state.currentPlayer = static_cast<quint8>(number);
                if (player.state != PlayerState::ChoosingStart)
                    player.moves += 1;
                showTurnOf(state, window, player);
                window.turnGiven();
                return;
            }
            if (const int turns = turnsToSitOut(player.state); turns > 0) {
                anyInRace = true;
                player.moves += 1;
                if (window.isOptionChecked(MenuOption::AutoCentre))
                    window.CentreViewOn(roundHalfEven(static_cast<double>(state.zoom) * player.aimX),
                                        roundHalfEven(static_cast<double>(state.zoom) * player.aimY));
                window.clearTrackDrawings();
                showTurnOf(state, window, player);
                window.setStatusPanel(8, LoadText(state, StringId::SpeedLabel) + '0');
                // A computer sitting out is seen on the status bar; nobody needs to press OK for it.
                if (player.driver == DriverKind::Person)
                    window.messageBox(player.name + LoadText(state, StringId::FirstSitOutNote + turns - 1), StyleInformation,
                                      LoadText(state, StringId::SitOutTitle));
                player.state = sittingOut(turns - 1);
            }
        }
        // A count of racing cars with no car left to race would sweep for ever: the race is over.
        if (!anyInRace)
            state.playersRacing = 0;
    }
}

void EndRace(RaceState& state, GameWindow& window)
{
    state.raceRunning = false;
    window.finishRaceView();
    RankPlayers(state);
    window.showRaceResults();
}
