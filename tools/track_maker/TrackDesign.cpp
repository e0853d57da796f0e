#include "tools/track_maker/TrackDesign.h"

#include <QLocale>
#include <QStringList>

#include <cmath>

QMap<QString, ColorValue> defaultPalette()
{
    return {
        {"grass", colorValue(92, 158, 64)},
        {"verge", colorValue(112, 172, 76)},
        {"gravel", colorValue(222, 206, 158)},
        {"barrier", colorValue(44, 44, 52)},
        {"road", colorValue(108, 108, 114)},
        {"kerb red", colorValue(204, 36, 36)},
        {"kerb white", colorValue(240, 240, 240)},
        {"start", colorValue(255, 232, 120)},
        {"tree", colorValue(34, 98, 44)},
        {"tree light", colorValue(58, 126, 54)},
        {"bush", colorValue(62, 132, 50)},
        {"bush light", colorValue(84, 146, 58)},
        {"water", colorValue(58, 116, 196)},
        {"water light", colorValue(104, 158, 224)},
        {"shore", colorValue(214, 200, 150)},
        {"stand", colorValue(150, 150, 158)},
        {"seats", colorValue(196, 60, 60)},
        {"roof", colorValue(90, 92, 104)},
        {"text", colorValue(244, 250, 226)},
    };
}

namespace {

class LineError {
public:
    QString what;
};

double number(const QString& word)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(word, &ok);
    if (!ok || !std::isfinite(value))
        throw LineError{QStringLiteral("\"%1\" is not a number").arg(word)};
    return value;
}

int integer(const QString& word)
{
    bool ok = false;
    const int value = QLocale::c().toInt(word, &ok);
    if (!ok)
        throw LineError{QStringLiteral("\"%1\" is not a whole number").arg(word)};
    return value;
}

ColorValue color(const QString& word)
{
    if (word.size() != 9)
        throw LineError{QStringLiteral("a colour is nine digits RRRGGGBBB, not \"%1\"").arg(word)};
    int groups[3] = {0, 0, 0};
    for (int i = 0; i < 9; ++i) {
        if (!word[i].isDigit() || word[i].unicode() > '9')
            throw LineError{QStringLiteral("a colour is nine digits RRRGGGBBB, not \"%1\"").arg(word)};
        groups[i / 3] = groups[i / 3] * 10 + (word[i].unicode() - '0');
    }
    for (int group : groups)
        if (group > 255)
            throw LineError{QStringLiteral("a colour group above 255 in \"%1\"").arg(word)};
    return colorValue(groups[0], groups[1], groups[2]);
}

// "0.25", "@3", "@3.5", each optionally followed by "+40" or "-40" (track units along the road).
TrackPosition position(const QString& word)
{
    TrackPosition at;
    QString rest = word;
    if (rest.startsWith(u'@')) {
        at.base = TrackPosition::Base::ControlPoint;
        rest.remove(0, 1);
    }
    qsizetype sign = -1;
    for (qsizetype i = 1; i < rest.size(); ++i)
        if (rest[i] == u'+' || rest[i] == u'-')
            sign = i;
    if (sign > 0) {
        at.offset = number(rest.mid(sign));
        rest.truncate(sign);
    }
    at.value = number(rest);
    if (at.base == TrackPosition::Base::Fraction && (at.value < 0 || at.value > 1))
        throw LineError{QStringLiteral("a fraction of the road lies in 0 ... 1, not \"%1\"").arg(word)};
    return at;
}

void expectWords(const QStringList& words, qsizetype lowest, qsizetype highest)
{
    if (words.size() < lowest || words.size() > highest)
        throw LineError{lowest == highest ? QStringLiteral("expected %1 values").arg(lowest)
                                          : QStringLiteral("expected %1 to %2 values").arg(lowest).arg(highest)};
}

void positive(double value, const char* what)
{
    if (!(value > 0))
        throw LineError{QStringLiteral("%1 must be positive").arg(QLatin1String(what))};
}

void readLine(TrackDesign& design, const QString& key, const QString& value, QStringList& descriptionLines,
              bool& finishSeen)
{
    const QStringList words = value.split(u' ', Qt::SkipEmptyParts);
    if (key == u"name") {
        if (value.contains(u'|'))
            throw LineError{QStringLiteral("the name may not contain \"|\"")};
        design.name = value;
    } else if (key == u"description") {
        descriptionLines.append(value);
    } else if (key == u"size") {
        expectWords(words, 2, 2);
        design.width = integer(words[0]);
        design.height = integer(words[1]);
        if (design.width < 1 || design.height < 1 || design.width > 32000 || design.height > 32000)
            throw LineError{QStringLiteral("the size lies in 1 ... 32000")};
    } else if (key == u"step") {
        expectWords(words, 1, 1);
        design.stepLength = integer(words[0]);
        if (design.stepLength < 1 || design.stepLength > 32767)
            throw LineError{QStringLiteral("the step length lies in 1 ... 32767")};
    } else if (key == u"speed") {
        expectWords(words, 1, 1);
        design.allowedSpeed = integer(words[0]);
        if (design.allowedSpeed < 0)
            throw LineError{QStringLiteral("the allowed speed is 0 (unlimited) or more")};
    } else if (key == u"shape") {
        if (value == u"loop")
            design.closed = true;
        else if (value == u"road")
            design.closed = false;
        else
            throw LineError{QStringLiteral("the shape is \"loop\" or \"road\"")};
    } else if (key == u"road width") {
        expectWords(words, 1, 1);
        design.roadWidth = number(words[0]);
        positive(design.roadWidth, "the road width");
    } else if (key == u"run-off") {
        expectWords(words, 1, 1);
        design.runOff = number(words[0]);
        if (design.runOff < 0)
            throw LineError{QStringLiteral("the run-off is 0 or wider")};
    } else if (key == u"point") {
        expectWords(words, 2, 3);
        ControlPoint point{number(words[0]), number(words[1]), words.size() > 2 ? number(words[2]) : 0.0};
        if (words.size() > 2)
            positive(point.width, "the road width");
        design.points.push_back(point);
    } else if (key == u"kerbs") {
        if (value == u"none")
            design.kerbs = KerbSides::None;
        else if (value == u"outer")
            design.kerbs = KerbSides::Outer;
        else if (value == u"both")
            design.kerbs = KerbSides::Both;
        else
            throw LineError{QStringLiteral("kerbs are \"none\", \"outer\" or \"both\"")};
    } else if (key == u"kerb radius") {
        expectWords(words, 1, 1);
        design.kerbRadius = number(words[0]);
        positive(design.kerbRadius, "the kerb radius");
    } else if (key == u"checkpoint" || key == u"finish") {
        if (finishSeen)
            throw LineError{QStringLiteral("the finish is the last checkpoint")};
        const bool finish = key == u"finish";
        if (finish)
            expectWords(words, 1, 3);
        else
            expectWords(words, 3, 3);
        if (words.size() == 2)
            throw LineError{QStringLiteral("give both colours of the finish or neither")};
        CheckpointDesign checkpoint;
        checkpoint.at = position(words[0]);
        checkpoint.entry = words.size() > 1 ? color(words[1]) : colorValue(255, 255, 255);
        checkpoint.exit = words.size() > 1 ? color(words[2]) : colorValue(0, 0, 0);
        design.checkpoints.push_back(checkpoint);
        finishSeen = finish;
    } else if (key == u"start") {
        expectWords(words, 2, 2);
        design.start = position(words[0]);
        design.hasStart = true;
        design.startCount = integer(words[1]);
        if (design.startCount < 1 || design.startCount > 10)
            throw LineError{QStringLiteral("a track has 1 ... 10 start positions")};
    } else if (key == u"tree" || key == u"bush") {
        expectWords(words, 3, 3);
        TreeDesign tree{number(words[0]), number(words[1]), number(words[2]), key == u"bush"};
        positive(tree.radius, "the radius");
        design.trees.push_back(tree);
    } else if (key == u"lake") {
        expectWords(words, 4, 4);
        LakeDesign lake{number(words[0]), number(words[1]), number(words[2]), number(words[3])};
        positive(lake.radiusX, "the radius");
        positive(lake.radiusY, "the radius");
        design.lakes.push_back(lake);
    } else if (key == u"stand") {
        expectWords(words, 4, 4);
        StandDesign stand{number(words[0]), number(words[1]), number(words[2]), number(words[3])};
        positive(stand.width, "the width");
        positive(stand.height, "the height");
        design.stands.push_back(stand);
    } else if (key == u"forest") {
        expectWords(words, 6, 8);
        ForestDesign forest{number(words[0]), number(words[1]), number(words[2]), number(words[3]),
                            integer(words[4]), static_cast<quint32>(integer(words[5]))};
        if (words.size() == 8) {
            forest.smallest = number(words[6]);
            forest.largest = number(words[7]);
        } else if (words.size() == 7) {
            throw LineError{QStringLiteral("give both tree radii or neither")};
        }
        if (forest.right <= forest.left || forest.bottom <= forest.top || forest.count < 1)
            throw LineError{QStringLiteral("a forest needs a box and at least one tree")};
        if (!(forest.smallest > 0) || forest.largest < forest.smallest)
            throw LineError{QStringLiteral("the tree radii are positive, the smaller one first")};
        design.forests.push_back(forest);
    } else if (key == u"label") {
        if (words.size() < 4)
            throw LineError{QStringLiteral("a label is: x y height text")};
        LabelDesign label{integer(words[0]), integer(words[1]), integer(words[2]), words.mid(3).join(u' ')};
        if (label.height < 4)
            throw LineError{QStringLiteral("a label is at least 4 units high")};
        design.labels.push_back(label);
    } else if (key.startsWith(u"colour ")) {
        const QString entry = key.mid(7).trimmed();
        if (!design.colors.contains(entry))
            throw LineError{QStringLiteral("no colour \"%1\" in the palette").arg(entry)};
        expectWords(words, 1, 1);
        design.colors[entry] = color(words[0]);
    } else {
        throw LineError{QStringLiteral("unknown key \"%1\"").arg(key)};
    }
}

void checkComplete(const TrackDesign& design)
{
    if (design.name.isEmpty())
        throw LineError{QStringLiteral("the track has no name")};
    if (design.width == 0)
        throw LineError{QStringLiteral("the track has no size")};
    if (design.stepLength == 0)
        throw LineError{QStringLiteral("the track has no step length")};
    if (static_cast<long long>(design.stepLength) * design.allowedSpeed > 32767)
        throw LineError{QStringLiteral("step length times allowed speed is above 32767")};
    if (design.roadWidth == 0)
        throw LineError{QStringLiteral("the track has no road width")};
    if (design.points.size() < (design.closed ? 3u : 2u))
        throw LineError{QStringLiteral("too few control points")};
    if (design.checkpoints.empty())
        throw LineError{QStringLiteral("the track has no finish")};
    if (!design.hasStart)
        throw LineError{QStringLiteral("the track has no start line")};
    if (design.kerbRadius == 0 && design.kerbs != KerbSides::None)
        throw LineError{QStringLiteral("kerbs need a kerb radius")};
}

}  // namespace

std::optional<TrackDesign> parseTrackDesign(const QString& text, QString* error)
{
    TrackDesign design;
    design.colors = defaultPalette();
    QStringList descriptionLines;
    bool finishSeen = false;
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.trimmed().startsWith(u'#'))
            continue;
        const qsizetype equals = line.indexOf(u'=');
        try {
            if (equals < 0)
                throw LineError{QStringLiteral("expected \"key = value\"")};
            const QString key = line.left(equals).simplified();
            const QString value = line.mid(equals + 1).trimmed();
            readLine(design, key, value, descriptionLines, finishSeen);
        } catch (const LineError& fault) {
            if (error)
                *error = QStringLiteral("line %1: %2").arg(i + 1).arg(fault.what);
            return std::nullopt;
        }
    }
    try {
        if (!finishSeen && !design.checkpoints.empty())
            throw LineError{QStringLiteral("the last checkpoint must be given as the finish")};
        checkComplete(design);
    } catch (const LineError& fault) {
        if (error)
            *error = fault.what;
        return std::nullopt;
    }
    design.description = descriptionLines.join(QStringLiteral("\r\n"));
    return design;
}
