#pragma once

#include "files/TrackFile.h"

#include <QColor>
#include <QDialog>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class GameWindow;
struct NewRaceDialogForm;
struct RaceState;

// What the new race dialog asks of the main window.
class RaceDialogHost {
public:
    virtual ~RaceDialogHost() = default;
    // The window calls of the race: message boxes for the track loader, the track view it prepares.
    virtual GameWindow& gameWindow() = 0;
    // The race was reset when the dialog opened: the main window repaints itself behind it.
    virtual void repaintMainWindow() = 0;
    // Start was pressed and the players are in the race state (StartRace): the main window shows
    // the track, the start markers, the race menus and the status bar. showTrajectories is false
    // when "nezobrazovat trajektorii" is ticked.
    virtual void showRaceStart(bool showTrajectories) = 0;
    // "Více o rekordu...": the stored record of the loaded track.
    virtual void showRecordInformation() = 0;
    // Yes to the close box's question "Opravdu chcete skončit?".
    virtual void endProgram() = 0;
};

// The dialogs the new race dialog opens; tests put scripts in their place.
struct NewRaceDialogServices {
    QString dataDirectory;  // the settings file, the "%" form of the remembered track, the file dialog's folder
    // The open-file dialog: gives the chosen path, or "" when cancelled. Empty: the system's dialog.
    std::function<QString(QWidget* parent, const QString& title, const QString& filter, const QString& initialPath)> chooseTrackFile;
    // The colour dialog: gives the chosen colour, or nothing when cancelled. Empty: the system's dialog.
    std::function<std::optional<QColor>(QWidget* parent, const QColor& initial)> chooseColor;
};

// frmNováHra: the players, their names and colours, the trajectory option and the track of the next
// race; in information mode the settings of the running race, read-only.
class NewRaceDialog : public QDialog, public TrackDialogFields {
    Q_OBJECT

public:
    enum class Mode { NewRace, Information };  // "n" and "i"

    NewRaceDialog(RaceState& state, RaceDialogHost& host, NewRaceDialogServices services, QWidget* parent = nullptr);
    ~NewRaceDialog() override;

    // Prepares the dialog for the mode and shows it modally; returns when it is hidden or closed.
    void OpenRaceDialog(Mode mode);
    // Shows the dialog again as it was left when a stored ride was shown from it: modally, with its
    // fields as they were, nothing reloaded.
    void ShowAgain();
    // The dialog's captions in the chosen language (window caption excepted: the opener sets it).
    void ApplyLanguage();

    // TrackDialogFields
    void ShowTrackInfo(const RaceState& state) override;
    void ClearTrackInfo() override;
    void UpdateStartButton() override;
    void showRecord(const QString& text) override;
    void setRecordButtonsEnabled(bool enabled) override;

    // Whether the dialog is open for a new race (cmdStart shown), as the record dialog asks.
    bool isNewRaceMode() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    // Esc: closes the dialog in information mode; in new-race mode there is nothing to cancel.
    void reject() override;
    // The clicks on the colour boxes and the focus and keys of the name boxes.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void ComputePreviewArea();
    void cmdStart_Click();
    void cmdZmenit_Click();
    void cmdOK_Click();
    void cmdRekord_Click();
    void cmdKontrola_Click();
    void picBarva_Click(int index);
    void chkHraci_Click();
    void txtJmeno_GotFocus(int index);

    RaceState& state_;
    RaceDialogHost& host_;
    NewRaceDialogServices services_;
    std::unique_ptr<NewRaceDialogForm> ui_;
    bool trackShown_ = false;   // the fields show a loaded track
    bool ctrlPressed_ = false;  // Ctrl went down in a name box, and no other key since
};
