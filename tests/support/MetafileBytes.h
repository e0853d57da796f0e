#pragma once

#include "race/ColorValue.h"
#include "tools/MetafileWriter.h"

#include <QByteArray>
#include <QRect>

// Bytes and pictures that the file-reader tests build their metafiles from.

// The bytes of a little-endian value.
inline QByteArray le(quint32 value, int bytes)
{
    QByteArray out;
    for (int i = 0; i < bytes; ++i)
        out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
    return out;
}

// A picture whose frame is 200 × 160 units at 96 per inch, with a red square in its top-left
// quarter; more records may be added to the writer after it.
inline MetafileWriter squarePictureWriter()
{
    MetafileWriter writer;
    writer.setPlaceable(QRect(0, 0, 200, 160), 96);
    writer.setWindowOrg(0, 0);
    writer.setWindowExt(200, 160);
    writer.selectObject(writer.createPen(5, 0, 0));
    writer.selectObject(writer.createBrush(0, colorValue(255, 0, 0)));
    writer.rectangle(QRect(0, 0, 100, 80));
    return writer;
}

inline QByteArray squarePicture()
{
    return squarePictureWriter().bytes();
}
