#include "tools/track_maker/TrackFiles.h"

#include "shell/Windows1250.h"
#include "tools/MetafileWriter.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

namespace {

constexpr quint8 CentralEuropeanCharset = 238;
constexpr int BoldWeight = 700;
const QByteArray LabelFace = "Arial";

QString colorField(ColorValue color)
{
    return QStringLiteral("%1%2%3")
        .arg(color & 0xFF, 3, 10, QLatin1Char('0'))
        .arg((color >> 8) & 0xFF, 3, 10, QLatin1Char('0'))
        .arg((color >> 16) & 0xFF, 3, 10, QLatin1Char('0'));
}

QColor qColor(ColorValue color)
{
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF), static_cast<int>((color >> 16) & 0xFF));
}

}  // namespace

QByteArray definitionFile(const TrackLayout& layout)
{
    const TrackDesign& design = layout.design;
    QStringList fields;
    fields << design.name << QString::number(design.width) << QString::number(design.height)
           << QString::number(design.stepLength) << QString::number(design.allowedSpeed)
           << colorField(design.color("grass")) << colorField(design.color("barrier"))
           << QString::number(design.checkpoints.size());
    for (const CheckpointDesign& checkpoint : design.checkpoints)
        fields << colorField(checkpoint.entry) << colorField(checkpoint.exit);
    fields << QString::number(design.startCount) << QString::number(layout.startA.x()) << QString::number(layout.startA.y())
           << QString::number(layout.startB.x()) << QString::number(layout.startB.y()) << design.description;
    return encodeWindows1250(fields.join(u'|'));
}

QByteArray pictureFile(const TrackScene& scene)
{
    MetafileWriter out;
    out.setPlaceable(QRect(0, 0, scene.width, scene.height), 96);
    out.setWindowOrg(0, 0);
    out.setWindowExt(scene.width, scene.height);
    out.setBkMode(1);
    out.setPolyFillMode(1);
    out.setTextAlign(0);
    // One pen and one brush of the current colour; a new colour replaces both.
    int pen = -1, brush = -1;
    ColorValue current = 0;
    for (const Shape& shape : scene.shapes) {
        if (shape.kind != Shape::Kind::Text && (pen < 0 || shape.color != current)) {
            const int newPen = out.createPen(0, 1, shape.color);
            out.selectObject(newPen);
            const int newBrush = out.createBrush(0, shape.color);
            out.selectObject(newBrush);
            if (pen >= 0) {
                out.deleteObject(pen);
                out.deleteObject(brush);
            }
            pen = newPen;
            brush = newBrush;
            current = shape.color;
        }
        switch (shape.kind) {
        case Shape::Kind::Polygon:
            out.polygon(shape.points);
            break;
        case Shape::Kind::Ellipse:
            out.ellipse(shape.box);
            break;
        case Shape::Kind::Text: {
            const int font = out.createFont(-shape.textHeight, BoldWeight, CentralEuropeanCharset, LabelFace);
            out.selectObject(font);
            out.setTextColor(shape.color);
            out.textOut(shape.origin.x(), shape.origin.y(), encodeWindows1250(shape.text));
            out.deleteObject(font);
            break;
        }
        }
    }
    return out.bytes();
}

QImage previewImage(const TrackScene& scene)
{
    QImage image(scene.width, scene.height, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    for (const Shape& shape : scene.shapes) {
        const QColor color = qColor(shape.color);
        painter.setPen(QPen(color, 0));
        painter.setBrush(color);
        switch (shape.kind) {
        case Shape::Kind::Polygon:
            painter.drawPolygon(shape.points.data(), static_cast<int>(shape.points.size()));
            break;
        case Shape::Kind::Ellipse:
            painter.drawEllipse(shape.box.adjusted(0, 0, -1, -1));
            break;
        case Shape::Kind::Text: {
            QFont font(QStringLiteral("DejaVu Sans"));
            font.setPixelSize(shape.textHeight);
            font.setBold(true);
            font.setStyleStrategy(QFont::NoAntialias);
            painter.setFont(font);
            painter.drawText(shape.origin + QPoint(0, QFontMetrics(font).ascent()), shape.text);
            break;
        }
        }
    }
    return image;
}
