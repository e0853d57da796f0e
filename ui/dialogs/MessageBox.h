#pragma once

#include <QString>
#include <functional>

class QWidget;

// The captions of the buttons a message box may show, in the current language.
struct MessageBoxButtonTexts {
    QString ok;
    QString yes;
    QString no;
};

// Shows a modal message box of the given numeric style (MessageBoxStyle.h) and gives the answer:
// 1 OK, 6 Yes, 7 No.
int showMessageBox(QWidget* parent, const QString& prompt, int style, const QString& title,
                   const MessageBoxButtonTexts& buttons);

// Anything that answers message boxes: the real box in the program, a script in tests.
using MessageBoxFunction = std::function<int(const QString& prompt, int style, const QString& title)>;
