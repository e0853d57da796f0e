#include "ui/dialogs/ZoomDialog.h"

#include "shell/LanguageState.h"
#include "shell/StringIds.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include <cmath>

namespace {

int percentOf(float zoom)
{
    return static_cast<int>(std::nearbyint(zoom * 100.0f));
}

}  // namespace

ZoomDialog::ZoomDialog(const LanguageState& language, QWidget* parent) : QDialog(parent), language_(language)
{
    setObjectName(QStringLiteral("frmVelikost"));
    sldVelikost_ = new QSlider(Qt::Horizontal, this);
    sldVelikost_->setObjectName(QStringLiteral("sldVelikost"));
    sldVelikost_->setRange(1, 100);
    sldVelikost_->setSingleStep(1);
    sldVelikost_->setPageStep(10);
    sldVelikost_->setTickPosition(QSlider::TicksBelow);
    sldVelikost_->setTickInterval(10);
    sldVelikost_->setMinimumWidth(280);
    lblVelikost_ = new QLabel(this);
    lblVelikost_->setObjectName(QStringLiteral("lblVelikost"));
    lblVelikost_->setAlignment(Qt::AlignCenter);
    lblVelikost_->setMinimumWidth(lblVelikost_->fontMetrics().horizontalAdvance(QStringLiteral("100.0000%")));
    cmdOk_ = new QPushButton(this);
    cmdOk_->setObjectName(QStringLiteral("cmdOk"));
    cmdOk_->setDefault(true);
    cmdStorno_ = new QPushButton(this);
    cmdStorno_->setObjectName(QStringLiteral("cmdStorno"));

    auto* sliderRow = new QHBoxLayout;
    sliderRow->addWidget(sldVelikost_, 1);
    sliderRow->addWidget(lblVelikost_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOk_);
    buttons->addWidget(cmdStorno_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(sliderRow);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(sldVelikost_, &QSlider::valueChanged, this, &ZoomDialog::showValue);
    connect(cmdOk_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdStorno_, &QPushButton::clicked, this, &ZoomDialog::cancel);
    // Esc and the close box cancel like "Storno".
    connect(this, &QDialog::rejected, this, [this] { sldVelikost_->setValue(percentOf(zoom_)); });
    ApplyLanguage();
}

void ZoomDialog::ApplyLanguage()
{
    setWindowTitle(LoadText(language_, StringId::ZoomCaption));
    cmdOk_->setText(LoadText(language_, StringId::ApplyButton));
    cmdStorno_->setText(LoadText(language_, StringId::CancelButton));
}

int ZoomDialog::choosePercent(float zoom)
{
    zoom_ = zoom;
    sldVelikost_->setValue(percentOf(zoom));
    // The zoom as it is, which the slider may only approximate (best fit gives any zoom).
    lblVelikost_->setText(QLocale::system().toString(zoom * 100.0f, 'g', 6) + u'%');
    sldVelikost_->setFocus();
    exec();
    return sldVelikost_->value();
}

void ZoomDialog::cancel()
{
    reject();
}

void ZoomDialog::showValue(int value)
{
    lblVelikost_->setText(QString::number(value) + u'%');
}
