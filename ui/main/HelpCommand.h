#pragma once

#include "ui/dialogs/MessageBox.h"

#include <QString>
#include <functional>

class QWidget;
struct LanguageState;

// What the help command needs from outside; tests hand in their own. Each one left empty is the
// program's own.
struct HelpServices {
    // Asks the player; empty: a real message box with the buttons in the chosen language.
    MessageBoxFunction messageBox;
    // Opens a document with the program the platform associates with it; false when that failed.
    // Empty: the platform's "open" action (QDesktopServices).
    std::function<bool(const QString& path)> openDocument;
    // The file dialog dlgSoubor opened for opening a file; gives the chosen path, empty when the
    // player cancelled. Empty: the system's file dialog.
    std::function<QString(QWidget* parent, const QString& title, const QString& filter, const QString& initialPath)>
        chooseFile;
};

// The help document beside the program: the program's directory followed by "help.doc", with
// the platform's separators.
QString helpDocumentPath(const QString& programDirectory);

// "Obsah nápovědy..." (F1): opens help.doc from the program's directory with its associated
// program. When it is not there, asks whether the player will look for it: Yes opens the file
// dialog (preset to the missing path) and opens the chosen file the same way, No tells that the
// file was not found. A document the platform cannot open, or a cancelled file dialog, ends the
// command without a message.
class HelpCommand {
public:
    HelpCommand(const LanguageState& language, QString programDirectory, HelpServices services = {});

    // mnuPravidla_Click; parent owns the message boxes and the file dialog.
    void mnuPravidla_Click(QWidget* parent = nullptr);

    QString documentPath() const { return helpDocumentPath(programDirectory_); }

private:
    int messageBox(QWidget* parent, const QString& prompt, int style, const QString& title) const;

    const LanguageState& language_;
    QString programDirectory_;
    HelpServices services_;
};
