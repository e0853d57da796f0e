// make_track [--preview OUT.png] SOURCE.track OUTPUT_DIR
//
// Makes a track from its description: writes OUTPUT_DIR/NAME.trt and OUTPUT_DIR/NAME.wmf, NAME
// being the description's base name. With --preview it also draws the picture's shapes straight
// into a PNG image. The same description always gives the same bytes.

#include "tools/track_maker/TrackDesign.h"
#include "tools/track_maker/TrackFiles.h"
#include "tools/track_maker/TrackLayout.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>
#include <QStringList>

#include <cstdio>
#include <memory>

namespace {

int fail(const QString& text)
{
    std::fprintf(stderr, "make_track: %s\n", qPrintable(text));
    return 1;
}

bool save(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

}  // namespace

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QString previewPath;
    if (arguments.size() >= 2 && arguments[0] == u"--preview") {
        previewPath = arguments[1];
        arguments = arguments.mid(2);
    }
    if (arguments.size() != 2)
        return fail(QStringLiteral("usage: make_track [--preview OUT.png] SOURCE.track OUTPUT_DIR"));
    const QString sourcePath = arguments[0];
    const QDir outputDir(arguments[1]);

    QFile source(sourcePath);
    if (!source.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1").arg(sourcePath));
    QString error;
    const auto design = parseTrackDesign(QString::fromUtf8(source.readAll()), &error);
    if (!design)
        return fail(QStringLiteral("%1: %2").arg(sourcePath, error));
    QStringList problems;
    const TrackLayout layout = layOutTrack(*design, problems);

    // The preview is drawn also for a track with problems: it shows where they are.
    if (!previewPath.isEmpty()) {
        // Text needs a font, and fonts need the application object.
        if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication application(argc, argv);
        if (!previewImage(layout.scene).save(previewPath, "PNG"))
            return fail(QStringLiteral("cannot write %1").arg(previewPath));
    }
    if (!problems.isEmpty()) {
        for (const QString& problem : problems)
            fail(QStringLiteral("%1: %2").arg(sourcePath, problem));
        return 1;
    }

    const QString name = QFileInfo(sourcePath).completeBaseName();
    if (!save(outputDir.filePath(name + ".trt"), definitionFile(layout)) ||
        !save(outputDir.filePath(name + ".wmf"), pictureFile(layout.scene)))
        return fail(QStringLiteral("cannot write the track into %1").arg(outputDir.path()));
    return 0;
}
