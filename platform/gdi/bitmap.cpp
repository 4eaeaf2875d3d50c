// Bitmaps in memory: compatible bitmaps, copying pixels between contexts, and converting a
// bitmap into device-independent rows.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>

#include "platform/gdi/gdi_internal.h"

using namespace platform;
using namespace platform::gdi;

namespace {

void Store32(BYTE* p, std::uint32_t v) {
    if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap32(v);
    std::memcpy(p, &v, 4);
}

// Pixels as 24-bit DIB bytes blue, green, red: four 0x00RRGGBB pixels make three little-endian
// words, so a row takes three stores per four pixels instead of twelve.
void PackRgb24Row(const Pixel* in, BYTE* out, std::size_t count) {
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4, out += 12) {
        const std::uint32_t p0 = in[i] & 0x00FFFFFF;
        const std::uint32_t p1 = in[i + 1] & 0x00FFFFFF;
        const std::uint32_t p2 = in[i + 2] & 0x00FFFFFF;
        const std::uint32_t p3 = in[i + 3] & 0x00FFFFFF;
        Store32(out, p0 | (p1 << 24));
        Store32(out + 4, (p1 >> 8) | (p2 << 16));
        Store32(out + 8, (p2 >> 16) | (p3 << 8));
    }
    for (; i < count; ++i, out += 3) {
        out[0] = static_cast<BYTE>(PixelBlue(in[i]));
        out[1] = static_cast<BYTE>(PixelGreen(in[i]));
        out[2] = static_cast<BYTE>(PixelRed(in[i]));
    }
}

}  // namespace

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

    // Only the destination pixels that are visible are touched: the clip rectangles, cut to the
    // target rectangle and the surface, a row span at a time.
    Surface& target = *d->surface;
    const std::int64_t left = static_cast<std::int64_t>(d->originX) + x;
    const std::int64_t top = static_cast<std::int64_t>(d->originY) + y;
    const auto clampToSurface = [](std::int64_t v, int limit) {
        return static_cast<LONG>(std::clamp<std::int64_t>(v, 0, limit));
    };
    Region visible = d->clip;
    visible.IntersectWith(RECT{clampToSurface(left, target.Width()), clampToSurface(top, target.Height()),
                               clampToSurface(left + width, target.Width()), clampToSurface(top + height, target.Height())});
    if (visible.IsEmpty()) return TRUE;

    // Copying within one surface reads the pixels as they were before the copy began.
    std::optional<Surface> before;
    const Surface* source = s->surface;
    if (source == d->surface) source = &before.emplace(*source);

    // The source is read from its own surface only: what lies outside the source context's
    // surface reads as black, and nothing of another window is ever read.
    const std::int64_t shiftX = static_cast<std::int64_t>(s->originX) + xSrc - left;
    const std::int64_t shiftY = static_cast<std::int64_t>(s->originY) + ySrc - top;
    for (const RECT& r : visible.Rects()) {
        for (LONG dy = r.top; dy < r.bottom; ++dy) {
            Pixel* out = target.Row(dy);
            const std::int64_t sy = dy + shiftY;
            if (!source || sy < 0 || sy >= source->Height()) {
                std::fill(out + r.left, out + r.right, Pixel{0});
                continue;
            }
            // Destination columns [copyBegin, copyEnd) have a source pixel.
            const std::int64_t copyBegin = std::clamp<std::int64_t>(-shiftX, r.left, r.right);
            const std::int64_t copyEnd = std::clamp<std::int64_t>(source->Width() - shiftX, copyBegin, r.right);
            std::fill(out + r.left, out + copyBegin, Pixel{0});
            if (copyEnd > copyBegin) {
                std::memcpy(out + copyBegin, source->Row(static_cast<int>(sy)) + (copyBegin + shiftX),
                            static_cast<std::size_t>(copyEnd - copyBegin) * sizeof(Pixel));
            }
            std::fill(out + copyEnd, out + r.right, Pixel{0});
        }
    }
    return TRUE;
}

int GetDIBits(HDC hdc, HBITMAP bitmap, UINT startScan, UINT scanLines, LPVOID bits, BITMAPINFO* info, UINT usage) {
    BitmapObject* b = LookupBitmap(bitmap);
    if (!LookupDC(hdc) || !b || !info || usage != DIB_RGB_COLORS) return 0;
    // The header may sit at any address (a file buffer 14 bytes in), so it is copied out and back.
    BITMAPINFOHEADER h;
    std::memcpy(&h, info, sizeof h);
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
    std::memcpy(info, &h, sizeof h);
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
        // One loop per pixel size, so that neither tests the size per pixel.
        BYTE* px = row;
        if (bytesPerPixel == 4) {
            for (int x = 0; x < width; ++x, px += 4) {
                const Pixel p = src[x];
                px[0] = static_cast<BYTE>(PixelBlue(p));
                px[1] = static_cast<BYTE>(PixelGreen(p));
                px[2] = static_cast<BYTE>(PixelRed(p));
                px[3] = 0;
            }
        } else {
            PackRgb24Row(src, px, static_cast<std::size_t>(width));
        }
        std::memset(row + static_cast<std::size_t>(width) * static_cast<std::size_t>(bytesPerPixel), 0,
                    rowSize - static_cast<std::size_t>(width) * static_cast<std::size_t>(bytesPerPixel));
    }
    return static_cast<int>(count);
}
