#pragma once

#include "race/GameWindow.h"

// A main window that does nothing: the benchmarks measure the race rules, not the drawing.
struct QuietGameWindow : GameWindow {
    int messageBox(const QString&, int, const QString&) override { return 1; }
    void PlaySound(unsigned) override {}
    bool isOptionChecked(MenuOption) const override { return false; }
    void setStatusPanel(int, const QString&) override {}
    QString statusPanel(int) const override { return {}; }
    void setTrackPointerDefault() override {}
    void unloadRaceDrawings() override {}
    void setStatusBarVisible(bool) override {}
    void showLogoInsteadOfTrack() override {}
    void layoutWindow() override {}
    void prepareTrackView() override {}
    void clearTrackDrawings() override {}
    void drawAllowedOutline(const AllowedAreaOutline&, ColorValue) override {}
    void CentreViewOn(qint32, qint32) override {}
    void KeepCircleInView() override {}
    void runAutoCentring() override {}
    void clearMarkedPoints() override {}
    int loadTrajectoryLine(QPointF, QPointF, ColorValue) override { return 0; }
    void setTrajectoryLineVisible(int, bool) override {}
    void hideStartMarker(int) override {}
    void hideStartMarkers() override {}
    void setStartMarkersColor(ColorValue) override {}
    void turnGiven() override {}
    void finishRaceView() override {}
    void showRaceResults() override {}
};
