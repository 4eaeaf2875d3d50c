#include "platform/controls/paint_util.h"

#include "platform/gdi/gdi_internal.h"

namespace platform::controls {

namespace {

void Line(HDC dc, int x0, int y0, int x1, int y1, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    RECT r{x0, y0, x1, y1};
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

}  // namespace

void FrameRectColor(HDC dc, const RECT& r, COLORREF color) {
    if (RectIsEmpty(r)) return;
    Line(dc, r.left, r.top, r.right, r.top + 1, color);
    Line(dc, r.left, r.bottom - 1, r.right, r.bottom, color);
    Line(dc, r.left, r.top, r.left + 1, r.bottom, color);
    Line(dc, r.right - 1, r.top, r.right, r.bottom, color);
}

void DrawEdge3D(HDC dc, const RECT& r, bool sunken) {
    const COLORREF outerLight = GetSysColor(sunken ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT);
    const COLORREF outerDark = GetSysColor(sunken ? COLOR_BTNHIGHLIGHT : COLOR_3DDKSHADOW);
    const COLORREF innerLight = GetSysColor(sunken ? COLOR_3DDKSHADOW : COLOR_3DLIGHT);
    const COLORREF innerDark = GetSysColor(sunken ? COLOR_3DLIGHT : COLOR_BTNSHADOW);
    Line(dc, r.left, r.top, r.right - 1, r.top + 1, outerLight);
    Line(dc, r.left, r.top, r.left + 1, r.bottom - 1, outerLight);
    Line(dc, r.left, r.bottom - 1, r.right, r.bottom, outerDark);
    Line(dc, r.right - 1, r.top, r.right, r.bottom, outerDark);
    Line(dc, r.left + 1, r.top + 1, r.right - 2, r.top + 2, innerLight);
    Line(dc, r.left + 1, r.top + 1, r.left + 2, r.bottom - 2, innerLight);
    Line(dc, r.left + 1, r.bottom - 2, r.right - 1, r.bottom - 1, innerDark);
    Line(dc, r.right - 2, r.top + 1, r.right - 1, r.bottom - 1, innerDark);
}

void DrawFocusRectangle(HDC hdc, const RECT& r) {
    gdi::DeviceContext* dc = gdi::LookupDC(hdc);
    if (!dc || !dc->surface) return;
    auto invert = [&](int x, int y) {
        const int sx = x + dc->originX;
        const int sy = y + dc->originY;
        if (dc->surface->Contains(sx, sy) && dc->clip.Contains(sx, sy)) {
            dc->surface->Set(sx, sy, dc->surface->At(sx, sy) ^ 0xFFFFFF);
        }
    };
    for (int x = r.left; x < r.right; x += 2) {
        invert(x, r.top);
        invert(x, r.bottom - 1);
    }
    for (int y = r.top + 2; y < r.bottom - 1; y += 2) {
        invert(r.left, y);
        invert(r.right - 1, y);
    }
}

}  // namespace platform::controls
