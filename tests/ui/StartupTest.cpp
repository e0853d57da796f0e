#include "tests/support/MainWindowFixture.h"
#include "tests/support/NextModalDialog.h"

#include "shell/DataFolder.h"
#include "shell/IniFile.h"
#include "shell/LanguageState.h"
#include "shell/SettingsFile.h"
#include "ui/main/Logo.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QRandomGenerator>
#include <QStatusBar>
#include <gtest/gtest.h>

namespace {

QByteArray settingsWithLanguage(const char* value)
{
    return QByteArray("[Settings]\r\nLANG=") + value + "\r\n";
}

} // namespace

TEST(Startup, WithoutSettingsFileChoosesCzechAndCreatesTheFile)
{
    MainWindowFixture f;
    MainWindow& window = f.start();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Trasovky - Kladivnice Cup"));
    EXPECT_EQ(f.state.languageOffset, 0);
    EXPECT_EQ(f.readFile("Trasovky.ini"), QByteArray("[Settings]\r\nLANG=1\r\n"));
    EXPECT_TRUE(f.item("mnuJazyk", 1)->isChecked());
    EXPECT_FALSE(f.item("mnuJazyk", 2)->isChecked());
    EXPECT_TRUE(f.boxes.shown.empty());
}

TEST(Startup, InvalidLanguageIsRepairedToOne)
{
    // Five characters are read, so "99999" is seen as 9999.
    for (const char* value : {"0", "-1", "abc", "", "3", "99999", "1.5", " "}) {
        MainWindowFixture f;
        f.writeFile("Trasovky.ini", settingsWithLanguage(value));
        f.start();
        EXPECT_EQ(f.state.languageOffset, 0) << value;
        EXPECT_EQ(f.readFile("Trasovky.ini"), settingsWithLanguage("1")) << value;
        EXPECT_TRUE(f.item("mnuJazyk", 1)->isChecked()) << value;
        EXPECT_TRUE(f.boxes.shown.empty()) << value;
    }
}

TEST(Startup, StoredLanguageIsChosenAndTheFileLeftAlone)
{
    MainWindowFixture f;
    const QByteArray settings = "; other program\n[Settings]\nLANG = 2 \n";
    f.writeFile("Trasovky.ini", settings);
    MainWindow& window = f.start();
    EXPECT_EQ(f.state.languageOffset, 1000);
    EXPECT_TRUE(f.item("mnuJazyk", 2)->isChecked());
    EXPECT_FALSE(f.item("mnuJazyk", 1)->isChecked());
    EXPECT_EQ(f.item("mnuHra")->text(), QStringLiteral("&Game"));
    EXPECT_EQ(f.item("mnuJazyk", 1)->text(), QStringLiteral("čeština"));
    EXPECT_EQ(f.item("mnuJazyk", 2)->text(), QStringLiteral("English"));
    EXPECT_EQ(f.readFile("Trasovky.ini"), settings);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Trasovky - Kladivnice Cup"));
}

TEST(Startup, BadSettingsFilesStartInAValidLanguageWithoutAWord)
{
    QByteArray junk(4096, '\0');
    QRandomGenerator random(7);
    for (char& byte : junk)
        byte = static_cast<char>(random.bounded(256));
    const QByteArray huge = QByteArray("[Settings]\r\nLANG=2\r\n") + QByteArray(2 * 1024 * 1024, 'x');
    QByteArray utf16 = QByteArray("\xFF\xFE", 2);
    for (const char c : QByteArray("[Settings]\r\nLANG=2\r\n"))
        utf16 += QByteArray(1, c) + QByteArray(1, '\0');
    const QByteArray windows1250 = "[Nastaven\xED]\r\nN\xE1" "zev=\x8E\xE1\x9E" "a\r\n[Settings]\r\nLANG=2\r\n";

    struct Case {
        const char* name;
        QByteArray content;
        int expectedOffset;
    };
    const Case cases[] = {
        {"binary junk", junk, 0},
        {"huge", huge, 0},
        {"UTF-16", utf16, 1000},
        {"Windows-1250", windows1250, 1000},
    };
    for (const Case& c : cases) {
        MainWindowFixture f;
        f.writeFile("Trasovky.ini", c.content);
        f.start();
        EXPECT_EQ(f.state.languageOffset, c.expectedOffset) << c.name;
        EXPECT_TRUE(f.boxes.shown.empty()) << c.name;
        if (c.expectedOffset != 0) {
            EXPECT_EQ(f.readFile("Trasovky.ini"), c.content) << c.name;
        }
    }
    // A huge file is never rewritten.
    MainWindowFixture f;
    f.writeFile("Trasovky.ini", huge);
    f.start();
    EXPECT_EQ(f.readFile("Trasovky.ini"), huge);
}

TEST(Startup, SettingsPathThatIsADirectoryIsIgnored)
{
    MainWindowFixture f;
    ASSERT_TRUE(QDir(f.dir.path()).mkdir(QStringLiteral("Trasovky.ini")));
    f.start();
    EXPECT_EQ(f.state.languageOffset, 0);
    EXPECT_TRUE(f.boxes.shown.empty());
}

TEST(Startup, ResetsTheRaceAndSetsTheWindowsOwnValues)
{
    MainWindowFixture f;
    MainWindow& window = f.start();
    EXPECT_FALSE(f.state.raceRunning);
    EXPECT_FLOAT_EQ(f.state.zoom, 1.0f);
    EXPECT_TRUE(f.state.AskBeforeCrash);
    for (int n = 1; n <= 10; ++n)
        EXPECT_EQ(f.state.player(n).state, PlayerState::NoPlayer);
    ASSERT_EQ(window.trajectoryLines().size(), 1u);
    EXPECT_EQ(window.trajectoryLines().front().width, 2);
    EXPECT_FALSE(window.findChild<QStatusBar*>(QStringLiteral("stbTrasovky"))->isVisibleTo(&window));
    EXPECT_FALSE(window.findChild<QWidget*>(QStringLiteral("picTRT"))->isVisibleTo(&window));
    EXPECT_TRUE(window.findChild<QLabel*>(QStringLiteral("imgLogo"))->isVisibleTo(&window));
}

TEST(Startup, InstalledGameTakesThePlayersFilesFromTheDataFolder)
{
    // An installed program folder: a bundled track with its record, and settings of its own that
    // belong to nobody and must not be used.
    MainWindowFixture f;
    ASSERT_TRUE(QDir(f.dir.path()).mkdir("tracks"));
    for (const char* extension : {".trt", ".wmf", ".rek"})
        ASSERT_TRUE(QFile::copy(QStringLiteral(TRASOVKY_SOURCE_DIR "/tracks/Rybnik") + extension,
                                f.path(QStringLiteral("tracks/Rybnik") + extension)));
    const QByteArray programSettings = "[Settings]\r\nLANG=2\r\nTRT=%tracks/Jinde.trt\r\n";
    f.writeFile("Trasovky.ini", programSettings);
    QTemporaryDir home;
    const QString user = QDir(home.path()).filePath("Trasovky");
    f.dataDirectory = PrepareDataDirectory(f.dir.path(), user, false);
    ASSERT_EQ(f.dataDirectory, user);

    f.start();
    EXPECT_EQ(f.state.languageOffset, 0);  // the first settings of the data folder
    QString trackShown;
    const NextModalDialog inDialog([&](QWidget* dialog) {
        trackShown = dialog->findChild<QLineEdit*>(QStringLiteral("txtDefSoubor"))->text();
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdStart")), Qt::LeftButton);
    });
    f.item("mnuNová")->trigger();
    EXPECT_EQ(trackShown, QDir::toNativeSeparators(user + "/tracks/Rybnik.trt"));
    EXPECT_EQ(QDir::fromNativeSeparators(f.state.trackPicturePath), user + "/tracks/Rybnik.wmf");
    EXPECT_GT(f.state.recordMoves, 0);  // the copied record

    f.window->mnuJazyk_Click(2);
    EXPECT_EQ(IniFile(settingsFilePath(user)).read(SettingsSection, LanguageKey, 10), "2");
    EXPECT_EQ(f.readFile("Trasovky.ini"), programSettings);
    EXPECT_TRUE(f.boxes.shown.empty());
}

TEST(Logo, BitmapComesFirstThenJpegAndDamagedFilesArePassedOver)
{
    MainWindowFixture f;
    EXPECT_TRUE(loadLogo(f.dir.path()).isNull());
    QImage(50, 50, QImage::Format_RGB32).save(f.path("Logo.jpg"), "JPG");
    EXPECT_EQ(loadLogo(f.dir.path()).size(), QSize(50, 50));
    f.writeFile("Logo.bmp", QByteArray("BM this is no bitmap"));
    EXPECT_EQ(loadLogo(f.dir.path()).size(), QSize(50, 50));
    QImage(40, 30, QImage::Format_RGB32).save(f.path("Logo.bmp"), "BMP");
    EXPECT_EQ(loadLogo(f.dir.path()).size(), QSize(40, 30));
}

TEST(Logo, WindowShowsItsIconWhenThereIsNoLogo)
{
    MainWindowFixture f;
    MainWindow& window = f.start();
    const QLabel* logo = window.findChild<QLabel*>(QStringLiteral("imgLogo"));
    EXPECT_EQ(logo->pixmap().size(), QSize(32, 32));
}

TEST(Logo, FitsTheInnerArea)
{
    struct Case {
        QSize inner, picture;
        QRect geometry;
        bool stretched;
    };
    const Case cases[] = {
        {{800, 600}, {400, 200}, {200, 200, 400, 200}, false},   // fits: centred at its own size
        {{300, 600}, {600, 200}, {0, 250, 300, 100}, true},      // too wide: width limits
        {{800, 100}, {400, 200}, {300, 0, 200, 100}, true},      // too high: height limits
        {{200, 100}, {400, 200}, {0, 0, 200, 100}, true},        // same proportions: height limits
        {{400, 200}, {400, 200}, {0, 0, 400, 200}, false},       // exactly its size
    };
    for (const Case& c : cases) {
        const LogoPlacement placement = placeLogo(c.inner, c.picture);
        EXPECT_EQ(placement.geometry, c.geometry) << c.inner.width() << "x" << c.inner.height();
        EXPECT_EQ(placement.stretched, c.stretched) << c.inner.width() << "x" << c.inner.height();
    }
}
