#pragma once

#include <QStringView>
#include <limits>
#include <optional>
#include <type_traits>

// Converts the text form of a whole number as the stored files write it: optional blanks, an
// optional sign, decimal digits, optional blanks. Anything else, or a value that does not fit T,
// gives nothing.
template <typename T>
std::optional<T> parseInteger(QStringView text)
{
    static_assert(std::is_integral_v<T>);
    text = text.trimmed();
    bool negative = false;
    if (!text.isEmpty() && (text.front() == u'+' || text.front() == u'-')) {
        negative = text.front() == u'-';
        text = text.sliced(1);
    }
    if (text.isEmpty())
        return std::nullopt;
    // Accumulate the magnitude; one more than the largest positive value is allowed for a minus.
    const unsigned long long limit =
        static_cast<unsigned long long>(std::numeric_limits<T>::max()) + (negative && std::is_signed_v<T> ? 1 : 0);
    unsigned long long magnitude = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        // Checked before the step, so that the 64-bit magnitude itself never wraps.
        const unsigned digit = static_cast<unsigned>(c.unicode() - u'0');
        if (magnitude > (limit - digit) / 10)
            return std::nullopt;
        magnitude = magnitude * 10 + digit;
    }
    if (!negative)
        return static_cast<T>(magnitude);
    if constexpr (std::is_signed_v<T>)
        return static_cast<T>(0ULL - magnitude); // modular conversion, exact for every value in range
    if (magnitude == 0)
        return T(0);
    return std::nullopt;
}
