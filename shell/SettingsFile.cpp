#include "shell/SettingsFile.h"

#include "shell/IniFile.h"
#include "shell/IntegerText.h"

#include <QDir>

QString settingsFilePath(const QString& programDirectory)
{
    return QDir(programDirectory).filePath(QStringLiteral("Trasovky.ini"));
}

int ReadLanguageSetting(IniFile& settings, int languageCount)
{
    if (settings.exists()) {
        // The value is read as into a buffer of five characters.
        QString value = settings.read(SettingsSection, LanguageKey, 5).trimmed();
        if (value.endsWith(QChar(0)))
            value.chop(1);
        const std::optional<qint16> language = parseInteger<qint16>(value);
        if (language && *language > 0 && *language <= languageCount)
            return *language;
    }
    settings.write(SettingsSection, LanguageKey, QStringLiteral("1"));
    return 1;
}
