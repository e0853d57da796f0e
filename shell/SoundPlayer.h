#pragma once

#include <QString>
#include <memory>
#include <optional>

class QSoundEffect;

// The event sounds: number -> file beside the program.
//  0 start.wav     a player has chosen a start position
//  1 tah.wav       an ordinary move
//  2 kolize1.wav   a crash that costs one turn
//  3 kolize2.wav   a crash that costs two turns
//  4 kolize2.wav   a crash that costs three turns
//  5 kolize3.wav   a crash that ends the car's race
//  6 diskval.wav   a disqualification
//  7 cil.wav       a car crosses the finish
//  8 rekord.wav    a new track record is taken down
//  9 vysledky.wav  the results are about to open
// Any other number has no sound.
std::optional<QString> soundFileName(unsigned number);

// Plays a wave file without waiting for it; a new sound cuts the one still playing.
class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    virtual void play(const QString& path) = 0;
};

// The sound output of the program: one QSoundEffect, reused. It never blocks, also without an
// audio device, and a file that is missing or cannot be read plays silence.
class SoundEffectOutput : public SoundOutput {
public:
    SoundEffectOutput();
    ~SoundEffectOutput() override;
    void play(const QString& path) override;

private:
    std::unique_ptr<QSoundEffect> effect_;
};

// Plays the sound of an event number from the program's directory when sounds are on.
void PlaySound(SoundOutput& output, const QString& programDirectory, bool soundsOn, unsigned number);
