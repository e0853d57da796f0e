#include "shell/RememberedTrack.h"

#include "shell/IniFile.h"
#include "shell/SettingsFile.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The program's folder followed by exactly one "/".
QString folderPrefix(const QString& programDirectory)
{
    QString prefix = QDir::fromNativeSeparators(programDirectory);
    if (!prefix.endsWith(u'/'))
        prefix += u'/';
    return prefix;
}

// Whether two paths name one and the same existing file.
bool sameFile(const QString& first, const QString& second)
{
    const QString canonical = QFileInfo(first).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(second).canonicalFilePath();
}

}  // namespace

QString trackPathFromStored(QString stored, const QString& programDirectory)
{
    stored = stored.trimmed();
    if (stored.endsWith(QChar(0)))
        stored.chop(1);
    stored.replace(u'\\', u'/');
    if (stored.startsWith(u'%'))
        return folderPrefix(programDirectory) + stored.mid(1);
    return stored;
}

QString storedFromTrackPath(const QString& path, const QString& programDirectory)
{
    const QString chosen = QDir::fromNativeSeparators(path);
    const QString prefix = folderPrefix(programDirectory);
    if (chosen.size() > prefix.size() && chosen.startsWith(prefix, Qt::CaseInsensitive)) {
        // The folder spelt in other letters is the program's folder only where the file system
        // ignores letter case; where it does not, it is another folder and its path is kept whole.
        const QString rest = chosen.mid(prefix.size());
        if (chosen.startsWith(prefix, Qt::CaseSensitive) || sameFile(chosen, prefix + rest))
            return u'%' + QDir::toNativeSeparators(rest);
    }
    return QDir::toNativeSeparators(chosen);
}

QString ReadRememberedTrack(IniFile& settings, const QString& programDirectory)
{
    if (!settings.exists())
        return {};
    const QString path =
        trackPathFromStored(settings.read(SettingsSection, TrackKey, RememberedTrackBufferSize), programDirectory);
    if (path.isEmpty())
        return {};
    if (!QFileInfo(path).isFile()) {
        settings.write(SettingsSection, TrackKey, QString());
        return {};
    }
    return QDir::toNativeSeparators(path);
}

void RememberTrack(IniFile& settings, const QString& path, const QString& programDirectory)
{
    settings.write(SettingsSection, TrackKey, storedFromTrackPath(path, programDirectory));
}
