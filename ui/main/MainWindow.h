#pragma once

#include "race/GameWindow.h"
#include "ui/dialogs/MessageBox.h"
#include "ui/dialogs/NewRaceDialog.h"
#include "ui/dialogs/RecordDialog.h"
#include "ui/dialogs/ResultsDialog.h"
#include "ui/main/RecordRideDisplay.h"
#include "ui/main/MainMenus.h"
#include "ui/main/StatusPanels.h"
#include "ui/main/TrajectoryLine.h"

#include <QMainWindow>
#include <QPixmap>
#include <functional>
#include <memory>
#include <vector>

class ComputerTurns;
class MoveInput;
class PointerDevice;
class QLabel;
class SoundOutput;
class TrackView;
class ZoomDialog;
struct RaceState;

// What the main window needs from outside; tests hand in their own.
struct MainWindowServices {
    QString programDirectory;                  // where the sounds, logo, results picture and help lie
    QString dataDirectory;                     // the settings file and its "%" paths; empty: programDirectory
    std::shared_ptr<SoundOutput> soundOutput;  // empty: the program's own sound output
    MessageBoxFunction messageBox;             // empty: real message boxes
    std::function<void()> endProgram;          // empty: leave every event loop, which ends the program
    std::shared_ptr<PointerDevice> pointer;    // empty: the system's mouse pointer
    // The new race dialog's file and colour choice; empty: the system's dialogs.
    decltype(NewRaceDialogServices::chooseTrackFile) chooseTrackFile;
    decltype(NewRaceDialogServices::chooseColor) chooseColor;
    // Opens the help document with its program; empty: the platform's "open" action.
    std::function<bool(const QString& path)> openDocument;
};

// The main window frmTrasovky: the logo or the track view, the menus and the status bar. Building
// it performs the start-up: logo, language menu, settings file, captions and a race reset. It
// composes the track view and the move input and answers the race's window calls through them.
class MainWindow : public QMainWindow,
                   public GameWindow,
                   public RaceDialogHost,
                   public RecordDialogHost,
                   public ResultsDialogHost {
    Q_OBJECT

public:
    MainWindow(RaceState& state, MainWindowServices services, QWidget* parent = nullptr);
    ~MainWindow() override;

    const MainMenus& menus() const { return menus_; }
    const QString& programDirectory() const { return services_.programDirectory; }
    TrackView& trackView() const { return *trackView_; }
    MoveInput& moveInput() const { return *moveInput_; }
    ComputerTurns& computerTurns() const { return *computerTurns_; }
    ZoomDialog& zoomDialog();
    // The new race dialog, made on first use.
    NewRaceDialog& newRaceDialog();

    // PlayerPrompts
    int messageBox(const QString& prompt, int style, const QString& title) override;
    void PlaySound(unsigned number) override;
    // RaceView
    bool isOptionChecked(MenuOption option) const override;
    void setStatusPanel(int panel, const QString& text) override;
    QString statusPanel(int panel) const override;
    void setTrackPointerDefault() override;
    void unloadRaceDrawings() override;
    void setStatusBarVisible(bool visible) override;
    void showLogoInsteadOfTrack() override;
    void layoutWindow() override;
    void prepareTrackView() override;
    void clearTrackDrawings() override;
    void drawAllowedOutline(const AllowedAreaOutline& outline, ColorValue color) override;
    void CentreViewOn(qint32 x, qint32 y) override;
    void KeepCircleInView() override;
    void runAutoCentring() override;
    void clearMarkedPoints() override;
    int loadTrajectoryLine(QPointF from, QPointF to, ColorValue color) override;
    void setTrajectoryLineVisible(int index, bool visible) override;
    void hideStartMarker(int index) override;
    void hideStartMarkers() override;
    void setStartMarkersColor(ColorValue color) override;
    void turnGiven() override;
    void finishRaceView() override;
    void showRaceResults() override;

    // RaceDialogHost
    GameWindow& gameWindow() override { return *this; }
    void repaintMainWindow() override;
    // The window's part of the race start, after the players are in the race state: the track at
    // 100 %, the start markers in the first chooser's colour, the race menus and the status bar.
    void showRaceStart(bool showTrajectories) override;
    void showRecordInformation() override;
    void endProgram() override;
    // RecordDialogHost
    PlayerPrompts& prompts() override { return *this; }
    bool canShowRecordRide() const override;
    void showRecordRide() override;

    // ResultsDialogHost
    void startNewRace() override;
    void showResultsMenuItem() override;
    void closeMainWindow() override;
    // The results dialog, made on first use.
    ResultsDialog& resultsDialog();

    // The record dialog, made afresh for every opening, in the given mode.
    void OpenRecordDialog(RecordDialog::Mode mode, const std::function<void(RecordDialog&)>& prepare = {});
    // The stored ride on the track view (true), or back from it (false).
    void ShowRecordRide(bool show);

    // Captions of the windows whose bits are set: 1 main window, 2 new race, 4 results,
    // 8 record, 16 zoom, 32 about box.
    void ApplyLanguage(unsigned windows);
    void FitLogo();

    // Menu commands
    void mnuNova_Click();
    void mnuInfo_Click();
    void mnuVysledky_Click();
    void mnuJazyk_Click(int index);
    void mnuKonec_Click();
    void mnuSila_Click(int index);
    void mnuTrajektorie_Click();
    void mnuScrollbary_Click();
    void mnuStatusbar_Click();
    void mnuProcent_Click(int index);
    void mnuJine_Click();
    void mnuBestFit_Click();
    void mnuObnovit_Click();
    void mnuZpet_Click();
    void mnuO_Click();
    void mnuPravidla_Click();

    // The trajectory lines; line 1 always exists.
    const std::vector<TrajectoryLine>& trajectoryLines() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void Form_Resize();
    void wireMenus();
    // Runs command with the entry's Index on a click; the command sets the check marks itself.
    void connectIndexedCommand(QAction* item, void (MainWindow::*command)(int));
    void LayoutStatusBar();
    // Applies pending layout changes at once, so the inner area has its final size.
    void settleLayout();

    RaceState& state_;
    MainWindowServices services_;
    MainMenus menus_;
    std::unique_ptr<StatusPanels> stbTrasovky_;

    QWidget* inner_ = nullptr;  // the window's inner area below the menus and above the status bar
    QLabel* imgLogo_ = nullptr;
    QPixmap logo_;
    TrackView* trackView_ = nullptr;
    MoveInput* moveInput_ = nullptr;
    ComputerTurns* computerTurns_ = nullptr;
    ZoomDialog* zoomDialog_ = nullptr;
    NewRaceDialog* newRaceDialog_ = nullptr;
    ResultsDialog* resultsDialog_ = nullptr;
    std::unique_ptr<RecordRideDisplay> recordRide_;
};
