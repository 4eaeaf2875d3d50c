// Popup menus: a window of items drawn like the platform's menus, run modally until an item is
// chosen or the menu is dismissed. The system menu and the edit boxes' context menu use it.
#include <algorithm>

#include "platform/base/codepage.h"
#include "platform/base/handle_table.h"
#include "platform/controls/paint_util.h"
#include "platform/gdi/gdi_internal.h"
#include "platform/windows/menu_internal.h"
#include "platform/windows/popup_menu.h"
#include "platform/windows/window_internal.h"

namespace platform::win {

namespace {

constexpr int kBorder = 3;
constexpr int kItemHeight = 19;
constexpr int kSeparatorHeight = 9;
constexpr int kTextLeft = 17;
constexpr int kShortcutGap = 24;
constexpr int kRightMargin = 17;

// Menus are drawn in the dialog font.
HFONT MenuFont() { return gdi::StockDialogFont(); }

// The character after the single "&" of an item's text, lower-cased.
char32_t Mnemonic(const std::u32string& text) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != U'&') continue;
        if (text[i + 1] == U'&') {
            ++i;
            continue;
        }
        char32_t c = text[i + 1];
        if (c >= U'A' && c <= U'Z') c += 0x20;
        return c;
    }
    return 0;
}

struct MenuState {
    std::vector<MenuItem> items;
    std::vector<RECT> rects;  // client coordinates of each item
    int hot = -1;
    bool done = false;
    UINT chosen = 0;
    int width = 0;
    int height = 0;
};

bool Selectable(const MenuItem& item) { return !item.separator && !item.grayed; }

void Layout(MenuState& s) {
    Surface scratch(1, 1);
    HDC dc = gdi::CreateSurfaceDC(nullptr, &scratch, 0, 0, Region{});
    SelectObject(dc, MenuFont());
    int textWidth = 0;
    int shortcutWidth = 0;
    for (const MenuItem& item : s.items) {
        if (item.separator) continue;
        RECT r{0, 0, 0, 0};
        gdi::DrawTextU32(dc, item.text, &r, DT_CALCRECT | DT_SINGLELINE);
        textWidth = std::max<int>(textWidth, r.right);
        if (!item.shortcut.empty()) {
            RECT k{0, 0, 0, 0};
            gdi::DrawTextU32(dc, item.shortcut, &k, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
            shortcutWidth = std::max<int>(shortcutWidth, k.right);
        }
    }
    gdi::DestroyDC(dc);
    const int inner = kTextLeft + textWidth + (shortcutWidth ? kShortcutGap + shortcutWidth : 0) + kRightMargin;
    s.width = inner + 2 * kBorder;
    int y = kBorder;
    s.rects.clear();
    for (const MenuItem& item : s.items) {
        const int h = item.separator ? kSeparatorHeight : kItemHeight;
        s.rects.push_back(RECT{kBorder, y, kBorder + inner, y + h});
        y += h;
    }
    s.height = y + kBorder;
}

class PopupMenuClass : public WindowClass {
public:
    explicit PopupMenuClass(MenuState& state) : s_(state) {}

    LRESULT Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case WM_ERASEBKGND: return 1;
            case WM_PAINT: Paint(hwnd); return 0;
            case WM_NCHITTEST: return HTCLIENT;
            default: return DefWindowProcA(hwnd, message, wParam, lParam);
        }
    }

private:
    void Paint(HWND hwnd) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT client{0, 0, s_.width, s_.height};
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
        controls::DrawEdge3D(dc, client, false);
        SelectObject(dc, MenuFont());
        SetBkMode(dc, TRANSPARENT);
        for (std::size_t i = 0; i < s_.items.size(); ++i) {
            const MenuItem& item = s_.items[i];
            const RECT r = s_.rects[i];
            if (item.separator) {
                const int y = (r.top + r.bottom) / 2 - 1;
                RECT dark{r.left + 1, y, r.right - 1, y + 1};
                RECT light{r.left + 1, y + 1, r.right - 1, y + 2};
                FillRect(dc, &dark, GetSysColorBrush(COLOR_BTNSHADOW));
                FillRect(dc, &light, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
                continue;
            }
            const bool hot = static_cast<int>(i) == s_.hot;
            if (hot) FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
            RECT text{r.left + kTextLeft, r.top, r.right - kRightMargin, r.bottom};
            auto draw = [&](COLORREF color, int offset) {
                SetTextColor(dc, color);
                RECT t = RectOffset(text, offset, offset);
                gdi::DrawTextU32(dc, item.text, &t, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
                if (!item.shortcut.empty()) gdi::DrawTextU32(dc, item.shortcut, &t, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
            };
            if (item.grayed) {
                if (!hot) draw(GetSysColor(COLOR_BTNHIGHLIGHT), 1);
                draw(GetSysColor(COLOR_GRAYTEXT), 0);
            } else {
                draw(GetSysColor(hot ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT), 0);
            }
        }
        EndPaint(hwnd, &ps);
    }

    MenuState& s_;
};

int ItemAt(const MenuState& s, int x, int y) {
    for (std::size_t i = 0; i < s.rects.size(); ++i) {
        if (RectContains(s.rects[i], x, y)) return static_cast<int>(i);
    }
    return -1;
}

void SetHot(HWND popup, MenuState& s, int hot) {
    if (s.hot == hot) return;
    s.hot = hot;
    InvalidateRect(popup, nullptr, FALSE);
}

void MoveHot(HWND popup, MenuState& s, int direction) {
    const int n = static_cast<int>(s.items.size());
    int i = s.hot;
    for (int step = 0; step < n; ++step) {
        i = i < 0 ? (direction > 0 ? 0 : n - 1) : (i + direction + n) % n;
        if (!s.items[static_cast<std::size_t>(i)].separator) {
            SetHot(popup, s, i);
            return;
        }
    }
}

void Choose(MenuState& s, int index) {
    if (index < 0 || index >= static_cast<int>(s.items.size())) return;
    const MenuItem& item = s.items[static_cast<std::size_t>(index)];
    if (!Selectable(item)) return;
    s.chosen = item.id;
    s.done = true;
}

void HandleKey(HWND popup, MenuState& s, const MSG& msg) {
    switch (msg.wParam) {
        case VK_ESCAPE:
        case VK_MENU: s.done = true; return;
        case VK_UP: MoveHot(popup, s, -1); return;
        case VK_DOWN: MoveHot(popup, s, +1); return;
        case VK_RETURN: Choose(s, s.hot); return;
        default: break;
    }
    // A letter chooses the item it is the mnemonic of.
    char32_t key = 0;
    if (msg.wParam >= 'A' && msg.wParam <= 'Z') key = static_cast<char32_t>(msg.wParam + 0x20);
    else if (msg.wParam >= '0' && msg.wParam <= '9') key = static_cast<char32_t>(msg.wParam);
    if (!key) return;
    for (std::size_t i = 0; i < s.items.size(); ++i) {
        if (!s.items[i].separator && Mnemonic(s.items[i].text) == key) {
            SetHot(popup, s, static_cast<int>(i));
            Choose(s, static_cast<int>(i));
            return;
        }
    }
}

}  // namespace

UINT RunPopupMenu(HWND owner, const std::vector<MenuItem>& items, int screenX, int screenY, bool fromKeyboard) {
    if (items.empty()) return 0;
    MenuState state;
    state.items = items;
    Layout(state);
    // Keep the menu on the screen.
    const int screenW = GetSystemMetrics(SM_CXSCREEN);
    const int screenH = GetSystemMetrics(SM_CYSCREEN);
    if (screenX + state.width > screenW) screenX = std::max(0, screenW - state.width);
    if (screenY + state.height > screenH) screenY = std::max(0, screenY - state.height);

    Window* ownerTop = TopLevelOf(owner);
    CreateParams params;
    params.className = "#32768";
    params.style = WS_POPUP;
    params.exStyle = WS_EX_NOACTIVATE;
    params.rect = RECT{screenX, screenY, screenX + state.width, screenY + state.height};
    params.owner = ownerTop ? ownerTop->handle : nullptr;
    params.classProc = std::make_unique<PopupMenuClass>(state);
    const HWND popup = CreateWindowFromParams(std::move(params));
    if (!popup) return 0;
    ShowWindow(popup, SW_SHOW);
    const HWND previousCapture = GetCapture();
    SetCapture(popup);
    if (fromKeyboard) MoveHot(popup, state, +1);

    MSG msg;
    while (!state.done) {
        if (!NextMessage(msg, true) || msg.message == WM_QUIT) break;
        if (!IsWindow(popup)) break;
        switch (msg.message) {
            case WM_KEYDOWN:
            case WM_SYSKEYDOWN: HandleKey(popup, state, msg); continue;
            case WM_KEYUP:
            case WM_SYSKEYUP:
            case WM_CHAR:
            case WM_SYSCHAR: continue;
            case WM_MOUSEMOVE:
            case WM_LBUTTONDOWN:
            case WM_LBUTTONUP:
            case WM_LBUTTONDBLCLK:
            case WM_RBUTTONDOWN:
            case WM_RBUTTONUP: {
                const int x = GET_X_LPARAM(msg.lParam);
                const int y = GET_Y_LPARAM(msg.lParam);
                const bool inside = msg.hwnd == popup && x >= 0 && y >= 0 && x < state.width && y < state.height;
                if (msg.message == WM_MOUSEMOVE) {
                    if (inside) SetHot(popup, state, ItemAt(state, x, y));
                } else if (msg.message == WM_LBUTTONDOWN || msg.message == WM_RBUTTONDOWN ||
                           msg.message == WM_LBUTTONDBLCLK) {
                    // A press outside the menu dismisses it; the press itself goes nowhere.
                    if (!inside) state.done = true;
                } else if (inside) {
                    Choose(state, ItemAt(state, x, y));
                }
                continue;
            }
            case WM_NCLBUTTONDOWN:
            case WM_NCRBUTTONDOWN: state.done = true; continue;
            default: break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (GetCapture() == popup) ReleaseCapture();
    if (previousCapture && IsWindow(previousCapture)) SetCapture(previousCapture);
    if (IsWindow(popup)) DestroyWindow(popup);
    return state.chosen;
}

}  // namespace platform::win

using namespace platform;
using namespace platform::win;

HMENU CreatePopupMenu() { return CreateMenuHandle(); }

BOOL DestroyMenu(HMENU menu) {
    if (!FindMenu(menu)) return FALSE;
    DestroyMenuHandle(menu);
    return TRUE;
}

BOOL EnableMenuItem(HMENU menu, UINT item, UINT enable) {
    Menu* m = FindMenu(menu);
    if (!m) return -1;
    MenuItem* found = nullptr;
    if (enable & MF_BYPOSITION) {
        if (item < m->items.size()) found = &m->items[item];
    } else {
        for (MenuItem& i : m->items) {
            if (!i.separator && i.id == item) found = &i;
        }
    }
    if (!found) return -1;
    const BOOL previous = found->grayed ? MF_GRAYED : MF_ENABLED;
    found->grayed = (enable & (MF_GRAYED | MF_DISABLED)) != 0;
    return previous;
}

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT*) {
    Menu* m = FindMenu(menu);
    if (!m) return FALSE;
    const std::vector<MenuItem> items = m->items;
    const UINT chosen = RunPopupMenu(owner, items, x, y, false);
    if (flags & TPM_RETURNCMD) return static_cast<BOOL>(chosen);
    if (chosen && !(flags & TPM_NONOTIFY)) PostMessageA(owner, WM_COMMAND, chosen, 0);
    return chosen ? TRUE : FALSE;
}
