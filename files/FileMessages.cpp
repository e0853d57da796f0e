#include "files/FileMessages.h"
#include "shell/StringIds.h"

QString fileNotFoundMessage(const LanguageState& language, const QString& path)
{
    return LoadText(language, StringId::FileText) + path + LoadText(language, StringId::NotFoundText);
}

QString fileDamagedMessage(const LanguageState& language, const QString& path)
{
    return LoadText(language, StringId::FileText) + path + LoadText(language, StringId::DamagedText);
}

QString fileErrorTitle(const LanguageState& language)
{
    return LoadText(language, StringId::ErrorTitle);
}
