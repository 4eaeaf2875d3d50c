// The editor window: its state after start, its controls and their places, the keyboard
// interface, the ways to end it and the OK path's reading of the boxes.
#include <gtest/gtest.h>

#include <vector>

#include "platform/controls/dialog_internal.h"
#include "platform/drawdib/vfw.h"
#include "res/resource.h"
#include "tests/support/headless_app.h"

using komalore_test::HeadlessApp;
using komalore_test::TemporaryDrive;

namespace {

std::string ClassOf(HWND hwnd) { return platform::win::Find(hwnd)->className; }

RECT ChildRect(HWND hwnd) { return platform::win::Find(hwnd)->rect; }

}  // namespace

TEST(EditorWindow, StateRightAfterStart) {
    // The OK path ends the editor without closing its handle, so earlier tests may leave some.
    const std::size_t handlesBefore = platform::OpenDrawDibHandleCount();
    TemporaryDrive drive;
    HeadlessApp app;
    bool checked = false;
    app.Then([&] {
        CLetteringDlg* dlg = app.Editor();
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(HeadlessApp::Text(app.Control(IDC_TOP)), "0");
        EXPECT_EQ(HeadlessApp::Text(app.Control(IDC_LEFT)), "0");
        EXPECT_EQ(HeadlessApp::Text(app.Control(IDC_FONT_SIZE)), "15");
        EXPECT_EQ(HeadlessApp::Text(app.Control(IDC_TEXT)), "");
        EXPECT_EQ(dlg->m_bBalloon, FALSE);
        EXPECT_EQ(dlg->m_bTempView, FALSE);
        EXPECT_EQ(dlg->m_dZoomX, 1.0);
        EXPECT_EQ(dlg->m_dZoomY, 1.0);
        EXPECT_EQ(dlg->m_nTop, 0);
        EXPECT_EQ(dlg->m_nLeft, 0);
        EXPECT_EQ(dlg->m_nFontSize, 0);
        EXPECT_NE(dlg->m_hDrawDib, nullptr);
        EXPECT_EQ(platform::OpenDrawDibHandleCount(), handlesBefore + 1);
        EXPECT_EQ(dlg->m_wndText.m_hWnd, app.Control(IDC_TEXT));
        EXPECT_EQ(dlg->m_wndFrame.m_hWnd, app.Control(IDC_FRAME));
        // The caption, the icons and the task-bar entry.
        EXPECT_EQ(HeadlessApp::Text(app.EditorWindow()), "Komalore");
        EXPECT_EQ(SendMessageA(app.EditorWindow(), WM_GETICON, ICON_BIG, 0), reinterpret_cast<LRESULT>(dlg->m_hIcon));
        EXPECT_EQ(SendMessageA(app.EditorWindow(), WM_GETICON, ICON_SMALL, 0), reinterpret_cast<LRESULT>(dlg->m_hIcon));
        EXPECT_EQ(SendMessageA(app.EditorWindow(), WM_QUERYDRAGICON, 0, 0), reinterpret_cast<LRESULT>(dlg->m_hIcon));
        const LONG style = GetWindowLongA(app.EditorWindow(), GWL_STYLE);
        EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
        EXPECT_TRUE(style & WS_SYSMENU);
        const auto* native = app.Display().Native(platform::win::Find(app.EditorWindow())->native);
        ASSERT_NE(native, nullptr);
        EXPECT_TRUE(native->visible);
        EXPECT_TRUE(native->params.taskbarEntry);
        EXPECT_TRUE(native->hasIcon);
        EXPECT_EQ(native->params.titleUtf8, "Komalore");
        // The focus starts on the first visible tab stop: "終了", as OK is hidden.
        EXPECT_EQ(GetFocus(), app.Control(IDCANCEL));
        checked = true;
        app.Key(VK_ESCAPE);
    });
    EXPECT_EQ(app.Run(), FALSE);
    EXPECT_TRUE(checked);
}

TEST(EditorWindow, ControlsSitWhereTheirDialogUnitsPutThem) {
    TemporaryDrive drive;
    HeadlessApp app;
    struct Expected {
        int id;
        const char* className;
        const char* text;
        int x, y, cx, cy;  // dialog units
        bool visible;
    };
    // Base units of 7 x 12 pixels: x * 7 / 4 and y * 12 / 8, each rounded.
    const std::vector<Expected> expected = {
        {IDOK, "Button", "OK", 299, 218, 50, 14, false},
        {IDCANCEL, "Button", "終了", 353, 173, 50, 14, true},
        {IDC_ZOOM_IN, "Button", "拡大", 299, 238, 50, 16, false},
        {IDC_BALLOON, "Button", "ふきだし", 356, 7, 50, 15, true},
        {IDC_FRAME, "Static", "", 7, 7, 274, 427, true},
        {IDC_SAVE, "Button", "保存", 355, 123, 50, 13, true},
        {IDC_TEMP_SAVE, "Button", "一時保存", 356, 31, 50, 15, true},
        {IDC_TEMP_VIEW, "Button", "一時保存読込", 356, 59, 50, 16, true},
        {IDC_ZOOM_OUT, "Button", "縮小", 301, 261, 49, 14, false},
        {IDC_TEXT, "Edit", "", 285, 7, 65, 128, true},
        {IDC_TOP, "Edit", "0", 307, 137, 35, 13, true},
        {IDC_LEFT, "Edit", "0", 306, 156, 36, 12, true},
        {IDC_FONT_SIZE, "Edit", "15", 316, 174, 28, 12, true},
    };
    app.Then([&] {
        HWND editor = app.EditorWindow();
        RECT client;
        GetClientRect(editor, &client);
        EXPECT_EQ(client.right, MulDiv(439, 7, 4));
        EXPECT_EQ(client.bottom, MulDiv(463, 12, 8));
        for (const Expected& e : expected) {
            SCOPED_TRACE(e.id);
            HWND c = GetDlgItem(editor, e.id);
            ASSERT_NE(c, nullptr);
            EXPECT_EQ(ClassOf(c), e.className);
            EXPECT_EQ(HeadlessApp::Text(c), e.text);
            const RECT r = ChildRect(c);
            EXPECT_EQ(r.left, MulDiv(e.x, 7, 4));
            EXPECT_EQ(r.top, MulDiv(e.y, 12, 8));
            EXPECT_EQ(r.right - r.left, MulDiv(e.cx, 7, 4));
            EXPECT_EQ(r.bottom - r.top, MulDiv(e.cy, 12, 8));
            EXPECT_EQ(IsWindowVisible(c) != FALSE, e.visible);
        }
        // The frame holds the 480 x 640 snapshot.
        const RECT frame = ChildRect(app.Control(IDC_FRAME));
        EXPECT_EQ(frame.right - frame.left, 480);
        EXPECT_EQ(frame.bottom - frame.top, 641);
        // The three labels, in their places between the boxes.
        std::vector<std::string> labels;
        for (HWND c : platform::win::Find(editor)->children) {
            if (GetDlgCtrlID(c) == IDC_STATIC) labels.push_back(HeadlessApp::Text(c));
        }
        EXPECT_EQ(labels, (std::vector<std::string>{"Top:", "Left:", "Font Size:"}));
        const LONG textStyle = GetWindowLongA(app.Control(IDC_TEXT), GWL_STYLE);
        EXPECT_TRUE(textStyle & ES_MULTILINE);
        EXPECT_TRUE(textStyle & ES_WANTRETURN);
        EXPECT_TRUE(textStyle & WS_VSCROLL);
        const LONG textExStyle = GetWindowLongA(app.Control(IDC_TEXT), GWL_EXSTYLE);
        EXPECT_TRUE(textExStyle & WS_EX_RIGHT);
        EXPECT_TRUE(textExStyle & WS_EX_RTLREADING);
        EXPECT_TRUE(textExStyle & WS_EX_LEFTSCROLLBAR);
        app.Key(VK_ESCAPE);
    });
    app.Run();
}

TEST(EditorWindow, TabVisitsTheVisibleTabStopsInTemplateOrder) {
    TemporaryDrive drive;
    HeadlessApp app;
    std::vector<int> forward;
    std::vector<int> backward;
    const int stops = 9;  // 終了, ふきだし, 保存, 一時保存, 一時保存読込, text, Top, Left, Font Size
    for (int i = 0; i < stops; ++i) {
        app.Then([&] {
            forward.push_back(GetDlgCtrlID(GetFocus()));
            app.Key(VK_TAB);
        });
    }
    for (int i = 0; i < stops; ++i) {
        app.Then([&] {
            backward.push_back(GetDlgCtrlID(GetFocus()));
            app.Key(VK_TAB, /*shift=*/true);
        });
    }
    app.Then([&] { app.Key(VK_ESCAPE); });
    app.Run();
    const std::vector<int> order = {IDCANCEL, IDC_BALLOON, IDC_SAVE, IDC_TEMP_SAVE, IDC_TEMP_VIEW,
                                    IDC_TEXT, IDC_TOP,     IDC_LEFT, IDC_FONT_SIZE};
    EXPECT_EQ(forward, order);
    // Back from 終了 (where the forward round ended) goes to Font Size, then up the list.
    const std::vector<int> reverse = {IDCANCEL, IDC_FONT_SIZE, IDC_LEFT, IDC_TOP, IDC_TEXT,
                                      IDC_TEMP_VIEW, IDC_TEMP_SAVE, IDC_SAVE, IDC_BALLOON};
    EXPECT_EQ(backward, reverse);
}

TEST(EditorWindow, EveryWayToEndReleasesTheDrawingHandle) {
    enum class Way { CancelButton, Escape, CloseBox, AltF4, SpaceOnCancel, WindowManagerClose };
    for (Way way : {Way::CancelButton, Way::Escape, Way::CloseBox, Way::AltF4, Way::SpaceOnCancel, Way::WindowManagerClose}) {
        SCOPED_TRACE(static_cast<int>(way));
        const std::size_t handlesBefore = platform::OpenDrawDibHandleCount();
        TemporaryDrive drive;
        HeadlessApp app;
        app.Then([&] {
            ASSERT_EQ(platform::OpenDrawDibHandleCount(), handlesBefore + 1);
            HWND editor = app.EditorWindow();
            platform::win::Window* w = platform::win::Find(editor);
            switch (way) {
                case Way::CancelButton: app.ClickCenter(app.Control(IDCANCEL)); break;
                case Way::Escape: app.Key(VK_ESCAPE); break;
                case Way::CloseBox: app.ClickCloseBox(editor); break;
                case Way::AltF4: app.Key(VK_F4, false, false, true); break;
                case Way::SpaceOnCancel: app.Key(VK_SPACE); break;  // the focus starts on 終了
                case Way::WindowManagerClose: {
                    platform::display::Event e;
                    e.type = platform::display::EventType::CloseRequested;
                    e.window = w->native;
                    app.Display().Push(e);
                    break;
                }
            }
        });
        bool endedByItself = true;
        app.Then([&] { endedByItself = false; });
        EXPECT_EQ(app.Run(), FALSE);
        EXPECT_TRUE(endedByItself);
        EXPECT_EQ(platform::OpenDrawDibHandleCount(), handlesBefore);
        EXPECT_FALSE(IsWindow(app.EditorWindow()));
    }
}

TEST(EditorWindow, OkReadsTheBoxesAsIntegers) {
    struct Case {
        const char* top;
        const char* left;
        const char* fontSize;
        bool ends;
        int failingBox;  // the box that gets the focus back when it fails
        int top_, left_, size_;
    };
    const std::string thirtyOne = "1" + std::string(30, ' ');           // 31 characters
    const std::string digitAt32 = std::string(31, ' ') + "5";           // the digit is the 32nd
    const std::string trailingAt32 = "7" + std::string(30, ' ') + "x";  // junk past the 31st is not seen
    const std::vector<Case> cases = {
        {"0", "0", "15", true, 0, 0, 0, 15},
        {" \t12\t ", "-3", "+4", true, 0, 12, -3, 4},
        {"2147483647", "-2147483648", "99999999999", true, 0, 2147483647, -2147483648, 2147483647},
        {"-99999999999", "1", "1", true, 0, -2147483647 - 1, 1, 1},
        {thirtyOne.c_str(), trailingAt32.c_str(), "1", true, 0, 1, 7, 1},
        {"", "0", "15", false, IDC_TOP, 0, 0, 0},
        {"+0", "0", "15", false, IDC_TOP, 0, 0, 0},
        {"-0", "0", "15", false, IDC_TOP, 0, 0, 0},
        {"1 2", "0", "15", false, IDC_TOP, 0, 0, 0},
        {"12px", "0", "15", false, IDC_TOP, 0, 0, 0},
        {"5", "abc", "15", false, IDC_LEFT, 5, 0, 0},
        {"5", "6", "", false, IDC_FONT_SIZE, 5, 6, 0},
        {digitAt32.c_str(), "0", "15", false, IDC_TOP, 0, 0, 0},
        // Reading stops at the first box that fails: Left is never read.
        {"x", "y", "z", false, IDC_TOP, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("top=\"") + c.top + "\" left=\"" + c.left + "\" size=\"" + c.fontSize + "\"");
        TemporaryDrive drive;
        HeadlessApp app;
        bool ended = true;
        bool boxShown = false;
        app.Then([&] {
            SetWindowTextA(app.Control(IDC_TOP), c.top);
            SetWindowTextA(app.Control(IDC_LEFT), c.left);
            SetWindowTextA(app.Control(IDC_FONT_SIZE), c.fontSize);
            SetFocus(app.Control(IDC_LEFT));
            app.Key(VK_RETURN);
        });
        app.Then([&] {
            // Either the editor is gone, or the framework's prompt is up.
            HWND box = HeadlessApp::FindTopLevel("komalore");
            if (box) {
                boxShown = true;
                EXPECT_EQ(HeadlessApp::Text(GetDlgItem(box, 0xFFFF)), "整数を入力してください。");
                // The exclamation icon: a yellow triangle.
                ASSERT_NE(GetDlgItem(box, 20), nullptr);
                EXPECT_EQ(HeadlessApp::PixelAt(GetDlgItem(box, 20), 10, 27), platform::PixelFromRgb(255, 255, 0));
                app.Key(VK_RETURN);
            }
        });
        app.Then([&] {
            ended = false;
            EXPECT_EQ(GetFocus(), app.Control(c.failingBox));
            DWORD start = 1, end = 0;
            SendMessageA(GetFocus(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
            EXPECT_EQ(start, 0u);
            EXPECT_EQ(end, static_cast<DWORD>(GetWindowTextLengthA(GetFocus())));
            EXPECT_EQ(app.Editor()->m_nTop, c.top_);
            EXPECT_EQ(app.Editor()->m_nLeft, c.left_);
            app.Key(VK_ESCAPE);
        });
        app.Run();
        EXPECT_EQ(ended, c.ends);
        EXPECT_EQ(boxShown, !c.ends);
        EXPECT_EQ(app.Editor(), nullptr);  // the application forgot its main window
        if (c.ends) {
            int top = 0, left = 0, size = 0;
            EXPECT_TRUE(platform::controls::ParseDialogInteger(std::string(c.top).substr(0, 31), top));
            EXPECT_TRUE(platform::controls::ParseDialogInteger(std::string(c.left).substr(0, 31), left));
            EXPECT_TRUE(platform::controls::ParseDialogInteger(c.fontSize, size));
            EXPECT_EQ(top, c.top_);
            EXPECT_EQ(left, c.left_);
            EXPECT_EQ(size, c.size_);
        }
    }
}

TEST(EditorWindow, AClickOverTheFrameReachesTheDialog) {
    TemporaryDrive drive;
    HeadlessApp app;
    app.Then([&] {
        // A point of the frame's client area, given in the frame's coordinates.
        app.Click(app.Control(IDC_FRAME), 150 - 12, 90 - 11);
    });
    app.Then([&] {
        EXPECT_EQ(HeadlessApp::Text(app.Control(IDC_TOP)), "90");
        EXPECT_EQ(HeadlessApp::Text(app.Control(IDC_LEFT)), "150");
        app.Key(VK_ESCAPE);
    });
    app.Run();
}

TEST(EditorWindow, EditBoxesTakeTypedText) {
    TemporaryDrive drive;
    HeadlessApp app;
    app.Then([&] {
        app.ClickCenter(app.Control(IDC_TOP));
        app.Key(VK_END);
        app.Key(VK_BACK);
        app.Type("42");
        app.Key(VK_HOME);
        app.Key(VK_DELETE);
    });
    app.Then([&] {
        EXPECT_EQ(GetFocus(), app.Control(IDC_TOP));
        EXPECT_EQ(HeadlessApp::Text(app.Control(IDC_TOP)), "2");
        app.Key(VK_ESCAPE);
    });
    app.Run();
}

TEST(EditorWindow, AMinimisedEditorPaintsOnlyItsIconCentred) {
    TemporaryDrive drive;
    HeadlessApp app;
    app.Then([&] {
        HWND editor = app.EditorWindow();
        SetWindowLongA(editor, GWL_STYLE, GetWindowLongA(editor, GWL_STYLE) | WS_MINIMIZE);
        // A colour that no paint of the editor uses, over its whole client area.
        HDC dc = GetDC(editor);
        RECT client;
        GetClientRect(editor, &client);
        HBRUSH marker = CreateSolidBrush(RGB(0, 200, 0));
        FillRect(dc, &client, marker);
        DeleteObject(marker);
        ReleaseDC(editor, dc);
        InvalidateRect(editor, nullptr, FALSE);
    });
    app.Then([&] {
        HWND editor = app.EditorWindow();
        RECT client;
        GetClientRect(editor, &client);
        const int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
        const int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
        // The icon's outline starts at column 12 of its fourth row; its corners are transparent.
        EXPECT_EQ(HeadlessApp::PixelAt(editor, x + 12, y + 3), 0u);
        EXPECT_EQ(HeadlessApp::PixelAt(editor, x + 11, y + 3), platform::PixelFromRgb(0, 200, 0));
        EXPECT_EQ(HeadlessApp::PixelAt(editor, x, y), platform::PixelFromRgb(0, 200, 0));
        EXPECT_EQ(HeadlessApp::PixelAt(editor, 5, 5), platform::PixelFromRgb(0, 200, 0));
        EXPECT_TRUE(platform::win::Find(editor)->update.IsEmpty());
        SetWindowLongA(editor, GWL_STYLE, GetWindowLongA(editor, GWL_STYLE) & ~WS_MINIMIZE);
        app.Key(VK_ESCAPE);
    });
    app.Run();
}

TEST(EditorWindow, OpensWhenTheDriveFolderCantBeMade) {
    TemporaryDrive drive;
    drive.Write("not-a-folder", "x");
    // The drive would have to live inside a plain file.
    setenv("KOMALORE_DRIVE_C", (drive.Path() / "not-a-folder" / "drive_c").c_str(), 1);
    HeadlessApp app;
    bool opened = false;
    app.Then([&] {
        opened = IsWindowVisible(app.EditorWindow()) != FALSE;
        app.ClickCenter(app.Control(IDC_SAVE));  // fails, and says so
    });
    std::string message;
    app.Then([&] {
        if (HWND box = HeadlessApp::FindTopLevel("komalore")) {
            message = HeadlessApp::Text(GetDlgItem(box, 0xFFFF));
            app.Key(VK_RETURN);
        }
    });
    app.Then([&] { app.Key(VK_ESCAPE); });
    EXPECT_EQ(app.Run(), FALSE);
    EXPECT_TRUE(opened);
    EXPECT_EQ(message, "C:\\img002.bmp に保存できませんでした。");
}
