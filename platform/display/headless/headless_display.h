// The headless display: windows are surfaces in memory, input is what a test injects, and time
// is a clock the test moves. When the program waits and nothing is queued, the next step of the
// test's script runs; when the script is done, the display is exhausted and the program's loops
// end.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>

#include "platform/display/display.h"

namespace platform::display {

class HeadlessDisplay : public Display {
public:
    struct NativeWindow {
        NativeWindowParams params;
        bool visible = false;
        int x = 0;
        int y = 0;
        Surface presented;  // what the window showed at its last presentation
        int presentations = 0;
        bool hasIcon = false;
    };

    // Script steps run one per idle wait, in order.
    void Then(std::function<void()> step) { steps_.push_back(std::move(step)); }
    void Push(const Event& event) { events_.push_back(event); }
    void AdvanceClock(std::uint64_t ms) { now_ += ms; }

    const NativeWindow* Native(NativeId id) const;
    int Beeps() const { return beeps_; }
    bool TextInputActive() const { return textInput_; }
    RECT TextInputRect() const { return textInputRect_; }
    std::string clipboard;
    bool hasClipboard = false;

    NativeId CreateNativeWindow(const NativeWindowParams& params) override;
    void DestroyNativeWindow(NativeId id) override;
    void ShowNativeWindow(NativeId id, bool show) override;
    void MoveNativeWindow(NativeId id, int x, int y) override;
    void SetTitle(NativeId id, const std::string& titleUtf8) override;
    void SetIcon(NativeId id, const Surface& icon) override;
    void Raise(NativeId id) override {}
    void Present(NativeId id, const Surface& surface, const RECT& dirty) override;
    WaitResult WaitEvent(Event& event, int timeoutMs) override;
    std::uint64_t NowMs() override { return now_; }
    SIZE ScreenSize() override { return SIZE{1280, 1024}; }
    std::optional<std::string> ClipboardText() override;
    void SetClipboardText(const std::string& utf8) override;
    void StartTextInput(NativeId id, const RECT& caret) override;
    void StopTextInput() override { textInput_ = false; }
    void Beep() override { ++beeps_; }

private:
    std::map<NativeId, NativeWindow> windows_;
    NativeId next_ = 1;
    std::deque<Event> events_;
    std::deque<std::function<void()>> steps_;
    std::uint64_t now_ = 1000;
    int beeps_ = 0;
    bool textInput_ = false;
    RECT textInputRect_{};
};

// Writes a surface as a PNG file, for looking at what a test drew.
bool WritePng(const Surface& surface, const std::string& path);

}  // namespace platform::display
