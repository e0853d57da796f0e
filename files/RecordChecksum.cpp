#include "files/RecordChecksum.h"

#include "shell/NumberFormat.h"

#include <QString>

namespace {

constexpr qint64 ProductModulus = 466844;

// Adds two 32-bit values with two's complement wrap-around.
qint32 wrappingAdd(qint32 a, qint32 b)
{
    return static_cast<qint32>(static_cast<quint32>(a) + static_cast<quint32>(b));
}

}  // namespace

qint32 RecordChecksum(double moves, QStringView rideText)
{
    // The decimal separator is dropped with every other character that is not a digit or ":",
    // so the checksum is the same under every locale.
    const QString movesText = formatFixed6(moves, systemDecimalSeparator());
    qint32 sum = 0;
    qint64 product = 1;  // always below ProductModulus * 1100 after a step, well inside 64 bits
    qint64 position = 0;
    const auto add = [&](QStringView text) {
        for (const QChar c : text) {
            const char16_t code = c.unicode();
            if (code < u'0' || code > u':')
                continue;
            ++position;
            const qint64 digit = code - 47;              // 1 ... 11
            const qint64 weight = position % 100 + 1;    // 1 ... 100
            sum = wrappingAdd(sum, static_cast<qint32>(digit * weight));
            product = product * digit * weight;
            if (product > ProductModulus)
                product %= ProductModulus;
        }
    };
    add(rideText);
    add(movesText);
    return wrappingAdd(static_cast<qint32>(product), sum);
}
