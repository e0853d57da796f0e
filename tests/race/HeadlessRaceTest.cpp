// A whole race on a bundled track, played through the race engine with scripted answers and no
// window: a finisher who drives the track's committed record ride, a player who crashes slowly
// and sits out, and players disqualified at the finish line driven the wrong way. The winner's
// ride is then stored as the track's record, read back and replayed by the record check.

#include "files/RecordCheck.h"
#include "files/RecordChecksum.h"
#include "files/RecordFile.h"
#include "files/TrackFile.h"
#include "race/MoveCommit.h"
#include "race/MoveSegment.h"
#include "race/ResetRace.h"
#include "race/StartPositions.h"
#include "shell/MessageBoxStyle.h"
#include "shell/Windows1250.h"
#include "tests/support/RecordingGameWindow.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

namespace {

const QString bundledTracks = QStringLiteral(TRASOVKY_SOURCE_DIR "/tracks");
const QString trackName = QStringLiteral("Rybnik");

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

class HeadlessRace : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        // The track is raced in a copy of its own, without its record, so the race's record
        // never touches the committed files.
        for (const char* extension : {".trt", ".wmf"})
            ASSERT_TRUE(QFile::copy(bundledTracks + '/' + trackName + extension, dir_.filePath(trackName + extension)));
        ReadLanguageLayout(state_);
        state_.zoom = 1;
        state_.AskBeforeCrash = true;
        LoadTrack(state_, window_, nullptr, dir_.filePath(trackName + ".trt"));
        ASSERT_TRUE(window_.boxes.empty()) << window_.boxes.front().prompt.toStdString();
        ASSERT_EQ(state_.recordMoves, 0);
        LayOutStartPositions(state_);
        ResetRace(state_, window_);
        window_.options[MenuOption::AutoCentre] = false;
    }

    // The committed record ride of the bundled track: positions 1 ... m.
    std::vector<TrackPoint> committedRide()
    {
        RaceState other;
        ReadLanguageLayout(other);
        other.trackPicturePath = state_.trackPicturePath;
        const RecordReadResult read = readRecordFile(other, bundledTracks + '/' + trackName + ".rek");
        EXPECT_EQ(read.error, RecordReadError::None) << read.message.toStdString();
        return {other.recordRide.begin() + 1, other.recordRide.end()};
    }

    void startRace(const std::vector<QString>& names)
    {
        for (size_t i = 0; i < names.size(); ++i) {
            PlayerRecord& player = state_.player(static_cast<int>(i) + 1);
            player.name = names[i];
            player.color = colorValue(40 * static_cast<int>(i), 0, 200);
            player.state = PlayerState::ChoosingStart;
        }
        state_.playersRacing = static_cast<quint8>(names.size());
        state_.currentPlayer = 1;
        for (size_t i = 0; i < names.size(); ++i) {
            ASSERT_EQ(state_.currentPlayer, i + 1);
            ChooseStartPosition(state_, window_, static_cast<int>(i) + 1);
        }
        ASSERT_TRUE(state_.raceRunning);
        ASSERT_EQ(state_.currentPlayer, 1);
    }

    const PlayerRecord& current() const { return state_.player(state_.currentPlayer); }

    // The whole points the current player may choose, nearest to goal first; with maxSpeed the
    // moves are kept at most that many step lengths long.
    std::vector<TrackPoint> targetsTowards(TrackPoint goal, double maxSpeed) const
    {
        const PlayerRecord& p = current();
        const qint32 s = state_.stepLength;
        std::vector<TrackPoint> targets;
        for (qint32 dy = -s; dy <= s; ++dy)
            for (qint32 dx = -s; dx <= s; ++dx) {
                const TrackPoint t{p.aimX + dx, p.aimY + dy};
                if (!IsAllowedTarget(state_, static_cast<float>(t.x), static_cast<float>(t.y)) || (t.x == p.posX && t.y == p.posY)
                    || IsOutsideTrackPicture(state_, t.x, t.y) || std::hypot(t.x - p.posX, t.y - p.posY) > maxSpeed * s)
                    continue;
                targets.push_back(t);
            }
        const auto distance = [goal](TrackPoint t) { return std::hypot(double(t.x - goal.x), double(t.y - goal.y)); };
        std::stable_sort(targets.begin(), targets.end(), [&](TrackPoint a, TrackPoint b) { return distance(a) < distance(b); });
        return targets;
    }

    // The pixel of the given colour nearest to the current player's car.
    TrackPoint nearestPixel(ColorValue color) const
    {
        const PlayerRecord& p = current();
        TrackPoint best{};
        double bestDistance = std::numeric_limits<double>::max();
        for (qint32 y = 0; y < state_.trackHeight; ++y)
            for (qint32 x = 0; x < state_.trackWidth; ++x)
                if (state_.trackRaster.colorAt(x, y) == color && std::hypot(x - p.posX, y - p.posY) < bestDistance) {
                    bestDistance = std::hypot(x - p.posX, y - p.posY);
                    best = {x, y};
                }
        return best;
    }

    void move(TrackPoint target, int answer)
    {
        window_.answers = {answer};
        CommitMove(state_, window_, static_cast<float>(target.x), static_cast<float>(target.y));
    }

    // Sit-out notices shown so far for the named player, in order.
    QStringList sitOutNotices(const QString& name) const
    {
        QStringList notices;
        for (const auto& box : window_.boxes)
            if (box.title == "Nehrajete..." && box.prompt.startsWith(name))
                notices << box.prompt.mid(name.size());
        return notices;
    }

    QTemporaryDir dir_;
    RaceState state_;
    RecordingGameWindow window_;
};

TEST_F(HeadlessRace, ThreePlayersRaceToTheEndAndTheWinnersRideBecomesAValidRecord)
{
    const std::vector<TrackPoint> ride = committedRide();
    ASSERT_GE(ride.size(), 3u);
    startRace({"Anna", "Bedřich", "Cyril"});
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_EQ((TrackPoint{state_.player(1).posX, state_.player(1).posY}), ride.front())
        << "the committed ride starts at start position 1";

    const ColorValue finishExit = state_.checkpoints.back().secondColor;
    size_t rideIndex = 1;
    bool bedrichCrashed = false;
    double bedrichMovesAtCrash = 0;
    for (int turn = 0; turn < 2000 && state_.raceRunning; ++turn) {
        const int number = state_.currentPlayer;
        const size_t linesBefore = window_.lines.size();
        if (number == 1) {
            // Anna drives the record ride; any warning would be taken back and fail the race.
            ASSERT_LT(rideIndex, ride.size());
            move(ride[rideIndex++], AnswerNo);
        } else if (number == 2 && !bedrichCrashed) {
            // Bedřich heads slowly for the nearest barrier and takes the first crash he can make.
            const TrackPoint barrier = nearestPixel(state_.crashColor);
            const std::vector<TrackPoint> targets = targetsTowards(barrier, 2.0);
            ASSERT_FALSE(targets.empty());
            const PlayerRecord& p = current();
            const TrackPoint target = targets.front();
            const bool crashes = !PathIsClear(state_, target.x - p.aimX, target.y - p.aimY)
                || state_.trackRaster.colorAt(target.x, target.y) == state_.crashColor;
            bedrichMovesAtCrash = p.moves;
            move(target, AnswerYes);
            bedrichCrashed = crashes;
            if (crashes) {
                const PlayerRecord& b = state_.player(2);
                ASSERT_GE(b.state, PlayerState::SitOut1);
                ASSERT_LE(b.state, PlayerState::SitOut2);
            }
        } else {
            // Cyril, and Bedřich once he may drive again, cross the finish line backwards.
            const TrackPoint goal = nearestPixel(finishExit);
            const PlayerRecord& p = current();
            std::vector<TrackPoint> targets = targetsTowards(goal, 1.0);
            std::erase_if(targets, [&](TrackPoint t) { return !PathIsClear(state_, t.x - p.aimX, t.y - p.aimY); });
            ASSERT_FALSE(targets.empty());
            move(targets.front(), AnswerYes);
        }
        // Every move made draws its trajectory; a move taken back draws nothing.
        ASSERT_GT(window_.lines.size(), linesBefore) << "a move of player " << number << " was not made";
    }
    ASSERT_FALSE(state_.raceRunning);

    // Anna finished exactly as the record ride says; the others were disqualified.
    RaceState recordState;
    ReadLanguageLayout(recordState);
    recordState.trackPicturePath = state_.trackPicturePath;
    ASSERT_EQ(readRecordFile(recordState, bundledTracks + '/' + trackName + ".rek").error, RecordReadError::None);
    const PlayerRecord& anna = state_.player(1);
    EXPECT_NEAR(anna.moves, recordState.recordMoves, 1e-6);
    EXPECT_NE(anna.moves, std::floor(anna.moves)) << "the finish falls inside the last move";
    EXPECT_EQ(rideIndex, ride.size());

    // Bedřich's crash cost him turns, counted down one notice per turn, each counted as a move.
    ASSERT_TRUE(bedrichCrashed);
    const QStringList notices = sitOutNotices("Bedřich");
    ASSERT_FALSE(notices.empty());
    const QStringList countdown{LoadText(state_, 509), LoadText(state_, 508), LoadText(state_, 507)};
    EXPECT_EQ(notices, countdown.mid(countdown.size() - notices.size()));
    EXPECT_GE(state_.player(2).moves, bedrichMovesAtCrash + 1 + notices.size());

    // Ranking: the finisher first, then the disqualified, who lasted longer first.
    const PlayerRecord& bedrich = state_.player(2);
    const PlayerRecord& cyril = state_.player(3);
    EXPECT_EQ(anna.state, PlayerState::Placed);
    EXPECT_EQ(bedrich.state, PlayerState::PlacedDisqualified);
    EXPECT_EQ(cyril.state, PlayerState::PlacedDisqualified);
    const std::vector<quint8> expectedOrder = bedrich.moves >= cyril.moves ? std::vector<quint8>{1, 2, 3} : std::vector<quint8>{1, 3, 2};
    EXPECT_EQ(state_.OrderOfFinish, expectedOrder);
    EXPECT_EQ(state_.newRecordPlayer, 1);

    // Anna's ride stored as the track's record, read back, and checked.
    state_.newRecordMoves = anna.moves;
    ASSERT_TRUE(WriteRecord(state_, window_, "Anna", "10.12.2026", "první|jízda"));
    const QString recordPath = recordFilePath(state_);
    ReadRecord(state_, window_, nullptr, recordPath);
    EXPECT_NEAR(state_.recordMoves, anna.moves, 1e-9);
    EXPECT_EQ(state_.recordHolder, "Anna");
    EXPECT_EQ(state_.recordComment, "první|jízda");
    ASSERT_EQ(state_.recordRide.size(), ride.size() + 1);
    EXPECT_EQ(std::vector<TrackPoint>(state_.recordRide.begin() + 1, state_.recordRide.end()), ride);
    EXPECT_EQ(CheckRecord(state_), CheckCode::RecordValid);

    // One coordinate changed by hand: the checksum no longer matches; the file is moved aside.
    const QString text = decodeWindows1250(readAll(recordPath));
    QStringList fields = text.split('|');
    ASSERT_GE(fields.size(), 7);
    QStringList numbers = fields[4].split(':');
    numbers[2] = QString::number(numbers[2].toInt() + 1);  // the x of the second position
    fields[4] = numbers.join(':');
    writeAll(recordPath, encodeWindows1250(fields.join('|')));
    window_.boxes.clear();
    ReadRecord(state_, window_, nullptr, recordPath);
    ASSERT_EQ(window_.boxes.size(), 1u);
    EXPECT_EQ(window_.boxes[0].prompt, "Soubor " + recordPath + " obsahuje neplatné údaje nebo je poškozen!");
    EXPECT_FALSE(QFile::exists(recordPath));
    EXPECT_TRUE(QFile::exists(recordPath + ".bak"));
    EXPECT_EQ(state_.recordMoves, 0);

    // The same change with its checksum made to fit: the file reads, but the ride fails the check.
    fields[0] = QString::number(RecordChecksum(anna.moves, fields[4]));
    writeAll(recordPath, encodeWindows1250(fields.join('|')));
    window_.boxes.clear();
    ReadRecord(state_, window_, nullptr, recordPath);
    ASSERT_TRUE(window_.boxes.empty()) << window_.boxes.front().prompt.toStdString();
    ASSERT_NE(state_.recordMoves, 0);
    EXPECT_NE(CheckRecord(state_), CheckCode::RecordValid);
}

}  // namespace
