// The window manager's own records: the window tree, the message queue and the input state.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/display/display.h"
#include "platform/gdi/region.h"
#include "platform/gdi/surface.h"
#include "platform/windows/winuser.h"

class CWnd;

namespace platform::win {

// A window class's behaviour: the controls and the dialog manager implement it.
class WindowClass {
public:
    virtual ~WindowClass() = default;
    virtual LRESULT Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

// Frame metrics of the self-drawn non-client area, in pixels.
constexpr int kDialogFrame = 3;
constexpr int kCaptionHeight = 18;  // plus a one-pixel line below it
constexpr int kCaptionButtonWidth = 16;
constexpr int kCaptionButtonHeight = 14;

struct Window {
    HWND handle = nullptr;
    std::string className;
    DWORD style = 0;
    DWORD exStyle = 0;
    int id = 0;
    HWND parent = nullptr;  // children only
    HWND owner = nullptr;   // top-level windows only
    std::vector<HWND> children;  // in creation order, which is the z-order and the tab order

    RECT rect{};          // children: in the parent's client coordinates; top-level: on the screen
    RECT clientInset{};   // the non-client border on each side
    std::u32string text;

    Region update;        // in client coordinates
    bool erasePending = false;
    bool nonClientPending = false;

    std::unique_ptr<WindowClass> classProc;
    CWnd* attached = nullptr;               // the framework object that handles this window
    std::unique_ptr<CWnd> temporaryWrapper; // made when the framework asks for a window it doesn't own

    // Top-level windows.
    std::unique_ptr<Surface> surface;
    RECT dirty{};
    display::NativeId native = 0;
    HICON iconSmall = nullptr;
    HICON iconBig = nullptr;
    HMENU systemMenu = nullptr;
    bool closeBoxPressed = false;
    bool closeBoxHot = false;

    HFONT font = nullptr;
    bool destroying = false;
    bool inPaint = false;  // its WM_PAINT handler is running (and may be in a nested loop)

    int ClientWidth() const { return rect.right - rect.left - clientInset.left - clientInset.right; }
    int ClientHeight() const { return rect.bottom - rect.top - clientInset.top - clientInset.bottom; }
    bool IsTopLevel() const { return parent == nullptr; }
};

Window* Find(HWND hwnd);
Window* TopLevelOf(HWND hwnd);

struct CreateParams {
    std::string className;
    std::u32string text;
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT rect{};  // children: in the parent's client coordinates; top-level: client size at 0,0
    HWND parent = nullptr;
    HWND owner = nullptr;
    int id = 0;
    std::unique_ptr<WindowClass> classProc;
    HFONT font = nullptr;
};

// Creates the window and sends it WM_CREATE; top-level windows get a surface and a native
// window, shown when the style has WS_VISIBLE.
HWND CreateWindowFromParams(CreateParams params);

// The top-left of the window's client area on its top-level surface.
POINT ClientOriginOnSurface(const Window& w);
// The visible part of the window's client area on the surface (clipped by its parents).
RECT VisibleClientOnSurface(const Window& w);

// Unicode text of a window, without the code page edge.
std::u32string WindowText(HWND hwnd);
void SetWindowTextU32(HWND hwnd, std::u32string text);

// Dispatches one message to the window's handler, as a sent message.
LRESULT Deliver(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The non-client area of a top-level window: hit test and drawing.
LRESULT NonClientHitTest(const Window& w, int surfaceX, int surfaceY);
void PaintNonClient(Window& w);

// Marks part of a top-level surface as changed, so that the next presentation shows it.
void MarkDirty(Window& top, const RECT& surfaceRect);
void PresentAll();

// Runs a modal loop until `done` returns true or the display runs dry.
void RunModalLoop(HWND dialog, const std::function<bool()>& done);

// Every window in creation order (top-level windows and their descendants).
std::vector<HWND> AllWindows();

// The message loop.
bool NextMessage(MSG& msg, bool wait);
LRESULT CallClassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
bool WantsDoubleClicks(const Window& w);
bool KeyIsDown(UINT vk);
void ResetMessageState();
// The input method's composition string while one is open, and its cursor.
std::u32string CurrentComposition(int* cursor);
// The framework's look at each message of a modal loop before the dialog manager's (help key).
bool FilterDialogMessage(HWND dialog, const MSG& msg);

// Default handling pieces of DefWindowProc.
LRESULT DefaultSystemCommand(HWND hwnd, UINT command, LPARAM lParam);
LRESULT NonClientMouse(HWND hwnd, UINT message, WPARAM hit, LPARAM screenPoint);
void PaintChildBorder(Window& w);
void UpdateNativeIcon(Window& w);
// Copies text into a caller's buffer of `size` bytes, cut at a whole character and terminated.
LRESULT CopyTextOut(const std::string& cp932, char* buffer, int size);

}  // namespace platform::win
