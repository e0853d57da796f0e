#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

class QCloseEvent;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTreeWidget;
struct RaceState;

// What the results dialog asks of the main window.
class ResultsDialogHost {
public:
    virtual ~ResultsDialogHost() = default;
    // "Nová hra": the new race dialog in its new-race mode.
    virtual void startNewRace() = 0;
    // "Skrýt" and the close box: the menu entry that shows the results again becomes visible.
    virtual void showResultsMenuItem() = 0;
    // "Konec": the main window closes, asking its own question first.
    virtual void closeMainWindow() = 0;
};

// frmVýsledky: the results of the last race in a list, the moves shown absolutely or relative to
// the winner, sorting by a column, a copy to the clipboard, and the way on: a new race, back to
// the track, or the end of the program. Hiding the dialog keeps its rows, display mode and sort.
class ResultsDialog : public QDialog {
    Q_OBJECT

public:
    enum DisplayMode { Absolute = 0, RelativeToWinner = 1 };  // the Index of optZobrazovat

    ResultsDialog(RaceState& state, ResultsDialogHost& host, const QString& programDirectory, QWidget* parent = nullptr);

    // Clears the list and fills it from the ranked race (OrderOfFinish), then aligns the columns.
    // A sort chosen earlier is applied to the new rows.
    void fillResults();
    // Shows the dialog modally; returns when it is hidden.
    void showResults();
    // The captions, the option buttons and the column headers in the chosen language.
    void ApplyLanguage();
    // Lines up the decimal separators of the moves and top speed columns and sizes every column.
    void AlignResultColumns();

    DisplayMode displayMode() const { return mode_; }
    // The texts of every row in the list's current order, column by column, as shown.
    std::vector<QStringList> shownRows() const;
    // The results as cmdCopy puts them on the clipboard, dated today.
    QString clipboardText() const;

    QTreeWidget* list() const { return lstVysledky_; }
    QLabel* picture() const { return imgResults_; }

protected:
    // The close box hides the dialog as "Skrýt" does; when the program ends, it just closes.
    void closeEvent(QCloseEvent* event) override;
    // Esc: "Skrýt".
    void reject() override;

private:
    void Form_Load(const QString& programDirectory);
    void loadPicture(const QString& programDirectory);
    void optZobrazovat_Click(int index);
    void lstVysledky_ColumnClick(int column);
    void cmdNovaHra_Click();
    void cmdSkryt_Click();
    void cmdKonec_Click();
    void cmdCopy_Click();
    void sizeColumns();

    RaceState& state_;
    ResultsDialogHost& host_;
    DisplayMode mode_ = Absolute;
    // The sort of the list once a header has been clicked; the first click sorts ascending.
    bool sorted_ = false;
    int sortColumn_ = 0;
    Qt::SortOrder sortOrder_ = Qt::DescendingOrder;

    QTreeWidget* lstVysledky_ = nullptr;
    QGroupBox* fraZobrazeni_ = nullptr;
    std::array<QRadioButton*, 2> optZobrazovat_{};
    QLabel* imgResults_ = nullptr;
    QPushButton* cmdNovaHra_ = nullptr;
    QPushButton* cmdSkryt_ = nullptr;
    QPushButton* cmdKonec_ = nullptr;
    QPushButton* cmdCopy_ = nullptr;
};
