#include "files/TrackFile.h"
#include "tools/trasovky_tool/ToolCommands.h"

#include <QImage>
#include <QImageWriter>
#include <QSaveFile>

#include <cstdio>

namespace {

QString rgb(ColorValue value)
{
    return QStringLiteral("%1,%2,%3").arg(value & 0xFF).arg((value >> 8) & 0xFF).arg((value >> 16) & 0xFF);
}

QString point(const TrackPoint& p)
{
    return QStringLiteral("%1,%2").arg(p.x).arg(p.y);
}

// One line per text: every line break (CR LF, CR or LF) written as the two characters "\n".
QString oneLine(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QChar('\r'), QChar('\n'));
    text.replace(QStringLiteral("\n"), QStringLiteral("\\n"));
    return text;
}

}  // namespace

void printOut(const QString& text)
{
    std::fputs((text + '\n').toUtf8().constData(), stdout);
}

void printError(const QString& text)
{
    std::fputs((text + '\n').toUtf8().constData(), stderr);
}

bool loadTrackForTool(RaceState& state, const QString& path)
{
    ReadLanguageLayout(state);
    state.languageOffset = 0;
    const TrackFileResult result = ReadTrackFiles(state, path);
    if (result.error == TrackFileError::None)
        return true;
    printError(result.message);
    return false;
}

int infoCommand(const QStringList& arguments)
{
    RaceState state;
    if (!loadTrackForTool(state, arguments.at(0)))
        return ExitFailure;
    printOut("name=" + oneLine(state.trackName));
    printOut(QStringLiteral("width=%1").arg(state.trackWidth));
    printOut(QStringLiteral("height=%1").arg(state.trackHeight));
    printOut(QStringLiteral("stepLength=%1").arg(state.stepLength));
    printOut(QStringLiteral("speedLimit=%1").arg(state.speedLimit));
    printOut("trackBackColor=" + rgb(state.trackBackColor));
    printOut("crashColor=" + rgb(state.crashColor));
    printOut(QStringLiteral("checkpointCount=%1").arg(state.checkpointCount));
    for (size_t k = 0; k < state.checkpoints.size(); ++k) {
        const CheckpointColors& checkpoint = state.checkpoints[k];
        printOut(QStringLiteral("checkpoint%1=").arg(k + 1) + rgb(checkpoint.firstColor) + ';' + rgb(checkpoint.secondColor));
    }
    printOut(QStringLiteral("startCount=%1").arg(state.startCount));
    printOut("startLine=" + point(state.startLine[0]) + ';' + point(state.startLine[1]));
    printOut("description=" + oneLine(state.trackDescription));
    return ExitOk;
}

namespace {

// The raster as an image of at most 256 palette colours when it has no more (a track picture is a
// few flat colours): a third of the bytes to filter and deflate, and the same pixels. Otherwise the
// raster as it is.
QImage withPaletteIfFewColours(const QImage& raster)
{
    QImage indexed(raster.size(), QImage::Format_Indexed8);
    if (raster.format() != QImage::Format_RGB32 || indexed.isNull())
        return raster;
    QList<QRgb> palette;
    QRgb lastColour = 0;
    uchar lastIndex = 0;
    bool anyColour = false;
    for (int y = 0; y < raster.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(raster.constScanLine(y));
        uchar* out = indexed.scanLine(y);
        for (int x = 0; x < raster.width(); ++x) {
            const QRgb colour = in[x];
            if (!anyColour || colour != lastColour) {
                const qsizetype found = palette.indexOf(colour);
                if (found >= 0) {
                    lastIndex = static_cast<uchar>(found);
                } else if (palette.size() == 256) {
                    return raster;
                } else {
                    lastIndex = static_cast<uchar>(palette.size());
                    palette.append(colour);
                }
                lastColour = colour;
                anyColour = true;
            }
            out[x] = lastIndex;
        }
    }
    indexed.setColorTable(palette);
    return indexed;
}

}  // namespace

int renderCommand(const QStringList& arguments)
{
    RaceState state;
    if (!loadTrackForTool(state, arguments.at(0)))
        return ExitFailure;
    // Written whole or not at all: an old picture at the path stays until the new one is complete.
    QSaveFile file(arguments.at(1));
    QImageWriter writer(&file, "png");
    // The raster is a few flat colours, which deflate's fastest level already packs well; the
    // default level spends most of the writing time for a file about half as large. Qt takes the
    // level as 0-100 and scales it to zlib's 0-9: 20 is level 1.
    writer.setCompression(20);
    if (!file.open(QIODevice::WriteOnly) || !writer.write(withPaletteIfFewColours(state.trackRaster.image()))
        || !file.commit()) {
        printError(QStringLiteral("Cannot write %1: %2").arg(arguments.at(1), file.errorString()));
        return ExitFailure;
    }
    return ExitOk;
}
