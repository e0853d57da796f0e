#pragma once

#include <QString>
#include <vector>

class QLabel;
class QStatusBar;

// The status bar stbTrasovky with its numbered panels: 1 zoom, 2 track, 3 record, 4 player,
// 5 move number, 6 and 7 pointer position, 8 speed.
class StatusPanels {
public:
    static constexpr int PanelCount = 8;

    explicit StatusPanels(QStatusBar* bar);

    QStatusBar* bar() const { return bar_; }
    QLabel* panel(int number) const;  // 1 ... PanelCount
    void setText(int number, const QString& text);
    QString text(int number) const;
    void setPanelVisible(int number, bool visible);

    // Panel widths in tenths of the window's inner width: 1, 2, 1, 2, 1, 1, 1, 1 in a race;
    // 1, 2, 2, 1, 2, 1, 1 for the seven panels of a stored ride.
    void layout(int innerWidth, bool replayRunning);

private:
    QStatusBar* bar_;
    std::vector<QLabel*> panels_;
};
