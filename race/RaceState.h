#pragma once

#include "race/ColorValue.h"
#include "race/TrackRaster.h"
#include "shell/LanguageState.h"

#include <QString>
#include <QtGlobal>
#include <array>
#include <memory>
#include <optional>
#include <vector>

class Metafile;

// A position in track units: one pixel of the track at its own size, origin top left, y downwards.
struct TrackPoint {
    qint32 x = 0;
    qint32 y = 0;
    friend bool operator==(const TrackPoint&, const TrackPoint&) = default;
};

// The two colours with which one checkpoint is painted: entry band first, exit band behind it.
struct CheckpointColors {
    ColorValue firstColor = 0;
    ColorValue secondColor = 0;
};

// The state code of a player slot.
enum class PlayerState : quint8 {
    Racing = 0,
    SitOut1 = 1,
    SitOut2 = 2,
    SitOut3 = 3,
    ChoosingStart = 4,
    Placed = 249,
    PlacedDisqualified = 250,
    PlacedCrashedOut = 251,
    Finished = 252,
    Disqualified = 253,
    CrashedOut = 254,
    NoPlayer = 255,
};

// A car still in the race: racing, sitting out, or yet to choose its start.
constexpr bool isInRace(PlayerState state) { return state <= PlayerState::ChoosingStart; }
// A car on the track: racing or sitting out.
constexpr bool isOnTrack(PlayerState state) { return state <= PlayerState::SitOut3; }
// The turns a car still sits out: 1 to 3, or 0 when it does not.
constexpr int turnsToSitOut(PlayerState state)
{
    return state >= PlayerState::SitOut1 && state <= PlayerState::SitOut3 ? static_cast<int>(state) : 0;
}
// The state of a car that sits out 0 (racing) to 3 turns.
constexpr PlayerState sittingOut(int turns) { return static_cast<PlayerState>(turns); }

// Who drives a car: a person at the mouse and keys, or the computer at one of three strengths.
enum class DriverKind : quint8 {
    Person = 0,
    Beginner = 1,  // "začátečník"
    Racer = 2,     // "závodník"
    Master = 3,    // "mistr"
};

struct PlayerRecord {
    QString name;
    ColorValue color = 0;
    DriverKind driver = DriverKind::Person;  // like name and colour, kept from race to race
    PlayerState state = PlayerState::Racing;
    double moves = 0;           // moves counted so far, fractional after the finish
    qint32 prevX = 0, prevY = 0;  // the position before the last move
    qint32 posX = 0, posY = 0;    // the car's position
    qint32 aimX = 0, aimY = 0;    // the inertia point: 2 * position - previous position
    // One element per drawn trajectory segment; element 0 is a placeholder (0 and (0, 0)).
    // The index of the segment's line among the trajectory lines: 32 bits, so that a race of more
    // than 32 767 lines (ten cars, long rides) keeps finding its lines instead of wrapping.
    std::vector<qint32> segmentLines;
    std::vector<TrackPoint> segmentStarts;  // where the segment starts
    quint8 checkpointsPassed = 0;
    double maxSpeed = 0;        // the highest speed of any move, in step lengths per move
};

inline constexpr int PlayerSlots = 10;

// Everything a race, its track and the views share. One instance, owned by the application and
// handed to every part by reference. Starts with every value zero, as a program that has just started.
struct RaceState : LanguageState {
    // Race
    std::vector<TrackPoint> startPositions;  // position i (1 ... startCount) is element i - 1: top-left corner of its marker
    std::array<PlayerRecord, PlayerSlots> players;  // player n (1 ... 10) is element n - 1; use player(n)
    quint8 playersRacing = 0;
    quint8 currentPlayer = 0;   // 1 ... 10; 0 until the first race starts
    bool raceRunning = false;
    quint64 raceSeed = 0;       // drawn at every race start: the computer drivers' choices follow from it

    // Track
    QString trackName;
    QString trackDescription;
    QString trackPicturePath;
    qint32 trackWidth = 0;
    qint32 trackHeight = 0;
    qint16 stepLength = 0;
    qint16 speedLimit = 0;      // longest allowed move in track units; 0 = unlimited
    quint8 startCount = 0;
    ColorValue trackBackColor = 0;
    ColorValue crashColor = 0;
    std::array<TrackPoint, 2> startLine{};
    std::vector<CheckpointColors> checkpoints;  // checkpoint k (1 ... checkpointCount) is element k - 1
    quint8 checkpointCount = 0;
    float pictureScaleX = 0;
    float pictureScaleY = 0;
    std::shared_ptr<const Metafile> trackPicture;  // the loaded track's picture, as the track view shows it
    TrackRaster trackRaster;               // the same picture at one pixel per track unit, for the colour tests

    // Record of the loaded track
    QString recordHolder;
    double recordMoves = 0;     // 0: the track has no record
    ColorValue recordColor = 0;
    QString recordDate;
    QString recordComment;
    std::vector<TrackPoint> recordRide;  // element 0 is a placeholder; element k is the k-th position

    // View and modes
    qint32 viewWidth = 0;
    qint32 viewHeight = 0;
    QString scrollbarFlags;     // "1"/"0" for horizontal, then vertical scrolling in use
    float zoom = 0;             // view units per track unit
    bool mouseMoveArmed = false;
    double newRecordMoves = 0;
    bool replayRunning = false;
    quint8 newRecordPlayer = 0;
    qint32 previewWidth = 0;
    qint32 previewHeight = 0;

    // The players by their place in the last race's results: place i is element i - 1.
    std::vector<quint8> OrderOfFinish;

    // The current turn's collision window, in track units relative to its top-left corner
    // (left, top): the car's position and the inertia point.
    struct {
        qint32 StartX = 0, StartY = 0;
        qint32 CentreX = 0, CentreY = 0;
        qint32 left = 0, top = 0;
    } CollisionWindow;

    // False only while a forced move at minimum speed is made: a crash is then announced, not asked.
    bool AskBeforeCrash = false;

    // Whether player n's car is driven by the computer.
    bool drivenByComputer(int number) const { return player(number).driver != DriverKind::Person; }

    // Player n, 1 ... 10. Any other number is a program error and throws std::out_of_range.
    PlayerRecord& player(int number);
    const PlayerRecord& player(int number) const;
};
