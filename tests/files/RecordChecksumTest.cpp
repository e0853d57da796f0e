#include "files/RecordChecksum.h"
#include "shell/NumberFormat.h"

#include <QString>
#include <gtest/gtest.h>

#include <cstdint>

namespace {

// The checksum written out the plain way, with a counter of the given type and the sum in 64 bits
// reduced to 32 bits at the end (which is what 32-bit wrap-around gives).
template <typename Counter>
qint32 referenceChecksum(const QString& rideText, const QString& movesText)
{
    QString u;
    for (const QChar c : rideText + movesText)
        if (c >= u'0' && c <= u':')
            u += c;
    long long sum = 0;
    long long product = 1;
    for (Counter i = 1; i <= static_cast<long long>(u.size()); ++i) {
        const long long d = u[i - 1].unicode() - 47;
        const long long w = i % 100 + 1;
        sum += d * w;
        product = product * d * w;
        if (product > 466844)
            product = product % 466844;
    }
    return static_cast<qint32>(static_cast<std::uint32_t>(product + sum));
}

QString repeated(const char* piece, qsizetype length)
{
    QString text;
    while (text.size() < length)
        text += QString::fromLatin1(piece);
    text.truncate(length);
    return text;
}

TEST(RecordChecksum, KnownRides)
{
    struct Case {
        double moves;
        const char* ride;
        qint32 checksum;
    };
    const Case cases[] = {
        {1, "10:20:", 267074},
        {2.5, "10:20:13:24:19:30:", 211530},
        // Everything but digits and ":" is dropped: blanks, signs and separators change nothing.
        {1, " 1,0: 2.0:", 267074},
        {1, "-10:+20:", 267074},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RecordChecksum(c.moves, QString::fromLatin1(c.ride)), c.checksum) << c.ride;
}

// The moves are summed in their six-decimal form, so only the first six decimals count.
TEST(RecordChecksum, MovesCountToTheSixthDecimal)
{
    const QString ride = QStringLiteral("10:20:13:24:19:30:");
    EXPECT_EQ(RecordChecksum(2.5000004, ride), RecordChecksum(2.5, ride));
    EXPECT_NE(RecordChecksum(2.500001, ride), RecordChecksum(2.5, ride));
    // The separator is dropped whichever it is.
    EXPECT_EQ(referenceChecksum<long long>(ride, QStringLiteral("2,500000")),
              referenceChecksum<long long>(ride, QStringLiteral("2.500000")));
    EXPECT_EQ(RecordChecksum(2.5, ride), referenceChecksum<long long>(ride, QStringLiteral("2.500000")));
}

// A counter of 16 bits would overflow past 32767 characters; the wider one goes on, and gives
// shorter rides the checksum they always had.
TEST(RecordChecksum, LongRidesAreCountedPastSixteenBits)
{
    const QString ride40000 = repeated("123:456:", 40000);
    EXPECT_EQ(RecordChecksum(1, ride40000), 12334433);
    EXPECT_EQ(RecordChecksum(1, ride40000), referenceChecksum<long long>(ride40000, QStringLiteral("1.000000")));

    const QString ride30000 = repeated("7:-81:90:", 30000);
    EXPECT_EQ(RecordChecksum(12.75, ride30000), referenceChecksum<qint16>(ride30000, QStringLiteral("12.750000")));
}

// The sum passes 32 bits after a few million characters; it wraps around like 32-bit arithmetic.
TEST(RecordChecksum, SumWrapsAroundBeyondThirtyTwoBits)
{
    const QString ride = repeated("99:", 6000000);
    const qint32 checksum = RecordChecksum(3, ride);
    EXPECT_EQ(checksum, referenceChecksum<long long>(ride, QStringLiteral("3.000000")));
}

}  // namespace
