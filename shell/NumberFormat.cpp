#include "shell/NumberFormat.h"

#include <QLocale>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace {

// The exact decimal value of a finite double's magnitude, as its digits and the number of them
// before the decimal point. Every double is a binary fraction, so its decimal expansion ends: a
// double has at most 1074 binary places after the point, and so at most 1074 decimal places.
struct ExactDecimal {
    std::string digits;      // at least one digit before the point; no sign
    std::size_t wholeDigits;  // how many of digits come before the point
};

ExactDecimal exactDecimal(double magnitude)
{
    // 309 whole digits, the point and 1074 decimals fit.
    std::array<char, 1400> buffer;
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
                                            std::chars_format::fixed, 1074);
    if (error != std::errc())  // cannot happen with this buffer; keep a defined answer anyway
        return ExactDecimal{std::string(1, '0'), 1};
    ExactDecimal result{std::string(), 0};
    const std::string_view text(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
    const std::size_t point = text.find('.');
    result.wholeDigits = point == std::string_view::npos ? text.size() : point;
    result.digits.reserve(text.size());
    for (char c : text)
        if (c != '.')
            result.digits.push_back(c);
    // The trailing zeros of the fixed precision say nothing; dropping them keeps the strings short.
    while (result.digits.size() > result.wholeDigits && result.digits.back() == '0')
        result.digits.pop_back();
    return result;
}

// Keeps the first keep digits, rounding half away from zero on the first digit dropped; the
// digits are then exactly keep long, or keep + 1 when the rounding carried into a new leading
// digit (wholeDigits grows with it).
void roundHalfAway(ExactDecimal& number, std::size_t keep)
{
    if (number.digits.size() < keep)
        number.digits.append(keep - number.digits.size(), '0');
    const bool up = number.digits.size() > keep && number.digits[keep] >= '5';
    number.digits.resize(keep);
    if (!up)
        return;
    for (std::size_t i = keep; i-- > 0;) {
        if (number.digits[i] != '9') {
            ++number.digits[i];
            return;
        }
        number.digits[i] = '0';
    }
    number.digits.insert(number.digits.begin(), '1');
    ++number.wholeDigits;
}

QString nonFinite(double value)
{
    if (std::isnan(value))
        return QStringLiteral("nan");
    return value < 0 ? QStringLiteral("-inf") : QStringLiteral("inf");
}

// Joins sign, whole digits (leading zeros dropped, at least "0") and decimals.
QString assemble(bool negative, std::string_view whole, std::string_view decimals, QChar separator)
{
    while (whole.size() > 1 && whole.front() == '0')
        whole.remove_prefix(1);
    if (whole.empty())
        whole = "0";
    const bool zero = whole == "0" && decimals.find_first_not_of('0') == std::string_view::npos;
    QString text;
    text.reserve(static_cast<qsizetype>(whole.size() + decimals.size() + 2));
    if (negative && !zero)
        text += u'-';
    text += QLatin1String(whole.data(), static_cast<qsizetype>(whole.size()));
    if (!decimals.empty()) {
        text += separator;
        text += QLatin1String(decimals.data(), static_cast<qsizetype>(decimals.size()));
    }
    return text;
}

}  // namespace

QString formatFixed6(double value, QChar decimalSeparator)
{
    return formatFixed(value, 6, decimalSeparator);
}

QString formatFixed(double value, int decimals, QChar decimalSeparator)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    ExactDecimal number = exactDecimal(std::fabs(value));
    roundHalfAway(number, number.wholeDigits + static_cast<std::size_t>(std::max(0, decimals)));
    const std::string_view digits = number.digits;
    return assemble(std::signbit(value), digits.substr(0, number.wholeDigits), digits.substr(number.wholeDigits),
                    decimalSeparator);
}

QString formatGeneral(double value, QChar decimalSeparator)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    ExactDecimal number = exactDecimal(std::fabs(value));
    const std::size_t firstSignificant = number.digits.find_first_not_of('0');
    if (firstSignificant == std::string::npos)
        return QStringLiteral("0");
    roundHalfAway(number, firstSignificant + 15);
    // Digits past the kept ones stand for zeros up to the point.
    if (number.digits.size() < number.wholeDigits)
        number.digits.append(number.wholeDigits - number.digits.size(), '0');
    std::string_view digits = number.digits;
    std::string_view decimals = digits.substr(number.wholeDigits);
    while (!decimals.empty() && decimals.back() == '0')
        decimals.remove_suffix(1);
    return assemble(std::signbit(value), digits.substr(0, number.wholeDigits), decimals, decimalSeparator);
}

QChar systemDecimalSeparator()
{
    const QString point = QLocale::system().decimalPoint();
    return point.size() == 1 ? point.front() : QChar(u'.');
}

QChar storableDecimalSeparator(QChar localeSeparator)
{
    return localeSeparator == u',' ? localeSeparator : QChar(u'.');
}

std::optional<double> parseDecimal(QStringView text)
{
    text = text.trimmed();
    bool negative = false;
    if (!text.isEmpty() && (text.front() == u'+' || text.front() == u'-')) {
        negative = text.front() == u'-';
        text = text.sliced(1);
    }
    std::string ascii;
    ascii.reserve(static_cast<std::size_t>(text.size()));
    bool separatorSeen = false;
    bool digitSeen = false;
    for (const QChar c : text) {
        if (c >= u'0' && c <= u'9') {
            ascii.push_back(static_cast<char>(c.unicode()));
            digitSeen = true;
        } else if ((c == u',' || c == u'.') && !separatorSeen) {
            ascii.push_back('.');
            separatorSeen = true;
        } else {
            return std::nullopt;
        }
    }
    if (!digitSeen)
        return std::nullopt;
    double value = 0;
    const char* first = ascii.data();
    const char* last = first + ascii.size();
    const auto [end, error] = std::from_chars(first, last, value, std::chars_format::fixed);
    if (error != std::errc() || end != last || !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}
