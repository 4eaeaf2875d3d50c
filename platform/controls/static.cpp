// Static controls: texts, frames and icons. Without the notify style they let the mouse through
// to the window below.
#include <string>

#include "platform/controls/controls.h"
#include "platform/controls/paint_util.h"
#include "platform/gdi/gdi_internal.h"
#include "platform/windows/window_internal.h"

namespace platform::controls {

namespace {

class StaticClass : public win::WindowClass {
public:
    LRESULT Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        const DWORD style = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE));
        switch (message) {
            case WM_CREATE:
                if ((style & SS_TYPEMASK) == SS_ICON) {
                    const std::u32string text = win::WindowText(hwnd);
                    if (text.size() > 1 && text[0] == U'#') {
                        int id = 0;
                        for (std::size_t i = 1; i < text.size() && text[i] >= U'0' && text[i] <= U'9' && id < 65536; ++i) {
                            id = id * 10 + static_cast<int>(text[i] - U'0');
                        }
                        icon_ = LoadIconA(nullptr, id);
                    }
                }
                return 0;
            case WM_NCHITTEST: return (style & SS_NOTIFY) ? HTCLIENT : HTTRANSPARENT;
            case WM_LBUTTONDOWN:
                if (style & SS_NOTIFY) {
                    SendMessageA(GetParent(hwnd), WM_COMMAND, MAKELONG(static_cast<WORD>(GetDlgCtrlID(hwnd)), STN_CLICKED),
                                 reinterpret_cast<LPARAM>(hwnd));
                }
                return 0;
            case WM_GETDLGCODE: return DLGC_STATIC;
            case STM_SETICON: {
                HICON old = icon_;
                icon_ = reinterpret_cast<HICON>(wParam);
                InvalidateRect(hwnd, nullptr, TRUE);
                return reinterpret_cast<LRESULT>(old);
            }
            case WM_ERASEBKGND: return 1;
            case WM_PAINT: Paint(hwnd, style); return 0;
            case WM_SETTEXT: {
                LRESULT r = DefWindowProcA(hwnd, message, wParam, lParam);
                InvalidateRect(hwnd, nullptr, TRUE);
                return r;
            }
            default: return DefWindowProcA(hwnd, message, wParam, lParam);
        }
    }

private:
    void Paint(HWND hwnd, DWORD style) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT r;
        GetClientRect(hwnd, &r);
        switch (style & SS_TYPEMASK) {
            case SS_BLACKFRAME:
                // A frame only: what lies inside is left as it is.
                FrameRectColor(dc, r, GetSysColor(COLOR_WINDOWFRAME));
                break;
            case SS_ICON:
                FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
                if (icon_) DrawIcon(dc, 0, 0, icon_);
                break;
            default: {
                FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
                SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0)));
                SetBkMode(dc, TRANSPARENT);
                SetTextColor(dc, GetSysColor(IsWindowEnabled(hwnd) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
                UINT format = DT_LEFT | DT_WORDBREAK;
                // A label one line high stays on its line: a second line would be cut off
                // entirely, while a line a little too long for the substitute face loses only
                // its last pixels.
                TEXTMETRICA tm{};
                GetTextMetricsA(dc, &tm);
                if (tm.tmHeight > 0 && r.bottom < 2 * tm.tmHeight) format = DT_LEFT | DT_SINGLELINE;
                if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
                gdi::DrawTextU32(dc, win::WindowText(hwnd), &r, format);
                break;
            }
        }
        EndPaint(hwnd, &ps);
    }

    HICON icon_ = nullptr;
};

}  // namespace

std::unique_ptr<win::WindowClass> CreateStaticClass() { return std::make_unique<StaticClass>(); }

std::unique_ptr<win::WindowClass> CreateControlClass(std::string_view className, DWORD style) {
    if (className == "Button") return CreateButtonClass();
    if (className == "Static") return CreateStaticClass();
    if (className == "Edit") return CreateEditClass(style);
    return nullptr;
}

}  // namespace platform::controls

HWND GetParentDialog(HWND control) {
    HWND parent = GetParent(control);
    while (parent && (GetWindowLongA(parent, GWL_STYLE) & WS_CHILD)) parent = GetParent(parent);
    return parent;
}
