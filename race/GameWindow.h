#pragma once

#include <QString>

// The menu options whose check marks the race reads.
enum class MenuOption {
    Sounds,          // mnuZvuky
    OnlyAllowed,     // mnuJen
    AutoCentre,      // mnuCentrovat
    Trajectories,    // mnuTrajektorie
    ScrollBars,      // mnuScrollbary
    StatusBar,       // mnuStatusbar
};

// What the race asks of the main window. The main window implements it; tests put a recording
// fake in its place, so every rule of the race runs without a window.
class GameWindow {
public:
    virtual ~GameWindow() = default;

    // A message box of the given style (see MessageBoxStyle.h); gives the answer 1 (OK), 6 (Yes) or 7 (No).
    virtual int messageBox(const QString& prompt, int style, const QString& title) = 0;
    // Plays event sound number (0 ... 9) while sounds are on.
    virtual void PlaySound(unsigned number) = 0;
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
};
