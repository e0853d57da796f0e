#include "files/RecordChecksum.h"
#include "files/RecordFile.h"
#include "shell/MessageBoxStyle.h"
#include "shell/NumberFormat.h"
#include "shell/Windows1250.h"
#include "tests/support/RecordingGameWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// The record part of the new race dialog, as a test sees it.
struct FakeRecordFields : RecordFields {
    QString shown;
    std::optional<bool> buttonsEnabled;
    void showRecord(const QString& text) override { shown = text; }
    void setRecordButtonsEnabled(bool enabled) override { buttonsEnabled = enabled; }
};

QByteArray bytesOf(const QString& text)
{
    return encodeWindows1250(text);
}

// A record file whose checksum fits its moves and ride, so that only the damage under test is wrong.
QByteArray sealedRecord(const QString& moves, const QString& ride, const QString& rest = QStringLiteral("|255|komentář"))
{
    const qint32 checksum = RecordChecksum(parseDecimal(moves).value_or(0), ride);
    return bytesOf(QString::number(checksum) + QStringLiteral("|Jana|1. 5. 2024|") + moves + u'|' + ride + rest);
}

// The separator a record file written here keeps its moves with.
QChar storedSeparator()
{
    return storableDecimalSeparator(systemDecimalSeparator());
}

QString sixDecimals(const char* whole)
{
    return QString::fromLatin1(whole) + systemDecimalSeparator() + QStringLiteral("000000");
}

// While it lives, files of this process cannot grow past the given size: a write beyond it fails
// (SIGXFSZ, which would end the process, is ignored meanwhile).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = std::min(bytes, saved_.rlim_max);
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = SIG_DFL;
};

class RecordFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        path_ = dir_.filePath(QStringLiteral("okruh.rek"));
        ReadLanguageLayout(state_);
        state_.languageOffset = 0;
        state_.trackPicturePath = dir_.filePath(QStringLiteral("okruh.wmf"));
        // A record from an earlier track, which a failed read must forget (all but the colour).
        state_.recordHolder = QStringLiteral("Starý");
        state_.recordDate = QStringLiteral("včera");
        state_.recordMoves = 9;
        state_.recordRide = {{}, {1, 1}, {2, 2}};
        state_.recordColor = 77;
        state_.recordComment = QStringLiteral("starý komentář");
    }

    void write(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    static QByteArray contents(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    void read() { ReadRecord(state_, window_, &fields_, path_); }

    void expectCleared()
    {
        EXPECT_EQ(fields_.shown, QStringLiteral("není"));
        EXPECT_EQ(fields_.buttonsEnabled, false);
        EXPECT_TRUE(state_.recordHolder.isEmpty());
        EXPECT_TRUE(state_.recordDate.isEmpty());
        EXPECT_TRUE(state_.recordComment.isEmpty());
        EXPECT_EQ(state_.recordMoves, 0);
        EXPECT_EQ(state_.recordRide, std::vector<TrackPoint>(1));
        EXPECT_EQ(state_.recordColor, 77u);
    }

    // The ride of player 3: two drawn segments, then the finishing position.
    void prepareNewRecord(double moves)
    {
        PlayerRecord& player = state_.player(3);
        player.segmentStarts = {{}, {5, 6}, {15, 16}};
        player.posX = 25;
        player.posY = 27;
        player.color = 0x123456;
        state_.newRecordPlayer = 3;
        state_.newRecordMoves = moves;
    }

    QStringList filesInDir() const
    {
        return QDir(dir_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

    QTemporaryDir dir_;
    QString path_;
    RaceState state_;
    RecordingGameWindow window_;
    FakeRecordFields fields_;
};

TEST_F(RecordFileTest, ValidRecordFillsTheRecordAndTheDialog)
{
    write(path_, bytesOf(QStringLiteral("267074|Jana Nováková|1. 5. 2024, 12:00:00|1|10:20:|255|Pěkná jízda")));
    read();
    EXPECT_TRUE(window_.boxes.empty());
    EXPECT_EQ(state_.recordHolder, QStringLiteral("Jana Nováková"));
    EXPECT_EQ(state_.recordDate, QStringLiteral("1. 5. 2024, 12:00:00"));
    EXPECT_EQ(state_.recordMoves, 1.0);
    EXPECT_EQ(state_.recordRide, (std::vector<TrackPoint>{{}, {10, 20}}));
    EXPECT_EQ(state_.recordColor, 255u);
    EXPECT_EQ(state_.recordComment, QStringLiteral("Pěkná jízda"));
    EXPECT_EQ(fields_.shown, sixDecimals("1") + QStringLiteral(" (Jana Nováková)"));
    EXPECT_EQ(fields_.buttonsEnabled, true);
    EXPECT_TRUE(QFile::exists(path_));
}

// A record written where the decimal separator is a comma reads where it is a point, and back.
TEST_F(RecordFileTest, MovesReadWithCommaOrPoint)
{
    for (const char* moves : {"2.5", "2,5", " 2.5 "}) {
        SCOPED_TRACE(moves);
        write(path_, bytesOf(QStringLiteral("211530|Jana|d|") + QString::fromLatin1(moves) +
                             QStringLiteral("|10:20:13:24:19:30:|0|")));
        ASSERT_EQ(readRecordFile(state_, path_).error, RecordReadError::None);
        EXPECT_EQ(state_.recordMoves, 2.5);
        EXPECT_EQ(state_.recordRide, (std::vector<TrackPoint>{{}, {10, 20}, {13, 24}, {19, 30}}));
        EXPECT_TRUE(state_.recordComment.isEmpty());
    }
}

// Fields that may be empty or odd but are still a record.
TEST_F(RecordFileTest, UnusualButValidRecordsAreRead)
{
    struct Case {
        const char* what;
        QByteArray bytes;
        std::vector<TrackPoint> ride;
        QString comment;
    };
    const Case cases[] = {
        {"empty name, date and comment", bytesOf(QStringLiteral("267074|||1|10:20:|0|")), {{}, {10, 20}}, QString()},
        {"negative positions and blanks", sealedRecord(QStringLiteral("3"), QStringLiteral(" -5 :+7:-2147483648:2147483647:")),
         {{}, {-5, 7}, {std::numeric_limits<qint32>::min(), 2147483647}}, QStringLiteral("komentář")},
        {"comment with bars and line breaks", sealedRecord(QStringLiteral("1"), QStringLiteral("1:2:"), QStringLiteral("|0|a|b\r\nc||")),
         {{}, {1, 2}}, QStringLiteral("a|b\r\nc||")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        write(path_, c.bytes);
        ASSERT_EQ(readRecordFile(state_, path_).error, RecordReadError::None);
        EXPECT_EQ(state_.recordRide, c.ride);
        EXPECT_EQ(state_.recordComment, c.comment);
    }
}

TEST_F(RecordFileTest, DamagedFilesAreReportedMovedAsideAndForgotten)
{
    struct Case {
        const char* what;
        QByteArray bytes;
    };
    const QString path = path_;
    const Case cases[] = {
        {"ride edited", bytesOf(QStringLiteral("267074|Jana|d|1|10:21:|255|c"))},
        {"moves edited", bytesOf(QStringLiteral("267074|Jana|d|2|10:20:|255|c"))},
        {"checksum edited", bytesOf(QStringLiteral("267075|Jana|d|1|10:20:|255|c"))},
        {"ride without its closing colon", sealedRecord(QStringLiteral("1"), QStringLiteral("10:20"))},
        {"pair without y", sealedRecord(QStringLiteral("1"), QStringLiteral("10:"))},
        {"odd number of values", sealedRecord(QStringLiteral("1"), QStringLiteral("10:20:30:"))},
        {"empty ride", sealedRecord(QStringLiteral("1"), QString())},
        {"empty number in ride", sealedRecord(QStringLiteral("1"), QStringLiteral("10::"))},
        {"blank inside a number", sealedRecord(QStringLiteral("1"), QStringLiteral("1 0:20:"))},
        {"position past 32 bits", sealedRecord(QStringLiteral("1"), QStringLiteral("2147483648:0:"))},
        {"checksum past 32 bits", bytesOf(QStringLiteral("4294967296|Jana|d|1|10:20:|255|c"))},
        {"checksum not a number", bytesOf(QStringLiteral("x|Jana|d|1|10:20:|255|c"))},
        {"moves not a number", sealedRecord(QStringLiteral("jedna"), QStringLiteral("10:20:"))},
        {"moves with an exponent", sealedRecord(QStringLiteral("1e0"), QStringLiteral("10:20:"))},
        {"moves zero", sealedRecord(QStringLiteral("0"), QStringLiteral("10:20:"))},
        {"moves negative", sealedRecord(QStringLiteral("-1"), QStringLiteral("10:20:"))},
        {"colour not a number", sealedRecord(QStringLiteral("1"), QStringLiteral("10:20:"), QStringLiteral("|červená|c"))},
        {"colour past 32 bits", sealedRecord(QStringLiteral("1"), QStringLiteral("10:20:"), QStringLiteral("|2147483648|c"))},
        {"no separator before the comment", sealedRecord(QStringLiteral("1"), QStringLiteral("10:20:"), QStringLiteral("|255"))},
        {"nothing after the ride", sealedRecord(QStringLiteral("1"), QStringLiteral("10:20:"), QString())},
        {"checksum only", QByteArray("267074")},
        {"empty file", QByteArray()},
        {"binary bytes", QByteArray("\x00\xff\x81|\x90\x98|\x00|\xfe|\x01:\x02:|\x00|", 18)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        window_.boxes.clear();
        write(path, c.bytes);
        write(path + ".bak", "an older backup");
        read();
        ASSERT_EQ(window_.boxes.size(), 1u);
        EXPECT_EQ(window_.boxes[0].prompt, "Soubor " + path + " obsahuje neplatné údaje nebo je poškozen!");
        EXPECT_EQ(window_.boxes[0].title, QStringLiteral("Chyba!"));
        EXPECT_EQ(window_.boxes[0].style, StyleCritical);
        EXPECT_FALSE(QFile::exists(path));
        EXPECT_EQ(contents(path + ".bak"), c.bytes);
        expectCleared();
    }
}

TEST_F(RecordFileTest, FileAboveTheSizeLimitIsDamaged)
{
    {
        QFile file(path_);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(MaxRecordFileSize + 1));  // sparse: costs no disk space
    }
    read();
    ASSERT_EQ(window_.boxes.size(), 1u);
    EXPECT_EQ(window_.boxes[0].prompt, "Soubor " + path_ + " obsahuje neplatné údaje nebo je poškozen!");
    EXPECT_FALSE(QFile::exists(path_));
    EXPECT_EQ(QFileInfo(path_ + ".bak").size(), MaxRecordFileSize + 1);
    expectCleared();
}

TEST_F(RecordFileTest, RideOfAMillionPositionsIsRead)
{
    QString ride;
    ride.reserve(8 * 1000000);
    for (int k = 0; k < 1000000; ++k)
        ride += QStringLiteral("%1:%2:").arg(k % 1000).arg(k / 1000);
    write(path_, sealedRecord(QStringLiteral("999999,5"), ride));
    ASSERT_EQ(readRecordFile(state_, path_).error, RecordReadError::None);
    ASSERT_EQ(state_.recordRide.size(), 1000001u);
    EXPECT_EQ(state_.recordRide[1], (TrackPoint{0, 0}));
    EXPECT_EQ(state_.recordRide[1000000], (TrackPoint{999, 999}));
    EXPECT_EQ(state_.recordMoves, 999999.5);
}

TEST_F(RecordFileTest, MissingFileMeansNoRecordWithoutAMessage)
{
    read();
    EXPECT_TRUE(window_.boxes.empty());
    expectCleared();
    EXPECT_FALSE(QFile::exists(path_ + ".bak"));
}

TEST_F(RecordFileTest, FileThatCannotBeReadIsReportedAndLeftInPlace)
{
    // A directory in the record file's place cannot be read, not even by root.
    ASSERT_TRUE(QDir().mkdir(path_));
    read();
    ASSERT_EQ(window_.boxes.size(), 1u);
    EXPECT_EQ(window_.boxes[0].prompt, "Soubor " + path_ + " nenalezen!");
    EXPECT_EQ(window_.boxes[0].title, QStringLiteral("Chyba!"));
    EXPECT_EQ(window_.boxes[0].style, StyleCritical);
    EXPECT_TRUE(QFileInfo(path_).isDir());
    EXPECT_FALSE(QFile::exists(path_ + ".bak"));
    expectCleared();

    if (geteuid() == 0)
        GTEST_SKIP() << "root reads files without read permission";
    const QString locked = dir_.filePath(QStringLiteral("zamčeno.rek"));
    write(locked, "267074|Jana|d|1|10:20:|255|c");
    ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::WriteOwner));
    EXPECT_EQ(readRecordFile(state_, locked).error, RecordReadError::Unreadable);
    EXPECT_TRUE(QFile::exists(locked));
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

TEST_F(RecordFileTest, WrittenRecordReadsBackWithItsChecksum)
{
    prepareNewRecord(2.5);
    const QString comment = QStringLiteral("Za deště | bez brzd\r\ndruhý řádek|");
    ASSERT_TRUE(WriteRecord(state_, window_, QStringLiteral("Jana Nováková"), QStringLiteral("1. 5. 2024, 12:00:00"), comment));
    EXPECT_TRUE(window_.boxes.empty());
    EXPECT_EQ(recordFilePath(state_), path_);
    EXPECT_EQ(contents(path_),
              bytesOf(QStringLiteral("139117|Jana Nováková|1. 5. 2024, 12:00:00|2") + storedSeparator() +
                      QStringLiteral("5|5:6:15:16:25:27:|1193046|") + comment));
    // Writing leaves the loaded record as it was.
    EXPECT_EQ(state_.recordHolder, QStringLiteral("Starý"));
    EXPECT_EQ(state_.recordMoves, 9);
    EXPECT_EQ(filesInDir(), QStringList{QStringLiteral("okruh.rek")});

    read();
    EXPECT_TRUE(window_.boxes.empty());
    EXPECT_EQ(state_.recordHolder, QStringLiteral("Jana Nováková"));
    EXPECT_EQ(state_.recordDate, QStringLiteral("1. 5. 2024, 12:00:00"));
    EXPECT_EQ(state_.recordMoves, 2.5);
    EXPECT_EQ(state_.recordRide, (std::vector<TrackPoint>{{}, {5, 6}, {15, 16}, {25, 27}}));
    EXPECT_EQ(state_.recordColor, 0x123456u);
    EXPECT_EQ(state_.recordComment, comment);
}

TEST_F(RecordFileTest, WriteReplacesAnOldRecordWhole)
{
    write(path_, "267074|Starý|d|1|10:20:|255|a long old comment that is longer than the new record file");
    prepareNewRecord(11.333333333333334);
    ASSERT_TRUE(WriteRecord(state_, window_, QStringLiteral("Petr"), QStringLiteral("dnes"), QString()));
    const QString moves = QStringLiteral("11") + storedSeparator() + QStringLiteral("3333333333333");
    EXPECT_EQ(contents(path_), bytesOf(QString::number(RecordChecksum(11.3333333333333, u"5:6:15:16:25:27:")) +
                                       QStringLiteral("|Petr|dnes|") + moves + QStringLiteral("|5:6:15:16:25:27:|1193046|")));
    EXPECT_EQ(filesInDir(), QStringList{QStringLiteral("okruh.rek")});
    ASSERT_EQ(readRecordFile(state_, path_).error, RecordReadError::None);
    EXPECT_EQ(state_.recordHolder, QStringLiteral("Petr"));
}

// The file keeps 15 digits of the moves; the checksum is taken over the moves as they read back,
// so a count whose sixth decimal sits on a rounding edge still gives a readable record.
TEST_F(RecordFileTest, MovesOnARoundingEdgeStillReadBack)
{
    const double nearest = 3.0015625;  // not exact in binary: the tie lies beside it
    const double across = formatFixed6(std::nextafter(nearest, 0.0), u'.') != formatFixed6(nearest, u'.')
                              ? std::nextafter(nearest, 0.0)
                              : std::nextafter(nearest, 4.0);
    ASSERT_NE(formatFixed6(across, u'.'), formatFixed6(nearest, u'.'));
    ASSERT_EQ(parseDecimal(formatGeneral(across, u'.')), nearest);

    prepareNewRecord(across);
    ASSERT_TRUE(WriteRecord(state_, window_, QStringLiteral("Jana"), QStringLiteral("dnes"), QString()));
    read();
    EXPECT_TRUE(window_.boxes.empty());
    EXPECT_EQ(state_.recordMoves, nearest);
}

TEST_F(RecordFileTest, BarInNameOrDateIsRefusedBeforeWriting)
{
    write(path_, "the old record");
    prepareNewRecord(2.5);
    const std::pair<const char*, const char*> cases[] = {{"Ja|na", "dnes"}, {"Jana", "1.|5."}, {"|", "|"}};
    for (const auto& [name, date] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(writeRecordFile(state_, QString::fromUtf8(name), QString::fromUtf8(date), QString()).error,
                  RecordWriteError::BarInNameOrDate);
        EXPECT_FALSE(WriteRecord(state_, window_, QString::fromUtf8(name), QString::fromUtf8(date), QStringLiteral("a|b")));
    }
    EXPECT_TRUE(window_.boxes.empty());
    EXPECT_EQ(contents(path_), QByteArray("the old record"));
    EXPECT_EQ(filesInDir(), QStringList{QStringLiteral("okruh.rek")});
}

TEST_F(RecordFileTest, FailedWriteIsReportedAndKeepsTheOldRecord)
{
    prepareNewRecord(2.5);
    const auto writeRecord = [this] {
        window_.boxes.clear();
        return WriteRecord(state_, window_, QStringLiteral("Jana"), QStringLiteral("dnes"), QString());
    };
    const auto expectReported = [this](const QString& recordPath) {
        ASSERT_EQ(window_.boxes.size(), 1u);
        EXPECT_EQ(window_.boxes[0].prompt, "Rekord se nepodařilo uložit do souboru " + recordPath + ".");
        EXPECT_EQ(window_.boxes[0].title, QStringLiteral("Chyba!"));
        EXPECT_EQ(window_.boxes[0].style, StyleCritical);
    };
    const auto expectFailure = [&](const QString& recordPath) {
        EXPECT_FALSE(writeRecord());
        expectReported(recordPath);
    };

    // A folder that does not exist fails for everyone, root too.
    state_.trackPicturePath = dir_.filePath(QStringLiteral("chybí/okruh.wmf"));
    expectFailure(dir_.filePath(QStringLiteral("chybí/okruh.rek")));
    EXPECT_FALSE(QFile::exists(dir_.filePath(QStringLiteral("chybí"))));

    // So does a write cut short half-way (here by the file size limit, which holds for root too):
    // the old record stays whole and no temporary file is left behind.
    state_.trackPicturePath = dir_.filePath(QStringLiteral("okruh.wmf"));
    write(path_, "the old record");
    bool written = true;
    {
        const FileSizeLimit limit(16);  // checks only after the limit is lifted: the test log may be a file
        written = writeRecord();
    }
    EXPECT_FALSE(written);
    expectReported(path_);
    EXPECT_EQ(contents(path_), QByteArray("the old record"));
    EXPECT_EQ(filesInDir(), QStringList{QStringLiteral("okruh.rek")});

    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    const QFileDevice::Permissions writable = QFile::permissions(dir_.path());
    ASSERT_TRUE(QFile::setPermissions(dir_.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    expectFailure(path_);
    QFile::setPermissions(dir_.path(), writable);
    EXPECT_EQ(contents(path_), QByteArray("the old record"));
    EXPECT_EQ(filesInDir(), QStringList{QStringLiteral("okruh.rek")});
}

TEST_F(RecordFileTest, RideTextListsSegmentStartsThenThePosition)
{
    PlayerRecord player;
    player.posX = -3;
    player.posY = 40;
    EXPECT_EQ(rideText(player), QStringLiteral("-3:40:"));
    player.segmentStarts = {{}};
    EXPECT_EQ(rideText(player), QStringLiteral("-3:40:"));
    player.segmentStarts = {{}, {100, 200}, {2147483647, std::numeric_limits<qint32>::min()}};
    EXPECT_EQ(rideText(player), QStringLiteral("100:200:2147483647:-2147483648:-3:40:"));
}

// The record file tests again in a process of its own under locales whose decimal separator is a
// comma, or one that Windows-1250 cannot store: what the game writes there it must read back.
TEST(RecordFileLocale, RecordsReadBackUnderEveryLocale)
{
    for (const char* locale : {"cs_CZ.UTF-8", "fa_IR.UTF-8"}) {
        SCOPED_TRACE(locale);
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LC_ALL"), QString::fromLatin1(locale));
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=RecordFileTest.*")});
        ASSERT_TRUE(process.waitForFinished(120000));
        EXPECT_EQ(process.exitCode(), 0) << process.readAll().toStdString();
    }
}

}  // namespace
