// The DIB drawing service (the DrawDib calls of Video for Windows): draws device-independent
// bitmaps from program memory onto a device context, stretched.
#pragma once

#include <cstddef>

#include "platform/base/windef.h"
#include "platform/gdi/wingdi.h"

struct HDRAWDIB__;
using HDRAWDIB = HDRAWDIB__*;

// DrawDibDraw flags.
constexpr UINT DDF_UPDATE = 0x0002;
constexpr UINT DDF_SAME_HDC = 0x0004;
constexpr UINT DDF_SAME_DRAW = 0x0008;
constexpr UINT DDF_DONTDRAW = 0x0010;
constexpr UINT DDF_ANIMATE = 0x0020;
constexpr UINT DDF_BUFFER = 0x0040;
constexpr UINT DDF_JUSTDRAWIT = 0x0080;
constexpr UINT DDF_FULLSCREEN = 0x0100;
constexpr UINT DDF_BACKGROUNDPAL = 0x0200;
constexpr UINT DDF_NOTKEYFRAME = 0x0400;
constexpr UINT DDF_HURRYUP = 0x0800;
constexpr UINT DDF_HALFTONE = 0x1000;
constexpr UINT DDF_PREROLL = DDF_DONTDRAW;
constexpr UINT DDF_SAME_DIB = DDF_SAME_DRAW;
constexpr UINT DDF_SAME_SIZE = DDF_SAME_DRAW;

HDRAWDIB DrawDibOpen();
BOOL DrawDibClose(HDRAWDIB hdd);

// Realises the palette of the DIB the handle drew last on `hdc`, and returns its number of
// entries (0 before the first draw, for a DIB without a palette, or for an unknown handle or
// context). Surfaces are true colour, so realising changes nothing that shows.
UINT DrawDibRealize(HDRAWDIB hdd, HDC hdc, BOOL fBackground);

// Draws the source rectangle of the DIB at `lpbi` into the destination rectangle of `hdc`,
// stretching it. `lpBits` may be null for a packed DIB, whose rows follow its colour table.
// The header and the bits must lie in one block from GlobalAlloc; the service reads nothing
// outside that block. Returns FALSE, drawing nothing, for a null or closed handle, an unknown
// context, a header outside any block, bits outside the header's block, and whatever the DIB
// engine refuses (see platform/drawdib/dib_render.h). DDF_DONTDRAW takes the DIB's palette
// without drawing; the other flags change nothing.
BOOL DrawDibDraw(HDRAWDIB hdd, HDC hdc, int xDst, int yDst, int dxDst, int dyDst, LPBITMAPINFOHEADER lpbi,
                 LPVOID lpBits, int xSrc, int ySrc, int dxSrc, int dySrc, UINT wFlags);

namespace platform {

// How many DrawDib handles are open.
std::size_t OpenDrawDibHandleCount();

}  // namespace platform
