// Every bundled track carries a record ride that drives from a start position to the finish and
// passes the record check: the tracks are proven drivable, and the rides stay valid as long as the
// tracks and the rules do not change (tools/make_rides.sh finds them afresh).

#include "files/RecordCheck.h"
#include "files/RecordFile.h"
#include "files/TrackFile.h"
#include "race/MoveCommit.h"
#include "race/StartPositions.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

const QString bundledTracks = QStringLiteral(TRASOVKY_SOURCE_DIR "/tracks");

TEST(BundledRides, EveryTrackHasARideThatPassesTheRecordCheck)
{
    const QStringList tracks = QDir(bundledTracks).entryList({"*.trt"}, QDir::Files, QDir::Name);
    ASSERT_FALSE(tracks.isEmpty());
    for (const QString& name : tracks) {
        SCOPED_TRACE(name.toStdString());
        RaceState state;
        ReadLanguageLayout(state);
        const QString path = bundledTracks + '/' + name;
        ASSERT_EQ(ReadTrackFiles(state, path).error, TrackFileError::None);
        const RecordReadResult read = readRecordFile(state, recordFilePathFor(path));
        ASSERT_EQ(read.error, RecordReadError::None) << read.message.toStdString();
        // The ride starts at the middle of a start marker.
        LayOutStartPositions(state);
        const TrackPoint start = state.recordRide.at(1);
        bool atStart = false;
        for (const TrackPoint& corner : state.startPositions)
            atStart = atStart || (corner.x + StartMarkerSize / 2 == start.x && corner.y + StartMarkerSize / 2 == start.y);
        EXPECT_TRUE(atStart);
        EXPECT_EQ(CheckRecord(state), CheckCode::RecordValid);
    }
}

}  // namespace
