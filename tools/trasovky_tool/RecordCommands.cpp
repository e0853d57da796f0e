#include "files/RecordCheck.h"
#include "files/RecordChecksum.h"
#include "files/RecordFile.h"
#include "shell/NumberFormat.h"
#include "tools/trasovky_tool/ToolCommands.h"

namespace {

// What a check code says, for the line below "CheckCode=N".
QString checkCodeMeaning(CheckCode code)
{
    switch (code) {
    case CheckCode::RecordValid:
        return QStringLiteral("the record is valid");
    case CheckCode::LeftTrackTooFast:
        return QStringLiteral("a move leaves the track picture at a speed of 3 or more");
    case CheckCode::NotAtRestingPlace:
        return QStringLiteral("after a crash the next point is not the crash's resting place");
    case CheckCode::WrongCheckpointEntered:
        return QStringLiteral("a checkpoint's entry colour is met out of order");
    case CheckCode::CrashOutOrFinishTooSoon:
        return QStringLiteral("a barrier crash at a speed of 3 or more, or the finish crossed before the last point");
    case CheckCode::NotAnAllowedMove:
        return QStringLiteral("a ride that does not begin at a start position, a point outside the circle of allowed "
                              "moves or beyond the speed limit, or a checkpoint's exit colour met without its entry colour");
    case CheckCode::NotFinished:
        return QStringLiteral("the ride never crosses the finish, or its moves differ from the stored ones");
    case CheckCode::CheckFailed:
        break;
    }
    return QStringLiteral("the ride cannot be checked: a number out of range or a ride too long");
}

}  // namespace

int checkCommand(const QStringList& arguments)
{
    RaceState state;
    if (!loadTrackForTool(state, arguments.at(0)))
        return ExitFailure;
    // Only reads: a damaged record is reported, never moved aside as the game does.
    const RecordReadResult read = readRecordFile(state, recordFilePath(state));
    switch (read.error) {
    case RecordReadError::None:
        break;
    case RecordReadError::Missing:
        printOut(QStringLiteral("no record"));
        return ExitNoRecord;
    case RecordReadError::Unreadable:
    case RecordReadError::Invalid:
        printError(read.message);
        return ExitFailure;
    }
    const CheckCode code = CheckRecord(state);
    printOut(QStringLiteral("CheckCode=%1").arg(static_cast<int>(code)));
    printOut(checkCodeMeaning(code));
    return code == CheckCode::RecordValid ? ExitOk : ExitFailure;
}

int checksumCommand(const QStringList& arguments)
{
    const std::optional<double> moves = parseDecimal(arguments.at(0));
    if (!moves) {
        printError(QStringLiteral("Not a number of moves: %1").arg(arguments.at(0)));
        return ExitUsage;
    }
    printOut(QString::number(RecordChecksum(*moves, arguments.at(1))));
    return ExitOk;
}
