#pragma once

#include "race/RaceState.h"

#include <QString>
#include <QStringList>

// Exit codes of trasovky-tool.
inline constexpr int ExitOk = 0;
inline constexpr int ExitFailure = 1;  // solve: also when no ride was found
inline constexpr int ExitUsage = 2;
inline constexpr int ExitNoRecord = 3;  // check: the track has no record file

void printOut(const QString& text);  // a line on standard output, UTF-8
void printError(const QString& text);  // a line on standard error, UTF-8

// Reads the track at path into state in the first language; on failure prints the game's own
// message for it to standard error and returns false.
bool loadTrackForTool(RaceState& state, const QString& path);

// The commands; arguments are those after the command's name, already counted.
int infoCommand(const QStringList& arguments);
int renderCommand(const QStringList& arguments);
int checkCommand(const QStringList& arguments);
int checksumCommand(const QStringList& arguments);
int solveCommand(const QStringList& arguments);
