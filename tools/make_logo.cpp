// make_logo OUT.bmp
//
// Draws the game's logo picture: the title over a piece of squared paper with a curved
// road on it, kerbs, a chequered start and finish line and the moves of a car as arrows
// from grid point to grid point. Run it with QT_QPA_PLATFORM=offscreen; it needs a
// QGuiApplication only so that fonts can be used.

#include "tools/PictureTool.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QString>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <numbers>
#include <utility>
#include <vector>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 400;
constexpr int kGrid = 20;          // one square of the paper, in pixels
constexpr double kRoadWidth = 58.0;
constexpr double kKerbWidth = 7.0;

const QColor kPaper(252, 250, 240);
const QColor kGridLine(176, 206, 232);
const QColor kRoad(78, 82, 90);
const QColor kKerbRed(214, 40, 40);
const QColor kMoveColor(255, 205, 40);
const QColor kInk(24, 44, 92);

// The centre line of the road: in from the lower left, a long bend under the title and
// up and out to the right.
QPainterPath roadCentre()
{
    QPainterPath path(QPointF(-40, 240));
    path.cubicTo(QPointF(90, 390), QPointF(250, 360), QPointF(340, 295));
    path.cubicTo(QPointF(420, 238), QPointF(500, 200), QPointF(560, 250));
    path.cubicTo(QPointF(610, 292), QPointF(640, 320), QPointF(690, 300));
    return path;
}

// The centre line sampled finely, so distance and progress along it are easy to measure.
struct Polyline {
    std::vector<QPointF> points;

    explicit Polyline(const QPainterPath& path)
    {
        constexpr int kSamples = 600;
        for (int i = 0; i <= kSamples; ++i)
            points.push_back(path.pointAtPercent(static_cast<double>(i) / kSamples));
    }

    // Distance from the centre line and how far along (0..1) the nearest point lies.
    std::pair<double, double> locate(QPointF p) const
    {
        double best = std::numeric_limits<double>::max();
        size_t at = 0;
        for (size_t i = 0; i < points.size(); ++i) {
            const QPointF d = points[i] - p;
            const double dist = std::hypot(d.x(), d.y());
            if (dist < best) {
                best = dist;
                at = i;
            }
        }
        return {best, static_cast<double>(at) / static_cast<double>(points.size() - 1)};
    }
};

// The car's moves, found the way a player makes them: every move repeats the previous
// one and may change it by at most one square in each direction. A short look-ahead
// picks the change that gets furthest along the road while every point and every
// half-way point stays well inside the road.
std::vector<QPoint> planMoves(const Polyline& centre, QPoint start, int count)
{
    const double limit = kRoadWidth / 2 - 6;
    auto inside = [&](QPointF p) { return centre.locate(p).first < limit; };
    auto pixel = [](QPoint g) { return QPointF(g.x() * kGrid, g.y() * kGrid); };

    std::vector<QPoint> moves{start};
    QPoint velocity(0, 0); // the car starts from rest
    for (int step = 0; step < count; ++step) {
        double bestScore = -std::numeric_limits<double>::max();
        QPoint bestChange;
        for (int a = 0; a < 9 * 9 * 9; ++a) {
            QPoint p = moves.back();
            QPoint v = velocity;
            QPoint first;
            bool ok = true;
            int code = a;
            for (int k = 0; k < 3 && ok; ++k) {
                const QPoint change(code % 3 - 1, (code / 3) % 3 - 1);
                code /= 9;
                if (k == 0)
                    first = change;
                v += change;
                const QPoint next = p + v;
                ok = (v.x() != 0 || v.y() != 0) && inside(pixel(next)) &&
                     inside((pixel(p) + pixel(next)) / 2) && std::abs(v.x()) + std::abs(v.y()) <= 5;
                p = next;
            }
            if (!ok)
                continue;
            const auto [dist, progress] = centre.locate(pixel(p));
            const double score = progress - dist / 4000.0;
            if (score > bestScore) {
                bestScore = score;
                bestChange = first;
            }
        }
        if (bestScore == -std::numeric_limits<double>::max())
            break;
        velocity += bestChange;
        moves.push_back(moves.back() + velocity);
    }
    return moves;
}

void drawPaper(QPainter& p)
{
    p.fillRect(0, 0, kWidth, kHeight, kPaper);
    p.setPen(QPen(kGridLine, 1.0));
    for (int x = 0; x <= kWidth; x += kGrid)
        p.drawLine(QPointF(x + 0.5, 0), QPointF(x + 0.5, kHeight));
    for (int y = 0; y <= kHeight; y += kGrid)
        p.drawLine(QPointF(0, y + 0.5), QPointF(kWidth, y + 0.5));
    // A margin line, as on a school exercise book.
    p.setPen(QPen(QColor(232, 120, 120), 1.5));
    p.drawLine(QPointF(2 * kGrid + 0.5, 0), QPointF(2 * kGrid + 0.5, kHeight));
}

void drawRoad(QPainter& p, const QPainterPath& centre)
{
    // Shadow, then the kerbs as a wider stroke in alternating red and white, then the
    // tarmac on top leaving only the kerb edges showing.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0, 0, 0, 40), kRoadWidth + 2 * kKerbWidth + 6, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.drawPath(centre.translated(3, 4));

    const double kerb = kRoadWidth + 2 * kKerbWidth;
    p.setPen(QPen(Qt::white, kerb, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.drawPath(centre);
    QPen red(kKerbRed, kerb, Qt::CustomDashLine, Qt::FlatCap, Qt::RoundJoin);
    red.setDashPattern({12.0 / kerb, 12.0 / kerb});
    p.setPen(red);
    p.drawPath(centre);

    p.setPen(QPen(kRoad, kRoadWidth, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.drawPath(centre);

    // A dashed white centre line.
    QPen dash(QColor(255, 255, 255, 150), 2.0, Qt::CustomDashLine, Qt::FlatCap);
    dash.setDashPattern({8.0, 8.0});
    p.setPen(dash);
    p.drawPath(centre);

    // The squares of the paper show faintly through the tarmac: the cars move on them.
    QPainterPathStroker stroker;
    stroker.setWidth(kRoadWidth);
    stroker.setCapStyle(Qt::FlatCap);
    p.save();
    p.setClipPath(stroker.createStroke(centre));
    p.setPen(QPen(QColor(255, 255, 255, 28), 1.0));
    for (int x = 0; x <= kWidth; x += kGrid)
        p.drawLine(QPointF(x + 0.5, 0), QPointF(x + 0.5, kHeight));
    for (int y = 0; y <= kHeight; y += kGrid)
        p.drawLine(QPointF(0, y + 0.5), QPointF(kWidth, y + 0.5));
    p.restore();
}

// A chequered band across the road at the given fraction of its length.
void drawFinishLine(QPainter& p, const QPainterPath& centre, double at)
{
    const QPointF where = centre.pointAtPercent(at);
    const double angle = centre.angleAtPercent(at);
    p.save();
    p.translate(where);
    p.rotate(-angle);
    constexpr int kRows = 8;
    constexpr double kCell = kRoadWidth / kRows;
    for (int col = 0; col < 2; ++col)
        for (int row = 0; row < kRows; ++row)
            p.fillRect(QRectF(col * kCell - kCell, -kRoadWidth / 2 + row * kCell, kCell, kCell),
                       (row + col) % 2 ? QColor(20, 20, 20) : QColor(250, 250, 250));
    p.restore();
}

void drawArrow(QPainter& p, QPointF from, QPointF to, const QColor& color, double width)
{
    const QPointF d = to - from;
    const double length = std::hypot(d.x(), d.y());
    if (length < 1)
        return;
    const QPointF u = d / length;
    const QPointF n(-u.y(), u.x());
    const double head = 9.0;
    const QPointF tip = to - u * 4.0; // stop short of the dot at the target
    const QPointF base = tip - u * head;
    p.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from + u * 4.0, base);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPolygon(QPolygonF({tip, base + n * head * 0.5, base - n * head * 0.5}));
}

// The moves as arrows between grid points, the next allowed targets as a dotted circle
// around the point the car would reach by inertia alone, and a small car at the end.
void drawMoves(QPainter& p, const std::vector<QPoint>& moves)
{
    auto pixel = [](QPoint g) { return QPointF(g.x() * kGrid + 0.5, g.y() * kGrid + 0.5); };
    for (size_t i = 1; i < moves.size(); ++i) {
        drawArrow(p, pixel(moves[i - 1]), pixel(moves[i]), QColor(0, 0, 0, 90), 4.0);
        drawArrow(p, pixel(moves[i - 1]), pixel(moves[i]), kMoveColor, 2.2);
    }
    p.setPen(QPen(QColor(40, 30, 0), 1.2));
    p.setBrush(kMoveColor);
    for (const QPoint& g : moves)
        p.drawEllipse(pixel(g), 3.5, 3.5);

    if (moves.size() < 2)
        return;
    const QPoint last = moves.back();
    const QPoint inertia = last + (last - moves[moves.size() - 2]);
    QPen ring(QColor(255, 255, 255, 220), 1.6, Qt::DotLine);
    p.setPen(ring);
    p.setBrush(QColor(255, 255, 255, 35));
    p.drawEllipse(pixel(inertia), kGrid * 1.5, kGrid * 1.5);
    p.setPen(QPen(QColor(30, 30, 30, 200), 1.0));
    p.setBrush(QColor(255, 255, 255, 230));
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            p.drawEllipse(pixel(inertia + QPoint(dx, dy)), 2.5, 2.5);
    QPen hint(QColor(255, 255, 255, 170), 1.4, Qt::DashLine);
    p.setPen(hint);
    p.drawLine(pixel(last), pixel(inertia));

    // The car, seen from above, pointing along its last move.
    const QPointF d = pixel(last) - pixel(moves[moves.size() - 2]);
    p.save();
    p.translate(pixel(last));
    p.rotate(std::atan2(d.y(), d.x()) * 180.0 / std::numbers::pi);
    p.scale(1.3, 1.3);
    p.setPen(QPen(QColor(30, 10, 10), 1.2));
    p.setBrush(QColor(20, 20, 20));
    for (double x : {-8.0, 7.0})
        for (double y : {-8.5, 5.5})
            p.drawRoundedRect(QRectF(x - 2.5, y, 5.5, 3.0), 1, 1);
    QLinearGradient body(0, -6, 0, 6);
    body.setColorAt(0, QColor(255, 90, 60));
    body.setColorAt(1, QColor(180, 20, 20));
    p.setBrush(body);
    QPainterPath shape;
    shape.moveTo(-12, -5);
    shape.lineTo(6, -5);
    shape.quadTo(13, -4, 13, 0);
    shape.quadTo(13, 4, 6, 5);
    shape.lineTo(-12, 5);
    shape.closeSubpath();
    p.drawPath(shape);
    p.setBrush(QColor(120, 200, 255));
    p.drawRoundedRect(QRectF(-1, -3.5, 5, 7), 1.5, 1.5);
    p.setBrush(QColor(255, 255, 255));
    p.drawRect(QRectF(-12, -1, 10, 2));
    p.restore();
}

// Text with a soft shadow, a dark outline and a vertical colour gradient.
void drawTitleText(QPainter& p, const QString& text, const QFont& font, QPointF baseline, QColor top,
                   QColor bottom, double outline)
{
    QPainterPath path;
    path.addText(baseline, font, text);
    const QRectF box = path.boundingRect();

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 55));
    p.drawPath(path.translated(3, 4));

    QPainterPathStroker stroker;
    stroker.setWidth(outline * 2);
    stroker.setJoinStyle(Qt::RoundJoin);
    p.setBrush(QColor(255, 255, 255));
    p.drawPath(stroker.createStroke(path).united(path));

    QLinearGradient fill(box.topLeft(), box.bottomLeft());
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    p.setPen(QPen(kInk, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(path);
}

void drawTitle(QPainter& p)
{
    QFont title(QStringLiteral("DejaVu Sans"));
    title.setBold(true);
    title.setItalic(true);
    title.setPixelSize(92);
    const QString name = QString::fromUtf8(u8"Trasovky");
    const double nameWidth = QFontMetricsF(title).horizontalAdvance(name);
    drawTitleText(p, name, title, QPointF((kWidth - nameWidth) / 2, 112), QColor(255, 120, 40),
                  QColor(200, 20, 30), 5.0);

    QFont subtitle(QStringLiteral("DejaVu Sans"));
    subtitle.setBold(true);
    subtitle.setPixelSize(30);
    subtitle.setLetterSpacing(QFont::AbsoluteSpacing, 3.0);
    const QString cup = QString::fromUtf8(u8"Kladivnice Cup");
    const double cupWidth = QFontMetricsF(subtitle).horizontalAdvance(cup);
    drawTitleText(p, cup, subtitle, QPointF((kWidth - cupWidth) / 2, 160), QColor(60, 110, 200), kInk, 3.5);
}

QImage drawLogo()
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);

    drawPaper(p);
    const QPainterPath centre = roadCentre();
    drawRoad(p, centre);
    const double finishAt = 0.2;
    drawFinishLine(p, centre, finishAt);

    const Polyline line(centre);
    const QPointF startPixel = centre.pointAtPercent(finishAt + 0.02);
    const QPoint start(static_cast<int>(std::lround(startPixel.x() / kGrid)),
                       static_cast<int>(std::lround(startPixel.y() / kGrid)));
    drawMoves(p, planMoves(line, start, 7));

    drawTitle(p);
    p.end();
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    return runPictureTool(argc, argv, "make_logo", drawLogo);
}
