#pragma once

#include "race/GameWindow.h"
#include "race/MoveGeometry.h"

#include <QStringList>

#include <deque>
#include <map>
#include <vector>

// Stands in for the main window: records what the race asks of it and answers message boxes from
// a script (OK when the script is empty).
struct RecordingGameWindow : GameWindow {
    QStringList calls;
    std::map<int, QString> panels;
    std::deque<int> answers;
    struct Box {
        QString prompt;
        int style;
        QString title;
    };
    std::vector<Box> boxes;

    int messageBox(const QString& prompt, int style, const QString& title) override
    {
        calls << "box " + prompt;
        boxes.push_back({prompt, style, title});
        if (answers.empty())
            return 1;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void PlaySound(unsigned number) override { calls << QStringLiteral("sound %1").arg(number); }
    bool isOptionChecked(MenuOption option) const override { return options.at(option); }
    void setStatusPanel(int panel, const QString& text) override { panels[panel] = text; }
    QString statusPanel(int panel) const override
    {
        auto it = panels.find(panel);
        return it == panels.end() ? QString() : it->second;
    }
    void setTrackPointerDefault() override { calls << "pointer"; }
    void unloadRaceDrawings() override { calls << "drawings"; }
    void setStatusBarVisible(bool visible) override { calls << (visible ? "status shown" : "status hidden"); }
    void showLogoInsteadOfTrack() override { calls << "logo"; }
    void layoutWindow() override { calls << "layout"; }
    void prepareTrackView() override { calls << "track view"; }

    // The track view during a race.
    struct Line {
        QPointF from, to;
        ColorValue color;
        bool visible;
    };
    std::vector<Line> lines;  // line i is element i - 1
    std::vector<AllowedAreaOutline> outlines;
    std::map<MenuOption, bool> options{{MenuOption::Sounds, true}, {MenuOption::OnlyAllowed, true},
                                       {MenuOption::AutoCentre, false}, {MenuOption::Trajectories, true},
                                       {MenuOption::ScrollBars, true}, {MenuOption::StatusBar, true}};

    void clearTrackDrawings() override { calls << "clear drawings"; }
    void drawAllowedOutline(const AllowedAreaOutline& outline, ColorValue) override
    {
        calls << "outline";
        outlines.push_back(outline);
    }
    void CentreViewOn(qint32 x, qint32 y) override { calls << QStringLiteral("centre %1,%2").arg(x).arg(y); }
    void KeepCircleInView() override { calls << "keep circle"; }
    void runAutoCentring() override { calls << "auto centre"; }
    void clearMarkedPoints() override {}
    int loadTrajectoryLine(QPointF from, QPointF to, ColorValue color) override
    {
        lines.push_back({from, to, color, true});
        return static_cast<int>(lines.size());
    }
    void setTrajectoryLineVisible(int index, bool visible) override
    {
        if (index >= 1 && index <= static_cast<int>(lines.size()))
            lines[static_cast<size_t>(index - 1)].visible = visible;
    }
    void hideStartMarker(int index) override { calls << QStringLiteral("hide marker %1").arg(index); }
    void hideStartMarkers() override { calls << "hide markers"; }
    void setStartMarkersColor(ColorValue) override { calls << "colour markers"; }
    void turnGiven() override { calls << "turn given"; }
    void finishRaceView() override { calls << "race view finished"; }
    void showRaceResults() override { calls << "results"; }
};
