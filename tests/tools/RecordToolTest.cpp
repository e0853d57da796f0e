#include "files/RecordChecksum.h"
#include "files/TrackFile.h"
#include "shell/NumberFormat.h"
#include "shell/Windows1250.h"
#include "tools/MetafileWriter.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <string>

namespace {

// Standard output and error as UTF-8, so that a failure prints them as text.
struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

ToolRun runTool(const QStringList& arguments, const QString& locale = QStringLiteral("C"))
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), locale);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TRASOVKY_TOOL), arguments);
    EXPECT_TRUE(process.waitForFinished(30000));
    return {process.exitCode(), process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
}

TEST(RecordTool, ChecksumPrintsTheRecordChecksum)
{
    struct Case {
        const char* moves;
        const char* ride;
        const char* out;
    };
    const Case cases[] = {
        {"1", "10:20:", "267074\n"},
        {"2.5", "10:20:13:24:19:30:", "211530\n"},
        {"2,5", "10:20:13:24:19:30:", "211530\n"},
        {"2.5000004", "10:20:13:24:19:30:", "211530\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.moves);
        const ToolRun run = runTool({"checksum", c.moves, c.ride});
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out, c.out);
    }
}

// The moves are summed without their separator, so the user's locale changes nothing.
TEST(RecordTool, ChecksumIsTheSameUnderADecimalCommaLocale)
{
    ASSERT_EQ(QLocale(QStringLiteral("cs_CZ")).decimalPoint(), QStringLiteral(","));
    for (const char* locale : {"cs_CZ.UTF-8", "de_DE.UTF-8"}) {
        SCOPED_TRACE(locale);
        const ToolRun run = runTool({"checksum", "2.5", "10:20:13:24:19:30:"}, QString::fromLatin1(locale));
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out, "211530\n");
    }
}

TEST(RecordTool, ChecksumRefusesMovesThatAreNoNumber)
{
    for (const char* moves : {"", "abc", "1e3", "2.5.1", "1 2"}) {
        SCOPED_TRACE(moves);
        const ToolRun run = runTool({"checksum", moves, "10:20:"});
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.out.empty());
        EXPECT_FALSE(run.err.empty());
    }
    const ToolRun run = runTool({"checksum", "1"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.starts_with("Usage:"));
}

// A 100 × 50 straight with grey road, the barrier from x = 90 on and the finish (its only
// checkpoint) as a white band at x 60-61 followed by a black one at 62-63. Step length 10.
// The ride below drives through it and crosses the finish at 12 of the last move's 16 samples.
class RecordCheckToolTest : public ::testing::Test {
protected:
    static constexpr const char* FinishingRide = "30:20:38:20:50:20:66:20:";

    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        trackPath_ = dir_.filePath(QStringLiteral("rovinka.trt"));
        recordPath_ = recordFilePathFor(trackPath_);
        // One start position, in the middle of the start line: (30, 20).
        write(trackPath_, "Rovinka|100|50|10|0|128128128|000160000|1|255255255|000000000|1|30|5|30|35|");
        MetafileWriter picture;
        picture.setPlaceable(QRect(0, 0, 100, 50), 96);
        picture.setWindowOrg(0, 0);
        picture.setWindowExt(100, 50);
        picture.selectObject(picture.createPen(5, 0, 0));
        const std::pair<QRect, quint32> areas[] = {{QRect(90, 0, 10, 50), colorValue(0, 160, 0)},
                                                   {QRect(60, 0, 2, 50), colorValue(255, 255, 255)},
                                                   {QRect(62, 0, 2, 50), colorValue(0, 0, 0)}};
        for (const auto& [area, color] : areas) {
            picture.selectObject(picture.createBrush(0, color));
            picture.rectangle(area);
        }
        write(trackPicturePathFor(trackPath_), picture.bytes());
    }

    void write(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    // A record file whose checksum fits its moves and ride, so that only the fault under test is wrong.
    static QByteArray sealedRecord(const char* moves, const char* ride)
    {
        const QString movesText = QString::fromLatin1(moves);
        const QString rideText = QString::fromLatin1(ride);
        const qint32 checksum = RecordChecksum(parseDecimal(movesText).value_or(0), rideText);
        return encodeWindows1250(QString::number(checksum) + QStringLiteral("|Jana|dnes|") + movesText + u'|' +
                                 rideText + QStringLiteral("|255|Pěkná | jízda"));
    }

    static QByteArray contents(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QStringList filesInDir() const
    {
        return QDir(dir_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

    QTemporaryDir dir_;
    QString trackPath_;
    QString recordPath_;
};

TEST_F(RecordCheckToolTest, PrintsTheCheckCodeAndLeavesTheRecordInPlace)
{
    struct Case {
        const char* what;
        const char* moves;
        const char* ride;
        const char* out;
        int exitCode;
    };
    const Case cases[] = {
        {"valid", "2.75", FinishingRide, "CheckCode=0\nthe record is valid\n", 0},
        {"valid, written with a decimal comma", "2,75", FinishingRide, "CheckCode=0\nthe record is valid\n", 0},
        {"a move too long", "2.75", "30:20:41:20:50:20:66:20:",
         "CheckCode=6\na ride that does not begin at a start position, a point outside the circle of allowed "
         "moves or beyond the speed limit, or a checkpoint's exit colour met without its entry colour\n", 1},
        {"begins off the start position", "1.75", "38:20:50:20:66:20:",
         "CheckCode=6\na ride that does not begin at a start position, a point outside the circle of allowed "
         "moves or beyond the speed limit, or a checkpoint's exit colour met without its entry colour\n", 1},
        {"on after the finish", "3.75", "30:20:38:20:50:20:66:20:70:20:",
         "CheckCode=5\na barrier crash at a speed of 3 or more, or the finish crossed before the last point\n", 1},
        {"stored moves differ", "3.75", FinishingRide,
         "CheckCode=7\nthe ride never crosses the finish, or its moves differ from the stored ones\n", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QByteArray record = sealedRecord(c.moves, c.ride);
        write(recordPath_, record);
        const ToolRun run = runTool({"check", trackPath_});
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
        EXPECT_EQ(run.out, c.out);
        EXPECT_TRUE(run.err.empty());
        EXPECT_EQ(contents(recordPath_), record);
        EXPECT_FALSE(QFile::exists(recordPath_ + ".bak"));
    }
}

// A hand-made record on a copy of Kolem rybníka whose real record is 37.07 moves: three points
// just before the finish, 1.3 moves, sealed with the checksum the tool itself computes.
TEST(RecordTool, CheckRefusesAForgedRideThatDoesNotBeginAtTheStart)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString bundled = QStringLiteral(TRASOVKY_SOURCE_DIR "/tracks/Rybnik");
    for (const char* extension : {".trt", ".wmf"})
        ASSERT_TRUE(QFile::copy(bundled + extension, dir.filePath(QStringLiteral("Rybnik") + extension)));
    const ToolRun sum = runTool({"checksum", "1.3", "365:544:375:544:385:544:"});
    ASSERT_EQ(sum.exitCode, 0);
    QFile record(dir.filePath("Rybnik.rek"));
    ASSERT_TRUE(record.open(QIODevice::WriteOnly));
    record.write(QByteArray::fromStdString(sum.out).trimmed() + "|Podvodnik|dnes|1.3|365:544:375:544:385:544:|255|");
    record.close();
    const ToolRun run = runTool({"check", dir.filePath("Rybnik.trt")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out.substr(0, 12), "CheckCode=6\n");
}

TEST_F(RecordCheckToolTest, TrackWithoutARecordExitsWithThree)
{
    const ToolRun run = runTool({"check", trackPath_});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_EQ(run.out, "no record\n");
    EXPECT_TRUE(run.err.empty());
}

// The game's message goes to standard error; unlike the game, the tool moves nothing aside.
TEST_F(RecordCheckToolTest, RecordThatCannotBeUsedIsReportedAndLeftAlone)
{
    struct Case {
        const char* what;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"checksum does not fit", "267075|Jana|dnes|2.75|30:20:38:20:50:20:66:20:|255|"},
        {"ride without its closing colon", sealedRecord("2.75", "30:20:38:20:50:20:66:20")},
        {"truncated", "267074|Jana|dnes|2.7"},
        {"binary bytes", QByteArray("\x00\xff|\x81|\x90|\xfe|\x01:\x02:|\x00|", 16)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        write(recordPath_, c.bytes);
        const ToolRun run = runTool({"check", trackPath_});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.out.empty());
        EXPECT_EQ(run.err, ("Soubor " + recordPath_ + " obsahuje neplatné údaje nebo je poškozen!\n").toStdString());
        EXPECT_EQ(contents(recordPath_), c.bytes);
        EXPECT_FALSE(QFile::exists(recordPath_ + ".bak"));
    }

    // A directory in the record file's place cannot be read, not even by root.
    ASSERT_TRUE(QFile::remove(recordPath_));
    ASSERT_TRUE(QDir().mkdir(recordPath_));
    const ToolRun run = runTool({"check", trackPath_});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, ("Soubor " + recordPath_ + " nenalezen!\n").toStdString());
    EXPECT_TRUE(QFileInfo(recordPath_).isDir());
    EXPECT_EQ(filesInDir(), (QStringList{"rovinka.rek", "rovinka.trt", "rovinka.wmf"}));
}

TEST_F(RecordCheckToolTest, TrackThatCannotBeLoadedIsReported)
{
    write(recordPath_, sealedRecord("2.75", FinishingRide));
    ASSERT_TRUE(QFile::remove(trackPicturePathFor(trackPath_)));
    const ToolRun run = runTool({"check", trackPath_});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.empty());
    EXPECT_EQ(run.err, ("Soubor " + trackPicturePathFor(trackPath_) + " nenalezen!\n").toStdString());
    EXPECT_TRUE(QFile::exists(recordPath_));
}

TEST_F(RecordCheckToolTest, CheckTakesOneTrack)
{
    for (const QStringList& arguments : {QStringList{"check"}, QStringList{"check", trackPath_, trackPath_}}) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const ToolRun usage = runTool(arguments);
        EXPECT_EQ(usage.exitCode, 2);
        EXPECT_TRUE(usage.err.starts_with("Usage:"));
    }
}

}  // namespace
