#pragma once

#include "files/RecordFile.h"
#include "files/TrackPaths.h"
#include "race/RaceState.h"

#include <QString>

class GameWindow;

// The largest definition file read. Real ones are a few hundred bytes; the limit only keeps a
// wrong or hostile file from being read into memory whole.
inline constexpr qint64 MaxTrackFileSize = 1024 * 1024;

// How reading a track ended.
enum class TrackFileError {
    None,
    DefinitionMissing,  // no file at the definition file's path
    PictureMissing,     // no file at the picture's path
    DefinitionInvalid,  // a field fails its check or conversion, a separator is missing, the file cannot be read
    PictureInvalid,     // the picture cannot be read as a metafile or rasterized
};

struct TrackFileResult {
    TrackFileError error = TrackFileError::None;
    QString message;  // the message for the user, in the chosen language; empty on success
};

// Parses the decoded text of a definition file into the track values of the state, in file order:
// every field is stored as soon as it passes its check, so on failure the fields before the fault
// keep their new values. False when a separator is missing or a field fails its check. The track's
// size is not checked against the raster limit here.
bool parseTrackDefinition(RaceState& state, QStringView text);

// Reads the definition file and the picture into the track values of the state: every field is
// stored as soon as it is read and checked, so a file that fails half-way leaves the fields before
// the fault with the new values. On success the picture, its raster and the picture scales are set.
TrackFileResult ReadTrackFiles(RaceState& state, const QString& path);

// The new race dialog's part of loading a track: its track fields and its record fields.
class TrackDialogFields : public RecordFields {
public:
    // Shows the loaded track: name, description, start positions, allowed speed, checkpoints,
    // preview, and allows at most startCount players.
    virtual void ShowTrackInfo(const RaceState& state) = 0;
    // Empties the track part of the dialog after a failed load.
    virtual void ClearTrackInfo() = 0;
    virtual void UpdateStartButton() = 0;
};

// Loads the track at path: reads it, reports a failure through the window's message box, forgets
// the previous track's picture and record and empties the dialog's track fields; or on success fills
// the dialog, prepares the track view and reads the track's record.
// dialog may be null where no dialog is open.
void LoadTrack(RaceState& state, GameWindow& window, TrackDialogFields* dialog, const QString& path);
