#include "tests/support/MainWindowFixture.h"
#include "tests/support/NextModalDialog.h"

#include "shell/LanguageState.h"
#include "ui/dialogs/ResultsDialog.h"
#include "ui/dialogs/ZoomDialog.h"

#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <gtest/gtest.h>

namespace {

// The visible entries of a menu, by control name, with the entries of each submenu after it.
QStringList visibleEntries(const QMenu* menu)
{
    QStringList names;
    for (const QAction* action : menu->actions()) {
        if (!action->isVisible())
            continue;
        names << action->objectName();
        if (action->menu())
            for (const QString& name : visibleEntries(action->menu()))
                names << QStringLiteral("  ") + name;
    }
    return names;
}

QStringList visibleMenus(const MainWindow& window)
{
    QStringList names;
    for (const QAction* action : window.menuBar()->actions())
        if (action->isVisible())
            names << action->objectName();
    return names;
}

// Every caption of the main window: the title and each entry with a caption of its own.
QStringList captions(const MainWindow& window)
{
    QStringList texts{window.windowTitle()};
    for (const QAction* action : window.findChildren<QAction*>())
        if (!action->isSeparator() && action->objectName() != QStringLiteral("mnuProcent")
            && action->objectName() != QStringLiteral("mnuJazyk") && !action->objectName().isEmpty())
            texts << action->objectName() + QLatin1Char('=') + action->text();
    texts.sort();
    return texts;
}

} // namespace

TEST(Menus, BeforeTheFirstRaceOnlyGameSettingsAndHelpShow)
{
    MainWindowFixture f;
    MainWindow& window = f.start();
    EXPECT_EQ(visibleMenus(window), (QStringList{"mnuHra", "mnuNastavení", "mnuNápověda"}));
    EXPECT_EQ(visibleEntries(window.menus().mnuHra), (QStringList{"mnuNová", "mnuLine1", "mnuKonec"}));
    EXPECT_EQ(visibleEntries(window.menus().mnuNastaveni),
              (QStringList{"mnuZvuky", "mnuLine6", "mnuJazyky", "  mnuJazyk", "  mnuJazyk"}));
    EXPECT_EQ(visibleEntries(window.menus().mnuNapoveda), (QStringList{"mnuO", "mnuPravidla"}));
    EXPECT_EQ(f.item("mnuNová")->text(), QStringLiteral("&Nový závod..."));
    EXPECT_EQ(f.item("mnuKonec")->text(), QStringLiteral("&Konec"));
    EXPECT_EQ(f.item("mnuNastavení")->text(), QStringLiteral("Na&stavení"));
    EXPECT_EQ(f.item("mnuNápověda")->text(), QStringLiteral("&Nápověda"));
}

TEST(Menus, TreeHasItsShortcutsAndCheckMarks)
{
    MainWindowFixture f;
    f.start();
    struct Case {
        const char* name;
        int index;
        const char* shortcut;
        bool checked;
    };
    const Case cases[] = {
        {"mnuNová", -1, "Ctrl+N", false},      {"mnuInfo", -1, "Ctrl+I", false},
        {"mnuVýsledky", -1, "Ctrl+V", false},  {"mnuKonec", -1, "", false},
        {"mnuZvuky", -1, "Ctrl+Z", true},      {"mnuTrajektorie", -1, "Ctrl+T", true},
        {"mnuJen", -1, "Ctrl+P", true},        {"mnuCentrovat", -1, "Ctrl+C", true},
        {"mnuScrollbary", -1, "Ctrl+S", true}, {"mnuStatusbar", -1, "Ctrl+B", true},
        {"mnuProcent", 0, "Ctrl+O", false},    {"mnuProcent", 1, "", false},
        {"mnuProcent", 9, "", false},          {"mnuJiné", -1, "Ctrl+J", false},
        {"mnuBestFit", -1, "Ctrl+W", false},   {"mnuObnovit", -1, "Ctrl+R", false},
        {"mnuZpět", -1, "", false},            {"mnuO", -1, "", false},
        {"mnuPravidla", -1, "F1", false},      {"mnuSíla", 1, "", false},
        {"mnuSíla", 2, "", true},              {"mnuSíla", 3, "", false},
        {"mnuSíla", 4, "", false},
    };
    for (const Case& c : cases) {
        QAction* action = f.item(c.name, c.index);
        ASSERT_NE(action, nullptr) << c.name;
        EXPECT_EQ(action->shortcut().toString(), QString::fromLatin1(c.shortcut)) << c.name << c.index;
        EXPECT_EQ(action->isChecked(), c.checked) << c.name << c.index;
    }
    EXPECT_EQ(f.item("mnuProcent", 0)->text(), QStringLiteral("100%"));
    EXPECT_EQ(f.item("mnuProcent", 9)->text(), QStringLiteral("10%"));
}

TEST(Menus, ControlsCarryTheirNames)
{
    MainWindowFixture f;
    MainWindow& window = f.start();
    EXPECT_EQ(window.objectName(), QStringLiteral("frmTrasovky"));
    for (const char* name : {"imgLogo", "picTRT", "scrH", "scrV", "picVýplň", "picStartPozice", "stbTrasovky"})
        EXPECT_NE(window.findChild<QWidget*>(QString::fromUtf8(name)), nullptr) << name;
    for (const char* name : {"mnuHra", "mnuNastavení", "mnuJazyky", "mnuZobrazení", "mnuSílaTrajektorie", "mnuNápověda"})
        EXPECT_NE(window.findChild<QMenu*>(QString::fromUtf8(name)), nullptr) << name;
    for (const char* name : {"mnuLine1", "mnuLine3", "mnuLine4", "mnuLine5", "mnuLine6"})
        EXPECT_TRUE(f.item(name)->isSeparator()) << name;
}

TEST(Menus, LanguageChangeSwitchesEveryCaptionAndKeepsTheMoveNumber)
{
    MainWindowFixture f;
    MainWindow& window = f.start();
    window.setStatusPanel(5, QStringLiteral("Tah 12"));
    const QStringList czech = captions(window);

    f.item("mnuJazyk", 2)->trigger();
    EXPECT_EQ(f.state.languageOffset, 1000);
    EXPECT_EQ(window.statusPanel(5), QStringLiteral("Move 12"));
    EXPECT_EQ(window.statusPanel(3), QStringLiteral("none"));
    EXPECT_TRUE(f.item("mnuJazyk", 2)->isChecked());
    EXPECT_FALSE(f.item("mnuJazyk", 1)->isChecked());
    EXPECT_EQ(f.readFile("Trasovky.ini"), QByteArray("[Settings]\r\nLANG=2\r\n"));
    const QStringList english = captions(window);
    ASSERT_EQ(english.size(), czech.size());
    for (qsizetype i = 1; i < english.size(); ++i)  // the title is the same in both
        EXPECT_NE(english[i], czech[i]);
    EXPECT_EQ(f.item("mnuKonec")->text(), QStringLiteral("E&xit"));

    f.item("mnuJazyk", 1)->trigger();
    EXPECT_EQ(captions(window), czech);
    EXPECT_EQ(window.statusPanel(5), QStringLiteral("Tah 12"));
    EXPECT_EQ(f.readFile("Trasovky.ini"), QByteArray("[Settings]\r\nLANG=1\r\n"));
}

TEST(Menus, ChoosingTheCheckedLanguageDoesNothing)
{
    MainWindowFixture f;
    f.start();
    f.writeFile("Trasovky.ini", "untouched");
    f.item("mnuJazyk", 1)->trigger();
    EXPECT_TRUE(f.item("mnuJazyk", 1)->isChecked());
    EXPECT_EQ(f.readFile("Trasovky.ini"), QByteArray("untouched"));
    EXPECT_EQ(f.state.languageOffset, 0);
}

TEST(Menus, LineStrengthChecksOneItemAndWidensEveryLine)
{
    MainWindowFixture f;
    MainWindow& window = f.start();
    f.item("mnuSíla", 2)->trigger();  // already checked: nothing changes
    EXPECT_TRUE(f.item("mnuSíla", 2)->isChecked());
    EXPECT_EQ(window.trajectoryLines().front().width, 2);

    f.item("mnuSíla", 4)->trigger();
    for (int i = 1; i <= 4; ++i)
        EXPECT_EQ(f.item("mnuSíla", i)->isChecked(), i == 4) << i;
    for (const TrajectoryLine& line : window.trajectoryLines())
        EXPECT_EQ(line.width, 4);
}

TEST(Menus, OptionEntriesToggleTheirCheckMarks)
{
    MainWindowFixture f;
    MainWindow& window = f.start();
    const std::pair<const char*, MenuOption> options[] = {
        {"mnuZvuky", MenuOption::Sounds},           {"mnuJen", MenuOption::OnlyAllowed},
        {"mnuCentrovat", MenuOption::AutoCentre},   {"mnuTrajektorie", MenuOption::Trajectories},
        {"mnuScrollbary", MenuOption::ScrollBars},  {"mnuStatusbar", MenuOption::StatusBar},
    };
    for (const auto& [name, option] : options) {
        EXPECT_TRUE(window.isOptionChecked(option)) << name;
        f.item(name)->trigger();
        EXPECT_FALSE(window.isOptionChecked(option)) << name;
        f.item(name)->trigger();
        EXPECT_TRUE(window.isOptionChecked(option)) << name;
    }
}

TEST(Menus, StatusBarEntryShowsTheBarExactlyWhenChecked)
{
    MainWindowFixture f;
    MainWindow& window = f.start();
    window.show();
    const QStatusBar* bar = window.findChild<QStatusBar*>(QStringLiteral("stbTrasovky"));
    f.item("mnuStatusbar")->trigger();  // unchecked
    EXPECT_FALSE(bar->isVisible());
    f.item("mnuStatusbar")->trigger();  // checked again
    EXPECT_TRUE(bar->isVisible());
}

TEST(Closing, NoKeepsTheWindowOpenAndYesClosesIt)
{
    MainWindowFixture f;
    MainWindow& window = f.start();
    window.show();
    f.boxes.answers = {7, 7};
    f.item("mnuKonec")->trigger();
    EXPECT_TRUE(window.isVisible());
    window.close();  // the close box
    EXPECT_TRUE(window.isVisible());
    ASSERT_EQ(f.boxes.shown.size(), 2u);
    for (const auto& box : f.boxes.shown) {
        EXPECT_EQ(box.prompt, QStringLiteral("Opravdu chcete skončit?"));
        EXPECT_EQ(box.title, QStringLiteral("Konec"));
        EXPECT_EQ(box.style, 292);
    }
    EXPECT_EQ(f.programEnds, 0);
    f.boxes.answers = {6};
    f.item("mnuKonec")->trigger();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(f.programEnds, 1);
}

TEST(HelpMenu, ContentsOpenTheHelpDocumentAndAboutShowsTheAboutBox)
{
    MainWindowFixture f;
    f.writeFile("help.doc", "{\\rtf1 }");
    f.start();
    f.item("mnuPravidla")->trigger();
    EXPECT_EQ(f.documentsOpened, QStringList{QDir::toNativeSeparators(f.path("help.doc"))});
    EXPECT_TRUE(f.boxes.shown.empty());

    QString shown;
    {
        const NextModalDialog inDialog([&](QWidget* dialog) {
            shown = dialog->objectName();
            dialog->close();
        });
        f.item("mnuO")->trigger();
    }
    EXPECT_EQ(shown, QStringLiteral("frmAbout"));
}

TEST(LanguageChange, ReachesEveryDialogAlreadyOpenedOnce)
{
    MainWindowFixture f;
    MainWindow& window = f.start();
    NewRaceDialog& newRace = window.newRaceDialog();
    ResultsDialog& results = window.resultsDialog();
    ZoomDialog& zoom = window.zoomDialog();
    f.item("mnuJazyk", 2)->trigger();
    EXPECT_EQ(newRace.findChild<QGroupBox*>(QStringLiteral("fraHráči"))->title(), QStringLiteral("Players..."));
    EXPECT_EQ(results.windowTitle(), QStringLiteral("Race results"));
    EXPECT_EQ(zoom.windowTitle(), QStringLiteral("View size..."));
    f.item("mnuJazyk", 1)->trigger();
    EXPECT_EQ(newRace.findChild<QGroupBox*>(QStringLiteral("fraHráči"))->title(), QStringLiteral("Hráči..."));
    EXPECT_EQ(results.windowTitle(), QStringLiteral("Výsledky závodu"));
    EXPECT_EQ(zoom.windowTitle(), QStringLiteral("Velikost zobrazení..."));
}
