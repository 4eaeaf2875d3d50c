// The self-drawn frame of top-level windows (border, caption bar with icon, text and close
// box), the borders of child windows, and the default system commands.
#include <algorithm>

#include "platform/base/codepage.h"
#include "platform/display/display.h"
#include "platform/gdi/gdi_internal.h"
#include "platform/windows/icons.h"
#include "platform/windows/sysmenu.h"
#include "platform/windows/window_internal.h"

namespace platform::win {

namespace {

RECT CaptionRect(const Window& w) {
    const int width = w.rect.right - w.rect.left;
    return RECT{kDialogFrame, kDialogFrame, width - kDialogFrame, kDialogFrame + kCaptionHeight};
}

RECT CloseBoxRect(const Window& w) {
    const RECT c = CaptionRect(w);
    const int top = c.top + (kCaptionHeight - kCaptionButtonHeight) / 2;
    return RECT{c.right - 2 - kCaptionButtonWidth, top, c.right - 2, top + kCaptionButtonHeight};
}

RECT IconRect(const Window& w) {
    const RECT c = CaptionRect(w);
    return RECT{c.left + 2, c.top + 1, c.left + 2 + 16, c.top + 1 + 16};
}

bool HasCaption(const Window& w) { return w.IsTopLevel() && (w.style & WS_CAPTION) == WS_CAPTION; }

void Fill(Surface& s, const RECT& r, Pixel p) {
    const RECT c = RectIntersection(r, RECT{0, 0, s.Width(), s.Height()});
    for (int y = c.top; y < c.bottom; ++y) std::fill(s.Row(y) + c.left, s.Row(y) + c.right, p);
}

void HLine(Surface& s, int x0, int x1, int y, Pixel p) { Fill(s, RECT{x0, y, x1, y + 1}, p); }
void VLine(Surface& s, int x, int y0, int y1, Pixel p) { Fill(s, RECT{x, y0, x + 1, y1}, p); }

Pixel Sys(int index) { return gdi::PixelFromColorRef(GetSysColor(index)); }

// A raised 3-D edge: light on the top and left, dark on the bottom and right.
void RaisedEdge(Surface& s, const RECT& r, bool pressed) {
    const Pixel light = Sys(pressed ? COLOR_3DDKSHADOW : COLOR_BTNHIGHLIGHT);
    const Pixel dark = Sys(pressed ? COLOR_BTNHIGHLIGHT : COLOR_3DDKSHADOW);
    const Pixel shadow = Sys(COLOR_BTNSHADOW);
    HLine(s, r.left, r.right - 1, r.top, light);
    VLine(s, r.left, r.top, r.bottom - 1, light);
    HLine(s, r.left, r.right, r.bottom - 1, dark);
    VLine(s, r.right - 1, r.top, r.bottom, dark);
    if (!pressed) {
        HLine(s, r.left + 1, r.right - 1, r.bottom - 2, shadow);
        VLine(s, r.right - 2, r.top + 1, r.bottom - 1, shadow);
    }
}

void DrawCloseGlyph(Surface& s, const RECT& box, bool pressed) {
    const Pixel ink = Sys(COLOR_BTNTEXT);
    const int cx = (box.left + box.right) / 2 - 1 + (pressed ? 1 : 0);
    const int cy = (box.top + box.bottom) / 2 - 1 + (pressed ? 1 : 0);
    for (int d = -3; d <= 3; ++d) {
        for (int t = 0; t < 2; ++t) {
            const int x1 = cx + d + t;
            const int y1 = cy + d;
            const int x2 = cx - d + t;
            if (s.Contains(x1, y1)) s.Set(x1, y1, ink);
            if (s.Contains(x2, y1)) s.Set(x2, y1, ink);
        }
    }
}

HFONT CaptionFont() {
    static HFONT font = [] {
        LOGFONTA lf{};
        lf.lfHeight = -12;
        lf.lfWeight = FW_BOLD;
        lf.lfCharSet = SHIFTJIS_CHARSET;
        const std::string face = Cp932FromUtf8("ＭＳ Ｐゴシック");
        face.copy(lf.lfFaceName, LF_FACESIZE - 1);
        return CreateFontIndirectA(&lf);
    }();
    return font;
}

}  // namespace

LRESULT NonClientHitTest(const Window& w, int x, int y) {
    const int width = w.rect.right - w.rect.left;
    const int height = w.rect.bottom - w.rect.top;
    if (x < 0 || y < 0 || x >= width || y >= height) return HTNOWHERE;
    const RECT client{w.clientInset.left, w.clientInset.top, width - w.clientInset.right, height - w.clientInset.bottom};
    if (RectContains(client, x, y)) return HTCLIENT;
    if (HasCaption(w) && RectContains(CaptionRect(w), x, y)) {
        if ((w.style & WS_SYSMENU) && RectContains(CloseBoxRect(w), x, y)) return HTCLOSE;
        if ((w.style & WS_SYSMENU) && RectContains(IconRect(w), x, y) && (w.iconSmall || w.iconBig)) return HTSYSMENU;
        return HTCAPTION;
    }
    return HTBORDER;
}

void PaintNonClient(Window& w) {
    w.nonClientPending = false;
    if (!w.surface) return;
    Surface& s = *w.surface;
    const int width = s.Width();
    const int height = s.Height();
    if (w.clientInset.top == 0 && w.clientInset.left == 0) return;
    // The dialog frame: a raised edge around a face-coloured band.
    Fill(s, RECT{0, 0, width, w.clientInset.top}, Sys(COLOR_BTNFACE));
    Fill(s, RECT{0, 0, w.clientInset.left, height}, Sys(COLOR_BTNFACE));
    Fill(s, RECT{width - w.clientInset.right, 0, width, height}, Sys(COLOR_BTNFACE));
    Fill(s, RECT{0, height - w.clientInset.bottom, width, height}, Sys(COLOR_BTNFACE));
    RaisedEdge(s, RECT{0, 0, width, height}, false);
    if (HasCaption(w)) {
        const bool active = GetActiveWindow() == w.handle;
        const RECT caption = CaptionRect(w);
        Fill(s, caption, Sys(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
        HLine(s, caption.left, caption.right, caption.bottom, Sys(COLOR_BTNFACE));
        int textLeft = caption.left + 4;
        if (HICON icon = w.iconSmall ? w.iconSmall : w.iconBig) {
            const RECT ir = IconRect(w);
            HDC dc = gdi::CreateSurfaceDC(w.handle, &s, 0, 0, Region(caption));
            DrawIconEx(dc, ir.left, ir.top, icon, 16, 16);
            gdi::DestroyDC(dc);
            textLeft = ir.right + 3;
        }
        RECT textRect{textLeft, caption.top, caption.right - kCaptionButtonWidth - 6, caption.bottom};
        HDC dc = gdi::CreateSurfaceDC(w.handle, &s, 0, 0, Region(textRect));
        SelectObject(dc, CaptionFont());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
        gdi::DrawTextU32(dc, w.text, &textRect, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        gdi::DestroyDC(dc);
        if (w.style & WS_SYSMENU) {
            const RECT box = CloseBoxRect(w);
            const bool pressed = w.closeBoxPressed && w.closeBoxHot;
            Fill(s, box, Sys(COLOR_BTNFACE));
            RaisedEdge(s, box, pressed);
            DrawCloseGlyph(s, box, pressed);
        }
    }
    MarkDirty(w, RECT{0, 0, width, height});
}

void PaintChildBorder(Window& w) {
    Window* top = TopLevelOf(w.handle);
    if (!top || !top->surface || w.IsTopLevel()) return;
    Surface& s = *top->surface;
    const POINT o = ClientOriginOnSurface(w);
    const RECT outer{o.x - w.clientInset.left, o.y - w.clientInset.top, o.x + w.ClientWidth() + w.clientInset.right,
                     o.y + w.ClientHeight() + w.clientInset.bottom};
    if (w.exStyle & WS_EX_CLIENTEDGE) {
        // A sunken edge: shadow and dark shadow above and left, highlight and light below and right.
        HLine(s, outer.left, outer.right - 1, outer.top, Sys(COLOR_BTNSHADOW));
        VLine(s, outer.left, outer.top, outer.bottom - 1, Sys(COLOR_BTNSHADOW));
        HLine(s, outer.left + 1, outer.right - 2, outer.top + 1, Sys(COLOR_3DDKSHADOW));
        VLine(s, outer.left + 1, outer.top + 1, outer.bottom - 2, Sys(COLOR_3DDKSHADOW));
        HLine(s, outer.left, outer.right, outer.bottom - 1, Sys(COLOR_BTNHIGHLIGHT));
        VLine(s, outer.right - 1, outer.top, outer.bottom, Sys(COLOR_BTNHIGHLIGHT));
        HLine(s, outer.left + 1, outer.right - 1, outer.bottom - 2, Sys(COLOR_3DLIGHT));
        VLine(s, outer.right - 2, outer.top + 1, outer.bottom - 1, Sys(COLOR_3DLIGHT));
    } else if (w.style & WS_BORDER) {
        const Pixel frame = Sys(COLOR_WINDOWFRAME);
        HLine(s, outer.left, outer.right, outer.top, frame);
        HLine(s, outer.left, outer.right, outer.bottom - 1, frame);
        VLine(s, outer.left, outer.top, outer.bottom, frame);
        VLine(s, outer.right - 1, outer.top, outer.bottom, frame);
    }
    MarkDirty(*top, outer);
}

void UpdateNativeIcon(Window& w) {
    display::Display* d = display::CurrentDisplay();
    HICON icon = w.iconBig ? w.iconBig : w.iconSmall;
    if (!d || !w.native || !icon) return;
    if (const Surface* picture = IconPicture(icon, 32)) d->SetIcon(w.native, *picture);
}

LRESULT NonClientMouse(HWND hwnd, UINT message, WPARAM hit, LPARAM screenPoint) {
    Window* w = Find(hwnd);
    if (!w || !w->IsTopLevel()) return 0;
    const int x = GET_X_LPARAM(screenPoint) - w->rect.left;
    const int y = GET_Y_LPARAM(screenPoint) - w->rect.top;
    const bool overClose = NonClientHitTest(*w, x, y) == HTCLOSE;
    switch (message) {
        case WM_NCLBUTTONDOWN:
            if (hit == HTCLOSE) {
                w->closeBoxPressed = true;
                w->closeBoxHot = true;
                w->nonClientPending = true;
                MarkDirty(*w, CloseBoxRect(*w));
            } else if (hit == HTSYSMENU) {
                ShowSystemMenu(hwnd, false);
            }
            return 0;
        case WM_NCLBUTTONUP:
            if (w->closeBoxPressed) {
                w->closeBoxPressed = false;
                w->nonClientPending = true;
                MarkDirty(*w, CloseBoxRect(*w));
                if (overClose) PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, screenPoint);
            }
            return 0;
        case WM_NCRBUTTONUP:
            if (hit == HTCAPTION || hit == HTSYSMENU) ShowSystemMenu(hwnd, false, GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint));
            return 0;
        case WM_NCMOUSEMOVE:
            if (w->closeBoxHot != overClose) {
                w->closeBoxHot = overClose;
                w->nonClientPending = true;
                MarkDirty(*w, CloseBoxRect(*w));
            }
            return 0;
        default: return 0;
    }
}

LRESULT DefaultSystemCommand(HWND hwnd, UINT command, LPARAM lParam) {
    switch (command) {
        case SC_CLOSE: SendMessageA(hwnd, WM_CLOSE, 0, 0); return 0;
        case SC_MOVE: RunKeyboardMove(hwnd); return 0;
        case SC_KEYMENU:
            if (lParam == ' ') ShowSystemMenu(hwnd, true);
            return 0;
        default: return 0;
    }
}

LRESULT CopyTextOut(const std::string& cp932, char* buffer, int size) {
    if (size <= 0) return 0;
    std::size_t n = std::min(cp932.size(), static_cast<std::size_t>(size - 1));
    // Don't split a double-byte character: count lead bytes up to the cut.
    std::size_t i = 0;
    while (i < n) {
        const unsigned char b = static_cast<unsigned char>(cp932[i]);
        const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        if (lead && i + 1 >= n) break;
        i += lead ? 2 : 1;
    }
    n = std::min(i, n);
    cp932.copy(buffer, n);
    buffer[n] = '\0';
    return static_cast<LRESULT>(n);
}

}  // namespace platform::win
