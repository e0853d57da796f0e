#pragma once

#include "race/RaceState.h"

#include <QColor>
#include <QString>

#include <array>

class QCheckBox;
class QComboBox;
class QDialog;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;

// The controls of the new race dialog frmNováHra, each named as the game's code knows it (rows and
// labels carry their number in the property "Index"), laid out in the dialog. No behaviour here:
// NewRaceDialog connects the controls and fills them.
struct NewRaceDialogForm {
    static constexpr int LabelCount = 7;
    // The smallest room the layout leaves for the track preview, in the 4 : 3 shape of most tracks.
    static constexpr int PreviewMinimumWidth = 320;
    static constexpr int PreviewMinimumHeight = 240;

    // Builds the controls inside dialog, with the default colours of the players.
    explicit NewRaceDialogForm(QDialog* dialog);

    QGroupBox* fraHraci = nullptr;
    std::array<QCheckBox*, PlayerSlots> chkHraci{};
    std::array<QLineEdit*, PlayerSlots> txtJmeno{};
    std::array<QFrame*, PlayerSlots> picBarva{};
    // Who drives each car: a person, or the computer as začátečník, závodník or mistr (the item's
    // index is the DriverKind).
    std::array<QComboBox*, PlayerSlots> cboRidic{};
    QCheckBox* chkTrajektorie = nullptr;

    QGroupBox* fraDraha = nullptr;
    std::array<QLabel*, LabelCount> lblPopis{};
    QLineEdit* txtDefSoubor = nullptr;
    QPushButton* cmdZmenit = nullptr;
    QLineEdit* txtNazev = nullptr;
    QPlainTextEdit* txtPopis = nullptr;
    QLineEdit* txtPocetPozic = nullptr;
    QLineEdit* txtMaxRychlost = nullptr;
    QLineEdit* txtPocetKontrol = nullptr;
    QLineEdit* txtRekord = nullptr;
    QPushButton* cmdRekord = nullptr;
    QPushButton* cmdKontrola = nullptr;
    QWidget* previewArea = nullptr;  // the room of the preview; picNahled sits at its top left
    QLabel* picNahled = nullptr;

    QPushButton* cmdStart = nullptr;
    QPushButton* cmdOK = nullptr;  // in the place of cmdStart; only one of the two is shown

    // The texts of the track file dialog dlgTrať.
    QString fileDialogTitle;
    QString fileDialogFilter;

    // Row 1 ... 10: its tick, name, driver and colour box shown or hidden. A hidden row keeps its place.
    void setRowVisible(int row, bool visible);
    QColor playerColor(int row) const;
    void setPlayerColor(int row, const QColor& color);
};

// The colour a widget fills its background with.
void setBackground(QWidget* widget, const QColor& color);
QColor backgroundOf(const QWidget* widget);
