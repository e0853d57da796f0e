#include "ui/main/MoveInput.h"

#include "race/GameWindow.h"
#include "race/KeypadTargets.h"
#include "race/MoveCommit.h"
#include "race/MoveGeometry.h"
#include "race/MoveSegment.h"
#include "race/RaceState.h"
#include "race/TurnPreparation.h"
#include "shell/NumberFormat.h"
#include "ui/main/TrackCursors.h"
#include "ui/main/TrackView.h"
#include "shell/StringIds.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QScrollBar>

#include <cmath>

namespace {

constexpr int ShiftKey = 1;
constexpr int CtrlKey = 2;
constexpr int AltKey = 4;

QString whole(double value)
{
    return formatFixed(value, 0, systemDecimalSeparator());
}

// One of the arrow-key commands on a scroll bar: Shift a small step, Ctrl a large one, Alt to the end.
void scrollBy(QScrollBar* bar, int shift, int direction)
{
    switch (shift) {
    case ShiftKey:
        bar->setValue(std::clamp(bar->value() + direction * bar->singleStep(), bar->minimum(), bar->maximum()));
        break;
    case CtrlKey:
        bar->setValue(std::clamp(bar->value() + direction * bar->pageStep(), bar->minimum(), bar->maximum()));
        break;
    case AltKey:
        bar->setValue(direction < 0 ? bar->minimum() : bar->maximum());
        break;
    }
}

}  // namespace

QPoint SystemPointer::position() const
{
    return QCursor::pos();
}

void SystemPointer::setPosition(QPoint screen)
{
    QCursor::setPos(screen);
}

MoveKey moveKeyOf(const QKeyEvent& event)
{
    const int key = event.key();
    if (event.modifiers() & Qt::KeypadModifier) {
        switch (key) {
        case Qt::Key_5:
        case Qt::Key_Clear: return MoveKey::Keypad5;
        case Qt::Key_8:
        case Qt::Key_Up: return MoveKey::Keypad8;
        case Qt::Key_2:
        case Qt::Key_Down: return MoveKey::Keypad2;
        case Qt::Key_4:
        case Qt::Key_Left: return MoveKey::Keypad4;
        case Qt::Key_6:
        case Qt::Key_Right: return MoveKey::Keypad6;
        default: break;
        }
    }
    switch (key) {
    case Qt::Key_C: return MoveKey::C;
    case Qt::Key_Escape: return MoveKey::Escape;
    case Qt::Key_Space: return MoveKey::Space;
    case Qt::Key_Left: return MoveKey::Left;
    case Qt::Key_Right: return MoveKey::Right;
    case Qt::Key_Up: return MoveKey::Up;
    case Qt::Key_Down: return MoveKey::Down;
    default: return MoveKey::None;
    }
}

int shiftStateOf(const QKeyEvent& event)
{
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    return (modifiers & Qt::ShiftModifier ? ShiftKey : 0) | (modifiers & Qt::ControlModifier ? CtrlKey : 0)
           | (modifiers & Qt::AltModifier ? AltKey : 0);
}

MoveInput::MoveInput(RaceState& state, GameWindow& window, TrackView& view, PointerDevice& pointer, Hooks hooks)
    : QObject(view.picture()), state_(state), window_(window), view_(view), pointer_(pointer), hooks_(std::move(hooks))
{
    TrackPictureBox* picture = view.picture();
    connect(picture, &TrackPictureBox::mouseMoved, this, [this](Qt::MouseButtons buttons, Qt::KeyboardModifiers, QPointF position) {
        picTRT_MouseMove(buttons, 0, position);
    });
    connect(picture, &TrackPictureBox::mousePressed, this, [this](Qt::MouseButton button, Qt::KeyboardModifiers, QPointF position) {
        picTRT_MouseDown(button, 0, position);
    });
    connect(&view, &TrackView::startMarkerClicked, this, &MoveInput::picStartPozice_Click);
}

bool MoveInput::currentPlayerValid() const
{
    return state_.currentPlayer >= 1 && state_.currentPlayer <= PlayerSlots;
}

void MoveInput::picStartPozice_Click(int index)
{
    if (computersTurn()) {
        if (hooks_.hurryComputer)
            hooks_.hurryComputer();
        return;
    }
    if (state_.raceRunning || !currentPlayerValid() || state_.player(state_.currentPlayer).state != PlayerState::ChoosingStart)
        return;
    ChooseStartPosition(state_, window_, index);
}

void MoveInput::SetTrackCursor(int image)
{
    if (image == cursorImage_)
        return;
    view_.picture()->setCursor(trackCursor(image));
    cursorImage_ = image;
}

void MoveInput::setDefaultCursor()
{
    view_.picture()->unsetCursor();
    cursorImage_ = 0;
}

void MoveInput::picTRT_MouseMove(Qt::MouseButtons, int, QPointF position)
{
    const float zoom = state_.zoom;
    const float x = static_cast<float>(position.x());
    const float y = static_cast<float>(position.y());
    window_.setStatusPanel(6, LoadText(state_, StringId::PointerXLabel) + whole(static_cast<double>(x / zoom)));
    window_.setStatusPanel(7, LoadText(state_, StringId::PointerYLabel) + whole(static_cast<double>(y / zoom)));
    // The computer's move stays shown while it is the computer's turn.
    if (!state_.raceRunning || !currentPlayerValid() || computersTurn())
        return;

    TrackCanvas& canvas = view_.canvas();
    canvas.clearGuideLine();
    const PlayerRecord& player = state_.player(state_.currentPlayer);
    const double u = static_cast<double>(x / zoom);
    const double w = static_cast<double>(y / zoom);
    const double speed = std::hypot(w - player.posY, u - player.posX) / state_.stepLength;
    window_.setStatusPanel(8, LoadText(state_, StringId::SpeedLabel) + formatFixed(speed, 3, systemDecimalSeparator()));

    const bool allowed = IsAllowedTarget(state_, x, y);
    if (!allowed)
        SetTrackCursor(3);
    else
        SetTrackCursor(PathIsClear(state_, roundHalfEven(u - player.aimX), roundHalfEven(w - player.aimY)) ? 1 : 2);

    if (!state_.mouseMoveArmed) {
        // The first event after the program scrolled or centred the view draws no guide line.
        state_.mouseMoveArmed = true;
    } else if (allowed || !(hooks_.onlyAllowedMoves && hooks_.onlyAllowedMoves())) {
        drawGuideLine(position);
    }
    DrawAllowedArea(state_, window_);
    view_.picture()->showCanvasChanges();
}

void MoveInput::drawGuideLine(QPointF pointer)
{
    const PlayerRecord& player = state_.player(state_.currentPlayer);
    const double zoom = state_.zoom;
    const int px = roundHalfEven(pointer.x());
    const int py = roundHalfEven(pointer.y());
    double cx = roundHalfEven(zoom * player.posX);
    double cy = roundHalfEven(zoom * player.posY);
    // A car outside the visible part: the line ends where it leaves the view, on its way to the car.
    const auto clamp = [](double& along, double& other, double first, double last, int pointerAlong, int pointerOther) {
        double edge = along;
        if (along < first)
            edge = first;
        else if (along > last + 1)
            edge = last;
        if (edge == along || along == pointerAlong)
            return;
        other = roundHalfEven(pointerOther + (other - pointerOther) * (edge - pointerAlong) / (along - pointerAlong));
        along = edge;
    };
    if (state_.scrollbarFlags.size() >= 1 && state_.scrollbarFlags[0] == u'1') {
        const double left = -view_.pictureLeft();
        clamp(cx, cy, left, left + state_.viewWidth - 1, px, py);
    }
    if (state_.scrollbarFlags.size() >= 2 && state_.scrollbarFlags[1] == u'1') {
        const double top = -view_.pictureTop();
        clamp(cy, cx, top, top + state_.viewHeight - 1, py, px);
    }
    view_.canvas().markGuideLine(QPoint(px, py), QPoint(static_cast<int>(cx), static_cast<int>(cy)), toQRgb(player.color));
}

void MoveInput::picTRT_MouseDown(Qt::MouseButton button, int, QPointF position)
{
    if (button == Qt::RightButton) {
        if (hooks_.viewMenu)
            hooks_.viewMenu->popup(pointer_.position());
        return;
    }
    if (state_.replayRunning)
        return;
    if (computersTurn()) {
        if (button == Qt::LeftButton && hooks_.hurryComputer)
            hooks_.hurryComputer();
        return;
    }
    CommitMove(state_, window_, static_cast<float>(position.x()), static_cast<float>(position.y()));
    view_.picture()->showCanvasChanges();
}

bool MoveInput::Form_KeyDown(MoveKey key, int shift)
{
    if (key == MoveKey::None || !view_.isShown())
        return false;

    // Commands that work whether or not a race runs.
    switch (key) {
    case MoveKey::C:
        if (!state_.replayRunning && currentPlayerValid() && state_.player(state_.currentPlayer).moves == 0) {
            const auto a = state_.startLine[0], b = state_.startLine[1];
            const double zoom = state_.zoom;
            view_.CentreViewOn(roundHalfEven(zoom * (a.x + b.x) / 2.0), roundHalfEven(zoom * (a.y + b.y) / 2.0));
        }
        break;
    case MoveKey::Escape:
        if (state_.replayRunning && hooks_.leaveRecordRide)
            hooks_.leaveRecordRide();
        return true;
    case MoveKey::Left:
    case MoveKey::Right:
    case MoveKey::Up:
    case MoveKey::Down: {
        const bool horizontal = key == MoveKey::Left || key == MoveKey::Right;
        const int direction = key == MoveKey::Left || key == MoveKey::Up ? -1 : 1;
        if (shift == ShiftKey || shift == CtrlKey || shift == AltKey) {
            scrollBy(horizontal ? view_.horizontalBar() : view_.verticalBar(), shift, direction);
        } else {
            const QPoint step = horizontal ? QPoint(direction, 0) : QPoint(0, direction);
            pointer_.setPosition(pointer_.position() + step);
        }
        return true;
    }
    default:
        break;
    }

    // Commands of a running race; while the computer is about to move, Space makes its move at
    // once and nothing else moves for it.
    if (computersTurn() && (key == MoveKey::Space || (key >= MoveKey::Keypad5 && key <= MoveKey::Keypad6))) {
        if (key == MoveKey::Space && hooks_.hurryComputer)
            hooks_.hurryComputer();
        return true;
    }
    if (!state_.raceRunning || !currentPlayerValid())
        return key == MoveKey::C || key == MoveKey::Space || (key >= MoveKey::Keypad5 && key <= MoveKey::Keypad6);
    switch (key) {
    case MoveKey::C: {
        const PlayerRecord& player = state_.player(state_.currentPlayer);
        state_.mouseMoveArmed = false;
        view_.CentreViewOn(roundHalfEven(static_cast<double>(state_.zoom) * player.aimX),
                           roundHalfEven(static_cast<double>(state_.zoom) * player.aimY));
        break;
    }
    case MoveKey::Space: {
        const QPoint point = view_.picture()->mapFromGlobal(pointer_.position());
        const qint32 tx = roundHalfEven(point.x() / static_cast<double>(state_.zoom));
        const qint32 ty = roundHalfEven(point.y() / static_cast<double>(state_.zoom));
        if (!IsOutsideTrackPicture(state_, tx, ty))
            picTRT_MouseDown(Qt::LeftButton, 0, point);
        break;
    }
    default:
        keypadCommand(key, shift);
        break;
    }
    if (state_.raceRunning && currentPlayerValid() && state_.player(state_.currentPlayer).state == PlayerState::Racing)
        DrawAllowedArea(state_, window_);
    view_.picture()->showCanvasChanges();
    return true;
}

void MoveInput::keypadCommand(MoveKey key, int shift)
{
    KeypadTarget target = KeypadTarget::InertiaPoint;
    switch (key) {
    case MoveKey::Keypad8: target = KeypadTarget::Farthest; break;
    case MoveKey::Keypad2: target = KeypadTarget::Nearest; break;
    case MoveKey::Keypad4: target = KeypadTarget::TouchLeft; break;
    case MoveKey::Keypad6: target = KeypadTarget::TouchRight; break;
    default: break;
    }
    const std::optional<QPointF> point = keypadTargetPoint(state_, target);
    if (!point)
        return;
    view_.KeepCircleInView();
    const PlayerRecord& player = state_.player(state_.currentPlayer);
    const float zoom = state_.zoom;
    const qint32 x = RoundTowards(roundHalfEven(static_cast<double>(zoom) * player.aimX), zoom * static_cast<float>(point->x()));
    const qint32 y = RoundTowards(roundHalfEven(static_cast<double>(zoom) * player.aimY), zoom * static_cast<float>(point->y()));
    if (IsOutsideTrackPicture(state_, roundHalfEven(x / static_cast<double>(zoom)), roundHalfEven(y / static_cast<double>(zoom))))
        return;
    pointer_.setPosition(view_.picture()->mapToGlobal(QPoint(x, y)));
    picTRT_MouseMove(Qt::LeftButton, 0, QPointF(x, y));
    if (shift == CtrlKey)
        picTRT_MouseDown(Qt::LeftButton, 0, QPointF(x, y));
}

void MoveInput::runAutoCentring()
{
    Form_KeyDown(MoveKey::C, 0);
    Form_KeyDown(MoveKey::Keypad5, 0);
}

void MoveInput::previewKeysOf(QWidget* window)
{
    previewedWindow_ = window;
    qApp->installEventFilter(this);
}

bool MoveInput::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !previewedWindow_ || !watched->isWidgetType())
        return false;
    const QWidget* widget = static_cast<QWidget*>(watched);
    if (widget->window() != previewedWindow_ || QApplication::activePopupWidget() || QApplication::activeModalWidget())
        return false;
    const auto* keyEvent = static_cast<QKeyEvent*>(event);
    return Form_KeyDown(moveKeyOf(*keyEvent), shiftStateOf(*keyEvent));
}
