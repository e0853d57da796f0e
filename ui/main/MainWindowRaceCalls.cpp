// The window calls of the race, answered through the main window's parts: message boxes and
// sounds, the options and the status bar, the track view with its drawings and start markers, and
// the window's part of the race start.

#include "ui/main/MainWindow.h"

#include "race/MoveGeometry.h"
#include "race/ResultsTable.h"
#include "race/RaceState.h"
#include "shell/LanguageState.h"
#include "shell/NumberFormat.h"
#include "shell/SoundPlayer.h"
#include "ui/main/ComputerTurns.h"
#include "ui/main/MoveInput.h"
#include "ui/main/TrackView.h"
#include "shell/StringIds.h"

#include <QAction>
#include <QDateTime>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QStatusBar>

namespace {

constexpr unsigned ResultsSound = 9;

}  // namespace

int MainWindow::messageBox(const QString& prompt, int style, const QString& title)
{
    if (services_.messageBox)
        return services_.messageBox(prompt, style, title);
    const MessageBoxButtonTexts buttons{LoadText(state_, StringId::OkButton), LoadText(state_, StringId::YesButton), LoadText(state_, StringId::NoButton)};
    return showMessageBox(this, prompt, style, title, buttons);
}

void MainWindow::PlaySound(unsigned number)
{
    ::PlaySound(*services_.soundOutput, services_.programDirectory, menus_.mnuZvuky->isChecked(), number);
}

bool MainWindow::isOptionChecked(MenuOption option) const
{
    switch (option) {
    case MenuOption::Sounds: return menus_.mnuZvuky->isChecked();
    case MenuOption::OnlyAllowed: return menus_.mnuJen->isChecked();
    case MenuOption::AutoCentre: return menus_.mnuCentrovat->isChecked();
    case MenuOption::Trajectories: return menus_.mnuTrajektorie->isChecked();
    case MenuOption::ScrollBars: return menus_.mnuScrollbary->isChecked();
    case MenuOption::StatusBar: return menus_.mnuStatusbar->isChecked();
    }
    return false;
}

void MainWindow::setStatusPanel(int panel, const QString& text)
{
    stbTrasovky_->setText(panel, text);
}

QString MainWindow::statusPanel(int panel) const
{
    return stbTrasovky_->text(panel);
}

void MainWindow::setTrackPointerDefault()
{
    moveInput_->setDefaultCursor();
}

void MainWindow::unloadRaceDrawings()
{
    trackView_->unloadLines();
    trackView_->unloadStartMarkers();
}

void MainWindow::setStatusBarVisible(bool visible)
{
    stbTrasovky_->bar()->setVisible(visible);
}

void MainWindow::showLogoInsteadOfTrack()
{
    menus_.mnuZobrazeni->menuAction()->setVisible(false);
    trackView_->hideView();
    for (QAction* item : {menus_.mnuInfo, menus_.mnuVysledky, menus_.mnuZpet, menus_.mnuJen, menus_.mnuCentrovat})
        item->setVisible(false);
    imgLogo_->show();
}

void MainWindow::prepareTrackView()
{
    trackView_->prepareTrack();
}

void MainWindow::clearTrackDrawings()
{
    trackView_->clearDrawings();
}

void MainWindow::drawAllowedOutline(const AllowedAreaOutline& outline, ColorValue color)
{
    trackView_->drawAllowedOutline(outline, color);
}

void MainWindow::CentreViewOn(qint32 x, qint32 y)
{
    trackView_->CentreViewOn(x, y);
}

void MainWindow::KeepCircleInView()
{
    trackView_->KeepCircleInView();
}

void MainWindow::runAutoCentring()
{
    moveInput_->runAutoCentring();
}

void MainWindow::clearMarkedPoints()
{
    trackView_->canvas().forgetGuideLine();
}

int MainWindow::loadTrajectoryLine(QPointF from, QPointF to, ColorValue color)
{
    return trackView_->loadLine(from, to, color);
}

void MainWindow::setTrajectoryLineVisible(int index, bool visible)
{
    trackView_->setLineVisible(index, visible);
}

void MainWindow::hideStartMarker(int index)
{
    trackView_->hideStartMarker(index);
}

void MainWindow::hideStartMarkers()
{
    trackView_->hideStartMarkers();
}

void MainWindow::setStartMarkersColor(ColorValue color)
{
    trackView_->setStartMarkersColor(color);
}

void MainWindow::turnGiven()
{
    computerTurns_->turnGiven();
}

void MainWindow::finishRaceView()
{
    clearTrackDrawings();
    setTrackPointerDefault();
    menus_.mnuTrajektorie->setEnabled(false);
    if (menus_.mnuTrajektorie->isChecked()) {
        menus_.mnuTrajektorie->setChecked(false);
        mnuTrajektorie_Click();
    }
}

namespace {

// The date and time of a new record as the system writes them by default, the year with all its
// digits: "10. 12. 2026, 14:05".
QString recordDateNow()
{
    const QLocale locale = QLocale::system();
    QString dateFormat = locale.dateFormat(QLocale::ShortFormat);
    if (!dateFormat.contains(QStringLiteral("yyyy")))
        dateFormat.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    const QDateTime now = QDateTime::currentDateTime();
    return locale.toString(now.date(), dateFormat) + QStringLiteral(", ") + locale.toString(now.time(), QLocale::ShortFormat);
}

}  // namespace

void MainWindow::showRaceResults()
{
    ResultsDialog& results = resultsDialog();
    results.fillResults();
    // The best person's ride beat the track's record: it is offered for saving first.
    if (newRecordIsSet(state_)) {
        const PlayerRecord& winner = state_.player(state_.newRecordPlayer);
        state_.newRecordMoves = winner.moves;
        OpenRecordDialog(RecordDialog::Mode::NewRecord, [&](RecordDialog& dialog) {
            dialog.setNewRecord(winner.name, recordDateNow(), formatFixed6(winner.moves, systemDecimalSeparator()));
        });
    }
    PlaySound(ResultsSound);
    results.showResults();
}

void MainWindow::showRaceStart(bool showTrajectories)
{
    const PlayerRecord& first = state_.player(state_.currentPlayer);
    imgLogo_->hide();
    moveInput_->SetTrackCursor(3);

    menus_.mnuTrajektorie->setEnabled(showTrajectories);
    menus_.mnuTrajektorie->setChecked(showTrajectories);
    menus_.mnuScrollbary->setChecked(true);
    menus_.mnuStatusbar->setChecked(true);
    menus_.mnuJen->setVisible(true);
    menus_.mnuCentrovat->setVisible(true);

    setStatusBarVisible(true);
    stbTrasovky_->setText(2, state_.trackName);
    stbTrasovky_->setText(3, state_.recordMoves == 0 ? LoadText(state_, StringId::NoRecord)
                                                     : formatFixed6(state_.recordMoves, systemDecimalSeparator()));
    stbTrasovky_->setPanelVisible(8, true);
    stbTrasovky_->setText(1, QStringLiteral("100%"));
    stbTrasovky_->setText(4, first.name);
    stbTrasovky_->setText(5, LoadText(state_, StringId::MoveLabel) + formatGeneral(first.moves, systemDecimalSeparator()));
    stbTrasovky_->setText(6, QStringLiteral("?"));
    stbTrasovky_->setText(7, QStringLiteral("?"));
    stbTrasovky_->setText(8, LoadText(state_, StringId::SpeedLabel) + u'0');
    settleLayout();
    LayoutStatusBar();

    trackView_->fitPictureToZoom();
    trackView_->LayoutView();
    trackView_->showView();
    if (state_.scrollbarFlags != QStringLiteral("00")) {
        const TrackPoint a = state_.startLine[0], b = state_.startLine[1];
        trackView_->CentreViewOn(roundHalfEven((a.x + b.x) / 2.0), roundHalfEven((a.y + b.y) / 2.0));
        trackView_->ScrollView();
    }
    trackView_->placeStartMarkers(first.color);
    menus_.mnuZobrazeni->menuAction()->setVisible(true);
    menus_.mnuInfo->setVisible(true);
    // The first to choose a start may be the computer.
    computerTurns_->turnGiven();
}
