// make_help SOURCE.txt TRACK.trt RESOURCES LOGO OUT.doc [PICTURES]
//
// Writes the help document: the help text SOURCE.txt (UTF-8, the markup of
// help_maker/HelpRtf.h) as RTF, which word processors open also under the name help.doc, with its
// pictures embedded: the circle of allowed moves (drawn here), the track TRACK.trt with its record
// ride, the logo LOGO and the three pointers of the track view from the folder RESOURCES. With
// PICTURES, every picture is also written there as PNG to look at. Run it with
// QT_QPA_PLATFORM=offscreen; the QGuiApplication is only there for the fonts.

#include "files/RecordFile.h"
#include "files/TrackFile.h"
#include "race/RaceState.h"
#include "tools/help_maker/HelpPictures.h"
#include "tools/help_maker/HelpRtf.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QSaveFile>

#include <cstdio>

namespace {

void printError(const QString& text)
{
    std::fputs((text + '\n').toUtf8().constData(), stderr);
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    if (arguments.size() != 5 && arguments.size() != 6) {
        printError(QStringLiteral("usage: make_help SOURCE.txt TRACK.trt RESOURCES LOGO OUT.doc [PICTURES]"));
        return 2;
    }
    const QString& sourcePath = arguments[0];
    const QString& trackPath = arguments[1];
    const QDir resources(arguments[2]);
    const QString& logoPath = arguments[3];
    const QString& outPath = arguments[4];

    QFile sourceFile(sourcePath);
    if (!sourceFile.open(QIODevice::ReadOnly)) {
        printError(QStringLiteral("Cannot read %1: %2").arg(sourcePath, sourceFile.errorString()));
        return 1;
    }
    const QString source = QString::fromUtf8(sourceFile.readAll());

    RaceState state;
    ReadLanguageLayout(state);
    const TrackFileResult track = ReadTrackFiles(state, trackPath);
    if (track.error != TrackFileError::None) {
        printError(track.message);
        return 1;
    }
    readRecordFile(state, recordFilePath(state));  // without a record the track is drawn alone

    HelpPictures pictures;
    pictures[QStringLiteral("circle")] = {drawMoveCircle(), false};
    pictures[QStringLiteral("track")] = {drawTrackWithRide(state, 640), true};
    QImage logo(logoPath);
    if (!logo.isNull() && logo.width() > 480)
        logo = logo.scaledToWidth(480, Qt::SmoothTransformation);
    pictures[QStringLiteral("logo")] = {logo, true};
    for (const char* pointer : {"clear", "blocked", "forbidden"}) {
        const QString name = QStringLiteral("cursor_%1.xpm").arg(QLatin1String(pointer));
        pictures[QStringLiteral("pointer-%1").arg(QLatin1String(pointer))] = {QImage(resources.filePath(name)), false};
    }

    const HelpDocument document = helpRtf(source, pictures);
    for (const QString& problem : document.problems)
        printError(QStringLiteral("%1: %2").arg(sourcePath, problem));
    if (!document.problems.isEmpty())
        return 1;

    QSaveFile out(outPath);
    if (!out.open(QIODevice::WriteOnly) || out.write(document.rtf) != document.rtf.size() || !out.commit()) {
        printError(QStringLiteral("Cannot write %1: %2").arg(outPath, out.errorString()));
        return 1;
    }
    if (arguments.size() == 6) {
        const QDir folder(arguments[5]);
        for (const auto& [name, picture] : pictures)
            picture.image.save(folder.filePath(name + QStringLiteral(".png")));
    }
    return 0;
}
