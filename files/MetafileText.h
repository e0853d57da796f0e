#pragma once

#include "files/MetafileDeviceContext.h"
#include "files/MetafileDeviceMap.h"

#include <QByteArrayView>
#include <QFont>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <optional>
#include <vector>

class QPainter;

// The text records: 8-bit text in the font's character set, placed by the text alignment, drawn in
// the text colour without antialiasing, so every text pixel is exactly that colour.

// The font's character set decides the code page of the bytes: the default and Central European
// sets are Windows-1250 (the code page of Czech Windows), the others their own Windows code page
// where Qt has it, else Latin-1.
QString decodeMetafileText(QByteArrayView bytes, quint8 charset);

// The Qt font for a metafile font whose character height is pixelSize device pixels.
QFont metafileQFont(const MetafileFont& font, int pixelSize);

// The character height in device pixels of a font whose height is given in logical units: a negative
// height is the character height itself, a positive one the height of the character cell (the
// character height plus the internal leading), 0 a default size.
double metafileCharacterHeight(const MetafileFont& font, double pixelsPerUnit);

struct MetafileTextRun {
    enum : quint16 { Opaque = 0x0002, Clipped = 0x0004 };

    QPointF origin;          // the reference point, logical
    QByteArrayView text;     // in the font's character set
    std::vector<int> dx;     // logical distance from each character to the next; empty: the font's own
    quint16 options = 0;
    std::optional<QRectF> rect;  // logical corners of the opaque or clipping rectangle
};

// Draws one run with the context's font, colours, background mode and alignment. The painter draws in
// device pixels (no transform of its own). Returns the run's advance in logical units, for the text
// alignment that moves the current position.
double drawMetafileText(QPainter& painter, const MetafileDeviceMap& map, const MetafileDeviceContext& context, const MetafileTextRun& run);
