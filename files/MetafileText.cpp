#include "files/MetafileText.h"

#include "shell/Windows1250.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QStringDecoder>

#include <algorithm>
#include <cmath>

namespace {

// Text taller than this many device pixels is not drawn: no picture needs it, and the glyphs of such
// a font would take the memory of a whole picture.
constexpr double MaxCharacterPixels = 16384;
// The height of a font that names none.
constexpr double DefaultCharacterPixels = 12;

const char* codePageOf(quint8 charset)
{
    switch (charset) {
    case 0: return "windows-1252";
    case 77: return "macintosh";
    case 128: return "Shift_JIS";
    case 129: return "windows-949";
    case 134: return "GBK";
    case 136: return "Big5";
    case 161: return "windows-1253";
    case 162: return "windows-1254";
    case 163: return "windows-1258";
    case 177: return "windows-1255";
    case 178: return "windows-1256";
    case 186: return "windows-1257";
    case 204: return "windows-1251";
    case 222: return "windows-874";
    case 255: return "IBM852";
    default: return nullptr;
    }
}

}  // namespace

QString decodeMetafileText(QByteArrayView bytes, quint8 charset)
{
    if (charset == 1 || charset == 238)
        return decodeWindows1250(bytes);
    if (const char* codePage = codePageOf(charset)) {
        QStringDecoder decoder(codePage);
        if (decoder.isValid())
            return decoder(bytes);
    }
    return QString::fromLatin1(bytes);
}

QFont metafileQFont(const MetafileFont& font, int pixelSize)
{
    QFont qfont;
    if (!font.face.isEmpty())
        qfont.setFamily(font.face);
    qfont.setPixelSize(std::max(1, pixelSize));
    qfont.setWeight(font.weight > 0 ? static_cast<QFont::Weight>(std::clamp(font.weight, 1, 1000)) : QFont::Normal);
    qfont.setItalic(font.italic);
    qfont.setUnderline(font.underline);
    qfont.setStrikeOut(font.strikeOut);
    qfont.setKerning(false);
    qfont.setStyleStrategy(static_cast<QFont::StyleStrategy>(QFont::NoAntialias | QFont::NoSubpixelAntialias));
    return qfont;
}

double metafileCharacterHeight(const MetafileFont& font, double pixelsPerUnit)
{
    if (font.height == 0)
        return DefaultCharacterPixels;
    const double height = std::abs(font.height * pixelsPerUnit);
    if (font.height < 0 || height > MaxCharacterPixels)
        return height;
    // A cell height: the character height is the font's em square within its ascent plus descent.
    constexpr int Probe = 1000;
    const QFontMetricsF metrics(metafileQFont(font, Probe));
    const double cell = metrics.ascent() + metrics.descent();
    return cell > 0 ? height * Probe / cell : height;
}

double drawMetafileText(QPainter& painter, const MetafileDeviceMap& map, const MetafileDeviceContext& context, const MetafileTextRun& run)
{
    const MetafileFont& font = context.font;
    const double characterHeight = metafileCharacterHeight(font, map.lengthY());
    if (run.text.isEmpty() || !(characterHeight <= MaxCharacterPixels))
        return 0;
    const QFont qfont = metafileQFont(font, static_cast<int>(std::lround(characterHeight)));
    const QFontMetricsF metrics(qfont);
    const QString text = decodeMetafileText(run.text, font.charset);

    // The run is drawn in its own frame: at the reference point, along the escapement, with the
    // picture's horizontal stretch (and the font's own width) as a horizontal scale.
    double stretch = map.lengthY() > 0 ? map.lengthX() / map.lengthY() : 1.0;
    if (font.width > 0) {
        const double natural = metrics.averageCharWidth();
        if (natural > 0)
            stretch = std::abs(font.width * map.lengthX()) / natural;
    }
    if (!(stretch > 0.01 && stretch < 100))
        stretch = 1;

    const bool perCharacter = !run.dx.empty() && text.size() == run.text.size();
    std::vector<double> positions;  // of each character in the run's frame
    double width = 0;
    if (perCharacter) {
        positions.reserve(static_cast<size_t>(text.size()));
        for (qsizetype i = 0; i < text.size(); ++i) {
            positions.push_back(width);
            width += (i < static_cast<qsizetype>(run.dx.size()) ? run.dx[static_cast<size_t>(i)] : 0) * map.lengthX() / stretch;
        }
    } else {
        width = metrics.horizontalAdvance(text);
    }

    const quint16 align = context.textAlign;
    double x = 0;
    if ((align & MetafileDeviceContext::HorizontalMask) == MetafileDeviceContext::AlignCenter)
        x = -width / 2;
    else if ((align & MetafileDeviceContext::HorizontalMask) == MetafileDeviceContext::AlignRight)
        x = -width;
    double baseline = metrics.ascent();
    if ((align & MetafileDeviceContext::VerticalMask) == MetafileDeviceContext::AlignBaseline)
        baseline = 0;
    else if ((align & MetafileDeviceContext::VerticalMask) == MetafileDeviceContext::AlignBottom)
        baseline = -metrics.descent();

    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setBackgroundMode(Qt::TransparentMode);
    if (run.rect) {
        const QRect box = map.box(run.rect->left(), run.rect->top(), run.rect->right(), run.rect->bottom());
        if (run.options & MetafileTextRun::Opaque)
            painter.fillRect(box, QColor(context.color(context.backgroundColorRef)));
        if (run.options & MetafileTextRun::Clipped)
            painter.setClipRect(box, Qt::IntersectClip);
    }
    const QPointF origin = map.pixel(run.origin.x(), run.origin.y());
    QTransform frame;
    frame.translate(origin.x(), origin.y());
    frame.rotate(-font.escapement / 10.0);
    frame.scale(stretch, 1);
    painter.setTransform(frame, true);
    if (context.backgroundMode == MetafileDeviceContext::Opaque)
        painter.fillRect(QRectF(x, baseline - metrics.ascent(), width, metrics.ascent() + metrics.descent()),
                         QColor(context.color(context.backgroundColorRef)));
    painter.setFont(qfont);
    painter.setPen(QColor(context.color(context.textColorRef)));
    if (perCharacter) {
        for (qsizetype i = 0; i < text.size(); ++i)
            painter.drawText(QPointF(x + positions[static_cast<size_t>(i)], baseline), QString(text[i]));
    } else {
        painter.drawText(QPointF(x, baseline), text);
    }
    painter.restore();
    return width * stretch / std::max(map.lengthX(), 1e-9);
}
