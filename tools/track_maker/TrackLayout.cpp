#include "tools/track_maker/TrackLayout.h"

#include "race/MoveCommit.h"
#include "race/RaceState.h"
#include "race/StartPositions.h"
#include "tools/track_maker/Scenery.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double RoadSampleSpacing = 4;  // track units between the cross-sections of the road
constexpr int RoadSectionsPerPolygon = 24;
constexpr double KerbWidth = 7;
constexpr double KerbStripe = 14;
constexpr double StartLineWidth = 4;
constexpr double StartLineInset = 6;  // from the road's edge to each end of the start line
constexpr int StartMarkerGap = 2;     // at least this much between neighbouring start markers
constexpr double ThinnestBand = 6;    // a checkpoint band's least width, at its outer end in a curve
constexpr double PictureMargin = 2;   // between the barrier and the picture's edge

double distance(QPointF a, QPointF b)
{
    const QPointF d = a - b;
    return std::sqrt(d.x() * d.x() + d.y() * d.y());
}

QString where(QPointF p)
{
    return QStringLiteral("(%1, %2)").arg(std::lround(p.x())).arg(std::lround(p.y()));
}

// Arc lengths from a to b (a <= b) in pieces of at most spacing, both ends included.
std::vector<double> arcsBetween(double a, double b, double spacing)
{
    const int pieces = std::max(1, static_cast<int>(std::ceil((b - a) / spacing)));
    std::vector<double> arcs;
    for (int i = 0; i <= pieces; ++i)
        arcs.push_back(a + (b - a) * i / pieces);
    return arcs;
}

// A line along the road on one side (+1 the driver's left, -1 the right), a fixed distance beyond
// the road's edge (a negative distance lies on the road).
struct Along {
    int side = 1;
    double beyondEdge = 0;
};

QPointF pointAlong(const CentreLine& line, double s, Along along)
{
    return line.edgeAt(s, along.side, -along.beyondEdge);
}

// The ground from arc a to arc b between two lines along the road.
QVector<QPoint> strip(const CentreLine& line, double a, double b, double spacing, Along from, Along to)
{
    QVector<QPoint> polygon;
    const std::vector<double> arcs = arcsBetween(a, b, spacing);
    for (double s : arcs)
        polygon.append(wholePoint(pointAlong(line, s, from)));
    for (auto s = arcs.rbegin(); s != arcs.rend(); ++s)
        polygon.append(wholePoint(pointAlong(line, *s, to)));
    return polygon;
}

// The start marker centres the game lays out on the line from a to b.
std::vector<QPoint> startMarkerCentres(QPoint a, QPoint b, int count)
{
    RaceState state;
    state.startLine = {TrackPoint{a.x(), a.y()}, TrackPoint{b.x(), b.y()}};
    state.startCount = static_cast<quint8>(count);
    LayOutStartPositions(state);
    std::vector<QPoint> centres;
    for (const TrackPoint& corner : state.startPositions)
        centres.push_back(QPoint(corner.x + StartMarkerSize / 2, corner.y + StartMarkerSize / 2));
    return centres;
}

class Builder {
public:
    Builder(const TrackDesign& design, QStringList& problems)
        : design_(design), line_(design.points, design.roadWidth, design.closed), problems_(problems)
    {
        const int sections = static_cast<int>(std::ceil(line_.length() / RoadSampleSpacing));
        for (int i = 0; i <= sections; ++i)
            roadArcs_.push_back(line_.length() * i / sections);
    }

    TrackLayout build()
    {
        checkCurves();
        checkSpacing();
        checkInsidePicture();
        placeCheckpoints();
        placeStart();

        TrackLayout layout{design_, line_, {}, startArc_, checkpointArcs_, startA_, startB_, startPoints_};
        TrackScene& scene = layout.scene;
        scene.width = design_.width;
        scene.height = design_.height;
        scene.shapes.push_back(polygonShape(design_.color("grass"),
                                            {QPoint(0, 0), QPoint(design_.width - 1, 0),
                                             QPoint(design_.width - 1, design_.height - 1), QPoint(0, design_.height - 1)}));
        drawScenery(design_, [this](const Footprint& footprint) { return clearance(footprint); }, scene.shapes, problems_);
        drawCorridor(scene, color("verge"), Shape::Role::Scenery, {1, runOff()}, {-1, runOff()});
        drawCorridor(scene, color("road"), Shape::Role::Scenery, {1, 0}, {-1, 0});
        drawKerbs(scene);
        drawStartLine(scene);
        drawCheckpoints(scene);
        drawBarrier(scene);
        checkColors(scene);
        return layout;
    }

private:
    void problem(const QString& text) { problems_.append(text); }
    ColorValue color(const char* key) const { return design_.color(QString::fromLatin1(key)); }
    double runOff() const { return design_.runOff; }
    // From the road's edge to the barrier's outer side.
    double beyondBarrier() const { return design_.runOff + BarrierWidth; }
    // From the middle of the road to the barrier's outer side.
    double corridorHalfWidth(double s) const { return line_.widthAt(s) / 2 + beyondBarrier(); }

    // The least distance from a footprint to the outer side of the barrier (negative inside it).
    double clearance(const Footprint& footprint) const
    {
        double least = std::numeric_limits<double>::infinity();
        for (double s : roadArcs_)
            least = std::min(least, footprint.distanceTo(line_.pointAt(s)) - corridorHalfWidth(s));
        return least;
    }

    // The barrier on the inner side of a curve must not fold back over itself: one problem for
    // each curve that is too tight.
    void checkCurves()
    {
        bool inTightCurve = false;
        for (double s : roadArcs_) {
            const double curvature = std::abs(line_.curvatureAt(s));
            const bool tight = curvature > 0 && 1 / curvature < corridorHalfWidth(s) + 4;
            if (tight && !inTightCurve)
                problem(QStringLiteral("the curve at %1 is too tight for the road and its run-off (radius %2)")
                            .arg(where(line_.pointAt(s)))
                            .arg(std::lround(1 / curvature)));
            inTightCurve = tight;
        }
    }

    // Parts of the road that are far apart along it keep their barriers apart, so that no move
    // gets from one to the other without a crash.
    void checkSpacing()
    {
        const double length = line_.length();
        for (size_t i = 0; i < roadArcs_.size(); ++i) {
            for (size_t j = i + 1; j < roadArcs_.size(); ++j) {
                double along = roadArcs_[j] - roadArcs_[i];
                if (design_.closed)
                    along = std::min(along, length - along);
                const QPointF a = line_.pointAt(roadArcs_[i]), b = line_.pointAt(roadArcs_[j]);
                const double apart = distance(a, b);
                const double gap = apart - corridorHalfWidth(roadArcs_[i]) - corridorHalfWidth(roadArcs_[j]);
                if (along > 3 * apart && gap < 0) {
                    problem(QStringLiteral("the road at %1 and at %2 lies too close to itself").arg(where(a), where(b)));
                    return;
                }
            }
        }
    }

    void checkInsidePicture()
    {
        for (double s : roadArcs_)
            for (int side : {1, -1}) {
                const QPointF p = line_.edgeAt(s, side, -beyondBarrier());
                if (p.x() < PictureMargin || p.y() < PictureMargin || p.x() > design_.width - 1 - PictureMargin ||
                    p.y() > design_.height - 1 - PictureMargin) {
                    problem(QStringLiteral("the barrier at %1 leaves the picture").arg(where(p)));
                    return;
                }
            }
    }

    void placeCheckpoints()
    {
        const double bands = 2 * CheckpointBandWidth;
        const double reach = runOff() + BarrierWidth / 2;
        for (const CheckpointDesign& checkpoint : design_.checkpoints) {
            const double s = line_.arcOf(checkpoint.at);
            if (!design_.closed && s + bands > line_.length() - BarrierWidth)
                problem(QStringLiteral("the checkpoint at %1 lies beyond the end of the road").arg(where(line_.pointAt(s))));
            // Each band keeps its width out to its ends, also on the inner side of a curve.
            for (int band = 0; band < 2; ++band) {
                const double a = s + band * CheckpointBandWidth, b = a + CheckpointBandWidth;
                for (int side : {1, -1})
                    if (distance(line_.edgeAt(a, side, -reach), line_.edgeAt(b, side, -reach)) < ThinnestBand)
                        problem(QStringLiteral("the checkpoint at %1 lies in too tight a curve").arg(where(line_.pointAt(s))));
            }
            checkpointArcs_.push_back(s);
        }
        for (size_t i = 0; i < design_.checkpoints.size(); ++i)
            for (size_t j = 0; j < design_.checkpoints.size(); ++j) {
                const CheckpointDesign &a = design_.checkpoints[i], &b = design_.checkpoints[j];
                if ((i != j && (a.entry == b.entry || a.exit == b.exit || a.entry == b.exit)) || a.entry == a.exit)
                    problem(QStringLiteral("checkpoints %1 and %2 share a colour").arg(i + 1).arg(j + 1));
            }
    }

    void placeStart()
    {
        startArc_ = line_.arcOf(design_.start);
        startA_ = wholePoint(line_.edgeAt(startArc_, 1, StartLineInset));
        startB_ = wholePoint(line_.edgeAt(startArc_, -1, StartLineInset));
        startPoints_ = startMarkerCentres(startA_, startB_, design_.startCount);
        if (startPoints_.size() > 1) {
            const QPoint spacing = startPoints_[1] - startPoints_[0];
            if (std::max(std::abs(spacing.x()), std::abs(spacing.y())) < StartMarkerSize + StartMarkerGap)
                problem(QStringLiteral("the start markers are too close: widen the road at the start or use fewer of them"));
        }
        // The first checkpoint comes first, the finish last. On a loop the start lies just past
        // the finish, so a car drives the whole lap, and a car that backs off the grid meets the
        // finish's exit band and then its entry band: a wrong checkpoint, never a finish.
        const double half = StartLineWidth / 2;
        double previous = half;
        for (size_t k = 0; k < checkpointArcs_.size(); ++k) {
            const double ahead = design_.closed ? line_.ahead(startArc_, checkpointArcs_[k]) : checkpointArcs_[k] - startArc_;
            if (ahead <= previous)
                problem(QStringLiteral("checkpoint %1 does not follow the one before it in driving order").arg(k + 1));
            previous = ahead + 2 * CheckpointBandWidth;
        }
        const double behindFinish = design_.closed
                                        ? line_.ahead(checkpointArcs_.back() + 2 * CheckpointBandWidth, startArc_ - half)
                                        : startArc_ - half - BarrierWidth;
        if (behindFinish < 2.0 * design_.stepLength)
            problem(design_.closed ? QStringLiteral("the start line lies less than two step lengths past the finish")
                                   : QStringLiteral("the start line lies less than two step lengths from the road's beginning"));
        if (design_.closed && behindFinish > 6.0 * design_.stepLength)
            problem(QStringLiteral("the start line lies far past the finish: the lap would not be whole"));
    }

    // A band along the whole road between two lines along it, in pieces of a few dozen sections.
    void drawCorridor(TrackScene& scene, ColorValue color, Shape::Role role, Along from, Along to)
    {
        for (size_t first = 0; first + 1 < roadArcs_.size(); first += RoadSectionsPerPolygon) {
            const size_t last = std::min(first + RoadSectionsPerPolygon, roadArcs_.size() - 1);
            QVector<QPoint> polygon;
            for (size_t i = first; i <= last; ++i)
                polygon.append(wholePoint(pointAlong(line_, roadArcs_[i], from)));
            for (size_t i = last + 1; i-- > first;)
                polygon.append(wholePoint(pointAlong(line_, roadArcs_[i], to)));
            scene.shapes.push_back(polygonShape(color, polygon, role));
        }
    }

    struct KerbRun {
        double from = 0;
        double to = 0;
        int side = 0;  // +1 left, -1 right
        bool outer = true;
    };

    // Stretches of the road that curve tighter than the kerb radius, on the outer side of the curve
    // and, when asked for, on the inner side as well.
    std::vector<KerbRun> kerbRuns() const
    {
        std::vector<KerbRun> runs;
        if (design_.kerbs == KerbSides::None)
            return runs;
        const double spacing = 2, extend = 12, shortest = 30;
        const double length = line_.length();
        const int samples = static_cast<int>(std::ceil(length / spacing));
        std::vector<int> turn(static_cast<size_t>(samples));
        for (int i = 0; i < samples; ++i) {
            const double k = line_.curvatureAt(length * i / samples);
            turn[static_cast<size_t>(i)] = std::abs(k) * design_.kerbRadius > 1 ? (k > 0 ? 1 : -1) : 0;
        }
        // On a loop, begin at a straight place so that no run is cut in two.
        int begin = 0;
        if (design_.closed) {
            const auto straight = std::find(turn.begin(), turn.end(), 0);
            if (straight == turn.end())
                return runs;
            begin = static_cast<int>(straight - turn.begin());
        }
        const int end = design_.closed ? begin + samples : samples;
        for (int i = begin; i < end;) {
            const int direction = turn[static_cast<size_t>(i % samples)];
            int j = i;
            while (j < end && turn[static_cast<size_t>(j % samples)] == direction)
                ++j;
            if (direction != 0) {
                const double from = length * i / samples - extend, to = length * j / samples + extend;
                if (to - from >= shortest) {
                    // A right turn has its outer side on the left.
                    runs.push_back({from, to, direction > 0 ? 1 : -1, true});
                    if (design_.kerbs == KerbSides::Both)
                        runs.push_back({from + extend, to - extend, direction > 0 ? -1 : 1, false});
                }
            }
            i = j;
        }
        if (!design_.closed)
            for (KerbRun& run : runs) {
                run.from = std::max(run.from, 0.0);
                run.to = std::min(run.to, length);
            }
        return runs;
    }

    // Red and white kerbs on the road's edge, with a gravel trap in the run-off behind the outer ones.
    void drawKerbs(TrackScene& scene)
    {
        const std::vector<KerbRun> runs = kerbRuns();
        if (runOff() > 0)
            for (const KerbRun& run : runs)
                if (run.outer)
                    scene.shapes.push_back(polygonShape(color("gravel"),
                                                        strip(line_, run.from, run.to, 3, {run.side, 0}, {run.side, runOff()})));
        for (const KerbRun& run : runs) {
            const int stripes = std::max(2, static_cast<int>(std::lround((run.to - run.from) / KerbStripe)));
            for (int k = 0; k < stripes; ++k) {
                const double a = run.from + (run.to - run.from) * k / stripes;
                const double b = run.from + (run.to - run.from) * (k + 1) / stripes;
                scene.shapes.push_back(polygonShape(color(k % 2 ? "kerb white" : "kerb red"),
                                                    strip(line_, a, b, 3, {run.side, 0}, {run.side, -KerbWidth})));
            }
        }
    }

    // The start line across the road, with the start positions on it.
    void drawStartLine(TrackScene& scene)
    {
        const double half = StartLineWidth / 2;
        scene.shapes.push_back(polygonShape(color("start"), strip(line_, startArc_ - half, startArc_ + half, 2, {1, 0}, {-1, 0})));
        // A short tick behind every start position marks the grid.
        const QPointF back = -line_.tangentAt(startArc_);
        const QPointF across = line_.leftAt(startArc_);
        for (const QPoint& point : startPoints_) {
            const QPointF p(point);
            scene.shapes.push_back(polygonShape(color("start"), {wholePoint(p + across * 1), wholePoint(p + across * 1 + back * 9),
                                                                 wholePoint(p - across * 1 + back * 9), wholePoint(p - across * 1)}));
        }
    }

    // Each checkpoint as two bands across the road and its run-off, reaching under the barrier on
    // both sides: the entry colour first, the exit colour behind it in the direction of travel.
    void drawCheckpoints(TrackScene& scene)
    {
        const double reach = runOff() + BarrierWidth / 2;
        for (size_t k = 0; k < checkpointArcs_.size(); ++k) {
            const double s = checkpointArcs_[k];
            for (int band = 0; band < 2; ++band) {
                const double a = s + band * CheckpointBandWidth;
                const CheckpointDesign& checkpoint = design_.checkpoints[k];
                scene.shapes.push_back(polygonShape(band == 0 ? checkpoint.entry : checkpoint.exit,
                                                    strip(line_, a, a + CheckpointBandWidth, 2, {1, reach}, {-1, reach}),
                                                    Shape::Role::Checkpoint));
            }
        }
    }

    // The barrier on both sides of the run-off, and across both ends of an open road.
    void drawBarrier(TrackScene& scene)
    {
        const ColorValue barrier = color("barrier");
        for (int side : {1, -1})
            drawCorridor(scene, barrier, Shape::Role::Barrier, {side, runOff()}, {side, beyondBarrier()});
        if (!design_.closed) {
            const double length = line_.length();
            for (double from : {0.0, length - BarrierWidth})
                scene.shapes.push_back(polygonShape(barrier,
                                                    strip(line_, from, from + BarrierWidth, 1, {1, beyondBarrier()}, {-1, beyondBarrier()}),
                                                    Shape::Role::Barrier));
        }
    }

    // The barrier colour is the barrier's alone and a checkpoint colour is its bands' alone;
    // neither is the grass, which also stands for everything outside the picture. The run-off is
    // told apart from the grass beyond the barrier, so that a player sees how far a car may go.
    void checkColors(const TrackScene& scene)
    {
        if (color("verge") == color("grass"))
            problem(QStringLiteral("the run-off needs a colour other than the grass"));
        std::vector<ColorValue> reserved;
        for (const CheckpointDesign& checkpoint : design_.checkpoints) {
            reserved.push_back(checkpoint.entry);
            reserved.push_back(checkpoint.exit);
        }
        const ColorValue barrier = color("barrier");
        const ColorValue grass = color("grass");
        const auto isReserved = [&reserved](ColorValue c) { return std::find(reserved.begin(), reserved.end(), c) != reserved.end(); };
        if (barrier == grass || isReserved(barrier) || isReserved(grass)) {
            problem(QStringLiteral("the grass, the barrier and the checkpoints need colours of their own"));
            return;
        }
        for (const Shape& shape : scene.shapes) {
            if ((shape.color == barrier && shape.role != Shape::Role::Barrier) ||
                (isReserved(shape.color) && shape.role != Shape::Role::Checkpoint)) {
                problem(QStringLiteral("a colour of the scenery is the barrier's or a checkpoint's"));
                return;
            }
        }
    }

    const TrackDesign& design_;
    CentreLine line_;
    QStringList& problems_;
    std::vector<double> roadArcs_;
    std::vector<double> checkpointArcs_;
    double startArc_ = 0;
    QPoint startA_;
    QPoint startB_;
    std::vector<QPoint> startPoints_;
};

}  // namespace

TrackLayout layOutTrack(const TrackDesign& design, QStringList& problems)
{
    return Builder(design, problems).build();
}
