#pragma once

#include "race/ColorValue.h"

#include <QPointF>
#include <QString>

struct AllowedAreaOutline;

// The menu options whose check marks the race reads.
enum class MenuOption {
    Sounds,          // mnuZvuky
    OnlyAllowed,     // mnuJen
    AutoCentre,      // mnuCentrovat
    Trajectories,    // mnuTrajektorie
    ScrollBars,      // mnuScrollbary
    StatusBar,       // mnuStatusbar
};

// What the race shows: the options it reads, the status bar, the track view with its drawings,
// trajectory lines and start markers.
class RaceView {
public:
    virtual ~RaceView() = default;

    virtual bool isOptionChecked(MenuOption option) const = 0;
    // Status bar panel n, counted from 1.
    virtual void setStatusPanel(int panel, const QString& text) = 0;
    virtual QString statusPanel(int panel) const = 0;

    // The steps of a race reset that belong to the window.
    virtual void setTrackPointerDefault() = 0;        // the track view's mouse pointer back to the default
    virtual void unloadRaceDrawings() = 0;             // trajectory lines and start markers above 1; hide marker 1
    virtual void setStatusBarVisible(bool visible) = 0;
    virtual void showLogoInsteadOfTrack() = 0;         // hide the view, its scroll bars and race menus, show the logo
    virtual void layoutWindow() = 0;                   // lay the window out again

    // A track has loaded: the track view takes its picture, size and background colour.
    virtual void prepareTrackView() = 0;

    // The track view during a race. Positions are in view units (track units × zoom).
    virtual void clearTrackDrawings() = 0;  // everything drawn on the picture; trajectory lines stay
    virtual void drawAllowedOutline(const AllowedAreaOutline& outline, ColorValue color) = 0;
    virtual void CentreViewOn(qint32 x, qint32 y) = 0;
    virtual void KeepCircleInView() = 0;  // scrolls so that the current player's circle is visible
    // Automatic centring: the key commands C and keypad 5 — the view centred on the inertia point
    // and the pointer put on it.
    virtual void runAutoCentring() = 0;
    virtual void clearMarkedPoints() = 0;  // forgets the guide line's saved pixels without restoring them
    // A new visible trajectory line with the index one above the highest in use; gives that index.
    virtual int loadTrajectoryLine(QPointF from, QPointF to, ColorValue color) = 0;
    virtual void setTrajectoryLineVisible(int index, bool visible) = 0;

    // The start markers (numbered from 1) while the players choose their start positions.
    virtual void hideStartMarker(int index) = 0;
    virtual void hideStartMarkers() = 0;
    virtual void setStartMarkersColor(ColorValue color) = 0;

    // The turn has been given to the current player (his turn is prepared once this returns): where
    // the computer drives that car, the window lets it move.
    virtual void turnGiven() = 0;

    // The race has ended: drawings cleared, default pointer, "Trajektorie" disabled (and its
    // command run once if it was checked).
    virtual void finishRaceView() = 0;
    // The players are ranked: show the results.
    virtual void showRaceResults() = 0;
};
