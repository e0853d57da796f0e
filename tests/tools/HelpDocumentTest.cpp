#include "tests/support/MainWindowFixture.h"
#include "tools/help_maker/HelpRtf.h"

#include <QAction>
#include <QFile>
#include <QImage>
#include <QKeySequence>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <vector>

namespace {

// A picture as the document embeds it.
struct EmbeddedPicture {
    QByteArray kind;  // "pngblip" or "jpegblip"
    int goalWidth = 0;
    int goalHeight = 0;
    QImage image;
};

std::vector<EmbeddedPicture> picturesOf(const QByteArray& rtf)
{
    static const QRegularExpression header(QStringLiteral(
        "\\{\\\\pict\\\\(pngblip|jpegblip)\\\\picw\\d+\\\\pich\\d+\\\\picwgoal(\\d+)\\\\pichgoal(\\d+)\\s"));
    std::vector<EmbeddedPicture> pictures;
    const QString text = QString::fromLatin1(rtf);
    for (QRegularExpressionMatchIterator it = header.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const qsizetype end = text.indexOf(u'}', match.capturedEnd());
        QByteArray hex = rtf.mid(match.capturedEnd(), end - match.capturedEnd());
        hex.replace('\n', "");
        EmbeddedPicture picture{match.captured(1).toLatin1(), match.captured(2).toInt(), match.captured(3).toInt(), {}};
        picture.image = QImage::fromData(QByteArray::fromHex(hex));
        pictures.push_back(picture);
    }
    return pictures;
}

// The depth of the groups after the whole text; -1 when a group closes that was never opened.
int groupDepthAtEnd(const QByteArray& rtf)
{
    int depth = 0;
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\')
            ++i;  // an escaped character or the first letter of a control word
        else if (rtf[i] == '{')
            ++depth;
        else if (rtf[i] == '}' && --depth < 0)
            return -1;
    }
    return depth;
}

TEST(HelpRtf, EscapesTextForRtfWithAWindows1250FallBack)
{
    struct Case {
        QString text;
        const char* rtf;
    };
    for (const Case& c : {
             Case{QStringLiteral("Trať"), "Tra\\u357\\'9d"},
             Case{QStringLiteral("a{b}\\c"), "a\\{b\\}\\\\c"},
             Case{QStringLiteral("„Zpět“"), "\\u8222\\'84Zp\\u283\\'ect\\u8220\\'93"},
             Case{QStringLiteral("A → B"), "A \\u8594? B"},
             Case{QString(QChar(0xFB01)), "\\u-1279?"},
             Case{QString::fromUtf8("\xF0\x9F\x98\x80"), "\\u-10179?\\u-8704?"},
             Case{QStringLiteral("a\tb\u00A0c"), "a\\tab b\\~c"},
             Case{QStringLiteral("x\u0007y\r\n"), "xy"},
         }) {
        EXPECT_EQ(rtfEscaped(c.text), QByteArray(c.rtf)) << qPrintable(c.text);
    }
}

TEST(HelpRtf, ReportsEveryMistakeInTheSourceWithItsLine)
{
    HelpPictures pictures;
    QImage small(40, 20, QImage::Format_RGB32);
    small.fill(Qt::red);
    pictures[QStringLiteral("circle")] = {small, false};
    struct Case {
        const char* source;
        const char* problem;
    };
    for (const Case& c : {
             Case{"a **bold", "line 1: \"**\" is not closed"},
             Case{"**a __b** c__", "line 1: \"**\" closes across another mark"},
             Case{"text\n\n@picture square 5", "line 3: no picture \"square\""},
             Case{"@picture circle 50", "line 1: picture width \"50\" is not a size from 0 to 16.4 cm"},
             Case{"@picture circle -2", "line 1: picture width \"-2\" is not a size from 0 to 16.4 cm"},
             Case{"see [[circle 2", "line 1: \"[[\" without \"]]\""},
             Case{"see [[circle]]", "line 1: a picture in the line is [[NAME WIDTH_CM]]"},
             Case{"| a | b |\n|---|---|\n| c |", "line 3: a row of 1 cells in a table of 2 columns"},
             Case{"@table 20 30 50\n| a | b |", "line 2: @table gives 3 widths for 2 columns"},
             Case{"@table 0 100\n| a | b |", "line 1: column width \"0\" is not a per cent from 1 to 100"},
             Case{"@table 30 70\n\ntext", "@table without a table after it"},
             Case{"@index", "line 1: unknown directive \"@index\""},
             Case{"=== Early", "line 1: a section before the first chapter"},
         }) {
        const HelpDocument document = helpRtf(QString::fromUtf8(c.source), pictures);
        EXPECT_TRUE(document.problems.join(u'\n').contains(QString::fromUtf8(c.problem)))
            << c.source << "\n gives: " << qPrintable(document.problems.join(u'\n'));
    }
    EXPECT_TRUE(helpRtf(QStringLiteral("== A\n\n- **b** __c__ \\*\n\n| x \\| y | z |\n|---|---|\n| 1 | [[circle 1]] |"), pictures)
                    .problems.isEmpty());
}

TEST(HelpRtf, EmbedsPicturesAtTheirSizeThatDecodeBackToThemselves)
{
    QImage drawing(300, 150, QImage::Format_RGB32);
    drawing.fill(Qt::white);
    for (int x = 0; x < 300; ++x)
        drawing.setPixel(x, x / 2, qRgb(200, 0, 0));
    QImage photo(200, 200, QImage::Format_RGB32);
    photo.fill(QColor(30, 120, 60));
    const HelpPictures pictures{{QStringLiteral("drawing"), {drawing, false}}, {QStringLiteral("photo"), {photo, true}}};

    const HelpDocument document = helpRtf(QStringLiteral("@picture drawing 10\nCaption.\n\nA [[photo 0.5]] in a line."), pictures);
    ASSERT_TRUE(document.problems.isEmpty()) << qPrintable(document.problems.join(u'\n'));
    const std::vector<EmbeddedPicture> embedded = picturesOf(document.rtf);
    ASSERT_EQ(embedded.size(), 2u);
    // 10 cm is 5669 twips; the height keeps the picture's proportions.
    EXPECT_EQ(embedded[0].kind, "pngblip");
    EXPECT_EQ(embedded[0].goalWidth, 5669);
    EXPECT_EQ(embedded[0].goalHeight, 2835);
    EXPECT_EQ(embedded[0].image.convertToFormat(QImage::Format_RGB32), drawing);
    EXPECT_EQ(embedded[1].kind, "jpegblip");
    EXPECT_EQ(embedded[1].goalWidth, 283);
    EXPECT_EQ(embedded[1].goalHeight, 283);
    EXPECT_EQ(embedded[1].image.size(), QSize(200, 200));
    EXPECT_EQ(groupDepthAtEnd(document.rtf), 0);
}

QByteArray builtHelp()
{
    QFile file(QStringLiteral(TRASOVKY_PROGRAM_DIR "/help.doc"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << "the build writes help.doc beside the program";
    return file.readAll();
}

TEST(HelpDocument, TheBuiltHelpIsPlainRtfWithEveryPictureInIt)
{
    const QByteArray rtf = builtHelp();
    ASSERT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1250"));
    for (qsizetype i = 0; i < rtf.size(); ++i)
        ASSERT_LT(static_cast<unsigned char>(rtf[i]), 0x80u) << "byte " << i << " is not 7-bit";
    EXPECT_EQ(groupDepthAtEnd(rtf), 0);
    EXPECT_LT(rtf.size(), 3 * 1024 * 1024);
    // The logo, the circle of allowed moves, the three pointers and the track.
    const std::vector<EmbeddedPicture> pictures = picturesOf(rtf);
    ASSERT_EQ(pictures.size(), 6u);
    for (const EmbeddedPicture& picture : pictures) {
        EXPECT_FALSE(picture.image.isNull());
        EXPECT_GT(picture.goalWidth, 0);
        EXPECT_LE(picture.goalWidth, 9298) << "no wider than the text";
    }
}

TEST(HelpDocument, NamesEveryShortcutOfTheMenus)
{
    QFile source(QStringLiteral(TRASOVKY_SOURCE_DIR "/resources/help.txt"));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QString help = QString::fromUtf8(source.readAll());
    MainWindowFixture fixture;
    MainWindow& window = fixture.start();
    int shortcuts = 0;
    for (const QAction* action : window.findChildren<QAction*>()) {
        if (action->shortcut().isEmpty())
            continue;
        ++shortcuts;
        const QString key = action->shortcut().toString(QKeySequence::PortableText);
        EXPECT_TRUE(help.contains(key)) << qPrintable(action->objectName()) << " " << qPrintable(key);
    }
    EXPECT_GT(shortcuts, 0);
}

}  // namespace
