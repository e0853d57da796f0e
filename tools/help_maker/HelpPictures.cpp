#include "tools/help_maker/HelpPictures.h"

#include "race/RaceState.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

namespace {

// The circle picture is laid out in these units and drawn at twice the size, sharp enough to print.
constexpr int CircleWidth = 540;
constexpr int CircleHeight = 280;
constexpr double Scale = 2.0;
constexpr double Grid = 20.0;
constexpr double Step = 80.0;  // the step length: four squares of the paper

const QColor Paper(252, 250, 240);
const QColor GridLine(190, 214, 236);
const QColor CarColour(205, 30, 30);
const QColor CircleFill(205, 30, 30, 28);
const QColor MoveColour(20, 90, 190);
const QColor Ink(24, 44, 92);
const QColor Helper(110, 110, 110);

QPointF along(QPointF from, QPointF direction, double length)
{
    const double norm = std::hypot(direction.x(), direction.y());
    return from + direction * (length / norm);
}

QPointF rotated(QPointF v, double angle)
{
    return {v.x() * std::cos(angle) - v.y() * std::sin(angle), v.x() * std::sin(angle) + v.y() * std::cos(angle)};
}

double cross(QPointF a, QPointF b)
{
    return a.x() * b.y() - a.y() * b.x();
}

void arrow(QPainter& p, QPointF from, QPointF to, const QColor& colour, double width)
{
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
    const QPointF direction = to - from;
    const double length = std::hypot(direction.x(), direction.y());
    const QPointF unit = direction / length;
    const QPointF base = to - unit * 11.0;
    const QPointF side(-unit.y() * 5.0, unit.x() * 5.0);
    p.drawLine(from, base);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(QPolygonF{to, base + side, base - side});
}

void dot(QPainter& p, QPointF at, const QColor& colour, double radius)
{
    p.setPen(QPen(Qt::white, 1.5));
    p.setBrush(colour);
    p.drawEllipse(at, radius, radius);
}

// A keypad key as a small key cap beside the point it puts the pointer on.
void keyCap(QPainter& p, QPointF centre, const QString& key)
{
    const QRectF cap(centre.x() - 10, centre.y() - 10, 20, 20);
    p.setPen(QPen(Ink, 1.2));
    p.setBrush(Qt::white);
    p.drawRoundedRect(cap, 4, 4);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    font.setBold(true);
    p.setFont(font);
    p.drawText(cap, Qt::AlignCenter, key);
}

// A label whose box has its anchor at the given corner (alignment of the box to the point).
void label(QPainter& p, QPointF anchor, Qt::Alignment corner, const QString& text, const QColor& colour)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    p.setFont(font);
    const QFontMetricsF metrics(font);
    const QSizeF size(metrics.horizontalAdvance(text) + 8, metrics.height() + 4);
    QPointF topLeft = anchor;
    if (corner & Qt::AlignRight)
        topLeft.rx() -= size.width();
    else if (corner & Qt::AlignHCenter)
        topLeft.rx() -= size.width() / 2;
    if (corner & Qt::AlignBottom)
        topLeft.ry() -= size.height();
    else if (corner & Qt::AlignVCenter)
        topLeft.ry() -= size.height() / 2;
    const QRectF box(topLeft, size);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(252, 250, 240, 225));
    p.drawRoundedRect(box, 3, 3);
    p.setPen(colour);
    p.drawText(box, Qt::AlignCenter, text);
}

}  // namespace

QImage drawMoveCircle()
{
    QImage image(static_cast<int>(CircleWidth * Scale), static_cast<int>(CircleHeight * Scale), QImage::Format_RGB32);
    image.fill(Paper);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(Scale, Scale);

    p.setPen(QPen(GridLine, 1.0));
    for (double x = 0; x <= CircleWidth; x += Grid)
        p.drawLine(QPointF(x, 0), QPointF(x, CircleHeight));
    for (double y = 0; y <= CircleHeight; y += Grid)
        p.drawLine(QPointF(0, y), QPointF(CircleWidth, y));

    // The last move ran from the previous position to the car; repeated, it reaches the inertia point.
    const QPointF previous(40, 240);
    const QPointF car(180, 180);
    const QPointF move = car - previous;
    const QPointF inertia = car + move;
    const double d = std::hypot(move.x(), move.y());
    const QPointF farthest = car + move * (1 + Step / d);
    const QPointF nearest = car + move * (1 - Step / d);
    const double psi = std::asin(Step / d);
    const double r = std::sqrt(d * d - Step * Step);
    const QPointF touchA = along(car, rotated(move, psi), r);
    const QPointF touchB = along(car, rotated(move, -psi), r);
    // Left of the direction of travel as seen on the screen (y grows downwards).
    const QPointF left = cross(move, touchA - car) < 0 ? touchA : touchB;
    const QPointF right = left == touchA ? touchB : touchA;
    const QPointF chosen = inertia + QPointF(-20, 50);

    // The circle of allowed moves.
    p.setPen(QPen(CarColour, 2.0));
    p.setBrush(CircleFill);
    p.drawEllipse(inertia, Step, Step);

    // Helper lines: the repeat of the last move and the two lines that touch the circle.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(CarColour, 1.4, Qt::DashLine));
    p.drawLine(car, farthest);
    p.setPen(QPen(Helper, 1.0, Qt::DashLine));
    p.drawLine(car, along(car, left - car, r + 40));
    p.drawLine(car, along(car, right - car, r + 40));

    // The step length: a radius of the circle.
    const QPointF radiusEnd = inertia + QPointF(Step, 0);
    p.setPen(QPen(Ink, 1.4));
    p.drawLine(inertia, radiusEnd);

    // The last move and one move chosen in the circle, each ending at the edge of its dot.
    arrow(p, previous, along(previous, car - previous, d - 7), CarColour, 3.0);
    arrow(p, car, along(car, chosen - car, std::hypot((chosen - car).x(), (chosen - car).y()) - 6), MoveColour, 3.0);

    dot(p, previous, CarColour, 5);
    dot(p, car, CarColour, 6);
    dot(p, inertia, CarColour, 4.5);
    for (const QPointF& point : {farthest, nearest, left, right})
        dot(p, point, Ink, 4);
    dot(p, chosen, MoveColour, 4.5);

    // Each key beside its point, outwards from the centre of the circle.
    const auto outwards = [&](QPointF point) { return along(point, point - inertia, 18); };
    keyCap(p, inertia + QPointF(-14, -18), QStringLiteral("5"));
    keyCap(p, outwards(farthest), QStringLiteral("8"));
    keyCap(p, nearest + QPointF(-12, -20), QStringLiteral("2"));
    keyCap(p, outwards(left), QStringLiteral("4"));
    keyCap(p, outwards(right), QStringLiteral("6"));

    label(p, previous + QPointF(-12, 12), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("předchozí poloha"), CarColour);
    label(p, car + QPointF(0, 12), Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("auto"), CarColour);
    label(p, inertia + QPointF(-26, -18), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("bod setrvačnosti"), CarColour);
    label(p, (inertia + radiusEnd) / 2 + QPointF(0, 6), Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("délka kroku"), Ink);
    label(p, chosen + QPointF(10, 0), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("zvolený tah"), MoveColour);
    const QPointF circleLabel(CircleWidth - 10, CircleHeight - 10);
    p.setPen(QPen(CarColour, 1.0));
    p.drawLine(circleLabel + QPointF(-90, -18), inertia + rotated(QPointF(Step, 0), std::numbers::pi / 3));
    label(p, circleLabel, Qt::AlignRight | Qt::AlignBottom, QStringLiteral("kruh povolených tahů"), CarColour);
    p.end();
    return image;
}

QImage drawTrackWithRide(const RaceState& state, int width)
{
    const QImage& raster = state.trackRaster.image();
    if (raster.isNull() || width < 1)
        return {};
    const double factor = static_cast<double>(width) / raster.width();
    QImage image = raster.scaledToWidth(width, Qt::SmoothTransformation).convertToFormat(QImage::Format_RGB32);
    if (state.recordRide.size() < 2)
        return image;
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor colour = QColor::fromRgb(toQRgb(state.recordColor));
    QPolygonF ride;
    for (std::size_t k = 1; k < state.recordRide.size(); ++k)
        ride << QPointF(state.recordRide[k].x, state.recordRide[k].y) * factor;
    p.setPen(QPen(colour, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(ride);
    p.setPen(QPen(Qt::white, 1.0));
    p.setBrush(colour);
    for (const QPointF& point : ride)
        p.drawEllipse(point, 3.0, 3.0);
    p.end();
    return image;
}
