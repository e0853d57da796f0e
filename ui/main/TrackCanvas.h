#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRgb>
#include <QtGlobal>

#include <unordered_map>
#include <vector>

class QPainter;
struct AllowedAreaOutline;

// A pixel of the guide line marked on the track view, with the colour it had before.
struct MarkedPoint {
    qint32 x = 0;
    qint32 y = 0;
    QRgb savedColor = 0;
};

// The drawing surface of the track view, in view units (one pixel each): the track picture at the
// zoom with what the race draws on it — the outline of the allowed targets and the guide line.
// Pixels read back exactly as drawn. Clearing brings the picture back everywhere.
//
// The picture itself is never copied whole: a drawing changes tiles of it, and only those tiles
// are held apart, so a turn on a large track costs memory and time for the few tiles around the
// car, and a clear only drops them.
class TrackCanvas {
public:
    static constexpr int TileSize = 64;

    // Takes the picture at the zoom (shared, not copied) and clears every drawing.
    void setPicture(const QImage& picture);
    const QImage& picture() const { return picture_; }
    QSize size() const { return picture_.size(); }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < picture_.width() && y < picture_.height(); }

    // Everything drawn is gone; the marked points are forgotten, since their pixels are the picture's again.
    void clear();
    // The colour at (x, y) as shown; 0 outside the picture.
    QRgb pixel(int x, int y) const;
    // Sets one pixel; nothing outside the picture.
    void setPixel(int x, int y, QRgb color);

    // The outline of the allowed targets: a whole circle or two arcs, one pixel wide, no antialiasing.
    void drawOutline(const AllowedAreaOutline& outline, QRgb color);

    // The guide line from one end to the other, walked along its longer axis with the other
    // coordinate interpolated: each pixel's colour is saved, then the pixel takes the colour.
    void markGuideLine(QPoint from, QPoint to, QRgb color);
    // Puts the saved colours back, in the order they were marked, and forgets them.
    void clearGuideLine();
    // Forgets the marked points without putting anything back.
    void forgetGuideLine();
    // The marked points; element 0 is a placeholder.
    const std::vector<MarkedPoint>& markedPoints() const { return markedPoints_; }

    // Paints the part rect of the canvas at the same place in painter's coordinates.
    void paint(QPainter& painter, const QRect& rect) const;

    // The area changed since the last call, for the widget to repaint; empties it.
    QRect takeChangedArea();

private:
    using TileKey = quint64;
    TileKey keyOf(int tileX, int tileY) const { return (static_cast<quint64>(static_cast<quint32>(tileY)) << 32) | static_cast<quint32>(tileX); }
    QRect tileRect(int tileX, int tileY) const;
    // The tile's own copy, made from the picture on first use.
    QImage& tileFor(int tileX, int tileY);
    void changed(const QRect& rect) { changedArea_ |= rect; }

    QImage picture_;
    std::unordered_map<TileKey, QImage> tiles_;  // the tiles that hold drawings, by their key
    std::vector<MarkedPoint> markedPoints_{MarkedPoint{}};
    QRect changedArea_;
};
