#include "files/TrackFile.h"
#include "files/TrackPicture.h"
#include "shell/Windows1250.h"
#include "tools/MetafileWriter.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ToolRun runTool(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(TRASOVKY_TOOL), arguments);
    EXPECT_TRUE(process.waitForFinished(30000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

class TrasovkyToolTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        path_ = dir_.filePath("kolečko.trt");
    }

    void write(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    // A 60 × 40 track: a blue band over the left half of a picture of 120 × 80 units.
    void writeTrack()
    {
        write(path_, encodeWindows1250(QStringLiteral(
                         "Kolečko|60|40|10|4|000128000|000255000|2|255000000|000000255|255255000|000255255|"
                         "5|1|2|59|39|Krátká trať.\r\nDruhý řádek | s čarou")));
        MetafileWriter picture;
        picture.setPlaceable(QRect(0, 0, 120, 80), 96);
        picture.setWindowOrg(0, 0);
        picture.setWindowExt(120, 80);
        picture.selectObject(picture.createPen(5, 0, 0));
        picture.selectObject(picture.createBrush(0, colorValue(0, 0, 255)));
        picture.rectangle(QRect(0, 0, 60, 80));
        write(trackPicturePathFor(path_), picture.bytes());
    }

    QTemporaryDir dir_;
    QString path_;
};

TEST_F(TrasovkyToolTest, InfoPrintsEveryFieldAsKeyAndValue)
{
    writeTrack();
    const ToolRun run = runTool({"info", path_});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out,
              "name=Kolečko\n"
              "width=60\n"
              "height=40\n"
              "stepLength=10\n"
              "speedLimit=40\n"
              "trackBackColor=0,128,0\n"
              "crashColor=0,255,0\n"
              "checkpointCount=2\n"
              "checkpoint1=255,0,0;0,0,255\n"
              "checkpoint2=255,255,0;0,255,255\n"
              "startCount=5\n"
              "startLine=1,2;59,39\n"
              "description=Krátká trať.\\nDruhý řádek | s čarou\n");
}

TEST_F(TrasovkyToolTest, RenderWritesTheTrackRaster)
{
    writeTrack();
    const QString out = dir_.filePath("raster.png");
    const ToolRun run = runTool({"render", path_, out});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QImage image(out);
    ASSERT_EQ(image.size(), QSize(60, 40));
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(29, 39), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(30, 0), qRgb(0, 128, 0));  // background colour where the picture draws nothing
    EXPECT_EQ(image.pixel(59, 39), qRgb(0, 128, 0));
}

// The PNG holds a palette when the raster has at most 256 colours; a picture of more (here 300
// one-unit columns of their own colour) is written with its colours as they are.
TEST_F(TrasovkyToolTest, RenderKeepsEveryColourOfAPictureOfManyColours)
{
    const struct {
        int columns;
        QImage::Format format;
    } cases[] = {{256, QImage::Format_Indexed8}, {300, QImage::Format_RGB32}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.columns);
        write(path_, encodeWindows1250(QStringLiteral("Duha|%1|10|10|0|000128000|000255000|1|255000000|000000255|"
                                                      "1|1|1|2|2|").arg(c.columns)));
        MetafileWriter picture;
        picture.setPlaceable(QRect(0, 0, c.columns, 10), 96);
        picture.setWindowOrg(0, 0);
        picture.setWindowExt(c.columns, 10);
        picture.selectObject(picture.createPen(5, 0, 0));
        for (int x = 0; x < c.columns; ++x) {
            const int brush = picture.createBrush(0, colorValue(x % 256, x / 256, 77));
            picture.selectObject(brush);
            picture.rectangle(QRect(x, 0, 1, 10));
            picture.deleteObject(brush);
        }
        write(trackPicturePathFor(path_), picture.bytes());
        const QString out = dir_.filePath("colours.png");
        const ToolRun run = runTool({"render", path_, out});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QImage image(out);
        ASSERT_EQ(image.size(), QSize(c.columns, 10));
        EXPECT_EQ(image.format() == QImage::Format_Indexed8, c.format == QImage::Format_Indexed8);
        for (int x = 0; x < c.columns; ++x)
            ASSERT_EQ(image.pixel(x, 5), qRgb(x % 256, x / 256, 77)) << x;
    }
}

TEST_F(TrasovkyToolTest, FailuresPrintTheGamesMessage)
{
    ToolRun run = runTool({"info", path_});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "Soubor " + path_ + " nenalezen!\n");
    EXPECT_TRUE(run.out.isEmpty());

    writeTrack();
    write(path_, "Kolečko|60|40|0|");
    run = runTool({"render", path_, dir_.filePath("raster.png")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "Soubor " + path_ + " obsahuje neplatné údaje nebo je poškozen!\n");
    EXPECT_FALSE(QFile::exists(dir_.filePath("raster.png")));
}

TEST_F(TrasovkyToolTest, WrongUsageExitsWithTwo)
{
    for (const QStringList& arguments : {QStringList{}, QStringList{"info"}, QStringList{"render", path_},
                                         QStringList{"paint", path_}, QStringList{"info", path_, path_}}) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const ToolRun run = runTool(arguments);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.err.startsWith("Usage:"));
    }
}

}  // namespace
