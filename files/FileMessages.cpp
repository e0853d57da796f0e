#include "files/FileMessages.h"

namespace {

// String table ids.
constexpr qint32 ErrorTitle = 500;     // "Chyba!"
constexpr qint32 FileText = 552;       // "Soubor "
constexpr qint32 NotFoundText = 553;   // " nenalezen!"
constexpr qint32 DamagedText = 554;    // " obsahuje neplatné údaje nebo je poškozen!"

}  // namespace

QString fileNotFoundMessage(const LanguageState& language, const QString& path)
{
    return LoadText(language, FileText) + path + LoadText(language, NotFoundText);
}

QString fileDamagedMessage(const LanguageState& language, const QString& path)
{
    return LoadText(language, FileText) + path + LoadText(language, DamagedText);
}

QString fileErrorTitle(const LanguageState& language)
{
    return LoadText(language, ErrorTitle);
}
