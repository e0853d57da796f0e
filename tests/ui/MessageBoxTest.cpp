#include "shell/MessageBoxStyle.h"
#include "ui/dialogs/MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

struct StyleCase {
    int style;
    MessageButtons buttons;
    MessageIcon icon;
    int defaultAnswer;
    int escapeAnswer;
};

const StyleCase styleCases[] = {
    {16, MessageButtons::Ok, MessageIcon::Critical, AnswerOk, AnswerOk},
    {36, MessageButtons::YesNo, MessageIcon::Question, AnswerYes, AnswerNo},
    {48, MessageButtons::Ok, MessageIcon::Exclamation, AnswerOk, AnswerOk},
    {64, MessageButtons::Ok, MessageIcon::Information, AnswerOk, AnswerOk},
    {292, MessageButtons::YesNo, MessageIcon::Question, AnswerNo, AnswerNo},
    {320, MessageButtons::Ok, MessageIcon::Information, AnswerOk, AnswerOk},
};

const MessageBoxButtonTexts czechButtons{QStringLiteral("OK"), QStringLiteral("&Ano"), QStringLiteral("&Ne")};

// Shows a real box and lets act() answer it from inside the box's own event loop.
int answerRealBox(int style, const std::function<void(QMessageBox*)>& act)
{
    QTimer::singleShot(0, [act] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        act(box);
    });
    return showMessageBox(nullptr, QStringLiteral("Otázka?"), style, QStringLiteral("Titulek"), czechButtons);
}

} // namespace

TEST(MessageBox, StylesNameButtonsIconAndDefault)
{
    for (const StyleCase& c : styleCases) {
        const MessageBoxLook look = lookOfMessageBox(c.style);
        EXPECT_EQ(look.buttons, c.buttons) << c.style;
        EXPECT_EQ(look.icon, c.icon) << c.style;
        EXPECT_EQ(look.defaultAnswer, c.defaultAnswer) << c.style;
        EXPECT_EQ(look.escapeAnswer, c.escapeAnswer) << c.style;
    }
}

TEST(MessageBox, RealBoxShowsTheStyleAndAnswersWithEnterAndEsc)
{
    const std::pair<MessageIcon, QMessageBox::Icon> icons[] = {
        {MessageIcon::Critical, QMessageBox::Critical}, {MessageIcon::Question, QMessageBox::Question},
        {MessageIcon::Exclamation, QMessageBox::Warning}, {MessageIcon::Information, QMessageBox::Information}};
    for (const StyleCase& c : styleCases) {
        const int answer = answerRealBox(c.style, [&](QMessageBox* box) {
            EXPECT_EQ(box->windowTitle(), QStringLiteral("Titulek"));
            EXPECT_EQ(box->text(), QStringLiteral("Otázka?"));
            for (const auto& [ours, qts] : icons) {
                if (ours == c.icon) {
                    EXPECT_EQ(box->icon(), qts) << c.style;
                }
            }
            const auto buttons = box->findChildren<QPushButton*>();
            QStringList texts;
            for (const QPushButton* button : buttons)
                texts << button->text();
            texts.sort();
            const QStringList expected = c.buttons == MessageButtons::YesNo ? QStringList{"&Ano", "&Ne"} : QStringList{"OK"};
            EXPECT_EQ(texts, expected) << c.style;
            const QString expectedDefault = c.defaultAnswer == AnswerNo ? "noButton"
                                            : c.defaultAnswer == AnswerYes ? "yesButton" : "okButton";
            ASSERT_NE(box->defaultButton(), nullptr);
            EXPECT_EQ(box->defaultButton()->objectName(), expectedDefault) << c.style;
            QTest::keyClick(box, Qt::Key_Return);
        });
        EXPECT_EQ(answer, c.defaultAnswer) << c.style;

        const int escaped = answerRealBox(c.style, [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
        EXPECT_EQ(escaped, c.escapeAnswer) << c.style;
    }
}

TEST(MessageBox, RealBoxAnswersWithTheClickedButton)
{
    const auto click = [](const char* name) {
        return [name](QMessageBox* box) {
            QPushButton* button = box->findChild<QPushButton*>(QString::fromLatin1(name));
            ASSERT_NE(button, nullptr);
            QTest::mouseClick(button, Qt::LeftButton);
        };
    };
    EXPECT_EQ(answerRealBox(292, click("yesButton")), AnswerYes);
    EXPECT_EQ(answerRealBox(36, click("noButton")), AnswerNo);
    EXPECT_EQ(answerRealBox(16, click("okButton")), AnswerOk);
}
