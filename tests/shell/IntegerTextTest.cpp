#include "shell/IntegerText.h"

#include <QString>
#include <gtest/gtest.h>

TEST(IntegerText, ReadsBlanksSignAndDigitsOnly)
{
    struct Case {
        const char* text;
        std::optional<qint16> value;
    };
    const Case cases[] = {
        {"1", 1}, {"  42  ", 42}, {"+7", 7}, {"-1", -1}, {"0", 0}, {"0007", 7},
        {"32767", 32767}, {"-32768", -32768}, {"32768", std::nullopt}, {"-32769", std::nullopt},
        {"", std::nullopt}, {"  ", std::nullopt}, {"+", std::nullopt}, {"abc", std::nullopt},
        {"1.5", std::nullopt}, {"1e3", std::nullopt}, {"1 2", std::nullopt}, {"--1", std::nullopt},
        {"99999999999999999999999", std::nullopt}, {"\t5\t", 5},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseInteger<qint16>(QString::fromLatin1(c.text)), c.value) << '"' << c.text << '"';
}

TEST(IntegerText, EveryWidthKeepsItsRange)
{
    EXPECT_EQ(parseInteger<qint32>(u"2147483647"), 2147483647);
    EXPECT_EQ(parseInteger<qint32>(u"-2147483648"), std::numeric_limits<qint32>::min());
    EXPECT_EQ(parseInteger<qint32>(u"2147483648"), std::nullopt);
    EXPECT_EQ(parseInteger<quint8>(u"255"), 255);
    EXPECT_EQ(parseInteger<quint8>(u"256"), std::nullopt);
    EXPECT_EQ(parseInteger<quint8>(u"-0"), 0);
    EXPECT_EQ(parseInteger<quint8>(u"-1"), std::nullopt);
    EXPECT_EQ(parseInteger<qint64>(u"-9223372036854775808"), std::numeric_limits<qint64>::min());
    EXPECT_EQ(parseInteger<qint64>(u"9223372036854775808"), std::nullopt);
    // Past 2^64 the magnitude itself would wrap: 10 * 2000000000000000000 wraps to
    // 1553255926290448384, a number inside the range.
    EXPECT_EQ(parseInteger<qint64>(u"20000000000000000000"), std::nullopt);
    EXPECT_EQ(parseInteger<qint64>(u"-20000000000000000000"), std::nullopt);
    EXPECT_EQ(parseInteger<quint64>(u"18446744073709551615"), std::numeric_limits<quint64>::max());
    EXPECT_EQ(parseInteger<quint64>(u"18446744073709551616"), std::nullopt);
    EXPECT_EQ(parseInteger<quint64>(u"18446744073709551620"), std::nullopt);
}
