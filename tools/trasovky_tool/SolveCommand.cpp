#include "files/RecordCheck.h"
#include "files/RecordFile.h"
#include "race/RideGuide.h"
#include "race/RideSearch.h"
#include "race/ResultsTable.h"
#include "race/StartPositions.h"
#include "race/TrackDistances.h"
#include "shell/IntegerText.h"
#include "shell/NumberFormat.h"
#include "tools/trasovky_tool/ToolCommands.h"

#include <QDate>
#include <QElapsedTimer>

#include <optional>

namespace {

// The widths of the solver's passes from the one start asked for; every start of a track tried
// in turn gets the narrow ones, and the start that did best the widest too.
const std::vector<int> FullSchedule{250, 1000, 4000};
const std::vector<int> ScreeningSchedule{250, 1000};

struct SolveOptions {
    QString track;
    std::optional<int> start;  // 1-based; nothing: every start position
    QString write;
};

std::optional<SolveOptions> parseOptions(const QStringList& arguments)
{
    SolveOptions options;
    bool haveStart = false, haveWrite = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == QLatin1String("--start") && !haveStart && i + 1 < arguments.size()) {
            const std::optional<qint32> number = parseInteger<qint32>(arguments.at(++i));
            if (!number || *number < 1) {
                printError(QStringLiteral("Not a start position: %1").arg(arguments.at(i)));
                return std::nullopt;
            }
            options.start = *number;
            haveStart = true;
        } else if (argument == QLatin1String("--write") && !haveWrite && i + 1 < arguments.size()) {
            options.write = arguments.at(++i);
            haveWrite = !options.write.isEmpty();
            if (!haveWrite) {
                printError(QStringLiteral("No file to write the ride to"));
                return std::nullopt;
            }
        } else if (!argument.startsWith(u'-') && options.track.isEmpty()) {
            options.track = argument;
        } else {
            printError(QStringLiteral("Unknown or repeated argument: %1").arg(argument));
            return std::nullopt;
        }
    }
    if (options.track.isEmpty()) {
        printError(QStringLiteral("No track given"));
        return std::nullopt;
    }
    return options;
}

QString fixed(double value)
{
    return formatFixed6(value, u'.');
}

// The ride as the record check replays it: element 0 a placeholder, then every position.
void putRideAsRecord(RaceState& state, const FoundRide& ride)
{
    state.recordRide.assign(1, TrackPoint{});
    state.recordRide.insert(state.recordRide.end(), ride.points.begin(), ride.points.end());
    state.recordMoves = ride.moves;
}

// The ride as player 1's, the new record's holder: a segment from every position but the last,
// the car standing at the last one.
void putRideAsNewRecord(RaceState& state, const FoundRide& ride)
{
    PlayerRecord& player = state.player(1);
    player.color = 0x0000C0;
    player.segmentStarts.assign(1, TrackPoint{});
    player.segmentStarts.insert(player.segmentStarts.end(), ride.points.begin(), ride.points.end() - 1);
    player.posX = ride.points.back().x;
    player.posY = ride.points.back().y;
    state.newRecordPlayer = 1;
    state.newRecordMoves = ride.moves;
}

}  // namespace

int solveCommand(const QStringList& arguments)
{
    const std::optional<SolveOptions> options = parseOptions(arguments);
    if (!options)
        return ExitUsage;
    RaceState state;
    if (!loadTrackForTool(state, options->track))
        return ExitFailure;
    const std::vector<TrackPoint> starts = startPoints(state);
    if (options->start && *options->start > static_cast<int>(starts.size())) {
        printError(QStringLiteral("No start position %1: the track has %2").arg(*options->start).arg(starts.size()));
        return ExitUsage;
    }

    QElapsedTimer timer;
    timer.start();
    const TrackDistances distances(state);
    const RideGuide guide(state);
    RideSolverSettings settings;
    int bestStart = 0;
    std::optional<FoundRide> best;
    const auto solveFrom = [&](int start, const std::vector<int>& widths) {
        settings.beamWidths = widths;
        std::optional<FoundRide> ride = solveRide(state, distances, guide, starts[static_cast<std::size_t>(start - 1)], settings);
        if (ride && (!best || ride->moves < best->moves)) {
            best = std::move(ride);
            bestStart = start;
        }
    };
    if (options->start) {
        solveFrom(*options->start, FullSchedule);
    } else {
        for (int start = 1; start <= static_cast<int>(starts.size()); ++start)
            solveFrom(start, ScreeningSchedule);
        if (best)
            solveFrom(bestStart, {FullSchedule.back()});
    }
    const double seconds = static_cast<double>(timer.elapsed()) / 1000.0;
    if (!best) {
        printError(QStringLiteral("no ride found"));
        return ExitFailure;
    }
    // Every ride goes through the record check before it is shown or stored.
    putRideAsRecord(state, *best);
    const CheckCode code = CheckRecord(state);
    if (code != CheckCode::RecordValid) {
        printError(QStringLiteral("The ride found fails the record check with code %1").arg(static_cast<int>(code)));
        return ExitFailure;
    }

    // The lower bound from the distances where they are exact, else from straight lines.
    const TrackPoint start = starts[static_cast<std::size_t>(bestStart - 1)];
    const bool exact = distances.exact();
    const std::uint32_t steps = exact ? distances.remaining(0, start.x, start.y) : straightLineSteps(state, start);
    printOut(QStringLiteral("start=%1").arg(bestStart));
    printOut(QStringLiteral("moves=") + fixed(best->moves));
    printOut(QStringLiteral("lowerBound=") + fixed(movesLowerBound(state, steps)));
    printOut(QStringLiteral("lowerBoundFrom=") + (exact ? QStringLiteral("distances") : QStringLiteral("straightLines")));
    printOut(QStringLiteral("points=%1").arg(best->points.size()));
    printOut(QStringLiteral("seconds=") + formatFixed(seconds, 1, u'.'));

    if (!options->write.isEmpty()) {
        putRideAsNewRecord(state, *best);
        const RecordWriteResult written =
            writeRecordFileTo(state, options->write, QStringLiteral("Trasovky"), resultsDateText(QDate::currentDate()),
                              QStringLiteral("Nejrychlejší jízda, kterou našlo hledání trasovky-tool solve."));
        if (written.error != RecordWriteError::None) {
            printError(written.message);
            return ExitFailure;
        }
    }
    return ExitOk;
}
