// find_ride TRACK.trt [HOLDER]
//
// Finds a ride from start position 1 to the finish of a track and stores it as the track's record
// file (TRACK.rek), then reads the file back and replays it with the record check. The bundled
// tracks carry such a ride, which proves every one of them drivable. Exit 0 when the stored ride
// passes the check.

#include "files/RecordCheck.h"
#include "files/RecordFile.h"
#include "files/TrackFile.h"
#include "race/MoveCommit.h"
#include "race/StartPositions.h"
#include "race/RideSearch.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc < 2 || argc > 3) {
        std::fputs("usage: find_ride TRACK.trt [HOLDER]\n", stderr);
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    const QString holder = argc == 3 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("Trasovky");

    RaceState state;
    ReadLanguageLayout(state);
    const TrackFileResult loaded = ReadTrackFiles(state, path);
    if (loaded.error != TrackFileError::None) {
        std::fprintf(stderr, "%s\n", qPrintable(loaded.message));
        return 1;
    }
    LayOutStartPositions(state);
    const TrackPoint corner = state.startPositions.front();
    const TrackPoint start{corner.x + StartMarkerSize / 2, corner.y + StartMarkerSize / 2};

    std::optional<FoundRide> ride;
    for (int beam : {200, 800, 3200}) {
        ride = searchRide(state, start, beam, 1000);
        if (ride)
            break;
        std::fprintf(stderr, "no ride with a beam of %d, widening\n", beam);
    }
    if (!ride) {
        std::fputs("no ride found\n", stderr);
        return 1;
    }

    PlayerRecord& player = state.player(1);
    player.color = 0x0000C0;
    player.segmentStarts.assign(1, TrackPoint{});
    for (size_t i = 0; i + 1 < ride->points.size(); ++i)
        player.segmentStarts.push_back(ride->points[i]);
    player.posX = ride->points.back().x;
    player.posY = ride->points.back().y;
    state.newRecordPlayer = 1;
    state.newRecordMoves = ride->moves;
    const RecordWriteResult written = writeRecordFile(state, holder, QStringLiteral("10.12.2026"),
                                                      QStringLiteral("Jízda, která dokazuje, že trať je sjízdná."));
    if (written.error != RecordWriteError::None) {
        std::fprintf(stderr, "cannot write the record: %s\n", qPrintable(written.message));
        return 1;
    }
    const RecordReadResult read = readRecordFile(state, written.path);
    if (read.error != RecordReadError::None) {
        std::fprintf(stderr, "cannot read the record back: %s\n", qPrintable(read.message));
        return 1;
    }
    const CheckCode code = CheckRecord(state);
    std::printf("%s: %zu points, %.6f moves, check code %d\n", qPrintable(written.path), ride->points.size(), ride->moves, int(code));
    return code == RecordValid ? 0 : 1;
}
