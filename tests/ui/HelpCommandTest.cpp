#include "shell/LanguageState.h"
#include "shell/MessageBoxStyle.h"
#include "tests/support/MainWindowFixture.h"
#include "ui/main/HelpCommand.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <vector>

namespace {

// What lies at the help document's place in the program's directory.
enum class AtHelpPath { Nothing, Document, Folder };

struct HelpCase {
    const char* name;
    int language;             // 1 Czech, 2 English
    AtHelpPath atHelpPath;
    std::deque<int> answers;  // answers to the message boxes, in order
    const char* chosen;       // what the file dialog gives: "" cancels, "%D" stands for the program's directory
    bool openerSucceeds;
    // Expected, with "%P" standing for the help document's path.
    std::vector<ScriptedMessageBoxes::Box> boxes;
    bool fileDialogShown;
    std::vector<const char*> opened;
};

class HelpCommandTest : public testing::TestWithParam<HelpCase> {};

QString expand(QString text, const QString& directory, const QString& helpPath)
{
    return text.replace(QStringLiteral("%P"), helpPath).replace(QStringLiteral("%D"), directory);
}

TEST_P(HelpCommandTest, OpensTheDocumentOrAsksForIt)
{
    const HelpCase& c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString helpPath = QDir::toNativeSeparators(dir.filePath(QStringLiteral("help.doc")));
    if (c.atHelpPath == AtHelpPath::Document) {
        QFile document(dir.filePath(QStringLiteral("help.doc")));
        ASSERT_TRUE(document.open(QIODevice::WriteOnly));
        document.write("{\\rtf1 }");
    } else if (c.atHelpPath == AtHelpPath::Folder) {
        ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("help.doc")));
    }

    LanguageState language;
    ReadLanguageLayout(language);
    language.languageOffset = (c.language - 1) * language.languageStep;
    ScriptedMessageBoxes boxes;
    boxes.answers = c.answers;
    QStringList opened;
    struct Dialog {
        QString title, filter, initialPath;
    };
    std::vector<Dialog> dialogs;
    HelpServices services;
    services.messageBox = boxes.function();
    services.openDocument = [&](const QString& path) {
        opened << path;
        return c.openerSucceeds;
    };
    services.chooseFile = [&](QWidget*, const QString& title, const QString& filter, const QString& initialPath) {
        dialogs.push_back({title, filter, initialPath});
        return expand(QString::fromUtf8(c.chosen), dir.path(), helpPath);
    };

    HelpCommand help(language, dir.path(), services);
    EXPECT_EQ(help.documentPath(), helpPath);
    help.mnuPravidla_Click();

    ASSERT_EQ(boxes.shown.size(), c.boxes.size());
    for (size_t i = 0; i < c.boxes.size(); ++i) {
        EXPECT_EQ(boxes.shown[i].prompt, expand(c.boxes[i].prompt, dir.path(), helpPath)) << i;
        EXPECT_EQ(boxes.shown[i].style, c.boxes[i].style) << i;
        EXPECT_EQ(boxes.shown[i].title, c.boxes[i].title) << i;
    }
    ASSERT_EQ(dialogs.size(), c.fileDialogShown ? 1u : 0u);
    if (c.fileDialogShown) {
        const bool czech = c.language == 1;
        EXPECT_EQ(dialogs[0].title, czech ? QStringLiteral("Soubor...") : QStringLiteral("File..."));
        EXPECT_EQ(dialogs[0].filter, czech ? QStringLiteral("Dokumenty Word (*.doc)") : QStringLiteral("Word documents (*.doc)"));
        EXPECT_EQ(dialogs[0].initialPath, helpPath);
    }
    QStringList expectedOpened;
    for (const char* path : c.opened)
        expectedOpened << QDir::toNativeSeparators(expand(QString::fromUtf8(path), dir.path(), helpPath));
    EXPECT_EQ(opened, expectedOpened);
}

const QString AskCs = QStringLiteral("Soubor %P nelze najít. Zkusíte soubor najít sami?");
const QString NotFoundCs = QStringLiteral("Soubor %P nenalezen!");
const QString ErrorCs = QStringLiteral("Chyba!");

INSTANTIATE_TEST_SUITE_P(
    HelpCommand, HelpCommandTest,
    testing::Values(
        HelpCase{"DocumentThere", 1, AtHelpPath::Document, {}, "", true, {}, false, {"%P"}},
        HelpCase{"DocumentThePlatformCannotOpen", 1, AtHelpPath::Document, {}, "", false, {}, false, {"%P"}},
        HelpCase{"MissingAndNo", 1, AtHelpPath::Nothing, {AnswerNo}, "", true,
                 {{AskCs, 36, ErrorCs}, {NotFoundCs, 64, ErrorCs}}, false, {}},
        HelpCase{"MissingAndYesWithAFileChosen", 1, AtHelpPath::Nothing, {AnswerYes}, "%D/manual/Pravidla.doc", true,
                 {{AskCs, 36, ErrorCs}}, true, {"%D/manual/Pravidla.doc"}},
        HelpCase{"MissingAndYesWithAChosenFileThatCannotBeOpened", 1, AtHelpPath::Nothing, {AnswerYes},
                 "%D/Pravidla.doc", false, {{AskCs, 36, ErrorCs}}, true, {"%D/Pravidla.doc"}},
        HelpCase{"MissingAndYesThenCancelled", 1, AtHelpPath::Nothing, {AnswerYes}, "", true,
                 {{AskCs, 36, ErrorCs}}, true, {}},
        HelpCase{"AFolderOfThatNameIsNoDocument", 1, AtHelpPath::Folder, {AnswerNo}, "", true,
                 {{AskCs, 36, ErrorCs}, {NotFoundCs, 64, ErrorCs}}, false, {}},
        HelpCase{"MissingInEnglish", 2, AtHelpPath::Nothing, {AnswerNo}, "", true,
                 {{QStringLiteral("File %P cannot be found. Will you try to find the file yourself?"), 36,
                   QStringLiteral("Error!")},
                  {QStringLiteral("File %P not found!"), 64, QStringLiteral("Error!")}},
                 false, {}},
        HelpCase{"MissingInEnglishAndYes", 2, AtHelpPath::Nothing, {AnswerYes}, "%D/help.rtf", true,
                 {{QStringLiteral("File %P cannot be found. Will you try to find the file yourself?"), 36,
                   QStringLiteral("Error!")}},
                 true, {"%D/help.rtf"}}),
    [](const testing::TestParamInfo<HelpCase>& info) { return std::string(info.param.name); });

TEST(HelpDocumentPath, IsTheProgramsDirectoryAndHelpDocWithNativeSeparators)
{
    EXPECT_EQ(helpDocumentPath(QStringLiteral("/opt/trasovky")), QDir::toNativeSeparators(QStringLiteral("/opt/trasovky/help.doc")));
    EXPECT_EQ(helpDocumentPath(QStringLiteral("/")), QDir::toNativeSeparators(QStringLiteral("/help.doc")));
}

}  // namespace
