// Start-up and repaint of the editor on the headless display.
#include <benchmark/benchmark.h>

#include "tests/support/headless_app.h"

namespace {

using komalore_test::HeadlessApp;
using komalore_test::TemporaryDrive;

// The application and editor created, the first full paint done, then ended.
void BM_StartupToFirstPaint(benchmark::State& state) {
    TemporaryDrive drive;
    for (auto _ : state) {
        HeadlessApp app;
        app.Then([&] { app.Key(VK_ESCAPE); });
        app.Run();
    }
}
BENCHMARK(BM_StartupToFirstPaint)->Unit(benchmark::kMillisecond);

// A whole-window invalidate and its paint, with no page on the drive.
void BM_EditorFullRepaint(benchmark::State& state) {
    TemporaryDrive drive;
    HeadlessApp app;
    app.Then([&] {
        HWND editor = app.EditorWindow();
        MSG msg;
        for (auto _ : state) {
            InvalidateRect(editor, nullptr, FALSE);
            // Paint everything that waits, as the message loop does when it is idle.
            while (platform::win::NextMessage(msg, false)) {
                if (msg.message != WM_PAINT) break;
                DispatchMessageA(&msg);
            }
        }
        app.Key(VK_ESCAPE);
    });
    app.Run();
}
BENCHMARK(BM_EditorFullRepaint)->Unit(benchmark::kMicrosecond);

}  // namespace
