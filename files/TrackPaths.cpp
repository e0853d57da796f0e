#include "files/TrackPaths.h"

#include <algorithm>

namespace {

QString withoutExtension(const QString& path)
{
    return path.left(std::max<qsizetype>(0, path.size() - 4));
}

}  // namespace

QString trackPicturePathFor(const QString& definitionPath)
{
    return withoutExtension(definitionPath) + QStringLiteral(".wmf");
}

QString recordFilePathFor(const QString& definitionPath)
{
    return withoutExtension(definitionPath) + QStringLiteral(".rek");
}
