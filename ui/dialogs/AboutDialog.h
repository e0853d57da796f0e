#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
struct LanguageState;

// frmAbout: the program's icon, title, version and authors beside a picture of the game (the logo
// beside the program, scaled down; the window icon when there is none). The button, a click
// anywhere on the box and any key press close it.
class AboutDialog : public QDialog {
    Q_OBJECT

public:
    AboutDialog(const LanguageState& language, const QString& programDirectory, QWidget* parent = nullptr);

    // Shows the box modally; returns when it has closed.
    void showModal();
    // The captions in the chosen language.
    void ApplyLanguage();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    const LanguageState& language_;
    QLabel* picIcon_ = nullptr;
    QLabel* lblNazev_ = nullptr;
    QLabel* lblVerze_ = nullptr;
    QLabel* lblAutori_ = nullptr;
    QLabel* imgAbout_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
};
