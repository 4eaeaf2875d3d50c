// The layer's drawing objects behind the handles of wingdi.h.
#pragma once

#include <memory>

#include "platform/gdi/font_engine.h"
#include "platform/gdi/region.h"
#include "platform/gdi/surface.h"
#include "platform/gdi/wingdi.h"

namespace platform::gdi {

struct FontObject {
    LOGFONTA logfont{};
    std::shared_ptr<fonts::FontInstance> instance;  // null when no face could be loaded
};

struct BrushObject {
    COLORREF color = 0;
    bool stock = false;  // stock objects ignore DeleteObject
};

struct BitmapObject {
    Surface surface;
    HDC selectedInto = nullptr;
};

struct DeviceContext {
    HWND window = nullptr;       // the window a GetDC or BeginPaint context draws on
    bool memory = false;         // a CreateCompatibleDC context
    Surface* surface = nullptr;  // what the context draws into; null for a memory context without a bitmap
    int originX = 0;             // surface position of the context's (0, 0)
    int originY = 0;
    Region clip;                 // in surface coordinates
    HGDIOBJ font = nullptr;
    HGDIOBJ bitmap = nullptr;
    HGDIOBJ brush = nullptr;
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    int bkMode = OPAQUE;
};

DeviceContext* LookupDC(HDC hdc);
FontObject* LookupFont(HGDIOBJ obj);
BrushObject* LookupBrush(HGDIOBJ obj);
BitmapObject* LookupBitmap(HGDIOBJ obj);

// A context drawing on `surface` with its origin at (originX, originY) and the given clip.
HDC CreateSurfaceDC(HWND window, Surface* surface, int originX, int originY, const Region& clip);
void DestroyDC(HDC hdc);
// Forgets the surface of every context drawing on a destroyed window.
void DetachWindowDCs(HWND window);

// The font a fresh context holds, and the dialog font.
HFONT StockSystemFont();
HFONT StockDialogFont();

// Text drawing in Unicode, used by the controls; DrawTextA decodes code page 932 and calls this.
int DrawTextU32(HDC hdc, std::u32string_view text, RECT* rect, UINT format);
// The extent of one run in the context's font, as GetTextExtentPoint32: no line breaks, no tab
// stops; the height is the font's cell height.
SIZE MeasureTextU32(HDC hdc, std::u32string_view text);
// The dialog base units a dialog using `font` gets: cx from the average width of the Latin
// letters, cy the cell height.
SIZE MeasureDialogBaseUnits(HFONT font);

Pixel PixelFromColorRef(COLORREF c);
COLORREF ColorRefFromPixel(Pixel p);

}  // namespace platform::gdi

namespace platform::gdi {
HGDIOBJ AddFontObject(FontObject font);
HGDIOBJ AddBitmapObject(BitmapObject bitmap);
}  // namespace platform::gdi
