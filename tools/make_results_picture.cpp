// make_results_picture OUT.bmp
//
// Draws the picture of the results dialog: a winners' podium on the squared paper of the logo,
// a golden cup on the highest step and two crossed chequered flags behind it, on a strip of
// road with red and white kerbs. Run it with QT_QPA_PLATFORM=offscreen; it needs a
// QGuiApplication only so that fonts can be used.

#include "tools/PictureTool.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QString>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 200;
constexpr int kGrid = 10;  // one square of the paper, in pixels

// The colours of the logo.
const QColor kPaper(252, 250, 240);
const QColor kGridLine(176, 206, 232);
const QColor kMargin(232, 120, 120);
const QColor kRoad(78, 82, 90);
const QColor kKerbRed(214, 40, 40);
const QColor kInk(24, 44, 92);
const QColor kGold(255, 205, 40);

void drawPaper(QPainter& p)
{
    p.fillRect(0, 0, kWidth, kHeight, kPaper);
    p.setPen(QPen(kGridLine, 1.0));
    for (int x = 0; x <= kWidth; x += kGrid)
        p.drawLine(QPointF(x + 0.5, 0), QPointF(x + 0.5, kHeight));
    for (int y = 0; y <= kHeight; y += kGrid)
        p.drawLine(QPointF(0, y + 0.5), QPointF(kWidth, y + 0.5));
    p.setPen(QPen(kMargin, 1.2));
    p.drawLine(QPointF(kGrid + 0.5, 0), QPointF(kGrid + 0.5, kHeight));
}

// A chequered flag on a pole from the foot to the top, the cloth waving away from the pole.
void drawFlag(QPainter& p, QPointF foot, QPointF top, bool clothToTheRight)
{
    p.setPen(QPen(QColor(60, 40, 20), 2.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(foot, top);
    p.setPen(Qt::NoPen);
    p.setBrush(kGold);
    p.drawEllipse(top, 2.6, 2.6);

    const QPointF along = (top - foot) / std::hypot(top.x() - foot.x(), top.y() - foot.y());
    const QPointF across = clothToTheRight ? QPointF(-along.y(), along.x()) : QPointF(along.y(), -along.x());
    constexpr int kColumns = 6;
    constexpr int kRows = 4;
    constexpr double kCell = 5.0;
    // Each cell is a small quadrilateral on a gently waving sheet.
    auto at = [&](double u, double v) {
        const double wave = 2.2 * std::sin(u / kCell * 1.1);
        const QPointF corner = top - along * 3.0;
        return corner + across * u - along * (v + wave);
    };
    for (int c = 0; c < kColumns; ++c) {
        for (int r = 0; r < kRows; ++r) {
            const double u0 = c * kCell, u1 = (c + 1) * kCell;
            const double v0 = r * kCell, v1 = (r + 1) * kCell;
            QPolygonF cell({at(u0, v0), at(u1, v0), at(u1, v1), at(u0, v1)});
            p.setBrush((c + r) % 2 ? QColor(25, 25, 25) : QColor(250, 250, 250));
            p.drawPolygon(cell);
        }
    }
    // An outline round the cloth.
    QPainterPath outline;
    outline.moveTo(at(0, 0));
    for (int i = 1; i <= kColumns * 4; ++i)
        outline.lineTo(at(i * kCell / 4, 0));
    for (int i = 1; i <= kRows; ++i)
        outline.lineTo(at(kColumns * kCell, i * kCell));
    for (int i = kColumns * 4 - 1; i >= 0; --i)
        outline.lineTo(at(i * kCell / 4, kRows * kCell));
    outline.closeSubpath();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(20, 20, 20), 1.0));
    p.drawPath(outline);
}

// A cup standing on `base` (the middle of its foot), `height` pixels high.
void drawCup(QPainter& p, QPointF base, double height)
{
    const double s = height / 70.0;
    p.save();
    p.translate(base);
    p.scale(s, s);

    QLinearGradient gold(-22, 0, 22, 0);
    gold.setColorAt(0.0, QColor(190, 130, 10));
    gold.setColorAt(0.35, QColor(255, 236, 140));
    gold.setColorAt(0.6, kGold);
    gold.setColorAt(1.0, QColor(170, 110, 5));
    const QPen edge(QColor(110, 70, 0), 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);

    // The handles behind the bowl.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(110, 70, 0), 6.5, Qt::SolidLine, Qt::RoundCap));
    QPainterPath handles;
    handles.moveTo(-17, -62);
    handles.cubicTo(-34, -62, -32, -40, -12, -38);
    handles.moveTo(17, -62);
    handles.cubicTo(34, -62, 32, -40, 12, -38);
    p.drawPath(handles);
    p.setPen(QPen(QColor(240, 190, 40), 3.5, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(handles);

    // The foot: a plinth and a stem.
    p.setPen(edge);
    p.setBrush(QColor(40, 40, 48));
    p.drawRoundedRect(QRectF(-16, -9, 32, 9), 1.5, 1.5);
    p.setBrush(gold);
    p.drawRect(QRectF(-11, -13, 22, 4));
    QPainterPath stem;
    stem.moveTo(-4, -13);
    stem.cubicTo(-4, -20, -3, -26, -7, -32);
    stem.lineTo(7, -32);
    stem.cubicTo(3, -26, 4, -20, 4, -13);
    stem.closeSubpath();
    p.drawPath(stem);

    // The bowl.
    QPainterPath bowl;
    bowl.moveTo(-20, -68);
    bowl.lineTo(20, -68);
    bowl.cubicTo(20, -44, 12, -32, 0, -32);
    bowl.cubicTo(-12, -32, -20, -44, -20, -68);
    bowl.closeSubpath();
    p.drawPath(bowl);
    p.setBrush(QColor(150, 100, 0));
    p.drawEllipse(QPointF(0, -68), 20, 3);

    // A shine and a star on the bowl.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 120));
    QPainterPath shine;
    shine.moveTo(-14, -63);
    shine.cubicTo(-14, -50, -10, -42, -5, -38);
    shine.cubicTo(-12, -44, -11, -54, -10, -63);
    shine.closeSubpath();
    p.drawPath(shine);
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const double angle = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
        const double r = i % 2 ? 3.2 : 7.5;
        star << QPointF(2 + r * std::cos(angle), -52 + r * std::sin(angle));
    }
    p.setBrush(QColor(214, 40, 40));
    p.setPen(QPen(QColor(120, 10, 10), 0.8));
    p.drawPolygon(star);
    p.restore();
}

// One step of the podium with its place number.
void drawStep(QPainter& p, const QRectF& step, int place)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 45));
    p.drawRect(step.translated(3, 3));

    QLinearGradient front(step.topLeft(), step.bottomLeft());
    front.setColorAt(0, QColor(70, 110, 190));
    front.setColorAt(1, kInk);
    p.setBrush(front);
    p.setPen(QPen(QColor(12, 22, 50), 1.2));
    p.drawRect(step);
    // Red and white kerb stripes along the top edge.
    const double stripe = 5.0;
    for (int i = 0; i * stripe < step.width(); ++i) {
        const double w = std::min(stripe, step.width() - i * stripe);
        p.fillRect(QRectF(step.left() + i * stripe, step.top(), w, 4), i % 2 ? Qt::white : kKerbRed);
    }
    p.setPen(QPen(QColor(12, 22, 50), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(step);

    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(place == 1 ? 24 : 19);
    QPainterPath number;
    const QString text = QString::number(place);
    const QFontMetricsF metrics(font);
    number.addText(QPointF(step.center().x() - metrics.horizontalAdvance(text) / 2,
                           step.top() + 6 + (step.height() - 6) / 2 + metrics.capHeight() / 2),
                   font, text);
    p.setPen(QPen(QColor(12, 22, 50), 2.0));
    p.setBrush(place == 1 ? kGold : QColor(245, 245, 245));
    p.drawPath(number);
}

void drawRoad(QPainter& p)
{
    const QRectF road(0, kHeight - 16, kWidth, 16);
    p.fillRect(road, kRoad);
    for (int i = 0; i * 8 < kWidth; ++i)
        p.fillRect(QRectF(i * 8, road.top(), 8, 4), i % 2 ? Qt::white : kKerbRed);
    QPen dash(QColor(255, 255, 255, 170), 1.5, Qt::CustomDashLine, Qt::FlatCap);
    dash.setDashPattern({4.0, 4.0});
    p.setPen(dash);
    p.drawLine(QPointF(0, road.top() + 10), QPointF(kWidth, road.top() + 10));
}

QImage drawPicture()
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);

    drawPaper(p);

    // A soft golden glow behind the cup.
    QRadialGradient glow(QPointF(80, 72), 62);
    glow.setColorAt(0, QColor(255, 220, 90, 150));
    glow.setColorAt(1, QColor(255, 220, 90, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(QPointF(80, 72), 62, 62);

    drawFlag(p, QPointF(62, 118), QPointF(36, 16), false);
    drawFlag(p, QPointF(98, 118), QPointF(124, 16), true);

    const double floor = kHeight - 16;
    drawStep(p, QRectF(57, 112, 46, floor - 112), 1);
    drawStep(p, QRectF(14, 136, 43, floor - 136), 2);
    drawStep(p, QRectF(103, 150, 43, floor - 150), 3);
    drawCup(p, QPointF(80, 112), 72);

    drawRoad(p);

    p.setPen(QPen(kInk, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, kWidth - 1, kHeight - 1));
    p.end();
    return image;
}

}  // namespace

int main(int argc, char** argv)
{
    return runPictureTool(argc, argv, "make_results_picture", drawPicture);
}
