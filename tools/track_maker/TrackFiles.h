#pragma once

#include "tools/track_maker/TrackLayout.h"

#include <QByteArray>
#include <QImage>

// The files of a laid-out track: the definition file (Windows-1250 text of "|"-separated fields)
// and its picture (a Windows metafile with a placeable header, one logical unit per track unit).
QByteArray definitionFile(const TrackLayout& layout);
QByteArray pictureFile(const TrackScene& scene);

// The same shapes drawn straight onto an image at one pixel per track unit, antialiasing off, to
// look at a track without playing its metafile.
QImage previewImage(const TrackScene& scene);
