#include "race/ResultsTable.h"

#include "race/Ranking.h"

#include <QDate>
#include <QStringList>
#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

struct Car {
    int player;
    PlayerState state;  // 252 finished, 253 disqualified, 254 crashed out
    double moves;
    double maxSpeed = 1;
    const char* name = "";
};

// A race that has just ended with these cars in it, ranked as at the end of a race.
RaceState rankedRace(const std::vector<Car>& cars, double recordMoves = 0, qint32 languageOffset = 0)
{
    RaceState state;
    state.languageOffset = languageOffset;
    for (PlayerRecord& player : state.players)
        player.state = PlayerState::NoPlayer;
    for (const Car& car : cars) {
        PlayerRecord& player = state.player(car.player);
        player.state = car.state;
        player.moves = car.moves;
        player.maxSpeed = car.maxSpeed;
        player.name = QString::fromUtf8(car.name);
    }
    state.recordMoves = recordMoves;
    RankPlayers(state);
    return state;
}

QStringList texts(const ResultRow& row)
{
    return QStringList(row.cells.begin(), row.cells.end());
}

QStringList column(const std::vector<ResultRow>& rows, int which)
{
    QStringList cells;
    for (const ResultRow& row : rows)
        cells << row.cells[static_cast<std::size_t>(which)];
    return cells;
}

std::vector<int> players(const std::vector<ResultRow>& rows)
{
    std::vector<int> numbers;
    for (const ResultRow& row : rows)
        numbers.push_back(row.player);
    return numbers;
}

TEST(ResultsTable, RowsTellPlaceNameMovesTopSpeedAndNotesInTheChosenLanguage)
{
    // Players 1 and 3 finish with equal moves: the lower number is placed first. The record of
    // 12 moves is beaten by the winner only; the second, also under it, has just finished.
    const std::vector<Car> cars = {
        {3, PlayerState::Finished, 11.5, 2.25, "Eva"},
        {1, PlayerState::Finished, 11.5, 3, "Adam"},
        {2, PlayerState::CrashedOut, 7, 3.2, "Bára"},
        {5, PlayerState::Disqualified, 4, 0.5, "Čeněk"},
    };
    const struct {
        qint32 languageOffset;
        QStringList headers;
        std::vector<QStringList> rows;
    } languages[] = {
        {0,
         {"Pořadí", "Jméno", "Tahů", "Max. rychlost", "Poznámky"},
         {{"1", "Adam", "11,500000", "3,000000", "nový rekord"},
          {"2", "Eva", "11,500000", "2,250000", "dojel"},
          {"x", "Bára", "7,000000", "3,200000", "havaroval"},
          {"x", "Čeněk", "4,000000", "0,500000", "diskvalifikován"}}},
        {1000,
         {"Place", "Name", "Moves", "Top speed", "Notes"},
         {{"1", "Adam", "11,500000", "3,000000", "new record"},
          {"2", "Eva", "11,500000", "2,250000", "finished"},
          {"x", "Bára", "7,000000", "3,200000", "crashed"},
          {"x", "Čeněk", "4,000000", "0,500000", "disqualified"}}},
    };
    for (const auto& language : languages) {
        SCOPED_TRACE(language.languageOffset);
        const RaceState state = rankedRace(cars, 12, language.languageOffset);
        EXPECT_EQ(resultHeaders(state), language.headers);
        const std::vector<ResultRow> rows = resultRows(state, u',');
        EXPECT_EQ(players(rows), (std::vector<int>{1, 3, 2, 5}));
        ASSERT_EQ(rows.size(), language.rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i)
            EXPECT_EQ(texts(rows[i]), language.rows[i]) << "place " << i + 1;
    }
}

TEST(ResultsTable, PlacesTakeTheWidthOfTheFinishersPlusOne)
{
    const auto race = [](int finishers, int others) {
        std::vector<Car> cars;
        for (int i = 1; i <= finishers; ++i)
            cars.push_back({i, PlayerState::Finished, 10.0 + i});
        for (int i = finishers + 1; i <= finishers + others; ++i)
            cars.push_back({i, PlayerState::CrashedOut, 30.0 - i});
        return cars;
    };
    const struct {
        const char* label;
        std::vector<Car> cars;
        QStringList places;
    } cases[] = {
        {"nine finishers: one space before each place and before x", race(9, 1),
         {" 1", " 2", " 3", " 4", " 5", " 6", " 7", " 8", " 9", " x"}},
        {"eight finishers: no spaces", race(8, 2), {"1", "2", "3", "4", "5", "6", "7", "8", "x", "x"}},
        {"ten finishers", race(10, 0), {" 1", " 2", " 3", " 4", " 5", " 6", " 7", " 8", " 9", "10"}},
        {"one finisher", race(1, 1), {"1", "x"}},
        {"nobody finished", race(0, 3), {"x", "x", "x"}},
        {"nobody in the race", {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(column(resultRows(rankedRace(c.cars), u'.'), PlaceColumn), c.places);
    }
}

TEST(ResultsTable, ARaceNobodyFinishedListsTheLongestRideFirstAndHandsNoRecordOver)
{
    const RaceState state = rankedRace({{4, PlayerState::Disqualified, 9}, {6, PlayerState::CrashedOut, 12}, {7, PlayerState::CrashedOut, 3}, {9, PlayerState::CrashedOut, 12}});
    const std::vector<ResultRow> rows = resultRows(state, u'.');
    EXPECT_EQ(players(rows), (std::vector<int>{6, 9, 4, 7}));
    EXPECT_EQ(column(rows, PlaceColumn), (QStringList{"x", "x", "x", "x"}));
    EXPECT_EQ(column(rows, NotesColumn), (QStringList{"havaroval", "havaroval", "diskvalifikován", "havaroval"}));
    EXPECT_EQ(state.newRecordPlayer, 6);
    EXPECT_FALSE(newRecordIsSet(state));
}

TEST(ResultsTable, OnlyAWinnerUnderTheRecordSetsANewOne)
{
    const struct {
        double recordMoves;
        double winnerMoves;
        const char* winnersNote;
        bool handedOver;
    } cases[] = {
        {0, 11.5, "nový rekord", true},       // the track had no record
        {12, 11.5, "nový rekord", true},
        {11.5, 11.5, "dojel", false},         // equal to the record is not a new one
        {11.25, 11.5, "dojel", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.recordMoves);
        const RaceState state = rankedRace({{2, PlayerState::Finished, c.winnerMoves}, {1, PlayerState::CrashedOut, 20}}, c.recordMoves);
        EXPECT_EQ(column(resultRows(state, u'.'), NotesColumn), (QStringList{c.winnersNote, "havaroval"}));
        EXPECT_EQ(newRecordIsSet(state), c.handedOver);
    }
}

TEST(ResultsTable, MovesRelativeToTheWinnerForTheOtherFinishersOnly)
{
    const RaceState state = rankedRace({{1, PlayerState::Finished, 12}, {2, PlayerState::Finished, 11.5}, {3, PlayerState::Finished, 14.25}, {4, PlayerState::CrashedOut, 9}});
    ASSERT_EQ(state.newRecordPlayer, 2);
    const struct {
        int player;
        std::optional<QString> relative;
        QString absolute;
    } cases[] = {
        {2, std::nullopt, "11,500000"},  // the winner keeps his own moves
        {1, "+0,500000", "12,000000"},
        {3, "+2,750000", "14,250000"},
        {4, std::nullopt, "9,000000"},   // a car that did not finish keeps its moves
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.player);
        EXPECT_EQ(relativeMovesText(state, c.player, u','), c.relative);
        EXPECT_EQ(absoluteMovesText(state, c.player, u','), c.absolute);
    }
    EXPECT_EQ(relativeMovesText(state, 1, u'.'), QString("+0.500000"));
}

TEST(ResultsTable, ColumnsAlignOnTheDecimalSeparator)
{
    const struct {
        QStringList cells;
        QChar separator;
        QStringList aligned;
    } cases[] = {
        {{"12,5", "3,25"}, u',', {"12,5", " 3,25"}},
        {{"12.5", "3.25"}, u'.', {"12.5", " 3.25"}},
        {{"100,25", "9,5", "-3,125"}, u',', {"100,25", "  9,5", " -3,125"}},
        // A sign in front: the separator is looked for after the first character.
        {{"11.500000", "+0.500000", "7.000000"}, u'.', {"11.500000", "+0.500000", " 7.000000"}},
        // Without a separator a cell counts as if one followed its end.
        {{"12", "3.5"}, u'.', {"12", "  3.5"}},
        // Points in the cells, a comma as the separator: none found, so the ends line up.
        {{"12.5", "3.25"}, u',', {"12.5", "3.25"}},
        {{}, u'.', {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(qPrintable(c.cells.join(u'|')));
        const QStringList aligned = alignAtSeparator(c.cells, c.separator);
        EXPECT_EQ(aligned, c.aligned);
        // Aligning an aligned column again changes nothing.
        EXPECT_EQ(alignAtSeparator(aligned, c.separator), c.aligned);
    }
}

TEST(ResultsTable, ClipboardTextHasTheTrackAndDateThenHeadersThenRowsInTabsAndCrLf)
{
    EXPECT_EQ(resultsDateText(QDate(2024, 3, 7)), "07. 03. 2024");
    EXPECT_EQ(resultsDateText(QDate(2025, 12, 31)), "31. 12. 2025");

    const QString text = resultsClipboardText(
        QString::fromUtf8("Kolem rybníka"), QDate(2024, 3, 7),
        {"Pořadí", "Jméno", "Tahů", "Max. rychlost", "Poznámky"},
        {{"1", "Bára", "11.500000", " 3.250000", "nový rekord"},
         {"2", "Adam", "+0.500000", " 2.500000", "dojel"},
         {"x", "Cyril", " 7.000000", "10.125000", "havaroval"}});
    EXPECT_EQ(text, QString::fromUtf8("Kolem rybníka (07. 03. 2024)\r\n"
                                      "Pořadí\tJméno\tTahů\tMax. rychlost\tPoznámky\r\n"
                                      "1\tBára\t11.500000\t 3.250000\tnový rekord\r\n"
                                      "2\tAdam\t+0.500000\t 2.500000\tdojel\r\n"
                                      "x\tCyril\t 7.000000\t10.125000\thavaroval\r\n"));
}

TEST(ResultsTable, PlacesNamingNoPlayerSlotAreLeftOut)
{
    RaceState state = rankedRace({{2, PlayerState::Finished, 11}, {5, PlayerState::CrashedOut, 4}});
    state.OrderOfFinish = {2, 0, 11, 5};
    EXPECT_EQ(players(resultRows(state, u'.')), (std::vector<int>{2, 5}));
    state.OrderOfFinish = {0};
    state.newRecordPlayer = 0;
    EXPECT_TRUE(resultRows(state, u'.').empty());
    EXPECT_FALSE(newRecordIsSet(state));
    EXPECT_EQ(relativeMovesText(state, 2, u'.'), std::nullopt);
    EXPECT_EQ(absoluteMovesText(state, 0, u'.'), QString());
}

TEST(ResultsTable, ARecordIsOnlyEverAPersons)
{
    struct Case {
        const char* label;
        std::vector<int> computers;  // of the players 1 (10 moves), 2 (11) and 3 (crashed out)
        double record;
        int holder;                  // newRecordPlayer
        bool handedOver;
        const char* notes[3];        // in the order of the places
    };
    const Case cases[] = {
        {"people only: the winner", {}, 12, 1, true, {"nový rekord", "dojel", "havaroval"}},
        {"the computer won: the best person behind it", {1}, 12, 2, true, {"dojel", "nový rekord", "havaroval"}},
        {"the computer won, the person did not beat the record", {1}, 10.5, 2, false, {"dojel", "dojel", "havaroval"}},
        {"computers only: nobody's record", {1, 2, 3}, 12, 1, false, {"dojel", "dojel", "havaroval"}},
        {"the only person crashed out", {1, 2}, 12, 3, false, {"dojel", "dojel", "havaroval"}},
    };
    for (const Case& c : cases) {
        RaceState state;
        for (PlayerRecord& player : state.players)
            player.state = PlayerState::NoPlayer;
        const Car cars[] = {{1, PlayerState::Finished, 10, 1, "Mistr"}, {2, PlayerState::Finished, 11, 1, "Eva"}, {3, PlayerState::CrashedOut, 4, 1, "Jan"}};
        for (const Car& car : cars) {
            PlayerRecord& player = state.player(car.player);
            player.state = car.state;
            player.moves = car.moves;
            player.name = QString::fromUtf8(car.name);
        }
        for (int number : c.computers)
            state.player(number).driver = DriverKind::Master;
        state.recordMoves = c.record;
        RankPlayers(state);
        EXPECT_EQ(state.newRecordPlayer, c.holder) << c.label;
        EXPECT_EQ(newRecordIsSet(state), c.handedOver) << c.label;
        const std::vector<ResultRow> rows = resultRows(state, u'.');
        ASSERT_EQ(rows.size(), 3u) << c.label;
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(rows[static_cast<std::size_t>(i)].cells[NotesColumn], QString::fromUtf8(c.notes[i])) << c.label << " place " << i + 1;
        // The computer's rows say so beside the name; relative moves are behind the winner still.
        const bool firstIsComputer = !c.computers.empty() && c.computers.front() == 1;
        EXPECT_EQ(rows[0].cells[NameColumn], firstIsComputer ? QStringLiteral("Mistr (počítač)") : QStringLiteral("Mistr")) << c.label;
        EXPECT_EQ(relativeMovesText(state, 2, u'.'), QStringLiteral("+1.000000")) << c.label;
    }
}

TEST(ResultsTable, TheComputerIsMarkedInEnglishToo)
{
    RaceState state;
    ReadLanguageLayout(state);
    state.languageOffset = state.languageStep;
    for (PlayerRecord& player : state.players)
        player.state = PlayerState::NoPlayer;
    state.player(4).state = PlayerState::Finished;
    state.player(4).name = QStringLiteral("Robot");
    state.player(4).driver = DriverKind::Racer;
    RankPlayers(state);
    EXPECT_EQ(resultRows(state, u'.').front().cells[NameColumn], QStringLiteral("Robot (computer)"));
}

}  // namespace
