#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

#include <optional>

// Number texts of the game. None of these use the C runtime's locale: once a Qt application
// exists the C locale follows the user's, and stored files must read the same everywhere.

// The "0.000000" form: exactly six decimals, no thousands separators, "-" before a negative
// number. The sixth decimal is rounded half away from zero on the double's exact binary value
// (112.3203125 gives "112.320313"). A value that rounds to zero has no sign. Infinities and NaN
// come out as "inf", "-inf" and "nan".
QString formatFixed6(double value, QChar decimalSeparator);
// The same with the given number of decimals: 0 for the "0" form (2.5 gives "3", no separator),
// 3 for "0.000".
QString formatFixed(double value, int decimals, QChar decimalSeparator);

// The general form: at most 15 significant digits (rounded half away from zero on the exact
// value), no trailing zeros, no separator for a whole number, never an exponent, so the text
// always reads back with parseDecimal: 2.5 gives "2.5", 12 gives "12", 11.333333333333334 gives
// "11.3333333333333". Infinities and NaN come out as "inf", "-inf" and "nan".
QString formatGeneral(double value, QChar decimalSeparator);

// The decimal separator of the user's locale.
QChar systemDecimalSeparator();

// The separator a stored file writes its numbers with: the locale's own where it is "," or ".",
// the two that parseDecimal reads, otherwise "." (Arabic and Persian locales use U+066B, which
// Windows-1250 has no byte for: written as "?", the number would not read back).
QChar storableDecimalSeparator(QChar localeSeparator);

// Reads a decimal number as the stored files write it: optional blanks, an optional sign,
// digits with at most one separator ("," or "." alike, at least one digit in all), optional
// blanks. Anything else (an exponent, thousands separators, blanks inside), or a value beyond the
// range of a double, gives nothing.
std::optional<double> parseDecimal(QStringView text);
