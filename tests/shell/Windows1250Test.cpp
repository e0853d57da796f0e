#include "shell/Windows1250.h"

#include <QStringDecoder>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

std::string hex(QByteArrayView bytes)
{
    return QByteArray(bytes.data(), bytes.size()).toHex(' ').toStdString();
}

std::string utf8(const QString& text)
{
    return text.toStdString();
}

} // namespace

TEST(Windows1250, CzechTextBothWays)
{
    struct Case {
        QByteArray bytes;
        QString text;
    };
    const Case cases[] = {
        {"P\xF8\xEDli\x9A \x9Elu\x9Dou\xE8k\xFD k\xF9\xF2 \xFAp\xECl \xEF\xE1\x62\x65lsk\xE9 \xF3\x64y",
         QStringLiteral(u"Příliš žluťoučký kůň úpěl ďábelské ódy")},
        {"P\xD8\xCDLI\x8A \x8ELU\x8DOU\xC8K\xDD K\xD9\xD2 \xDAP\xCCL \xCF\xC1\x42\x45LSK\xC9 \xD3\x44Y",
         QStringLiteral(u"PŘÍLIŠ ŽLUŤOUČKÝ KŮŇ ÚPĚL ĎÁBELSKÉ ÓDY")},
        {"\x84Tra\x9D\x22 \x96 20 \xB0\x43, 5\xA0\x80, \xA7 3 \xBB\x93",
         QStringLiteral(u"„Trať\" – 20 °C, 5\u00A0€, § 3 »“")},
        {"", QString()},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(utf8(decodeWindows1250(c.bytes)), utf8(c.text)) << hex(c.bytes);
        EXPECT_EQ(hex(encodeWindows1250(c.text)), hex(c.bytes)) << utf8(c.text);
    }
}

TEST(Windows1250, LettersOfTheCodePage)
{
    struct Case {
        unsigned char byte;
        char16_t character;
    };
    const Case cases[] = {
        {0x8A, u'Š'}, {0x8D, u'Ť'}, {0x8E, u'Ž'}, {0x9A, u'š'}, {0x9D, u'ť'}, {0x9E, u'ž'},
        {0xC8, u'Č'}, {0xE8, u'č'}, {0xD8, u'Ř'}, {0xF8, u'ř'}, {0xCC, u'Ě'}, {0xEC, u'ě'},
        {0xD9, u'Ů'}, {0xF9, u'ů'}, {0xD2, u'Ň'}, {0xF2, u'ň'}, {0xCF, u'Ď'}, {0xEF, u'ď'},
        {0xC1, u'Á'}, {0xE1, u'á'}, {0xCD, u'Í'}, {0xED, u'í'}, {0xC9, u'É'}, {0xE9, u'é'},
        {0xDA, u'Ú'}, {0xFA, u'ú'}, {0xDD, u'Ý'}, {0xFD, u'ý'}, {0xD3, u'Ó'}, {0xF3, u'ó'},
        {0x80, u'€'}, {0x84, u'„'}, {0x93, u'“'}, {0x96, u'–'}, {0xA0, u'\u00A0'}, {0xA7, u'§'},
        {0xB0, u'°'}, {0xBB, u'»'}, {0x8C, u'Ś'}, {0xA3, u'Ł'}, {0xB3, u'ł'}, {0xA5, u'Ą'},
        {0xB9, u'ą'}, {0xBC, u'Ľ'}, {0xBE, u'ľ'}, {0xC0, u'Ŕ'}, {0xE0, u'ŕ'}, {0xD5, u'Ő'},
        {0xFB, u'ű'}, {0xDE, u'Ţ'}, {0xFF, u'˙'}, {0xAD, u'\u00AD'}, {0x99, u'™'}, {0x7F, u'\u007F'},
        // The undefined bytes keep their number.
        {0x81, u'\u0081'}, {0x83, u'\u0083'}, {0x88, u'\u0088'}, {0x90, u'\u0090'}, {0x98, u'\u0098'},
    };
    for (const Case& c : cases) {
        const char byte = static_cast<char>(c.byte);
        const QString text = decodeWindows1250(QByteArrayView(&byte, 1));
        ASSERT_EQ(text.size(), 1);
        EXPECT_EQ(text[0].unicode(), c.character) << "byte " << int(c.byte);
        EXPECT_EQ(encodeWindows1250(QStringView(&c.character, 1)), QByteArray(1, byte)) << "byte " << int(c.byte);
    }
}

TEST(Windows1250, EveryByteComesBackUnchanged)
{
    QByteArray all;
    for (int byte = 0; byte < 256; ++byte)
        all.append(static_cast<char>(byte));
    const QString text = decodeWindows1250(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(hex(encodeWindows1250(text)), hex(all));
    // No two bytes share a character.
    QString sorted = text;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());
}

TEST(Windows1250, CharactersWithoutAByteBecomeQuestionMarks)
{
    struct Case {
        QString text;
        QByteArray bytes;
    };
    const Case cases[] = {
        {QStringLiteral(u"ñ à ¡ \u0080 ø"), "? ? ? ? ?"},
        {QStringLiteral(u"Tra\u0165 日本"), "Tra\x9D ??"},
        // A character beyond the Basic Multilingual Plane is one '?', not one per UTF-16 unit.
        {QStringLiteral(u"a😀b"), "a?b"},
        // Halves of a pair on their own are no characters of the code page either.
        {QString(QChar(0xD83D)) + u'x' + QChar(0xDE00), "?x?"},
        {QString(QChar(0xD83D)), "?"},
        {QStringLiteral(u"?"), "?"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(hex(encodeWindows1250(c.text)), hex(c.bytes)) << utf8(c.text);
}

// Our table agrees with the system's converter wherever the system has one.
TEST(Windows1250, AgreesWithTheSystemConverter)
{
    if (!QStringDecoder("windows-1250").isValid())
        GTEST_SKIP() << "no windows-1250 converter in this Qt build";
    for (int byte = 0; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        QStringDecoder system("windows-1250");
        const QString expected = system.decode(QByteArrayView(&c, 1));
        EXPECT_EQ(utf8(decodeWindows1250(QByteArrayView(&c, 1))), utf8(expected)) << "byte " << byte;
    }
}
