#include "shell/IniFile.h"
#include "shell/RememberedTrack.h"
#include "shell/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString Program = QStringLiteral("/hry/Trasovky");

struct StoredCase {
    const char* label;
    QString stored;
    QString path;
};

TEST(RememberedTrack, StoredValueGivesThePath)
{
    const StoredCase cases[] = {
        {"relative", "%tracks/Rybnik.trt", "/hry/Trasovky/tracks/Rybnik.trt"},
        {"relative with backslashes", "%tracks\\okruhy\\Rybnik.trt", "/hry/Trasovky/tracks/okruhy/Rybnik.trt"},
        {"blanks around it", "  %Rybnik.trt \t", "/hry/Trasovky/Rybnik.trt"},
        {"a last NUL character", QStringLiteral("%Rybnik.trt") + QChar(0), "/hry/Trasovky/Rybnik.trt"},
        {"whole path", "/jinde/Rybnik.trt", "/jinde/Rybnik.trt"},
        {"whole path from Windows", "C:\\Hry\\Rybnik.trt", "C:/Hry/Rybnik.trt"},
        {"a % later in the path stays", "/jinde/100%/a.trt", "/jinde/100%/a.trt"},
        {"empty", "", ""},
        {"only blanks", "   ", ""},
    };
    for (const StoredCase& c : cases)
        EXPECT_EQ(trackPathFromStored(c.stored, Program), c.path) << c.label;
    // A folder given with its separator adds no second one.
    EXPECT_EQ(trackPathFromStored("%Rybnik.trt", Program + u'/'), "/hry/Trasovky/Rybnik.trt");
}

TEST(RememberedTrack, ChosenPathGivesTheStoredValue)
{
    const StoredCase cases[] = {
        {"inside the folder", "%tracks/Rybnik.trt", "/hry/Trasovky/tracks/Rybnik.trt"},
        // No such folder here to tell: on a file system that minds letter case it is another one.
        {"folder spelt in other letter case", "/HRY/trasovky/tracks/Rybnik.trt", "/HRY/trasovky/tracks/Rybnik.trt"},
        {"directly in the folder", "%Rybnik.trt", "/hry/Trasovky/Rybnik.trt"},
        {"a folder whose name begins like it", "/hry/Trasovky2/Rybnik.trt", "/hry/Trasovky2/Rybnik.trt"},
        {"another folder", "/jinde/Rybnik.trt", "/jinde/Rybnik.trt"},
        {"the folder itself", "/hry/Trasovky/", "/hry/Trasovky/"},
    };
    for (const StoredCase& c : cases) {
        EXPECT_EQ(storedFromTrackPath(c.path, Program), QDir::toNativeSeparators(c.stored)) << c.label;
        EXPECT_EQ(storedFromTrackPath(c.path, Program + u'/'), QDir::toNativeSeparators(c.stored)) << c.label;
    }
    // What is stored reads back as the path chosen.
    EXPECT_EQ(trackPathFromStored(storedFromTrackPath("/hry/Trasovky/tracks/Rybnik.trt", Program), Program),
              "/hry/Trasovky/tracks/Rybnik.trt");
}

class RememberedTrackFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkpath("tracks/sub"));
        QFile track(dir.filePath("tracks/Rybnik.trt"));
        ASSERT_TRUE(track.open(QIODevice::WriteOnly));
    }
    void writeSettings(const QByteArray& bytes)
    {
        QFile file(settingsFilePath(dir.path()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray settingsBytes() const
    {
        QFile file(settingsFilePath(dir.path()));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
    }

    QTemporaryDir dir;
};

TEST_F(RememberedTrackFile, TrackStillThereIsReadAndAnyOtherIsForgotten)
{
    const QByteArray longValue = "%" + QByteArray(9999, 'a');
    const struct {
        const char* label;
        QByteArray value;
        bool found;
    } cases[] = {
        {"relative", "%tracks/Rybnik.trt", true},
        {"relative with backslashes", "%tracks\\Rybnik.trt", true},
        {"missing file", "%tracks/Chybi.trt", false},
        {"a folder", "%tracks/sub", false},
        {"10 000 characters", longValue, false},
    };
    for (const auto& c : cases) {
        writeSettings("[Settings]\r\nLANG=2\r\nTRT=" + c.value + "\r\n");
        IniFile settings(settingsFilePath(dir.path()));
        const QString path = ReadRememberedTrack(settings, dir.path());
        if (c.found) {
            EXPECT_EQ(path, QDir::toNativeSeparators(dir.filePath("tracks/Rybnik.trt"))) << c.label;
            EXPECT_EQ(settingsBytes(), "[Settings]\r\nLANG=2\r\nTRT=" + c.value + "\r\n") << c.label;
        } else {
            EXPECT_EQ(path, "") << c.label;
            EXPECT_EQ(settingsBytes(), "[Settings]\r\nLANG=2\r\nTRT=\r\n") << c.label;
        }
    }
}

TEST_F(RememberedTrackFile, NothingRememberedWritesNothing)
{
    IniFile settings(settingsFilePath(dir.path()));
    EXPECT_EQ(ReadRememberedTrack(settings, dir.path()), "");
    EXPECT_EQ(settingsBytes(), "<none>");  // no settings file is created
    writeSettings("[Settings]\r\nLANG=1\r\n");
    EXPECT_EQ(ReadRememberedTrack(settings, dir.path()), "");
    EXPECT_EQ(settingsBytes(), "[Settings]\r\nLANG=1\r\n");
}

TEST_F(RememberedTrackFile, ChoiceIsWrittenBesideTheOtherSettings)
{
    writeSettings("[Settings]\r\nLANG=2\r\nTRT=%old.trt\r\n");
    IniFile settings(settingsFilePath(dir.path()));
    RememberTrack(settings, dir.filePath("tracks/Rybnik.trt"), dir.path());
    EXPECT_EQ(settingsBytes(), "[Settings]\r\nLANG=2\r\nTRT=%" + QDir::toNativeSeparators("tracks/Rybnik.trt").toUtf8() + "\r\n");
    EXPECT_EQ(ReadRememberedTrack(settings, dir.path()), QDir::toNativeSeparators(dir.filePath("tracks/Rybnik.trt")));
}

TEST(RememberedTrackCase, OtherLetterCaseIsRelativeOnlyWhereItNamesTheSameFolder)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString program = root.filePath("Hry");
    ASSERT_TRUE(QDir(root.path()).mkpath("Hry/tracks"));
    QFile(program + "/tracks/Rybnik.trt").open(QIODevice::WriteOnly);
    const QString relative = QDir::toNativeSeparators(QStringLiteral("%tracks/Rybnik.trt"));
    // A second spelling of the program's folder that names the same folder (as on a file system
    // that ignores letter case; here a link stands in for it): stored relative.
    ASSERT_TRUE(QFile::link(program, root.filePath("hry")));
    EXPECT_EQ(storedFromTrackPath(root.filePath("hry/tracks/Rybnik.trt"), program), relative);
    // A folder of its own spelt in other letters: the path is kept whole, so it opens that file.
    ASSERT_TRUE(QDir(root.path()).mkpath("HRY/tracks"));
    QFile(root.filePath("HRY/tracks/Rybnik.trt")).open(QIODevice::WriteOnly);
    const QString other = root.filePath("HRY/tracks/Rybnik.trt");
    EXPECT_EQ(storedFromTrackPath(other, program), QDir::toNativeSeparators(other));
}

// The settings file the build puts beside the program.
TEST_F(RememberedTrackFile, BuildWritesFirstSettingsOnlyWhereNoneExist)
{
    const auto runScript = [this] {
        QProcess cmake;
        cmake.start(QStringLiteral(TRASOVKY_CMAKE),
                    {"-DSETTINGS_FILE=" + settingsFilePath(dir.path()), "-P", QStringLiteral(TRASOVKY_DEFAULT_SETTINGS_SCRIPT)});
        ASSERT_TRUE(cmake.waitForFinished(30000));
        ASSERT_EQ(cmake.exitCode(), 0) << cmake.readAllStandardError().constData();
    };
    runScript();
    IniFile settings(settingsFilePath(dir.path()));
    EXPECT_EQ(ReadLanguageSetting(settings, 2), 1);
    EXPECT_EQ(ReadRememberedTrack(settings, dir.path()), QDir::toNativeSeparators(dir.filePath("tracks/Rybnik.trt")));

    writeSettings("[Settings]\r\nLANG=2\r\n");
    runScript();
    EXPECT_EQ(settingsBytes(), "[Settings]\r\nLANG=2\r\n");
}

}  // namespace
