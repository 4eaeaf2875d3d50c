// Shared steps of the page, lettering and snapshot tests: painting the frame a known colour,
// asking the editor for a repaint, sending its commands and looking for the dark pixels that
// lettering leaves in the frame.
#pragma once

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "editor/lettering_dlg.h"
#include "platform/windows/window_internal.h"
#include "res/resource.h"
#include "tests/support/headless_app.h"

namespace komalore_test {

// A colour no page of these tests uses, so that a frame pixel still holding it was not drawn.
constexpr platform::Pixel kCanvas = platform::PixelFromRgb(151, 202, 253);
constexpr platform::Pixel kWhite = platform::PixelFromRgb(255, 255, 255);

inline platform::Pixel Rgb(platform::Pixel p) { return p & 0xFFFFFF; }

inline SIZE ClientSize(HWND hwnd) {
    RECT r{};
    GetClientRect(hwnd, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

// Paints the whole client area of a window with one colour, outside any paint pass.
inline void FillClient(HWND hwnd, platform::Pixel colour) {
    HDC dc = GetDC(hwnd);
    RECT r{};
    GetClientRect(hwnd, &r);
    HBRUSH brush = CreateSolidBrush(RGB(platform::PixelRed(colour), platform::PixelGreen(colour), platform::PixelBlue(colour)));
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    ReleaseDC(hwnd, dc);
}

// A step that queues no input is followed at once by the next step, before any paint; a mouse
// move over an empty corner of the editor lets the program paint between the two.
inline void LetPaintsRun(HeadlessApp& app) {
    platform::win::Window* top = platform::win::Find(app.EditorWindow());
    if (!top) return;
    const SIZE size = ClientSize(app.EditorWindow());
    const POINT origin = platform::win::ClientOriginOnSurface(*top);
    platform::display::Event e;
    e.type = platform::display::EventType::MouseMove;
    e.window = top->native;
    e.x = origin.x + size.cx - 2;
    e.y = origin.y + size.cy - 2;
    app.Display().Push(e);
}

// The program's own repaint request: the whole editor, not erased.
inline void Repaint(HeadlessApp& app) {
    InvalidateRect(app.EditorWindow(), nullptr, FALSE);
    LetPaintsRun(app);
}

inline void SendCommand(HeadlessApp& app, int id) {
    SendMessageA(app.EditorWindow(), WM_COMMAND, static_cast<WPARAM>(MAKELONG(id, BN_CLICKED)), reinterpret_cast<LPARAM>(app.Control(id)));
    LetPaintsRun(app);
}

inline int CountTopLevel(const std::string& captionUtf8) {
    int count = 0;
    for (HWND hwnd : platform::win::AllWindows()) {
        platform::win::Window* w = platform::win::Find(hwnd);
        if (w && IsWindow(hwnd) && w->IsTopLevel() && w->className == "#32770" && HeadlessApp::Text(hwnd) == captionUtf8) ++count;
    }
    return count;
}

inline bool IsDark(platform::Pixel p) {
    return platform::PixelRed(p) < 128 && platform::PixelGreen(p) < 128 && platform::PixelBlue(p) < 128;
}

// The frame's own black border lies on its outermost pixels; these tests look inside it.
struct DarkPixels {
    int count = 0;
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;  // inclusive
    std::vector<int> rows;  // rows holding at least one dark pixel, top to bottom
};

inline DarkPixels FindDarkPixels(HWND frame) {
    const SIZE size = ClientSize(frame);
    DarkPixels dark;
    for (int y = 1; y < size.cy - 1; ++y) {
        bool rowHasDark = false;
        for (int x = 1; x < size.cx - 1; ++x) {
            if (!IsDark(HeadlessApp::PixelAt(frame, x, y))) continue;
            ++dark.count;
            rowHasDark = true;
            dark.left = std::min(dark.left, x);
            dark.right = std::max(dark.right, x);
            dark.top = std::min(dark.top, y);
            dark.bottom = std::max(dark.bottom, y);
        }
        if (rowHasDark) dark.rows.push_back(y);
    }
    return dark;
}

// The first row of each band of consecutive dark rows.
inline std::vector<int> BandStarts(const std::vector<int>& rows) {
    std::vector<int> starts;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i == 0 || rows[i] != rows[i - 1] + 1) starts.push_back(rows[i]);
    }
    return starts;
}

}  // namespace komalore_test
