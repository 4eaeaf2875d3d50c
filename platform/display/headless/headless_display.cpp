#include "platform/display/headless/headless_display.h"

#include <png.h>

#include <cstdio>
#include <vector>

namespace platform::display {

const HeadlessDisplay::NativeWindow* HeadlessDisplay::Native(NativeId id) const {
    auto it = windows_.find(id);
    return it == windows_.end() ? nullptr : &it->second;
}

NativeId HeadlessDisplay::CreateNativeWindow(const NativeWindowParams& params) {
    NativeWindow w;
    w.params = params;
    w.x = params.frame.left;
    w.y = params.frame.top;
    const NativeId id = next_++;
    windows_[id] = std::move(w);
    return id;
}

void HeadlessDisplay::DestroyNativeWindow(NativeId id) { windows_.erase(id); }

void HeadlessDisplay::ShowNativeWindow(NativeId id, bool show) {
    if (auto it = windows_.find(id); it != windows_.end()) it->second.visible = show;
}

void HeadlessDisplay::MoveNativeWindow(NativeId id, int x, int y) {
    if (auto it = windows_.find(id); it != windows_.end()) {
        it->second.x = x;
        it->second.y = y;
    }
}

void HeadlessDisplay::SetTitle(NativeId id, const std::string& titleUtf8) {
    if (auto it = windows_.find(id); it != windows_.end()) it->second.params.titleUtf8 = titleUtf8;
}

void HeadlessDisplay::SetIcon(NativeId id, const Surface&) {
    if (auto it = windows_.find(id); it != windows_.end()) it->second.hasIcon = true;
}

void HeadlessDisplay::Present(NativeId id, const Surface& surface, const RECT&) {
    if (auto it = windows_.find(id); it != windows_.end()) {
        it->second.presented = surface;
        ++it->second.presentations;
    }
}

Display::WaitResult HeadlessDisplay::WaitEvent(Event& event, int timeoutMs) {
    if (!events_.empty()) {
        event = events_.front();
        events_.pop_front();
        return WaitResult::Event;
    }
    if (timeoutMs == 0) return WaitResult::Timeout;
    if (steps_.empty()) return WaitResult::Exhausted;
    auto step = std::move(steps_.front());
    steps_.pop_front();
    step();
    // Back to the message loop, which handles what the step posted before it waits again; a
    // step that queued no input lets the time until the next timer pass.
    if (events_.empty() && timeoutMs > 0) now_ += static_cast<std::uint64_t>(timeoutMs);
    return WaitResult::Timeout;
}

std::optional<std::string> HeadlessDisplay::ClipboardText() {
    if (!hasClipboard) return std::nullopt;
    return clipboard;
}

void HeadlessDisplay::SetClipboardText(const std::string& utf8) {
    clipboard = utf8;
    hasClipboard = true;
}

void HeadlessDisplay::StartTextInput(NativeId, const RECT& caret) {
    textInput_ = true;
    textInputRect_ = caret;
}

bool WritePng(const Surface& surface, const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(surface.Width()), static_cast<png_uint_32>(surface.Height()), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> row(static_cast<std::size_t>(surface.Width()) * 3);
    for (int y = 0; y < surface.Height(); ++y) {
        const Pixel* src = surface.Row(y);
        for (int x = 0; x < surface.Width(); ++x) {
            row[static_cast<std::size_t>(x) * 3 + 0] = static_cast<png_byte>(PixelRed(src[x]));
            row[static_cast<std::size_t>(x) * 3 + 1] = static_cast<png_byte>(PixelGreen(src[x]));
            row[static_cast<std::size_t>(x) * 3 + 2] = static_cast<png_byte>(PixelBlue(src[x]));
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

}  // namespace platform::display
