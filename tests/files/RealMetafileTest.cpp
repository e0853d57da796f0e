// Metafiles written by real drawing programs (LibreOffice Draw, Inkscape), played with exact colours.
// The files and their probe tables live in tests/data/metafiles/; tools/make_test_metafiles.sh
// remakes the files from their sources there.
#include "files/Metafile.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QPainter>
#include <QSet>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const QString dataDirectory = QStringLiteral(TRASOVKY_SOURCE_DIR "/tests/data/metafiles");

// The colour the image is filled with before the picture is played; no drawing uses it.
const QRgb fillColour = qRgb(12, 34, 56);

struct PointProbe {
    QString what;
    QPointF at;  // in the drawing's own units
    QRgb colour;
};

struct TextProbe {
    QString what;
    QRectF box;  // in the drawing's own units
    QRgb colour;
};

// What one drawing must look like, for every metafile exported from it.
struct ProbeTable {
    QString name;
    QStringList metafiles;
    QSizeF size;  // the whole drawing in its own units
    std::vector<PointProbe> points;
    std::vector<TextProbe> texts;
    QSet<QRgb> palette;  // every colour the drawing uses
};

QRgb rgbOf(const QJsonValue& value)
{
    const QJsonArray a = value.toArray();
    return qRgb(a.at(0).toInt(), a.at(1).toInt(), a.at(2).toInt());
}

std::vector<ProbeTable> loadProbeTables()
{
    std::vector<ProbeTable> tables;
    const QDir dir(dataDirectory);
    for (const QString& fileName : dir.entryList({QStringLiteral("*.probes.json")}, QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(fileName));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
        ProbeTable table;
        table.name = fileName;
        for (const QJsonValue& v : root.value(u"metafiles").toArray())
            table.metafiles << v.toString();
        const QJsonArray size = root.value(u"size").toArray();
        table.size = QSizeF(size.at(0).toDouble(), size.at(1).toDouble());
        for (const QJsonValue& v : root.value(u"points").toArray()) {
            const QJsonObject o = v.toObject();
            const QJsonArray at = o.value(u"at").toArray();
            table.points.push_back({o.value(u"what").toString(), QPointF(at.at(0).toDouble(), at.at(1).toDouble()),
                                    rgbOf(o.value(u"rgb"))});
            table.palette.insert(table.points.back().colour);
        }
        for (const QJsonValue& v : root.value(u"text").toArray()) {
            const QJsonObject o = v.toObject();
            const QJsonArray box = o.value(u"box").toArray();
            table.texts.push_back({o.value(u"what").toString(),
                                   QRectF(QPointF(box.at(0).toDouble(), box.at(1).toDouble()),
                                          QPointF(box.at(2).toDouble(), box.at(3).toDouble())),
                                   rgbOf(o.value(u"rgb"))});
            table.palette.insert(table.texts.back().colour);
        }
        tables.push_back(table);
    }
    return tables;
}

std::string colourText(QRgb c)
{
    return std::to_string(qRed(c)) + ',' + std::to_string(qGreen(c)) + ',' + std::to_string(qBlue(c));
}

// One way of rasterizing a picture: a scale of its natural size and whether the caller's painter
// asks for smoothing (the player must switch it off itself).
struct Rendering {
    const char* name;
    double scaleX;
    double scaleY;
    bool smoothingRequested;
};

const Rendering renderings[] = {
    {"natural size", 1.0, 1.0, false},
    {"1.5 times", 1.5, 1.5, false},
    {"stretched 1.5 x 1.25, painter asking for smoothing", 1.5, 1.25, true},
};

QImage render(const Metafile& picture, const Rendering& rendering)
{
    const QSize natural = picture.naturalSize();
    const QSize size(qRound(natural.width() * rendering.scaleX), qRound(natural.height() * rendering.scaleY));
    QImage image(size, QImage::Format_RGB32);
    image.fill(fillColour);
    QPainter painter(&image);
    const QPainter::RenderHints smoothing =
        QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform;
    painter.setRenderHints(smoothing, rendering.smoothingRequested);
    picture.play(painter, QRectF(0, 0, size.width(), size.height()));
    painter.end();
    return image;
}

// A drawing's position in the image's pixels.
QPointF toImage(const ProbeTable& table, const QImage& image, QPointF at)
{
    return QPointF(at.x() * image.width() / table.size.width(), at.y() * image.height() / table.size.height());
}

QRect toImage(const ProbeTable& table, const QImage& image, const QRectF& box)
{
    const QPointF topLeft = toImage(table, image, box.topLeft());
    const QPointF bottomRight = toImage(table, image, box.bottomRight());
    return QRect(QPoint(int(topLeft.x()), int(topLeft.y())), QPoint(int(bottomRight.x()), int(bottomRight.y())));
}

// Calls check(table, picture name, rendering, image) for every committed metafile in every rendering.
template <typename Check>
void forEveryRendering(Check check)
{
    const std::vector<ProbeTable> tables = loadProbeTables();
    ASSERT_FALSE(tables.empty()) << "no probe tables in " << dataDirectory.toStdString();
    for (const ProbeTable& table : tables) {
        for (const QString& name : table.metafiles) {
            const std::optional<Metafile> picture = Metafile::fromFile(dataDirectory + u'/' + name);
            if (!picture) {
                ADD_FAILURE() << name.toStdString() << " was refused";
                continue;
            }
            for (const Rendering& rendering : renderings) {
                SCOPED_TRACE(name.toStdString() + ", " + rendering.name);
                check(table, render(*picture, rendering));
            }
        }
    }
}

TEST(RealMetafile, EveryCommittedFileHasAProbeTable)
{
    QSet<QString> named;
    for (const ProbeTable& table : loadProbeTables()) {
        EXPECT_FALSE(table.size.isEmpty()) << table.name.toStdString();
        EXPECT_FALSE(table.points.empty()) << table.name.toStdString();
        for (const QString& name : table.metafiles) {
            EXPECT_TRUE(QFile::exists(dataDirectory + u'/' + name))
                << table.name.toStdString() << " names the missing " << name.toStdString();
            named.insert(name);
        }
    }
    for (const QString& name : QDir(dataDirectory).entryList({QStringLiteral("*.wmf")}, QDir::Files))
        EXPECT_TRUE(named.contains(name)) << name.toStdString() << " has no probe table";
}

TEST(RealMetafile, ProbePointsShowExactlyTheirColours)
{
    forEveryRendering([](const ProbeTable& table, const QImage& image) {
        for (const PointProbe& probe : table.points) {
            const QPointF at = toImage(table, image, probe.at);
            const QRgb got = image.pixel(int(at.x()), int(at.y())) | 0xff000000u;
            EXPECT_EQ(colourText(got), colourText(probe.colour))
                << probe.what.toStdString() << " at pixel " << int(at.x()) << ',' << int(at.y());
        }
    });
}

TEST(RealMetafile, TextIsDrawnInItsBoxOnly)
{
    forEveryRendering([](const ProbeTable& table, const QImage& image) {
        for (const TextProbe& text : table.texts) {
            const QRect box = toImage(table, image, text.box);
            int inside = 0;
            int outside = 0;
            QPoint firstOutside;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    if ((image.pixel(x, y) | 0xff000000u) != text.colour)
                        continue;
                    if (box.contains(x, y)) {
                        ++inside;
                    } else if (outside++ == 0) {
                        firstOutside = QPoint(x, y);
                    }
                }
            }
            EXPECT_GT(inside, 0) << text.what.toStdString() << ": no pixel of colour " << colourText(text.colour)
                                 << " in " << box.x() << ',' << box.y() << ' ' << box.width() << 'x' << box.height();
            EXPECT_EQ(outside, 0) << text.what.toStdString() << ": colour " << colourText(text.colour)
                                  << " outside its box, first at " << firstOutside.x() << ',' << firstOutside.y();
        }
    });
}

// With smoothing anywhere, edges would show blended colours that the drawing never names.
TEST(RealMetafile, EveryPixelIsAColourOfTheDrawing)
{
    forEveryRendering([](const ProbeTable& table, const QImage& image) {
        QMap<QRgb, int> strangers;
        QMap<QRgb, QPoint> firstSeen;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb c = image.pixel(x, y) | 0xff000000u;
                if (c == fillColour || table.palette.contains(c))
                    continue;
                if (strangers[c]++ == 0)
                    firstSeen[c] = QPoint(x, y);
            }
        }
        std::string report;
        int shown = 0;
        for (auto it = strangers.cbegin(); it != strangers.cend() && shown < 8; ++it, ++shown)
            report += "\n  " + colourText(it.key()) + " x" + std::to_string(it.value()) + ", first at " +
                      std::to_string(firstSeen[it.key()].x()) + ',' + std::to_string(firstSeen[it.key()].y());
        EXPECT_TRUE(strangers.isEmpty()) << strangers.size() << " colours the drawing does not use:" << report;
    });
}

}  // namespace
