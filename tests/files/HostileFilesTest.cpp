// Hand-made damaged and hostile files of every kind the game reads — track definition, track
// picture, record, settings — each read the way the game reads it: the track through LoadTrack, the
// record through the track's load and the record check, the settings through the language and the
// remembered track. Each must end in the game's own message (or its silent default, for the
// settings), or be read correctly where it sits at a limit. Each row's time is printed; the test's
// time is bounded by its ctest TIMEOUT.

#include "files/RecordCheck.h"
#include "files/RecordCheckCommand.h"
#include "files/RecordChecksum.h"
#include "files/TrackFile.h"
#include "files/TrackPicture.h"
#include "race/StartPositions.h"
#include "shell/IniFile.h"
#include "shell/MessageBoxStyle.h"
#include "shell/RememberedTrack.h"
#include "shell/SettingsFile.h"
#include "shell/Windows1250.h"
#include "tests/support/RecordingGameWindow.h"
#include "tools/MetafileWriter.h"
#include "tests/support/MetafileBytes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <iostream>

namespace {

const QString bundledTracks = QStringLiteral(TRASOVKY_SOURCE_DIR "/tracks");

// A definition of a 100 × 80 track with one checkpoint and three start positions; the description
// is the last field, so padding it changes nothing else.
QString definition(qint64 width = 100, qint64 height = 80, const QString& description = QStringLiteral("Popis"))
{
    return QStringLiteral("Okruh|%1|%2|10|0|000128000|000255000|1|255000000|000000255|3|0|0|0|0|").arg(width).arg(height)
           + description;
}

// A bitmap info header naming width × height pixels that the bytes after it do not hold.
QByteArray dibHeader(qint32 width, qint32 height, int bitsPerPixel, quint32 compression = 0)
{
    return le(40, 4) + le(static_cast<quint32>(width), 4) + le(static_cast<quint32>(height), 4) + le(1, 2) + le(bitsPerPixel, 2)
           + le(compression, 4) + le(0, 4) + le(0, 4) + le(0, 4) + le(compression ? 1 : 0, 4) + le(0, 4);
}

// The ride text of count positions: the given start, then points spread over the track.
QString rideOf(TrackPoint start, int count)
{
    QString ride;
    ride.reserve(9 * count);
    ride += QStringLiteral("%1:%2:").arg(start.x).arg(start.y);
    for (int k = 1; k < count; ++k)
        ride += QStringLiteral("%1:%2:").arg(k % 800).arg((k / 800) % 600);
    return ride;
}

// A record file of the ride, its checksum fitting the moves and ride or one off.
QByteArray recordOf(const QString& ride, bool sealed)
{
    const double moves = 999999.5;
    const qint32 checksum = RecordChecksum(moves, ride) + (sealed ? 0 : 1);
    return encodeWindows1250(QString::number(checksum) + QStringLiteral("|Jana|1. 5. 2024|999999,5|") + ride
                             + QStringLiteral("|255|komentář"));
}

// A settings file of exactly size bytes: LANG=2 and a remembered track, padded with comment lines.
QByteArray settingsOfSize(qint64 size)
{
    QByteArray bytes = "[Settings]\r\nLANG=2\r\nTRT=%tracks\\Rybnik.trt\r\n";
    while (bytes.size() + 64 < size)
        bytes += ';' + QByteArray(61, '-') + "\r\n";
    return bytes + QByteArray(size - bytes.size(), ';');
}

enum class Kind { Definition, Picture, Record, Settings };

const char* kindName(Kind kind)
{
    switch (kind) {
    case Kind::Definition: return "definition";
    case Kind::Picture: return "picture";
    case Kind::Record: return "record";
    case Kind::Settings: return "settings";
    }
    return "";
}

// How reading the file must end.
enum class Outcome {
    Damaged,       // the damaged-file message naming the file (a record is then moved aside)
    Loaded,        // read without a message
    CheckRefuses,  // a record read without a message, refused by the record check with its message
    Language1,     // settings not used: language 1, no remembered track
    Language2,     // settings read: language 2 and the remembered track
};

struct Row {
    const char* label;
    Kind kind;
    std::function<QByteArray()> bytes;
    Outcome outcome;
    std::function<void(const RaceState&)> check;  // run after a Loaded or CheckRefuses read
};

class HostileFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        ASSERT_TRUE(QDir(dir_.path()).mkdir("tracks"));
        // The record rows race on a copy of a bundled track: a record's ride is checked against it.
        for (const char* extension : {".trt", ".wmf"})
            ASSERT_TRUE(QFile::copy(bundledTracks + "/Rybnik" + extension, dir_.filePath(QStringLiteral("tracks/Rybnik") + extension)));
        RaceState scratch;
        ReadLanguageLayout(scratch);
        ASSERT_EQ(ReadTrackFiles(scratch, dir_.filePath("tracks/Rybnik.trt")).error, TrackFileError::None);
        firstStart_ = startPoints(scratch).front();
    }

    static void write(const QString& path, const QByteArray& bytes)
    {
        QFile::remove(path);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    static QByteArray contents(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    void run(const Row& row)
    {
        const QString trackPath = dir_.filePath("okruh.trt");
        const QString recordTrackPath = dir_.filePath("tracks/Rybnik.trt");
        QString path;  // the hostile file
        switch (row.kind) {
        case Kind::Definition: path = trackPath; break;
        case Kind::Picture: path = trackPicturePathFor(trackPath); break;
        case Kind::Record: path = recordFilePathFor(recordTrackPath); break;
        case Kind::Settings: path = settingsFilePath(dir_.path()); break;
        }
        write(trackPath, encodeWindows1250(definition()));
        write(trackPicturePathFor(trackPath), squarePicture());
        QFile::remove(recordFilePathFor(recordTrackPath) + ".bak");
        const QByteArray bytes = row.bytes();
        write(path, bytes);

        RaceState state;
        ReadLanguageLayout(state);
        RecordingGameWindow window;
        int language = 0;
        QString remembered;
        const auto began = std::chrono::steady_clock::now();
        if (row.kind == Kind::Settings) {
            IniFile settings(path);
            language = ReadLanguageSetting(settings, 2);
            remembered = ReadRememberedTrack(settings, dir_.path());
        } else {
            LoadTrack(state, window, nullptr, row.kind == Kind::Record ? recordTrackPath : trackPath);
            if (row.outcome == Outcome::CheckRefuses && window.boxes.empty())
                CheckLoadedRecord(state, window, nullptr);
        }
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - began).count();
        const QString message = window.boxes.empty() ? QStringLiteral("(no message)") : window.boxes.front().prompt;
        std::cout << "hostile " << kindName(row.kind) << " | " << row.label << " | " << bytes.size() << " bytes | "
                  << (row.kind == Kind::Settings ? "language " + std::to_string(language) : message.toStdString())
                  << " | " << ms << " ms" << std::endl;

        switch (row.outcome) {
        case Outcome::Damaged:
            ASSERT_EQ(window.boxes.size(), 1u);
            EXPECT_EQ(window.boxes[0].prompt, "Soubor " + path + " obsahuje neplatné údaje nebo je poškozen!");
            EXPECT_EQ(window.boxes[0].style, StyleCritical);
            EXPECT_EQ(window.boxes[0].title, "Chyba!");
            if (row.kind == Kind::Record) {
                EXPECT_FALSE(QFile::exists(path));
                EXPECT_TRUE(QFile::exists(path + ".bak"));
                EXPECT_EQ(state.recordMoves, 0);
            } else {
                EXPECT_TRUE(state.trackRaster.isNull());
                EXPECT_EQ(state.trackPicture, nullptr);
            }
            break;
        case Outcome::Loaded:
            EXPECT_TRUE(window.boxes.empty()) << message.toStdString();
            EXPECT_FALSE(state.trackRaster.isNull());
            break;
        case Outcome::CheckRefuses:
            ASSERT_EQ(window.boxes.size(), 1u);
            EXPECT_EQ(window.boxes[0].prompt, "Rekord obsahuje neplatné ůdaje.");
            EXPECT_EQ(window.boxes[0].title, "Rekord...");
            EXPECT_FALSE(QFile::exists(path));
            EXPECT_TRUE(QFile::exists(path + ".bak"));
            break;
        case Outcome::Language1:
            EXPECT_EQ(language, 1);
            EXPECT_EQ(remembered, "");
            if (bytes.size() > IniFile::MaxFileSize)
                EXPECT_TRUE(contents(path) == bytes) << "a file too large to read was rewritten";
            else
                EXPECT_EQ(IniFile(path).read(u"Settings", u"LANG", 5), "1") << "language 1 is written back";
            break;
        case Outcome::Language2:
            EXPECT_EQ(language, 2);
            EXPECT_EQ(remembered, QDir::toNativeSeparators(dir_.filePath("tracks/Rybnik.trt")));
            break;
        }
        if (row.check)
            row.check(state);
    }

    QTemporaryDir dir_;
    TrackPoint firstStart_;
};

TEST_F(HostileFiles, EveryHostileFileEndsInItsMessageOrIsReadAtItsLimit)
{
    const auto redSquare = [](const RaceState& s) {
        // The picture's square fills the top-left quarter of the track; the bad records did no harm.
        ASSERT_EQ(s.trackRaster.width(), 100);
        EXPECT_EQ(s.trackRaster.colorAt(10, 10), colorValue(255, 0, 0));
        EXPECT_EQ(s.trackRaster.colorAt(49, 39), colorValue(255, 0, 0));
        EXPECT_EQ(s.trackRaster.colorAt(50, 40), colorValue(0, 128, 0));
    };
    // The whole track definition file, description included, is exactly size bytes long.
    const auto definitionOfSize = [](qint64 size) {
        const QByteArray head = encodeWindows1250(definition(100, 80, QString()));
        return head + QByteArray(size - head.size(), 'x');
    };
    const std::vector<Row> rows = {
        {"zero-length", Kind::Definition, [] { return QByteArray(); }, Outcome::Damaged, nullptr},
        {"one byte", Kind::Definition, [] { return QByteArray("O"); }, Outcome::Damaged, nullptr},
        {"exactly the size limit", Kind::Definition, [&] { return definitionOfSize(MaxTrackFileSize); }, Outcome::Loaded,
         [](const RaceState& s) { EXPECT_EQ(s.trackDescription.size(), MaxTrackFileSize - encodeWindows1250(definition(100, 80, "")).size()); }},
        {"one byte past the size limit", Kind::Definition, [&] { return definitionOfSize(MaxTrackFileSize + 1); }, Outcome::Damaged, nullptr},
        {"8000 x 5000: the raster limit", Kind::Definition, [] { return encodeWindows1250(definition(8000, 5000)); }, Outcome::Loaded,
         [](const RaceState& s) {
             ASSERT_EQ(s.trackRaster.width(), 8000);
             ASSERT_EQ(s.trackRaster.height(), 5000);
             EXPECT_EQ(s.trackRaster.colorAt(3999, 2499), colorValue(255, 0, 0));
             EXPECT_EQ(s.trackRaster.colorAt(7999, 4999), colorValue(0, 128, 0));
         }},
        {"8000 x 5001: one row past the raster limit", Kind::Definition, [] { return encodeWindows1250(definition(8000, 5001)); },
         Outcome::Damaged, nullptr},
        {"2147483647 x 1: a width at its field's limit", Kind::Definition, [] { return encodeWindows1250(definition(2147483647, 1)); },
         Outcome::Damaged, nullptr},

        {"zero-length", Kind::Picture, [] { return QByteArray(); }, Outcome::Damaged, nullptr},
        {"one byte", Kind::Picture, [] { return QByteArray(1, '\x01'); }, Outcome::Damaged, nullptr},
        {"header claiming 2^31 words, the largest record 2^31 words and 65535 objects", Kind::Picture,
         [] {
             // The header follows the 22-byte placeable header: its file size at +6, objects at +10,
             // largest record at +12. The records themselves say where the list ends.
             QByteArray bytes = squarePicture();
             bytes.replace(22 + 6, 4, le(0x80000000u, 4));
             bytes.replace(22 + 10, 2, le(0xFFFF, 2));
             bytes.replace(22 + 12, 4, le(0x80000000u, 4));
             return bytes;
         },
         Outcome::Loaded, redSquare},
        {"header claiming 2^31 words with no record after it", Kind::Picture,
         [] {
             QByteArray bytes = squarePicture().left(22 + 18);
             bytes.replace(22 + 6, 4, le(0x80000000u, 4));
             bytes.replace(22 + 12, 4, le(0x80000000u, 4));
             return bytes;
         },
         Outcome::Damaged, nullptr},
        {"a 60000 x 60000 bitmap in a stretch DIB record", Kind::Picture,
         [] {
             MetafileWriter w = squarePictureWriter();
             w.stretchDib(QRect(100, 0, 100, 160), QRect(0, 0, 60000, 60000), dibHeader(60000, 60000, 24) + QByteArray(64, '\0'));
             return w.bytes();
         },
         Outcome::Loaded,
         [&](const RaceState& s) {
             redSquare(s);
             EXPECT_EQ(s.trackRaster.colorAt(75, 40), colorValue(0, 128, 0)) << "nothing of the bitmap is drawn";
         }},
        {"a 60000 x 60000 run-length bitmap in a few bytes", Kind::Picture,
         [] {
             MetafileWriter w = squarePictureWriter();
             w.stretchDib(QRect(100, 0, 100, 160), QRect(0, 0, 60000, 60000), dibHeader(60000, 60000, 8, 1) + le(0x0000FF, 4) + le(0x0100, 2));
             return w.bytes();
         },
         Outcome::Loaded, redSquare},
        {"80000 exclude clip records", Kind::Picture,
         [] {
             MetafileWriter w = squarePictureWriter();
             for (int i = 0; i < 80000; ++i)
                 w.excludeClipRect(QRect(100 + (i * 7) % 100, (i * 13) % 160, 1, 1));
             w.rectangle(QRect(100, 0, 100, 160));
             return w.bytes();
         },
         // 800 different holes cut the clip into some 1 600 rectangles, and every record works
         // through all of them: far past the clip work limit, where the picture stops drawing. What
         // it drew is only part of the track, so the picture is refused.
         Outcome::Damaged, nullptr},

        {"zero-length", Kind::Record, [] { return QByteArray(); }, Outcome::Damaged, nullptr},
        {"one byte", Kind::Record, [] { return QByteArray("|"); }, Outcome::Damaged, nullptr},
        {"a ride of a million points with a fitting checksum", Kind::Record,
         [&] { return recordOf(rideOf(firstStart_, 1000000), true); }, Outcome::CheckRefuses,
         [](const RaceState& s) { EXPECT_EQ(s.recordMoves, 0) << "the refused record is forgotten"; }},
        {"a ride of a million points whose checksum does not fit", Kind::Record,
         [&] { return recordOf(rideOf(firstStart_, 1000000), false); }, Outcome::Damaged, nullptr},

        {"zero-length", Kind::Settings, [] { return QByteArray(); }, Outcome::Language1, nullptr},
        {"one byte", Kind::Settings, [] { return QByteArray("["); }, Outcome::Language1, nullptr},
        {"exactly the size limit", Kind::Settings, [] { return settingsOfSize(IniFile::MaxFileSize); }, Outcome::Language2, nullptr},
        {"one byte past the size limit", Kind::Settings, [] { return settingsOfSize(IniFile::MaxFileSize + 1); }, Outcome::Language1,
         nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(kindName(row.kind)) + ": " + row.label);
        run(row);
    }
}

}  // namespace
