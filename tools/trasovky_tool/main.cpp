// trasovky-tool: the game's command-line companion for track and record files.
//
//   trasovky-tool info TRACK.trt          the track's fields, one key=value line each
//   trasovky-tool render TRACK.trt OUT.png  the track raster the collision test reads, as a PNG
//   trasovky-tool check TRACK.trt         replays the track's record with the record check, prints
//                                         CheckCode=N and what it means; never moves the record file
//   trasovky-tool checksum MOVES RIDE     the record file checksum of a move count ("." or ",") and a ride text
//   trasovky-tool solve TRACK.trt [--start N] [--write FILE.rek]
//                                         searches the fastest ride it can from start position N
//                                         (every one when not given), prints it with the lower bound
//                                         on any ride's moves; --write stores it as a record file
//
// Exit codes: 0 done (check: the record is valid; solve: a ride was found), 1 the files could not
// be used (the game's own message on standard error), the record fails its check or no ride was
// found, 2 wrong usage, 3 the track has no record (check).

#include "tools/trasovky_tool/ToolCommands.h"

#include <QGuiApplication>

#include <array>

namespace {

struct Command {
    const char* name;
    qsizetype fewestArguments;
    qsizetype mostArguments;
    const char* usage;
    int (*run)(const QStringList&);
};

constexpr std::array commands = {
    Command{"info", 1, 1, "info TRACK.trt", infoCommand},
    Command{"render", 2, 2, "render TRACK.trt OUT.png", renderCommand},
    Command{"check", 1, 1, "check TRACK.trt", checkCommand},
    Command{"checksum", 2, 2, "checksum MOVES RIDE", checksumCommand},
    Command{"solve", 1, 5, "solve TRACK.trt [--start N] [--write FILE.rek]", solveCommand},
};

int usage()
{
    QString text = QStringLiteral("Usage:");
    for (const Command& command : commands)
        text += QStringLiteral("\n  trasovky-tool ") + command.usage;
    printError(text);
    return ExitUsage;
}

}  // namespace

// Qt's own notes about the environment (a missing runtime directory, font fallbacks) are not the
// tool's output: standard error carries only the program's messages. Fatal ones still go out.
static void dropQtNotes(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        printError(text);
}

int main(int argc, char** argv)
{
    qInstallMessageHandler(dropQtNotes);
    // Fonts for the pictures' texts need a GUI application, never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QStringList arguments = application.arguments().mid(1);
    if (arguments.isEmpty())
        return usage();
    const QString name = arguments.takeFirst();
    for (const Command& command : commands) {
        if (name == QLatin1String(command.name))
            return arguments.size() >= command.fewestArguments && arguments.size() <= command.mostArguments
                       ? command.run(arguments)
                       : usage();
    }
    return usage();
}
