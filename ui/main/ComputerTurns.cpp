#include "ui/main/ComputerTurns.h"

#include "files/TrackPicture.h"
#include "race/ComputerDriver.h"
#include "race/GameWindow.h"
#include "race/MoveCommit.h"
#include "race/MoveGeometry.h"
#include "ui/main/TrackView.h"

#include <QApplication>

ComputerTurns::ComputerTurns(RaceState& state, GameWindow& window, TrackView& view, QObject* parent)
    : QObject(parent), state_(state), window_(window), view_(view)
{
    thinking_.setSingleShot(true);
    thinking_.setInterval(0);
    pause_.setSingleShot(true);
    pause_.setInterval(PauseMs);
    connect(&thinking_, &QTimer::timeout, this, &ComputerTurns::think);
    connect(&pause_, &QTimer::timeout, this, &ComputerTurns::act);
}

ComputerTurns::~ComputerTurns() = default;

void ComputerTurns::turnGiven()
{
    // Once the turn is prepared: the event that gave it returns first.
    thinking_.start();
}

bool ComputerTurns::isComputersTurn() const
{
    const int number = state_.currentPlayer;
    if (number < 1 || number > PlayerSlots || !state_.drivenByComputer(number))
        return false;
    const PlayerState carState = state_.player(number).state;
    return (state_.raceRunning && carState == PlayerState::Racing) || (!state_.raceRunning && carState == PlayerState::ChoosingStart);
}

bool ComputerTurns::sameTurnAsPlanned() const
{
    if (!plan_ || !isComputersTurn() || state_.currentPlayer != plan_->player)
        return false;
    const PlayerRecord& car = state_.player(plan_->player);
    return car.moves == plan_->moves && car.posX == plan_->position.x && car.posY == plan_->position.y
           && plan_->start == (car.state == PlayerState::ChoosingStart);
}

void ComputerTurns::think()
{
    plan_.reset();
    if (!isComputersTurn() || pause_.isActive())
        return;
    if (!driver_ || !driver_->knowsTrack(state_)) {
        // Measuring a track for the drivers takes a moment on a large one, once per track.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        driver_ = std::make_unique<ComputerDriver>(state_);
        QApplication::restoreOverrideCursor();
    }
    const int number = state_.currentPlayer;
    const PlayerRecord& car = state_.player(number);
    Plan plan;
    plan.player = static_cast<quint8>(number);
    plan.moves = car.moves;
    plan.position = {car.posX, car.posY};
    plan.start = car.state == PlayerState::ChoosingStart;
    if (plan.start) {
        plan.startIndex = driver_->chooseStart(state_, number);
    } else {
        plan.target = driver_->chooseTarget(state_, number);
        // The move shown as the guide line from its target to the car.
        const double zoom = state_.zoom;
        TrackCanvas& canvas = view_.canvas();
        canvas.clearGuideLine();
        canvas.markGuideLine(QPoint(roundHalfEven(zoom * plan.target.x), roundHalfEven(zoom * plan.target.y)),
                             QPoint(roundHalfEven(zoom * car.posX), roundHalfEven(zoom * car.posY)), toQRgb(car.color));
        view_.picture()->showCanvasChanges();
    }
    plan_ = plan;
    pause_.start();
}

void ComputerTurns::skipPause()
{
    if (!pause_.isActive())
        return;
    pause_.stop();
    act();
}

void ComputerTurns::act()
{
    if (!sameTurnAsPlanned()) {
        plan_.reset();
        return;
    }
    const Plan plan = *plan_;
    plan_.reset();
    if (plan.start) {
        ChooseStartPosition(state_, window_, plan.startIndex);
    } else {
        view_.canvas().clearGuideLine();
        CommitMoveTo(state_, window_, plan.target);
    }
    view_.picture()->showCanvasChanges();
}
