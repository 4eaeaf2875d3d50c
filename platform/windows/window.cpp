// The window tree: creation and destruction, geometry, text, visibility, enabling, focus,
// capture and the update regions that WM_PAINT comes from.
#include <algorithm>

#include "platform/base/codepage.h"
#include "platform/base/handle_table.h"
#include "platform/gdi/gdi_internal.h"
#include "platform/windows/afxwin.h"
#include "platform/windows/window_internal.h"

namespace platform::win {

namespace {

struct WindowManager {
    HandleTable<Window> windows{0x57};
    std::vector<HWND> topLevels;  // in creation order
    HWND focus = nullptr;
    HWND capture = nullptr;
    HWND active = nullptr;
};

WindowManager& Manager() {
    static WindowManager manager;
    return manager;
}

void CollectTree(HWND hwnd, std::vector<HWND>& out) {
    Window* w = Find(hwnd);
    if (!w) return;
    out.push_back(hwnd);
    for (HWND child : w->children) CollectTree(child, out);
}

bool IsDescendantOrSelf(HWND ancestor, HWND hwnd) {
    for (Window* w = Find(hwnd); w; w = Find(w->parent)) {
        if (w->handle == ancestor) return true;
    }
    return false;
}

// Is the window and every ancestor visible?
bool IsShown(const Window& w) {
    for (const Window* p = &w; p; p = Find(p->parent)) {
        if (!(p->style & WS_VISIBLE)) return false;
    }
    return true;
}

void InvalidateTree(Window& w, const RECT& clientRect, bool erase) {
    RECT client{0, 0, w.ClientWidth(), w.ClientHeight()};
    RECT r = RectIntersection(clientRect, client);
    if (RectIsEmpty(r)) return;
    w.update.Add(r);
    if (erase) w.erasePending = true;
    if (w.style & WS_CLIPCHILDREN) return;
    for (HWND childHandle : w.children) {
        Window* child = Find(childHandle);
        if (!child || !(child->style & WS_VISIBLE)) continue;
        // The child's client area in the parent's client coordinates.
        const int ox = child->rect.left + child->clientInset.left;
        const int oy = child->rect.top + child->clientInset.top;
        InvalidateTree(*child, RectOffset(r, -ox, -oy), erase);
        if (!RectIsEmpty(RectIntersection(r, child->rect))) child->nonClientPending = true;
    }
}

// Sends the pending WM_ERASEBKGND of the window and its children now, leaving the update regions
// for the paints that follow.
void EraseNow(HWND hwnd) {
    Window* w = Find(hwnd);
    Window* top = TopLevelOf(hwnd);
    if (!w || !top || !(w->style & WS_VISIBLE)) return;
    if (w->erasePending && !w->update.IsEmpty()) {
        w->erasePending = false;
        const POINT origin = ClientOriginOnSurface(*w);
        Region clip = w->update;
        clip.Offset(origin.x, origin.y);
        clip.IntersectWith(VisibleClientOnSurface(*w));
        HDC hdc = gdi::CreateSurfaceDC(hwnd, top->surface.get(), origin.x, origin.y, clip);
        MarkDirty(*top, clip.Bounds());
        Deliver(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0);
        gdi::DestroyDC(hdc);
    }
    for (HWND child : std::vector<HWND>(w->children)) EraseNow(child);
}

}  // namespace

Window* Find(HWND hwnd) { return hwnd ? Manager().windows.Find(HandleValue(hwnd)) : nullptr; }

Window* TopLevelOf(HWND hwnd) {
    Window* w = Find(hwnd);
    while (w && w->parent) w = Find(w->parent);
    return w;
}

std::vector<HWND> AllWindows() {
    std::vector<HWND> out;
    for (HWND top : Manager().topLevels) CollectTree(top, out);
    return out;
}

POINT ClientOriginOnSurface(const Window& w) {
    POINT p{w.clientInset.left, w.clientInset.top};
    if (w.IsTopLevel()) return p;
    p.x += w.rect.left;
    p.y += w.rect.top;
    for (const Window* parent = Find(w.parent); parent; parent = Find(parent->parent)) {
        p.x += parent->clientInset.left;
        p.y += parent->clientInset.top;
        if (!parent->IsTopLevel()) {
            p.x += parent->rect.left;
            p.y += parent->rect.top;
        }
    }
    return p;
}

RECT VisibleClientOnSurface(const Window& w) {
    const POINT o = ClientOriginOnSurface(w);
    RECT r{o.x, o.y, o.x + w.ClientWidth(), o.y + w.ClientHeight()};
    for (const Window* parent = Find(w.parent); parent; parent = Find(parent->parent)) {
        const POINT po = ClientOriginOnSurface(*parent);
        r = RectIntersection(r, RECT{po.x, po.y, po.x + parent->ClientWidth(), po.y + parent->ClientHeight()});
    }
    return r;
}

HWND CreateWindowFromParams(CreateParams params) {
    auto owned = std::make_unique<Window>();
    Window& w = *owned;
    w.className = std::move(params.className);
    w.text = std::move(params.text);
    w.style = params.style;
    w.exStyle = params.exStyle;
    w.id = params.id;
    w.parent = params.parent;
    w.owner = params.owner;
    w.classProc = std::move(params.classProc);
    w.font = params.font;
    w.rect = params.rect;
    const bool topLevel = !(w.style & WS_CHILD);
    if (topLevel) {
        w.parent = nullptr;
        if ((w.style & WS_CAPTION) == WS_CAPTION || (w.style & WS_DLGFRAME) || (w.exStyle & WS_EX_DLGMODALFRAME)) {
            const int caption = (w.style & WS_CAPTION) == WS_CAPTION ? kCaptionHeight + 1 : 0;
            w.clientInset = RECT{kDialogFrame, kDialogFrame + caption, kDialogFrame, kDialogFrame};
        }
        // The rectangle given is the client area; the window grows around it.
        w.rect.right += w.clientInset.left + w.clientInset.right;
        w.rect.bottom += w.clientInset.top + w.clientInset.bottom;
    } else {
        if (w.exStyle & WS_EX_CLIENTEDGE) w.clientInset = RECT{2, 2, 2, 2};
        else if (w.style & WS_BORDER) w.clientInset = RECT{1, 1, 1, 1};
    }

    const HWND hwnd = HandleCast<HWND>(Manager().windows.Add(std::move(owned)));
    w.handle = hwnd;
    if (topLevel) {
        Manager().topLevels.push_back(hwnd);
        w.surface = std::make_unique<Surface>(w.rect.right - w.rect.left, w.rect.bottom - w.rect.top,
                                              gdi::PixelFromColorRef(GetSysColor(COLOR_BTNFACE)));
        if (display::Display* d = display::CurrentDisplay()) {
            display::NativeWindowParams np;
            np.titleUtf8 = EncodeUtf8(w.text);
            np.frame = w.rect;
            np.taskbarEntry = (w.exStyle & WS_EX_APPWINDOW) != 0 || !w.owner;
            np.takesFocus = !(w.exStyle & WS_EX_NOACTIVATE);
            if (Window* owner = Find(w.owner)) np.owner = owner->native;
            np.hitTest = [hwnd](int x, int y) {
                Window* self = Find(hwnd);
                if (!self) return display::HitArea::Client;
                LRESULT hit = NonClientHitTest(*self, x, y);
                if (hit == HTCAPTION) return display::HitArea::Caption;
                if (hit == HTCLOSE || hit == HTSYSMENU) return display::HitArea::Button;
                return display::HitArea::Client;
            };
            w.native = d->CreateNativeWindow(np);
        }
    } else if (Window* parent = Find(w.parent)) {
        parent->children.push_back(hwnd);
    }
    Deliver(hwnd, WM_CREATE, 0, 0);
    if (!Find(hwnd)) return nullptr;
    if (w.style & WS_VISIBLE) {
        w.style &= ~WS_VISIBLE;
        ShowWindow(hwnd, SW_SHOW);
    }
    return hwnd;
}

std::u32string WindowText(HWND hwnd) {
    Window* w = Find(hwnd);
    return w ? w->text : std::u32string{};
}

void SetWindowTextU32(HWND hwnd, std::u32string text) {
    Window* w = Find(hwnd);
    if (!w) return;
    w->text = std::move(text);
    if (w->IsTopLevel()) {
        w->nonClientPending = true;
        if (display::Display* d = display::CurrentDisplay(); d && w->native) d->SetTitle(w->native, EncodeUtf8(w->text));
    }
}

void MarkDirty(Window& top, const RECT& r) {
    if (RectIsEmpty(r)) return;
    if (RectIsEmpty(top.dirty)) {
        top.dirty = r;
        return;
    }
    top.dirty.left = std::min(top.dirty.left, r.left);
    top.dirty.top = std::min(top.dirty.top, r.top);
    top.dirty.right = std::max(top.dirty.right, r.right);
    top.dirty.bottom = std::max(top.dirty.bottom, r.bottom);
}

void PresentAll() {
    display::Display* d = display::CurrentDisplay();
    for (HWND hwnd : Manager().topLevels) {
        Window* w = Find(hwnd);
        if (!w || !w->surface || RectIsEmpty(w->dirty)) continue;
        if (w->nonClientPending) PaintNonClient(*w);
        if (d && w->native) d->Present(w->native, *w->surface, w->dirty);
        w->dirty = RECT{};
    }
}

}  // namespace platform::win

using namespace platform;
using namespace platform::win;

BOOL IsWindow(HWND hwnd) { return Find(hwnd) != nullptr; }

BOOL DestroyWindow(HWND hwnd) {
    Window* w = Find(hwnd);
    if (!w || w->destroying) return FALSE;
    w->destroying = true;
    // Owned top-level windows go first, then the children, then the window itself.
    for (HWND other : std::vector<HWND>(Manager().topLevels)) {
        if (Window* o = Find(other); o && o->owner == hwnd) DestroyWindow(other);
    }
    if (w->IsTopLevel() && (w->style & WS_VISIBLE)) ShowWindow(hwnd, SW_HIDE);
    Deliver(hwnd, WM_DESTROY, 0, 0);
    for (HWND child : std::vector<HWND>(w->children)) DestroyWindow(child);
    WindowManager& m = Manager();
    if (m.focus && IsDescendantOrSelf(hwnd, m.focus)) m.focus = nullptr;
    if (m.capture && IsDescendantOrSelf(hwnd, m.capture)) m.capture = nullptr;
    if (m.active == hwnd) m.active = nullptr;
    if (Window* parent = Find(w->parent)) {
        auto& siblings = parent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), hwnd), siblings.end());
    }
    m.topLevels.erase(std::remove(m.topLevels.begin(), m.topLevels.end(), hwnd), m.topLevels.end());
    if (w->native) {
        if (display::Display* d = display::CurrentDisplay()) d->DestroyNativeWindow(w->native);
    }
    gdi::DetachWindowDCs(hwnd);
    if (w->attached) {
        // The application forgets its main window when that window goes.
        if (CWinApp* app = AfxGetApp(); app && app->m_pMainWnd == w->attached) app->m_pMainWnd = nullptr;
        w->attached->DetachFromDestroyedWindow();
    }
    m.windows.Remove(HandleValue(hwnd));
    // Activation passes back to the owner, or to the newest remaining top-level window.
    if (!m.active && !m.topLevels.empty()) {
        for (auto it = m.topLevels.rbegin(); it != m.topLevels.rend(); ++it) {
            Window* t = Find(*it);
            if (t && (t->style & WS_VISIBLE) && !(t->style & WS_DISABLED)) {
                SetActiveWindow(*it);
                break;
            }
        }
    }
    return TRUE;
}

HWND GetParent(HWND hwnd) {
    Window* w = Find(hwnd);
    if (!w) return nullptr;
    return w->parent ? w->parent : w->owner;
}

HWND GetWindow(HWND hwnd, UINT relation) {
    Window* w = Find(hwnd);
    if (!w) return nullptr;
    if (relation == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
    if (relation == GW_OWNER) return w->owner;
    Window* parent = Find(w->parent);
    if (!parent) return nullptr;
    auto& s = parent->children;
    auto it = std::find(s.begin(), s.end(), hwnd);
    if (it == s.end()) return nullptr;
    if (relation == GW_HWNDNEXT) return (it + 1) == s.end() ? nullptr : *(it + 1);
    if (relation == GW_HWNDPREV) return it == s.begin() ? nullptr : *(it - 1);
    return nullptr;
}

HWND GetDlgItem(HWND dialog, int id) {
    Window* w = Find(dialog);
    if (!w) return nullptr;
    for (HWND child : w->children) {
        if (Window* c = Find(child); c && c->id == id) return child;
    }
    return nullptr;
}

int GetDlgCtrlID(HWND hwnd) {
    Window* w = Find(hwnd);
    return w ? w->id : 0;
}

BOOL ShowWindow(HWND hwnd, int command) {
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    const bool wasVisible = (w->style & WS_VISIBLE) != 0;
    const bool show = command != SW_HIDE;
    if (wasVisible == show) return wasVisible ? TRUE : FALSE;
    if (show) w->style |= WS_VISIBLE;
    else w->style &= ~WS_VISIBLE;
    Deliver(hwnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    if (w->IsTopLevel()) {
        if (display::Display* d = display::CurrentDisplay(); d && w->native) d->ShowNativeWindow(w->native, show);
        if (show) {
            w->nonClientPending = true;
            InvalidateRect(hwnd, nullptr, TRUE);
            // A window being shown has its background erased at once, before any paint.
            EraseNow(hwnd);
            MarkDirty(*w, RECT{0, 0, w->surface->Width(), w->surface->Height()});
            if (!(w->style & WS_DISABLED) && !(w->exStyle & WS_EX_NOACTIVATE)) SetActiveWindow(hwnd);
        } else if (Manager().active == hwnd) {
            Manager().active = nullptr;
        }
    } else if (Window* parent = Find(w->parent)) {
        // What the window covered, or will cover, is the parent's to repaint.
        InvalidateRect(w->parent, &w->rect, TRUE);
        (void)parent;
        if (!show && Manager().focus && IsDescendantOrSelf(hwnd, Manager().focus)) SetFocus(nullptr);
    }
    return wasVisible ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND hwnd) {
    Window* w = Find(hwnd);
    return w && IsShown(*w) ? TRUE : FALSE;
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    const bool wasDisabled = (w->style & WS_DISABLED) != 0;
    if (enable) w->style &= ~WS_DISABLED;
    else w->style |= WS_DISABLED;
    if (wasDisabled == !enable) return wasDisabled ? TRUE : FALSE;
    if (!enable) {
        WindowManager& m = Manager();
        if (m.focus && IsDescendantOrSelf(hwnd, m.focus)) SetFocus(nullptr);
        if (m.capture && IsDescendantOrSelf(hwnd, m.capture)) ReleaseCapture();
    }
    Deliver(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
    // A control redraws in its enabled or disabled look; a top-level window (an owner disabled
    // while a modal window is open) looks the same either way and keeps what it shows.
    if (!w->IsTopLevel()) InvalidateRect(hwnd, nullptr, TRUE);
    return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND hwnd) {
    Window* w = Find(hwnd);
    return w && !(w->style & WS_DISABLED) ? TRUE : FALSE;
}

BOOL IsIconic(HWND hwnd) {
    Window* w = Find(hwnd);
    return w && (w->style & WS_MINIMIZE) ? TRUE : FALSE;
}

LONG GetWindowLongA(HWND hwnd, int index) {
    Window* w = Find(hwnd);
    if (!w) return 0;
    switch (index) {
        case GWL_STYLE: return static_cast<LONG>(w->style);
        case GWL_EXSTYLE: return static_cast<LONG>(w->exStyle);
        case GWL_ID: return w->id;
        default: return 0;
    }
}

LONG SetWindowLongA(HWND hwnd, int index, LONG value) {
    Window* w = Find(hwnd);
    if (!w) return 0;
    LONG old = GetWindowLongA(hwnd, index);
    switch (index) {
        case GWL_STYLE: w->style = static_cast<DWORD>(value); break;
        case GWL_EXSTYLE: w->exStyle = static_cast<DWORD>(value); break;
        case GWL_ID: w->id = value; break;
        default: return 0;
    }
    return old;
}

BOOL GetClientRect(HWND hwnd, RECT* rect) {
    Window* w = Find(hwnd);
    if (!w || !rect) return FALSE;
    *rect = RECT{0, 0, w->ClientWidth(), w->ClientHeight()};
    return TRUE;
}

BOOL GetWindowRect(HWND hwnd, RECT* rect) {
    Window* w = Find(hwnd);
    if (!w || !rect) return FALSE;
    if (w->IsTopLevel()) {
        *rect = w->rect;
        return TRUE;
    }
    POINT p{w->rect.left, w->rect.top};
    ClientToScreen(w->parent, &p);
    *rect = RECT{p.x, p.y, p.x + (w->rect.right - w->rect.left), p.y + (w->rect.bottom - w->rect.top)};
    return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
    Window* w = Find(hwnd);
    if (!w || width < 0 || height < 0) return FALSE;
    if (w->IsTopLevel()) {
        // Top-level windows keep their size: every window of this program is of fixed size.
        const int wWidth = w->rect.right - w->rect.left;
        const int wHeight = w->rect.bottom - w->rect.top;
        w->rect = RECT{x, y, x + wWidth, y + wHeight};
        if (display::Display* d = display::CurrentDisplay(); d && w->native) d->MoveNativeWindow(w->native, x, y);
        Deliver(hwnd, WM_MOVE, 0, MAKELPARAM(x + w->clientInset.left, y + w->clientInset.top));
        return TRUE;
    }
    const RECT old = w->rect;
    w->rect = RECT{x, y, x + width, y + height};
    if (repaint) {
        InvalidateRect(w->parent, &old, TRUE);
        InvalidateRect(hwnd, nullptr, TRUE);
    }
    return TRUE;
}

BOOL ClientToScreen(HWND hwnd, POINT* point) {
    Window* w = Find(hwnd);
    Window* top = TopLevelOf(hwnd);
    if (!w || !top || !point) return FALSE;
    const POINT o = ClientOriginOnSurface(*w);
    point->x += o.x + top->rect.left;
    point->y += o.y + top->rect.top;
    return TRUE;
}

BOOL ScreenToClient(HWND hwnd, POINT* point) {
    Window* w = Find(hwnd);
    Window* top = TopLevelOf(hwnd);
    if (!w || !top || !point) return FALSE;
    const POINT o = ClientOriginOnSurface(*w);
    point->x -= o.x + top->rect.left;
    point->y -= o.y + top->rect.top;
    return TRUE;
}

BOOL SetWindowTextA(HWND hwnd, LPCSTR text) {
    if (!Find(hwnd)) return FALSE;
    return SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) ? TRUE : FALSE;
}

int GetWindowTextA(HWND hwnd, LPSTR buffer, int size) {
    if (!buffer || size <= 0) return 0;
    if (!Find(hwnd)) {
        buffer[0] = '\0';
        return 0;
    }
    return static_cast<int>(SendMessageA(hwnd, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLengthA(HWND hwnd) {
    if (!Find(hwnd)) return 0;
    return static_cast<int>(SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text) { return SetWindowTextA(GetDlgItem(dialog, id), text); }

UINT GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size) {
    return static_cast<UINT>(GetWindowTextA(GetDlgItem(dialog, id), buffer, size));
}

HWND FindWindowA(LPCSTR className, LPCSTR windowName) {
    const std::u32string name = windowName ? DecodeCp932(windowName) : std::u32string{};
    for (HWND hwnd : Manager().topLevels) {
        Window* w = Find(hwnd);
        if (!w) continue;
        if (className && w->className != className) continue;
        if (windowName && w->text != name) continue;
        return hwnd;
    }
    return nullptr;
}

HWND SetFocus(HWND hwnd) {
    WindowManager& m = Manager();
    const HWND old = m.focus;
    if (hwnd == old) return old;
    Window* w = Find(hwnd);
    if (hwnd && !w) return nullptr;
    if (w) {
        Window* top = TopLevelOf(hwnd);
        if (top && (top->style & WS_DISABLED)) return nullptr;
        if (top && m.active != top->handle) SetActiveWindow(top->handle);
    }
    m.focus = hwnd;
    if (old && Find(old)) Deliver(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    if (hwnd && m.focus == hwnd && Find(hwnd)) Deliver(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    return old;
}

HWND GetFocus() { return Manager().focus; }

HWND SetCapture(HWND hwnd) {
    const HWND old = Manager().capture;
    Manager().capture = Find(hwnd) ? hwnd : nullptr;
    if (old && old != hwnd && Find(old)) Deliver(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
    return old;
}

BOOL ReleaseCapture() {
    const HWND old = Manager().capture;
    Manager().capture = nullptr;
    if (old && Find(old)) Deliver(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture() { return Manager().capture; }

HWND GetActiveWindow() { return Manager().active; }

HWND SetActiveWindow(HWND hwnd) {
    WindowManager& m = Manager();
    const HWND old = m.active;
    Window* w = Find(hwnd);
    if (!w || !w->IsTopLevel() || old == hwnd) return old;
    m.active = hwnd;
    if (Window* o = Find(old)) {
        o->nonClientPending = true;
        MarkDirty(*o, RECT{0, 0, o->surface->Width(), o->clientInset.top});
        Deliver(old, WM_ACTIVATE, 0, reinterpret_cast<LPARAM>(hwnd));
    }
    w->nonClientPending = true;
    MarkDirty(*w, RECT{0, 0, w->surface->Width(), w->clientInset.top});
    if (display::Display* d = display::CurrentDisplay(); d && w->native) d->Raise(w->native);
    Deliver(hwnd, WM_ACTIVATE, 1, reinterpret_cast<LPARAM>(old));
    return old;
}

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    InvalidateTree(*w, rect ? *rect : RECT{0, 0, w->ClientWidth(), w->ClientHeight()}, erase != FALSE);
    return TRUE;
}

BOOL ValidateRect(HWND hwnd, const RECT* rect) {
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    if (rect) {
        w->update.Subtract(*rect);
    } else {
        w->update.Clear();
    }
    if (w->update.IsEmpty()) w->erasePending = false;
    return TRUE;
}

BOOL GetUpdateRect(HWND hwnd, RECT* rect, BOOL) {
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    if (rect) *rect = w->update.Bounds();
    return w->update.IsEmpty() ? FALSE : TRUE;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* paint) {
    Window* w = Find(hwnd);
    Window* top = TopLevelOf(hwnd);
    if (!w || !top || !paint) return nullptr;
    const POINT origin = ClientOriginOnSurface(*w);
    Region clip = w->update;
    clip.Offset(origin.x, origin.y);
    clip.IntersectWith(VisibleClientOnSurface(*w));
    paint->rcPaint = w->update.Bounds();
    const bool erase = w->erasePending;
    w->update.Clear();
    w->erasePending = false;
    if (w->nonClientPending && !w->IsTopLevel()) {
        w->nonClientPending = false;
        Deliver(hwnd, WM_NCPAINT, 1, 0);
    }
    HDC hdc = gdi::CreateSurfaceDC(hwnd, top->surface.get(), origin.x, origin.y, clip);
    MarkDirty(*top, clip.Bounds());
    paint->hdc = hdc;
    paint->fErase = TRUE;
    if (erase) paint->fErase = Deliver(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0) ? FALSE : TRUE;
    return hdc;
}

BOOL EndPaint(HWND, const PAINTSTRUCT* paint) {
    if (!paint) return FALSE;
    gdi::DestroyDC(paint->hdc);
    return TRUE;
}

HDC GetDC(HWND hwnd) {
    Window* w = Find(hwnd);
    Window* top = TopLevelOf(hwnd);
    if (!w || !top) return nullptr;
    const POINT origin = ClientOriginOnSurface(*w);
    const RECT visible = VisibleClientOnSurface(*w);
    MarkDirty(*top, visible);
    return gdi::CreateSurfaceDC(hwnd, top->surface.get(), origin.x, origin.y, Region(visible));
}

int ReleaseDC(HWND, HDC hdc) {
    gdi::DeviceContext* dc = gdi::LookupDC(hdc);
    if (!dc || dc->memory) return 0;
    gdi::DestroyDC(hdc);
    return 1;
}

int MulDiv(int number, int numerator, int denominator) {
    if (denominator == 0) return -1;
    // Rounds half away from zero, in 64 bits so that the product can't overflow.
    const long long product = static_cast<long long>(number) * numerator;
    const bool negative = (product < 0) != (denominator < 0);
    const long long magnitude = product < 0 ? -product : product;
    const long long divisor = denominator < 0 ? -static_cast<long long>(denominator) : denominator;
    const long long q = (magnitude + divisor / 2) / divisor;
    if (q > 2147483647LL + (negative ? 1 : 0)) return -1;
    return static_cast<int>(negative ? -q : q);
}
