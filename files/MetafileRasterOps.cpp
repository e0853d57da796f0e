#include "files/MetafileRasterOps.h"

std::optional<QPainter::CompositionMode> compositionForRop2(int rop2)
{
    using M = QPainter::CompositionMode;
    switch (rop2) {
    case 1: return M::RasterOp_ClearDestination;             // black
    case 2: return M::RasterOp_NotSourceAndNotDestination;   // not (pen or destination)
    case 3: return M::RasterOp_NotSourceAndDestination;      // destination and not pen
    case 4: return M::RasterOp_NotSource;                    // not pen
    case 5: return M::RasterOp_SourceAndNotDestination;      // pen and not destination
    case 6: return M::RasterOp_NotDestination;               // not destination
    case 7: return M::RasterOp_SourceXorDestination;         // pen xor destination
    case 8: return M::RasterOp_NotSourceOrNotDestination;    // not (pen and destination)
    case 9: return M::RasterOp_SourceAndDestination;         // pen and destination
    case 10: return M::RasterOp_NotSourceXorDestination;     // not (pen xor destination)
    case 11: return std::nullopt;                            // destination
    case 12: return M::RasterOp_NotSourceOrDestination;      // destination or not pen
    case 13: return M::CompositionMode_SourceOver;           // pen
    case 14: return M::RasterOp_SourceOrNotDestination;      // pen or not destination
    case 15: return M::RasterOp_SourceOrDestination;         // pen or destination
    case 16: return M::RasterOp_SetDestination;              // white
    default: return std::nullopt;
    }
}

std::optional<MetafileTernaryOp> ternaryOp(quint32 rasterOperation)
{
    using M = QPainter::CompositionMode;
    using Op = MetafileTernaryOp;
    switch ((rasterOperation >> 16) & 0xFF) {
    // The source (S) with the destination (D).
    case 0xCC: return Op{Op::Source, M::CompositionMode_SourceOver};     // S
    case 0x33: return Op{Op::Source, M::RasterOp_NotSource};             // not S
    case 0xEE: return Op{Op::Source, M::RasterOp_SourceOrDestination};   // S or D
    case 0x88: return Op{Op::Source, M::RasterOp_SourceAndDestination};  // S and D
    case 0x66: return Op{Op::Source, M::RasterOp_SourceXorDestination};  // S xor D
    case 0x44: return Op{Op::Source, M::RasterOp_SourceAndNotDestination};
    case 0x22: return Op{Op::Source, M::RasterOp_NotSourceAndDestination};
    case 0x11: return Op{Op::Source, M::RasterOp_NotSourceAndNotDestination};
    case 0xBB: return Op{Op::Source, M::RasterOp_NotSourceOrDestination};
    case 0xDD: return Op{Op::Source, M::RasterOp_SourceOrNotDestination};
    case 0x77: return Op{Op::Source, M::RasterOp_NotSourceOrNotDestination};
    case 0x99: return Op{Op::Source, M::RasterOp_NotSourceXorDestination};
    // The brush (P) with the destination.
    case 0xF0: return Op{Op::Brush, M::CompositionMode_SourceOver};      // P
    case 0x0F: return Op{Op::Brush, M::RasterOp_NotSource};              // not P
    case 0x5A: return Op{Op::Brush, M::RasterOp_SourceXorDestination};   // P xor D
    case 0xA0: return Op{Op::Brush, M::RasterOp_SourceAndDestination};   // P and D
    case 0xFA: return Op{Op::Brush, M::RasterOp_SourceOrDestination};    // P or D
    // The destination alone.
    case 0x55: return Op{Op::White, M::RasterOp_SourceXorDestination};   // not D
    case 0x00: return Op{Op::Black, M::CompositionMode_SourceOver};      // black
    case 0xFF: return Op{Op::White, M::CompositionMode_SourceOver};      // white
    case 0xAA: return Op{Op::Nothing, M::CompositionMode_SourceOver};    // D
    default: return std::nullopt;
    }
}
