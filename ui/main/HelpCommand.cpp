#include "ui/main/HelpCommand.h"

#include "shell/LanguageState.h"
#include "shell/MessageBoxStyle.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QUrl>

namespace {

// String table ids.
constexpr qint32 FileDialogTitle = 60;    // "Soubor..."
constexpr qint32 FileDialogFilter = 61;   // "Dokumenty Word "
constexpr qint32 ErrorTitle = 500;        // "Chyba!"
constexpr qint32 CannotFindText = 528;    // " nelze najít. Zkusíte soubor najít sami?"
constexpr qint32 FileText = 552;          // "Soubor "
constexpr qint32 NotFoundText = 553;      // " nenalezen!"
constexpr qint32 OkText = 533;
constexpr qint32 YesText = 531;
constexpr qint32 NoText = 532;

bool openWithPlatform(const QString& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QDir::fromNativeSeparators(path)));
}

QString chooseWithSystemDialog(QWidget* parent, const QString& title, const QString& filter, const QString& initialPath)
{
    return QFileDialog::getOpenFileName(parent, title, initialPath, filter);
}

}  // namespace

QString helpDocumentPath(const QString& programDirectory)
{
    QString directory = QDir::fromNativeSeparators(programDirectory);
    if (!directory.endsWith(u'/'))
        directory += u'/';
    return QDir::toNativeSeparators(directory + QStringLiteral("help.doc"));
}

HelpCommand::HelpCommand(const LanguageState& language, QString programDirectory, HelpServices services)
    : language_(language), programDirectory_(std::move(programDirectory)), services_(std::move(services))
{
    if (!services_.openDocument)
        services_.openDocument = openWithPlatform;
    if (!services_.chooseFile)
        services_.chooseFile = chooseWithSystemDialog;
}

int HelpCommand::messageBox(QWidget* parent, const QString& prompt, int style, const QString& title) const
{
    if (services_.messageBox)
        return services_.messageBox(prompt, style, title);
    const MessageBoxButtonTexts buttons{LoadText(language_, OkText), LoadText(language_, YesText), LoadText(language_, NoText)};
    return showMessageBox(parent, prompt, style, title, buttons);
}

void HelpCommand::mnuPravidla_Click(QWidget* parent)
{
    const QString path = documentPath();
    // Only a file is the document: a folder of that name is not opened.
    if (QFileInfo(path).isFile()) {
        services_.openDocument(path);  // a document nobody can open is not reported
        return;
    }
    const QString file = LoadText(language_, FileText) + path;
    const int answer = messageBox(parent, file + LoadText(language_, CannotFindText), StyleYesNoQuestion,
                                  LoadText(language_, ErrorTitle));
    if (answer != AnswerYes) {
        messageBox(parent, file + LoadText(language_, NotFoundText), StyleInformation, LoadText(language_, ErrorTitle));
        return;
    }
    const QString filter = LoadText(language_, FileDialogFilter) + QStringLiteral("(*.doc)");
    const QString chosen = services_.chooseFile(parent, LoadText(language_, FileDialogTitle), filter, path);
    if (chosen.isEmpty())
        return;
    services_.openDocument(QDir::toNativeSeparators(chosen));
}
