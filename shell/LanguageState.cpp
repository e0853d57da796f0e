#include "shell/LanguageState.h"
#include "shell/StringIds.h"

#include "shell/IntegerText.h"

QString LoadText(const LanguageState& language, qint32 baseId)
{
    return StringTable::shipped().text(baseId + language.languageOffset);
}

void ReadLanguageLayout(LanguageState& language)
{
    const StringTable& table = StringTable::shipped();
    language.languageCount = parseInteger<qint16>(table.text(StringId::LanguageCount)).value_or(1);
    language.languageStep = parseInteger<qint16>(table.text(StringId::LanguageStep)).value_or(0);
}

int CurrentLanguage(const LanguageState& language)
{
    if (language.languageStep == 0)
        return 1;
    return language.languageOffset / language.languageStep + 1;
}
