#include "ui/dialogs/AboutDialog.h"

#include "shell/LanguageState.h"
#include "ui/main/Logo.h"
#include "shell/StringIds.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The picture is shown at most this large, keeping its proportions; a smaller one at its own size.
constexpr int PictureWidth = 256;
constexpr int PictureHeight = 192;
constexpr int TextWidth = 300;

QPixmap aboutPicture(const QString& programDirectory, const QIcon& icon)
{
    const QPixmap logo = loadLogo(programDirectory);
    if (logo.isNull())
        return icon.pixmap(32, 32);
    if (logo.width() <= PictureWidth && logo.height() <= PictureHeight)
        return logo;
    return logo.scaled(PictureWidth, PictureHeight, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

}  // namespace

AboutDialog::AboutDialog(const LanguageState& language, const QString& programDirectory, QWidget* parent)
    : QDialog(parent), language_(language)
{
    setObjectName(QStringLiteral("frmAbout"));
    const QIcon icon = parent && !parent->windowIcon().isNull() ? parent->windowIcon()
                                                                : QIcon(QStringLiteral(":/trasovky.xpm"));
    setWindowIcon(icon);

    picIcon_ = new QLabel(this);
    picIcon_->setObjectName(QStringLiteral("picIcon"));
    picIcon_->setPixmap(icon.pixmap(32, 32));
    picIcon_->setFixedSize(32, 32);
    lblNazev_ = new QLabel(this);
    lblNazev_->setObjectName(QStringLiteral("lblNázev"));
    QFont titleFont = lblNazev_->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
    lblNazev_->setFont(titleFont);
    lblVerze_ = new QLabel(this);
    lblVerze_->setObjectName(QStringLiteral("lblVerze"));
    lblAutori_ = new QLabel(this);
    lblAutori_->setObjectName(QStringLiteral("lblAutoři"));
    lblAutori_->setWordWrap(true);
    lblAutori_->setFixedWidth(TextWidth);
    imgAbout_ = new QLabel(this);
    imgAbout_->setObjectName(QStringLiteral("imgAbout"));
    imgAbout_->setPixmap(aboutPicture(programDirectory, icon));
    imgAbout_->setAlignment(Qt::AlignCenter);
    imgAbout_->setFrameShape(QFrame::StyledPanel);
    cmdOK_ = new QPushButton(this);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setDefault(true);

    auto* titleRow = new QHBoxLayout;
    titleRow->setSpacing(10);
    titleRow->addWidget(picIcon_);
    titleRow->addWidget(lblNazev_, 1, Qt::AlignVCenter);
    auto* text = new QVBoxLayout;
    text->addLayout(titleRow);
    text->addSpacing(6);
    text->addWidget(lblVerze_);
    text->addSpacing(12);
    text->addWidget(lblAutori_);
    text->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK_);
    text->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(16);
    layout->addWidget(imgAbout_, 0, Qt::AlignTop);
    layout->addLayout(text);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(cmdOK_, &QPushButton::clicked, this, &QDialog::accept);
    // Every key press reaches the box first, whichever of its controls has the focus.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
    ApplyLanguage();
}

void AboutDialog::ApplyLanguage()
{
    setWindowTitle(LoadText(language_, StringId::AboutCaption));
    lblNazev_->setText(LoadText(language_, StringId::ProgramTitle));
    lblVerze_->setText(LoadText(language_, StringId::VersionText));
    lblAutori_->setText(LoadText(language_, StringId::AuthorsText));
    cmdOK_->setText(LoadText(language_, StringId::AboutBackButton));
}

void AboutDialog::showModal()
{
    cmdOK_->setFocus();
    exec();
}

bool AboutDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        accept();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// The labels and the pictures take no mouse buttons, so a click on any of them is a click on the box.
void AboutDialog::mousePressEvent(QMouseEvent* event)
{
    event->accept();
}

void AboutDialog::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        accept();
}
