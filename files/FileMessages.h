#pragma once

#include "shell/LanguageState.h"

#include <QString>

// The messages about the game's own files, in the chosen language. Each goes out with the title
// fileErrorTitle and the critical icon.

// "Soubor " + path + " nenalezen!"
QString fileNotFoundMessage(const LanguageState& language, const QString& path);
// "Soubor " + path + " obsahuje neplatné údaje nebo je poškozen!"
QString fileDamagedMessage(const LanguageState& language, const QString& path);
// "Chyba!"
QString fileErrorTitle(const LanguageState& language);
