#include "ui/main/RecordRideDisplay.h"

#include "race/RaceState.h"
#include "shell/LanguageState.h"
#include "shell/NumberFormat.h"
#include "ui/main/MainMenus.h"
#include "ui/main/StatusPanels.h"
#include "ui/main/TrackView.h"
#include "shell/StringIds.h"

#include <QAction>
#include <QMenu>
#include <QStatusBar>

#include <QPointF>

RecordRideDisplay::RecordRideDisplay(Parts parts) : parts_(std::move(parts))
{
}

void RecordRideDisplay::ShowRecordRide(bool show)
{
    RaceState& state = parts_.state;
    TrackView& view = parts_.view;
    StatusPanels& status = parts_.status;
    const MainMenus& menus = parts_.menus;

    status.setPanelVisible(8, !show);
    state.replayRunning = show;
    menus.mnuHra->menuAction()->setVisible(!show);
    if (show) {
        status.setText(1, QStringLiteral("100%"));
        status.setText(2, state.trackName + LoadText(state, StringId::RecordSuffix));
        status.setText(3, state.recordHolder);
        status.setText(4, formatFixed6(state.recordMoves, systemDecimalSeparator()));
        status.setText(5, state.recordDate);
        status.setText(6, QStringLiteral("?"));
        status.setText(7, QStringLiteral("?"));
        status.bar()->show();
        parts_.logo->hide();
        view.fitPictureToZoom();
        view.LayoutView();
        view.showView();
        if (state.scrollbarFlags != QStringLiteral("00") && state.recordRide.size() > 1) {
            const TrackPoint first = state.recordRide[1];
            view.CentreViewOn(first.x, first.y);
            view.ScrollView();
        }
        menus.mnuZpet->setVisible(true);
        menus.mnuZobrazeni->menuAction()->setVisible(true);
        menus.mnuTrajektorie->setEnabled(false);
        menus.mnuTrajektorie->setChecked(true);
        // Line i joins positions i - 1 and i; line 1 is not the ride's.
        std::vector<TrajectoryLine> ride;
        for (std::size_t i = 2; i < state.recordRide.size(); ++i) {
            const TrackPoint from = state.recordRide[i - 1], to = state.recordRide[i];
            ride.push_back({QPointF(from.x, from.y), QPointF(to.x, to.y), state.recordColor, 0, true});
        }
        view.loadLines(std::move(ride));
    } else {
        parts_.resetRace();
        view.fitPictureToZoom();
    }
    parts_.layoutStatusBar();
}
