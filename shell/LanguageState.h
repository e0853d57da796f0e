#pragma once

#include "shell/StringTable.h"
#include "shell/StringIds.h"

#include <QString>
#include <QtGlobal>

// Bases of the string table's language layout: id 1 holds the number of languages, id 2 the
// distance between the ids of two consecutive languages, base id 11 the name of each language.

// The chosen language: which block of the string table every text comes from.
struct LanguageState {
    qint16 languageCount = 0;   // the number in the text of id 1
    qint16 languageStep = 0;    // the number in the text of id 2
    qint32 languageOffset = 0;  // (chosen language - 1) * languageStep, added to every base id
};

// The text with the given base id in the chosen language.
QString LoadText(const LanguageState& language, qint32 baseId);

// Reads languageCount and languageStep from the shipped table; the offset is left as it is.
void ReadLanguageLayout(LanguageState& language);

// The language (1 ... languageCount) that the offset stands for.
int CurrentLanguage(const LanguageState& language);
