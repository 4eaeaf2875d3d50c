// The lettering step alone, on a frame that waits to be repainted: font creation, layout and
// drawing of the balloon text.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/bench_pages.h"
#include "platform/base/codepage.h"
#include "res/resource.h"

namespace {

using komalore_test::HeadlessApp;
using komalore_test::TemporaryDrive;

struct LetteringCase {
    const char* name;
    int lines;
    int fontSize;
    bool inkInFrame;  // whether the text's ink reaches the frame at all
};

constexpr LetteringCase kCases[] = {
    {"2lines_15px", 2, 15, true},
    {"20lines_48px", 20, 48, true},
    // One glyph far larger than the frame: the frame shows a corner of its cell at most.
    {"huge_100000px", 2, 100000, false},
};

// Japanese balloon lines, in the program's code page, separated by CR LF.
std::string BalloonText(int lines) {
    static const char* const kLines[] = {"こんにちは、世界！", "ふきだしの文字です。", "漢字とカタカナ、ひらがな。",
                                         "もう一行。"};
    std::string utf8;
    for (int i = 0; i < lines; ++i) {
        if (i > 0) utf8 += "\r\n";
        utf8 += kLines[i % 4];
    }
    return platform::Cp932FromUtf8(utf8);
}

// Paints the frame white outside any paint pass, so that ink shows as dark pixels.
void WhitenFrame(HWND frame) {
    HDC dc = GetDC(frame);
    RECT r{};
    GetClientRect(frame, &r);
    HBRUSH brush = CreateSolidBrush(RGB(255, 255, 255));
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    ReleaseDC(frame, dc);
}

bool FrameHasInk(HWND frame) {
    RECT r{};
    GetClientRect(frame, &r);
    // The frame's own border lies on its outermost pixels.
    for (LONG y = 2; y + 2 < r.bottom; ++y) {
        for (LONG x = 2; x + 2 < r.right; ++x) {
            const platform::Pixel p = komalore_bench::FramePixel(frame, x, y);
            if (platform::PixelRed(p) < 128 && platform::PixelGreen(p) < 128 && platform::PixelBlue(p) < 128) return true;
        }
    }
    return false;
}

void BM_Lettering(benchmark::State& state, const LetteringCase& c) {
    TemporaryDrive drive;
    HeadlessApp app;
    app.Then([&] {
        CLetteringDlg* editor = app.Editor();
        HWND frame = app.Control(IDC_FRAME);
        const std::string text = BalloonText(c.lines);
        SetWindowTextA(app.Control(IDC_TEXT), text.c_str());
        SetWindowTextA(app.Control(IDC_FONT_SIZE), std::to_string(c.fontSize).c_str());
        SetWindowTextA(app.Control(IDC_TOP), "10");
        SetWindowTextA(app.Control(IDC_LEFT), "10");
        editor->m_bBalloon = 1;
        komalore_bench::DispatchPending();

        WhitenFrame(frame);
        InvalidateRect(frame, nullptr, FALSE);
        editor->DrawLettering();
        if (c.inkInFrame && !FrameHasInk(frame)) {
            state.SkipWithError("the lettering step drew nothing");
        } else {
            for (auto _ : state) {
                InvalidateRect(frame, nullptr, FALSE);
                editor->DrawLettering();
            }
        }
        komalore_bench::DispatchPending();
        app.Key(VK_ESCAPE);
    });
    app.Run();
}

const bool kRegistered = [] {
    for (const LetteringCase& c : kCases) {
        benchmark::RegisterBenchmark((std::string("BM_Lettering/") + c.name).c_str(),
                                     [&c](benchmark::State& state) { BM_Lettering(state, c); })
            ->Unit(benchmark::kMicrosecond);
    }
    return true;
}();

}  // namespace
