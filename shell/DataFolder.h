#pragma once

#include <QString>

// The data folder holds what the player owns: the settings file Trasovky.ini (whose "%" paths are
// relative to it) and the tracks with their records. A portable folder that the program may write
// into is its own data folder, as it always was. An installed one that it may not write into (a
// system folder) sends the player's files to a folder of the user's, with the bundled tracks copied
// there so that their records can be written beside them. The sounds, the logo, the results picture
// and the help are always read from the program's folder.

// The first settings file: Czech, and the first bundled track remembered.
inline const QByteArray FirstSettings = QByteArrayLiteral("[Settings]\r\nLANG=1\r\nTRT=%tracks/Rybnik.trt\r\n");

// Whether a file can be created in the folder, found out by creating one (removed at once):
// permission bits say nothing for an administrator, a read-only mount or an access list.
bool CanCreateFileIn(const QString& directory);

// Decides the data folder and prepares it. With a writable program folder: the program's folder.
// Otherwise the user folder, made when missing, with every bundled track file (tracks/*.trt, *.wmf
// and *.rek of the program's folder) it lacks copied into its tracks/; when the user folder cannot
// be made or written, the program's folder again (saving then fails with the usual messages). In
// the folder chosen, the first settings file is written when it has none. A file the player already
// has is never replaced; every file is written whole under a temporary name and renamed into place.
QString PrepareDataDirectory(const QString& programDirectory, const QString& userDirectory,
                             bool programDirectoryWritable);

// The same for the running program: the program's folder is tried by creating a file in it, and
// the user folder is the platform's application data folder (~/.local/share/Trasovky on Linux).
// Needs the application's name set.
QString PrepareDataDirectory(const QString& programDirectory);

// Copies each bundled track file that the data folder's tracks/ lacks; returns how many were copied.
int CopyBundledTracks(const QString& programDirectory, const QString& dataDirectory);

// Writes the first settings file into the folder unless it has one (even a damaged one, or a link).
void WriteFirstSettings(const QString& dataDirectory);
