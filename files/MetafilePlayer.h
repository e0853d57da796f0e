#pragma once

#include <QRectF>

class QPainter;
struct MetafileContent;

// Work a picture may do beyond the pixels it covers; past either, the rest of it is skipped.
// A bundled track at its own size needs at most 1 145 clip rectangles and 85 000 edge rows; the
// limits keep a hostile file to well under a second.
// Device pixels a picture may cover (by the bounds of what it draws): many times what any picture
// covers, far less than a hostile file asks for with every record filling the whole device.
inline constexpr double MaxDrawnPixels = 8e9;
inline constexpr qint64 MaxClipWork = 4'000'000;    // clip and region rectangles built or drawn under
inline constexpr double MaxEdgeRows = 200'000'000;  // device rows crossed by edges of lines and polygons

// Plays a checked record list onto painter so that the content's frame fills target (in the
// painter's coordinates). The painter's transform and clip are kept, and its state is restored.
//
// Drawing is in whole device pixels, as the system draws metafiles: shapes in a box cover its
// pixels up to, not including, its right and bottom edges; pens of width 0 and 1 are one pixel
// wide at any scale and leave out a line's last pixel; wider pens scale with the mapping.
// Antialiasing and smoothing are always off, so every pixel is a colour the file names (or one its
// raster operations make of them).
//
// Played: the window, viewport and map mode records (with their offset and scale forms);
// background mode and colour, text colour and alignment, poly-fill mode, all sixteen binary raster
// operations; save and restore of the state (1000 deep, relative and absolute restores); pens,
// brushes (solid, null, hatched, DIB and monochrome pattern), fonts, palettes (with their entry,
// resize and animate records) and regions in an object table of the header's size; polygon,
// polypolygon, polyline, move and line, rectangle, rounded rectangle, ellipse, arc, pie, chord,
// set pixel; text out and extended text out (distances, opaque and clip rectangle, escapement);
// intersect and exclude clip rectangle, clip region select and offset; fill, paint and invert
// region; pattern blit; stretch DIB, DIB stretch blit, DIB blit, set DIB to device (whole bitmaps)
// and the old stretch blit and blit of monochrome and true-colour bitmaps, with the ternary raster
// operations that combine the source, or the brush, with the destination.
//
// Skipped: escapes (among them the enhanced metafile some writers embed), flood fills (they read
// the device back), framed regions, blits whose source is the device itself, the ternary
// operations that combine brush and source, bitmaps of device-dependent palettes, JPEG and PNG
// bitmaps, set DIB to device of partial scans, text justification and character extra spacing,
// stretching modes (bitmaps are never smoothed), and unknown records. A pen of the inside-frame
// or user style draws solid.
//
// Hostile content is bounded: bitmaps decode to at most 64 M pixels each and 256 M in a picture,
// patterns to 1 M each and 16 M in a picture, regions to 16384 rectangles, and a picture stops
// drawing once it has covered the device pixels of many full pictures, built or drawn under
// MaxClipWork clip and region rectangles, or crossed MaxEdgeRows device rows with the edges of its
// lines and polygons. Returns false when one of these work limits stopped the picture before its
// end: what it drew is then only a part of the picture.
bool playMetafile(const MetafileContent& content, QPainter& painter, const QRectF& target);
