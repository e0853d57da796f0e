#include "tools/track_maker/CentreLine.h"

#include <algorithm>
#include <cmath>

namespace {

double norm(QPointF v)
{
    return std::sqrt(v.x() * v.x() + v.y() * v.y());
}

QPointF unit(QPointF v)
{
    const double l = norm(v);
    return l > 0 ? v / l : QPointF(1, 0);
}

// Knot spacing of the centripetal curve: the square root of the chord length.
double knotStep(QPointF a, QPointF b)
{
    return std::max(std::sqrt(norm(b - a)), 1e-6);
}

// The point at parameter t of the segment from p1 to p2 (Barry and Goldman's pyramid).
QPointF catmullRom(QPointF p0, QPointF p1, QPointF p2, QPointF p3, double t0, double t1, double t2, double t3,
                   double t)
{
    const QPointF a1 = p0 * ((t1 - t) / (t1 - t0)) + p1 * ((t - t0) / (t1 - t0));
    const QPointF a2 = p1 * ((t2 - t) / (t2 - t1)) + p2 * ((t - t1) / (t2 - t1));
    const QPointF a3 = p2 * ((t3 - t) / (t3 - t2)) + p3 * ((t - t2) / (t3 - t2));
    const QPointF b1 = a1 * ((t2 - t) / (t2 - t0)) + a2 * ((t - t0) / (t2 - t0));
    const QPointF b2 = a2 * ((t3 - t) / (t3 - t1)) + a3 * ((t - t1) / (t3 - t1));
    return b1 * ((t2 - t) / (t2 - t1)) + b2 * ((t - t1) / (t2 - t1));
}

}  // namespace

CentreLine::CentreLine(const std::vector<ControlPoint>& points, double defaultWidth, bool closed) : closed_(closed)
{
    const size_t n = points.size();
    const long m = static_cast<long>(n);
    auto wrapIndex = [m](long i) { return static_cast<size_t>((i % m + m) % m); };
    auto corner = [&](size_t i) { return QPointF(points[i].x, points[i].y); };
    auto at = [&](long i) -> QPointF {
        if (closed)
            return corner(wrapIndex(i));
        // An open road is continued at both ends by mirroring its neighbour.
        if (i < 0)
            return corner(0) * 2 - corner(1);
        if (i >= m)
            return corner(n - 1) * 2 - corner(n - 2);
        return corner(static_cast<size_t>(i));
    };
    auto widthOf = [&](long i) {
        const ControlPoint& p = points[wrapIndex(i)];
        return p.width > 0 ? p.width : defaultWidth;
    };

    const long segments = static_cast<long>(closed ? n : n - 1);
    std::vector<QPointF> positions;
    std::vector<double> widths;
    std::vector<size_t> knotIndex;
    for (long i = 0; i < segments; ++i) {
        const QPointF p0 = at(i - 1), p1 = at(i), p2 = at(i + 1), p3 = at(i + 2);
        const double t0 = 0, t1 = t0 + knotStep(p0, p1), t2 = t1 + knotStep(p1, p2), t3 = t2 + knotStep(p2, p3);
        const int parts = std::max(16, static_cast<int>(std::ceil(norm(p2 - p1) / 0.5)));
        const double w1 = widthOf(i), w2 = widthOf(i + 1);
        knotIndex.push_back(positions.size());
        for (int k = 0; k < parts; ++k) {
            const double u = static_cast<double>(k) / parts;
            positions.push_back(catmullRom(p0, p1, p2, p3, t0, t1, t2, t3, t1 + (t2 - t1) * u));
            widths.push_back(w1 + (w2 - w1) * (u * u * (3 - 2 * u)));
        }
    }
    knotIndex.push_back(positions.size());
    positions.push_back(closed ? positions.front() : at(segments));
    widths.push_back(closed ? widths.front() : widthOf(segments));

    const size_t count = positions.size();
    samples_.resize(count);
    double arc = 0;
    for (size_t i = 0; i < count; ++i) {
        if (i > 0)
            arc += norm(positions[i] - positions[i - 1]);
        QPointF before, after;
        if (closed) {
            // The first and the last sample are the same place; their neighbours wrap around.
            before = positions[i == 0 ? count - 2 : i - 1];
            after = positions[i == count - 1 ? 1 : i + 1];
        } else {
            before = positions[i == 0 ? 0 : i - 1];
            after = positions[i == count - 1 ? i : i + 1];
        }
        samples_[i] = Sample{positions[i], unit(after - before), widths[i], arc};
    }
    for (size_t index : knotIndex)
        knotArcs_.push_back(samples_[index].arc);
}

double CentreLine::wrap(double s) const
{
    const double l = length();
    if (!closed_)
        return std::clamp(s, 0.0, l);
    s = std::fmod(s, l);
    return s < 0 ? s + l : s;
}

double CentreLine::ahead(double a, double b) const
{
    return closed_ ? wrap(b - a) : b - a;
}

double CentreLine::arcOf(const TrackPosition& position) const
{
    double s = 0;
    if (position.base == TrackPosition::Base::Fraction) {
        s = position.value * length();
    } else {
        const double segments = static_cast<double>(knotArcs_.size() - 1);
        const double index = closed_ ? std::fmod(std::fmod(position.value, segments) + segments, segments)
                                     : std::clamp(position.value, 0.0, segments);
        const size_t whole = std::min(static_cast<size_t>(index), knotArcs_.size() - 2);
        s = knotArcs_[whole] + (knotArcs_[whole + 1] - knotArcs_[whole]) * (index - static_cast<double>(whole));
    }
    return wrap(s + position.offset);
}

std::pair<size_t, double> CentreLine::locate(double s) const
{
    s = wrap(s);
    const auto after = std::upper_bound(samples_.begin(), samples_.end(), s,
                                        [](double value, const Sample& sample) { return value < sample.arc; });
    size_t i = after == samples_.begin() ? 0 : static_cast<size_t>(after - samples_.begin()) - 1;
    i = std::min(i, samples_.size() - 2);
    const double span = samples_[i + 1].arc - samples_[i].arc;
    return {i, span > 0 ? std::clamp((s - samples_[i].arc) / span, 0.0, 1.0) : 0.0};
}

QPointF CentreLine::pointAt(double s) const
{
    const auto [i, f] = locate(s);
    return samples_[i].point + (samples_[i + 1].point - samples_[i].point) * f;
}

QPointF CentreLine::tangentAt(double s) const
{
    const auto [i, f] = locate(s);
    return unit(samples_[i].tangent + (samples_[i + 1].tangent - samples_[i].tangent) * f);
}

QPointF CentreLine::leftAt(double s) const
{
    const QPointF t = tangentAt(s);
    return QPointF(t.y(), -t.x());
}

double CentreLine::widthAt(double s) const
{
    const auto [i, f] = locate(s);
    return samples_[i].width + (samples_[i + 1].width - samples_[i].width) * f;
}

QPointF CentreLine::edgeAt(double s, int side, double inset) const
{
    return pointAt(s) + leftAt(s) * (side * (widthAt(s) / 2 - inset));
}

double CentreLine::curvatureAt(double s) const
{
    constexpr double h = 4;
    double a = s - h, b = s + h;
    if (!closed_) {
        a = std::max(a, 0.0);
        b = std::min(b, length());
    }
    const QPointF t1 = tangentAt(a), t2 = tangentAt(b);
    return (t1.x() * t2.y() - t1.y() * t2.x()) / (b - a);
}
