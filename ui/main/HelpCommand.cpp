#include "ui/main/HelpCommand.h"

#include "shell/LanguageState.h"
#include "shell/MessageBoxStyle.h"
#include "shell/StringIds.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QUrl>

namespace {

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
    const MessageBoxButtonTexts buttons{LoadText(language_, StringId::OkButton), LoadText(language_, StringId::YesButton), LoadText(language_, StringId::NoButton)};
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
    const QString file = LoadText(language_, StringId::FileText) + path;
    const int answer = messageBox(parent, file + LoadText(language_, StringId::CannotFindText), StyleYesNoQuestion,
                                  LoadText(language_, StringId::ErrorTitle));
    if (answer != AnswerYes) {
        messageBox(parent, file + LoadText(language_, StringId::NotFoundText), StyleInformation, LoadText(language_, StringId::ErrorTitle));
        return;
    }
    const QString filter = LoadText(language_, StringId::HelpFileFilter) + QStringLiteral("(*.doc)");
    const QString chosen = services_.chooseFile(parent, LoadText(language_, StringId::HelpFileDialogTitle), filter, path);
    if (chosen.isEmpty())
        return;
    services_.openDocument(QDir::toNativeSeparators(chosen));
}
