#include "tools/track_maker/Scenery.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The grass kept between a decoration and the outer side of the barrier.
constexpr double ClearOfBarrier = 6;

double distance(QPointF a, QPointF b)
{
    const QPointF d = a - b;
    return std::sqrt(d.x() * d.x() + d.y() * d.y());
}

QString where(QPointF p)
{
    return QStringLiteral("(%1, %2)").arg(std::lround(p.x())).arg(std::lround(p.y()));
}

// A deterministic source of numbers for scattering trees: the same seed gives the same forest
// everywhere (the standard distributions may differ between libraries).
class Scatter {
public:
    explicit Scatter(quint64 seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    double uniform(double low, double high)
    {
        state_ += 0x9E3779B97F4A7C15ull;
        quint64 z = state_;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        z ^= z >> 31;
        return low + (high - low) * static_cast<double>(z >> 11) / 9007199254740992.0;
    }

private:
    quint64 state_;
};

class Planter {
public:
    Planter(const TrackDesign& design, const CorridorClearance& clearance, std::vector<Shape>& shapes,
            QStringList& problems)
        : design_(design), clearance_(clearance), shapes_(shapes), problems_(problems)
    {
    }

    void plant()
    {
        drawLakes();
        drawStands();
        // Labels are drawn over the trees, but the trees make room for them.
        const std::vector<Shape> labels = labelShapes();
        drawTrees();
        shapes_.insert(shapes_.end(), labels.begin(), labels.end());
    }

private:
    bool placeable(const Footprint& footprint, QRectF bounds) const
    {
        const bool inside = bounds.left() >= 1 && bounds.top() >= 1 && bounds.right() <= design_.width - 2 &&
                            bounds.bottom() <= design_.height - 2;
        return inside && clearance_(footprint) >= ClearOfBarrier;
    }

    void requirePlaceable(const Footprint& footprint, QRectF bounds, const QString& what)
    {
        if (!placeable(footprint, bounds))
            problems_.append(QStringLiteral("%1 at %2 reaches the road's barrier or leaves the picture")
                                 .arg(what, where(bounds.center())));
        footprints_.push_back(footprint);
    }

    void drawLakes()
    {
        for (const LakeDesign& lake : design_.lakes) {
            const QPointF centre(lake.x, lake.y);
            const double shore = 5;
            const double rx = lake.radiusX + shore, ry = lake.radiusY + shore;
            requirePlaceable({centre, 0, {}, rx, ry}, QRectF(lake.x - rx, lake.y - ry, 2 * rx, 2 * ry), "a lake");
            shapes_.push_back(ellipseShape(design_.color("shore"), centre, rx, ry));
            shapes_.push_back(ellipseShape(design_.color("water"), centre, lake.radiusX, lake.radiusY));
            // Two glints of light on the water.
            shapes_.push_back(ellipseShape(design_.color("water light"),
                                           centre + QPointF(-lake.radiusX * 0.35, -lake.radiusY * 0.3),
                                           lake.radiusX * 0.3, std::max(2.0, lake.radiusY * 0.06)));
            shapes_.push_back(ellipseShape(design_.color("water light"),
                                           centre + QPointF(lake.radiusX * 0.2, lake.radiusY * 0.25),
                                           lake.radiusX * 0.2, std::max(2.0, lake.radiusY * 0.05)));
        }
    }

    // A grandstand seen from above: a frame, rows of seats along its longer side and a roof strip.
    void drawStands()
    {
        for (const StandDesign& stand : design_.stands) {
            const QRectF rect(stand.x, stand.y, stand.width, stand.height);
            requirePlaceable({{}, 0, rect}, rect, "a stand");
            const QPoint topLeft = wholePoint(rect.topLeft()), bottomRight = wholePoint(rect.bottomRight());
            auto box = [](ColorValue color, QPoint a, QPoint b) {
                return polygonShape(color, {a, QPoint(b.x(), a.y()), b, QPoint(a.x(), b.y())});
            };
            shapes_.push_back(box(design_.color("stand"), topLeft, bottomRight));
            const bool across = stand.width >= stand.height;
            const int length = across ? bottomRight.x() - topLeft.x() : bottomRight.y() - topLeft.y();
            const int depth = across ? bottomRight.y() - topLeft.y() : bottomRight.x() - topLeft.x();
            const int roof = std::max(3, depth / 4);
            for (int row = roof + 3; row + 2 <= depth - 2; row += 5) {
                const QPoint a = across ? topLeft + QPoint(3, row) : topLeft + QPoint(row, 3);
                const QPoint b = across ? a + QPoint(length - 6, 2) : a + QPoint(2, length - 6);
                shapes_.push_back(box(design_.color("seats"), a, b));
            }
            shapes_.push_back(box(design_.color("roof"), topLeft,
                                  across ? QPoint(bottomRight.x(), topLeft.y() + roof)
                                         : QPoint(topLeft.x() + roof, bottomRight.y())));
        }
    }

    void drawTrees()
    {
        std::vector<TreeDesign> trees;
        for (const TreeDesign& tree : design_.trees) {
            const double r = tree.radius;
            requirePlaceable({QPointF(tree.x, tree.y), r, {}}, QRectF(tree.x - r, tree.y - r, 2 * r, 2 * r),
                             tree.bush ? "a bush" : "a tree");
            trees.push_back(tree);
        }
        const size_t fixedFootprints = footprints_.size();
        for (const ForestDesign& forest : design_.forests) {
            Scatter scatter(forest.seed);
            int planted = 0;
            for (int attempt = 0; attempt < forest.count * 40 && planted < forest.count; ++attempt) {
                const double x = scatter.uniform(forest.left, forest.right);
                const double y = scatter.uniform(forest.top, forest.bottom);
                const double r = scatter.uniform(forest.smallest, forest.largest);
                const bool bush = scatter.uniform(0, 1) < 0.3;
                const Footprint footprint{QPointF(x, y), r, {}};
                if (!placeable(footprint, QRectF(x - r, y - r, 2 * r, 2 * r)))
                    continue;
                // Trees of a forest may touch; nothing else is overlapped.
                const bool crowded = std::any_of(footprints_.begin(), footprints_.end(), [&](const Footprint& other) {
                    return other.distanceTo(footprint.centre) < r * 0.6;
                });
                const bool onOther = std::any_of(footprints_.begin(),
                                                 footprints_.begin() + static_cast<std::ptrdiff_t>(fixedFootprints),
                                                 [&](const Footprint& other) { return other.distanceTo(footprint.centre) < r + 4; });
                if (crowded || onOther)
                    continue;
                footprints_.push_back(footprint);
                trees.push_back({x, y, bush ? r * 0.7 : r, bush});
                ++planted;
            }
            if (planted < forest.count)
                problems_.append(QStringLiteral("the forest at %1 holds only %2 of its %3 trees")
                                     .arg(where(QPointF((forest.left + forest.right) / 2, (forest.top + forest.bottom) / 2)))
                                     .arg(planted)
                                     .arg(forest.count));
        }
        // From the top down, so that a lower tree covers the one behind it.
        std::stable_sort(trees.begin(), trees.end(), [](const TreeDesign& a, const TreeDesign& b) { return a.y < b.y; });
        for (const TreeDesign& tree : trees) {
            const QPointF centre(tree.x, tree.y);
            const double r = tree.radius;
            shapes_.push_back(ellipseShape(design_.color(tree.bush ? "bush" : "tree"), centre, r, r));
            shapes_.push_back(ellipseShape(design_.color(tree.bush ? "bush light" : "tree light"),
                                           centre + QPointF(-r * 0.28, -r * 0.28), r * 0.5, r * 0.5));
        }
    }

    std::vector<Shape> labelShapes()
    {
        std::vector<Shape> shapes;
        for (const LabelDesign& label : design_.labels) {
            // A generous guess of the text's extent; the fonts differ from machine to machine.
            const QRectF rect(label.x, label.y, 0.7 * label.height * static_cast<double>(label.text.size()),
                              1.3 * label.height);
            requirePlaceable({{}, 0, rect}, rect, QStringLiteral("the label \"%1\"").arg(label.text));
            Shape shape;
            shape.kind = Shape::Kind::Text;
            shape.color = design_.color("text");
            shape.origin = QPoint(label.x, label.y);
            shape.textHeight = label.height;
            shape.text = label.text;
            shapes.push_back(shape);
        }
        return shapes;
    }

    const TrackDesign& design_;
    const CorridorClearance& clearance_;
    std::vector<Shape>& shapes_;
    QStringList& problems_;
    std::vector<Footprint> footprints_;
};

// The distance to an ellipse, measured to points along its outline spaced by a rational
// parametrisation of the circle (no trigonometry, so the same everywhere).
double distanceToEllipse(QPointF centre, double radiusX, double radiusY, QPointF p)
{
    const QPointF d = p - centre;
    if ((d.x() / radiusX) * (d.x() / radiusX) + (d.y() / radiusY) * (d.y() / radiusY) <= 1)
        return -1;
    double least = std::numeric_limits<double>::infinity();
    constexpr int steps = 64;
    for (int i = -steps; i <= steps; ++i) {
        const double t = static_cast<double>(i) / steps;
        const double u = (1 - t * t) / (1 + t * t), v = 2 * t / (1 + t * t);
        for (double side : {1.0, -1.0})
            least = std::min(least, distance(d, QPointF(side * u * radiusX, v * radiusY)));
    }
    return least;
}

}  // namespace

double Footprint::distanceTo(QPointF p) const
{
    if (radiusX > 0)
        return distanceToEllipse(centre, radiusX, radiusY, p);
    if (rect.isEmpty())
        return distance(p, centre) - radius;
    const double dx = std::max({rect.left() - p.x(), 0.0, p.x() - rect.right()});
    const double dy = std::max({rect.top() - p.y(), 0.0, p.y() - rect.bottom()});
    return std::sqrt(dx * dx + dy * dy) - radius;
}

void drawScenery(const TrackDesign& design, const CorridorClearance& clearance, std::vector<Shape>& shapes,
                 QStringList& problems)
{
    Planter(design, clearance, shapes, problems).plant();
}
