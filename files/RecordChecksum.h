#pragma once

#include <QStringView>
#include <QtGlobal>

// The checksum that protects a record file's move count and ride against editing by hand.
//
// The ride text (as the file stores it) followed by the moves in the "0.000000" form is reduced to
// its digits and colons; the i-th of those characters (i from 1) adds d * w to a sum and multiplies
// a product by d * w, where d is 1 for "0" ... 10 for "9" and 11 for ":" and w = (i mod 100) + 1.
// A product above 466844 is taken modulo 466844. The checksum is product + sum.
//
// Every step is 32-bit two's complement arithmetic, written out so that no overflow is undefined:
// the product stays below 466844 * 1100 and never overflows; the sum (and with it the checksum)
// passes 32 bits only for rides of about two million characters and more, and then wraps around.
// The position counter is 64-bit, so rides of any length are summed; rides whose digits and colons
// fit a 16-bit counter (32767) keep exactly the checksum they had with one.
qint32 RecordChecksum(double moves, QStringView rideText);
