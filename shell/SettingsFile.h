#pragma once

#include <QString>

class IniFile;

// The settings file Trasovky.ini beside the program: section "Settings" with the chosen language
// ("LANG") and the last chosen track definition file ("TRT").
QString settingsFilePath(const QString& programDirectory);
inline const QString SettingsSection = QStringLiteral("Settings");
inline const QString LanguageKey = QStringLiteral("LANG");
inline const QString TrackKey = QStringLiteral("TRT");

// The language stored in the settings file when it is a number from 1 to languageCount. Otherwise
// (no file, no value, not a number, out of range) language 1, which is then written back; a file
// that cannot be written is left alone without a word.
int ReadLanguageSetting(IniFile& settings, int languageCount);
