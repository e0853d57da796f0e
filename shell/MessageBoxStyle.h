#pragma once

// Message boxes are asked for with a numeric style, the sum of one value of each group:
// buttons 0 (OK) or 4 (Yes and No); icon 16 (critical), 32 (question), 48 (exclamation) or
// 64 (information); 256 makes the second button the default. The answer is one of the Answer values.
enum class MessageButtons { Ok, YesNo };
enum class MessageIcon { None, Critical, Question, Exclamation, Information };

inline constexpr int AnswerOk = 1;
inline constexpr int AnswerYes = 6;
inline constexpr int AnswerNo = 7;

// The styles the program uses.
inline constexpr int StyleCritical = 16;          // OK, critical icon
inline constexpr int StyleYesNoQuestion = 36;     // Yes and No, question icon, Yes is the default
inline constexpr int StyleExclamation = 48;       // OK, exclamation icon
inline constexpr int StyleInformation = 64;       // OK, information icon
inline constexpr int StyleYesNoDefaultNo = 292;   // Yes and No, question icon, No is the default
inline constexpr int StyleInformationNote = 320;  // OK, information icon (second-button flag, no second button)

struct MessageBoxLook {
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
    int defaultAnswer = AnswerOk;  // the answer of the button that Enter presses
    int escapeAnswer = AnswerOk;   // the answer that Esc or the close box gives
};

// What a box of the given style shows. Button groups other than Yes and No show OK.
MessageBoxLook lookOfMessageBox(int style);
