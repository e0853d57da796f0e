#pragma once

#include "race/RaceState.h"

#include <QObject>
#include <QTimer>

#include <memory>

class ComputerDriver;
class GameWindow;
class TrackView;

// The computer's turns in the window: when the turn goes to a car the computer drives, it chooses
// its start marker or its move, shows the move as the guide line to its target for a moment, so
// that the people can follow, and then makes it through the same commit as a click. A key or a
// click makes it at once. Everything is checked again when the moment is over: a race reset or a
// new race meanwhile leaves nothing to do.
class ComputerTurns : public QObject {
    Q_OBJECT

public:
    // How long the computer's move is shown before it is made.
    static constexpr int PauseMs = 400;

    ComputerTurns(RaceState& state, GameWindow& window, TrackView& view, QObject* parent = nullptr);
    ~ComputerTurns() override;

    // The turn has gone to the current player; the computer moves for its own cars.
    void turnGiven();
    // Whether the computer is about to move: the person's mouse and keys do not move for it.
    bool isComputersTurn() const;
    // The computer's move shown is made now.
    void skipPause();
    // The pause in milliseconds; the tests make it 0.
    void setPause(int milliseconds) { pause_.setInterval(milliseconds); }

private:
    void think();
    void act();
    bool sameTurnAsPlanned() const;

    RaceState& state_;
    GameWindow& window_;
    TrackView& view_;
    std::unique_ptr<ComputerDriver> driver_;
    QTimer thinking_;
    QTimer pause_;

    // What the computer chose, and for which turn.
    struct Plan {
        quint8 player = 0;
        double moves = 0;
        TrackPoint position;
        bool start = false;
        int startIndex = 0;
        TrackPoint target;
    };
    std::optional<Plan> plan_;
};
