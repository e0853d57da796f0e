#include "ui/dialogs/RecordDialog.h"

#include "files/FileMessages.h"
#include "files/RecordFile.h"
#include "race/PlayerPrompts.h"
#include "race/RaceState.h"
#include "shell/LanguageState.h"
#include "shell/MessageBoxStyle.h"
#include "shell/NumberFormat.h"
#include "shell/StringIds.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr unsigned RecordSound = 8;

QLineEdit* makeField(QWidget* parent, const char* name)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(QString::fromUtf8(name));
    return field;
}

}  // namespace

RecordDialog::RecordDialog(RaceState& state, RecordDialogHost& host, QWidget* parent)
    : QDialog(parent), state_(state), host_(host)
{
    setObjectName(QStringLiteral("frmRekord"));
    txtJmeno_ = makeField(this, "txtJméno");
    txtTahu_ = makeField(this, "txtTahů");
    txtTahu_->setReadOnly(true);
    txtDatum_ = makeField(this, "txtDatum");
    txtKomentar_ = new QPlainTextEdit(this);
    txtKomentar_->setObjectName(QStringLiteral("txtKomentář"));
    txtKomentar_->setTabChangesFocus(true);
    txtKomentar_->setMinimumSize(360, 90);
    for (int i = 0; i < 4; ++i) {
        lblPopis_[i] = new QLabel(this);
        lblPopis_[i]->setObjectName(QStringLiteral("lblPopis"));
        lblPopis_[i]->setProperty("Index", i + 1);
    }
    lblPopis_[0]->setBuddy(txtJmeno_);
    lblPopis_[1]->setBuddy(txtTahu_);
    lblPopis_[2]->setBuddy(txtDatum_);
    lblPopis_[3]->setBuddy(txtKomentar_);

    cmdUlozit_ = new QPushButton(this);
    cmdUlozit_->setObjectName(QStringLiteral("cmdUložit"));
    cmdZpet_ = new QPushButton(this);
    cmdZpet_->setObjectName(QStringLiteral("cmdZpět"));
    cmdZobrazit_ = new QPushButton(this);
    cmdZobrazit_->setObjectName(QStringLiteral("cmdZobrazit"));

    auto* fields = new QFormLayout;
    fields->addRow(lblPopis_[0], txtJmeno_);
    fields->addRow(lblPopis_[1], txtTahu_);
    fields->addRow(lblPopis_[2], txtDatum_);
    fields->addRow(lblPopis_[3], txtKomentar_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdZobrazit_);
    buttons->addStretch(1);
    buttons->addWidget(cmdUlozit_);
    buttons->addWidget(cmdZpet_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    connect(cmdUlozit_, &QPushButton::clicked, this, &RecordDialog::cmdUlozit_Click);
    connect(cmdZpet_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdZobrazit_, &QPushButton::clicked, this, &RecordDialog::cmdZobrazit_Click);
    ApplyLanguage();
}

void RecordDialog::ApplyLanguage()
{
    for (int i = 0; i < 4; ++i)
        lblPopis_[i]->setText(LoadText(state_, StringId::ShowRideButton + 1 + i));
    cmdUlozit_->setText(LoadText(state_, StringId::SaveButton));
    cmdZpet_->setText(LoadText(state_, StringId::RecordBackButton));
    cmdZobrazit_->setText(LoadText(state_, StringId::ShowRideButton));
}

void RecordDialog::setNewRecord(const QString& name, const QString& date, const QString& moves)
{
    txtJmeno_->setText(name);
    txtDatum_->setText(date);
    txtTahu_->setText(moves);
    txtKomentar_->clear();
}

void RecordDialog::OpenRecordDialog(Mode mode)
{
    mode_ = mode;
    const bool newRecord = mode == Mode::NewRecord;
    setWindowTitle(LoadText(state_, newRecord ? StringId::NewRecordCaption : StringId::RecordInformationCaption));
    for (QLineEdit* field : {txtJmeno_, txtDatum_})
        field->setReadOnly(!newRecord);
    txtKomentar_->setReadOnly(!newRecord);
    cmdUlozit_->setVisible(newRecord);
    cmdZpet_->setVisible(!newRecord);
    cmdZobrazit_->setVisible(!newRecord);
    cmdUlozit_->setDefault(newRecord);
    cmdZpet_->setDefault(!newRecord);
    // Only the fields of a new record are filled in; a stored record is read, not tabbed through.
    const Qt::FocusPolicy fieldFocus = newRecord ? Qt::StrongFocus : Qt::NoFocus;
    for (QWidget* field : std::initializer_list<QWidget*>{txtJmeno_, txtTahu_, txtDatum_, txtKomentar_})
        field->setFocusPolicy(fieldFocus);
    if (newRecord) {
        host_.prompts().PlaySound(RecordSound);
        txtJmeno_->setFocus();
        txtJmeno_->selectAll();
    } else {
        cmdZobrazit_->setEnabled(host_.canShowRecordRide());
        txtJmeno_->setText(state_.recordHolder);
        txtDatum_->setText(state_.recordDate);
        txtTahu_->setText(formatFixed6(state_.recordMoves, systemDecimalSeparator()));
        txtKomentar_->setPlainText(state_.recordComment);
        cmdZpet_->setFocus();
    }
    exec();
}

void RecordDialog::cmdUlozit_Click()
{
    if (txtJmeno_->text().contains(u'|') || txtDatum_->text().contains(u'|')) {
        host_.prompts().messageBox(LoadText(state_, StringId::BarRefusedText) + QStringLiteral("\"|\"."), StyleCritical,
                                   fileErrorTitle(state_));
        return;
    }
    // A record that could not be written keeps the dialog open: it is not lost while the player
    // may still free the file and save again.
    if (WriteRecord(state_, host_.prompts(), txtJmeno_->text(), txtDatum_->text(), txtKomentar_->toPlainText()))
        accept();
}

void RecordDialog::cmdZobrazit_Click()
{
    host_.showRecordRide();
    cmdZpet_->setFocus();
    hide();
}

void RecordDialog::reject()
{
    // A new record has no way back but saving or the close box: Esc must not throw it away.
    if (mode_ == Mode::NewRecord)
        return;
    QDialog::reject();
}

void RecordDialog::closeEvent(QCloseEvent* event)
{
    // The close box closes in both modes; a new record not saved is given up by it.
    done(QDialog::Rejected);
    event->accept();
}
