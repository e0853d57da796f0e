#pragma once

#include "race/RaceState.h"

#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <optional>
#include <vector>

class PlayerPrompts;

// A track's record file (".rek" beside the track): the best ride with its holder, date, move
// count, colour and comment, as Windows-1250 text of seven fields separated by "|":
//   checksum | name | date | moves | ride | colour | comment
// The ride is "x:y:" for every position; the comment runs to the end of the file and may hold "|".

// The largest record file read. A ride of a million positions is well below it; a larger file is
// treated as damaged, so a hostile file cannot make the program read without bound.
inline constexpr qint64 MaxRecordFileSize = 16 * 1024 * 1024;

// The record part of the new race dialog.
class RecordFields {
public:
    virtual ~RecordFields() = default;
    virtual void showRecord(const QString& text) = 0;             // txtRekord
    virtual void setRecordButtonsEnabled(bool enabled) = 0;       // cmdRekord and cmdKontrola
};

// The record file of the loaded track: trackPicturePath with its last four characters replaced by ".rek".
QString recordFilePath(const RaceState& state);

// The fields of a record file that passed every check.
struct RecordContent {
    qint32 checksum = 0;
    QString holder;
    QString date;
    double moves = 0;
    QString rideText;
    std::vector<TrackPoint> ride;  // element 0 is a placeholder; element k is the k-th position
    ColorValue color = 0;
    QString comment;
};

// Parses the decoded text of a record file and checks its checksum. Nothing when a separator is
// missing, a number does not convert (integers are 32-bit; the moves must be a positive decimal
// number, with "," or "." as separator), the ride is empty or not made of whole "x:y:" pairs, or
// the checksum does not match. The ride grows with the text only.
std::optional<RecordContent> parseRecordText(QStringView text);

// The positions of a player's ride as a record file stores them: the start of every drawn
// trajectory segment, then the car's position, each as "x:y:".
QString rideText(const PlayerRecord& player);

// How reading a record file ended.
enum class RecordReadError {
    None,
    Missing,     // no file at the path: the track has no record
    Unreadable,  // the file exists but cannot be opened or read
    Invalid,     // the content is damaged, fails its checksum or the file is too large
};

struct RecordReadResult {
    RecordReadError error = RecordReadError::None;
    QString message;  // the message for the user in the chosen language; empty for None and Missing
};

// Reads the record file at path. On success the record variables of the state hold the record;
// on any failure they are left as they were, and the file is left where it is.
RecordReadResult readRecordFile(RaceState& state, const QString& path);

// Moves a record file aside for good: an older path + ".bak" is deleted, then the file is renamed
// to path + ".bak". False when the file could not be moved.
bool moveRecordAside(const QString& path);

// The text txtRekord shows for the loaded record: the moves in the "0.000000" form, then the
// holder in brackets.
QString recordSummary(const RaceState& state);

// Forgets the loaded record (the colour stays) and tells the dialog, where one is open.
void ClearRecord(RaceState& state, RecordFields* dialog);

// Reads the record of the track whose record file is at path and shows it in the dialog (which may
// be null). A missing file means no record. A file that cannot be read is reported and left in
// place; a damaged one is reported and moved aside. After either the record is cleared.
void ReadRecord(RaceState& state, PlayerPrompts& window, RecordFields* dialog, const QString& path);

// How writing a record file ended.
enum class RecordWriteError {
    None,
    BarInNameOrDate,  // name or date contains "|": refused, nothing written
    WriteFailed,      // the file could not be written; an old record file is unchanged
};

struct RecordWriteResult {
    RecordWriteError error = RecordWriteError::None;
    QString path;     // the record file
    QString message;  // for WriteFailed: the message for the user in the chosen language
};

// Writes the ride of newRecordPlayer with newRecordMoves as the record of the loaded track. The
// file is replaced whole or not at all: the content goes to a temporary file beside it, which then
// takes the record file's place. The record variables of the state are not changed.
RecordWriteResult writeRecordFile(const RaceState& state, const QString& name, const QString& date,
                                  const QString& comment);
// The same, to the file at path instead of the loaded track's record file.
RecordWriteResult writeRecordFileTo(const RaceState& state, const QString& path, const QString& name,
                                    const QString& date, const QString& comment);

// The same, reporting a failed write through the window's message box. True when the record was written.
bool WriteRecord(const RaceState& state, PlayerPrompts& window, const QString& name, const QString& date,
                 const QString& comment);
