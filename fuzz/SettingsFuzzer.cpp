// Reads the input as the settings file Trasovky.ini, the way the game does at its start (the
// language, then the remembered track), then writes values into it as the game does when a track
// is chosen. A write that reports success must read back, and must leave the other values as they
// were.
#include "fuzz/FuzzSupport.h"
#include "shell/IniFile.h"
#include "shell/RememberedTrack.h"
#include "shell/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

QTemporaryDir* programDirectory = nullptr;

bool writeWhole(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The file is written anew for every input: in memory where the system offers it.
    const QString base = QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    programDirectory = new QTemporaryDir(base + QStringLiteral("/trasovky-fuzz-XXXXXX"));
    if (!programDirectory->isValid())
        std::abort();
    std::atexit([] { delete programDirectory; });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString directory = programDirectory->path();
    const QString path = settingsFilePath(directory);
    FUZZ_CHECK(writeWhole(path, inputBytes(data, size)));
    IniFile settings(path);

    const int language = ReadLanguageSetting(settings, 2);
    FUZZ_CHECK(language == 1 || language == 2);
    // A language that was not usable has been written back as 1, so the next start finds it.
    FUZZ_CHECK(ReadLanguageSetting(settings, 2) == language);

    const QString track = ReadRememberedTrack(settings, directory);
    FUZZ_CHECK(track.isEmpty() || QFileInfo(track).isFile());

    // Two keys the file may or may not hold, and a section it may or may not have.
    struct Write {
        QString section;
        QString key;
        QString value;
    } const writes[] = {
        {SettingsSection, TrackKey, QStringLiteral("%tracks/Okruh.trt")},
        {QStringLiteral("Jiné"), QStringLiteral("Klíč"), QStringLiteral("  hodnota s mezerami  ")},
    };
    for (const Write& w : writes) {
        const QString languageBefore = settings.read(SettingsSection, LanguageKey, 255);
        if (!settings.write(w.section, w.key, w.value))
            continue;
        FUZZ_CHECK(settings.read(w.section, w.key, 1 << 16) == w.value.trimmed());
        FUZZ_CHECK(settings.read(SettingsSection, LanguageKey, 255) == languageBefore);
    }
    return 0;
}
