#pragma once

#include <QByteArray>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QString>

#include <memory>
#include <optional>

class QPainter;

// A Windows metafile picture (with or without the placeable header), checked once when it is read
// and played onto a QPainter as often as needed. Every colour drawn is exactly a colour the file
// names: the player turns antialiasing and smooth scaling off. A damaged or hostile file is refused
// when it is read, or its bad records are skipped when it is played; it never crashes the program,
// hangs it or makes it allocate without bound.
class Metafile {
public:
    // The largest file read at all.
    static constexpr qint64 MaxFileSize = 64 * 1024 * 1024;

    // nullopt when the bytes are not a metafile this player can use (no valid header, no records).
    static std::optional<Metafile> fromBytes(const QByteArray& bytes);
    // nullopt also when the file cannot be read or is larger than MaxFileSize.
    static std::optional<Metafile> fromFile(const QString& path);

    // The picture's frame in its logical units: the placeable header's bounding box, else the
    // window origin and extent that the records set. Never empty.
    QRect frame() const;
    // The picture's own size in pixels: the placeable frame at 96 pixels per inch, else the frame's size.
    QSize naturalSize() const;

    // Plays every record so that the frame fills target, given in the painter's coordinates. The
    // painter's own transform and clip are respected (a caller draws part of the picture by
    // translating the painter); its state is the same afterwards. False when a work limit of the
    // player stopped the picture before its end (see playMetafile).
    bool play(QPainter& painter, const QRectF& target) const;

private:
    struct Data;
    std::shared_ptr<const Data> data_;
};
