#pragma once

#include <functional>

class QWidget;
class StatusPanels;
class TrackView;
struct MainMenus;
struct RaceState;

// The stored record ride on the main window's track view: the whole ride as one trajectory in the
// holder's colour, the record's data in a status bar of seven panels, the game menu hidden and
// "Zpět" in the view menu to leave it.
class RecordRideDisplay {
public:
    struct Parts {
        RaceState& state;
        TrackView& view;
        StatusPanels& status;
        const MainMenus& menus;
        QWidget* logo;
        std::function<void()> resetRace;        // the race reset: the view hidden, the logo back
        std::function<void()> layoutStatusBar;  // the panel widths for the panels shown
    };

    explicit RecordRideDisplay(Parts parts);

    // Shows the ride (true) or leaves it (false).
    void ShowRecordRide(bool show);

private:
    Parts parts_;
};
