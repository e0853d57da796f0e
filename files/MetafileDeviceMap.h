#pragma once

#include "files/MetafileMapping.h"

#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QTransform>

// From a metafile's logical units to the pixels of the painter's device: the window-to-viewport
// mapping into the frame, the frame stretched onto the target, then the painter's own transform.
// Drawing happens in whole device pixels, as the system draws metafiles: positions are rounded.
class MetafileDeviceMap {
public:
    MetafileDeviceMap(const QSize& frameSize, const QRectF& target, const QTransform& world);

    // Follows the mapping's window, viewport and mode.
    void setMapping(const MetafileMapping& mapping);

    const QTransform& transform() const { return transform_; }
    // Neither rotated nor sheared: rectangles stay rectangles along the pixel grid.
    bool axisAligned() const { return transform_.m12() == 0 && transform_.m21() == 0; }
    // How long one logical unit along each axis is in device pixels.
    double lengthX() const { return lengthX_; }
    double lengthY() const { return lengthY_; }

    QPointF map(double x, double y) const { return transform_.map(QPointF(x, y)); }
    // The device pixel a logical point falls on, kept within ±2^29.
    QPointF pixel(double x, double y) const;
    // The device pixels from one logical corner to the other, right and bottom edges excluded, for
    // corners in any order; only meaningful when axisAligned().
    QRect box(double x1, double y1, double x2, double y2) const;

    static double rounded(double value);

private:
    QTransform frameToDevice_;
    QTransform transform_;
    double lengthX_ = 1;
    double lengthY_ = 1;
};
