// The SDL display: a borderless native window for each top-level window, input from the
// desktop (mouse, keyboard, the input method's text), the clipboard. On a high-density screen
// every surface is shown doubled (or more), so the program keeps seeing 96-DPI pixels.
#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>

#include "platform/display/display.h"

namespace platform::display {

namespace {

UINT VirtualKeyFromSdl(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return static_cast<UINT>('A' + (key - SDLK_a));
    if (key >= SDLK_0 && key <= SDLK_9) return static_cast<UINT>('0' + (key - SDLK_0));
    if (key >= SDLK_F1 && key <= SDLK_F12) return static_cast<UINT>(0x70 + (key - SDLK_F1));
    switch (key) {
        case SDLK_BACKSPACE: return VK_BACK;
        case SDLK_TAB: return VK_TAB;
        case SDLK_RETURN:
        case SDLK_KP_ENTER: return VK_RETURN;
        case SDLK_ESCAPE: return VK_ESCAPE;
        case SDLK_SPACE: return VK_SPACE;
        case SDLK_PAGEUP: return VK_PRIOR;
        case SDLK_PAGEDOWN: return VK_NEXT;
        case SDLK_END: return VK_END;
        case SDLK_HOME: return VK_HOME;
        case SDLK_LEFT: return VK_LEFT;
        case SDLK_UP: return VK_UP;
        case SDLK_RIGHT: return VK_RIGHT;
        case SDLK_DOWN: return VK_DOWN;
        case SDLK_INSERT: return VK_INSERT;
        case SDLK_DELETE: return VK_DELETE;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT: return VK_SHIFT;
        case SDLK_LCTRL:
        case SDLK_RCTRL: return VK_CONTROL;
        case SDLK_LALT:
        case SDLK_RALT: return VK_MENU;
        case SDLK_APPLICATION: return VK_APPS;
        default: return 0;
    }
}

struct SdlWindow {
    SDL_Window* window = nullptr;
    NativeWindowParams params;
    int x = 0;  // where the window belongs, in 96-DPI pixels
    int y = 0;
    Surface icon;
};

SDL_HitTestResult HitTest(SDL_Window*, const SDL_Point* area, void* data);

class SdlDisplay : public Display {
public:
    explicit SdlDisplay(int scale) : scale_(scale) {}

    ~SdlDisplay() override {
        for (auto& [id, w] : windows_) {
            if (w->window) SDL_DestroyWindow(w->window);
        }
        SDL_Quit();
    }

    NativeId CreateNativeWindow(const NativeWindowParams& params) override {
        // The native window is made when it is first shown, where the window then stands:
        // without a window manager, a window moved before it is mapped stays where it was made.
        auto record = std::make_unique<SdlWindow>();
        record->params = params;
        record->x = params.frame.left;
        record->y = params.frame.top;
        const NativeId id = nextId_++;
        windows_[id] = std::move(record);
        return id;
    }

    bool Realize(NativeId id, SdlWindow& w) {
        if (w.window) return true;
        Uint32 flags = SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN;
        if (!w.params.taskbarEntry) flags |= SDL_WINDOW_SKIP_TASKBAR;
        if (!w.params.takesFocus) flags |= SDL_WINDOW_POPUP_MENU | SDL_WINDOW_ALWAYS_ON_TOP;
        const int width = (w.params.frame.right - w.params.frame.left) * scale_;
        const int height = (w.params.frame.bottom - w.params.frame.top) * scale_;
        w.window = SDL_CreateWindow(w.params.titleUtf8.c_str(), w.x * scale_, w.y * scale_, width, height, flags);
        if (!w.window) return false;
        bySdlId_[SDL_GetWindowID(w.window)] = id;
        SDL_SetWindowHitTest(w.window, HitTest, this);
        if (w.icon.Width() > 0) ApplyIcon(w);
        return true;
    }

    void DestroyNativeWindow(NativeId id) override {
        auto it = windows_.find(id);
        if (it == windows_.end()) return;
        if (it->second->window) {
            bySdlId_.erase(SDL_GetWindowID(it->second->window));
            SDL_DestroyWindow(it->second->window);
        }
        windows_.erase(it);
    }

    void ShowNativeWindow(NativeId id, bool show) override {
        SdlWindow* w = Find(id);
        if (!w) return;
        if (show) {
            if (!Realize(id, *w)) return;
            SDL_ShowWindow(w->window);
            // Without a window manager, the position given at creation isn't always kept.
            SDL_SetWindowPosition(w->window, w->x * scale_, w->y * scale_);
            if (w->params.takesFocus) SDL_RaiseWindow(w->window);
        } else if (w->window) {
            SDL_HideWindow(w->window);
        }
    }

    void MoveNativeWindow(NativeId id, int x, int y) override {
        if (SdlWindow* w = Find(id)) {
            w->x = x;
            w->y = y;
            if (w->window) SDL_SetWindowPosition(w->window, x * scale_, y * scale_);
        }
    }

    void SetTitle(NativeId id, const std::string& titleUtf8) override {
        if (SdlWindow* w = Find(id)) {
            w->params.titleUtf8 = titleUtf8;
            if (w->window) SDL_SetWindowTitle(w->window, titleUtf8.c_str());
        }
    }

    void SetIcon(NativeId id, const Surface& icon) override {
        SdlWindow* w = Find(id);
        if (!w) return;
        w->icon = icon;
        if (w->window) ApplyIcon(*w);
    }

    void ApplyIcon(SdlWindow& w) {
        SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(w.icon.Data(), w.icon.Width(), w.icon.Height(), 32,
                                                            w.icon.Width() * 4, SDL_PIXELFORMAT_ARGB8888);
        if (!s) return;
        SDL_SetWindowIcon(w.window, s);
        SDL_FreeSurface(s);
    }

    void Raise(NativeId id) override {
        if (SdlWindow* w = Find(id); w && w->window) SDL_RaiseWindow(w->window);
    }

    void Present(NativeId id, const Surface& surface, const RECT& dirty) override {
        SdlWindow* w = Find(id);
        if (!w || !w->window) return;
        SDL_Surface* target = SDL_GetWindowSurface(w->window);
        if (!target) return;
        SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<Pixel*>(surface.Data()), surface.Width(),
                                                                 surface.Height(), 32, surface.Width() * 4,
                                                                 SDL_PIXELFORMAT_RGB888);
        if (!source) return;
        SDL_Rect src{dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top};
        SDL_Rect dst{src.x * scale_, src.y * scale_, src.w * scale_, src.h * scale_};
        if (scale_ == 1) SDL_BlitSurface(source, &src, target, &dst);
        else SDL_BlitScaled(source, &src, target, &dst);
        SDL_FreeSurface(source);
        SDL_UpdateWindowSurfaceRects(w->window, &dst, 1);
    }

    WaitResult WaitEvent(Event& event, int timeoutMs) override {
        for (;;) {
            SDL_Event e;
            const int got = timeoutMs < 0 ? SDL_WaitEvent(&e) : SDL_WaitEventTimeout(&e, timeoutMs);
            if (!got) return WaitResult::Timeout;
            if (Translate(e, event)) return WaitResult::Event;
        }
    }

    std::uint64_t NowMs() override { return SDL_GetTicks64(); }

    SIZE ScreenSize() override {
        SDL_Rect r;
        if (SDL_GetDisplayBounds(0, &r) != 0) return SIZE{1024, 768};
        return SIZE{r.w / scale_, r.h / scale_};
    }

    std::optional<std::string> ClipboardText() override {
        if (!SDL_HasClipboardText()) return std::nullopt;
        char* text = SDL_GetClipboardText();
        if (!text) return std::nullopt;
        std::string out(text);
        SDL_free(text);
        return out;
    }

    void SetClipboardText(const std::string& utf8) override { SDL_SetClipboardText(utf8.c_str()); }

    void StartTextInput(NativeId, const RECT& caret) override {
        SDL_Rect r{caret.left * scale_, caret.top * scale_, (caret.right - caret.left) * scale_, (caret.bottom - caret.top) * scale_};
        SDL_SetTextInputRect(&r);
        if (!SDL_IsTextInputActive()) SDL_StartTextInput();
    }

    void StopTextInput() override {
        if (SDL_IsTextInputActive()) SDL_StopTextInput();
    }

    void Beep() override {
        // No sound device is assumed; the window flashes instead.
        if (SDL_Window* focus = SDL_GetKeyboardFocus()) SDL_FlashWindow(focus, SDL_FLASH_BRIEFLY);
    }

    HitArea HitAt(SDL_Window* window, int x, int y) {
        SdlWindow* w = Find(NativeFromSdl(SDL_GetWindowID(window)));
        if (!w || !w->params.hitTest) return HitArea::Client;
        return w->params.hitTest(x / scale_, y / scale_);
    }

private:
    NativeId NativeFromSdl(Uint32 sdlId) const {
        auto it = bySdlId_.find(sdlId);
        return it == bySdlId_.end() ? 0 : it->second;
    }

    SdlWindow* Find(NativeId id) {
        auto it = windows_.find(id);
        return it == windows_.end() ? nullptr : it->second.get();
    }

    void Modifiers(Event& out) {
        const SDL_Keymod mod = SDL_GetModState();
        out.shift = (mod & KMOD_SHIFT) != 0;
        out.ctrl = (mod & KMOD_CTRL) != 0;
        out.alt = (mod & KMOD_ALT) != 0;
    }

    bool Translate(const SDL_Event& e, Event& out) {
        out = Event{};
        switch (e.type) {
            case SDL_MOUSEMOTION:
                out.type = EventType::MouseMove;
                out.window = NativeFromSdl(e.motion.windowID);
                out.x = e.motion.x / scale_;
                out.y = e.motion.y / scale_;
                Modifiers(out);
                return true;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP:
                out.type = e.type == SDL_MOUSEBUTTONDOWN ? EventType::MouseDown : EventType::MouseUp;
                out.window = NativeFromSdl(e.button.windowID);
                out.x = e.button.x / scale_;
                out.y = e.button.y / scale_;
                out.clicks = e.button.clicks;
                out.button = e.button.button == SDL_BUTTON_RIGHT    ? MouseButton::Right
                             : e.button.button == SDL_BUTTON_MIDDLE ? MouseButton::Middle
                                                                    : MouseButton::Left;
                // Drags keep reporting outside the window while a button is held.
                SDL_CaptureMouse(e.type == SDL_MOUSEBUTTONDOWN ? SDL_TRUE : SDL_FALSE);
                Modifiers(out);
                return true;
            case SDL_MOUSEWHEEL:
                out.type = EventType::MouseWheel;
                out.window = NativeFromSdl(e.wheel.windowID);
                out.wheel = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
                Modifiers(out);
                return out.wheel != 0;
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                out.type = e.type == SDL_KEYDOWN ? EventType::KeyDown : EventType::KeyUp;
                out.window = NativeFromSdl(e.key.windowID);
                out.vk = VirtualKeyFromSdl(e.key.keysym.sym);
                out.repeat = e.key.repeat != 0;
                out.shift = (e.key.keysym.mod & KMOD_SHIFT) != 0;
                out.ctrl = (e.key.keysym.mod & KMOD_CTRL) != 0;
                out.alt = (e.key.keysym.mod & KMOD_ALT) != 0;
                return out.vk != 0;
            case SDL_TEXTINPUT:
                out.type = EventType::Text;
                out.window = NativeFromSdl(e.text.windowID);
                out.text = e.text.text;
                return true;
            case SDL_TEXTEDITING:
                out.type = EventType::Composition;
                out.window = NativeFromSdl(e.edit.windowID);
                out.text = e.edit.text;
                out.compositionCursor = e.edit.start;
                return true;
            case SDL_QUIT:
                // The session ends or the process was asked to stop: the program ends as if
                // its windows had been closed.
                out.type = EventType::Quit;
                return true;
            case SDL_WINDOWEVENT:
                out.window = NativeFromSdl(e.window.windowID);
                switch (e.window.event) {
                    case SDL_WINDOWEVENT_CLOSE: out.type = EventType::CloseRequested; return true;
                    case SDL_WINDOWEVENT_MOVED:
                        if (SdlWindow* w = Find(NativeFromSdl(e.window.windowID))) {
                            w->x = e.window.data1 / scale_;
                            w->y = e.window.data2 / scale_;
                        }
                        out.type = EventType::Moved;
                        out.x = e.window.data1 / scale_;
                        out.y = e.window.data2 / scale_;
                        return true;
                    case SDL_WINDOWEVENT_EXPOSED:
                    case SDL_WINDOWEVENT_SHOWN:
                    case SDL_WINDOWEVENT_SIZE_CHANGED: out.type = EventType::Exposed; return true;
                    case SDL_WINDOWEVENT_FOCUS_GAINED: out.type = EventType::FocusGained; return true;
                    case SDL_WINDOWEVENT_FOCUS_LOST: out.type = EventType::FocusLost; return true;
                    default: return false;
                }
            default: return false;
        }
    }

    int scale_;
    NativeId nextId_ = 1;
    std::map<NativeId, std::unique_ptr<SdlWindow>> windows_;
    std::map<Uint32, NativeId> bySdlId_;
};

SDL_HitTestResult HitTest(SDL_Window* window, const SDL_Point* area, void* data) {
    auto* display = static_cast<SdlDisplay*>(data);
    return display->HitAt(window, area->x, area->y) == HitArea::Caption ? SDL_HITTEST_DRAGGABLE : SDL_HITTEST_NORMAL;
}

int ScaleFactor() {
    if (const char* env = std::getenv("KOMALORE_SCALE"); env && *env) {
        const int s = std::atoi(env);
        if (s >= 1 && s <= 8) return s;
    }
    float ddpi = 0;
    float hdpi = 0;
    float vdpi = 0;
    if (SDL_GetDisplayDPI(0, &ddpi, &hdpi, &vdpi) == 0 && hdpi > 0) {
        return std::clamp(static_cast<int>(hdpi / 96.0f + 0.25f), 1, 8);
    }
    return 1;
}

}  // namespace

std::unique_ptr<Display> OpenSdlDisplay(std::string& error) {
    SDL_SetHint(SDL_HINT_IME_SHOW_UI, "1");
    // Closing a window is the program's own business (it may be the owner of an open box); a
    // quit comes only from the session or a signal.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        error = SDL_GetError();
        if (error.empty()) error = "no video device";
        return nullptr;
    }
    SDL_StopTextInput();
    return std::make_unique<SdlDisplay>(ScaleFactor());
}

}  // namespace platform::display
