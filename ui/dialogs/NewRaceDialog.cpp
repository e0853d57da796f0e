#include "ui/dialogs/NewRaceDialog.h"

#include "files/RecordCheckCommand.h"
#include "files/TrackPicture.h"
#include "race/GameWindow.h"
#include "race/RaceStart.h"
#include "race/RaceState.h"
#include "race/ResetRace.h"
#include "shell/IniFile.h"
#include "shell/LanguageState.h"
#include "shell/MessageBoxStyle.h"
#include "shell/NumberFormat.h"
#include "shell/RememberedTrack.h"
#include "shell/SettingsFile.h"
#include "ui/dialogs/NewRaceDialogForm.h"
#include "shell/StringIds.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCloseEvent>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {

void setColor(QWidget* widget, QPalette::ColorRole role, const QColor& color)
{
    QPalette palette = widget->palette();
    palette.setColor(role, color);
    widget->setPalette(palette);
}

// The description as the text box shows it: Windows line ends as line breaks.
QString displayedDescription(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

// The allowed speed in step lengths per move, or "neomezená" without a limit.
QString allowedSpeedText(const RaceState& state)
{
    if (state.speedLimit == 0 || state.stepLength == 0)
        return LoadText(state, StringId::NoSpeedLimit);
    const float speed = static_cast<float>(state.speedLimit) / static_cast<float>(state.stepLength);
    return formatGeneral(speed, systemDecimalSeparator());
}

int roundedPixels(double value)
{
    return std::max(1, static_cast<int>(std::nearbyint(std::min(value, 1e9))));
}

}  // namespace

NewRaceDialog::NewRaceDialog(RaceState& state, RaceDialogHost& host, NewRaceDialogServices services, QWidget* parent)
    : QDialog(parent), state_(state), host_(host), services_(std::move(services))
{
    if (!services_.chooseTrackFile) {
        services_.chooseTrackFile = [](QWidget* parent, const QString& title, const QString& filter, const QString& initialPath) {
            // The dialog opens in the folder of a wildcard name, or on the named file.
            const QFileInfo initial(initialPath);
            const QString start = initial.fileName().contains(u'*') ? initial.path() : initialPath;
            return QFileDialog::getOpenFileName(parent, title, start, filter);
        };
    }
    if (!services_.chooseColor) {
        services_.chooseColor = [](QWidget* parent, const QColor& initial) -> std::optional<QColor> {
            const QColor chosen = QColorDialog::getColor(initial, parent);
            if (!chosen.isValid())
                return std::nullopt;
            return chosen;
        };
    }
    Form_Load();
}

NewRaceDialog::~NewRaceDialog() = default;

void NewRaceDialog::Form_Load()
{
    setObjectName(QStringLiteral("frmNováHra"));
    setWindowIcon(parentWidget() ? parentWidget()->windowIcon() : QIcon(QStringLiteral(":/trasovky.xpm")));
    ui_ = std::make_unique<NewRaceDialogForm>(this);
    NewRaceDialogForm& c = *ui_;
    for (int row = 1; row <= PlayerSlots; ++row) {
        const auto i = static_cast<std::size_t>(row - 1);
        connect(c.chkHraci[i], &QCheckBox::toggled, this, &NewRaceDialog::chkHraci_Click);
        c.txtJmeno[i]->installEventFilter(this);
        c.picBarva[i]->installEventFilter(this);
    }
    connect(c.cmdStart, &QPushButton::clicked, this, &NewRaceDialog::cmdStart_Click);
    connect(c.cmdOK, &QPushButton::clicked, this, &NewRaceDialog::cmdOK_Click);
    connect(c.cmdZmenit, &QPushButton::clicked, this, &NewRaceDialog::cmdZmenit_Click);
    connect(c.cmdRekord, &QPushButton::clicked, this, &NewRaceDialog::cmdRekord_Click);
    connect(c.cmdKontrola, &QPushButton::clicked, this, &NewRaceDialog::cmdKontrola_Click);

    ApplyLanguage();
    ComputePreviewArea();
    ClearTrackInfo();
    c.cmdKontrola->setEnabled(false);
    // A first race can start at once with one player.
    c.chkHraci[0]->setChecked(true);
}

void NewRaceDialog::ComputePreviewArea()
{
    NewRaceDialogForm& c = *ui_;
    ensurePolished();
    layout()->activate();
    c.fraDraha->layout()->activate();
    const QRect button = c.cmdZmenit->geometry();
    const QPoint preview = c.picNahled->mapTo(c.fraDraha, QPoint(0, 0));
    const int buttonRight = button.x() + button.width();
    state_.previewWidth = buttonRight - preview.x();
    state_.previewHeight = (c.fraDraha->height() - preview.y()) - (c.fraDraha->width() - buttonRight);
    // The room keeps at least this size whatever texts a later language brings.
    c.previewArea->setMinimumSize(std::max(state_.previewWidth, NewRaceDialogForm::PreviewMinimumWidth),
                                  std::max(state_.previewHeight, NewRaceDialogForm::PreviewMinimumHeight));
}

void NewRaceDialog::ApplyLanguage()
{
    NewRaceDialogForm& c = *ui_;
    const auto text = [this](qint32 id) { return LoadText(state_, id); };
    c.fraHraci->setTitle(text(StringId::PlayersFrame));
    for (int row = 1; row <= PlayerSlots; ++row) {
        const auto i = static_cast<std::size_t>(row - 1);
        const QString defaultName = text(StringId::DefaultPlayerName) + u' ' + QString::number(row);
        c.txtJmeno[i]->setText(defaultName);
        c.chkHraci[i]->setAccessibleName(defaultName);
        // "člověk", "začátečník", "závodník", "mistr": the choice stays, its words follow the language.
        QComboBox* driver = c.cboRidic[i];
        const int chosen = std::max(0, driver->currentIndex());
        driver->clear();
        for (qint32 id = StringId::FirstDriverKind; id < StringId::FirstDriverKind + 4; ++id)
            driver->addItem(text(id));
        driver->setCurrentIndex(chosen);
    }
    c.chkTrajektorie->setText(text(StringId::HideTrajectoryBox));
    c.fraDraha->setTitle(text(StringId::TrackFrame));
    for (int i = 1; i <= NewRaceDialogForm::LabelCount; ++i)
        c.lblPopis[static_cast<std::size_t>(i - 1)]->setText(text(StringId::TrackFrame + i));
    c.cmdZmenit->setText(text(StringId::OtherTrackButton));
    c.cmdRekord->setText(text(StringId::MoreAboutRecordButton));
    c.cmdStart->setText(text(StringId::StartButton));
    c.cmdOK->setText(text(StringId::DialogBackButton));
    c.cmdKontrola->setText(text(StringId::CheckRecordButton));
    c.fileDialogTitle = text(StringId::TrackFileDialogTitle);
    c.fileDialogFilter = text(StringId::TrackFileFilter) + QStringLiteral("(*.trt)");
    // The words standing for "no record" and "no limit" follow the language; fields emptied by a
    // failed load stay empty.
    if (state_.recordMoves == 0 && !c.txtRekord->text().isEmpty())
        c.txtRekord->setText(text(StringId::NoRecord));
    if (state_.speedLimit == 0 && !c.txtMaxRychlost->text().isEmpty())
        c.txtMaxRychlost->setText(text(StringId::NoSpeedLimit));
}

void NewRaceDialog::OpenRaceDialog(Mode mode)
{
    if (isVisible())
        return;
    NewRaceDialogForm& c = *ui_;
    const bool newRace = mode == Mode::NewRace;
    setWindowTitle(LoadText(state_, newRace ? StringId::NewRaceCaption : StringId::RaceInformationCaption));
    c.cmdZmenit->setEnabled(newRace);
    c.cmdStart->setVisible(newRace);
    c.cmdStart->setDefault(newRace);
    c.cmdOK->setVisible(!newRace);
    c.cmdOK->setDefault(!newRace);
    c.fraHraci->setEnabled(newRace);
    c.chkTrajektorie->setEnabled(newRace);
    if (newRace) {
        ResetRace(state_, host_.gameWindow());
        host_.repaintMainWindow();
        IniFile settings(settingsFilePath(services_.dataDirectory));
        const QString path = ReadRememberedTrack(settings, services_.dataDirectory);
        if (path.isEmpty()) {
            ClearTrackInfo();
        } else {
            c.txtDefSoubor->setText(path);
            LoadTrack(state_, host_.gameWindow(), this, path);
        }
        // The record of a track no longer shown cannot be checked.
        c.cmdKontrola->setEnabled(trackShown_ && state_.recordMoves != 0);
    } else {
        c.cmdKontrola->setEnabled(false);
    }
    // Enter starts the race, or closes the information; without a track, choosing one comes first.
    if (!newRace)
        c.cmdOK->setFocus();
    else if (c.cmdStart->isEnabled())
        c.cmdStart->setFocus();
    else
        c.cmdZmenit->setFocus();
    exec();
}

void NewRaceDialog::ShowAgain()
{
    if (isVisible())
        return;
    exec();
}

bool NewRaceDialog::isNewRaceMode() const
{
    return !ui_->cmdStart->isHidden();
}

void NewRaceDialog::ShowTrackInfo(const RaceState& state)
{
    NewRaceDialogForm& c = *ui_;
    c.txtNazev->setText(state.trackName);
    c.txtPopis->setPlainText(displayedDescription(state.trackDescription));
    c.txtPocetPozic->setText(QString::number(state.startCount));
    c.txtMaxRychlost->setText(allowedSpeedText(state));
    c.txtPocetKontrol->setText(QString::number(state.checkpointCount));

    // The preview in the track's proportions, as large as the preview area allows.
    setBackground(c.picNahled, toQColor(state.trackBackColor));
    int width = state.previewWidth;
    int height = state.previewHeight;
    if (state.trackWidth > 0 && state.trackHeight > 0) {
        const double rx = static_cast<double>(state.previewWidth) / state.trackWidth;
        const double ry = static_cast<double>(state.previewHeight) / state.trackHeight;
        if (ry <= rx)
            width = roundedPixels(ry * state.trackWidth);
        else
            height = roundedPixels(rx * state.trackHeight);
    }
    c.picNahled->setGeometry(0, 0, width, height);
    if (state.trackRaster.isNull()) {
        c.picNahled->clear();
    } else {
        const qreal ratio = devicePixelRatioF();
        QImage scaled = state.trackRaster.image().scaled(roundedPixels(width * ratio), roundedPixels(height * ratio),
                                                         Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        scaled.setDevicePixelRatio(ratio);
        c.picNahled->setPixmap(QPixmap::fromImage(scaled));
    }

    // At most startCount players.
    for (int row = 1; row <= PlayerSlots; ++row)
        c.setRowVisible(row, true);
    for (int row = PlayerSlots; row > state.startCount; --row) {
        c.setRowVisible(row, false);
        c.chkHraci[static_cast<std::size_t>(row - 1)]->setChecked(false);
    }
    trackShown_ = true;
}

void NewRaceDialog::ClearTrackInfo()
{
    NewRaceDialogForm& c = *ui_;
    for (QLineEdit* field : {c.txtDefSoubor, c.txtNazev, c.txtPocetPozic, c.txtMaxRychlost, c.txtRekord, c.txtPocetKontrol})
        field->clear();
    c.txtPopis->clear();
    c.cmdRekord->setEnabled(false);
    c.picNahled->setGeometry(0, 0, state_.previewWidth, state_.previewHeight);
    c.picNahled->clear();
    setBackground(c.picNahled, QColor(255, 0, 255));
    for (QLineEdit* name : c.txtJmeno)
        setColor(name, QPalette::Base, Qt::white);
    c.cmdStart->setEnabled(false);
    for (int row = 1; row <= PlayerSlots; ++row)
        c.setRowVisible(row, true);
    trackShown_ = false;
}

void NewRaceDialog::UpdateStartButton()
{
    const NewRaceDialogForm& c = *ui_;
    const bool anyPlayer = std::any_of(c.chkHraci.begin(), c.chkHraci.end(), [](const QCheckBox* tick) { return tick->isChecked(); });
    c.cmdStart->setEnabled(anyPlayer && !c.txtNazev->text().isEmpty());
}

void NewRaceDialog::showRecord(const QString& text)
{
    ui_->txtRekord->setText(text);
}

void NewRaceDialog::setRecordButtonsEnabled(bool enabled)
{
    ui_->cmdRekord->setEnabled(enabled);
    ui_->cmdKontrola->setEnabled(enabled);
}

void NewRaceDialog::chkHraci_Click()
{
    UpdateStartButton();
}

void NewRaceDialog::cmdStart_Click()
{
    const NewRaceDialogForm& c = *ui_;
    if (!c.cmdStart->isEnabled() || c.cmdStart->isHidden())
        return;
    std::array<PlayerEntry, PlayerSlots> rows;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const QColor colour = c.playerColor(static_cast<int>(i) + 1);
        rows[i] = PlayerEntry{c.txtJmeno[i]->text(), colorValue(colour.red(), colour.green(), colour.blue()),
                              c.chkHraci[i]->isChecked(), static_cast<DriverKind>(std::clamp(c.cboRidic[i]->currentIndex(), 0, 3))};
    }
    // Every race its own seed: the computer drivers do not drive two races alike.
    StartRace(state_, rows, QRandomGenerator::global()->generate64());
    host_.showRaceStart(!c.chkTrajektorie->isChecked());
    hide();
}

void NewRaceDialog::cmdZmenit_Click()
{
    NewRaceDialogForm& c = *ui_;
    const QString& folder = services_.dataDirectory;
    const QString initial = c.txtDefSoubor->text().isEmpty() ? QDir::toNativeSeparators(folder + QStringLiteral("/*.trt"))
                                                             : c.txtDefSoubor->text();
    const QString chosen = services_.chooseTrackFile(this, c.fileDialogTitle, c.fileDialogFilter, initial);
    if (chosen.isEmpty())
        return;
    c.txtDefSoubor->setText(QDir::toNativeSeparators(chosen));
    LoadTrack(state_, host_.gameWindow(), this, c.txtDefSoubor->text());
    // Remembered even when it failed to load: the next opening reports it again or forgets it.
    IniFile settings(settingsFilePath(folder));
    RememberTrack(settings, chosen, folder);
    c.cmdStart->setFocus();
}

void NewRaceDialog::cmdOK_Click()
{
    hide();
}

void NewRaceDialog::cmdRekord_Click()
{
    host_.showRecordInformation();
}

void NewRaceDialog::cmdKontrola_Click()
{
    // The check replays the whole ride at once: the hourglass and "probíhá kontrola..." meanwhile.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ui_->txtRekord->setText(LoadText(state_, StringId::CheckingRecord));
    ui_->txtRekord->repaint();
    CheckLoadedRecord(state_, host_.gameWindow(), this);
    QApplication::restoreOverrideCursor();
}

void NewRaceDialog::picBarva_Click(int index)
{
    if (const std::optional<QColor> chosen = services_.chooseColor(this, ui_->playerColor(index)); chosen && chosen->isValid())
        ui_->setPlayerColor(index, chosen->toRgb());
}

void NewRaceDialog::txtJmeno_GotFocus(int index)
{
    QLineEdit* name = ui_->txtJmeno[static_cast<std::size_t>(index - 1)];
    name->selectAll();
    // A click places the cursor after the focus came: select again once the click is through.
    QTimer::singleShot(0, name, [name] {
        if (name->hasFocus())
            name->selectAll();
    });
}

bool NewRaceDialog::eventFilter(QObject* watched, QEvent* event)
{
    NewRaceDialogForm& c = *ui_;
    auto* widget = qobject_cast<QWidget*>(watched);
    const int index = widget ? widget->property("Index").toInt() : 0;
    if (index < 1 || index > PlayerSlots || !widget->isEnabled())
        return QDialog::eventFilter(watched, event);
    const auto i = static_cast<std::size_t>(index - 1);

    if (widget == c.picBarva[i] && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && widget->rect().contains(mouse->position().toPoint())) {
            picBarva_Click(index);
            return true;
        }
    } else if (widget == c.txtJmeno[i]) {
        switch (event->type()) {
        case QEvent::FocusIn:
            txtJmeno_GotFocus(index);
            break;
        case QEvent::KeyPress: {
            // Ctrl pressed and let go on its own toggles the row's tick; Ctrl+C, Ctrl+V and the
            // other shortcuts of the name box do not.
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Control)
                ctrlPressed_ = ctrlPressed_ || !key->isAutoRepeat();
            else
                ctrlPressed_ = false;
            break;
        }
        case QEvent::KeyRelease: {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Control && !key->isAutoRepeat()) {
                QCheckBox* tick = c.chkHraci[i];
                if (ctrlPressed_ && !tick->isHidden())
                    tick->setChecked(!tick->isChecked());
                ctrlPressed_ = false;
            }
            break;
        }
        case QEvent::FocusOut:
            ctrlPressed_ = false;
            break;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void NewRaceDialog::reject()
{
    if (!isNewRaceMode())
        cmdOK_Click();
}

void NewRaceDialog::closeEvent(QCloseEvent* event)
{
    // Only the user closes an open dialog; a hidden one closes quietly with the program.
    if (!isVisible()) {
        event->accept();
        return;
    }
    if (host_.gameWindow().messageBox(LoadText(state_, StringId::ExitQuestion), StyleYesNoDefaultNo, LoadText(state_, StringId::ExitTitle)) != AnswerYes) {
        event->ignore();
        return;
    }
    event->accept();
    host_.endProgram();
}
