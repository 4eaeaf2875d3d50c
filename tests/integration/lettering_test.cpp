// Balloon lettering: reading the three boxes, placing the text with a click, and what the
// overlay draws into the frame at which place and size.
#include <gtest/gtest.h>

#include <vector>

#include "editor/box_number.h"
#include "tests/support/bmp_builder.h"
#include "tests/support/page_test_support.h"

using namespace komalore_test;

namespace {

// "ＭＳ Ｐゴシック" in the program's code page.
constexpr char kBalloonFace[] = "\x82\x6c\x82\x72\x20\x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e";

// The metrics of the font the lettering asks for at this height.
TEXTMETRICA BalloonMetrics(HWND frame, int height) {
    HDC dc = GetDC(frame);
    HFONT font = CreateFontA(height, 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DRAFT_QUALITY, 0, kBalloonFace);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(frame, dc);
    return tm;
}

void SetBoxes(HeadlessApp& app, const char* text, const char* top, const char* left, const char* size) {
    SetWindowTextA(app.Control(IDC_TEXT), text);
    SetWindowTextA(app.Control(IDC_TOP), top);
    SetWindowTextA(app.Control(IDC_LEFT), left);
    SetWindowTextA(app.Control(IDC_FONT_SIZE), size);
}

}  // namespace

TEST(Lettering, BoxTextsReadAsTheirNumbers) {
    struct Case {
        const char* text;
        int value;
    };
    const std::vector<Case> cases = {
        {"abc", 0},
        {"12px", 12},
        {"", 0},
        {" -20", -20},
        {"\t\n +7", 7},
        {"00015", 15},
        {"1 2", 1},
        {"-", 0},
        {"+-3", 0},
        {"4294967297", 1},
        {"-2147483649", 2147483647},
        {"2147483648", -2147483647 - 1},
        {"8589934594", 2},
        // 10^20 - 1 is past every fixed-width type; the value still wraps modulo 2^32.
        {"99999999999999999999", 1661992959},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.text + "\"");
        EXPECT_EQ(AtoiWrapping(c.text), c.value);
    }
}

namespace {

// Which pixels inside the frame's border are dark, row by row.
std::vector<char> DarkMask(HWND frame) {
    const SIZE size = ClientSize(frame);
    std::vector<char> mask;
    for (int y = 1; y < size.cy - 1; ++y) {
        for (int x = 1; x < size.cx - 1; ++x) mask.push_back(IsDark(HeadlessApp::PixelAt(frame, x, y)) ? 1 : 0);
    }
    return mask;
}

}  // namespace

TEST(Lettering, TextStartsAtLeftAndTopOfTheFrame) {
    struct Case {
        const char* top;
        const char* left;
        int expectedTop, expectedLeft;
    };
    const std::vector<Case> cases = {
        {"abc", "", 0, 0},
        {"60", "12px", 60, 12},
        {"4294967337", "100", 41, 100},
        {" 200", "+300", 200, 300},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("top \"") + c.top + "\" left \"" + c.left + "\"");
        TemporaryDrive drive;
        drive.Write("img001.BMP", SolidBmp24(480, 640, kWhite));
        HeadlessApp app;
        DarkPixels dark;
        TEXTMETRICA tm{};
        app.Then([&] {
            SetBoxes(app, "H", c.top, c.left, "20");
            app.ClickCenter(app.Control(IDC_BALLOON));
        });
        app.Then([&] {
            dark = FindDarkPixels(app.Control(IDC_FRAME));
            tm = BalloonMetrics(app.Control(IDC_FRAME), 20);
            app.Key(VK_ESCAPE);
        });
        app.Run();
        ASSERT_GT(dark.count, 0);
        // The side bearing and the space above the capital's top are a few pixels at most.
        EXPECT_GE(dark.left, std::max(1, c.expectedLeft));
        EXPECT_LE(dark.left, c.expectedLeft + 4);
        EXPECT_GE(dark.top, std::max(1, c.expectedTop));
        EXPECT_LE(dark.top, c.expectedTop + tm.tmAscent);
        EXPECT_LE(dark.bottom, c.expectedTop + tm.tmHeight);
        EXPECT_LE(dark.right, c.expectedLeft + 20);
    }
}

TEST(Lettering, AClickFillsTopAndLeftAndTheTextMovesOnlyAtTheNextPaint) {
    TemporaryDrive drive;
    drive.Write("img001.BMP", SolidBmp24(480, 640, kWhite));
    HeadlessApp app;
    DarkPixels beforeClick, afterClick, afterRepaint;
    bool updateEmpty = false;
    std::string top, left;
    app.Then([&] {
        SetBoxes(app, "H", "10", "10", "20");
        app.ClickCenter(app.Control(IDC_BALLOON));
    });
    app.Then([&] {
        beforeClick = FindDarkPixels(app.Control(IDC_FRAME));
        SendMessageA(app.EditorWindow(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 90));
        SendMessageA(app.EditorWindow(), WM_LBUTTONUP, 0, MAKELPARAM(150, 90));
        updateEmpty = platform::win::Find(app.EditorWindow())->update.IsEmpty();
        top = HeadlessApp::Text(app.Control(IDC_TOP));
        left = HeadlessApp::Text(app.Control(IDC_LEFT));
        LetPaintsRun(app);
    });
    app.Then([&] {
        afterClick = FindDarkPixels(app.Control(IDC_FRAME));
        Repaint(app);
    });
    app.Then([&] {
        afterRepaint = FindDarkPixels(app.Control(IDC_FRAME));
        app.Key(VK_ESCAPE);
    });
    app.Run();
    EXPECT_EQ(top, "90");
    EXPECT_EQ(left, "150");
    EXPECT_TRUE(updateEmpty);
    ASSERT_GT(beforeClick.count, 0);
    EXPECT_EQ(afterClick.left, beforeClick.left);
    EXPECT_EQ(afterClick.top, beforeClick.top);
    EXPECT_EQ(afterClick.count, beforeClick.count);
    // The text is placed in the frame's coordinates at the editor's click point.
    EXPECT_GE(afterRepaint.left, 150);
    EXPECT_LE(afterRepaint.left, 154);
    EXPECT_GE(afterRepaint.top, 90);
    EXPECT_LE(afterRepaint.top, 90 + 20);
}

TEST(Lettering, LinesStackOneCellApart) {
    struct Case {
        const char* size;
        int height;
    };
    for (const Case& c : std::vector<Case>{{"20", 20}, {"-20", -20}, {"32", 32}}) {
        SCOPED_TRACE(c.size);
        TemporaryDrive drive;
        drive.Write("img001.BMP", SolidBmp24(480, 640, kWhite));
        HeadlessApp app;
        DarkPixels dark;
        TEXTMETRICA tm{};
        app.Then([&] {
            SetBoxes(app, "H\r\nH\r\nH", "30", "40", c.size);
            app.ClickCenter(app.Control(IDC_BALLOON));
        });
        app.Then([&] {
            dark = FindDarkPixels(app.Control(IDC_FRAME));
            tm = BalloonMetrics(app.Control(IDC_FRAME), c.height);
            app.Key(VK_ESCAPE);
        });
        app.Run();
        if (c.height > 0) {
            EXPECT_EQ(tm.tmHeight, c.height);  // a cell of that height
        } else {
            EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, -c.height);  // characters of that height
        }
        const std::vector<int> bands = BandStarts(dark.rows);
        ASSERT_EQ(bands.size(), 3u);
        EXPECT_EQ(bands[1] - bands[0], tm.tmHeight);
        EXPECT_EQ(bands[2] - bands[1], tm.tmHeight);
        // Each line's capital is most of the character height tall.
        const int capital = static_cast<int>(std::count_if(dark.rows.begin(), dark.rows.end(),
                                                           [&](int row) { return row < bands[1]; }));
        const int characterHeight = tm.tmHeight - tm.tmInternalLeading;
        EXPECT_GE(capital, characterHeight / 2);
        EXPECT_LE(capital, characterHeight);
    }
}

TEST(Lettering, ZeroOrAnEmptyFontSizeDrawsTheDefaultSize) {
    TemporaryDrive drive;
    drive.Write("img001.BMP", SolidBmp24(480, 640, kWhite));
    HeadlessApp app;
    std::vector<char> atZero, atEmpty, atForty;
    app.Then([&] {
        SetBoxes(app, "H\r\nH", "20", "20", "0");
        app.ClickCenter(app.Control(IDC_BALLOON));
    });
    app.Then([&] {
        atZero = DarkMask(app.Control(IDC_FRAME));
        SetWindowTextA(app.Control(IDC_FONT_SIZE), "");
        Repaint(app);
    });
    app.Then([&] {
        atEmpty = DarkMask(app.Control(IDC_FRAME));
        SetWindowTextA(app.Control(IDC_FONT_SIZE), "40");
        Repaint(app);
    });
    app.Then([&] {
        atForty = DarkMask(app.Control(IDC_FRAME));
        app.Key(VK_ESCAPE);
    });
    app.Run();
    EXPECT_GT(std::count(atZero.begin(), atZero.end(), 1), 0);
    EXPECT_EQ(atZero, atEmpty);
    EXPECT_NE(atZero, atForty);
}

TEST(Lettering, TurningTheOverlayOffRedrawsThePageOverTheText) {
    TemporaryDrive drive;
    drive.Write("img001.BMP", SolidBmp24(480, 640, kWhite));
    HeadlessApp app;
    DarkPixels on, off;
    app.Then([&] {
        SetBoxes(app, "HHHH", "50", "50", "30");
        app.ClickCenter(app.Control(IDC_BALLOON));
    });
    app.Then([&] {
        on = FindDarkPixels(app.Control(IDC_FRAME));
        app.ClickCenter(app.Control(IDC_BALLOON));
    });
    app.Then([&] {
        off = FindDarkPixels(app.Control(IDC_FRAME));
        EXPECT_EQ(app.Editor()->m_bBalloon, 0);
        app.Key(VK_ESCAPE);
    });
    app.Run();
    EXPECT_GT(on.count, 0);
    EXPECT_EQ(off.count, 0);
}

TEST(Lettering, AMissingPageDrawsNoText) {
    TemporaryDrive drive;
    HeadlessApp app;
    DarkPixels withoutPage, withPage;
    app.Then([&] {
        FillClient(app.Control(IDC_FRAME), kWhite);
        SetBoxes(app, "HHHH", "50", "50", "30");
        app.ClickCenter(app.Control(IDC_BALLOON));
    });
    app.Then([&] {
        withoutPage = FindDarkPixels(app.Control(IDC_FRAME));
        drive.Write("img001.BMP", SolidBmp24(480, 640, kWhite));
        Repaint(app);
    });
    app.Then([&] {
        withPage = FindDarkPixels(app.Control(IDC_FRAME));
        app.Key(VK_ESCAPE);
    });
    app.Run();
    EXPECT_EQ(withoutPage.count, 0);
    EXPECT_GT(withPage.count, 0);
}

TEST(Lettering, ExtremeNumbersInTheBoxesFinish) {
    struct Case {
        const char* top;
        const char* left;
        const char* size;
        bool textInFrame;
    };
    const std::vector<Case> cases = {
        {"0", "0", "100000", true},
        {"0", "0", "-2147483648", true},
        {"0", "0", "2147483647", true},
        {"99999999", "0", "15", false},
        {"-99999999", "-99999999", "15", false},
        {"10", "2147483647", "15", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.top) + " " + c.left + " " + c.size);
        TemporaryDrive drive;
        drive.Write("img001.BMP", SolidBmp24(480, 640, kWhite));
        HeadlessApp app;
        bool painted = false;
        DarkPixels dark;
        app.Then([&] {
            // A capital, a full-width square ("\x81\xa1") and a second line.
            SetBoxes(app, "H\x81\xa1\r\nX", c.top, c.left, c.size);
            app.ClickCenter(app.Control(IDC_BALLOON));
        });
        app.Then([&] {
            painted = app.Editor()->m_bBalloon == 1;
            dark = FindDarkPixels(app.Control(IDC_FRAME));
            Repaint(app);
        });
        app.Then([&] { app.Key(VK_ESCAPE); });
        EXPECT_EQ(app.Run(), FALSE);
        EXPECT_TRUE(painted);
        if (!c.textInFrame) EXPECT_EQ(dark.count, 0);
    }
}
