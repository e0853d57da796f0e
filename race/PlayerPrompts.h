#pragma once

#include <QString>

// How the race speaks to the players: message boxes and event sounds.
class PlayerPrompts {
public:
    virtual ~PlayerPrompts() = default;

    // A message box of the given style (see MessageBoxStyle.h); gives the answer 1 (OK), 6 (Yes) or 7 (No).
    virtual int messageBox(const QString& prompt, int style, const QString& title) = 0;
    // Plays event sound number (0 ... 9) while sounds are on.
    virtual void PlaySound(unsigned number) = 0;
};
