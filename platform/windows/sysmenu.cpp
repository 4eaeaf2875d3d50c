// The system menu's popup and the keyboard move it offers.
#include "platform/windows/sysmenu.h"

#include <algorithm>

#include "platform/windows/menu_internal.h"
#include "platform/windows/popup_menu.h"
#include "platform/windows/window_internal.h"

namespace platform::win {

void ShowSystemMenu(HWND hwnd, bool fromKeyboard, int screenX, int screenY) {
    Window* w = Find(hwnd);
    if (!w || !w->IsTopLevel() || !(w->style & WS_SYSMENU) || (w->style & WS_DISABLED)) return;
    Menu* menu = FindMenu(GetSystemMenu(hwnd, FALSE));
    if (!menu) return;
    if (screenX < 0 || screenY < 0) {
        // Below the caption's icon.
        screenX = w->rect.left + kDialogFrame;
        screenY = w->rect.top + kDialogFrame + kCaptionHeight;
    }
    const std::vector<MenuItem> items = menu->items;
    const UINT chosen = RunPopupMenu(hwnd, items, screenX, screenY, fromKeyboard);
    if (chosen && IsWindow(hwnd)) PostMessageA(hwnd, WM_SYSCOMMAND, chosen, 0);
}

void RunKeyboardMove(HWND hwnd) {
    Window* w = Find(hwnd);
    if (!w || !w->IsTopLevel()) return;
    const RECT start = w->rect;
    const int width = start.right - start.left;
    const int height = start.bottom - start.top;
    const int screenW = GetSystemMetrics(SM_CXSCREEN);
    const int screenH = GetSystemMetrics(SM_CYSCREEN);
    int x = start.left;
    int y = start.top;
    MSG msg;
    bool done = false;
    while (!done) {
        if (!NextMessage(msg, true) || msg.message == WM_QUIT || !IsWindow(hwnd)) break;
        if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
            // Each arrow moves the window a step; the caption stays on the screen.
            const int step = GetKeyState(VK_CONTROL) < 0 ? 1 : 8;
            switch (msg.wParam) {
                case VK_LEFT: x -= step; break;
                case VK_RIGHT: x += step; break;
                case VK_UP: y -= step; break;
                case VK_DOWN: y += step; break;
                case VK_RETURN: done = true; continue;
                case VK_ESCAPE:
                    x = start.left;
                    y = start.top;
                    done = true;
                    break;
                default: continue;
            }
            x = std::max(-width + 40, std::min(x, screenW - 40));
            y = std::max(0, std::min(y, screenH - kCaptionHeight));
            MoveWindow(hwnd, x, y, width, height, FALSE);
            continue;
        }
        if (msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP || msg.message == WM_CHAR || msg.message == WM_SYSCHAR) continue;
        if (msg.message == WM_LBUTTONDOWN || msg.message == WM_NCLBUTTONDOWN) {
            done = true;
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (IsWindow(hwnd)) MoveWindow(hwnd, x, y, width, height, FALSE);
}

}  // namespace platform::win
