#pragma once

#include "race/ColorValue.h"

#include <QMap>
#include <QString>

#include <optional>
#include <vector>

// A track as its designer writes it in a .track file: the values of the definition file, the
// centre line of the road and what is drawn around it. Lengths are in track units.
//
// Across the road, from its middle outwards on either side: the road (half its width), the
// run-off (grass, or gravel on the outer side of a kerbed curve), then the barrier. Cars may drive
// on all of it up to the barrier; everything beyond the barrier is scenery no car reaches.

// A place on the centre line: a fraction of the whole length measured from the first control
// point, or a control point (a fractional index lies between two of them), either one moved by a
// number of track units along the road.
struct TrackPosition {
    enum class Base { Fraction, ControlPoint };
    Base base = Base::Fraction;
    double value = 0;
    double offset = 0;
};

struct ControlPoint {
    double x = 0;
    double y = 0;
    double width = 0;  // road width here; 0 takes the track's road width
};

struct CheckpointDesign {
    TrackPosition at;
    ColorValue entry = 0;
    ColorValue exit = 0;
};

// Kerbs are drawn on the road's edge wherever the centre line curves tighter than kerbRadius;
// the run-off behind the outer kerb is a gravel trap.
enum class KerbSides { None, Outer, Both };

struct TreeDesign {
    double x = 0;
    double y = 0;
    double radius = 0;
    bool bush = false;
};

struct LakeDesign {
    double x = 0;  // centre
    double y = 0;
    double radiusX = 0;
    double radiusY = 0;
};

struct StandDesign {
    double x = 0;  // top-left corner
    double y = 0;
    double width = 0;
    double height = 0;
};

// Trees scattered over a box, each kept clear of the road and of everything else.
struct ForestDesign {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
    int count = 0;
    quint32 seed = 0;
    double smallest = 8;  // range of the tree radii
    double largest = 15;
};

struct LabelDesign {
    int x = 0;  // top-left corner of the text
    int y = 0;
    int height = 0;
    QString text;
};

struct TrackDesign {
    QString name;
    QString description;  // lines joined by CR LF
    int width = 0;
    int height = 0;
    int stepLength = 0;
    int allowedSpeed = 0;  // in step lengths, 0 unlimited
    bool closed = true;
    double roadWidth = 0;
    double runOff = 14;  // from the road's edge to the barrier
    std::vector<ControlPoint> points;
    KerbSides kerbs = KerbSides::Outer;
    double kerbRadius = 0;
    std::vector<CheckpointDesign> checkpoints;  // in driving order, the last one is the finish
    TrackPosition start;
    bool hasStart = false;
    int startCount = 10;
    std::vector<TreeDesign> trees;
    std::vector<LakeDesign> lakes;
    std::vector<StandDesign> stands;
    std::vector<ForestDesign> forests;
    std::vector<LabelDesign> labels;
    QMap<QString, ColorValue> colors;  // the palette: every entry has a default, a file may change it

    ColorValue color(const QString& key) const { return colors.value(key); }
};

// The palette entries a .track file may set with "colour KEY = RRRGGGBBB", with their defaults.
QMap<QString, ColorValue> defaultPalette();

// Reads a .track file's text. On a fault gives nothing and sets error to "line N: what is wrong".
std::optional<TrackDesign> parseTrackDesign(const QString& text, QString* error);
