#include "files/MetafilePlayer.h"

#include "files/MetafileBitmap.h"
#include "files/MetafileContent.h"
#include "files/MetafileDeviceContext.h"
#include "files/MetafileDeviceMap.h"
#include "files/MetafileObjects.h"
#include "files/MetafileRasterOps.h"
#include "files/MetafileRecord.h"
#include "files/MetafileShapes.h"
#include "files/MetafileText.h"

#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

using namespace MetafileFunction;

// The dash patterns of one-pixel pens, in pixels: on, off, on, off...
QList<qreal> dashesOf(quint16 lineStyle)
{
    switch (lineStyle) {
    case MetafilePen::Dash: return {18, 6};
    case MetafilePen::Dot: return {3, 3};
    case MetafilePen::DashDot: return {9, 6, 3, 6};
    case MetafilePen::DashDotDot: return {9, 3, 3, 3, 3, 3};
    case MetafilePen::Alternate: return {1, 1};
    default: return {};
    }
}

Qt::BrushStyle hatchStyle(quint16 hatch)
{
    switch (hatch) {
    case MetafileBrush::Horizontal: return Qt::HorPattern;
    case MetafileBrush::Vertical: return Qt::VerPattern;
    case MetafileBrush::ForwardDiagonal: return Qt::FDiagPattern;   // upper left to lower right
    case MetafileBrush::BackwardDiagonal: return Qt::BDiagPattern;  // lower left to upper right
    case MetafileBrush::Cross: return Qt::CrossPattern;
    case MetafileBrush::DiagonalCross: return Qt::DiagCrossPattern;
    default: return Qt::SolidPattern;
    }
}

// Plays one metafile's records onto a painter. The painter draws in device pixels throughout (the
// records' coordinates are mapped here, see MetafileDeviceMap); the caller's clip stays and the
// picture's own clip is intersected with it.
class Playback {
public:
    Playback(const MetafileContent& content, QPainter& painter, const QRectF& target)
        : painter_(painter),
          map_(content.frame.size(), target, painter.combinedTransform()),
          dc_(MetafileMapping(content.initialWindowOrg, content.initialWindowExt, content.frame.size())),
          objects_(content.objectCount)
    {
        if (const QPaintDevice* device = painter.device())
            deviceRect_ = QRect(0, 0, device->width(), device->height());
        // Patterns are anchored at the picture's corner, so they stay with it when the caller scrolls.
        const QPointF corner = map_.transform().map(QPointF(0, 0));
        brushOrigin_ = QPoint(static_cast<int>(MetafileDeviceMap::rounded(corner.x())), static_cast<int>(MetafileDeviceMap::rounded(corner.y())));
        map_.setMapping(dc_.mapping);
        painter_.save();
        preparePainter();
    }

    ~Playback() { painter_.restore(); }

    // False when a work limit stopped the picture before its end.
    bool play(QByteArrayView records)
    {
        MetafileRecordReader reader(records);
        MetafileRecord record;
        while (!budgetSpent() && reader.next(record))
            play(record);
        return !budgetSpent();
    }

private:
    // --- The painter ---------------------------------------------------------------------------

    void preparePainter()
    {
        painter_.resetTransform();
        painter_.setRenderHint(QPainter::Antialiasing, false);
        painter_.setRenderHint(QPainter::TextAntialiasing, false);
        painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter_.setBrushOrigin(brushOrigin_);
        if (dc_.clip)
            painter_.setClipRegion(*dc_.clip, Qt::IntersectClip);
        mode_ = painter_.compositionMode();
        penDirty_ = brushDirty_ = true;
    }

    // The clip changed: back to the caller's state, then the picture's clip within the caller's.
    // Setting a clip, and later every drawing under it, costs work by its rectangles.
    void clipChanged()
    {
        clipRectangles_ = dc_.clip ? dc_.clip->rectCount() : 0;
        spendClipWork(clipRectangles_);
        painter_.restore();
        painter_.save();
        preparePainter();
    }

    bool clippedAway() const { return dc_.clip && dc_.clip->isEmpty(); }

    // Counts the device pixels a drawing may cover (its bounds on the device). False, and the rest
    // of the picture is skipped, once the picture has drawn more than a picture ever needs.
    bool spend(const QRectF& bounds)
    {
        const QRectF visible = bounds.normalized().intersected(QRectF(deviceRect_).adjusted(-1, -1, 1, 1));
        pixelsLeft_ -= std::max(1.0, visible.width() * visible.height());
        spendClipWork(clipRectangles_);
        return !budgetSpent();
    }

    // Counts rectangles of clip and region work: every region built, combined or drawn under.
    void spendClipWork(qint64 rectangles) { clipWorkLeft_ -= std::max<qint64>(1, rectangles); }

    // Counts the rows that the edges from point to point cross on the device: a filled polygon or
    // a line costs the rasterizer work by them, however few pixels it covers.
    void spendEdgeRows(const std::vector<QPointF>& points, bool closed)
    {
        const double rows = deviceRect_.height();
        const auto span = [rows](const QPointF& a, const QPointF& b) {
            const double top = std::clamp(std::min(a.y(), b.y()), -1.0, rows + 1);
            const double bottom = std::clamp(std::max(a.y(), b.y()), -1.0, rows + 1);
            return bottom - top + 1;
        };
        for (size_t i = 1; i < points.size(); ++i)
            edgeRowsLeft_ -= span(points[i - 1], points[i]);
        if (closed && points.size() > 2)
            edgeRowsLeft_ -= span(points.back(), points.front());
    }

    // Whether the picture has done more work than a picture ever needs: the rest is skipped.
    bool budgetSpent() const { return pixelsLeft_ <= 0 || clipWorkLeft_ <= 0 || edgeRowsLeft_ <= 0; }

    // How far a pen's stroke reaches beyond the line it follows.
    double penReach() const { return dc_.pen.isNull() ? 0.0 : std::max(1.0, std::abs(dc_.pen.width) * map_.lengthX()); }

    void setMode(QPainter::CompositionMode mode)
    {
        if (mode != mode_) {
            painter_.setCompositionMode(mode);
            mode_ = mode;
        }
    }

    QPen qtPen() const
    {
        const MetafilePen& pen = dc_.pen;
        if (pen.isNull())
            return Qt::NoPen;
        const QColor color(dc_.color(pen.color));
        const double width = std::abs(pen.width) * map_.lengthX();
        if (pen.width == 0 || width < 1.5) {
            // Width 0, and pens thinner than a device pixel: one device pixel whatever the mapping,
            // with the system's dashes; the last pixel of a line is left out. A pen of width 1
            // scales like any other, as the drawing programs show it.
            QPen qpen(color, 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
            qpen.setCosmetic(true);
            const QList<qreal> dashes = dashesOf(pen.lineStyle());
            if (!dashes.isEmpty())
                qpen.setDashPattern(dashes);
            return qpen;
        }
        // Wider pens are solid whatever their style, with round ends and joins unless they say otherwise.
        const Qt::PenCapStyle cap = (pen.style & MetafilePen::CapMask) == MetafilePen::CapFlat     ? Qt::FlatCap
                                    : (pen.style & MetafilePen::CapMask) == MetafilePen::CapSquare ? Qt::SquareCap
                                                                                                     : Qt::RoundCap;
        const Qt::PenJoinStyle join = (pen.style & MetafilePen::JoinMask) == MetafilePen::JoinMiter   ? Qt::MiterJoin
                                      : (pen.style & MetafilePen::JoinMask) == MetafilePen::JoinBevel ? Qt::BevelJoin
                                                                                                        : Qt::RoundJoin;
        return QPen(color, std::min(MetafileDeviceMap::rounded(width), 1e6), Qt::SolidLine, cap, join);
    }

    QBrush qtBrush(const MetafileBrush& brush) const
    {
        switch (brush.style) {
        case MetafileBrush::Null:
            return Qt::NoBrush;
        case MetafileBrush::Solid:
            return QBrush(QColor(dc_.color(brush.color)));
        case MetafileBrush::Hatched:
            return QBrush(QColor(dc_.color(brush.color)), hatchStyle(brush.hatch));
        case MetafileBrush::Pattern:
        case MetafileBrush::DibPattern:
        case MetafileBrush::DibPatternPt: {
            if (!brush.pattern)
                return Qt::NoBrush;
            if (!brush.pattern->monochrome)
                return QBrush(brush.pattern->image);
            QImage image = brush.pattern->image;
            image.setColorTable({dc_.color(dc_.textColorRef), dc_.color(dc_.backgroundColorRef)});
            return QBrush(image.convertToFormat(QImage::Format_RGB32));
        }
        default:
            return QBrush(QColor(dc_.color(brush.color)));
        }
    }

    void applyBackground()
    {
        painter_.setBackgroundMode(dc_.backgroundMode == MetafileDeviceContext::Opaque ? Qt::OpaqueMode : Qt::TransparentMode);
        painter_.setBackground(QColor(dc_.color(dc_.backgroundColorRef)));
    }

    // Sets the painter for a shape drawn with the selected pen and (when filled) brush. False when
    // the shape would change nothing.
    bool prepareShape(bool filled)
    {
        if (clippedAway())
            return false;
        const std::optional<QPainter::CompositionMode> mode = compositionForRop2(dc_.rop2);
        if (!mode)
            return false;
        const bool pen = !dc_.pen.isNull();
        const bool brush = filled && !dc_.brush.isNull();
        if (!pen && !brush)
            return false;
        setMode(*mode);
        if (penDirty_ || brushDirty_) {
            applyBackground();
            painter_.setPen(qtPen());
            penDirty_ = false;
        }
        if (brushDirty_ || filled != filledBrushSet_) {
            painter_.setBrush(filled ? qtBrush(dc_.brush) : QBrush(Qt::NoBrush));
            brushDirty_ = false;
            filledBrushSet_ = filled;
        }
        return true;
    }

    void invalidatePainterState() { penDirty_ = brushDirty_ = true; }

    // --- Records -------------------------------------------------------------------------------

    void mappingChanged() { map_.setMapping(dc_.mapping); penDirty_ = true; }

    void play(const MetafileRecord& r)
    {
        switch (r.function()) {
        // The mapping.
        case SetWindowOrg:
            if (r.has(2)) { dc_.mapping.setWindowOrg(r.s16(1), r.s16(0)); mappingChanged(); }
            break;
        case SetWindowExt:
            if (r.has(2)) { dc_.mapping.setWindowExt(r.s16(1), r.s16(0)); mappingChanged(); }
            break;
        case SetViewportOrg:
            if (r.has(2)) { dc_.mapping.setViewportOrg(r.s16(1), r.s16(0)); mappingChanged(); }
            break;
        case SetViewportExt:
            if (r.has(2)) { dc_.mapping.setViewportExt(r.s16(1), r.s16(0)); mappingChanged(); }
            break;
        case OffsetWindowOrg:
            if (r.has(2)) { dc_.mapping.offsetWindowOrg(r.s16(1), r.s16(0)); mappingChanged(); }
            break;
        case OffsetViewportOrg:
            if (r.has(2)) { dc_.mapping.offsetViewportOrg(r.s16(1), r.s16(0)); mappingChanged(); }
            break;
        case ScaleWindowExt:
            if (r.has(4)) { dc_.mapping.scaleWindowExt(r.s16(3), r.s16(2), r.s16(1), r.s16(0)); mappingChanged(); }
            break;
        case ScaleViewportExt:
            if (r.has(4)) { dc_.mapping.scaleViewportExt(r.s16(3), r.s16(2), r.s16(1), r.s16(0)); mappingChanged(); }
            break;
        case SetMapMode:
            if (r.has(1)) { dc_.mapping.setMode(r.s16(0)); mappingChanged(); }
            break;

        // Modes and colours.
        case SetBkMode:
            if (r.has(1) && (r.u16(0) == MetafileDeviceContext::Transparent || r.u16(0) == MetafileDeviceContext::Opaque)) {
                dc_.backgroundMode = r.u16(0);
                invalidatePainterState();
            }
            break;
        case SetBkColor:
            if (r.has(2)) { dc_.backgroundColorRef = r.u32(0); invalidatePainterState(); }
            break;
        case SetTextColor:
            if (r.has(2)) { dc_.textColorRef = r.u32(0); invalidatePainterState(); }
            break;
        case SetRop2:
            if (r.has(1) && r.u16(0) >= 1 && r.u16(0) <= 16)
                dc_.rop2 = r.u16(0);
            break;
        case SetPolyFillMode:
            if (r.has(1) && (r.u16(0) == MetafileDeviceContext::Alternate || r.u16(0) == MetafileDeviceContext::Winding))
                dc_.polyFillMode = r.u16(0);
            break;
        case SetTextAlign:
            if (r.has(1))
                dc_.textAlign = r.u16(0);
            break;

        // Saved states.
        case SaveDc:
            saved_.save(dc_);
            break;
        case RestoreDc:
            if (r.has(1)) {
                const std::optional<QRegion> clip = dc_.clip;
                if (saved_.restore(r.s16(0), dc_)) {
                    mappingChanged();
                    invalidatePainterState();
                    if (dc_.clip != clip)
                        clipChanged();
                }
            }
            break;

        // Objects.
        case CreatePenIndirect: objects_.create(readPen(r)); break;
        case CreateBrushIndirect: objects_.create(readBrush(r)); break;
        case CreateFontIndirect: objects_.create(readFont(r)); break;
        case CreatePalette: objects_.create(readPalette(r)); break;
        case CreateRegion: objects_.create(readRegion(r)); break;
        case DibCreatePatternBrush:
            objects_.create(readDibPatternBrush(r, dc_.palette.get(), patternPixelsAllowed()));
            break;
        case CreatePatternBrush:
            objects_.create(readOldPatternBrush(r, patternPixelsAllowed()));
            break;
        case SelectObject:
            if (r.has(1))
                selectObject(r.u16(0));
            break;
        case SelectPalette:
            if (const auto* palette = r.has(1) ? std::get_if<MetafilePalette>(objects_.at(r.u16(0))) : nullptr) {
                dc_.palette = *palette;
                invalidatePainterState();
            }
            break;
        case DeleteObject:
            if (r.has(1))
                objects_.remove(r.u16(0));
            break;
        case SetPalEntries:
        case AnimatePalette:
            setPaletteEntries(r);
            break;
        case ResizePalette:
            if (dc_.palette && r.has(1)) {
                dc_.palette->resize(r.u16(0), qRgb(0, 0, 0));
                invalidatePainterState();
            }
            break;

        // Clipping.
        case IntersectClipRect:
        case ExcludeClipRect:
            if (r.has(4))
                clipRect(map_.box(r.s16(3), r.s16(2), r.s16(1), r.s16(0)), r.function() == IntersectClipRect);
            break;
        case SelectClipRegion:
            if (const auto* region = r.has(1) ? std::get_if<MetafileRegion>(objects_.at(r.u16(0))) : nullptr) {
                dc_.clip = deviceRegion(*region);
                clipChanged();
            }
            break;
        case OffsetClipRegion:
            if (dc_.clip && r.has(2)) {
                const QTransform& t = map_.transform();
                dc_.clip->translate(static_cast<int>(MetafileDeviceMap::rounded(r.s16(1) * t.m11() + r.s16(0) * t.m21())),
                                    static_cast<int>(MetafileDeviceMap::rounded(r.s16(1) * t.m12() + r.s16(0) * t.m22())));
                clipChanged();
            }
            break;

        // Lines and shapes.
        case MoveTo:
            if (r.has(2))
                dc_.position = QPoint(r.s16(1), r.s16(0));
            break;
        case LineTo:
            if (r.has(2)) {
                const QPoint to(r.s16(1), r.s16(0));
                const QPointF from = map_.pixel(dc_.position.x(), dc_.position.y());
                const QPointF end = map_.pixel(to.x(), to.y());
                const double reach = penReach();
                if (prepareShape(false) && spend(QRectF(from, end).adjusted(-reach, -reach, reach, reach)))
                    painter_.drawLine(from, end);
                dc_.position = to;
            }
            break;
        case Polyline:
        case Polygon:
            drawPoly(r, r.function() == Polygon);
            break;
        case PolyPolygon:
            drawPolyPolygon(r);
            break;
        case Rectangle:
        case Ellipse:
            if (r.has(4))
                drawShape({r.function() == Rectangle ? MetafileBoxShape::Rectangle : MetafileBoxShape::Ellipse, boxAt(r, 0), {}, {}, {}});
            break;
        case RoundRect:
            if (r.has(6))
                drawShape({MetafileBoxShape::RoundRect, boxAt(r, 2), QSizeF(r.s16(1), r.s16(0)), {}, {}});
            break;
        case Arc:
        case Pie:
        case Chord:
            if (r.has(8)) {
                const MetafileBoxShape shape = r.function() == Arc ? MetafileBoxShape::Arc : r.function() == Pie ? MetafileBoxShape::Pie : MetafileBoxShape::Chord;
                // End radial (y, x), start radial (y, x), then the box.
                drawShape({shape, boxAt(r, 4), {}, QPointF(r.s16(3), r.s16(2)), QPointF(r.s16(1), r.s16(0))});
            }
            break;
        case SetPixel:
            if (r.has(4) && !clippedAway()) {
                setMode(QPainter::CompositionMode_SourceOver);
                const QPointF at = map_.pixel(r.s16(3), r.s16(2));
                painter_.fillRect(QRectF(at, QSizeF(1, 1)), QColor(dc_.color(r.u32(0))));
            }
            break;

        // Regions.
        case FillRegion:
            if (r.has(2)) {
                const auto* brush = std::get_if<MetafileBrush>(objects_.at(r.u16(1)));
                if (brush)
                    fillRegion(r.u16(0), *brush);
            }
            break;
        case PaintRegion:
            if (r.has(1))
                fillRegion(r.u16(0), dc_.brush);
            break;
        case InvertRegion:
            if (r.has(1)) {
                MetafileBrush white;
                const int rop2 = std::exchange(dc_.rop2, 7);  // xor with white: every bit turned
                fillRegion(r.u16(0), white);
                dc_.rop2 = rop2;
            }
            break;

        // Text.
        case TextOut:
            textOut(r);
            break;
        case ExtTextOut:
            extTextOut(r);
            break;

        // Bitmaps.
        case PatBlt:
            if (r.has(6)) {
                const std::optional<MetafileTernaryOp> op = ternaryOp(r.u32(0));
                if (op && op->operand != MetafileTernaryOp::Source)
                    fillBox(map_.box(r.s16(5), r.s16(4), r.s16(5) + r.s16(3), r.s16(4) + r.s16(2)), *op);
            }
            break;
        case StretchDib:
            stretchDib(r);
            break;
        case SetDibToDev:
            setDibToDevice(r);
            break;
        case BitBlt:
        case StretchBlt:
        case DibBitBlt:
        case DibStretchBlt:
            blit(r);
            break;

        // Escapes (among them the enhanced metafile some writers embed), palettes realized on a
        // display, stretching modes (bitmaps are never smoothed), flood fills (they would read the
        // device back), framed regions, obsolete and unknown records: nothing to draw.
        default:
            break;
        }
    }

    // --- Objects -------------------------------------------------------------------------------

    qint64 patternPixelsAllowed() const { return std::min(MetafileObjectTable::MaxPatternPixels, objects_.patternPixelsLeft()); }

    void selectObject(int index)
    {
        const MetafileObject* object = objects_.at(index);
        if (!object)
            return;  // a deleted or never created object: the selection stays
        if (const auto* pen = std::get_if<MetafilePen>(object)) {
            dc_.pen = *pen;
            penDirty_ = true;
        } else if (const auto* brush = std::get_if<MetafileBrush>(object)) {
            dc_.brush = *brush;
            brushDirty_ = true;
        } else if (const auto* font = std::get_if<MetafileFont>(object)) {
            dc_.font = *font;
        } else if (const auto* region = std::get_if<MetafileRegion>(object)) {
            dc_.clip = deviceRegion(*region);
            clipChanged();
        }
    }

    void setPaletteEntries(const MetafileRecord& r)
    {
        if (!dc_.palette || !r.has(2))
            return;
        // First entry, number of entries, then red, green, blue and flags bytes per entry.
        const qsizetype start = r.u16(0);
        const qsizetype count = std::min<qsizetype>(r.u16(1), (r.words() - 2) / 2);
        std::vector<QRgb>& palette = *dc_.palette;
        for (qsizetype i = 0; i < count && start + i < static_cast<qsizetype>(palette.size()); ++i)
            palette[static_cast<size_t>(start + i)] = qRgb(r.u16(2 + 2 * i) & 0xFF, r.u16(2 + 2 * i) >> 8, r.u16(3 + 2 * i) & 0xFF);
        invalidatePainterState();
    }

    // --- Clipping ------------------------------------------------------------------------------

    void clipRect(const QRect& box, bool intersect)
    {
        const QRegion current = dc_.clip ? *dc_.clip : QRegion(deviceRect_);
        dc_.clip = intersect ? current.intersected(box) : current.subtracted(box);
        clipChanged();
    }

    QRegion deviceRegion(const MetafileRegion& region)
    {
        spendClipWork(region.rects.size());
        QRegion result;
        if (map_.axisAligned()) {
            std::vector<QRect> rects;
            rects.reserve(static_cast<size_t>(region.rects.size()));
            for (const QRect& r : region.rects)
                rects.push_back(map_.box(r.left(), r.top(), r.right() + 1.0, r.bottom() + 1.0));
            // In rows from the top, each from the left: QRegion then only ever appends.
            std::sort(rects.begin(), rects.end(), [](const QRect& a, const QRect& b) {
                return a.top() != b.top() ? a.top() < b.top() : a.left() < b.left();
            });
            for (const QRect& r : rects)
                result += r;
            return result;
        }
        for (const QRect& r : region.rects)
            result += map_.transform().map(QRegion(r));
        return result;
    }

    void fillRegion(int index, const MetafileBrush& brush)
    {
        const auto* region = std::get_if<MetafileRegion>(objects_.at(index));
        const std::optional<QPainter::CompositionMode> mode = compositionForRop2(dc_.rop2);
        if (!region || !mode || clippedAway() || brush.isNull())
            return;
        const QRegion device = deviceRegion(*region);
        if (!spend(device.boundingRect()))
            return;
        setMode(*mode);
        applyBackground();
        painter_.setPen(Qt::NoPen);
        painter_.setBrush(qtBrush(brush));
        for (const QRect& r : device)
            painter_.drawRect(r);
        invalidatePainterState();
    }

    // --- Lines and shapes ----------------------------------------------------------------------

    static QRectF boxAt(const MetafileRecord& r, qsizetype first)
    {
        // Bottom, right, top, left.
        return QRectF(QPointF(r.s16(first + 3), r.s16(first + 2)), QPointF(r.s16(first + 1), r.s16(first)));
    }

    // Maps count points from word first on into points_ and counts the pixels they may cover; false
    // when the record does not hold them or the budget is spent.
    bool readPoints(const MetafileRecord& r, qsizetype first, qsizetype count)
    {
        if (count < 0 || !r.has(first + 2 * count))
            return false;
        points_.resize(static_cast<size_t>(count));
        double left = 0, top = 0, right = 0, bottom = 0;
        for (qsizetype i = 0; i < count; ++i) {
            const QPointF p = map_.pixel(r.s16(first + 2 * i), r.s16(first + 2 * i + 1));
            points_[static_cast<size_t>(i)] = p;
            if (i == 0) {
                left = right = p.x();
                top = bottom = p.y();
            } else {
                left = std::min(left, p.x());
                right = std::max(right, p.x());
                top = std::min(top, p.y());
                bottom = std::max(bottom, p.y());
            }
        }
        spendEdgeRows(points_, true);
        const double reach = penReach();
        return spend(QRectF(QPointF(left, top), QPointF(right, bottom)).adjusted(-reach, -reach, reach, reach));
    }

    Qt::FillRule fillRule() const { return dc_.polyFillMode == MetafileDeviceContext::Winding ? Qt::WindingFill : Qt::OddEvenFill; }

    void drawPoly(const MetafileRecord& r, bool polygon)
    {
        if (!r.has(1) || !readPoints(r, 1, r.s16(0)) || points_.size() < 2 || !prepareShape(polygon))
            return;
        if (polygon)
            painter_.drawPolygon(points_.data(), static_cast<int>(points_.size()), fillRule());
        else
            painter_.drawPolyline(points_.data(), static_cast<int>(points_.size()));
    }

    void drawPolyPolygon(const MetafileRecord& r)
    {
        if (!r.has(1))
            return;
        const qsizetype polygons = r.u16(0);
        if (!r.has(1 + polygons))
            return;
        qsizetype total = 0;
        for (qsizetype i = 0; i < polygons; ++i)
            total += r.u16(1 + i);
        if (!readPoints(r, 1 + polygons, total) || !prepareShape(true))
            return;
        path_.clear();
        path_.setFillRule(fillRule());
        qsizetype at = 0;
        for (qsizetype i = 0; i < polygons; ++i) {
            const qsizetype count = r.u16(1 + i);
            if (count >= 2) {
                path_.moveTo(points_[static_cast<size_t>(at)]);
                for (qsizetype k = 1; k < count; ++k)
                    path_.lineTo(points_[static_cast<size_t>(at + k)]);
                path_.closeSubpath();
            }
            at += count;
        }
        painter_.drawPath(path_);
    }

    void drawShape(const MetafileShapeGeometry& geometry)
    {
        const bool filled = geometry.shape != MetafileBoxShape::Arc;
        if (!prepareShape(filled))
            return;
        const std::optional<MetafileShapePaths> paths = metafileShapePaths(map_, geometry);
        const double reach = penReach();
        if (!paths || !spend((filled ? paths->fill : paths->outline).boundingRect().adjusted(-reach, -reach, reach, reach)))
            return;
        const QPen pen = painter_.pen();
        if (filled && painter_.brush().style() != Qt::NoBrush) {
            painter_.setPen(Qt::NoPen);
            painter_.drawPath(paths->fill);
            painter_.setPen(pen);
        }
        if (pen.style() != Qt::NoPen) {
            const QBrush brush = painter_.brush();
            painter_.setBrush(Qt::NoBrush);
            // Qt's one-pixel pen puts a path's point on the pixel that contains it, while lines go
            // to the nearest pixel: half a pixel over, a curve's pixels are the nearest ones too.
            painter_.drawPath(pen.isCosmetic() ? paths->outline.translated(0.5, 0.5) : paths->outline);
            painter_.setBrush(brush);
        }
    }

    // --- Text ----------------------------------------------------------------------------------

    void drawText(MetafileTextRun& run)
    {
        const bool fromPosition = dc_.textAlign & MetafileDeviceContext::UpdateCurrentPosition;
        if (fromPosition)
            run.origin = dc_.position;
        const double em = std::max(1.0, std::abs(dc_.font.height * map_.lengthY()));
        if (!clippedAway() && spend(QRectF(0, 0, 2 * em * static_cast<double>(run.text.size()), 2 * em))) {
            const double advance = drawMetafileText(painter_, map_, dc_, run);
            if (fromPosition) {
                const quint16 horizontal = dc_.textAlign & MetafileDeviceContext::HorizontalMask;
                const int step = static_cast<int>(std::lround(std::clamp(advance, -32768.0, 32767.0)));
                if (horizontal == 0)
                    dc_.position.rx() += step;
                else if (horizontal == MetafileDeviceContext::AlignRight)
                    dc_.position.rx() -= step;
            }
            mode_ = painter_.compositionMode();
            invalidatePainterState();
        }
    }

    void textOut(const MetafileRecord& r)
    {
        // Length, the bytes padded to a word, y, x.
        if (!r.has(1))
            return;
        const qsizetype length = r.s16(0);
        const qsizetype textWords = (length + 1) / 2;
        if (length <= 0 || !r.has(1 + textWords + 2))
            return;
        MetafileTextRun run;
        run.text = r.bytesFrom(1).first(length);
        run.origin = QPointF(r.s16(1 + textWords + 1), r.s16(1 + textWords));
        drawText(run);
    }

    void extTextOut(const MetafileRecord& r)
    {
        // y, x, length, options, the rectangle (left, top, right, bottom) when the options name one,
        // the bytes padded to a word, then optionally one distance per byte.
        if (!r.has(4))
            return;
        MetafileTextRun run;
        run.origin = QPointF(r.s16(1), r.s16(0));
        const qsizetype length = r.s16(2);
        run.options = r.u16(3);
        qsizetype at = 4;
        if (run.options & (MetafileTextRun::Opaque | MetafileTextRun::Clipped)) {
            if (!r.has(8))
                return;
            run.rect = QRectF(QPointF(r.s16(4), r.s16(5)), QPointF(r.s16(6), r.s16(7)));
            at = 8;
        }
        if (length <= 0) {
            // No text: only the opaque rectangle.
            if (run.rect && (run.options & MetafileTextRun::Opaque) && !clippedAway()) {
                setMode(QPainter::CompositionMode_SourceOver);
                painter_.fillRect(map_.box(run.rect->left(), run.rect->top(), run.rect->right(), run.rect->bottom()),
                                  QColor(dc_.color(dc_.backgroundColorRef)));
            }
            return;
        }
        const qsizetype textWords = (length + 1) / 2;
        if (!r.has(at + textWords))
            return;
        run.text = r.bytesFrom(at).first(length);
        const qsizetype dxAt = at + textWords;
        if (r.has(dxAt + length)) {
            run.dx.resize(static_cast<size_t>(length));
            for (qsizetype i = 0; i < length; ++i)
                run.dx[static_cast<size_t>(i)] = r.s16(dxAt + i);
        }
        drawText(run);
    }

    // --- Bitmaps -------------------------------------------------------------------------------

    // Fills device pixels with what a raster operation without a source puts there.
    void fillBox(const QRect& box, const MetafileTernaryOp& op)
    {
        if (box.isEmpty() || clippedAway() || op.operand == MetafileTernaryOp::Nothing || !spend(box))
            return;
        QBrush brush;
        if (op.operand == MetafileTernaryOp::Brush) {
            if (dc_.brush.isNull())
                return;
            brush = qtBrush(dc_.brush);
            applyBackground();
        } else {
            brush = QBrush(op.operand == MetafileTernaryOp::Black ? Qt::black : Qt::white);
        }
        setMode(op.mode);
        painter_.setPen(Qt::NoPen);
        painter_.setBrush(brush);
        painter_.drawRect(box);
        invalidatePainterState();
    }

    // Draws source (in the image's pixels, top-down; a negative size mirrors) onto the logical
    // destination, pixel for pixel as the nearest source pixel.
    void drawImage(const QImage& image, const QRectF& source, const QRectF& destination, const MetafileTernaryOp& op)
    {
        if (clippedAway() || source.width() == 0 || source.height() == 0)
            return;
        const QRectF inImage = source.normalized().intersected(QRectF(image.rect()));
        if (inImage.isEmpty())
            return;
        QTransform toDevice;
        if (map_.axisAligned()) {
            const QPointF a = map_.pixel(destination.left(), destination.top());
            const QPointF b = map_.pixel(destination.right(), destination.bottom());
            if (a.x() == b.x() || a.y() == b.y())
                return;
            toDevice = QTransform::fromTranslate(-source.left(), -source.top())
                       * QTransform::fromScale((b.x() - a.x()) / source.width(), (b.y() - a.y()) / source.height())
                       * QTransform::fromTranslate(a.x(), a.y());
        } else {
            toDevice = QTransform::fromTranslate(-source.left(), -source.top())
                       * QTransform::fromScale(destination.width() / source.width(), destination.height() / source.height())
                       * QTransform::fromTranslate(destination.left(), destination.top()) * map_.transform();
        }
        if (!spend(toDevice.mapRect(inImage)))
            return;
        setMode(op.mode);
        painter_.setTransform(toDevice);
        painter_.drawImage(inImage, image, inImage);
        painter_.resetTransform();
    }

    // A blit whose operation needs no source fills its destination; one that needs the source is
    // drawn when the source decodes.
    template <typename Decode>
    void drawBlit(quint32 rasterOperation, const QRectF& destination, Decode decode)
    {
        const std::optional<MetafileTernaryOp> op = ternaryOp(rasterOperation);
        if (!op)
            return;
        if (op->operand != MetafileTernaryOp::Source) {
            fillBox(map_.box(destination.left(), destination.top(), destination.right(), destination.bottom()), *op);
            return;
        }
        if (!clippedAway())
            decode(*op);
    }

    // The most pixels the next bitmap may decode to.
    qint64 bitmapPixelsAllowed() const { return std::min(MaxBitmapPixels, bitmapPixelsLeft_); }

    std::optional<DecodedDib> decodeRecordDib(const MetafileRecord& r, qsizetype first, quint16 usage)
    {
        std::optional<DecodedDib> dib = decodeDib(r.bytesFrom(first), static_cast<DibColorUsage>(std::min<quint16>(usage, 2)),
                                                  dc_.palette.get(), bitmapPixelsAllowed());
        if (dib)
            bitmapPixelsLeft_ -= qint64(dib->image.width()) * dib->image.height();
        return dib;
    }

    std::optional<QImage> decodeRecordBitmap16(const MetafileRecord& r, qsizetype first)
    {
        std::optional<QImage> image = decodeBitmap16(r.bytesFrom(first), dc_.color(dc_.textColorRef), dc_.color(dc_.backgroundColorRef),
                                                     bitmapPixelsAllowed());
        if (image)
            bitmapPixelsLeft_ -= qint64(image->width()) * image->height();
        return image;
    }

    // The source rectangle of a record that counts rows from the bottom of a bottom-up bitmap.
    static QRectF fromBottom(const QRectF& source, const DecodedDib& dib)
    {
        if (!dib.bottomUp)
            return source;
        return QRectF(source.left(), dib.image.height() - source.top() - source.height(), source.width(), source.height());
    }

    void stretchDib(const MetafileRecord& r)
    {
        // Operation, colour usage, source height, width, y, x, destination height, width, y, x, the DIB.
        if (!r.has(11))
            return;
        const QRectF destination(r.s16(10), r.s16(9), r.s16(8), r.s16(7));
        drawBlit(r.u32(0), destination, [&](const MetafileTernaryOp& op) {
            const std::optional<DecodedDib> dib = decodeRecordDib(r, 11, r.u16(2));
            if (dib)
                drawImage(dib->image, fromBottom(QRectF(r.s16(6), r.s16(5), r.s16(4), r.s16(3)), *dib), destination, op);
        });
    }

    void setDibToDevice(const MetafileRecord& r)
    {
        // Colour usage, scan count, first scan, source y, x, height, width, destination y, x, the DIB.
        // Only whole bitmaps are placed (the first scan 0): the pixels go one to one onto the device.
        if (!r.has(9) || r.u16(2) != 0 || clippedAway())
            return;
        const std::optional<DecodedDib> dib = decodeRecordDib(r, 9, r.u16(0));
        if (!dib)
            return;
        const QRectF source = fromBottom(QRectF(r.s16(4), r.s16(3), r.s16(6), r.s16(5)), *dib).normalized();
        const QPointF at = map_.pixel(r.s16(8), r.s16(7));
        if (source.isEmpty() || !spend(QRectF(at, source.size())))
            return;
        setMode(QPainter::CompositionMode_SourceOver);
        painter_.drawImage(QRectF(at, source.size()), dib->image, source);
    }

    void blit(const MetafileRecord& r)
    {
        const bool stretch = r.function() == StretchBlt || r.function() == DibStretchBlt;
        const bool dib = r.function() == DibBitBlt || r.function() == DibStretchBlt;
        // The form without a bitmap has one reserved word more, and exactly the words its function
        // number says: its source is the device itself.
        const bool withBitmap = r.words() != (r.function() >> 8);
        const qsizetype fixedWords = stretch ? 10 : 8;
        if (!r.has(withBitmap ? fixedWords : fixedWords + 1))
            return;
        // Operation; source height and width (stretching only), y, x; destination height, width, y, x.
        const qsizetype d = withBitmap ? (stretch ? 6 : 4) : (stretch ? 7 : 5);
        const QRectF destination(r.s16(d + 3), r.s16(d + 2), r.s16(d + 1), r.s16(d));
        const qsizetype s = stretch ? 4 : 2;  // source y, x
        const QRectF source(r.s16(s + 1), r.s16(s), stretch ? r.s16(3) : destination.width(), stretch ? r.s16(2) : destination.height());
        drawBlit(r.u32(0), destination, [&](const MetafileTernaryOp& op) {
            if (!withBitmap)
                return;  // copying the device onto itself is not done
            if (dib) {
                if (const std::optional<DecodedDib> image = decodeRecordDib(r, fixedWords, 0))
                    drawImage(image->image, source, destination, op);
            } else if (const std::optional<QImage> image = decodeRecordBitmap16(r, fixedWords)) {
                drawImage(*image, source, destination, op);
            }
        });
    }

    QPainter& painter_;
    MetafileDeviceMap map_;
    MetafileDeviceContext dc_;
    MetafileDeviceContextStack saved_;
    MetafileObjectTable objects_;
    QRect deviceRect_;
    QPoint brushOrigin_;
    double pixelsLeft_ = MaxDrawnPixels;
    // Clip and region rectangles the picture may still build or draw under: each costs Qt's region
    // code some work, so a file of many clip records would otherwise take minutes while drawing
    // almost nothing. Far more than a picture's few clips ever need.
    qint64 clipWorkLeft_ = MaxClipWork;
    qint64 clipRectangles_ = 0;  // of the clip now set
    // Device rows that the edges of lines and polygons may still cross: a polygon of thousands of
    // long edges costs the rasterizer far more than its covered pixels say.
    double edgeRowsLeft_ = MaxEdgeRows;
    qint64 bitmapPixelsLeft_ = MaxPictureBitmapPixels;

    // What the painter holds now.
    QPainter::CompositionMode mode_ = QPainter::CompositionMode_SourceOver;
    bool penDirty_ = true;
    bool brushDirty_ = true;
    bool filledBrushSet_ = false;

    // Reused from record to record.
    std::vector<QPointF> points_;
    QPainterPath path_;
};

}  // namespace

bool playMetafile(const MetafileContent& content, QPainter& painter, const QRectF& target)
{
    if (!painter.isActive() || content.frame.isEmpty())
        return true;
    Playback playback(content, painter, target);
    return playback.play(content.records());
}
