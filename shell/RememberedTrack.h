#pragma once

#include <QString>

class IniFile;

// The remembered track: "TRT" in the settings file holds the last chosen track definition file. A
// path inside the program's folder is stored as "%" followed by the rest of the path after the
// folder and its separator, so the folder can be moved with its tracks; any other path is stored
// whole.

// The size of the buffer the stored value is read into: longer values come back cut.
inline constexpr int RememberedTrackBufferSize = 260;

// The path a stored value stands for: blanks at both ends and a last NUL character dropped, a
// leading "%" replaced by the program's folder and a separator. "\" and "/" both separate folders,
// whichever system wrote the value. "" when the value is empty.
QString trackPathFromStored(QString stored, const QString& programDirectory);

// The value that remembers a chosen path: "%" and the rest when the path begins with the program's
// folder and a separator — spelt in other letters too, where the file system takes that spelling
// for the same folder; otherwise the whole path. Written with the platform's separator.
QString storedFromTrackPath(const QString& path, const QString& programDirectory);

// The path of the remembered track, or "" when no track is remembered (no settings file, no value).
// A remembered path that no longer names a file (deleted, or a folder) is forgotten without a
// word: "TRT" is written empty.
QString ReadRememberedTrack(IniFile& settings, const QString& programDirectory);

// Remembers a chosen path as "TRT". A settings file that cannot be written is left alone.
void RememberTrack(IniFile& settings, const QString& path, const QString& programDirectory);
