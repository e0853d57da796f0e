#include "ui/dialogs/MessageBox.h"

#include "shell/MessageBoxStyle.h"

#include <QMessageBox>
#include <QPushButton>

namespace {

QMessageBox::Icon iconOf(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Critical: return QMessageBox::Critical;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::Exclamation: return QMessageBox::Warning;
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

int showMessageBox(QWidget* parent, const QString& prompt, int style, const QString& title,
                   const MessageBoxButtonTexts& buttons)
{
    const MessageBoxLook look = lookOfMessageBox(style);
    QMessageBox box(parent);
    box.setObjectName(QStringLiteral("messageBox"));
    box.setWindowTitle(title);
    box.setText(prompt);
    box.setIcon(iconOf(look.icon));
    box.setTextFormat(Qt::PlainText);

    QHash<QAbstractButton*, int> answers;
    auto addButton = [&](const QString& text, QMessageBox::ButtonRole role, int answer, const char* name) {
        QPushButton* button = box.addButton(text, role);
        button->setObjectName(QLatin1String(name));
        answers.insert(button, answer);
        if (answer == look.defaultAnswer)
            box.setDefaultButton(button);
        if (answer == look.escapeAnswer)
            box.setEscapeButton(button);
    };
    if (look.buttons == MessageButtons::YesNo) {
        addButton(buttons.yes, QMessageBox::YesRole, AnswerYes, "yesButton");
        addButton(buttons.no, QMessageBox::NoRole, AnswerNo, "noButton");
    } else {
        addButton(buttons.ok, QMessageBox::AcceptRole, AnswerOk, "okButton");
    }
    box.exec();
    return answers.value(box.clickedButton(), look.escapeAnswer);
}
