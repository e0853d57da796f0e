#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QtGlobal>

// What reading a metafile found: its bytes, where its checked record list lies in them, and the
// frame the records are played into.
struct MetafileContent {
    QByteArray bytes;
    qsizetype recordsBegin = 0;
    qsizetype recordsEnd = 0;   // after the last complete record before the end record or damage
    int objectCount = 0;        // the object table's size from the header

    QRect frame;                // in logical units, never empty
    bool placeable = false;
    int unitsPerInch = 0;       // of the placeable header; 0 without one

    // The window at the start of playing: the frame's origin and size, or the first window
    // records with their signs (a negative extent turns an axis).
    QPoint initialWindowOrg;
    QSize initialWindowExt;

    QByteArrayView records() const { return QByteArrayView(bytes).sliced(recordsBegin, recordsEnd - recordsBegin); }
};
