#pragma once

#include <QPoint>
#include <QSize>

// The window and viewport of a metafile's device context and the mapping mode that joins them:
// device = (logical - window origin) × viewport extent / window extent + viewport origin, per axis.
// The device here is the frame's own space, (0, 0) to the frame's size, which play() stretches
// onto its target.
class MetafileMapping {
public:
    enum Mode {
        Text = 1,
        LoMetric = 2,
        HiMetric = 3,
        LoEnglish = 4,
        HiEnglish = 5,
        Twips = 6,
        Isotropic = 7,
        Anisotropic = 8,
    };

    // Anisotropic, the window given, the viewport the frame's size at the origin: the picture fills
    // the frame unless its records say otherwise.
    MetafileMapping(QPoint windowOrg, QSize windowExt, QSize frameSize);

    // Text: one logical unit is one frame unit. The metric modes keep that scale but turn the
    // y axis upwards, as they do on a screen. Unknown modes are ignored.
    void setMode(int mode);
    void setWindowOrg(int x, int y) { windowOrg_ = {x, y}; }
    void setViewportOrg(int x, int y) { viewportOrg_ = {x, y}; }
    // The origins stay within ±2^30, however many offsets a file holds.
    void offsetWindowOrg(int dx, int dy) { windowOrg_ = offset(windowOrg_, dx, dy); }
    void offsetViewportOrg(int dx, int dy) { viewportOrg_ = offset(viewportOrg_, dx, dy); }
    // Extents with a zero in them, and extents outside the two scalable modes, are ignored.
    void setWindowExt(int width, int height);
    void setViewportExt(int width, int height);
    // extent × numerator / denominator per axis; ignored when a denominator or the result is zero,
    // or the result does not fit.
    void scaleWindowExt(int xNum, int xDenom, int yNum, int yDenom);
    void scaleViewportExt(int xNum, int xDenom, int yNum, int yDenom);

    // device = logical × scale + offset.
    double scaleX() const;
    double scaleY() const;
    double offsetX() const { return viewportOrg_.x() - windowOrg_.x() * scaleX(); }
    double offsetY() const { return viewportOrg_.y() - windowOrg_.y() * scaleY(); }

private:
    static QPoint offset(QPoint origin, int dx, int dy);
    static bool scaled(QSize& extent, int xNum, int xDenom, int yNum, int yDenom);
    bool extentsSettable() const { return mode_ == Isotropic || mode_ == Anisotropic; }
    // The isotropic mode keeps the viewport's signs but makes both axes the smaller scale.
    double isotropicScale() const;

    int mode_ = Anisotropic;
    QPoint windowOrg_;
    QSize windowExt_;
    QPoint viewportOrg_;
    QSize viewportExt_;
};
