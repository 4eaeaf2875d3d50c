// The DrawDib handles and their calls, on the DIB engine of dib_render.
#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

#include "platform/base/handle_table.h"
#include "platform/drawdib/dib_reader.h"
#include "platform/drawdib/dib_render.h"
#include "platform/drawdib/vfw.h"
#include "platform/files/winbase.h"
#include "platform/gdi/gdi_internal.h"

namespace platform {

namespace {

struct DrawDibState {
    std::vector<Pixel> palette;  // of the DIB drawn last
};

HandleTable<DrawDibState>& DrawDibHandles() {
    static HandleTable<DrawDibState> table(0x56);
    return table;
}

DrawDibState* LookupDrawDib(HDRAWDIB hdd) { return DrawDibHandles().Find(HandleValue(hdd)); }

bool FitsInt(std::int64_t v) {
    return v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max();
}

}  // namespace

std::size_t OpenDrawDibHandleCount() { return DrawDibHandles().Size(); }

}  // namespace platform

using namespace platform;

HDRAWDIB DrawDibOpen() { return HandleCast<HDRAWDIB>(DrawDibHandles().Add(std::make_unique<DrawDibState>())); }

BOOL DrawDibClose(HDRAWDIB hdd) { return DrawDibHandles().Remove(HandleValue(hdd)) ? TRUE : FALSE; }

UINT DrawDibRealize(HDRAWDIB hdd, HDC hdc, BOOL) {
    const DrawDibState* state = LookupDrawDib(hdd);
    if (!state || !gdi::LookupDC(hdc)) return 0;
    return static_cast<UINT>(state->palette.size());
}

BOOL DrawDibDraw(HDRAWDIB hdd, HDC hdc, int xDst, int yDst, int dxDst, int dyDst, LPBITMAPINFOHEADER lpbi,
                 LPVOID lpBits, int xSrc, int ySrc, int dxSrc, int dySrc, UINT wFlags) {
    DrawDibState* state = LookupDrawDib(hdd);
    gdi::DeviceContext* dc = gdi::LookupDC(hdc);
    if (!state || !dc || !lpbi) return FALSE;

    const std::span<const std::uint8_t> block = FindMemoryBlock(lpbi);
    const auto* header = reinterpret_cast<const std::uint8_t*>(lpbi);
    const drawdib::DibHeaderResult parsed = drawdib::ParseDibHeader(block, header);
    const auto* format = std::get_if<drawdib::DibFormat>(&parsed);
    if (!format) return FALSE;

    std::size_t bitsOffset = 0;
    if (lpBits) {
        const auto offset = drawdib::OffsetInBlock(block, lpBits);
        if (!offset) return FALSE;
        bitsOffset = *offset;
    } else {
        const std::uint64_t packed = *drawdib::OffsetInBlock(block, header) + format->packedBitsOffset;
        if (packed >= block.size()) return FALSE;
        bitsOffset = static_cast<std::size_t>(packed);
    }

    state->palette.assign(format->palette.begin(), format->palette.begin() + format->paletteCount);
    if (wFlags & DDF_DONTDRAW) return TRUE;
    if (!dc->surface) return FALSE;

    const std::int64_t surfaceX = static_cast<std::int64_t>(xDst) + dc->originX;
    const std::int64_t surfaceY = static_cast<std::int64_t>(yDst) + dc->originY;
    if (!FitsInt(surfaceX) || !FitsInt(surfaceY)) return FALSE;
    return drawdib::RenderParsedDib(*format, block, bitsOffset, xSrc, ySrc, dxSrc, dySrc, *dc->surface, dc->clip,
                                    static_cast<int>(surfaceX), static_cast<int>(surfaceY), dxDst, dyDst)
               ? TRUE
               : FALSE;
}
