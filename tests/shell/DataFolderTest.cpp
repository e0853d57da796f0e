#include "shell/DataFolder.h"

#include "shell/IniFile.h"
#include "shell/RememberedTrack.h"
#include "shell/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A program folder with a few bundled track files (and a file that is no track), and a place for
// the user's folder that does not exist yet.
class DataFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(program.isValid() && home.isValid());
        ASSERT_TRUE(QDir(program.path()).mkdir("tracks"));
        for (const auto& [name, bytes] : bundled)
            write(program.filePath("tracks/" + name), bytes);
        write(program.filePath("tracks/poznamky.txt"), "not a track");
        write(program.filePath("start.wav"), "RIFF");
        user = home.filePath(".local/share/Trasovky");
    }

    static void write(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()) << qPrintable(path);
    }
    static QByteArray read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }
    // Every name in the folder, hidden ones too: a leftover temporary file shows here.
    static QStringList names(const QString& folder)
    {
        QStringList found = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        found.sort();
        return found;
    }

    const std::vector<std::pair<QString, QByteArray>> bundled{
        {"Rybnik.trt", "definition"}, {"Rybnik.wmf", QByteArray(200000, '\x5a')}, {"Rybnik.rek", "bundled record"},
        {"Okruh.trt", "another definition"}, {"Okruh.wmf", "picture"}};
    QTemporaryDir program;
    QTemporaryDir home;
    QString user;
};

TEST_F(DataFolderTest, WritableProgramFolderKeepsEverythingBesideTheProgram)
{
    EXPECT_EQ(PrepareDataDirectory(program.path(), user, true), program.path());
    EXPECT_FALSE(QFileInfo::exists(user));
    EXPECT_EQ(names(program.filePath("tracks")),
              QStringList({"Okruh.trt", "Okruh.wmf", "Rybnik.rek", "Rybnik.trt", "Rybnik.wmf", "poznamky.txt"}));
    EXPECT_EQ(read(settingsFilePath(program.path())), FirstSettings);
}

TEST_F(DataFolderTest, ReadOnlyProgramFolderSendsThePlayersFilesToTheUserFolder)
{
    const QString data = PrepareDataDirectory(program.path(), user, false);
    EXPECT_EQ(data, user);
    EXPECT_EQ(names(user), QStringList({"Trasovky.ini", "tracks"}));
    EXPECT_EQ(names(QDir(user).filePath("tracks")),
              QStringList({"Okruh.trt", "Okruh.wmf", "Rybnik.rek", "Rybnik.trt", "Rybnik.wmf"}));
    for (const auto& [name, bytes] : bundled)
        EXPECT_EQ(read(QDir(user).filePath("tracks/" + name)), bytes) << qPrintable(name);
    EXPECT_EQ(read(settingsFilePath(user)), FirstSettings);
    // The player's files, not a temporary file's: readable by others as any file he makes.
    for (const QString& path : {QDir(user).filePath("tracks/Rybnik.rek"), settingsFilePath(user)})
        EXPECT_TRUE(QFile::permissions(path) & QFile::ReadOther) << qPrintable(path);
    // Nothing is written into the program's folder.
    EXPECT_EQ(names(program.path()), QStringList({"start.wav", "tracks"}));

    // "%" paths stand for the data folder: the first settings remember the copied track, and a
    // track chosen there is stored in the same short form.
    IniFile settings(settingsFilePath(data));
    EXPECT_EQ(ReadRememberedTrack(settings, data), QDir::toNativeSeparators(user + "/tracks/Rybnik.trt"));
    RememberTrack(settings, user + "/tracks/Okruh.trt", data);
    EXPECT_EQ(settings.read(SettingsSection, TrackKey, 260), QDir::toNativeSeparators("%tracks/Okruh.trt"));
    EXPECT_EQ(ReadRememberedTrack(settings, data), QDir::toNativeSeparators(user + "/tracks/Okruh.trt"));
}

TEST_F(DataFolderTest, ThePlayersOwnFilesAreNeverReplaced)
{
    ASSERT_TRUE(QDir().mkpath(user + "/tracks"));
    write(user + "/tracks/Rybnik.rek", "the player's better record");
    write(user + "/Trasovky.ini", "[Settings]\r\nLANG=2\r\n");
    ASSERT_TRUE(QDir(user + "/tracks").mkdir("Okruh.wmf"));                         // a folder under that name
    ASSERT_TRUE(QFile::link(home.filePath("nowhere"), user + "/tracks/Okruh.trt"));  // a broken link

    EXPECT_EQ(PrepareDataDirectory(program.path(), user, false), user);
    EXPECT_EQ(read(user + "/tracks/Rybnik.rek"), "the player's better record");
    EXPECT_EQ(read(user + "/Trasovky.ini"), "[Settings]\r\nLANG=2\r\n");
    EXPECT_TRUE(QFileInfo(user + "/tracks/Okruh.wmf").isDir());
    EXPECT_TRUE(QFileInfo(user + "/tracks/Okruh.trt").isSymLink());
    EXPECT_FALSE(QFileInfo::exists(home.filePath("nowhere")));
    // What was missing is copied.
    EXPECT_EQ(read(user + "/tracks/Rybnik.trt"), "definition");
    EXPECT_EQ(names(user + "/tracks"), QStringList({"Okruh.trt", "Okruh.wmf", "Rybnik.rek", "Rybnik.trt", "Rybnik.wmf"}));

    // A later start copies nothing more.
    EXPECT_EQ(CopyBundledTracks(program.path(), user), 0);
}

TEST_F(DataFolderTest, UserFolderThatCannotBeMadeLeavesTheProgramsFolder)
{
    write(home.filePath("file"), "x");
    for (const QString& unusable : {home.filePath("file/Trasovky"), QString()}) {
        EXPECT_EQ(PrepareDataDirectory(program.path(), unusable, false), program.path()) << qPrintable(unusable);
        EXPECT_EQ(names(program.path()), QStringList({"start.wav", "tracks"}));
    }
}

TEST_F(DataFolderTest, WritabilityIsFoundByCreatingAFile)
{
    EXPECT_TRUE(CanCreateFileIn(program.path()));
    EXPECT_EQ(names(program.path()), QStringList({"start.wav", "tracks"}));  // the probe is gone
    EXPECT_FALSE(CanCreateFileIn(home.filePath("missing")));
    EXPECT_FALSE(CanCreateFileIn(program.filePath("start.wav")));
    EXPECT_FALSE(CanCreateFileIn(QString()));
}

TEST_F(DataFolderTest, FirstSettingsAreTheOnesTheBuildWrites)
{
    QProcess cmake;
    cmake.start(QStringLiteral(TRASOVKY_CMAKE), {"-DSETTINGS_FILE=" + settingsFilePath(home.path()), "-P",
                                                 QStringLiteral(TRASOVKY_DEFAULT_SETTINGS_SCRIPT)});
    ASSERT_TRUE(cmake.waitForFinished(30000));
    ASSERT_EQ(cmake.exitCode(), 0);
    EXPECT_EQ(read(settingsFilePath(home.path())), FirstSettings);
}

}  // namespace
