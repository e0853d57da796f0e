#include "ui/main/MainWindow.h"

#include "files/TrackPicture.h"
#include "race/RaceState.h"
#include "race/ResetRace.h"
#include "shell/IniFile.h"
#include "shell/LanguageState.h"
#include "shell/MessageBoxStyle.h"
#include "shell/SettingsFile.h"
#include "shell/SoundPlayer.h"
#include "ui/main/Logo.h"
#include "ui/main/TrackCursors.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QStatusBar>

namespace {

constexpr int MinimumWindowSize = 300;

QWidget* makeChild(QWidget* parent, const char* name)
{
    auto* widget = new QWidget(parent);
    widget->setObjectName(QString::fromUtf8(name));
    widget->hide();
    return widget;
}

} // namespace

MainWindow::MainWindow(RaceState& state, MainWindowServices services, QWidget* parent)
    : QMainWindow(parent), state_(state), services_(std::move(services))
{
    setObjectName(QStringLiteral("frmTrasovky"));
    setWindowIcon(QIcon(QStringLiteral(":/trasovky.xpm")));
    setMinimumSize(MinimumWindowSize, MinimumWindowSize);
    resize(1024, 720);
    if (!services_.soundOutput)
        services_.soundOutput = std::make_shared<SoundEffectOutput>();
    if (!services_.endProgram) {
        // Leaves every event loop, also those of dialogs still open.
        services_.endProgram = [] { QCoreApplication::exit(0); };
    }

    inner_ = new QWidget(this);
    inner_->setObjectName(QStringLiteral("inner"));
    setCentralWidget(inner_);
    imgLogo_ = new QLabel(inner_);
    imgLogo_->setObjectName(QStringLiteral("imgLogo"));
    picTRT_ = makeChild(inner_, "picTRT");
    scrH_ = new QScrollBar(Qt::Horizontal, inner_);
    scrH_->setObjectName(QStringLiteral("scrH"));
    scrH_->hide();
    scrV_ = new QScrollBar(Qt::Vertical, inner_);
    scrV_->setObjectName(QStringLiteral("scrV"));
    scrV_->hide();
    picVypln_ = makeChild(inner_, "picVýplň");
    picVypln_->setAutoFillBackground(true);
    QWidget* marker = makeChild(picTRT_, "picStartPozice");
    marker->setProperty("Index", 1);
    marker->setFixedSize(10, 10);
    marker->setAutoFillBackground(true);
    picStartPozice_.push_back(marker);
    linTrajektorie_.push_back(TrajectoryLine{});  // designed with width 1

    stbTrasovky_ = std::make_unique<StatusPanels>(statusBar());
    menus_ = MainMenus::build(menuBar());
    wireMenus();
    Form_Load();
}

MainWindow::~MainWindow() = default;

void MainWindow::wireMenus()
{
    connect(menus_.mnuKonec, &QAction::triggered, this, &MainWindow::mnuKonec_Click);
    connect(menus_.mnuTrajektorie, &QAction::triggered, this, &MainWindow::mnuTrajektorie_Click);
    connect(menus_.mnuScrollbary, &QAction::triggered, this, &MainWindow::mnuScrollbary_Click);
    connect(menus_.mnuStatusbar, &QAction::triggered, this, &MainWindow::mnuStatusbar_Click);
    // mnuZvuky, mnuJen and mnuCentrovat only toggle their check marks, which Qt does itself.
    for (QAction* item : menus_.mnuSila)
        connectIndexedCommand(item, &MainWindow::mnuSila_Click);
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
    menus_.mnuJazyk.front()->setText(table.text(LanguageNameId));
    for (int language = 2; language <= state_.languageCount; ++language)
        menus_.addLanguageItem(language, table.text(LanguageNameId + (language - 1) * state_.languageStep));
    for (QAction* item : menus_.mnuJazyk)
        connectIndexedCommand(item, &MainWindow::mnuJazyk_Click);

    // 4. to 7. The language from the settings file; the captions.
    IniFile settings(settingsFilePath(services_.programDirectory));
    const int language = ReadLanguageSetting(settings, state_.languageCount);
    menus_.mnuJazyk[static_cast<std::size_t>(language - 1)]->setChecked(true);
    state_.languageOffset = (language - 1) * state_.languageStep;
    ApplyLanguage(1);

    // 8. to 13.
    state_.raceRunning = false;
    state_.zoom = 1.0f;
    markedPoints_.assign(1, MarkedPoint{});
    picStartPozice_.front()->setCursor(trackCursor(1));
    state_.AskBeforeCrash = true;
    mnuSila_Click(2);
    ResetRace(state_, *this);
}

void MainWindow::ApplyLanguage(unsigned windows)
{
    if (windows & 1u) {
        setWindowTitle(LoadText(state_, 12));
        menus_.applyCaptions(state_);
        if (state_.replayRunning) {
            stbTrasovky_->setText(2, state_.trackName + LoadText(state_, 550));
        } else if (const QString moveText = stbTrasovky_->text(5); !moveText.isEmpty()) {
            // The move number after the last blank survives the change of language.
            stbTrasovky_->setText(5, LoadText(state_, 505) + moveText.mid(moveText.lastIndexOf(QLatin1Char(' ')) + 1));
        }
        if (state_.recordMoves == 0)
            stbTrasovky_->setText(3, LoadText(state_, 555));
    }
    // The dialogs take their captions here as each of them joins the program.
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
    IniFile(settingsFilePath(services_.programDirectory)).write(SettingsSection, LanguageKey, QString::number(index));
    if (index >= 1 && index <= static_cast<int>(menus_.mnuJazyk.size()))
        menus_.mnuJazyk[static_cast<std::size_t>(index - 1)]->setChecked(true);
}

void MainWindow::mnuKonec_Click()
{
    close();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (messageBox(LoadText(state_, 501), StyleYesNoDefaultNo, LoadText(state_, 502)) != AnswerYes) {
        event->ignore();
        return;
    }
    event->accept();
    services_.endProgram();
}

TrajectoryLine& MainWindow::trajectoryLine(int index)
{
    return linTrajektorie_.at(static_cast<std::size_t>(index - 1));
}

void MainWindow::mnuSila_Click(int index)
{
    const int oldWidth = trajectoryLine(1).width;
    if (oldWidth == index)
        return;
    if (oldWidth >= 1 && oldWidth <= 4)
        menus_.mnuSila[static_cast<std::size_t>(oldWidth - 1)]->setChecked(false);
    for (TrajectoryLine& line : linTrajektorie_)
        line.width = index;
    menus_.mnuSila[static_cast<std::size_t>(index - 1)]->setChecked(true);
    picTRT_->update();
}

void MainWindow::mnuTrajektorie_Click()
{
    // Qt has already flipped the check mark.
    const bool show = menus_.mnuTrajektorie->isChecked();
    for (const PlayerRecord& player : state_.players) {
        for (std::size_t k = 1; k < player.segmentLines.size(); ++k) {
            const int line = player.segmentLines[k];
            if (line >= 1 && line <= static_cast<int>(linTrajektorie_.size()))
                trajectoryLine(line).visible = show;
        }
    }
    picTRT_->update();
}

void MainWindow::mnuScrollbary_Click()
{
    Form_Resize();
}

void MainWindow::mnuStatusbar_Click()
{
    setStatusBarVisible(menus_.mnuStatusbar->isChecked());
    Form_Resize();
}

int MainWindow::messageBox(const QString& prompt, int style, const QString& title)
{
    if (services_.messageBox)
        return services_.messageBox(prompt, style, title);
    const MessageBoxButtonTexts buttons{LoadText(state_, 533), LoadText(state_, 531), LoadText(state_, 532)};
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
    picTRT_->unsetCursor();
}

void MainWindow::unloadRaceDrawings()
{
    linTrajektorie_.resize(1);
    while (picStartPozice_.size() > 1) {
        delete picStartPozice_.back();
        picStartPozice_.pop_back();
    }
    picStartPozice_.front()->hide();
    picTRT_->update();
}

void MainWindow::setStatusBarVisible(bool visible)
{
    stbTrasovky_->bar()->setVisible(visible);
}

void MainWindow::showLogoInsteadOfTrack()
{
    menus_.mnuZobrazeni->menuAction()->setVisible(false);
    picTRT_->hide();
    scrH_->hide();
    scrV_->hide();
    picVypln_->hide();
    for (QAction* item : {menus_.mnuInfo, menus_.mnuVysledky, menus_.mnuZpet, menus_.mnuJen, menus_.mnuCentrovat})
        item->setVisible(false);
    imgLogo_->show();
}

void MainWindow::prepareTrackView()
{
    // The view at the track's size in track units, on the track's background colour.
    picTRT_->setGeometry(0, 0, state_.trackWidth, state_.trackHeight);
    QPalette palette = picTRT_->palette();
    palette.setColor(QPalette::Window, toQColor(state_.trackBackColor));
    picTRT_->setPalette(palette);
    picTRT_->setAutoFillBackground(true);
}

void MainWindow::clearTrackDrawings()
{
    picTRT_->update();
}

void MainWindow::drawAllowedOutline(const AllowedAreaOutline&, ColorValue)
{
    picTRT_->update();
}

void MainWindow::CentreViewOn(qint32, qint32)
{
}

void MainWindow::KeepCircleInView()
{
}

void MainWindow::runAutoCentring()
{
}

void MainWindow::clearMarkedPoints()
{
    markedPoints_.assign(1, MarkedPoint{});
}

int MainWindow::loadTrajectoryLine(QPointF from, QPointF to, ColorValue color)
{
    TrajectoryLine line = linTrajektorie_.front();
    line.from = from;
    line.to = to;
    line.color = color;
    line.visible = true;
    linTrajektorie_.push_back(line);
    picTRT_->update();
    return static_cast<int>(linTrajektorie_.size());
}

void MainWindow::setTrajectoryLineVisible(int index, bool visible)
{
    // Index 0 is the placeholder of a player's first segment: there is no such line.
    if (index >= 1 && index <= static_cast<int>(linTrajektorie_.size()))
        trajectoryLine(index).visible = visible;
    picTRT_->update();
}

void MainWindow::hideStartMarker(int index)
{
    if (index >= 1 && index <= static_cast<int>(picStartPozice_.size()))
        picStartPozice_[static_cast<std::size_t>(index - 1)]->hide();
}

void MainWindow::hideStartMarkers()
{
    for (QWidget* marker : picStartPozice_)
        marker->hide();
}

void MainWindow::setStartMarkersColor(ColorValue color)
{
    for (QWidget* marker : picStartPozice_) {
        QPalette palette = marker->palette();
        palette.setColor(QPalette::Window, toQColor(color));
        marker->setPalette(palette);
    }
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

void MainWindow::showRaceResults()
{
}

void MainWindow::layoutWindow()
{
    Form_Resize();
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

bool MainWindow::event(QEvent* event)
{
    const bool handled = QMainWindow::event(event);
    if (event->type() == QEvent::WindowActivate || event->type() == QEvent::Show)
        FitLogo();  // Form_Activate
    return handled;
}

void MainWindow::Form_Resize()
{
    if (isMinimized())
        return;
    // The window's inner area: below the menu bar, including the status bar when it is shown.
    const QStatusBar* bar = stbTrasovky_->bar();
    const int statusHeight = bar->isVisibleTo(this) ? bar->height() : 0;
    const int innerWidth = inner_->width();
    const int innerHeight = inner_->height() + statusHeight;
    state_.viewWidth = innerWidth - (scrV_->isVisibleTo(this) ? scrV_->width() : 0);
    state_.viewHeight = innerHeight - (scrH_->isVisibleTo(this) ? scrH_->height() : 0) - statusHeight;
    LayoutStatusBar();
    if (picTRT_->isVisibleTo(this))
        picTRT_->update();
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
