#include "shell/MessageBoxStyle.h"

MessageBoxLook lookOfMessageBox(int style)
{
    MessageBoxLook look;
    const bool yesNo = (style & 0x7) == 4;
    look.buttons = yesNo ? MessageButtons::YesNo : MessageButtons::Ok;
    switch (style & 0x70) {
    case 16: look.icon = MessageIcon::Critical; break;
    case 32: look.icon = MessageIcon::Question; break;
    case 48: look.icon = MessageIcon::Exclamation; break;
    case 64: look.icon = MessageIcon::Information; break;
    default: look.icon = MessageIcon::None; break;
    }
    const bool secondIsDefault = (style & 0x300) == 256;
    if (yesNo) {
        look.defaultAnswer = secondIsDefault ? AnswerNo : AnswerYes;
        // A question without a cancel button is closed by Esc with the answer that changes nothing.
        look.escapeAnswer = AnswerNo;
    } else {
        look.defaultAnswer = AnswerOk;
        look.escapeAnswer = AnswerOk;
    }
    return look;
}
