#include "ui/dialogs/NewRaceDialogForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Row i's colour when the dialog is first created.
const std::array<QColor, PlayerSlots> DefaultColors = {
    QColor(255, 0, 0),     QColor(0, 0, 255),     QColor(0, 128, 0), QColor(255, 255, 0),   QColor(0, 0, 0),
    QColor(255, 192, 128), QColor(192, 192, 255), QColor(0, 192, 0), QColor(128, 128, 128), QColor(0, 0, 128),
};

template <typename Widget>
Widget* named(Widget* widget, const char* name, int index = 0)
{
    widget->setObjectName(QString::fromUtf8(name));
    if (index > 0)
        widget->setProperty("Index", index);
    return widget;
}

// Hidden player rows keep their place, so the dialog keeps its size from track to track.
void keepPlaceWhenHidden(QWidget* widget)
{
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

QLineEdit* readOnlyField(QWidget* parent, const char* name)
{
    auto* field = named(new QLineEdit(parent), name);
    field->setReadOnly(true);
    return field;
}

}  // namespace

void setBackground(QWidget* widget, const QColor& color)
{
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(widget->backgroundRole(), color);
    widget->setPalette(palette);
}

QColor backgroundOf(const QWidget* widget)
{
    return widget->palette().color(widget->backgroundRole());
}

NewRaceDialogForm::NewRaceDialogForm(QDialog* dialog)
{
    // The players: a tick, the name, who drives and the colour in each row.
    fraHraci = named(new QGroupBox(dialog), "fraHráči");
    auto* players = new QGridLayout(fraHraci);
    players->setColumnStretch(1, 1);
    for (int row = 1; row <= PlayerSlots; ++row) {
        const auto i = static_cast<std::size_t>(row - 1);
        auto* tick = named(new QCheckBox(fraHraci), "chkHráči", row);
        tick->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        auto* name = named(new QLineEdit(fraHraci), "txtJméno", row);
        name->setMinimumWidth(name->fontMetrics().averageCharWidth() * 18);
        auto* colour = named(new QFrame(fraHraci), "picBarva", row);
        colour->setFrameShape(QFrame::Panel);
        colour->setFrameShadow(QFrame::Sunken);
        colour->setFixedWidth(name->sizeHint().height() * 3 / 2);
        colour->setCursor(Qt::PointingHandCursor);
        setBackground(colour, DefaultColors[i]);
        auto* driver = named(new QComboBox(fraHraci), "cboŘidič", row);
        driver->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        // Enter and the wheel stay with the dialog; the list opens on a click or Alt+Down.
        driver->setFocusPolicy(Qt::StrongFocus);
        for (QWidget* widget : {static_cast<QWidget*>(tick), static_cast<QWidget*>(name), static_cast<QWidget*>(driver),
                                static_cast<QWidget*>(colour)})
            keepPlaceWhenHidden(widget);
        players->addWidget(tick, row - 1, 0);
        players->addWidget(name, row - 1, 1);
        players->addWidget(driver, row - 1, 2);
        players->addWidget(colour, row - 1, 3);
        chkHraci[i] = tick;
        txtJmeno[i] = name;
        cboRidic[i] = driver;
        picBarva[i] = colour;
    }
    chkTrajektorie = named(new QCheckBox(dialog), "chkTrajektorie");

    // The track: its files and values on the left, the preview on the right below the button.
    fraDraha = named(new QGroupBox(dialog), "fraDráha");
    auto* track = new QGridLayout(fraDraha);
    for (int i = 1; i <= LabelCount; ++i)
        lblPopis[static_cast<std::size_t>(i - 1)] = named(new QLabel(fraDraha), "lblPopis", i);
    txtDefSoubor = readOnlyField(fraDraha, "txtDefSoubor");
    cmdZmenit = named(new QPushButton(fraDraha), "cmdZměnit");
    txtNazev = readOnlyField(fraDraha, "txtNázev");
    txtPopis = named(new QPlainTextEdit(fraDraha), "txtPopis");
    txtPopis->setReadOnly(true);
    txtPopis->setTabChangesFocus(true);
    txtPopis->setFixedHeight(txtPopis->fontMetrics().lineSpacing() * 4 + 2 * txtPopis->frameWidth() +
                             2 * static_cast<int>(txtPopis->document()->documentMargin()));
    txtPocetPozic = readOnlyField(fraDraha, "txtPočetPozic");
    txtMaxRychlost = readOnlyField(fraDraha, "txtMaxRychlost");
    txtPocetKontrol = readOnlyField(fraDraha, "txtPočetKontrol");
    txtRekord = readOnlyField(fraDraha, "txtRekord");
    txtRekord->setMinimumWidth(txtRekord->fontMetrics().averageCharWidth() * 26);
    cmdRekord = named(new QPushButton(fraDraha), "cmdRekord");
    cmdKontrola = named(new QPushButton(fraDraha), "cmdKontrola");
    previewArea = new QWidget(fraDraha);
    previewArea->setMinimumSize(PreviewMinimumWidth, PreviewMinimumHeight);
    previewArea->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    picNahled = named(new QLabel(previewArea), "picNáhled");
    picNahled->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    const std::array<QWidget*, LabelCount> labelled = {txtDefSoubor,   txtNazev,        txtPopis, txtPocetPozic,
                                                       txtMaxRychlost, txtPocetKontrol, txtRekord};
    for (std::size_t i = 0; i < labelled.size(); ++i)
        lblPopis[i]->setBuddy(labelled[i]);
    track->addWidget(lblPopis[0], 0, 0);
    track->addWidget(txtDefSoubor, 0, 1, 1, 2);
    track->addWidget(cmdZmenit, 0, 3);
    track->addWidget(lblPopis[1], 1, 0);
    track->addWidget(txtNazev, 1, 1, 1, 3);
    track->addWidget(lblPopis[2], 2, 0, Qt::AlignTop);
    track->addWidget(txtPopis, 2, 1, 1, 3);
    for (int i = 3; i < LabelCount; ++i) {
        track->addWidget(lblPopis[static_cast<std::size_t>(i)], i, 0);
        track->addWidget(labelled[static_cast<std::size_t>(i)], i, 1);
    }
    auto* recordButtons = new QVBoxLayout;
    recordButtons->addWidget(cmdRekord);
    recordButtons->addWidget(cmdKontrola);
    track->addLayout(recordButtons, LabelCount, 1);
    track->setRowStretch(LabelCount + 1, 1);
    track->addWidget(previewArea, 3, 2, LabelCount - 1, 2);
    track->setColumnStretch(2, 1);
    // The preview reaches down as far as the frame's right margin is wide (previewHeight).
    const QMargins margins = track->contentsMargins();
    track->setContentsMargins(margins.left(), margins.top(), margins.right(), margins.right());

    // Start and Zpět share one place; only one of them is shown.
    cmdStart = named(new QPushButton(dialog), "cmdStart");
    cmdOK = named(new QPushButton(dialog), "cmdOK");
    keepPlaceWhenHidden(cmdStart);
    keepPlaceWhenHidden(cmdOK);
    cmdOK->hide();

    auto* layout = new QGridLayout(dialog);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(fraHraci, 0, 0);
    layout->addWidget(fraDraha, 0, 1, 1, 2);
    layout->addWidget(chkTrajektorie, 1, 0);
    layout->addWidget(cmdStart, 1, 2);
    layout->addWidget(cmdOK, 1, 2);
    layout->setColumnStretch(1, 1);
}

void NewRaceDialogForm::setRowVisible(int row, bool visible)
{
    const auto i = static_cast<std::size_t>(row - 1);
    chkHraci.at(i)->setVisible(visible);
    txtJmeno.at(i)->setVisible(visible);
    cboRidic.at(i)->setVisible(visible);
    picBarva.at(i)->setVisible(visible);
}

QColor NewRaceDialogForm::playerColor(int row) const
{
    return backgroundOf(picBarva.at(static_cast<std::size_t>(row - 1)));
}

void NewRaceDialogForm::setPlayerColor(int row, const QColor& color)
{
    setBackground(picBarva.at(static_cast<std::size_t>(row - 1)), color);
}
