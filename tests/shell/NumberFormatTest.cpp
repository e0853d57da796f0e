#include "shell/NumberFormat.h"
#include "shell/Windows1250.h"

#include <QString>
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>

namespace {

TEST(NumberFormat, FixedSixRoundsTheExactValueHalfAwayFromZero)
{
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {
        {112.3203125, "112.320313"},      // an exact tie: away from zero, where printf gives ...312
        {-112.3203125, "-112.320313"},
        {0.0078125, "0.007813"},
        {0.0000005, "0.000000"},          // the double lies just below the half
        {0.0000015, "0.000002"},          // ... and this one just above
        {2.0000025, "2.000002"},
        {1.0000005, "1.000001"},
        {12345678.1234565, "12345678.123457"},
        {999999.9999995, "999999.999999"},
        {0.9999995, "1.000000"},          // carries into the whole part
        {9.9999996, "10.000000"},
        {2.5, "2.500000"},
        {1, "1.000000"},
        {0, "0.000000"},
        {-0.0, "0.000000"},
        {-0.0000001, "0.000000"},         // rounds to zero: no sign
        {-2.75, "-2.750000"},
        {1e20, "100000000000000000000.000000"},
        {1e-300, "0.000000"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatFixed6(c.value, u'.'), QString::fromLatin1(c.text)) << c.text;
}

TEST(NumberFormat, FewerDecimalsRoundTheSameWay)
{
    struct Case {
        double value;
        int decimals;
        const char* text;
    };
    const Case cases[] = {
        {2.5, 0, "3"},              // the "0" form of the pointer readout: half away from zero
        {-2.5, 0, "-3"},
        {0.4, 0, "0"},
        {-0.4, 0, "0"},
        {69.99999, 0, "70"},
        {1.0005, 3, "1.000"},       // the double lies just below the half
        {1.4142135, 3, "1.414"},
        {2.0625, 3, "2.063"},       // an exact tie
        {0, 3, "0.000"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatFixed(c.value, c.decimals, u','), QString::fromLatin1(c.text).replace('.', ',')) << c.text;
}

TEST(NumberFormat, GeneralKeepsFifteenSignificantDigitsWithoutTrailingZeros)
{
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {
        {2.5, "2.5"},
        {12, "12"},
        {100, "100"},
        {0, "0"},
        {-0.0, "0"},
        {-2.5, "-2.5"},
        {11.333333333333334, "11.3333333333333"},
        {2.0 / 3.0, "0.666666666666667"},
        {0.1, "0.1"},
        {0.30000000000000004, "0.3"},
        {1234567.125, "1234567.125"},
        {112.3203125, "112.3203125"},
        {0.99999999999999994, "1"},               // rounding carries into a new digit
        {123456789012345678.0, "123456789012346000"},  // never an exponent
        {1e15, "1000000000000000"},
        {0.00001, "0.00001"},
        {0.000012345678901234567, "0.0000123456789012346"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatGeneral(c.value, u'.'), QString::fromLatin1(c.text)) << c.text;
}

TEST(NumberFormat, FormatsUseTheGivenSeparatorAndReadBack)
{
    EXPECT_EQ(formatFixed6(2.5, u','), QStringLiteral("2,500000"));
    EXPECT_EQ(formatGeneral(2.5, u','), QStringLiteral("2,5"));
    EXPECT_EQ(formatGeneral(12, u','), QStringLiteral("12"));
    for (const double value : {2.5, 11.333333333333334, 0.00001, 123456789012345678.0, 1e-300, 1e300}) {
        for (const QChar separator : {QChar(u'.'), QChar(u',')}) {
            const QString text = formatGeneral(value, separator);
            const auto back = parseDecimal(text);
            ASSERT_TRUE(back.has_value()) << text.toStdString();
            EXPECT_EQ(formatGeneral(*back, separator), text);
        }
    }
}

// A record's move count is written with the locale's separator and read back from Windows-1250
// bytes; a separator that the code page or the reader does not know would lose the record.
TEST(NumberFormat, StorableSeparatorReadsBackFromTheFileUnderEveryLocale)
{
    const struct {
        QChar locale;
        QChar stored;
    } cases[] = {{u'.', u'.'}, {u',', u','}, {QChar(0x066B), u'.'}, {QChar(0x00B7), u'.'}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.locale.unicode()));
        EXPECT_EQ(storableDecimalSeparator(c.locale), c.stored);
        const QByteArray bytes = encodeWindows1250(formatGeneral(2.5, storableDecimalSeparator(c.locale)));
        EXPECT_EQ(parseDecimal(decodeWindows1250(bytes)), 2.5) << bytes.constData();
    }
}

TEST(NumberFormat, NonFiniteValuesHaveAText)
{
    EXPECT_EQ(formatFixed6(INFINITY, u'.'), QStringLiteral("inf"));
    EXPECT_EQ(formatGeneral(-INFINITY, u'.'), QStringLiteral("-inf"));
    EXPECT_EQ(formatGeneral(NAN, u'.'), QStringLiteral("nan"));
}

TEST(NumberFormat, ParseDecimalReadsSignDigitsAndEitherSeparator)
{
    struct Case {
        const char* text;
        std::optional<double> value;
    };
    const Case cases[] = {
        {"2.5", 2.5}, {"2,5", 2.5}, {"12", 12}, {" -3 ", -3}, {"+4.25", 4.25}, {".5", 0.5}, {"5.", 5},
        {"\t7\r\n", 7}, {"0", 0}, {"0.000001", 0.000001}, {"11.3333333333333", 11.3333333333333},
        {"", std::nullopt}, {" ", std::nullopt}, {".", std::nullopt}, {"-", std::nullopt},
        {"1.2.3", std::nullopt}, {"1,2.3", std::nullopt}, {"1e5", std::nullopt}, {"1E5", std::nullopt},
        {"1 000", std::nullopt}, {"--1", std::nullopt}, {"+-1", std::nullopt}, {"0x10", std::nullopt},
        {"inf", std::nullopt}, {"nan", std::nullopt}, {"2.5x", std::nullopt}, {"1'000", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseDecimal(QString::fromLatin1(c.text)), c.value) << '"' << c.text << '"';

    // Beyond the range of a double.
    EXPECT_EQ(parseDecimal(QString(400, u'9')), std::nullopt);
    // Many digits are fine.
    EXPECT_EQ(parseDecimal(QStringLiteral("1.") + QString(5000, u'0')), 1.0);
}

// Qt hands the user's locale to the C runtime; the file formats must not follow it.
TEST(NumberFormat, CRuntimeLocaleWithDecimalCommaChangesNothing)
{
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    const char* comma = nullptr;
    for (const char* name : {"cs_CZ.UTF-8", "cs_CZ.utf8", "de_DE.UTF-8", "de_DE.utf8"}) {
        if (std::setlocale(LC_ALL, name)) {
            comma = name;
            break;
        }
    }
    if (!comma)
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    EXPECT_EQ(parseDecimal(u"2.5"), 2.5);
    EXPECT_EQ(parseDecimal(u"2,5"), 2.5);
    EXPECT_EQ(formatFixed6(112.3203125, u'.'), QStringLiteral("112.320313"));
    EXPECT_EQ(formatGeneral(2.5, u'.'), QStringLiteral("2.5"));
    std::setlocale(LC_ALL, previous.c_str());
}

}  // namespace
