#include "shell/DataFolder.h"

#include "shell/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {

// A file, a folder or a link (even a broken one) under that name: the player's, left alone.
bool nameTaken(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// Writes what fill writes into target under a temporary name in target's folder and renames it into
// place only once it is whole, never over a file that appeared meanwhile. False when anything fails;
// the temporary file is then gone.
template <typename Fill>
bool writeNewFile(const QString& target, Fill fill)
{
    QTemporaryFile temporary(QFileInfo(target).absolutePath() + QStringLiteral("/.trasovky-XXXXXX"));
    if (!temporary.open() || !fill(temporary) || !temporary.flush())
        return false;
    // A temporary file is made for its owner alone; the player's files get the usual rights.
    temporary.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    // The rename never replaces an existing file; once it is done, the file is no longer temporary.
    if (!temporary.rename(target))
        return false;
    temporary.setAutoRemove(false);
    return true;
}

bool copyNewFile(const QString& source, const QString& target)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    return writeNewFile(target, [&in](QFile& out) {
        char buffer[64 * 1024];
        for (;;) {
            const qint64 read = in.read(buffer, sizeof buffer);
            if (read < 0)
                return false;
            if (read == 0)
                return true;
            if (out.write(buffer, read) != read)
                return false;
        }
    });
}

}  // namespace

bool CanCreateFileIn(const QString& directory)
{
    if (directory.isEmpty())
        return false;
    QTemporaryFile probe(QDir(directory).filePath(QStringLiteral(".trasovky-probe-XXXXXX")));
    return probe.open();
}

int CopyBundledTracks(const QString& programDirectory, const QString& dataDirectory)
{
    const QDir bundled(QDir(programDirectory).filePath(QStringLiteral("tracks")));
    const QDir own(QDir(dataDirectory).filePath(QStringLiteral("tracks")));
    if (!bundled.exists() || !QDir().mkpath(own.path()))
        return 0;
    const QStringList patterns{QStringLiteral("*.trt"), QStringLiteral("*.wmf"), QStringLiteral("*.rek")};
    int copied = 0;
    for (const QFileInfo& file : bundled.entryInfoList(patterns, QDir::Files | QDir::Readable, QDir::Name)) {
        const QString target = own.filePath(file.fileName());
        if (!nameTaken(target) && copyNewFile(file.filePath(), target))
            ++copied;
    }
    return copied;
}

void WriteFirstSettings(const QString& dataDirectory)
{
    const QString path = settingsFilePath(dataDirectory);
    if (!nameTaken(path))
        writeNewFile(path, [](QFile& out) { return out.write(FirstSettings) == FirstSettings.size(); });
}

QString PrepareDataDirectory(const QString& programDirectory, const QString& userDirectory,
                             bool programDirectoryWritable)
{
    QString data = programDirectory;
    if (!programDirectoryWritable) {
        if (userDirectory.isEmpty() || !QDir().mkpath(userDirectory) || !CanCreateFileIn(userDirectory))
            return programDirectory;
        data = QDir::cleanPath(userDirectory);
        CopyBundledTracks(programDirectory, data);
    }
    WriteFirstSettings(data);
    return data;
}

QString PrepareDataDirectory(const QString& programDirectory)
{
    return PrepareDataDirectory(programDirectory, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation),
                                CanCreateFileIn(programDirectory));
}
