#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Windows-1250, the 8-bit code page of Czech Windows, in which the game's 8-bit files keep their
// text. The conversion is our own table, so it gives the same result on every Qt build.

// Every byte becomes one character. Bytes 0x00-0x7F are ASCII. The five bytes the code page leaves
// undefined (0x81, 0x83, 0x88, 0x90, 0x98) become the control characters of the same number, so
// that encoding the text again gives back the very same bytes.
QString decodeWindows1250(QByteArrayView bytes);

// Every character becomes one byte; a character the code page has no byte for becomes '?'
// (a surrogate pair counts as one character).
QByteArray encodeWindows1250(QStringView text);
