// Messages: the queue, sending and posting, WM_PAINT from update regions, timers, the input that
// the display delivers, and the default window procedure.
#include <algorithm>
#include <deque>
#include <set>
#include <utility>

#include "platform/base/codepage.h"
#include "platform/gdi/gdi_internal.h"
#include "platform/windows/afxwin.h"
#include "platform/windows/window_internal.h"

namespace platform::win {

namespace {

struct Timer {
    HWND hwnd;
    UINT_PTR id;
    UINT interval;
    std::uint64_t due;
};

struct MessageState {
    std::deque<MSG> queue;
    bool quitPosted = false;
    int quitCode = 0;
    bool exhausted = false;
    std::vector<Timer> timers;
    std::set<UINT> keysDown;
    bool leftDown = false;
    bool rightDown = false;
    POINT cursor{};
    std::u32string composition;
    int compositionCursor = 0;
    // Depth of WM_PAINT handlers running on each window, to catch a handler that leaves its
    // update region invalid while it runs a nested loop.
    int modalDepth = 0;
};

MessageState& State() {
    static MessageState state;
    return state;
}

std::uint64_t Now() {
    display::Display* d = display::CurrentDisplay();
    return d ? d->NowMs() : 0;
}

// The first window, parents before children, that waits for a paint.
HWND FindWindowToPaint() {
    for (HWND hwnd : AllWindows()) {
        Window* w = Find(hwnd);
        // A window whose paint handler opened a nested loop (a message box) isn't asked to
        // paint again from inside it; its region waits for that handler to finish.
        if (!w || w->update.IsEmpty() || w->inPaint) continue;
        if (!IsWindowVisible(hwnd)) {
            w->update.Clear();
            w->erasePending = false;
            continue;
        }
        return hwnd;
    }
    return nullptr;
}

Window* TopLevelByNative(display::NativeId id) {
    for (HWND hwnd : AllWindows()) {
        Window* w = Find(hwnd);
        if (w && w->IsTopLevel() && w->native == id) return w;
    }
    return nullptr;
}

// The deepest visible child under a surface point that doesn't let the mouse through.
HWND ChildFromSurfacePoint(Window& w, int sx, int sy) {
    for (HWND childHandle : w.children) {
        Window* child = Find(childHandle);
        if (!child || !(child->style & WS_VISIBLE)) continue;
        const POINT o = ClientOriginOnSurface(*child);
        const RECT windowRect{o.x - child->clientInset.left, o.y - child->clientInset.top,
                              o.x + child->ClientWidth() + child->clientInset.right,
                              o.y + child->ClientHeight() + child->clientInset.bottom};
        if (!RectContains(windowRect, sx, sy)) continue;
        POINT screen{sx, sy};
        if (Window* top = TopLevelOf(childHandle)) {
            screen.x += top->rect.left;
            screen.y += top->rect.top;
        }
        if (Deliver(childHandle, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y)) == HTTRANSPARENT) continue;
        return ChildFromSurfacePoint(*child, sx, sy);
    }
    return w.handle;
}

WPARAM MouseKeyFlags() {
    MessageState& s = State();
    WPARAM flags = 0;
    if (s.leftDown) flags |= MK_LBUTTON;
    if (s.rightDown) flags |= MK_RBUTTON;
    if (s.keysDown.count(VK_SHIFT)) flags |= MK_SHIFT;
    if (s.keysDown.count(VK_CONTROL)) flags |= MK_CONTROL;
    return flags;
}

// The enabled window that a disabled owner's input is redirected to: its newest owned popup.
HWND EnabledPopupOf(HWND owner) {
    std::vector<HWND> all = AllWindows();
    for (auto it = all.rbegin(); it != all.rend(); ++it) {
        Window* w = Find(*it);
        if (w && w->IsTopLevel() && w->owner == owner && (w->style & WS_VISIBLE)) {
            if (!(w->style & WS_DISABLED)) return *it;
            if (HWND deeper = EnabledPopupOf(*it)) return deeper;
        }
    }
    return nullptr;
}

void HandleMouse(const display::Event& ev) {
    MessageState& s = State();
    Window* top = TopLevelByNative(ev.window);
    if (!top) return;
    const int sx = ev.x;
    const int sy = ev.y;
    s.cursor = POINT{top->rect.left + sx, top->rect.top + sy};
    const bool down = ev.type == display::EventType::MouseDown;
    const bool up = ev.type == display::EventType::MouseUp;
    const bool left = ev.button == display::MouseButton::Left;
    const bool right = ev.button == display::MouseButton::Right;
    if (down && left) s.leftDown = true;
    if (up && left) s.leftDown = false;
    if (down && right) s.rightDown = true;
    if (up && right) s.rightDown = false;

    if (ev.type == display::EventType::MouseWheel) {
        HWND target = GetFocus() ? GetFocus() : top->handle;
        if (Window* t = TopLevelOf(target); !t || (t->style & WS_DISABLED)) return;
        const WPARAM wp = (static_cast<WPARAM>(static_cast<WORD>(ev.wheel * 120)) << 16) | MouseKeyFlags();
        PostMessageA(target, WM_MOUSEWHEEL, wp, MAKELPARAM(s.cursor.x, s.cursor.y));
        return;
    }

    HWND target = GetCapture();
    if (target && !Find(target)) target = nullptr;
    if (!target) {
        if (top->style & WS_DISABLED) {
            if (down) {
                MessageBeep(MB_OK);
                if (HWND popup = EnabledPopupOf(top->handle)) SetActiveWindow(popup);
            }
            return;
        }
        const LRESULT hit = NonClientHitTest(*top, sx, sy);
        if (hit != HTCLIENT) {
            if (down && GetActiveWindow() != top->handle) SetActiveWindow(top->handle);
            UINT message = WM_NULL;
            if (ev.type == display::EventType::MouseMove) message = WM_NCMOUSEMOVE;
            else if (down) message = left ? WM_NCLBUTTONDOWN : (right ? WM_NCRBUTTONDOWN : WM_NULL);
            else if (up) message = left ? WM_NCLBUTTONUP : (right ? WM_NCRBUTTONUP : WM_NULL);
            if (message != WM_NULL) {
                PostMessageA(top->handle, message, static_cast<WPARAM>(hit), MAKELPARAM(s.cursor.x, s.cursor.y));
            }
            return;
        }
        if (top->closeBoxPressed && up && left) {
            // The press on the close box ends outside it: nothing happens.
            PostMessageA(top->handle, WM_NCLBUTTONUP, HTCLIENT, MAKELPARAM(s.cursor.x, s.cursor.y));
            return;
        }
        if (top->closeBoxHot) PostMessageA(top->handle, WM_NCMOUSEMOVE, HTCLIENT, MAKELPARAM(s.cursor.x, s.cursor.y));
        target = ChildFromSurfacePoint(*top, sx, sy);
    }
    Window* t = Find(target);
    if (!t) return;
    if (!IsWindowEnabled(target)) return;
    if (down && GetActiveWindow() != top->handle) {
        if (Window* targetTop = TopLevelOf(target)) SetActiveWindow(targetTop->handle);
    }
    const POINT o = ClientOriginOnSurface(*t);
    // With capture, the point may lie in another top-level window; map through the screen.
    POINT client{s.cursor.x, s.cursor.y};
    if (Window* targetTop = TopLevelOf(target)) {
        client.x -= targetTop->rect.left + o.x;
        client.y -= targetTop->rect.top + o.y;
    }
    UINT message = WM_MOUSEMOVE;
    if (down) {
        const bool dbl = ev.clicks >= 2 && t->classProc && WantsDoubleClicks(*t);
        if (left) message = dbl ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN;
        else if (right) message = WM_RBUTTONDOWN;
        else return;
    } else if (up) {
        if (left) message = WM_LBUTTONUP;
        else if (right) message = WM_RBUTTONUP;
        else return;
    }
    PostMessageA(target, message, MouseKeyFlags(), MAKELPARAM(client.x, client.y));
}

void HandleKey(const display::Event& ev) {
    MessageState& s = State();
    const bool down = ev.type == display::EventType::KeyDown;
    if (down) s.keysDown.insert(ev.vk);
    else s.keysDown.erase(ev.vk);
    // Modifier state follows what the display says, whatever was missed while unfocused.
    auto sync = [&](UINT vk, bool held) {
        if (held) s.keysDown.insert(vk);
        else if (vk != ev.vk || !down) s.keysDown.erase(vk);
    };
    sync(VK_SHIFT, ev.shift);
    sync(VK_CONTROL, ev.ctrl);
    sync(VK_MENU, ev.alt);
    HWND target = GetFocus();
    if (!target) target = GetActiveWindow();
    if (!target) return;
    if (Window* top = TopLevelOf(target); !top || (top->style & WS_DISABLED)) return;
    const bool system = ev.alt || ev.vk == VK_F10;
    UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    LPARAM lp = 1;
    if (ev.alt) lp |= 1 << 29;
    if (ev.repeat) lp |= 1 << 30;
    if (!down) lp |= static_cast<LPARAM>(3) << 30;
    PostMessageA(target, message, ev.vk, lp);
}

void HandleText(const display::Event& ev) {
    HWND target = GetFocus();
    if (!target) return;
    if (Window* top = TopLevelOf(target); !top || (top->style & WS_DISABLED)) return;
    for (char32_t c : DecodeUtf8(ev.text)) {
        if (c < 0x20 || c == 0x7F) continue;  // control characters come from the keys themselves
        PostMessageA(target, WM_CHAR, static_cast<WPARAM>(c), 1);
    }
}

void HandleComposition(const display::Event& ev) {
    MessageState& s = State();
    HWND target = GetFocus();
    const bool was = !s.composition.empty();
    s.composition = DecodeUtf8(ev.text);
    s.compositionCursor = ev.compositionCursor;
    if (!target) return;
    if (!was && !s.composition.empty()) PostMessageA(target, WM_IME_STARTCOMPOSITION, 0, 0);
    PostMessageA(target, WM_IME_COMPOSITION, 0, 0);
    if (was && s.composition.empty()) PostMessageA(target, WM_IME_ENDCOMPOSITION, 0, 0);
}

void TranslateDisplayEvent(const display::Event& ev) {
    using display::EventType;
    switch (ev.type) {
        case EventType::MouseMove:
        case EventType::MouseDown:
        case EventType::MouseUp:
        case EventType::MouseWheel: HandleMouse(ev); break;
        case EventType::KeyDown:
        case EventType::KeyUp: HandleKey(ev); break;
        case EventType::Text: HandleText(ev); break;
        case EventType::Composition: HandleComposition(ev); break;
        case EventType::CloseRequested:
            if (Window* top = TopLevelByNative(ev.window)) {
                if (top->style & WS_DISABLED) {
                    if (HWND popup = EnabledPopupOf(top->handle)) SetActiveWindow(popup);
                } else {
                    PostMessageA(top->handle, WM_SYSCOMMAND, SC_CLOSE, 0);
                }
            }
            break;
        case EventType::Moved:
            if (Window* top = TopLevelByNative(ev.window)) {
                const int w = top->rect.right - top->rect.left;
                const int h = top->rect.bottom - top->rect.top;
                top->rect = RECT{ev.x, ev.y, ev.x + w, ev.y + h};
            }
            break;
        case EventType::Exposed:
            if (Window* top = TopLevelByNative(ev.window)) {
                MarkDirty(*top, RECT{0, 0, top->surface->Width(), top->surface->Height()});
            }
            break;
        case EventType::FocusGained:
            if (Window* top = TopLevelByNative(ev.window)) {
                if (top->style & WS_DISABLED) {
                    if (HWND popup = EnabledPopupOf(top->handle)) SetActiveWindow(popup);
                } else if (GetActiveWindow() != top->handle) {
                    SetActiveWindow(top->handle);
                }
            }
            break;
        case EventType::FocusLost: State().keysDown.clear(); break;
        case EventType::Quit: PostQuitMessage(0); break;
    }
}

int NextTimerTimeout() {
    MessageState& s = State();
    if (s.timers.empty()) return -1;
    const std::uint64_t now = Now();
    std::uint64_t due = s.timers.front().due;
    for (const Timer& t : s.timers) due = std::min(due, t.due);
    return due <= now ? 0 : static_cast<int>(std::min<std::uint64_t>(due - now, 1000000));
}

void PostDueTimers() {
    MessageState& s = State();
    const std::uint64_t now = Now();
    for (Timer& t : s.timers) {
        if (t.due > now) continue;
        t.due = now + t.interval;
        // One WM_TIMER at a time per timer, as the platform coalesces them.
        bool queued = std::any_of(s.queue.begin(), s.queue.end(), [&](const MSG& m) {
            return m.message == WM_TIMER && m.hwnd == t.hwnd && m.wParam == t.id;
        });
        if (!queued) PostMessageA(t.hwnd, WM_TIMER, t.id, 0);
    }
}

}  // namespace

bool WantsDoubleClicks(const Window& w) { return w.className == "Edit" || w.className == "#32770"; }

std::u32string CurrentComposition(int* cursor) {
    if (cursor) *cursor = State().compositionCursor;
    return State().composition;
}

LRESULT CallClassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Find(hwnd);
    if (!w) return 0;
    if (w->classProc) return w->classProc->Proc(hwnd, message, wParam, lParam);
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT Deliver(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Find(hwnd);
    if (!w) return 0;
    if (message != WM_PAINT) {
        if (w->attached) return w->attached->DispatchFromWindowManager(message, wParam, lParam);
        return CallClassProc(hwnd, message, wParam, lParam);
    }
    // A paint handler that throws loses its pass: the window is validated and nothing is shown,
    // so the paint isn't retried until the window is invalidated again.
    struct PaintScope {
        HWND hwnd;
        explicit PaintScope(HWND h) : hwnd(h) { Find(h)->inPaint = true; }
        ~PaintScope() {
            if (Window* w = Find(hwnd)) w->inPaint = false;
        }
    } scope(hwnd);
    try {
        if (w->attached) return w->attached->DispatchFromWindowManager(message, wParam, lParam);
        return CallClassProc(hwnd, message, wParam, lParam);
    } catch (...) {
        ValidateRect(hwnd, nullptr);
        return 0;
    }
}

bool NextMessage(MSG& msg, bool wait) {
    MessageState& s = State();
    for (;;) {
        if (!s.queue.empty()) {
            msg = s.queue.front();
            s.queue.pop_front();
            return true;
        }
        if (s.quitPosted) {
            msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(s.quitCode), 0, 0, {}};
            return true;
        }
        if (HWND hwnd = FindWindowToPaint()) {
            msg = MSG{hwnd, WM_PAINT, 0, 0, static_cast<DWORD>(Now()), s.cursor};
            return true;
        }
        PresentAll();
        display::Display* d = display::CurrentDisplay();
        if (!d || s.exhausted) {
            s.exhausted = true;
            PostQuitMessage(0);
            continue;
        }
        display::Event ev;
        const int timeout = wait ? NextTimerTimeout() : 0;
        switch (d->WaitEvent(ev, timeout)) {
            case display::Display::WaitResult::Event: TranslateDisplayEvent(ev); break;
            case display::Display::WaitResult::Timeout:
                PostDueTimers();
                if (!wait && s.queue.empty()) return false;
                break;
            case display::Display::WaitResult::Exhausted:
                s.exhausted = true;
                PostQuitMessage(0);
                break;
        }
    }
}

void RunModalLoop(HWND dialog, const std::function<bool()>& done) {
    MessageState& s = State();
    ++s.modalDepth;
    MSG msg;
    while (!done()) {
        if (!NextMessage(msg, true)) break;
        if (msg.message == WM_QUIT) {
            break;  // the quit stays posted, so every enclosing loop ends too
        }
        if (FilterDialogMessage(dialog, msg)) continue;
        if (!IsDialogMessageA(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    --s.modalDepth;
}

bool KeyIsDown(UINT vk) { return State().keysDown.count(vk) != 0; }

void ResetMessageState() {
    MessageState& s = State();
    s = MessageState{};
}

}  // namespace platform::win

using namespace platform;
using namespace platform::win;

LRESULT SendMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) { return Deliver(hwnd, message, wParam, lParam); }

BOOL PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (hwnd && !Find(hwnd)) return FALSE;
    State().queue.push_back(MSG{hwnd, message, wParam, lParam, static_cast<DWORD>(Now()), State().cursor});
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    State().quitPosted = true;
    State().quitCode = exitCode;
}

BOOL GetMessageA(MSG* msg, HWND, UINT, UINT) {
    if (!msg) return FALSE;
    NextMessage(*msg, true);
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL TranslateMessage(const MSG* msg) {
    if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) return FALSE;
    WPARAM ch = 0;
    switch (msg->wParam) {
        case VK_RETURN: ch = '\r'; break;
        case VK_BACK: ch = 8; break;
        case VK_TAB: ch = '\t'; break;
        case VK_ESCAPE: ch = 27; break;
        case VK_SPACE:
            if (msg->message == WM_SYSKEYDOWN) ch = ' ';
            break;
        default:
            if (msg->message == WM_SYSKEYDOWN && msg->wParam >= 'A' && msg->wParam <= 'Z') ch = msg->wParam + ('a' - 'A');
            break;
    }
    if (!ch) return FALSE;
    const UINT charMessage = msg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
    if (charMessage == WM_CHAR && ch == ' ') return FALSE;
    // The character comes right after its key, ahead of anything already queued.
    State().queue.push_front(MSG{msg->hwnd, charMessage, ch, msg->lParam, msg->time, msg->pt});
    return TRUE;
}

LRESULT DispatchMessageA(const MSG* msg) {
    if (!msg || !msg->hwnd) return 0;
    if (msg->message == WM_TIMER && msg->lParam) {
        auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
        proc(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
        return 0;
    }
    return Deliver(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC) {
    if (!Find(hwnd)) return 0;
    auto& timers = State().timers;
    const std::uint64_t due = Now() + elapse;
    for (Timer& t : timers) {
        if (t.hwnd == hwnd && t.id == id) {
            t.interval = elapse;
            t.due = due;
            return id;
        }
    }
    timers.push_back(Timer{hwnd, id, elapse, due});
    return id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
    auto& timers = State().timers;
    auto it = std::remove_if(timers.begin(), timers.end(), [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
    const bool found = it != timers.end();
    timers.erase(it, timers.end());
    auto& q = State().queue;
    q.erase(std::remove_if(q.begin(), q.end(), [&](const MSG& m) { return m.message == WM_TIMER && m.hwnd == hwnd && m.wParam == id; }),
            q.end());
    return found ? TRUE : FALSE;
}

DWORD GetTickCount() { return static_cast<DWORD>(Now()); }

short GetKeyState(int virtualKey) { return KeyIsDown(static_cast<UINT>(virtualKey)) ? static_cast<short>(0x8000) : 0; }

BOOL MessageBeep(UINT) {
    if (display::Display* d = display::CurrentDisplay()) d->Beep();
    return TRUE;
}

int GetSystemMetrics(int index) {
    switch (index) {
        case SM_CXSCREEN:
        case SM_CYSCREEN: {
            SIZE s{1024, 768};
            if (display::Display* d = display::CurrentDisplay()) s = d->ScreenSize();
            return index == SM_CXSCREEN ? s.cx : s.cy;
        }
        case SM_CYCAPTION: return kCaptionHeight + 1;
        case SM_CXDLGFRAME:
        case SM_CYDLGFRAME: return kDialogFrame;
        case SM_CXICON:
        case SM_CYICON: return 32;
        case SM_CXSMICON:
        case SM_CYSMICON: return 16;
        default: return 0;
    }
}

LRESULT DefWindowProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Find(hwnd);
    if (!w) return 0;
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(hwnd, &ps);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_ERASEBKGND: {
            RECT client;
            GetClientRect(hwnd, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
            return 1;
        }
        case WM_NCPAINT: PaintChildBorder(*w); return 0;
        case WM_NCHITTEST: return HTCLIENT;
        case WM_SETTEXT: {
            const char* text = reinterpret_cast<const char*>(lParam);
            SetWindowTextU32(hwnd, DecodeCp932(text ? text : ""));
            if (!w->IsTopLevel()) InvalidateRect(hwnd, nullptr, TRUE);
            return TRUE;
        }
        case WM_GETTEXT: {
            char* buffer = reinterpret_cast<char*>(lParam);
            const int size = static_cast<int>(wParam);
            if (!buffer || size <= 0) return 0;
            return CopyTextOut(EncodeCp932(w->text), buffer, size);
        }
        case WM_GETTEXTLENGTH: return static_cast<LRESULT>(EncodeCp932(w->text).size());
        case WM_SETFONT:
            w->font = reinterpret_cast<HFONT>(wParam);
            if (LOWORD(static_cast<WPARAM>(lParam))) InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        case WM_GETFONT: return reinterpret_cast<LRESULT>(w->font);
        case WM_SETICON: {
            HICON icon = reinterpret_cast<HICON>(lParam);
            HICON old;
            if (wParam == ICON_BIG) {
                old = std::exchange(w->iconBig, icon);
            } else {
                old = std::exchange(w->iconSmall, icon);
            }
            if (w->IsTopLevel()) {
                w->nonClientPending = true;
                MarkDirty(*w, RECT{0, 0, w->surface->Width(), w->clientInset.top});
                UpdateNativeIcon(*w);
            }
            return reinterpret_cast<LRESULT>(old);
        }
        case WM_GETICON: return reinterpret_cast<LRESULT>(wParam == ICON_BIG ? w->iconBig : w->iconSmall);
        case WM_CLOSE: DestroyWindow(hwnd); return 0;
        case WM_SYSCOMMAND: return DefaultSystemCommand(hwnd, static_cast<UINT>(wParam & 0xFFF0), lParam);
        case WM_SYSKEYDOWN:
            if (wParam == VK_F4 && (lParam & (1 << 29))) {
                HWND top = TopLevelOf(hwnd) ? TopLevelOf(hwnd)->handle : hwnd;
                PostMessageA(top, WM_SYSCOMMAND, SC_CLOSE, 0);
            }
            return 0;
        case WM_SYSCHAR:
            if (wParam == ' ') {
                HWND top = TopLevelOf(hwnd) ? TopLevelOf(hwnd)->handle : hwnd;
                PostMessageA(top, WM_SYSCOMMAND, SC_KEYMENU, ' ');
            }
            return 0;
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONUP:
        case WM_NCRBUTTONUP:
        case WM_NCRBUTTONDOWN:
        case WM_NCMOUSEMOVE: return NonClientMouse(hwnd, message, wParam, lParam);
        case WM_RBUTTONUP: {
            POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ClientToScreen(hwnd, &p);
            SendMessageA(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(p.x, p.y));
            return 0;
        }
        case WM_CONTEXTMENU:
            if (w->parent && !(w->style & WS_POPUP)) return SendMessageA(w->parent, WM_CONTEXTMENU, wParam, lParam);
            return 0;
        case WM_QUERYDRAGICON: return 0;
        case WM_GETDLGCODE: return 0;
        default: return 0;
    }
}
