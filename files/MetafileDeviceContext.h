#pragma once

#include "files/MetafileMapping.h"
#include "files/MetafileObjects.h"

#include <QPoint>
#include <QRegion>
#include <QRgb>

#include <optional>
#include <vector>

// What a metafile's records set and later records draw with: the mapping, the selected objects,
// the colours and modes, the current position and the clip. Selected objects are held by value,
// so deleting a selected object, or reusing its slot, leaves the drawing as it was.
struct MetafileDeviceContext {
    enum BackgroundMode { Transparent = 1, Opaque = 2 };
    enum PolyFillMode { Alternate = 1, Winding = 2 };
    enum Rop2 { CopyPen = 13 };
    // Text alignment bits.
    enum : quint16 { UpdateCurrentPosition = 0x0001, AlignRight = 0x0002, AlignCenter = 0x0006, HorizontalMask = 0x0006,
                     AlignBottom = 0x0008, AlignBaseline = 0x0018, VerticalMask = 0x0018 };

    explicit MetafileDeviceContext(const MetafileMapping& initialMapping) : mapping(initialMapping) {}

    MetafileMapping mapping;
    // The defaults of a new device context: a black one-pixel pen, a white brush, the system font.
    MetafilePen pen;
    MetafileBrush brush;
    MetafileFont font;
    MetafilePalette palette;  // null: none selected

    // Colour values as the records give them: a palette index among them follows the palette.
    quint32 textColorRef = 0;
    quint32 backgroundColorRef = 0xFFFFFF;
    int backgroundMode = Opaque;
    int rop2 = CopyPen;
    int polyFillMode = Alternate;
    quint16 textAlign = 0;
    QPoint position;  // logical units

    QRgb color(quint32 colorRef) const { return metafileColor(colorRef, palette.get()); }

    // In device pixels; nothing: no clip of the picture's own (the caller's clip always holds).
    std::optional<QRegion> clip;
};

// The states saved by the save record, at most MaxDepth of them: a deeper save is ignored, and so
// is the restore that would undo it.
class MetafileDeviceContextStack {
public:
    static constexpr int MaxDepth = 1000;

    void save(const MetafileDeviceContext& context);
    // which < 0: the state saved -which saves ago (-1 the last one); which > 0: the state of that
    // save counted from the first one still kept. False, and nothing changes, for a state not kept.
    bool restore(int which, MetafileDeviceContext& context);
    int depth() const { return static_cast<int>(saved_.size()); }

private:
    std::vector<MetafileDeviceContext> saved_;
    int ignoredSaves_ = 0;
};
