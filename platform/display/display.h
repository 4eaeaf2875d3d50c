// The display: native windows that present the layer's surfaces, and the input that comes from
// them. Two backends implement it: SDL (a real desktop) and headless (memory, for tests).
//
// Every coordinate here is in 96-DPI pixels; a backend that shows the surfaces bigger (HiDPI)
// scales on its own side.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/base/windef.h"
#include "platform/gdi/surface.h"

namespace platform::display {

using NativeId = std::uint32_t;

enum class HitArea { Client, Caption, Button };

struct NativeWindowParams {
    std::string titleUtf8;
    RECT frame{};  // screen rectangle of the whole window, caption and border included
    bool taskbarEntry = false;
    bool takesFocus = true;  // false for menus, which leave the keyboard where it was
    NativeId owner = 0;
    // Which parts of the window move it when dragged; asked by the backend in window pixels.
    std::function<HitArea(int x, int y)> hitTest;
};

enum class EventType {
    MouseMove,
    MouseDown,
    MouseUp,
    MouseWheel,
    KeyDown,
    KeyUp,
    Text,         // committed text (typed or from the input method), UTF-8
    Composition,  // the input method's composition string, UTF-8; empty ends it
    CloseRequested,
    Moved,
    Exposed,
    FocusGained,
    FocusLost,
    Quit,
};

enum class MouseButton { Left = 1, Middle = 2, Right = 3 };

struct Event {
    EventType type = EventType::MouseMove;
    NativeId window = 0;
    int x = 0;  // window pixels for mouse events; screen position for Moved
    int y = 0;
    MouseButton button = MouseButton::Left;
    int clicks = 1;
    int wheel = 0;  // positive away from the user
    UINT vk = 0;
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
    bool repeat = false;
    std::string text;
    int compositionCursor = 0;
};

class Display {
public:
    virtual ~Display() = default;

    virtual NativeId CreateNativeWindow(const NativeWindowParams& params) = 0;
    virtual void DestroyNativeWindow(NativeId id) = 0;
    virtual void ShowNativeWindow(NativeId id, bool show) = 0;
    virtual void MoveNativeWindow(NativeId id, int x, int y) = 0;
    virtual void SetTitle(NativeId id, const std::string& titleUtf8) = 0;
    virtual void SetIcon(NativeId id, const Surface& icon) = 0;
    virtual void Raise(NativeId id) = 0;
    // Shows the surface in the window; `dirty` is the part that changed since the last call.
    virtual void Present(NativeId id, const Surface& surface, const RECT& dirty) = 0;

    // Waits for the next event, at most `timeoutMs` milliseconds (negative: no limit).
    // Exhausted means no event will ever come (the headless script ran out); the message loop
    // then ends every modal loop.
    enum class WaitResult { Event, Timeout, Exhausted };
    virtual WaitResult WaitEvent(Event& event, int timeoutMs) = 0;
    // Milliseconds since some fixed point; the headless backend keeps a clock of its own.
    virtual std::uint64_t NowMs() = 0;

    virtual SIZE ScreenSize() = 0;
    virtual std::optional<std::string> ClipboardText() = 0;
    virtual void SetClipboardText(const std::string& utf8) = 0;
    virtual void StartTextInput(NativeId id, const RECT& caret) = 0;
    virtual void StopTextInput() = 0;
    virtual void Beep() = 0;
};

// The display in use. The program's entry installs the SDL backend; tests install the headless one.
Display* CurrentDisplay();
void InstallDisplay(std::unique_ptr<Display> display);
std::unique_ptr<Display> RemoveDisplay();

// Opens the SDL backend; on failure returns null and puts the cause into `error`.
std::unique_ptr<Display> OpenSdlDisplay(std::string& error);

}  // namespace platform::display
