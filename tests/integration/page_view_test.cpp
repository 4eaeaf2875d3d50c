// The page view and the page reader: what reaches the frame on each paint, which file is read,
// the zoom arithmetic, and how a missing, short or foreign page file is met.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "tests/support/bmp_builder.h"
#include "tests/support/page_test_support.h"

using namespace komalore_test;

namespace {

constexpr platform::Pixel kRed = platform::PixelFromRgb(220, 30, 40);
constexpr platform::Pixel kGreen = platform::PixelFromRgb(20, 200, 60);
constexpr platform::Pixel kBlue = platform::PixelFromRgb(30, 40, 210);

std::string HeaderBytes(const CLetteringDlg& dlg) {
    std::string bytes(sizeof(BITMAPFILEHEADER), '\0');
    std::memcpy(bytes.data(), &dlg.m_pageHeader, bytes.size());
    return bytes;
}

}  // namespace

TEST(PageReader, FailuresAndOddHeaders) {
    const std::string page = SolidBmp24(40, 30, kGreen);
    std::string wrongSize = page;
    PutLe(wrongSize, 2, 12345678, 4);
    std::string notBitmap = page;
    notBitmap[1] = 'A';
    std::string offBitsPastEnd = page;
    PutLe(offBitsPastEnd, 10, static_cast<std::uint32_t>(page.size() + 100), 4);
    struct Case {
        const char* name;
        std::string bytes;
        bool notBitmapBox;
        bool drawn;
    };
    const std::vector<Case> cases = {
        {"ten bytes", std::string("BM\x10\0\0\0\0\0\0\0", 10), false, false},
        {"empty file", "", false, false},
        {"starts with BA", notBitmap, true, false},
        {"wrong bfSize", wrongSize, false, true},
        {"header only", page.substr(0, 14), false, false},
        {"info header cut short", page.substr(0, 30), false, false},
        {"pixels past the end", offBitsPastEnd, false, false},
        {"valid", page, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TemporaryDrive drive;
        HeadlessApp app;
        int boxesWhileOpen = -1;
        int boxesAfterRepaintWhileOpen = -1;
        bool finished = false;
        app.Then([&] {
            FillClient(app.Control(IDC_FRAME), kCanvas);
            drive.Write("img001.BMP", c.bytes);
            Repaint(app);
        });
        if (c.notBitmapBox) {
            app.Then([&] {
                boxesWhileOpen = CountTopLevel("komalore");
                HWND box = HeadlessApp::FindTopLevel("komalore");
                ASSERT_NE(box, nullptr);
                EXPECT_EQ(HeadlessApp::Text(GetDlgItem(box, 0xFFFF)), "NOT BITMAP");
                EXPECT_NE(GetDlgItem(box, 20), nullptr);
                EXPECT_EQ(GetWindow(box, GW_OWNER), app.EditorWindow());
                // Repaints of the editor arrive while the box is open.
                Repaint(app);
                InvalidateRect(app.Control(IDC_FRAME), nullptr, TRUE);
            });
            app.Then([&] {
                boxesAfterRepaintWhileOpen = CountTopLevel("komalore");
                app.Key(VK_RETURN);
            });
            // The repaint asked for while the box was open may raise it once more after it closed.
            app.Then([&] {
                if (HeadlessApp::FindTopLevel("komalore")) app.Key(VK_RETURN);
            });
        }
        app.Then([&] {
            EXPECT_EQ(CountTopLevel("komalore"), 0);
            const platform::Pixel inside = Rgb(HeadlessApp::PixelAt(app.Control(IDC_FRAME), 20, 15));
            if (c.drawn) {
                EXPECT_EQ(inside, kGreen);
            } else if (c.notBitmapBox) {
                // The closed box uncovered part of the editor, which was erased; no page came.
                EXPECT_NE(inside, kGreen);
            } else {
                EXPECT_EQ(inside, kCanvas);
            }
            // The header holds what the most recent read took from the file's start.
            const std::string header = HeaderBytes(*app.Editor());
            const std::size_t read = std::min<std::size_t>(c.bytes.size(), 14);
            EXPECT_EQ(header.substr(0, read), c.bytes.substr(0, read));
            finished = true;
            app.Key(VK_ESCAPE);
        });
        app.Run();
        EXPECT_TRUE(finished);
        if (c.notBitmapBox) {
            EXPECT_EQ(boxesWhileOpen, 1);
            EXPECT_EQ(boxesAfterRepaintWhileOpen, 1);
        }
    }
}

TEST(PageView, ThePagesPixelsReachTheFrame) {
    TemporaryDrive drive;
    HeadlessApp app;
    // Four quadrants and a gradient row, so that a flipped or shifted page shows.
    auto colour = [](int x, int y) -> platform::Pixel {
        if (y == 100) return platform::PixelFromRgb(x % 256, 128, 255 - x % 256);
        if (y < 320) return x < 240 ? kRed : kGreen;
        return x < 240 ? kBlue : kWhite;
    };
    drive.Write("img001.BMP", Bmp24(480, 640, colour));
    app.Then([&] { Repaint(app); });
    app.Then([&] {
        HWND frame = app.Control(IDC_FRAME);
        for (auto [x, y] : std::vector<std::pair<int, int>>{{10, 10}, {239, 319}, {240, 10}, {470, 319}, {10, 320},
                                                             {239, 630}, {240, 320}, {470, 630}, {5, 100}, {300, 100}}) {
            SCOPED_TRACE(testing::Message() << x << "," << y);
            EXPECT_EQ(Rgb(HeadlessApp::PixelAt(frame, x, y)), colour(x, y));
        }
        app.Key(VK_ESCAPE);
    });
    app.Run();
}

TEST(PageView, TemporaryViewSwitchesBetweenTheTwoPageFiles) {
    TemporaryDrive drive;
    HeadlessApp app;
    drive.Write("img001.BMP", SolidBmp24(480, 640, kRed));
    drive.Write("tmpimg001.BMP", SolidBmp24(480, 640, kGreen));
    drive.Write("tempimg001.bmp", SolidBmp24(480, 640, kBlue));
    std::vector<platform::Pixel> shown;
    std::vector<BOOL> flags;
    auto look = [&] {
        shown.push_back(Rgb(HeadlessApp::PixelAt(app.Control(IDC_FRAME), 100, 100)));
        flags.push_back(app.Editor()->m_bTempView);
    };
    app.Then([&] {
        look();
        app.ClickCenter(app.Control(IDC_TEMP_VIEW));
    });
    app.Then([&] {
        look();
        app.ClickCenter(app.Control(IDC_TEMP_VIEW));
    });
    app.Then([&] {
        look();
        app.Key(VK_ESCAPE);
    });
    app.Run();
    EXPECT_EQ(shown, (std::vector<platform::Pixel>{kRed, kGreen, kRed}));
    EXPECT_EQ(flags, (std::vector<BOOL>{FALSE, TRUE, FALSE}));
}

TEST(PageView, ZoomStepsAndTruncatedSizes) {
    struct Case {
        int zoomIns;
        int zoomOuts;
        int pageWidth, pageHeight;
        int drawnWidth, drawnHeight;  // what the truncated products must come to
    };
    const std::vector<Case> cases = {
        {0, 0, 480, 640, 480, 640},
        {1, 0, 480, 640, 528, 704},
        {0, 1, 480, 640, 432, 576},
        {0, 10, 480, 640, 0, 0},
        {0, 11, 480, 640, -47, -63},
        {10, 0, 200, 300, 400, 600},
        {11, 0, 200, 300, 420, 630},
        // 27.5 x 16.5 and 22.5 x 13.5: truncated, never rounded.
        {1, 0, 25, 15, 27, 16},
        {0, 1, 25, 15, 22, 13},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "in " << c.zoomIns << " out " << c.zoomOuts << " page " << c.pageWidth << "x"
                                        << c.pageHeight);
        double expectedZoom = 1.0;
        for (int i = 0; i < c.zoomIns; ++i) expectedZoom += 0.1;
        for (int i = 0; i < c.zoomOuts; ++i) expectedZoom -= 0.1;
        ASSERT_EQ(static_cast<int>(c.pageWidth * expectedZoom), c.drawnWidth);
        ASSERT_EQ(static_cast<int>(c.pageHeight * expectedZoom), c.drawnHeight);

        TemporaryDrive drive;
        HeadlessApp app;
        bool checked = false;
        app.Then([&] {
            drive.Write("img001.BMP", SolidBmp24(c.pageWidth, c.pageHeight, kRed));
            FillClient(app.Control(IDC_FRAME), kCanvas);
            for (int i = 0; i < c.zoomIns; ++i) SendCommand(app, IDC_ZOOM_IN);
            for (int i = 0; i < c.zoomOuts; ++i) SendCommand(app, IDC_ZOOM_OUT);
            Repaint(app);
        });
        app.Then([&] {
            EXPECT_EQ(app.Editor()->m_dZoomX, expectedZoom);
            EXPECT_EQ(app.Editor()->m_dZoomY, expectedZoom);
            HWND frame = app.Control(IDC_FRAME);
            const SIZE frameSize = ClientSize(frame);
            auto at = [&](int x, int y) { return Rgb(HeadlessApp::PixelAt(frame, x, y)); };
            // Inside the frame's border only.
            auto inside = [&](int x, int y) { return x >= 1 && y >= 1 && x < frameSize.cx - 1 && y < frameSize.cy - 1; };
            if (c.drawnWidth > 1 && c.drawnHeight > 1) {
                const int lastX = std::min(c.drawnWidth - 1, static_cast<int>(frameSize.cx) - 2);
                const int lastY = std::min(c.drawnHeight - 1, static_cast<int>(frameSize.cy) - 2);
                EXPECT_EQ(at(1, 1), kRed);
                EXPECT_EQ(at(lastX, lastY), kRed);
                if (inside(c.drawnWidth, 1)) EXPECT_EQ(at(c.drawnWidth, 1), kCanvas);
                if (inside(1, c.drawnHeight)) EXPECT_EQ(at(1, c.drawnHeight), kCanvas);
                if (inside(c.drawnWidth, c.drawnHeight)) EXPECT_EQ(at(c.drawnWidth, c.drawnHeight), kCanvas);
            } else {
                // An empty or inverted destination draws nothing.
                EXPECT_EQ(FindDarkPixels(frame).count, 0);
                for (auto [x, y] : std::vector<std::pair<int, int>>{{1, 1}, {50, 50}, {400, 600}}) EXPECT_EQ(at(x, y), kCanvas);
            }
            checked = true;
            app.Key(VK_ESCAPE);
        });
        app.Run();
        EXPECT_TRUE(checked);
    }
}

TEST(PageView, AMissingPageLeavesTheFrameAsItWasAndTheButtonsWork) {
    TemporaryDrive drive;
    HeadlessApp app;
    bool checked = false;
    app.Then([&] {
        FillClient(app.Control(IDC_FRAME), kCanvas);
        Repaint(app);
    });
    app.Then([&] {
        EXPECT_EQ(CountTopLevel("komalore"), 0);
        EXPECT_EQ(Rgb(HeadlessApp::PixelAt(app.Control(IDC_FRAME), 100, 100)), kCanvas);
        EXPECT_TRUE(platform::win::Find(app.EditorWindow())->update.IsEmpty());
        app.ClickCenter(app.Control(IDC_TEMP_VIEW));
        app.ClickCenter(app.Control(IDC_BALLOON));
        app.ClickCenter(app.Control(IDC_SAVE));
    });
    app.Then([&] {
        EXPECT_EQ(CountTopLevel("komalore"), 0);
        EXPECT_EQ(app.Editor()->m_bTempView, TRUE);
        EXPECT_EQ(app.Editor()->m_bBalloon, 1);
        EXPECT_EQ(drive.Read("img002.bmp").size(), 921654u);
        EXPECT_EQ(Rgb(HeadlessApp::PixelAt(app.Control(IDC_FRAME), 100, 100)), kCanvas);
        checked = true;
        app.Key(VK_ESCAPE);
    });
    app.Run();
    EXPECT_TRUE(checked);
}

TEST(PageView, APageChangedOnDiskShowsAtTheNextRepaint) {
    TemporaryDrive drive;
    HeadlessApp app;
    drive.Write("img001.BMP", SolidBmp24(480, 640, kRed));
    std::vector<platform::Pixel> shown;
    app.Then([&] {
        shown.push_back(Rgb(HeadlessApp::PixelAt(app.Control(IDC_FRAME), 200, 200)));
        drive.Write("img001.BMP", SolidBmp24(480, 640, kBlue));
    });
    app.Then([&] {
        // Nothing asked for a repaint yet: the old page still shows.
        shown.push_back(Rgb(HeadlessApp::PixelAt(app.Control(IDC_FRAME), 200, 200)));
        Repaint(app);
    });
    app.Then([&] {
        shown.push_back(Rgb(HeadlessApp::PixelAt(app.Control(IDC_FRAME), 200, 200)));
        app.Key(VK_ESCAPE);
    });
    app.Run();
    EXPECT_EQ(shown, (std::vector<platform::Pixel>{kRed, kRed, kBlue}));
}

TEST(PageView, APageLargerThanTheFrameIsCutAtItsEdge) {
    TemporaryDrive drive;
    HeadlessApp app;
    std::vector<platform::Pixel> before;
    std::vector<platform::Pixel> after;
    auto outsideFrame = [&] {
        HWND editor = app.EditorWindow();
        RECT frame{};
        GetWindowRect(app.Control(IDC_FRAME), &frame);
        POINT topLeft{frame.left, frame.top};
        POINT bottomRight{frame.right, frame.bottom};
        ScreenToClient(editor, &topLeft);
        ScreenToClient(editor, &bottomRight);
        const SIZE size = ClientSize(editor);
        std::vector<platform::Pixel> pixels;
        for (int y = 0; y < size.cy; ++y) {
            for (int x = 0; x < size.cx; ++x) {
                if (x >= topLeft.x && x < bottomRight.x && y >= topLeft.y && y < bottomRight.y) continue;
                pixels.push_back(Rgb(HeadlessApp::PixelAt(editor, x, y)));
            }
        }
        return pixels;
    };
    app.Then([&] {
        before = outsideFrame();
        drive.Write("img001.BMP", SolidBmp24(900, 1000, kGreen));
        Repaint(app);
    });
    app.Then([&] {
        after = outsideFrame();
        const SIZE frameSize = ClientSize(app.Control(IDC_FRAME));
        EXPECT_EQ(Rgb(HeadlessApp::PixelAt(app.Control(IDC_FRAME), frameSize.cx - 2, frameSize.cy - 2)), kGreen);
        app.Key(VK_ESCAPE);
    });
    app.Run();
    ASSERT_FALSE(before.empty());
    ASSERT_EQ(before.size(), after.size());
    std::size_t changed = 0;
    for (std::size_t i = 0; i < before.size(); ++i) changed += before[i] != after[i];
    EXPECT_EQ(changed, 0u);
}
