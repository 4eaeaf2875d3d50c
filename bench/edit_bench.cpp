// Typing into the balloon text box and repainting it, on the headless display.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/base/codepage.h"
#include "res/resource.h"
#include "tests/support/headless_app.h"

namespace {

using komalore_test::HeadlessApp;
using komalore_test::TemporaryDrive;

// Paints everything that waits, as the message loop does when it is idle (which also presents
// the surfaces to the display).
void PaintPending() {
    MSG msg;
    while (platform::win::NextMessage(msg, false)) {
        if (msg.message != WM_PAINT) break;
        DispatchMessageA(&msg);
    }
}

// The box's own repaint, as UpdateWindow does it: its WM_PAINT, without presenting the surface.
void RepaintBox(HWND box) {
    platform::win::Window* w = platform::win::Find(box);
    if (w && !w->update.IsEmpty()) platform::win::Deliver(box, WM_PAINT, 0, 0);
}

// 1,000 characters typed one by one into the empty box, each followed by its repaint: kana and
// kanji with some Latin, and a new line every ten characters as balloon text has.
void BM_EditTyping(benchmark::State& state) {
    TemporaryDrive drive;
    HeadlessApp app;
    const std::u32string pattern = U"こんにちは世界abc日本語です!";
    app.Then([&] {
        HWND box = app.Control(IDC_TEXT);
        SetFocus(box);
        PaintPending();
        for (auto _ : state) {
            state.PauseTiming();
            SetWindowTextA(box, "");
            PaintPending();
            state.ResumeTiming();
            for (int i = 0; i < 1000; ++i) {
                const char32_t c = i % 10 == 9 ? U'\r' : pattern[static_cast<std::size_t>(i) % pattern.size()];
                SendMessageA(box, WM_CHAR, static_cast<WPARAM>(c), 1);
                // The box's own repaint; presenting the surface is the display's cost, measured
                // by the editor benchmarks.
                RepaintBox(box);
            }
        }
        state.SetItemsProcessed(state.iterations() * 1000);
        app.Key(VK_ESCAPE);
    });
    app.Run();
}
BENCHMARK(BM_EditTyping)->Unit(benchmark::kMillisecond);

// A repaint of the whole box holding 20,000 characters (lines of 24), scrolled to the end.
void BM_EditPaint20k(benchmark::State& state) {
    TemporaryDrive drive;
    HeadlessApp app;
    app.Then([&] {
        HWND box = app.Control(IDC_TEXT);
        std::u32string text;
        while (text.size() < 20000) text += U"日本語のふきだしabc文字列です!!\r\n";
        text.resize(20000);
        SetWindowTextA(box, platform::EncodeCp932(text).c_str());
        SetFocus(box);
        SendMessageA(box, EM_SETSEL, static_cast<WPARAM>(-1), -1);
        SendMessageA(box, EM_SETSEL, 0x7FFFFFFF, 0x7FFFFFFF);
        PaintPending();
        for (auto _ : state) {
            InvalidateRect(box, nullptr, FALSE);
            RepaintBox(box);
        }
        app.Key(VK_ESCAPE);
    });
    app.Run();
}
BENCHMARK(BM_EditPaint20k)->Unit(benchmark::kMicrosecond);

}  // namespace
