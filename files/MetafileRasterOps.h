#pragma once

#include <QPainter>
#include <QtGlobal>

#include <optional>

// The raster operations of a metafile as Qt composition modes. Qt's raster modes combine the
// colour bits exactly as the system's operations do, so every one of the sixteen binary operations
// of pens and brushes has its mode. Of the 256 ternary operations of the bitmap records, those that
// combine the source with the destination, and those that use the brush or the destination alone,
// are drawn; the others (brush and source together) are skipped.

// Nothing for "leave the destination" (R2_NOP) and for values outside 1 to 16.
std::optional<QPainter::CompositionMode> compositionForRop2(int rop2);

struct MetafileTernaryOp {
    enum Operand { Source, Brush, Black, White, Nothing };
    Operand operand = Nothing;
    // How the operand meets the destination.
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
};

// Nothing for an operation that is skipped. The operation's code is the third byte of the record's
// 32-bit raster operation.
std::optional<MetafileTernaryOp> ternaryOp(quint32 rasterOperation);
