#include "files/TrackFile.h"
#include "files/TrackPicture.h"
#include "shell/MessageBoxStyle.h"
#include "shell/Windows1250.h"
#include "tests/support/RecordingGameWindow.h"
#include "tools/MetafileWriter.h"
#include "tests/support/MetafileBytes.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <tuple>

namespace {

const QString DamagedSuffix = QStringLiteral(" obsahuje neplatné údaje nebo je poškozen!");

// The fields of a valid definition file: 100 × 80 units, step 10, allowed speed 5, two
// checkpoints, three start positions on a line from (0, 0) to (0, 0), description "Popis".
QStringList validFields()
{
    return {"Okruh", "100", "80", "10", "5", "000128000", "000255000", "2",
            "255000000", "000000255", "255255000", "000255255", "3", "0", "0", "0", "0", "Popis"};
}

class TrackFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        ReadLanguageLayout(state_);
        path_ = dir_.filePath("okruh.trt");
    }

    void write(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    // Writes the definition file and the picture beside it, then reads them.
    TrackFileResult read(const QString& definition)
    {
        write(path_, encodeWindows1250(definition));
        write(trackPicturePathFor(path_), squarePicture());
        return ReadTrackFiles(state_, path_);
    }

    QTemporaryDir dir_;
    QString path_;
    RaceState state_;
};

struct FieldCase {
    const char* label;
    int field;           // index into validFields()
    const char* value;
    bool valid;
    std::function<void(const RaceState&)> check;  // run on success and on failure
};

TEST_F(TrackFileTest, EveryFieldIsCheckedAgainstItsBounds)
{
    const std::vector<FieldCase> cases = {
        {"width 0", 1, "0", false, [](const RaceState& s) { EXPECT_EQ(s.trackWidth, 0); EXPECT_EQ(s.trackName, "Okruh"); }},
        {"width 1", 1, "1", true, [](const RaceState& s) { EXPECT_EQ(s.trackWidth, 1); }},
        {"width with blanks", 1, "  100 ", true, [](const RaceState& s) { EXPECT_EQ(s.trackWidth, 100); }},
        {"width with sign", 1, "+100", true, [](const RaceState& s) { EXPECT_EQ(s.trackWidth, 100); }},
        {"width negative", 1, "-100", false, nullptr},
        {"width past 32 bits", 1, "2147483648", false, [](const RaceState& s) { EXPECT_EQ(s.trackWidth, 0); }},
        {"width not a number", 1, "sto", false, nullptr},
        {"width with exponent", 1, "1e2", false, nullptr},
        {"width empty", 1, "", false, nullptr},
        {"height 0", 2, "0", false, [](const RaceState& s) { EXPECT_EQ(s.trackWidth, 100); EXPECT_EQ(s.trackHeight, 0); }},
        {"height 1", 2, "1", true, [](const RaceState& s) { EXPECT_EQ(s.trackHeight, 1); }},
        {"height past 32 bits", 2, "2147483648", false, [](const RaceState& s) { EXPECT_EQ(s.trackWidth, 100); EXPECT_EQ(s.trackHeight, 0); }},
        {"step 0", 3, "0", false, [](const RaceState& s) { EXPECT_EQ(s.stepLength, 0); }},
        {"step 1", 3, "1", true, [](const RaceState& s) { EXPECT_EQ(s.stepLength, 1); EXPECT_EQ(s.speedLimit, 5); }},
        {"step past 16 bits", 3, "32768", false, nullptr},
        {"speed negative", 4, "-1", false, [](const RaceState& s) { EXPECT_EQ(s.stepLength, 10); }},
        {"speed 0 is unlimited", 4, "0", true, [](const RaceState& s) { EXPECT_EQ(s.speedLimit, 0); }},
        {"speed 5 at step 10", 4, "5", true, [](const RaceState& s) { EXPECT_EQ(s.speedLimit, 50); }},
        {"product just below 32768", 4, "3276", true, [](const RaceState& s) { EXPECT_EQ(s.speedLimit, 32760); }},
        {"product past 16 bits", 4, "3277", false, [](const RaceState& s) { EXPECT_EQ(s.speedLimit, 0); }},
        {"colour groups", 5, "001002003", true, [](const RaceState& s) { EXPECT_EQ(s.trackBackColor, colorValue(1, 2, 3)); }},
        {"colour tail ignored", 6, "255000000 červená", true, [](const RaceState& s) { EXPECT_EQ(s.crashColor, colorValue(255, 0, 0)); }},
        {"colour group above 255", 6, "000256000", false, nullptr},
        {"colour of eight digits", 6, "25500000", false, nullptr},
        {"colour with a blank", 6, " 25500000", false, nullptr},
        {"checkpoint colour", 11, "000255255", true, [](const RaceState& s) {
             ASSERT_EQ(s.checkpoints.size(), 2u);
             EXPECT_EQ(s.checkpoints[0].firstColor, colorValue(255, 0, 0));
             EXPECT_EQ(s.checkpoints[0].secondColor, colorValue(0, 0, 255));
             EXPECT_EQ(s.checkpoints[1].firstColor, colorValue(255, 255, 0));
             EXPECT_EQ(s.checkpoints[1].secondColor, colorValue(0, 255, 255));
         }},
        {"checkpoint colour bad", 10, "2552550", false, [](const RaceState& s) {
             ASSERT_EQ(s.checkpoints.size(), 2u);  // the array exists before the colours are read
             EXPECT_EQ(s.checkpoints[0].secondColor, colorValue(0, 0, 255));
         }},
        {"start count 0", 12, "0", false, nullptr},
        {"start count 1", 12, "1", true, [](const RaceState& s) { EXPECT_EQ(s.startCount, 1); }},
        {"start count 255", 12, "255", true, [](const RaceState& s) { EXPECT_EQ(s.startCount, 255); }},
        {"start count 256", 12, "256", false, nullptr},
        {"start x at width - 1", 13, "99", true, [](const RaceState& s) { EXPECT_EQ(s.startLine[0].x, 99); }},
        {"start x at width", 13, "100", false, nullptr},
        {"start x negative", 13, "-1", false, nullptr},
        {"start y at height - 1", 14, "79", true, [](const RaceState& s) { EXPECT_EQ(s.startLine[0].y, 79); }},
        {"start y at height", 14, "80", false, [](const RaceState& s) { EXPECT_EQ(s.startLine[0].x, 0); }},
        {"end B x at width", 15, "100", false, nullptr},
        {"end B y at height - 1", 16, "79", true, [](const RaceState& s) { EXPECT_EQ(s.startLine[1], (TrackPoint{0, 79})); }},
        {"end B y at height", 16, "80", false, nullptr},
        {"empty description", 17, "", true, [](const RaceState& s) { EXPECT_EQ(s.trackDescription, ""); }},
        {"description with bars and breaks", 17, "první|druhý\r\ntřetí|", true,
         [](const RaceState& s) { EXPECT_EQ(s.trackDescription, QStringLiteral("první|druhý\r\ntřetí|")); }},
        {"Czech name", 0, "Žluťoučký kůň úpěl ďábelské ódy", true,
         [](const RaceState& s) { EXPECT_EQ(s.trackName, QStringLiteral("Žluťoučký kůň úpěl ďábelské ódy")); }},
    };
    for (const FieldCase& c : cases) {
        SCOPED_TRACE(c.label);
        state_ = RaceState{};
        ReadLanguageLayout(state_);
        QStringList fields = validFields();
        fields[c.field] = QString::fromUtf8(c.value);
        const TrackFileResult result = read(fields.join('|'));
        if (c.valid) {
            EXPECT_EQ(result.error, TrackFileError::None);
            EXPECT_TRUE(result.message.isEmpty());
        } else {
            EXPECT_EQ(result.error, TrackFileError::DefinitionInvalid);
            EXPECT_EQ(result.message, "Soubor " + path_ + DamagedSuffix);
        }
        if (c.check)
            c.check(state_);
    }
}

TEST_F(TrackFileTest, FieldCountFollowsTheCheckpointCount)
{
    struct Case {
        const char* label;
        int checkpoints;  // the count written
        int pairs;        // the colour pairs written
        bool valid;
    };
    const std::vector<Case> cases = {
        {"one checkpoint", 1, 1, true},
        {"255 checkpoints", 255, 255, true},
        {"no checkpoint", 0, 0, false},
        {"256 checkpoints", 256, 256, false},
        {"a pair short", 3, 2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        state_ = RaceState{};
        ReadLanguageLayout(state_);
        QStringList fields{"Okruh", "100", "80", "10", "0", "000128000", "000255000", QString::number(c.checkpoints)};
        for (int k = 0; k < c.pairs; ++k)
            fields << QStringLiteral("%1").arg(k % 200, 3, 10, QChar('0')) + "000000" << "000000255";
        fields << "1" << "5" << "5" << "6" << "6" << "";
        const TrackFileResult result = read(fields.join('|'));
        EXPECT_EQ(result.error, c.valid ? TrackFileError::None : TrackFileError::DefinitionInvalid);
        if (c.valid) {
            EXPECT_EQ(state_.checkpointCount, c.checkpoints);
            EXPECT_EQ(state_.checkpoints.size(), static_cast<size_t>(c.checkpoints));
        }
    }
}

TEST_F(TrackFileTest, StepTimesSpeedMustFitSixteenBits)
{
    const std::vector<std::tuple<const char*, const char*, bool>> cases = {
        {"200", "200", false}, {"7", "4681", true}, {"1", "32767", true}, {"2", "16384", false}, {"32767", "1", true}};
    for (const auto& [step, speed, valid] : cases) {
        SCOPED_TRACE(std::string(step) + " x " + speed);
        QStringList fields = validFields();
        fields[3] = step;
        fields[4] = speed;
        EXPECT_EQ(read(fields.join('|')).error, valid ? TrackFileError::None : TrackFileError::DefinitionInvalid);
        if (valid) {
            EXPECT_EQ(state_.speedLimit, QString(step).toInt() * QString(speed).toInt());
        }
    }
}

TEST_F(TrackFileTest, MissingSeparatorsMakeTheFileInvalid)
{
    const QString valid = validFields().join('|');
    const QStringList texts = {
        valid.left(valid.lastIndexOf('|')),  // no "|" after end B's y
        "",
        "Okruh",
        "Okruh|100|80|10|5|000128000",
    };
    for (const QString& text : texts) {
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(read(text).error, TrackFileError::DefinitionInvalid);
    }
    // An end B's y ending in "|" with nothing after it is a file with an empty description.
    EXPECT_EQ(read(valid.left(valid.lastIndexOf('|') + 1)).error, TrackFileError::None);
}

TEST_F(TrackFileTest, MissingFilesAreNamedByTheirOwnPath)
{
    TrackFileResult result = ReadTrackFiles(state_, path_);
    EXPECT_EQ(result.error, TrackFileError::DefinitionMissing);
    EXPECT_EQ(result.message, "Soubor " + path_ + " nenalezen!");

    write(path_, encodeWindows1250(validFields().join('|')));
    result = ReadTrackFiles(state_, path_);
    const QString picture = dir_.filePath("okruh.wmf");
    EXPECT_EQ(result.error, TrackFileError::PictureMissing);
    EXPECT_EQ(result.message, "Soubor " + picture + " nenalezen!");
    EXPECT_EQ(state_.trackPicturePath, picture);
    EXPECT_TRUE(state_.trackName.isEmpty());  // nothing was parsed
}

TEST_F(TrackFileTest, PictureThatIsNoMetafileIsReportedAsDamaged)
{
    const QString picture = trackPicturePathFor(path_);
    write(path_, encodeWindows1250(validFields().join('|')));
    for (const QByteArray& bytes : {QByteArray(), QByteArray("GIF89a not a metafile"), squarePicture().left(30)}) {
        write(picture, bytes);
        const TrackFileResult result = ReadTrackFiles(state_, path_);
        EXPECT_EQ(result.error, TrackFileError::PictureInvalid);
        EXPECT_EQ(result.message, "Soubor " + picture + DamagedSuffix);
    }
}

TEST_F(TrackFileTest, TrackAboveTheRasterLimitIsRefusedAfterItsFieldsAreStored)
{
    QStringList fields = validFields();
    fields[1] = "2147483647";
    fields[2] = "2147483647";
    const TrackFileResult result = read(fields.join('|'));
    EXPECT_EQ(result.error, TrackFileError::DefinitionInvalid);
    EXPECT_EQ(state_.trackWidth, 2147483647);
    EXPECT_EQ(state_.trackDescription, "Popis");
    EXPECT_TRUE(state_.trackRaster.isNull());
}

TEST_F(TrackFileTest, DefinitionFileThatCannotBeReadWholeIsDamaged)
{
    write(trackPicturePathFor(path_), squarePicture());
    // Larger than any real definition file.
    write(path_, encodeWindows1250(validFields().join('|')) + QByteArray(MaxTrackFileSize, 'x'));
    EXPECT_EQ(ReadTrackFiles(state_, path_).error, TrackFileError::DefinitionInvalid);
    // A folder with the definition file's name.
    QFile::remove(path_);
    ASSERT_TRUE(QDir(dir_.path()).mkdir("okruh.trt"));
    EXPECT_EQ(ReadTrackFiles(state_, path_).error, TrackFileError::DefinitionInvalid);
}

TEST_F(TrackFileTest, PictureIsStretchedOntoTheTrackAndScaled)
{
    ASSERT_EQ(read(validFields().join('|')).error, TrackFileError::None);
    // The 200 × 160 picture on a 100 × 80 track: the red square covers the top-left 50 × 40 units.
    EXPECT_FLOAT_EQ(state_.pictureScaleX, 0.5f);
    EXPECT_FLOAT_EQ(state_.pictureScaleY, 0.5f);
    const TrackRaster& raster = state_.trackRaster;
    ASSERT_EQ(raster.width(), 100);
    ASSERT_EQ(raster.height(), 80);
    EXPECT_EQ(raster.colorAt(0, 0), colorValue(255, 0, 0));
    EXPECT_EQ(raster.colorAt(49, 39), colorValue(255, 0, 0));
    EXPECT_EQ(raster.colorAt(50, 39), colorValue(0, 128, 0));  // background where the picture draws nothing
    EXPECT_EQ(raster.colorAt(49, 40), colorValue(0, 128, 0));
    EXPECT_EQ(raster.colorAt(-1, 0), colorValue(0, 128, 0));   // outside the track
    EXPECT_EQ(raster.colorAt(0, 80), colorValue(0, 128, 0));
    EXPECT_NE(state_.trackPicture, nullptr);
}

struct RecordingDialog : TrackDialogFields {
    QStringList calls;
    void ShowTrackInfo(const RaceState& state) override { calls << "show " + state.trackName; }
    void ClearTrackInfo() override { calls << "clear"; }
    void UpdateStartButton() override { calls << "start button"; }
    void showRecord(const QString& text) override { calls << "record " + text; }
    void setRecordButtonsEnabled(bool enabled) override { calls << (enabled ? "record buttons on" : "record buttons off"); }
};

TEST_F(TrackFileTest, LoadTrackReportsFailuresThroughTheMessageBox)
{
    RecordingGameWindow window;
    RecordingDialog dialog;
    LoadTrack(state_, window, &dialog, path_);
    ASSERT_EQ(window.boxes.size(), 1u);
    EXPECT_EQ(window.boxes[0].prompt, "Soubor " + path_ + " nenalezen!");
    EXPECT_EQ(window.boxes[0].style, StyleCritical);
    EXPECT_EQ(window.boxes[0].title, "Chyba!");
    EXPECT_EQ(dialog.calls, (QStringList{"record není", "record buttons off", "clear"}));

    write(path_, encodeWindows1250(validFields().join('|')));
    write(trackPicturePathFor(path_), squarePicture());
    window.calls.clear();
    dialog.calls.clear();
    LoadTrack(state_, window, &dialog, path_);
    EXPECT_EQ(window.calls, QStringList{"track view"});
    // No record file beside the track: the track simply has no record yet.
    EXPECT_EQ(dialog.calls, (QStringList{"show Okruh", "record není", "record buttons off", "start button"}));
}

TEST_F(TrackFileTest, AFailedLoadAfterAGoodOneForgetsThePreviousTrackAndItsRecord)
{
    const QString bundled = QStringLiteral(TRASOVKY_SOURCE_DIR "/tracks/Rybnik");
    for (const char* extension : {".trt", ".wmf", ".rek"})
        ASSERT_TRUE(QFile::copy(bundled + extension, dir_.filePath(QStringLiteral("Rybnik") + extension)));
    RecordingGameWindow window;
    RecordingDialog dialog;
    LoadTrack(state_, window, &dialog, dir_.filePath("Rybnik.trt"));
    ASSERT_TRUE(window.boxes.empty());
    ASSERT_GT(state_.recordMoves, 0);
    ASSERT_TRUE(dialog.calls.contains("record buttons on"));

    // A damaged track chosen next: its fields and the old record are gone, the record buttons off.
    QStringList damaged = validFields();
    damaged[1] = "0";
    write(path_, encodeWindows1250(damaged.join('|')));
    write(trackPicturePathFor(path_), squarePicture());
    dialog.calls.clear();
    LoadTrack(state_, window, &dialog, path_);
    ASSERT_EQ(window.boxes.size(), 1u);
    EXPECT_EQ(window.boxes[0].prompt, "Soubor " + path_ + DamagedSuffix);
    EXPECT_EQ(dialog.calls, (QStringList{"record není", "record buttons off", "clear"}));
    EXPECT_EQ(state_.recordMoves, 0);
    EXPECT_TRUE(state_.recordHolder.isEmpty());
    EXPECT_EQ(state_.recordRide.size(), 1u);
    EXPECT_EQ(state_.trackPicture, nullptr);
    EXPECT_TRUE(state_.trackRaster.isNull());
    // The record of the good track is where it was: nothing moved it aside.
    EXPECT_TRUE(QFile::exists(dir_.filePath("Rybnik.rek")));
    EXPECT_FALSE(QFile::exists(dir_.filePath("Rybnik.rek.bak")));
}

TEST_F(TrackFileTest, MessagesFollowTheChosenLanguage)
{
    state_.languageOffset = state_.languageStep;  // English
    const TrackFileResult result = ReadTrackFiles(state_, path_);
    EXPECT_NE(result.message, "Soubor " + path_ + " nenalezen!");
    EXPECT_TRUE(result.message.contains(path_));
}

TEST(TrackFilePaths, OtherFilesReplaceTheLastFourCharacters)
{
    EXPECT_EQ(trackPicturePathFor("C:\\Tratě\\okruh.trt"), "C:\\Tratě\\okruh.wmf");
    EXPECT_EQ(recordFilePathFor("/tracks/okruh.trt"), "/tracks/okruh.rek");
    EXPECT_EQ(recordFilePathFor("/tracks/okruh.TRT"), "/tracks/okruh.rek");
    EXPECT_EQ(trackPicturePathFor("a.b"), ".wmf");
}

}  // namespace
