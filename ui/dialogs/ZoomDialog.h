#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QSlider;
struct LanguageState;

// frmVelikost: the zoom of the track view chosen on a slider from 1 to 100 %.
class ZoomDialog : public QDialog {
    Q_OBJECT

public:
    ZoomDialog(const LanguageState& language, QWidget* parent = nullptr);

    // Shows the dialog modally at the given zoom; gives the slider's value when it closes, which
    // "Storno", Esc and the close box set back to the zoom.
    int choosePercent(float zoom);
    // The captions in the chosen language.
    void ApplyLanguage();

    QSlider* slider() const { return sldVelikost_; }

private:
    void cancel();
    void showValue(int value);

    const LanguageState& language_;
    float zoom_ = 1;
    QSlider* sldVelikost_ = nullptr;
    QLabel* lblVelikost_ = nullptr;
    QPushButton* cmdOk_ = nullptr;
    QPushButton* cmdStorno_ = nullptr;
};
