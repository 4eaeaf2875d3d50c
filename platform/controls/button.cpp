// Push buttons: pressed by the mouse (a click when released over the button) or by Space, with
// the 3-D face, the focus rectangle and the default button's frame.
#include <algorithm>

#include "platform/controls/controls.h"
#include "platform/controls/paint_util.h"
#include "platform/gdi/gdi_internal.h"
#include "platform/windows/window_internal.h"

namespace platform::controls {

namespace {

class ButtonClass : public win::WindowClass {
public:
    LRESULT Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case WM_GETDLGCODE:
                return DLGC_BUTTON | (IsDefault(hwnd) ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
            case WM_LBUTTONDOWN:
            case WM_LBUTTONDBLCLK:
                SetFocus(hwnd);
                SetCapture(hwnd);
                tracking_ = true;
                SetPressed(hwnd, true);
                return 0;
            case WM_MOUSEMOVE:
                if (tracking_) SetPressed(hwnd, Inside(hwnd, lParam));
                return 0;
            case WM_LBUTTONUP: {
                if (!tracking_) return 0;
                const bool inside = Inside(hwnd, lParam);
                tracking_ = false;
                ReleaseCapture();
                SetPressed(hwnd, false);
                if (inside) Click(hwnd);
                return 0;
            }
            case WM_CAPTURECHANGED:
                if (tracking_) {
                    tracking_ = false;
                    SetPressed(hwnd, false);
                }
                return 0;
            case WM_KEYDOWN:
                if (wParam == VK_SPACE && !(lParam & (1 << 30))) {
                    spaceDown_ = true;
                    SetPressed(hwnd, true);
                }
                return 0;
            case WM_KEYUP:
                if (wParam == VK_SPACE && spaceDown_) {
                    spaceDown_ = false;
                    SetPressed(hwnd, false);
                    Click(hwnd);
                }
                return 0;
            case WM_KILLFOCUS:
                spaceDown_ = false;
                if (!tracking_) SetPressed(hwnd, false);
                InvalidateRect(hwnd, nullptr, FALSE);
                return 0;
            case WM_SETFOCUS:
                InvalidateRect(hwnd, nullptr, FALSE);
                return 0;
            case BM_CLICK: Click(hwnd); return 0;
            case BM_GETSTATE: return pressed_ ? 0x0004 : 0;
            case BM_SETSTATE: SetPressed(hwnd, wParam != 0); return 0;
            case WM_ERASEBKGND: return 1;
            case WM_PAINT: Paint(hwnd); return 0;
            case WM_SETTEXT: {
                LRESULT r = DefWindowProcA(hwnd, message, wParam, lParam);
                InvalidateRect(hwnd, nullptr, FALSE);
                return r;
            }
            default: return DefWindowProcA(hwnd, message, wParam, lParam);
        }
    }

private:
    static bool IsDefault(HWND hwnd) { return (GetWindowLongA(hwnd, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON; }

    static bool Inside(HWND hwnd, LPARAM lParam) {
        RECT r;
        GetClientRect(hwnd, &r);
        return RectContains(r, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    }

    void SetPressed(HWND hwnd, bool pressed) {
        if (pressed_ == pressed) return;
        pressed_ = pressed;
        InvalidateRect(hwnd, nullptr, FALSE);
    }

    static void Click(HWND hwnd) {
        HWND parent = GetParent(hwnd);
        SendMessageA(parent, WM_COMMAND, MAKELONG(static_cast<WORD>(GetDlgCtrlID(hwnd)), BN_CLICKED),
                     reinterpret_cast<LPARAM>(hwnd));
    }

    void Paint(HWND hwnd) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT r;
        GetClientRect(hwnd, &r);
        const bool focused = GetFocus() == hwnd;
        // The focused button shows as the default one, as the dialog manager moves the frame.
        const bool framed = focused || (IsDefault(hwnd) && !FocusIsOnPushButton(hwnd));
        FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
        RECT face = r;
        if (framed) {
            FrameRectColor(dc, face, GetSysColor(COLOR_WINDOWFRAME));
            face = RECT{face.left + 1, face.top + 1, face.right - 1, face.bottom - 1};
        }
        if (pressed_) {
            FrameRectColor(dc, face, GetSysColor(COLOR_BTNSHADOW));
        } else {
            DrawEdge3D(dc, face, false);
        }
        const bool enabled = IsWindowEnabled(hwnd);
        RECT text = face;
        if (pressed_) text = RectOffset(text, 1, 1);
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0)));
        SetBkMode(dc, TRANSPARENT);
        const std::u32string label = win::WindowText(hwnd);
        if (!enabled) {
            SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
            RECT shadow = RectOffset(text, 1, 1);
            gdi::DrawTextU32(dc, label, &shadow, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
        SetTextColor(dc, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
        gdi::DrawTextU32(dc, label, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        if (focused) {
            DrawFocusRectangle(dc, RECT{face.left + 3, face.top + 3, face.right - 3, face.bottom - 3});
        }
        EndPaint(hwnd, &ps);
    }

    static bool FocusIsOnPushButton(HWND self) {
        HWND focus = GetFocus();
        if (!focus || focus == self || GetParent(focus) != GetParent(self)) return false;
        return (SendMessageA(focus, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
    }

    bool pressed_ = false;
    bool tracking_ = false;
    bool spaceDown_ = false;
};

}  // namespace

std::unique_ptr<win::WindowClass> CreateButtonClass() { return std::make_unique<ButtonClass>(); }

}  // namespace platform::controls
