#pragma once

#include <QDialog>

class PlayerPrompts;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
struct RaceState;

// What the record dialog asks of the main window.
class RecordDialogHost {
public:
    virtual ~RecordDialogHost() = default;
    // Message boxes and the record fanfare.
    virtual PlayerPrompts& prompts() = 0;
    // Whether the new race dialog is open for a new race: only then can the ride be shown.
    virtual bool canShowRecordRide() const = 0;
    // "Zobraz jízdu": the stored ride on the track view; the new race dialog steps aside.
    virtual void showRecordRide() = 0;
};

// frmRekord: takes down a new track record at the end of a race, or shows the stored record of
// the loaded track, from which its ride can be shown on the track view.
class RecordDialog : public QDialog {
    Q_OBJECT

public:
    enum class Mode { NewRecord, Information };  // "n" and "i"

    RecordDialog(RaceState& state, RecordDialogHost& host, QWidget* parent = nullptr);

    // The new record's fields, filled by the race end before the dialog opens for it.
    void setNewRecord(const QString& name, const QString& date, const QString& moves);
    // Prepares the dialog for the mode and shows it modally; returns when it is closed or hidden.
    void OpenRecordDialog(Mode mode);
    // The captions of the labels and buttons in the chosen language; the caption is the opener's.
    void ApplyLanguage();

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    void cmdUlozit_Click();
    void cmdZobrazit_Click();

    RaceState& state_;
    RecordDialogHost& host_;
    Mode mode_ = Mode::Information;
    QLabel* lblPopis_[4] = {};
    QLineEdit* txtJmeno_ = nullptr;
    QLineEdit* txtTahu_ = nullptr;
    QLineEdit* txtDatum_ = nullptr;
    QPlainTextEdit* txtKomentar_ = nullptr;
    QPushButton* cmdUlozit_ = nullptr;
    QPushButton* cmdZpet_ = nullptr;
    QPushButton* cmdZobrazit_ = nullptr;
};
