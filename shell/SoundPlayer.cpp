#include "shell/SoundPlayer.h"

#include <QDir>
#include <QSoundEffect>
#include <QUrl>
#include <array>

std::optional<QString> soundFileName(unsigned number)
{
    static const std::array<const char*, 10> files = {
        "start.wav", "tah.wav", "kolize1.wav", "kolize2.wav", "kolize2.wav",
        "kolize3.wav", "diskval.wav", "cil.wav", "rekord.wav", "vysledky.wav",
    };
    if (number >= files.size())
        return std::nullopt;
    return QString::fromLatin1(files[number]);
}

SoundEffectOutput::SoundEffectOutput() : effect_(std::make_unique<QSoundEffect>()) {}

SoundEffectOutput::~SoundEffectOutput() = default;

void SoundEffectOutput::play(const QString& path)
{
    const QUrl source = QUrl::fromLocalFile(path);
    effect_->stop();
    if (effect_->source() != source)
        effect_->setSource(source);  // loads in the background; play() waits for the load
    effect_->play();
}

void PlaySound(SoundOutput& output, const QString& programDirectory, bool soundsOn, unsigned number)
{
    if (!soundsOn)
        return;
    const std::optional<QString> file = soundFileName(number);
    if (!file)
        return;
    output.play(QDir(programDirectory).filePath(*file));
}
