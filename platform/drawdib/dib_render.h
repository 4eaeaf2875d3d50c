// The DIB drawing engine behind DrawDibDraw: draws a device-independent bitmap held in a memory
// block onto a surface, stretched and clipped.
#pragma once

#include <cstdint>
#include <span>

#include "platform/drawdib/dib_format.h"
#include "platform/gdi/region.h"
#include "platform/gdi/surface.h"

namespace platform::drawdib {

// Draws the source rectangle (xSrc, ySrc, dxSrc, dySrc) of the DIB whose header is at `header`
// and whose pixel rows start at `bits` into the destination rectangle (xDst, yDst, dxDst, dyDst)
// of `target`, within `clip` (both in surface coordinates).
//
// The source rectangle is in the DIB's own row order, as the Win32 calls take it: for a
// bottom-up DIB ySrc counts rows from the bottom of the image, for a top-down one from the top.
// Either way the picture comes out upright. A top-down DIB's height may be passed as stored,
// negative: the rectangle then covers |dySrc| rows.
//
// Both `header` and `bits` must lie in `block`, and nothing outside `block` is read. Returns
// false, drawing nothing, when the DIB is malformed or unsupported (JPEG and PNG streams among
// them), when either size is zero or negative, or when the pixel data doesn't fit in the block.
// A well-formed RLE stream that ends early, or skips pixels, leaves those pixels as they were.
bool RenderDib(std::span<const std::uint8_t> block, const std::uint8_t* header, const std::uint8_t* bits, int xSrc,
               int ySrc, int dxSrc, int dySrc, Surface& target, const Region& clip, int xDst, int yDst, int dxDst,
               int dyDst);

// The same for a header already parsed; `bitsOffset` is the offset of the pixel rows in `block`.
bool RenderParsedDib(const DibFormat& format, std::span<const std::uint8_t> block, std::size_t bitsOffset, int xSrc,
                     int ySrc, int dxSrc, int dySrc, Surface& target, const Region& clip, int xDst, int yDst,
                     int dxDst, int dyDst);

}  // namespace platform::drawdib
