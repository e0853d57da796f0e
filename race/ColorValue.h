#pragma once

#include <QRgb>
#include <QtGlobal>

// A colour as the value red + 256 * green + 65536 * blue: the form in which the track and record
// files store colours and in which the collision test compares them.
using ColorValue = quint32;

constexpr ColorValue colorValue(int red, int green, int blue)
{
    return static_cast<ColorValue>(red) + 256u * static_cast<ColorValue>(green) + 65536u * static_cast<ColorValue>(blue);
}

// The same colour as a QRgb, opaque.
constexpr QRgb toQRgb(ColorValue value)
{
    return qRgb(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF), static_cast<int>((value >> 16) & 0xFF));
}
