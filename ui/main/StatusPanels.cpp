#include "ui/main/StatusPanels.h"

#include <QLabel>
#include <QLayout>
#include <QStatusBar>
#include <array>
#include <stdexcept>

StatusPanels::StatusPanels(QStatusBar* bar) : bar_(bar)
{
    bar_->setObjectName(QStringLiteral("stbTrasovky"));
    bar_->setSizeGripEnabled(false);
    for (int number = 1; number <= PanelCount; ++number) {
        auto* label = new QLabel(bar_);
        label->setObjectName(QStringLiteral("Panel%1").arg(number));
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        label->setTextFormat(Qt::PlainText);
        label->setMinimumWidth(0);
        bar_->addWidget(label);
        panels_.push_back(label);
    }
}

QLabel* StatusPanels::panel(int number) const
{
    if (number < 1 || number > PanelCount)
        throw std::out_of_range("status bar panel number out of range");
    return panels_[static_cast<std::size_t>(number - 1)];
}

void StatusPanels::setText(int number, const QString& text)
{
    panel(number)->setText(text);
}

QString StatusPanels::text(int number) const
{
    return panel(number)->text();
}

void StatusPanels::setPanelVisible(int number, bool visible)
{
    panel(number)->setVisible(visible);
}

void StatusPanels::layout(int innerWidth, bool replayRunning)
{
    static constexpr std::array<int, PanelCount> raceTenths = {1, 2, 1, 2, 1, 1, 1, 1};
    static constexpr std::array<int, PanelCount> replayTenths = {1, 2, 2, 1, 2, 1, 1, 0};
    const auto& tenths = replayRunning ? replayTenths : raceTenths;
    const int spacing = bar_->layout() ? bar_->layout()->spacing() : 0;
    for (int i = 0; i < PanelCount; ++i) {
        const int width = innerWidth * tenths[static_cast<std::size_t>(i)] / 10 - spacing;
        panels_[static_cast<std::size_t>(i)]->setFixedWidth(std::max(0, width));
    }
}
