// Runs the program's application object on the headless display, with a script of steps that
// the test gives: each step runs when the program waits for input, sees the program's windows
// and state, and queues input for it.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "app/lettering_app.h"
#include "editor/lettering_dlg.h"
#include "platform/display/headless/headless_display.h"
#include "platform/windows/window_internal.h"

namespace komalore_test {

namespace fs = std::filesystem;

// A drive folder of its own for one test.
class TemporaryDrive {
public:
    TemporaryDrive();
    ~TemporaryDrive();
    const fs::path& Path() const { return path_; }
    void Write(const std::string& name, const std::string& bytes) const;
    std::string Read(const std::string& name) const;

private:
    fs::path path_;
};

class HeadlessApp {
public:
    HeadlessApp();
    ~HeadlessApp();

    platform::display::HeadlessDisplay& Display() { return *display_; }
    // Adds a step to the script.
    HeadlessApp& Then(std::function<void()> step);
    // Runs InitInstance to its end, as the program's entry does; returns its result.
    BOOL Run();

    CLetteringDlg* Editor() const;
    HWND EditorWindow() const;
    HWND Control(int id) const { return GetDlgItem(EditorWindow(), id); }

    // Input, queued for the program; coordinates are a window's client coordinates.
    void Click(HWND hwnd, int x, int y, platform::display::MouseButton button = platform::display::MouseButton::Left);
    void MouseDown(HWND hwnd, int x, int y);
    void MouseUp(HWND hwnd, int x, int y);
    void ClickCenter(HWND hwnd);
    // A click on the close box at the right end of a top-level window's caption.
    void ClickCloseBox(HWND topLevel);
    void Key(UINT vk, bool shift = false, bool ctrl = false, bool alt = false);
    void Type(const std::string& utf8);

    // The text of a window in UTF-8.
    static std::string Text(HWND hwnd);
    // The newest top-level window of the dialog class with this caption (UTF-8), or null.
    static HWND FindTopLevel(const std::string& captionUtf8);
    // The top-level surface pixel under a window's client point.
    static platform::Pixel PixelAt(HWND hwnd, int x, int y);

private:
    void QueueMouse(HWND hwnd, int x, int y, platform::display::EventType type, platform::display::MouseButton button);

    CLetteringApp app_;
    platform::display::HeadlessDisplay* display_ = nullptr;
};

}  // namespace komalore_test
