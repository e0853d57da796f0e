// Text records: 8-bit text in the font's character set, placed by the text alignment, sized by the
// font height's two meanings, drawn in exactly the text colour.
#include "files/Metafile.h"
#include "files/MetafileText.h"
#include "race/ColorValue.h"
#include "tools/MetafileWriter.h"

#include <QImage>
#include <QPainter>
#include <QSet>
#include <QStringDecoder>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

constexpr QRgb Paper = qRgb(12, 34, 56);
constexpr ColorValue Ink = colorValue(128, 0, 128);
constexpr ColorValue Yellow = colorValue(255, 255, 0);
constexpr QRgb InkRgb = qRgb(128, 0, 128);
constexpr QRgb YellowRgb = qRgb(255, 255, 0);
constexpr quint8 CentralEuropean = 238;
const QByteArray Face = "DejaVu Sans";

constexpr quint16 Top = 0, Right = 2, Center = 6, Bottom = 8, Baseline = 24, UpdatePosition = 1;

// A 200 × 100 picture, one unit a pixel, with transparent text in the ink colour.
MetafileWriter textCanvas(int windowWidth = 200, int windowHeight = 100)
{
    MetafileWriter writer;
    writer.setWindowOrg(0, 0);
    writer.setWindowExt(windowWidth, windowHeight);
    writer.setBkMode(1);
    writer.setTextColor(Ink);
    return writer;
}

QImage play(const MetafileWriter& writer, QSize size = QSize(200, 100), bool antialiasingRequested = false)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Paper);
    const std::optional<Metafile> picture = Metafile::fromBytes(writer.bytes());
    if (!picture) {
        ADD_FAILURE() << "the picture was refused";
        return image;
    }
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing, antialiasingRequested);
    picture->play(painter, QRectF(QPointF(0, 0), size));
    return image;
}

QRect boundsOf(const QImage& image, QRgb color)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) | 0xFF000000u) == color)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

std::string rectText(const QRect& r)
{
    return std::to_string(r.x()) + ',' + std::to_string(r.y()) + ' ' + std::to_string(r.width()) + 'x' + std::to_string(r.height());
}

TEST(MetafileText, BytesAreDecodedInTheFontsCharacterSet)
{
    struct Case {
        quint8 charset;
        QByteArray bytes;
        QString text;
        const char* codec;  // the code page Qt must know for the case, or none
    } const cases[] = {
        {CentralEuropean, "\xC8" "e\xF8ovka", QStringLiteral("Čeřovka"), nullptr},
        {1, "\xC8" "e\xF8ovka", QStringLiteral("Čeřovka"), nullptr},  // the default set: the system's code page
        {0, "\xC8" "a\xE9", QStringLiteral("Èaé"), "windows-1252"},
        {204, "\xC8\xE4\xE0", QStringLiteral("\u0418\u0434\u0430"), "windows-1251"},
        {2, "\xB7x", QStringLiteral("\u00B7x"), nullptr},  // symbol fonts: the bytes as they are
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("charset " + std::to_string(c.charset));
        if (c.codec && !QStringDecoder(c.codec).isValid())
            continue;
        EXPECT_EQ(decodeMetafileText(c.bytes, c.charset).toStdString(), c.text.toStdString());
    }
}

TEST(MetafileText, TextPixelsAreExactlyTheTextColourEvenWhenThePainterAsksForAntialiasing)
{
    for (const bool antialiasingRequested : {false, true}) {
        SCOPED_TRACE(antialiasingRequested ? "antialiasing requested" : "plain painter");
        MetafileWriter writer = textCanvas();
        writer.selectObject(writer.createFont(-30, 700, CentralEuropean, Face));
        writer.textOut(10, 20, "\xC8" "e\xF8ovka");
        const QImage image = play(writer, QSize(200, 100), antialiasingRequested);
        QSet<QRgb> colors;
        int ink = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb c = image.pixel(x, y) | 0xFF000000u;
                colors.insert(c);
                ink += c == InkRgb;
            }
        }
        EXPECT_GT(ink, 100);
        EXPECT_EQ(colors, (QSet<QRgb>{Paper, InkRgb}));
    }
}

TEST(MetafileText, AlignmentPlacesTheTextAroundTheReferencePoint)
{
    const QPoint reference(100, 50);
    struct Case {
        const char* name;
        quint16 align;
        std::function<bool(const QRect&)> placed;
    } const cases[] = {
        {"top left: below and right", Top, [&](const QRect& r) { return r.left() >= reference.x() && r.top() >= reference.y(); }},
        {"right: to the left", Right, [&](const QRect& r) { return r.right() < reference.x() && r.top() >= reference.y(); }},
        {"centre: on both sides", Center, [&](const QRect& r) { return r.left() < reference.x() && r.right() > reference.x(); }},
        {"baseline: capitals stand on it", Baseline, [&](const QRect& r) { return r.bottom() == reference.y() - 1 && r.top() < reference.y() - 10; }},
        {"bottom: above the descent", Bottom, [&](const QRect& r) { return r.bottom() < reference.y() - 2; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MetafileWriter writer = textCanvas();
        writer.selectObject(writer.createFont(-20, 400, CentralEuropean, Face));
        writer.setTextAlign(c.align);
        writer.textOut(reference.x(), reference.y(), "HEH");
        const QRect bounds = boundsOf(play(writer), InkRgb);
        ASSERT_TRUE(bounds.isValid());
        EXPECT_TRUE(c.placed(bounds)) << rectText(bounds);
    }
}

// The height of the capital H drawn with the given font height in a window of the given height
// (on a 100-pixel-high image).
int capitalHeight(int fontHeight, int windowHeight = 100)
{
    MetafileWriter writer = textCanvas(windowHeight * 2, windowHeight);
    writer.selectObject(writer.createFont(fontHeight, 400, CentralEuropean, Face));
    writer.textOut(windowHeight / 5, windowHeight / 5, "H");
    return boundsOf(play(writer), InkRgb).height();
}

TEST(MetafileText, NegativeHeightIsTheCharacterHeightPositiveTheCellHeight)
{
    const int character = capitalHeight(-60);
    const int cell = capitalHeight(60);
    // DejaVu Sans: capitals are 0.73 of the character height; the cell is 1.16 character heights.
    EXPECT_NEAR(character, 0.73 * 60, 2);
    EXPECT_NEAR(cell, 0.73 * 60 / 1.164, 2);
    // The height is in logical units: half as many pixels in a window twice as high.
    EXPECT_NEAR(capitalHeight(-60, 200), character / 2.0, 1);
}

TEST(MetafileText, OpaqueBackgroundFillsTheTextBox)
{
    for (const int mode : {1, 2}) {
        SCOPED_TRACE(mode == 2 ? "opaque" : "transparent");
        MetafileWriter writer = textCanvas();
        writer.setBkMode(mode);
        writer.setBkColor(Yellow);
        writer.selectObject(writer.createFont(-20, 400, CentralEuropean, Face));
        writer.textOut(20, 20, "HEH");
        const QImage image = play(writer);
        const QRect background = boundsOf(image, YellowRgb);
        if (mode == 1) {
            EXPECT_FALSE(background.isValid());
            continue;
        }
        // The box: the text's advance wide, ascent plus descent high, from the reference point.
        EXPECT_EQ(background.topLeft(), QPoint(20, 20));
        EXPECT_TRUE(background.contains(boundsOf(image, InkRgb)));
        EXPECT_NEAR(background.height(), 20 * 1.164, 1.5);
    }
}

TEST(MetafileText, ExtendedTextOutPlacesCharactersByItsDistancesAndUsesItsRectangle)
{
    struct Case {
        const char* name;
        quint16 options;
        QRect rect;
        std::vector<int> dx;
        std::function<void(const QImage&)> check;
    } const cases[] = {
        {"characters at the given distances", 0, QRect(), {60, 60, 60},
         [](const QImage& image) {
             // Three I's: three columns of ink, 60 pixels apart.
             std::vector<int> starts;
             for (int x = 1; x < image.width(); ++x) {
                 bool here = false, before = false;
                 for (int y = 0; y < image.height(); ++y) {
                     here |= (image.pixel(x, y) | 0xFF000000u) == InkRgb;
                     before |= (image.pixel(x - 1, y) | 0xFF000000u) == InkRgb;
                 }
                 if (here && !before)
                     starts.push_back(x);
             }
             ASSERT_EQ(starts.size(), 3u);
             EXPECT_EQ(starts[1] - starts[0], 60);
             EXPECT_EQ(starts[2] - starts[1], 60);
         }},
        {"opaque rectangle in the background colour", 2, QRect(5, 5, 150, 40), {},
         [](const QImage& image) {
             EXPECT_EQ(rectText(boundsOf(image, YellowRgb)), rectText(QRect(5, 5, 150, 40)));
             EXPECT_TRUE(QRect(5, 5, 150, 40).contains(boundsOf(image, InkRgb)));
         }},
        {"clipped to the rectangle", 4, QRect(0, 0, 30, 100), {},
         [](const QImage& image) {
             const QRect ink = boundsOf(image, InkRgb);
             ASSERT_TRUE(ink.isValid());
             EXPECT_LT(ink.right(), 30);
             EXPECT_FALSE(boundsOf(image, YellowRgb).isValid()) << "clipping alone fills nothing";
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MetafileWriter writer = textCanvas();
        writer.setBkColor(Yellow);
        writer.selectObject(writer.createFont(-30, 400, CentralEuropean, Face));
        writer.extTextOut(10, 10, c.options, c.rect, "III", c.dx);
        c.check(play(writer));
    }
}

TEST(MetafileText, UpdatingTheCurrentPositionRunsTextOnFromWhereTheLastEnded)
{
    MetafileWriter writer = textCanvas();
    writer.selectObject(writer.createFont(-30, 400, CentralEuropean, Face));
    writer.setTextAlign(Top | UpdatePosition);
    writer.moveTo(10, 10);
    writer.textOut(150, 80, "HH");  // the coordinates are not used
    const QRect first = boundsOf(play(writer), InkRgb);
    writer.textOut(150, 80, "HH");
    const QRect both = boundsOf(play(writer), InkRgb);
    ASSERT_TRUE(first.isValid());
    EXPECT_EQ(first.top(), both.top());
    EXPECT_LT(first.left(), 20);
    EXPECT_GT(both.width(), 2 * first.width());
}

TEST(MetafileText, EscapementTurnsTheText)
{
    MetafileWriter writer = textCanvas(100, 200);
    writer.selectObject(writer.createFont(-20, 400, CentralEuropean, Face, 900));  // a quarter turn, counter-clockwise
    writer.textOut(50, 180, "HEHEH");
    const QRect ink = boundsOf(play(writer, QSize(100, 200)), InkRgb);
    ASSERT_TRUE(ink.isValid());
    EXPECT_GT(ink.height(), 2 * ink.width()) << rectText(ink);
    EXPECT_LT(ink.bottom(), 181) << "the text runs upwards from the reference point";
}

}  // namespace
