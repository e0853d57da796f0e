#pragma once

#include <QString>

// Paths of a track's other files: the definition file's path with its last four characters
// (".trt") replaced.
QString trackPicturePathFor(const QString& definitionPath);
QString recordFilePathFor(const QString& definitionPath);
