#include "ui/main/MainWindow.h"

#include "race/RaceState.h"
#include "race/ResetRace.h"
#include "shell/IniFile.h"
#include "shell/LanguageState.h"
#include "shell/MessageBoxStyle.h"
#include "shell/SettingsFile.h"
#include "shell/SoundPlayer.h"
#include "ui/dialogs/AboutDialog.h"
#include "ui/dialogs/ZoomDialog.h"
#include "ui/main/HelpCommand.h"
#include "ui/main/ComputerTurns.h"
#include "ui/main/Logo.h"
#include "ui/main/MoveInput.h"
#include "ui/main/StartMarker.h"
#include "ui/main/TrackCursors.h"
#include "ui/main/TrackView.h"
#include "shell/StringIds.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>

namespace {

constexpr int MinimumWindowSize = 300;

} // namespace

MainWindow::MainWindow(RaceState& state, MainWindowServices services, QWidget* parent)
    : QMainWindow(parent), state_(state), services_(std::move(services))
{
    setObjectName(QStringLiteral("frmTrasovky"));
    setWindowIcon(QIcon(QStringLiteral(":/trasovky.xpm")));
    setMinimumSize(MinimumWindowSize, MinimumWindowSize);
    resize(1024, 720);
    if (services_.dataDirectory.isEmpty())
        services_.dataDirectory = services_.programDirectory;
    if (!services_.soundOutput)
        services_.soundOutput = std::make_shared<SoundEffectOutput>();
    if (!services_.pointer)
        services_.pointer = std::make_shared<SystemPointer>();
    if (!services_.endProgram) {
        // Leaves every event loop, also those of dialogs still open.
        services_.endProgram = [] { QCoreApplication::exit(0); };
    }

    inner_ = new QWidget(this);
    inner_->setObjectName(QStringLiteral("inner"));
    inner_->installEventFilter(this);
    setCentralWidget(inner_);
    imgLogo_ = new QLabel(inner_);
    imgLogo_->setObjectName(QStringLiteral("imgLogo"));

    stbTrasovky_ = std::make_unique<StatusPanels>(statusBar());
    menus_ = MainMenus::build(menuBar());
    trackView_ = new TrackView(state_, inner_,
                               {[this] { return menus_.mnuScrollbary->isChecked(); },
                                [this](const QString& text) { stbTrasovky_->setText(1, text); }});
    computerTurns_ = new ComputerTurns(state_, *this, *trackView_, this);
    moveInput_ = new MoveInput(state_, *this, *trackView_, *services_.pointer,
                               {[this] { return menus_.mnuJen->isChecked(); }, [this] { mnuZpet_Click(); }, menus_.mnuZobrazeni,
                                [this] { return computerTurns_->isComputersTurn(); }, [this] { computerTurns_->skipPause(); }});
    recordRide_ = std::make_unique<RecordRideDisplay>(RecordRideDisplay::Parts{
        state_, *trackView_, *stbTrasovky_, menus_, imgLogo_, [this] { ResetRace(state_, *this); }, [this] { LayoutStatusBar(); }});
    moveInput_->previewKeysOf(this);
    wireMenus();
    Form_Load();
}

MainWindow::~MainWindow() = default;

void MainWindow::wireMenus()
{
    connect(menus_.mnuNova, &QAction::triggered, this, &MainWindow::mnuNova_Click);
    connect(menus_.mnuInfo, &QAction::triggered, this, &MainWindow::mnuInfo_Click);
    connect(menus_.mnuVysledky, &QAction::triggered, this, &MainWindow::mnuVysledky_Click);
    connect(menus_.mnuKonec, &QAction::triggered, this, &MainWindow::mnuKonec_Click);
    connect(menus_.mnuTrajektorie, &QAction::triggered, this, &MainWindow::mnuTrajektorie_Click);
    connect(menus_.mnuScrollbary, &QAction::triggered, this, &MainWindow::mnuScrollbary_Click);
    connect(menus_.mnuStatusbar, &QAction::triggered, this, &MainWindow::mnuStatusbar_Click);
    // mnuZvuky, mnuJen and mnuCentrovat only toggle their check marks, which Qt does itself.
    for (QAction* item : menus_.mnuSila)
        connectIndexedCommand(item, &MainWindow::mnuSila_Click);
    for (QAction* item : menus_.mnuProcent) {
        const int index = item->property("Index").toInt();
        connect(item, &QAction::triggered, this, [this, index] { mnuProcent_Click(index); });
    }
    connect(menus_.mnuJine, &QAction::triggered, this, &MainWindow::mnuJine_Click);
    connect(menus_.mnuBestFit, &QAction::triggered, this, &MainWindow::mnuBestFit_Click);
    connect(menus_.mnuObnovit, &QAction::triggered, this, &MainWindow::mnuObnovit_Click);
    connect(menus_.mnuZpet, &QAction::triggered, this, &MainWindow::mnuZpet_Click);
    connect(menus_.mnuO, &QAction::triggered, this, &MainWindow::mnuO_Click);
    connect(menus_.mnuPravidla, &QAction::triggered, this, &MainWindow::mnuPravidla_Click);
}

void MainWindow::connectIndexedCommand(QAction* item, void (MainWindow::*command)(int))
{
    const int index = item->property("Index").toInt();
    // The command itself decides the check marks: undo the toggle Qt made on the click.
    connect(item, &QAction::triggered, this, [this, item, index, command] {
        item->setChecked(!item->isChecked());
        (this->*command)(index);
    });
}

void MainWindow::Form_Load()
{
    // 1. The logo, or the window's icon when there is none.
    logo_ = loadLogo(services_.programDirectory);
    if (logo_.isNull())
        logo_ = windowIcon().pixmap(32, 32);
    imgLogo_->setPixmap(logo_);

    // 2. and 3. The language layout and the language menu.
    ReadLanguageLayout(state_);
    const StringTable& table = StringTable::shipped();
    menus_.mnuJazyk.front()->setText(table.text(StringId::LanguageName));
    for (int language = 2; language <= state_.languageCount; ++language)
        menus_.addLanguageItem(language, table.text(StringId::LanguageName + (language - 1) * state_.languageStep));
    for (QAction* item : menus_.mnuJazyk)
        connectIndexedCommand(item, &MainWindow::mnuJazyk_Click);

    // 4. to 7. The language from the settings file; the captions.
    IniFile settings(settingsFilePath(services_.dataDirectory));
    const int language = ReadLanguageSetting(settings, state_.languageCount);
    menus_.mnuJazyk[static_cast<std::size_t>(language - 1)]->setChecked(true);
    state_.languageOffset = (language - 1) * state_.languageStep;
    ApplyLanguage(1);

    // 8. to 13.
    state_.raceRunning = false;
    state_.zoom = 1.0f;
    trackView_->canvas().forgetGuideLine();
    trackView_->startMarker(1)->setCursor(trackCursor(1));
    state_.AskBeforeCrash = true;
    mnuSila_Click(2);
    ResetRace(state_, *this);
}

void MainWindow::ApplyLanguage(unsigned windows)
{
    if (windows & 1u) {
        setWindowTitle(LoadText(state_, StringId::ProgramTitle));
        menus_.applyCaptions(state_);
        if (state_.replayRunning) {
            stbTrasovky_->setText(2, state_.trackName + LoadText(state_, StringId::RecordSuffix));
        } else if (const QString moveText = stbTrasovky_->text(5); !moveText.isEmpty()) {
            // The move number after the last blank survives the change of language.
            stbTrasovky_->setText(5, LoadText(state_, StringId::MoveLabel) + moveText.mid(moveText.lastIndexOf(QLatin1Char(' ')) + 1));
        }
        if (state_.recordMoves == 0)
            stbTrasovky_->setText(3, LoadText(state_, StringId::NoRecord));
    }
    if ((windows & 2u) && newRaceDialog_)
        newRaceDialog_->ApplyLanguage();
    if ((windows & 4u) && resultsDialog_)
        resultsDialog_->ApplyLanguage();
    if ((windows & 16u) && zoomDialog_)
        zoomDialog_->ApplyLanguage();
    // The other dialogs take their captions here as each of them joins the program.
}

void MainWindow::mnuJazyk_Click(int index)
{
    if (index == CurrentLanguage(state_))
        return;
    const int previous = CurrentLanguage(state_);
    state_.languageOffset = static_cast<qint16>((index - 1) * state_.languageStep);
    if (previous >= 1 && previous <= static_cast<int>(menus_.mnuJazyk.size()))
        menus_.mnuJazyk[static_cast<std::size_t>(previous - 1)]->setChecked(false);
    ApplyLanguage(1 + 2 + 4 + 16);
    IniFile(settingsFilePath(services_.dataDirectory)).write(SettingsSection, LanguageKey, QString::number(index));
    if (index >= 1 && index <= static_cast<int>(menus_.mnuJazyk.size()))
        menus_.mnuJazyk[static_cast<std::size_t>(index - 1)]->setChecked(true);
}

NewRaceDialog& MainWindow::newRaceDialog()
{
    if (!newRaceDialog_) {
        NewRaceDialogServices dialogs{services_.dataDirectory, services_.chooseTrackFile, services_.chooseColor};
        newRaceDialog_ = new NewRaceDialog(state_, *this, std::move(dialogs), this);
    }
    return *newRaceDialog_;
}

void MainWindow::mnuNova_Click()
{
    if (state_.raceRunning) {
        if (messageBox(LoadText(state_, StringId::NewGameQuestion), StyleYesNoDefaultNo, LoadText(state_, StringId::NewGameTitle)) != AnswerYes)
            return;
        clearMarkedPoints();
        ResetRace(state_, *this);
    }
    newRaceDialog().OpenRaceDialog(NewRaceDialog::Mode::NewRace);
}

void MainWindow::mnuInfo_Click()
{
    newRaceDialog().OpenRaceDialog(NewRaceDialog::Mode::Information);
}

void MainWindow::mnuO_Click()
{
    AboutDialog about(state_, services_.programDirectory, this);
    about.showModal();
}

void MainWindow::mnuPravidla_Click()
{
    HelpServices help;
    help.messageBox = [this](const QString& prompt, int style, const QString& title) { return messageBox(prompt, style, title); };
    help.openDocument = services_.openDocument;
    HelpCommand(state_, services_.programDirectory, help).mnuPravidla_Click(this);
}

void MainWindow::mnuVysledky_Click()
{
    resultsDialog().showResults();
}

ResultsDialog& MainWindow::resultsDialog()
{
    if (!resultsDialog_) {
        resultsDialog_ = new ResultsDialog(state_, *this, services_.programDirectory, this);
        resultsDialog_->setWindowIcon(windowIcon());
    }
    return *resultsDialog_;
}

void MainWindow::startNewRace()
{
    // The results were opened from inside the last move of the race: the new race dialog opens
    // once that move has returned, rather than deep inside it.
    QTimer::singleShot(0, this, [this] { newRaceDialog().OpenRaceDialog(NewRaceDialog::Mode::NewRace); });
}

void MainWindow::showResultsMenuItem()
{
    menus_.mnuVysledky->setVisible(true);
}

void MainWindow::closeMainWindow()
{
    close();
}

void MainWindow::repaintMainWindow()
{
    repaint();
}

void MainWindow::showRecordInformation()
{
    OpenRecordDialog(RecordDialog::Mode::Information);
}

void MainWindow::OpenRecordDialog(RecordDialog::Mode mode, const std::function<void(RecordDialog&)>& prepare)
{
    // Over the dialog that opens it, so that it comes in front of that one.
    QWidget* parent = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : this;
    RecordDialog dialog(state_, *this, parent);
    dialog.setWindowIcon(windowIcon());
    if (prepare)
        prepare(dialog);
    dialog.OpenRecordDialog(mode);
}

bool MainWindow::canShowRecordRide() const
{
    return newRaceDialog_ && newRaceDialog_->isVisible() && newRaceDialog_->isNewRaceMode();
}

void MainWindow::showRecordRide()
{
    ShowRecordRide(true);
    if (newRaceDialog_)
        newRaceDialog_->hide();
}

void MainWindow::ShowRecordRide(bool show)
{
    recordRide_->ShowRecordRide(show);
}

void MainWindow::mnuZpet_Click()
{
    if (!state_.replayRunning)
        return;
    ShowRecordRide(false);
    newRaceDialog().ShowAgain();
}

void MainWindow::endProgram()
{
    services_.endProgram();
}

void MainWindow::mnuKonec_Click()
{
    close();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (messageBox(LoadText(state_, StringId::ExitQuestion), StyleYesNoDefaultNo, LoadText(state_, StringId::ExitTitle)) != AnswerYes) {
        event->ignore();
        return;
    }
    event->accept();
    services_.endProgram();
}

const std::vector<TrajectoryLine>& MainWindow::trajectoryLines() const
{
    return trackView_->lines();
}

void MainWindow::mnuSila_Click(int index)
{
    const int oldWidth = trackView_->lineWidth();
    if (oldWidth == index)
        return;
    if (oldWidth >= 1 && oldWidth <= 4)
        menus_.mnuSila[static_cast<std::size_t>(oldWidth - 1)]->setChecked(false);
    trackView_->setLineWidth(index);
    menus_.mnuSila[static_cast<std::size_t>(index - 1)]->setChecked(true);
}

void MainWindow::mnuTrajektorie_Click()
{
    // Qt has already flipped the check mark.
    const bool show = menus_.mnuTrajektorie->isChecked();
    for (const PlayerRecord& player : state_.players)
        for (std::size_t k = 1; k < player.segmentLines.size(); ++k)
            trackView_->setLineVisible(player.segmentLines[k], show);
}

void MainWindow::mnuScrollbary_Click()
{
    Form_Resize();
}

void MainWindow::mnuStatusbar_Click()
{
    setStatusBarVisible(menus_.mnuStatusbar->isChecked());
    settleLayout();
    Form_Resize();
}

void MainWindow::mnuProcent_Click(int index)
{
    state_.zoom = 1.0f - 0.1f * static_cast<float>(index);
    trackView_->ApplyZoom();
}

ZoomDialog& MainWindow::zoomDialog()
{
    if (!zoomDialog_)
        zoomDialog_ = new ZoomDialog(state_, this);
    return *zoomDialog_;
}

void MainWindow::mnuJine_Click()
{
    const int percent = zoomDialog().choosePercent(state_.zoom);
    const float zoom = static_cast<float>(percent) / 100.0f;
    if (zoom != state_.zoom) {
        state_.zoom = zoom;
        trackView_->ApplyZoom();
    }
}

void MainWindow::mnuBestFit_Click()
{
    trackView_->BestFit();
}

void MainWindow::mnuObnovit_Click()
{
    trackView_->Redraw();
}

void MainWindow::layoutWindow()
{
    Form_Resize();
}

bool MainWindow::event(QEvent* event)
{
    const bool handled = QMainWindow::event(event);
    if (event->type() == QEvent::WindowActivate || event->type() == QEvent::Show)
        FitLogo();  // Form_Activate
    return handled;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // The inner area changes its size with the window and with the status bar shown or hidden.
    if (watched == inner_ && event->type() == QEvent::Resize)
        Form_Resize();
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::settleLayout()
{
    if (layout())
        layout()->activate();
}

void MainWindow::Form_Resize()
{
    if (isMinimized())
        return;
    const QSize room = inner_->size();
    const QScrollBar* scrH = trackView_->horizontalBar();
    const QScrollBar* scrV = trackView_->verticalBar();
    state_.viewWidth = room.width() - (scrV->isVisibleTo(this) ? scrV->width() : 0);
    state_.viewHeight = room.height() - (scrH->isVisibleTo(this) ? scrH->height() : 0);
    LayoutStatusBar();
    if (trackView_->isShown()) {
        trackView_->LayoutView();
        trackView_->picture()->update();
    }
    FitLogo();
}

void MainWindow::LayoutStatusBar()
{
    stbTrasovky_->layout(inner_->width(), state_.replayRunning);
}

void MainWindow::FitLogo()
{
    if (imgLogo_->isHidden())
        return;
    imgLogo_->hide();
    imgLogo_->setScaledContents(false);
    const LogoPlacement placement = placeLogo(inner_->size(), logo_.size());
    imgLogo_->setScaledContents(placement.stretched);
    imgLogo_->setGeometry(placement.geometry);
    imgLogo_->show();
}
