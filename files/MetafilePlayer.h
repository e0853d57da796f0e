#pragma once

#include <QRectF>

class QPainter;
struct MetafileContent;

// Plays a checked record list onto painter so that the content's frame fills target (in the
// painter's coordinates). The painter's transform and clip are kept, and its state is restored.
void playMetafile(const MetafileContent& content, QPainter& painter, const QRectF& target);
