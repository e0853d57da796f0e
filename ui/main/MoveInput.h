#pragma once

#include <QObject>
#include <QPoint>
#include <QPointF>

#include <functional>

class GameWindow;
class QKeyEvent;
class QMenu;
class TrackView;
struct RaceState;

// Reading and placing the mouse pointer, in screen pixels. The program uses the system's pointer;
// tests put their own in its place.
class PointerDevice {
public:
    virtual ~PointerDevice() = default;
    virtual QPoint position() const = 0;
    virtual void setPosition(QPoint screen) = 0;
};

class SystemPointer : public PointerDevice {
public:
    QPoint position() const override;
    void setPosition(QPoint screen) override;
};

// The keys of the move input. Keypad keys are keypad commands whether Num Lock gives digits or
// arrows; the arrow keys of the cursor block keep their own commands.
enum class MoveKey {
    None,
    C,
    Escape,
    Left,
    Right,
    Up,
    Down,
    Keypad5,
    Keypad8,
    Keypad2,
    Keypad4,
    Keypad6,
    Space,
};

// The key of a key event and its shift state (1 Shift, 2 Ctrl, 4 Alt, added).
MoveKey moveKeyOf(const QKeyEvent& event);
int shiftStateOf(const QKeyEvent& event);

// The move input: the mouse and the keys over the track view turned into start choices, aiming
// (readouts, pointer shape, guide line) and committed moves.
class MoveInput : public QObject {
    Q_OBJECT

public:
    struct Hooks {
        std::function<bool()> onlyAllowedMoves;  // "Jen povolený tah" is checked
        std::function<void()> leaveRecordRide;   // Esc while a stored ride is shown
        QMenu* viewMenu = nullptr;               // popped up by the right button
        std::function<bool()> computersTurn;     // the computer is about to move: nobody moves for it
        std::function<void()> hurryComputer;     // a click or Space: the computer's move is made at once
    };

    MoveInput(RaceState& state, GameWindow& window, TrackView& view, PointerDevice& pointer, Hooks hooks);

    // Mouse and keys, with the shift state as above.
    void picStartPozice_Click(int index);
    void picTRT_MouseMove(Qt::MouseButtons buttons, int shift, QPointF position);
    void picTRT_MouseDown(Qt::MouseButton button, int shift, QPointF position);
    // True when the key is one of the move input's; nothing happens while the track view is hidden.
    bool Form_KeyDown(MoveKey key, int shift);

    // Pointer image 1 (allowed, clear path), 2 (allowed, barrier on the path) or 3 (not allowed).
    void SetTrackCursor(int image);
    // The default pointer; the next SetTrackCursor sets its image whatever it was before.
    void setDefaultCursor();
    // The key commands C and keypad 5: the view centred on the inertia point, the pointer on it.
    void runAutoCentring();

    // Keys pressed anywhere in window reach Form_KeyDown first, as long as no dialog or menu is open.
    void previewKeysOf(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void keypadCommand(MoveKey key, int shift);
    void drawGuideLine(QPointF pointer);
    bool currentPlayerValid() const;
    bool computersTurn() const { return hooks_.computersTurn && hooks_.computersTurn(); }

    RaceState& state_;
    GameWindow& window_;
    TrackView& view_;
    PointerDevice& pointer_;
    Hooks hooks_;
    QWidget* previewedWindow_ = nullptr;
    int cursorImage_ = 0;  // the pointer image last set; 0 for the default pointer
};
