// Drawing objects and device contexts: the handle tables and the plain drawing calls.
#include <algorithm>
#include <utility>
#include <variant>

#include "platform/base/handle_table.h"
#include "platform/gdi/gdi_internal.h"

namespace platform::gdi {

namespace {

using GdiObject = std::variant<FontObject, BrushObject, BitmapObject>;

HandleTable<GdiObject>& Objects() {
    static HandleTable<GdiObject> table(0x47);
    return table;
}

HandleTable<DeviceContext>& Contexts() {
    static HandleTable<DeviceContext> table(0x44);
    return table;
}

template <class T>
T* LookupAs(HGDIOBJ obj) {
    GdiObject* o = Objects().Find(HandleValue(obj));
    return o ? std::get_if<T>(o) : nullptr;
}

HGDIOBJ AddObject(GdiObject object) {
    return HandleCast<HGDIOBJ>(Objects().Add(std::make_unique<GdiObject>(std::move(object))));
}

}  // namespace

DeviceContext* LookupDC(HDC hdc) { return Contexts().Find(HandleValue(hdc)); }
FontObject* LookupFont(HGDIOBJ obj) { return LookupAs<FontObject>(obj); }
BrushObject* LookupBrush(HGDIOBJ obj) { return LookupAs<BrushObject>(obj); }
BitmapObject* LookupBitmap(HGDIOBJ obj) { return LookupAs<BitmapObject>(obj); }

HGDIOBJ AddFontObject(FontObject font) { return AddObject(std::move(font)); }
HGDIOBJ AddBitmapObject(BitmapObject bitmap) { return AddObject(std::move(bitmap)); }

Pixel PixelFromColorRef(COLORREF c) { return PixelFromRgb(GetRValue(c), GetGValue(c), GetBValue(c)); }
COLORREF ColorRefFromPixel(Pixel p) { return RGB(PixelRed(p), PixelGreen(p), PixelBlue(p)); }

HDC CreateSurfaceDC(HWND window, Surface* surface, int originX, int originY, const Region& clip) {
    auto dc = std::make_unique<DeviceContext>();
    dc->window = window;
    dc->surface = surface;
    dc->originX = originX;
    dc->originY = originY;
    dc->clip = clip;
    dc->font = StockSystemFont();
    return HandleCast<HDC>(Contexts().Add(std::move(dc)));
}

void DestroyDC(HDC hdc) {
    DeviceContext* dc = LookupDC(hdc);
    if (!dc) return;
    if (BitmapObject* bmp = LookupBitmap(dc->bitmap)) bmp->selectedInto = nullptr;
    Contexts().Remove(HandleValue(hdc));
}

void DetachWindowDCs(HWND window) {
    Contexts().ForEach([&](std::uintptr_t, DeviceContext& dc) {
        if (dc.window == window) {
            dc.surface = nullptr;
            dc.clip.Clear();
        }
    });
}

}  // namespace platform::gdi

using namespace platform;
using namespace platform::gdi;

HDC CreateCompatibleDC(HDC) {
    HDC hdc = CreateSurfaceDC(nullptr, nullptr, 0, 0, Region{});
    LookupDC(hdc)->memory = true;
    return hdc;
}

BOOL DeleteDC(HDC hdc) {
    DeviceContext* dc = LookupDC(hdc);
    if (!dc || !dc->memory) return FALSE;
    DestroyDC(hdc);
    return TRUE;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj) {
    DeviceContext* dc = LookupDC(hdc);
    if (!dc) return nullptr;
    if (LookupFont(obj)) {
        HGDIOBJ old = dc->font;
        dc->font = obj;
        return old;
    }
    if (LookupBrush(obj)) {
        HGDIOBJ old = dc->brush;
        dc->brush = obj;
        return old;
    }
    if (BitmapObject* bmp = LookupBitmap(obj)) {
        if (!dc->memory) return nullptr;
        if (bmp->selectedInto && bmp->selectedInto != hdc) return nullptr;
        HGDIOBJ old = dc->bitmap;
        if (BitmapObject* previous = LookupBitmap(old)) previous->selectedInto = nullptr;
        dc->bitmap = obj;
        bmp->selectedInto = hdc;
        dc->surface = &bmp->surface;
        dc->clip = Region(RECT{0, 0, bmp->surface.Width(), bmp->surface.Height()});
        return old ? old : obj;  // the first selection returns a handle that deselects nothing
    }
    return nullptr;
}

BOOL DeleteObject(HGDIOBJ obj) {
    if (BrushObject* brush = LookupBrush(obj); brush && brush->stock) return TRUE;
    if (obj == StockSystemFont() || obj == StockDialogFont()) return TRUE;
    if (BitmapObject* bmp = LookupBitmap(obj); bmp && bmp->selectedInto) return FALSE;
    return Objects().Remove(HandleValue(obj)) ? TRUE : FALSE;
}

HBRUSH CreateSolidBrush(COLORREF color) { return AddObject(BrushObject{color, false}); }

DWORD GetSysColor(int index) {
    switch (index) {
        case COLOR_WINDOW: return RGB(255, 255, 255);
        case COLOR_WINDOWFRAME: return RGB(0, 0, 0);
        case COLOR_WINDOWTEXT: return RGB(0, 0, 0);
        case COLOR_CAPTIONTEXT: return RGB(255, 255, 255);
        case COLOR_ACTIVECAPTION: return RGB(0, 0, 128);
        case COLOR_INACTIVECAPTION: return RGB(128, 128, 128);
        case COLOR_INACTIVECAPTIONTEXT: return RGB(212, 208, 200);
        case COLOR_HIGHLIGHT: return RGB(10, 36, 106);
        case COLOR_HIGHLIGHTTEXT: return RGB(255, 255, 255);
        case COLOR_BTNFACE: return RGB(212, 208, 200);
        case COLOR_BTNSHADOW: return RGB(128, 128, 128);
        case COLOR_GRAYTEXT: return RGB(128, 128, 128);
        case COLOR_BTNTEXT: return RGB(0, 0, 0);
        case COLOR_BTNHIGHLIGHT: return RGB(255, 255, 255);
        case COLOR_3DDKSHADOW: return RGB(64, 64, 64);
        case COLOR_3DLIGHT: return RGB(212, 208, 200);
        default: return RGB(0, 0, 0);
    }
}

HBRUSH GetSysColorBrush(int index) {
    // One stock brush per system colour, made on first use.
    static HBRUSH brushes[32] = {};
    if (index < 0 || index >= 32) return nullptr;
    if (!brushes[index]) brushes[index] = AddObject(BrushObject{GetSysColor(index), true});
    return brushes[index];
}

int FillRect(HDC hdc, const RECT* rect, HBRUSH brush) {
    DeviceContext* dc = LookupDC(hdc);
    BrushObject* b = LookupBrush(brush);
    if (!dc || !rect || !b || !dc->surface) return 0;
    const Pixel p = PixelFromColorRef(b->color);
    Region area(RectOffset(*rect, dc->originX, dc->originY));
    area.IntersectWith(RECT{0, 0, dc->surface->Width(), dc->surface->Height()});
    area.IntersectWith(dc->clip);
    for (const RECT& r : area.Rects()) {
        for (int y = r.top; y < r.bottom; ++y) std::fill(dc->surface->Row(y) + r.left, dc->surface->Row(y) + r.right, p);
    }
    return 1;
}

COLORREF SetTextColor(HDC hdc, COLORREF color) {
    DeviceContext* dc = LookupDC(hdc);
    if (!dc) return 0xFFFFFFFF;
    return std::exchange(dc->textColor, color);
}

COLORREF SetBkColor(HDC hdc, COLORREF color) {
    DeviceContext* dc = LookupDC(hdc);
    if (!dc) return 0xFFFFFFFF;
    return std::exchange(dc->bkColor, color);
}

int SetBkMode(HDC hdc, int mode) {
    DeviceContext* dc = LookupDC(hdc);
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    return std::exchange(dc->bkMode, mode);
}

COLORREF GetTextColor(HDC hdc) {
    DeviceContext* dc = LookupDC(hdc);
    return dc ? dc->textColor : 0xFFFFFFFF;
}

COLORREF GetBkColor(HDC hdc) {
    DeviceContext* dc = LookupDC(hdc);
    return dc ? dc->bkColor : 0xFFFFFFFF;
}

int GetBkMode(HDC hdc) {
    DeviceContext* dc = LookupDC(hdc);
    return dc ? dc->bkMode : 0;
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
    DeviceContext* dc = LookupDC(hdc);
    if (!dc || !dc->surface) return 0xFFFFFFFF;
    const int sx = x + dc->originX;
    const int sy = y + dc->originY;
    if (!dc->surface->Contains(sx, sy) || !dc->clip.Contains(sx, sy)) return 0xFFFFFFFF;
    dc->surface->Set(sx, sy, PixelFromColorRef(color));
    return color;
}

COLORREF GetPixel(HDC hdc, int x, int y) {
    DeviceContext* dc = LookupDC(hdc);
    if (!dc || !dc->surface) return 0xFFFFFFFF;
    const int sx = x + dc->originX;
    const int sy = y + dc->originY;
    if (!dc->surface->Contains(sx, sy) || !dc->clip.Contains(sx, sy)) return 0xFFFFFFFF;
    return ColorRefFromPixel(dc->surface->At(sx, sy));
}
