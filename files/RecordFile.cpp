#include "files/RecordFile.h"

#include "files/FieldReader.h"
#include "files/FileMessages.h"
#include "files/RecordChecksum.h"
#include "files/TrackPaths.h"
#include "race/PlayerPrompts.h"
#include "shell/IntegerText.h"
#include "shell/MessageBoxStyle.h"
#include "shell/NumberFormat.h"
#include "shell/Windows1250.h"
#include "shell/StringIds.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace {

// "x:y:" pairs to the end of the text, at least one. The array grows with the pairs actually
// read, so its size is bounded by the text's.
std::optional<std::vector<TrackPoint>> parseRide(QStringView text)
{
    std::vector<TrackPoint> ride(1);  // the placeholder element 0
    qsizetype position = 0;
    do {
        const qsizetype xEnd = text.indexOf(u':', position);
        if (xEnd < 0)
            return std::nullopt;
        const qsizetype yEnd = text.indexOf(u':', xEnd + 1);
        if (yEnd < 0)
            return std::nullopt;
        const auto x = parseInteger<qint32>(text.sliced(position, xEnd - position));
        const auto y = parseInteger<qint32>(text.sliced(xEnd + 1, yEnd - xEnd - 1));
        if (!x || !y)
            return std::nullopt;
        ride.push_back({*x, *y});
        position = yEnd + 1;
    } while (position < text.size());
    return ride;
}

}  // namespace

QString recordFilePath(const RaceState& state)
{
    return recordFilePathFor(state.trackPicturePath);
}

std::optional<RecordContent> parseRecordText(QStringView text)
{
    FieldReader fields(text);
    RecordContent record;

    const auto checksumField = fields.next();
    const auto checksum = checksumField ? parseInteger<qint32>(*checksumField) : std::nullopt;
    if (!checksum)
        return std::nullopt;
    record.checksum = *checksum;

    const auto holder = fields.next();
    const auto date = holder ? fields.next() : std::nullopt;
    if (!date)
        return std::nullopt;
    record.holder = holder->toString();
    record.date = date->toString();

    // 0 would stand for "no record" everywhere else, and no ride takes fewer than no moves.
    const auto movesField = fields.next();
    const auto moves = movesField ? parseDecimal(*movesField) : std::nullopt;
    if (!moves || !(*moves > 0))
        return std::nullopt;
    record.moves = *moves;

    const auto ride = fields.next();
    if (!ride)
        return std::nullopt;
    auto points = parseRide(*ride);
    if (!points || RecordChecksum(record.moves, *ride) != record.checksum)
        return std::nullopt;
    record.rideText = ride->toString();
    record.ride = std::move(*points);

    const auto colorField = fields.next();
    const auto color = colorField ? parseInteger<qint32>(*colorField) : std::nullopt;
    if (!color)
        return std::nullopt;
    record.color = static_cast<ColorValue>(*color);
    record.comment = fields.rest().toString();
    return record;
}

QString rideText(const PlayerRecord& player)
{
    QString text;
    const auto append = [&text](qint32 x, qint32 y) {
        text += QString::number(x);
        text += u':';
        text += QString::number(y);
        text += u':';
    };
    for (std::size_t k = 1; k < player.segmentStarts.size(); ++k)
        append(player.segmentStarts[k].x, player.segmentStarts[k].y);
    append(player.posX, player.posY);
    return text;
}

RecordReadResult readRecordFile(RaceState& state, const QString& path)
{
    const auto failure = [&](RecordReadError error, auto message) {
        return RecordReadResult{error, message(state, path)};
    };

    const QFileInfo info(path);
    if (!info.exists())
        return {RecordReadError::Missing, QString()};
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        return failure(RecordReadError::Unreadable, fileNotFoundMessage);
    if (file.size() > MaxRecordFileSize)
        return failure(RecordReadError::Invalid, fileDamagedMessage);
    // The buffer follows the file's size, never the limit: one byte more shows a file that grew.
    const QByteArray bytes = file.read(std::min<qint64>(file.size(), MaxRecordFileSize) + 1);
    if (file.error() != QFileDevice::NoError)
        return failure(RecordReadError::Unreadable, fileNotFoundMessage);
    if (bytes.size() > MaxRecordFileSize)
        return failure(RecordReadError::Invalid, fileDamagedMessage);

    std::optional<RecordContent> record = parseRecordText(decodeWindows1250(bytes));
    if (!record)
        return failure(RecordReadError::Invalid, fileDamagedMessage);
    state.recordHolder = std::move(record->holder);
    state.recordDate = std::move(record->date);
    state.recordMoves = record->moves;
    state.recordRide = std::move(record->ride);
    state.recordColor = record->color;
    state.recordComment = std::move(record->comment);
    return {};
}

bool moveRecordAside(const QString& path)
{
    const QString backup = path + QStringLiteral(".bak");
    const QFileInfo backupInfo(backup);
    if (backupInfo.exists() || backupInfo.isSymLink())
        QFile::remove(backup);
    return QFile::rename(path, backup);
}

QString recordSummary(const RaceState& state)
{
    return formatFixed6(state.recordMoves, systemDecimalSeparator()) + QStringLiteral(" (") + state.recordHolder +
           u')';
}

void ClearRecord(RaceState& state, RecordFields* dialog)
{
    if (dialog)
        dialog->showRecord(LoadText(state, StringId::NoRecord));
    state.recordHolder.clear();
    state.recordDate.clear();
    state.recordComment.clear();
    state.recordMoves = 0;
    state.recordRide.assign(1, TrackPoint{});
    if (dialog)
        dialog->setRecordButtonsEnabled(false);
}

void ReadRecord(RaceState& state, PlayerPrompts& window, RecordFields* dialog, const QString& path)
{
    const RecordReadResult result = readRecordFile(state, path);
    switch (result.error) {
    case RecordReadError::None:
        if (dialog) {
            dialog->showRecord(recordSummary(state));
            dialog->setRecordButtonsEnabled(true);
        }
        return;
    case RecordReadError::Missing:
        break;
    case RecordReadError::Unreadable:
        window.messageBox(result.message, StyleCritical, fileErrorTitle(state));
        break;
    case RecordReadError::Invalid:
        window.messageBox(result.message, StyleCritical, fileErrorTitle(state));
        moveRecordAside(path);
        break;
    }
    ClearRecord(state, dialog);
}

namespace {

// The record written to path; a path that cannot be a record file (usable false) fails as a failed write.
RecordWriteResult writeRecord(const RaceState& state, const QString& path, bool usable, const QString& name,
                              const QString& date, const QString& comment)
{
    RecordWriteResult result;
    result.path = path;
    if (name.contains(u'|') || date.contains(u'|')) {
        result.error = RecordWriteError::BarInNameOrDate;
        return result;
    }
    const auto failed = [&] {
        result.error = RecordWriteError::WriteFailed;
        result.message = LoadText(state, StringId::RecordNotSavedText) + result.path + u'.';
        return result;
    };
    if (!usable || state.newRecordPlayer < 1 || state.newRecordPlayer > PlayerSlots)
        return failed();

    const PlayerRecord& holder = state.player(state.newRecordPlayer);
    const QString ride = rideText(holder);
    const QString movesText = formatGeneral(state.newRecordMoves, storableDecimalSeparator(systemDecimalSeparator()));
    // The checksum covers the moves as the reader will get them back from their 15 digits, so a
    // count whose sixth decimal sits on a rounding edge cannot make our own record fail to read.
    const std::optional<double> storedMoves = parseDecimal(movesText);
    if (!storedMoves || !(*storedMoves > 0))
        return failed();

    const QChar bar = u'|';
    const QString content = QString::number(RecordChecksum(*storedMoves, ride)) + bar + name + bar + date + bar +
                            movesText + bar + ride + bar + QString::number(static_cast<qint32>(holder.color)) + bar +
                            comment;
    const QByteArray bytes = encodeWindows1250(content);

    // The explicit flush matters: commit() flushes the buffer itself while closing, but a write cut
    // short there (disk full, file size limit) does not make it fail, and the shortened file would
    // replace the old record. Returning before commit() drops the temporary file instead.
    QSaveFile file(result.path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush() || !file.commit())
        return failed();
    return result;
}

}  // namespace

RecordWriteResult writeRecordFile(const RaceState& state, const QString& name, const QString& date,
                                  const QString& comment)
{
    return writeRecord(state, recordFilePath(state), !state.trackPicturePath.isEmpty(), name, date, comment);
}

RecordWriteResult writeRecordFileTo(const RaceState& state, const QString& path, const QString& name,
                                    const QString& date, const QString& comment)
{
    return writeRecord(state, path, !path.isEmpty(), name, date, comment);
}

bool WriteRecord(const RaceState& state, PlayerPrompts& window, const QString& name, const QString& date,
                 const QString& comment)
{
    const RecordWriteResult result = writeRecordFile(state, name, date, comment);
    if (result.error == RecordWriteError::WriteFailed)
        window.messageBox(result.message, StyleCritical, fileErrorTitle(state));
    return result.error == RecordWriteError::None;
}
