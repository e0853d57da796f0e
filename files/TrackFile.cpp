#include "files/TrackFile.h"

#include "files/FieldReader.h"
#include "files/FileMessages.h"
#include "files/TrackPicture.h"
#include "race/GameWindow.h"
#include "shell/IntegerText.h"
#include "shell/MessageBoxStyle.h"
#include "shell/Windows1250.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <limits>

namespace {

template <typename T>
std::optional<T> integerField(FieldReader& fields, long long lowest, long long highest)
{
    const auto field = fields.next();
    if (!field)
        return std::nullopt;
    const auto value = parseInteger<T>(*field);
    if (!value || *value < lowest || *value > highest)
        return std::nullopt;
    return value;
}

// Nine leading digits RRRGGGBBB, each group at most 255; what follows them is ignored.
std::optional<ColorValue> colorField(FieldReader& fields)
{
    const auto field = fields.next();
    if (!field || field->size() < 9)
        return std::nullopt;
    int groups[3] = {0, 0, 0};
    for (int i = 0; i < 9; ++i) {
        const QChar c = (*field)[i];
        if (c < u'0' || c > u'9')
            return std::nullopt;
        groups[i / 3] = groups[i / 3] * 10 + (c.unicode() - u'0');
    }
    for (int group : groups)
        if (group > 255)
            return std::nullopt;
    return colorValue(groups[0], groups[1], groups[2]);
}

}  // namespace

bool parseTrackDefinition(RaceState& state, QStringView text)
{
    FieldReader fields(text);
    const auto name = fields.next();
    if (!name)
        return false;
    state.trackName = name->toString();

    constexpr long long int32Max = std::numeric_limits<qint32>::max();
    constexpr long long int16Max = std::numeric_limits<qint16>::max();
    const auto width = integerField<qint32>(fields, 1, int32Max);
    if (!width)
        return false;
    state.trackWidth = *width;
    const auto height = integerField<qint32>(fields, 1, int32Max);
    if (!height)
        return false;
    state.trackHeight = *height;
    const auto step = integerField<qint16>(fields, 1, int16Max);
    if (!step)
        return false;
    state.stepLength = *step;
    const auto allowedSpeed = integerField<qint16>(fields, 0, int16Max);
    if (!allowedSpeed || static_cast<long long>(*allowedSpeed) * state.stepLength > int16Max)
        return false;
    state.speedLimit = static_cast<qint16>(*allowedSpeed * state.stepLength);

    const auto background = colorField(fields);
    if (!background)
        return false;
    state.trackBackColor = *background;
    const auto barrier = colorField(fields);
    if (!barrier)
        return false;
    state.crashColor = *barrier;

    const auto checkpointCount = integerField<quint8>(fields, 1, 255);
    if (!checkpointCount)
        return false;
    state.checkpointCount = *checkpointCount;
    state.checkpoints.assign(*checkpointCount, CheckpointColors{});
    for (CheckpointColors& checkpoint : state.checkpoints) {
        const auto first = colorField(fields);
        if (!first)
            return false;
        checkpoint.firstColor = *first;
        const auto second = colorField(fields);
        if (!second)
            return false;
        checkpoint.secondColor = *second;
    }

    const auto startCount = integerField<quint8>(fields, 1, 255);
    if (!startCount)
        return false;
    state.startCount = *startCount;
    for (TrackPoint& end : state.startLine) {
        const auto x = integerField<qint32>(fields, 0, state.trackWidth - 1LL);
        if (!x)
            return false;
        end.x = *x;
        const auto y = integerField<qint32>(fields, 0, state.trackHeight - 1LL);
        if (!y)
            return false;
        end.y = *y;
    }
    state.trackDescription = fields.rest().toString();
    return true;
}

TrackFileResult ReadTrackFiles(RaceState& state, const QString& path)
{
    const auto failure = [&state](TrackFileError error, const QString& file, auto message) {
        return TrackFileResult{error, message(state, file)};
    };

    if (!QFileInfo::exists(path))
        return failure(TrackFileError::DefinitionMissing, path, fileNotFoundMessage);
    state.trackPicturePath = trackPicturePathFor(path);
    if (!QFileInfo::exists(state.trackPicturePath))
        return failure(TrackFileError::PictureMissing, state.trackPicturePath, fileNotFoundMessage);

    QFile file(path);
    if (!QFileInfo(path).isFile() || file.size() > MaxTrackFileSize || !file.open(QIODevice::ReadOnly))
        return failure(TrackFileError::DefinitionInvalid, path, fileDamagedMessage);
    const QByteArray bytes = file.read(std::min<qint64>(file.size(), MaxTrackFileSize) + 1);
    if (bytes.size() > MaxTrackFileSize || !parseTrackDefinition(state, decodeWindows1250(bytes)))
        return failure(TrackFileError::DefinitionInvalid, path, fileDamagedMessage);
    if (!trackSizeFitsRaster(state.trackWidth, state.trackHeight))
        return failure(TrackFileError::DefinitionInvalid, path, fileDamagedMessage);

    std::optional<Metafile> picture = Metafile::fromFile(state.trackPicturePath);
    if (!picture)
        return failure(TrackFileError::PictureInvalid, state.trackPicturePath, fileDamagedMessage);
    std::optional<TrackRaster> raster = rasterizeTrackPicture(*picture, state.trackWidth, state.trackHeight, state.trackBackColor);
    if (!raster)
        return failure(TrackFileError::PictureInvalid, state.trackPicturePath, fileDamagedMessage);

    const QSize ownSize = picture->naturalSize();
    state.pictureScaleX = static_cast<float>(state.trackWidth) / static_cast<float>(ownSize.width());
    state.pictureScaleY = static_cast<float>(state.trackHeight) / static_cast<float>(ownSize.height());
    state.trackPicture = std::make_shared<const Metafile>(std::move(*picture));
    state.trackRaster = std::move(*raster);
    return {};
}

void LoadTrack(RaceState& state, GameWindow& window, TrackDialogFields* dialog, const QString& path)
{
    const TrackFileResult result = ReadTrackFiles(state, path);
    if (result.error != TrackFileError::None) {
        window.messageBox(result.message, StyleCritical, fileErrorTitle(state));
        // Nothing of the previous track may stay in use: its picture would be raced on and its
        // record checked under the new track's record path.
        state.trackPicture.reset();
        state.trackRaster = TrackRaster();
        ClearRecord(state, dialog);
        if (dialog)
            dialog->ClearTrackInfo();
        return;
    }
    if (dialog)
        dialog->ShowTrackInfo(state);
    window.prepareTrackView();
    ReadRecord(state, window, dialog, recordFilePathFor(path));
    if (dialog)
        dialog->UpdateStartButton();
}
