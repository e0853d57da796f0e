#include "race/ResultsTable.h"

#include "shell/LanguageState.h"
#include "shell/NumberFormat.h"
#include "shell/StringIds.h"

#include <algorithm>

namespace {

bool isPlayerNumber(int number)
{
    return number >= 1 && number <= PlayerSlots;
}

int digitCount(int value)
{
    return static_cast<int>(QString::number(value).size());
}

// The record is beaten by a ride of `moves` on a track whose record is recordMoves (0: none).
bool beatsRecord(double moves, double recordMoves)
{
    return recordMoves == 0 || moves < recordMoves;
}

// Whether the row at place `position` belongs to the person whose ride is the new record.
bool holdsNewRecord(const RaceState& state, int position)
{
    const auto index = static_cast<std::size_t>(position - 1);
    return index < state.OrderOfFinish.size() && state.OrderOfFinish[index] == state.newRecordPlayer && newRecordIsSet(state);
}

QString notesText(const RaceState& state, int position, const PlayerRecord& player)
{
    switch (player.state) {
    case PlayerState::PlacedDisqualified:
        return LoadText(state, StringId::DisqualifiedNote);
    case PlayerState::PlacedCrashedOut:
        return LoadText(state, StringId::CrashedOutNote);
    case PlayerState::Placed:
        return LoadText(state, holdsNewRecord(state, position) ? StringId::NewRecordNote : StringId::FinishedNote);
    default:
        return {};  // not ranked: nothing to say
    }
}

}  // namespace

QStringList resultHeaders(const LanguageState& language)
{
    QStringList headers;
    for (int column = 0; column < ResultColumnCount; ++column)
        headers << LoadText(language, StringId::FirstResultsHeader + column);
    return headers;
}

QString placeText(int position, bool finished, int finishers)
{
    const int width = digitCount(finishers + 1);
    if (!finished)
        return QString(std::max(0, width - 1), u' ') + u'x';
    return QString::number(position).rightJustified(width, u' ');
}

std::vector<ResultRow> resultRows(const RaceState& state, QChar decimalSeparator)
{
    std::vector<int> ranked;
    for (quint8 number : state.OrderOfFinish)
        if (isPlayerNumber(number))
            ranked.push_back(number);
    int finishers = 0;
    for (int number : ranked)
        finishers += state.player(number).state == PlayerState::Placed ? 1 : 0;

    std::vector<ResultRow> rows;
    for (std::size_t i = 0; i < ranked.size(); ++i) {
        const int position = static_cast<int>(i) + 1;
        const PlayerRecord& player = state.player(ranked[i]);
        ResultRow row;
        row.player = ranked[i];
        row.cells[PlaceColumn] = placeText(position, player.state == PlayerState::Placed, finishers);
        // A computer driver keeps the name of its row, marked as the computer's.
        row.cells[NameColumn] = player.driver == DriverKind::Person ? player.name : player.name + LoadText(state, StringId::ComputerMark);
        row.cells[MovesColumn] = formatFixed6(player.moves, decimalSeparator);
        row.cells[TopSpeedColumn] = formatFixed6(player.maxSpeed, decimalSeparator);
        row.cells[NotesColumn] = notesText(state, position, player);
        rows.push_back(row);
    }
    return rows;
}

QString absoluteMovesText(const RaceState& state, int player, QChar decimalSeparator)
{
    if (!isPlayerNumber(player))
        return {};
    return formatFixed6(state.player(player).moves, decimalSeparator);
}

std::optional<QString> relativeMovesText(const RaceState& state, int player, QChar decimalSeparator)
{
    const int winner = state.OrderOfFinish.empty() ? 0 : state.OrderOfFinish.front();
    if (!isPlayerNumber(player) || !isPlayerNumber(winner) || player == winner || state.player(player).state != PlayerState::Placed)
        return std::nullopt;
    return u'+' + formatFixed6(state.player(player).moves - state.player(winner).moves, decimalSeparator);
}

QStringList alignAtSeparator(const QStringList& cells, QChar decimalSeparator)
{
    QStringList texts;
    std::vector<qsizetype> places;
    qsizetype furthest = 0;
    for (const QString& cell : cells) {
        qsizetype start = 0;
        while (start < cell.size() && cell[start] == u' ')
            ++start;
        const QString text = cell.mid(start);
        // Where the separator stands counted from the second character; the first may be a sign
        // or a digit in front of the separator, never the separator the column lines up on.
        const qsizetype found = text.indexOf(decimalSeparator, 1);
        const qsizetype place = found < 0 ? text.size() + 1 : found;
        texts << text;
        places.push_back(place);
        furthest = std::max(furthest, place);
    }
    for (qsizetype i = 0; i < texts.size(); ++i)
        texts[i].prepend(QString(furthest - places[static_cast<std::size_t>(i)], u' '));
    return texts;
}

bool newRecordIsSet(const RaceState& state)
{
    const int holder = state.newRecordPlayer;
    if (!isPlayerNumber(holder) || state.drivenByComputer(holder))
        return false;
    const PlayerRecord& player = state.player(holder);
    return player.state == PlayerState::Placed && beatsRecord(player.moves, state.recordMoves);
}

QString resultsDateText(QDate date)
{
    return QStringLiteral("%1. %2. %3")
        .arg(date.day(), 2, 10, QChar(u'0'))
        .arg(date.month(), 2, 10, QChar(u'0'))
        .arg(date.year(), 4, 10, QChar(u'0'));
}

QString resultsClipboardText(const QString& trackName, QDate date, const QStringList& headers,
                             const std::vector<QStringList>& rows)
{
    const QString lineEnd = QStringLiteral("\r\n");
    QString text = trackName + QStringLiteral(" (") + resultsDateText(date) + u')' + lineEnd;
    text += headers.join(u'\t') + lineEnd;
    for (const QStringList& row : rows)
        text += row.join(u'\t') + lineEnd;
    return text;
}
