#pragma once

#include "race/RaceState.h"

#include <QChar>
#include <QDate>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

// The texts of the results list: what each row and column says after a race has been ranked
// (RankPlayers), in the chosen language and with the given decimal separator. No widgets: the
// results dialog shows these texts and the tests read them here.

// The columns of the results list, in their order.
enum ResultColumn : int {
    PlaceColumn = 0,     // "Pořadí"
    NameColumn = 1,      // "Jméno"
    MovesColumn = 2,     // "Tahů"
    TopSpeedColumn = 3,  // "Max. rychlost"
    NotesColumn = 4,     // "Poznámky"
};
inline constexpr int ResultColumnCount = 5;

// One row of the list: the player it belongs to (1 ... 10) and the texts of its five columns.
struct ResultRow {
    int player = 0;
    std::array<QString, ResultColumnCount> cells;
};

// The header texts of the five columns in the chosen language.
QStringList resultHeaders(const LanguageState& language);

// The rows of the list in the order of OrderOfFinish, the moves absolute and no column aligned
// yet. A place that names no player slot is left out.
std::vector<ResultRow> resultRows(const RaceState& state, QChar decimalSeparator);

// The "Pořadí" text of place `position` among `finishers` finishers: the place right-aligned to
// the width of (finishers + 1) for a finisher, "x" at that width for any other car, so that the
// texts sort as the places do.
QString placeText(int position, bool finished, int finishers);

// The "Tahů" text of the player's row shown absolutely: his moves in the "0.000000" form.
QString absoluteMovesText(const RaceState& state, int player, QChar decimalSeparator);
// The same shown relative to the winner: "+" and the moves behind the first place for every
// finisher but the winner himself; nothing for the rows that keep the text they have.
std::optional<QString> relativeMovesText(const RaceState& state, int player, QChar decimalSeparator);

// The cells of one column with spaces before them, so that the first decimal separator after each
// cell's first character stands in one place; a cell without one counts as if the separator
// followed its end. Spaces that an earlier alignment put before a cell are taken off first, so
// aligning an aligned column changes nothing.
QStringList alignAtSeparator(const QStringList& cells, QChar decimalSeparator);

// Whether newRecordPlayer — the first place, or the best placed person where the computer drove
// ahead — is a person who finished and beat the track's record (or the track had none): his ride
// is then offered as the new record. A computer's ride never is.
bool newRecordIsSet(const RaceState& state);

// The date as the results copy writes it: "dd. mm. yyyy".
QString resultsDateText(QDate date);

// The results as the clipboard gets them: the track's name and the date on the first line, the
// headers on the second, one line per row after them; columns separated by a TAB, every line
// ended by CR LF, the cells as the list shows them.
QString resultsClipboardText(const QString& trackName, QDate date, const QStringList& headers,
                             const std::vector<QStringList>& rows);
