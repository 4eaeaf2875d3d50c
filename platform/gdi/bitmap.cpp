// Bitmaps in memory: compatible bitmaps, copying pixels between contexts, and converting a
// bitmap into device-independent rows.
#include <algorithm>
#include <cstring>

#include "platform/gdi/gdi_internal.h"

using namespace platform;
using namespace platform::gdi;

HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height) {
    if (!LookupDC(hdc) || width <= 0 || height <= 0) return nullptr;
    // A bitmap is limited as the screen's own pixels are: well beyond any page of this program.
    constexpr long long kMaxPixels = 1LL << 28;
    if (static_cast<long long>(width) * height > kMaxPixels) return nullptr;
    BitmapObject bitmap;
    bitmap.surface.Resize(width, height, 0);
    return AddBitmapObject(std::move(bitmap));
}

BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop) {
    DeviceContext* d = LookupDC(dst);
    DeviceContext* s = LookupDC(src);
    if (!d || !s || rop != SRCCOPY || !d->surface) return FALSE;
    if (width <= 0 || height <= 0) return TRUE;
    // The source is read from its own surface only: what lies outside the source context's
    // surface reads as black, and nothing of another window is ever read.
    for (int row = 0; row < height; ++row) {
        const int dy = d->originY + y + row;
        if (dy < 0 || dy >= d->surface->Height()) continue;
        const int sy = s->originY + ySrc + row;
        for (int col = 0; col < width; ++col) {
            const int dx = d->originX + x + col;
            if (dx < 0 || dx >= d->surface->Width() || !d->clip.Contains(dx, dy)) continue;
            const int sx = s->originX + xSrc + col;
            Pixel p = 0;
            if (s->surface && s->surface->Contains(sx, sy)) p = s->surface->At(sx, sy);
            d->surface->Set(dx, dy, p);
        }
    }
    return TRUE;
}

int GetDIBits(HDC hdc, HBITMAP bitmap, UINT startScan, UINT scanLines, LPVOID bits, BITMAPINFO* info, UINT usage) {
    BitmapObject* b = LookupBitmap(bitmap);
    if (!LookupDC(hdc) || !b || !info || usage != DIB_RGB_COLORS) return 0;
    BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biPlanes != 1 || h.biCompression != BI_RGB) return 0;
    if (h.biBitCount != 24 && h.biBitCount != 32) return 0;
    const Surface& surface = b->surface;
    const int width = surface.Width();
    const int height = surface.Height();
    if (h.biWidth != width || h.biHeight == 0) return 0;
    const bool bottomUp = h.biHeight > 0;
    const int bytesPerPixel = h.biBitCount / 8;
    const std::size_t rowSize = (static_cast<std::size_t>(width) * static_cast<std::size_t>(bytesPerPixel) + 3) / 4 * 4;
    h.biSizeImage = static_cast<DWORD>(rowSize * static_cast<std::size_t>(height));
    if (!bits) return height;
    const UINT first = std::min<UINT>(startScan, static_cast<UINT>(height));
    const UINT count = std::min<UINT>(scanLines, static_cast<UINT>(height) - first);
    auto* out = static_cast<BYTE*>(bits);
    for (UINT i = 0; i < count; ++i) {
        // Scan line 0 is the bottom row of a bottom-up DIB.
        const UINT scan = first + i;
        const int y = bottomUp ? height - 1 - static_cast<int>(scan) : static_cast<int>(scan);
        const Pixel* src = surface.Row(y);
        BYTE* row = out + static_cast<std::size_t>(i) * rowSize;
        for (int x = 0; x < width; ++x) {
            BYTE* px = row + static_cast<std::size_t>(x) * static_cast<std::size_t>(bytesPerPixel);
            px[0] = static_cast<BYTE>(PixelBlue(src[x]));
            px[1] = static_cast<BYTE>(PixelGreen(src[x]));
            px[2] = static_cast<BYTE>(PixelRed(src[x]));
            if (bytesPerPixel == 4) px[3] = 0;
        }
        std::memset(row + static_cast<std::size_t>(width) * static_cast<std::size_t>(bytesPerPixel), 0,
                    rowSize - static_cast<std::size_t>(width) * static_cast<std::size_t>(bytesPerPixel));
    }
    return static_cast<int>(count);
}
