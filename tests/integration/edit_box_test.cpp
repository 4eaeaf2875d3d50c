// The edit boxes in the running editor: keys, mouse, clipboard, undo, the limit, the code page
// edge, the input method, the context menu, scrolling, the caret and the looks.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/base/codepage.h"
#include "platform/controls/controls.h"
#include "platform/controls/edit_messages.h"
#include "platform/controls/edit_scrollbar.h"
#include "platform/gdi/gdi_internal.h"
#include "res/resource.h"
#include "tests/support/headless_app.h"

using komalore_test::HeadlessApp;
using komalore_test::TemporaryDrive;
using platform::display::Event;
using platform::display::EventType;
using platform::display::MouseButton;

namespace {

std::string Cp932(const char* utf8) { return platform::Cp932FromUtf8(utf8); }

// The box's text as its ANSI reader gets it: code page 932 bytes.
std::string RawText(HWND hwnd) {
    std::string buffer(static_cast<std::size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
    buffer.resize(static_cast<std::size_t>(GetWindowTextA(hwnd, buffer.data(), static_cast<int>(buffer.size()))));
    return buffer;
}

std::pair<DWORD, DWORD> Selection(HWND hwnd) {
    DWORD start = 0, end = 0;
    SendMessageA(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
}

// The height of a line of text in the box: its font's cell height.
int LineHeightOf(HWND hwnd) {
    HDC dc = GetDC(hwnd);
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0)));
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    ReleaseDC(hwnd, dc);
    return tm.tmHeight;
}

LRESULT FirstVisibleLine(HWND hwnd) { return SendMessageA(hwnd, platform::controls::edit::EM_GETFIRSTVISIBLELINE, 0, 0); }

bool IsDark(platform::Pixel p) { return platform::PixelRed(p) + platform::PixelGreen(p) + platform::PixelBlue(p) < 200; }

// Columns of the box's client area (outside `skipLeft` pixels) that hold a dark pixel.
std::vector<int> DarkColumns(HWND hwnd, int skipLeft = 0) {
    RECT client;
    GetClientRect(hwnd, &client);
    std::vector<int> columns;
    for (int x = skipLeft; x < client.right; ++x) {
        for (int y = 0; y < client.bottom; ++y) {
            if (IsDark(HeadlessApp::PixelAt(hwnd, x, y))) {
                columns.push_back(x);
                break;
            }
        }
    }
    return columns;
}

struct Input {
    enum Kind { KeyPress, Text } kind;
    UINT vk = 0;
    bool shift = false;
    bool ctrl = false;
    const char* text = nullptr;
};
Input K(UINT vk, bool shift = false, bool ctrl = false) { return Input{Input::KeyPress, vk, shift, ctrl, nullptr}; }
Input T(const char* utf8) { return Input{Input::Text, 0, false, false, utf8}; }

void Queue(HeadlessApp& app, const std::vector<Input>& inputs) {
    for (const Input& in : inputs) {
        if (in.kind == Input::KeyPress) app.Key(in.vk, in.shift, in.ctrl);
        else app.Type(in.text);
    }
}

struct KeyCase {
    const char* name;
    int box;
    const char* before;  // UTF-8
    int selStart, selEnd;  // code page 932 byte offsets, as EM_SETSEL takes them
    std::vector<Input> inputs;
    const char* after;
    DWORD afterStart, afterEnd;
};

}  // namespace

TEST(EditBox, KeysEditTheFocusedBox) {
    const std::vector<KeyCase> cases = {
        {"shift left twice selects", IDC_TEXT, "abc", 3, 3, {K(VK_LEFT, true), K(VK_LEFT, true)}, "abc", 1, 3},
        {"ctrl left moves by words", IDC_TEXT, "foo bar", 7, 7, {K(VK_LEFT, false, true)}, "foo bar", 4, 4},
        {"backspace takes CR LF as one", IDC_TEXT, "ab\r\ncd", 4, 4, {K(VK_BACK)}, "abcd", 2, 2},
        {"delete takes CR LF as one", IDC_TEXT, "ab\r\ncd", 2, 2, {K(VK_DELETE)}, "abcd", 2, 2},
        {"return breaks the line", IDC_TEXT, "", 0, 0, {T("a"), K(VK_RETURN), T("b")}, "a\r\nb", 4, 4},
        {"ctrl home and shift ctrl end", IDC_TEXT, "ab\r\ncd", 2, 2, {K(VK_HOME, false, true), K(VK_END, true, true)}, "ab\r\ncd", 0, 6},
        {"up and down go between lines", IDC_TEXT, "ab\r\ncd", 6, 6, {K(VK_UP), K(VK_END), K(VK_DOWN)}, "ab\r\ncd", 6, 6},
        {"ctrl A and typing replaces everything", IDC_TEXT, "old text", 0, 0, {K('A', false, true), T("新")}, "新", 2, 2},
        {"ctrl Z undoes the typing, again redoes it", IDC_TEXT, "x", 1, 1, {T("yz"), K('Z', false, true), K('Z', false, true)}, "xyz", 1, 3},
        {"ctrl Z once", IDC_TEXT, "x", 1, 1, {T("yz"), K('Z', false, true)}, "x", 1, 1},
        {"kanji positions count bytes", IDC_TEXT, "日本", 0, 0, {K(VK_RIGHT, true)}, "日本", 0, 2},
        {"single-line box edits too", IDC_TOP, "12", 2, 2, {K(VK_BACK), T("5")}, "15", 2, 2},
        {"home in a single-line box", IDC_TOP, "12", 2, 2, {K(VK_HOME), T("-")}, "-12", 1, 1},
    };
    TemporaryDrive drive;
    HeadlessApp app;
    for (const KeyCase& c : cases) {
        app.Then([&app, &c] {
            HWND box = app.Control(c.box);
            SetFocus(box);
            SetWindowTextA(box, Cp932(c.before).c_str());
            SendMessageA(box, EM_SETSEL, static_cast<WPARAM>(c.selStart), c.selEnd);
            Queue(app, c.inputs);
        });
        app.Then([&app, &c] {
            SCOPED_TRACE(c.name);
            HWND box = app.Control(c.box);
            EXPECT_EQ(RawText(box), Cp932(c.after));
            EXPECT_EQ(Selection(box), (std::pair<DWORD, DWORD>{c.afterStart, c.afterEnd}));
        });
    }
    app.Then([&] { app.Key(VK_ESCAPE); });
    app.Run();
}

TEST(EditBox, ReturnInASingleLineBoxGoesToTheDialog) {
    TemporaryDrive drive;
    HeadlessApp app;
    bool prompted = false;
    app.Then([&] {
        SetWindowTextA(app.Control(IDC_TOP), "abc");
        app.ClickCenter(app.Control(IDC_TOP));
        app.Key(VK_RETURN);
    });
    app.Then([&] {
        // The OK path read the box and prompts: the Return never reached the box as text.
        HWND box = HeadlessApp::FindTopLevel("komalore");
        prompted = box != nullptr;
        EXPECT_EQ(RawText(app.Control(IDC_TOP)), "abc");
        if (box) app.Key(VK_RETURN);
    });
    app.Then([&] { app.Key(VK_ESCAPE); });
    app.Run();
    EXPECT_TRUE(prompted);
}

TEST(EditBox, ClipboardKeysAndMessages) {
    struct ClipCase {
        const char* name;
        int box;
        const char* before;
        int selStart, selEnd;
        const char* clipboardBefore;  // null: no text on the clipboard
        std::vector<Input> inputs;
        UINT message;  // sent after the inputs, 0 for none
        const char* after;
        const char* clipboardAfter;
    };
    const std::vector<ClipCase> cases = {
        {"ctrl C copies", IDC_TEXT, "abc", 0, 2, nullptr, {K('C', false, true)}, 0, "abc", "ab"},
        {"ctrl X cuts", IDC_TEXT, "abc", 1, 3, nullptr, {K('X', false, true)}, 0, "a", "bc"},
        {"ctrl V pastes over the selection", IDC_TEXT, "abc", 1, 2, "日本", {K('V', false, true)}, 0, "a日本c", "日本"},
        {"shift delete cuts", IDC_TEXT, "abc", 0, 1, nullptr, {K(VK_DELETE, true)}, 0, "bc", "a"},
        {"ctrl insert copies", IDC_TEXT, "abc", 2, 3, nullptr, {K(VK_INSERT, false, true)}, 0, "abc", "c"},
        {"shift insert pastes", IDC_TEXT, "", 0, 0, "xy", {K(VK_INSERT, true)}, 0, "xy", "xy"},
        {"LF and CR alone become CR LF", IDC_TEXT, "", 0, 0, "a\nb\rc\r\nd", {K('V', false, true)}, 0, "a\r\nb\r\nc\r\nd", "a\nb\rc\r\nd"},
        {"a single-line box takes the first line", IDC_LEFT, "", 0, 0, "12\n34", {K('V', false, true)}, 0, "12", "12\n34"},
        {"copy without a selection leaves the clipboard", IDC_TEXT, "abc", 1, 1, "keep", {K('C', false, true)}, 0, "abc", "keep"},
        {"invalid UTF-8 is replaced", IDC_TEXT, "", 0, 0, "a\xff", {K('V', false, true)}, 0, "a?", "a\xff"},
        {"WM_COPY", IDC_TEXT, "abc", 0, 3, nullptr, {}, WM_COPY, "abc", "abc"},
        {"WM_CUT", IDC_TEXT, "abc", 0, 1, nullptr, {}, WM_CUT, "bc", "a"},
        {"WM_PASTE", IDC_TEXT, "abc", 3, 3, "!", {}, WM_PASTE, "abc!", "!"},
        {"WM_CLEAR", IDC_TEXT, "abc", 1, 2, "z", {}, WM_CLEAR, "ac", "z"},
    };
    TemporaryDrive drive;
    HeadlessApp app;
    for (const ClipCase& c : cases) {
        app.Then([&app, &c] {
            HWND box = app.Control(c.box);
            SetFocus(box);
            SetWindowTextA(box, Cp932(c.before).c_str());
            SendMessageA(box, EM_SETSEL, static_cast<WPARAM>(c.selStart), c.selEnd);
            app.Display().hasClipboard = c.clipboardBefore != nullptr;
            app.Display().clipboard = c.clipboardBefore ? c.clipboardBefore : "";
            Queue(app, c.inputs);
        });
        app.Then([&app, &c] {
            SCOPED_TRACE(c.name);
            HWND box = app.Control(c.box);
            if (c.message) SendMessageA(box, c.message, 0, 0);
            EXPECT_EQ(platform::Utf8FromCp932(RawText(box)), c.after);
            EXPECT_EQ(app.Display().clipboard, c.clipboardAfter);
        });
    }
    app.Then([&] { app.Key(VK_ESCAPE); });
    app.Run();
}

TEST(EditBox, TheLimitRefusesWithABeep) {
    TemporaryDrive drive;
    HeadlessApp app;
    app.Then([&] {
        HWND box = app.Control(IDC_TEXT);
        EXPECT_EQ(SendMessageA(box, EM_GETLIMITTEXT, 0, 0), 32767);
        SendMessageA(box, EM_LIMITTEXT, 4, 0);
        EXPECT_EQ(SendMessageA(box, EM_GETLIMITTEXT, 0, 0), 4);
        SetFocus(box);
        app.Type("abcde");
    });
    app.Then([&] {
        HWND box = app.Control(IDC_TEXT);
        EXPECT_EQ(RawText(box), "abcd");
        EXPECT_EQ(app.Display().Beeps(), 1);
        // A paste into a full box leaves it as it was, and beeps.
        app.Display().SetClipboardText("x");
        app.Key('V', false, true);
    });
    app.Then([&] {
        HWND box = app.Control(IDC_TEXT);
        EXPECT_EQ(RawText(box), "abcd");
        EXPECT_EQ(app.Display().Beeps(), 2);
        // A paste that doesn't fit whole isn't cut to fit.
        SendMessageA(box, EM_SETSEL, 0, 1);
        app.Display().SetClipboardText("xy");
        app.Key('V', false, true);
    });
    app.Then([&] {
        HWND box = app.Control(IDC_TEXT);
        EXPECT_EQ(RawText(box), "abcd");
        EXPECT_EQ(app.Display().Beeps(), 3);
        // The default limit and a 10 MB paste.
        SendMessageA(box, EM_LIMITTEXT, 0x7FFF, 0);
        SetWindowTextA(box, "");
        app.Display().SetClipboardText(std::string(10 * 1024 * 1024, 'x'));
        app.Key('V', false, true);
    });
    app.Then([&] {
        HWND box = app.Control(IDC_TEXT);
        EXPECT_EQ(RawText(box), "");
        EXPECT_EQ(app.Display().Beeps(), 4);
        app.Display().SetClipboardText(std::string(32767, 'x'));
        app.Key('V', false, true);
    });
    app.Then([&] {
        EXPECT_EQ(GetWindowTextLengthA(app.Control(IDC_TEXT)), 32767);
        EXPECT_EQ(app.Display().Beeps(), 4);
        app.Key(VK_ESCAPE);
    });
    app.Run();
}

TEST(EditBox, TheCodePageEdge) {
    TemporaryDrive drive;
    HeadlessApp app;
    app.Then([&] {
        HWND box = app.Control(IDC_TEXT);
        // Half-width katakana stay one byte each, kanji take two.
        SetWindowTextA(box, Cp932("ｱｲ日").c_str());
        EXPECT_EQ(GetWindowTextLengthA(box), 4);
        EXPECT_EQ(RawText(box), "\xb1\xb2\x93\xfa");
        SetFocus(box);
        SendMessageA(box, EM_SETSEL, 4, 4);
        // "é" and a character outside the Basic Multilingual Plane have no code page 932 form.
        app.Type("\xc3\xa9\xf0\x9f\x98\x80ｳ");
    });
    app.Then([&] {
        HWND box = app.Control(IDC_TEXT);
        EXPECT_EQ(RawText(box), "\xb1\xb2\x93\xfa??\xb3");
        EXPECT_EQ(GetWindowTextLengthA(box), 7);
        // A buffer too small for the whole text gets whole characters only.
        char small[4] = {};
        EXPECT_EQ(GetWindowTextA(box, small, 4), 2);
        EXPECT_EQ(std::string(small), "\xb1\xb2");
        app.Key(VK_ESCAPE);
    });
    app.Run();
}

TEST(EditBox, InputMethodCompositionShowsInlineAndCommitsThroughText) {
    TemporaryDrive drive;
    HeadlessApp app;
    RECT caretBefore{};
    std::vector<int> emptyColumns;
    app.Then([&] {
        EXPECT_FALSE(app.Display().TextInputActive());
        app.ClickCenter(app.Control(IDC_TEXT));
    });
    app.Then([&] {
        EXPECT_EQ(GetFocus(), app.Control(IDC_TEXT));
        EXPECT_TRUE(app.Display().TextInputActive());
        caretBefore = app.Display().TextInputRect();
        // The candidate window goes to the caret: inside the box on the editor's surface.
        platform::win::Window* w = platform::win::Find(app.Control(IDC_TEXT));
        const POINT o = platform::win::ClientOriginOnSurface(*w);
        EXPECT_GE(caretBefore.left, o.x);
        EXPECT_LE(caretBefore.left, o.x + w->ClientWidth());
        EXPECT_GE(caretBefore.top, o.y);
        EXPECT_EQ(caretBefore.bottom - caretBefore.top, LineHeightOf(app.Control(IDC_TEXT)));
        emptyColumns = DarkColumns(app.Control(IDC_TEXT), 18);
        Event e;
        e.type = EventType::Composition;
        e.text = "にほん";
        e.compositionCursor = 3;
        app.Display().Push(e);
    });
    app.Then([&] {
        HWND box = app.Control(IDC_TEXT);
        // Shown, not yet in the text.
        EXPECT_EQ(RawText(box), "");
        EXPECT_GT(DarkColumns(box, 18).size(), emptyColumns.size() + 10);
        Event end;
        end.type = EventType::Composition;
        app.Display().Push(end);
        app.Type("日本");
        app.Key(VK_RETURN);
    });
    app.Then([&] {
        HWND box = app.Control(IDC_TEXT);
        EXPECT_EQ(RawText(box), Cp932("日本\r\n"));
        // The caret went down a line, and the candidate window with it.
        EXPECT_EQ(app.Display().TextInputRect().top, caretBefore.top + LineHeightOf(box));
        // Focus elsewhere turns the input method off.
        app.Key(VK_TAB);
    });
    app.Then([&] {
        EXPECT_EQ(GetFocus(), app.Control(IDC_TOP));
        EXPECT_TRUE(app.Display().TextInputActive());  // another edit box: on again
        SetFocus(app.Control(IDCANCEL));
        EXPECT_FALSE(app.Display().TextInputActive());
        // Broken UTF-8 from the input method is replaced.
        SetFocus(app.Control(IDC_TEXT));
        app.Type("\xe6\x97");
    });
    app.Then([&] {
        EXPECT_EQ(platform::Utf8FromCp932(RawText(app.Control(IDC_TEXT))), "日本\r\n?");
        app.Key(VK_ESCAPE);
    });
    app.Run();
}

TEST(EditBox, TabIntoABoxSelectsAllOfIt) {
    TemporaryDrive drive;
    HeadlessApp app;
    app.Then([&] {
        SetWindowTextA(app.Control(IDC_TOP), "123");
        SetFocus(app.Control(IDC_TEXT));
        app.Key(VK_TAB);
        app.Type("7");
    });
    app.Then([&] {
        EXPECT_EQ(RawText(app.Control(IDC_TOP)), "7");
        app.Key(VK_ESCAPE);
    });
    app.Run();
}

namespace {

HWND OpenMenu() {
    for (HWND hwnd : platform::win::AllWindows()) {
        if (platform::win::Find(hwnd)->className == "#32768") return hwnd;
    }
    return nullptr;
}

}  // namespace

TEST(EditBox, TheContextMenuRunsTheChosenCommand) {
    TemporaryDrive drive;
    HeadlessApp app;
    app.Then([&] {
        HWND box = app.Control(IDC_TEXT);
        SetWindowTextA(box, "abc");
        app.Click(box, 60, 20, MouseButton::Right);
    });
    app.Then([&] {
        EXPECT_NE(OpenMenu(), nullptr);
        EXPECT_EQ(GetFocus(), app.Control(IDC_TEXT));
        app.Key('A');  // すべて選択(&A)
    });
    app.Then([&] {
        EXPECT_EQ(OpenMenu(), nullptr);
        EXPECT_EQ(Selection(app.Control(IDC_TEXT)), (std::pair<DWORD, DWORD>{0, 3}));
        app.Click(app.Control(IDC_TEXT), 60, 20, MouseButton::Right);
    });
    app.Then([&] { app.Key('T'); });  // 切り取り(&T)
    app.Then([&] {
        EXPECT_EQ(RawText(app.Control(IDC_TEXT)), "");
        EXPECT_EQ(app.Display().clipboard, "abc");
        app.Click(app.Control(IDC_TEXT), 60, 20, MouseButton::Right);
    });
    app.Then([&] { app.Key('U'); });  // 元に戻す(&U)
    app.Then([&] {
        EXPECT_EQ(RawText(app.Control(IDC_TEXT)), "abc");
        app.Click(app.Control(IDC_TEXT), 60, 20, MouseButton::Right);
    });
    app.Then([&] { app.Key('P'); });  // 貼り付け(&P), over the restored selection
    app.Then([&] {
        EXPECT_EQ(RawText(app.Control(IDC_TEXT)), "abc");
        EXPECT_EQ(Selection(app.Control(IDC_TEXT)), (std::pair<DWORD, DWORD>{3, 3}));
        app.Click(app.Control(IDC_TEXT), 60, 20, MouseButton::Right);
    });
    // Nothing selected: cut is grayed and its letter does nothing; Esc closes the menu.
    app.Then([&] { app.Key('T'); });
    app.Then([&] {
        EXPECT_EQ(RawText(app.Control(IDC_TEXT)), "abc");
        if (OpenMenu()) app.Key(VK_ESCAPE);
    });
    app.Then([&] {
        EXPECT_EQ(OpenMenu(), nullptr);
        app.Key(VK_ESCAPE);
    });
    app.Run();
}

TEST(EditBox, TheScrollBarOnTheLeftScrollsTheLines) {
    TemporaryDrive drive;
    HeadlessApp app;
    std::string text;
    for (int i = 0; i < 40; ++i) text += "line " + std::to_string(i) + "\r\n";
    LRESULT visible = 0;
    auto box = [&] { return app.Control(IDC_TEXT); };
    RECT client{};
    app.Then([&] {
        SetWindowTextA(box(), text.c_str());
        GetClientRect(box(), &client);
        visible = (client.bottom - 1) / LineHeightOf(box());
        EXPECT_EQ(FirstVisibleLine(box()), 0);
        app.Click(box(), 8, client.bottom - 8);  // down arrow
    });
    app.Then([&] {
        EXPECT_EQ(FirstVisibleLine(box()), 1);
        app.Click(box(), 8, client.bottom - 24);  // the track below the thumb
    });
    app.Then([&] {
        EXPECT_EQ(FirstVisibleLine(box()), 1 + visible);
        app.Click(box(), 8, 8);  // up arrow
    });
    app.Then([&] {
        EXPECT_EQ(FirstVisibleLine(box()), visible);
        Event wheel;
        wheel.type = EventType::MouseWheel;
        wheel.window = platform::win::TopLevelOf(box())->native;
        wheel.wheel = -1;
        SetFocus(box());
        app.Display().Push(wheel);
    });
    app.Then([&] {
        EXPECT_EQ(FirstVisibleLine(box()), visible + 3);
        // Dragging the thumb to the bottom shows the last lines.
        const platform::controls::edit::ScrollBarLayout bar =
            platform::controls::edit::LayOutScrollBar(RECT{0, 0, 17, client.bottom}, static_cast<std::size_t>(visible + 3),
                                                      static_cast<std::size_t>(visible), 41);
        app.MouseDown(box(), 8, bar.thumb.top + 2);
        Event move;
        move.type = EventType::MouseMove;
        move.window = platform::win::TopLevelOf(box())->native;
        const POINT o = platform::win::ClientOriginOnSurface(*platform::win::Find(box()));
        move.x = o.x + 8;
        move.y = o.y + client.bottom + 50;
        app.Display().Push(move);
        app.MouseUp(box(), 8, client.bottom + 50);
    });
    app.Then([&] {
        EXPECT_EQ(FirstVisibleLine(box()), 41 - visible);
        // Moving the caret to the start brings the first line back into view.
        app.Key(VK_HOME, false, true);
    });
    app.Then([&] {
        EXPECT_EQ(FirstVisibleLine(box()), 0);
        app.Key(VK_NEXT);
    });
    app.Then([&] {
        EXPECT_EQ(SendMessageA(box(), platform::controls::edit::EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0), visible);
        app.Key(VK_END, false, true);
    });
    app.Then([&] {
        EXPECT_EQ(FirstVisibleLine(box()), 41 - visible);
        app.Key(VK_ESCAPE);
    });
    app.Run();
}

TEST(EditBox, TextIsRightAlignedBesideALeftScrollBarAndTheBorderIsSunken) {
    TemporaryDrive drive;
    HeadlessApp app;
    app.Then([&] {
        HWND box = app.Control(IDC_TEXT);
        EXPECT_TRUE(GetWindowLongA(box, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
        EXPECT_FALSE(GetWindowLongA(box, GWL_STYLE) & WS_BORDER);
        EXPECT_TRUE(GetWindowLongA(app.Control(IDC_TOP), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
        SetWindowTextA(box, "ab");
    });
    app.Then([&] {
        HWND box = app.Control(IDC_TEXT);
        RECT client;
        GetClientRect(box, &client);
        const std::vector<int> columns = DarkColumns(box, 18);
        ASSERT_FALSE(columns.empty());
        EXPECT_GT(columns.front(), client.right / 2);  // the text hugs the right edge
        EXPECT_GE(columns.back(), client.right - 8);
        // The scroll bar's up arrow on the left, and the sunken edge around the client area.
        EXPECT_EQ(HeadlessApp::PixelAt(box, 8, 3) & 0xFFFFFF, platform::gdi::PixelFromColorRef(GetSysColor(COLOR_BTNFACE)) & 0xFFFFFF);
        EXPECT_EQ(HeadlessApp::PixelAt(box, -2, -2) & 0xFFFFFF, platform::gdi::PixelFromColorRef(GetSysColor(COLOR_BTNSHADOW)) & 0xFFFFFF);
        EXPECT_EQ(HeadlessApp::PixelAt(box, -1, -1) & 0xFFFFFF, platform::gdi::PixelFromColorRef(GetSysColor(COLOR_3DDKSHADOW)) & 0xFFFFFF);
        app.Key(VK_ESCAPE);
    });
    app.Run();
}

TEST(EditBox, MouseSelectsByDragAndWordsByDoubleClick) {
    TemporaryDrive drive;
    HeadlessApp app;
    auto box = [&] { return app.Control(IDC_TOP); };
    app.Then([&] {
        SetWindowTextA(box(), "foo bar");
        RECT client;
        GetClientRect(box(), &client);
        app.MouseDown(box(), 1, client.bottom / 2);
        Event move;
        move.type = EventType::MouseMove;
        move.window = platform::win::TopLevelOf(box())->native;
        const POINT o = platform::win::ClientOriginOnSurface(*platform::win::Find(box()));
        move.x = o.x + client.right - 1;
        move.y = o.y + client.bottom / 2;
        app.Display().Push(move);
        app.MouseUp(box(), client.right - 1, client.bottom / 2);
    });
    app.Then([&] {
        EXPECT_EQ(GetFocus(), box());
        EXPECT_EQ(Selection(box()), (std::pair<DWORD, DWORD>{0, 7}));
        // A double click on "foo" picks that word.
        const POINT o = platform::win::ClientOriginOnSurface(*platform::win::Find(box()));
        Event down;
        down.type = EventType::MouseDown;
        down.window = platform::win::TopLevelOf(box())->native;
        down.x = o.x + 4;
        down.y = o.y + 5;
        down.clicks = 2;
        app.Display().Push(down);
        down.type = EventType::MouseUp;
        app.Display().Push(down);
    });
    app.Then([&] {
        EXPECT_EQ(Selection(box()), (std::pair<DWORD, DWORD>{0, 3}));
        app.Key(VK_ESCAPE);
    });
    app.Run();
}

TEST(EditBox, TheCaretBlinksOnlyInTheFocusedBox) {
    TemporaryDrive drive;
    HeadlessApp app;
    auto caretPixel = [&] {
        HWND box = app.Control(IDC_LEFT);
        const RECT r = app.Display().TextInputRect();
        const POINT o = platform::win::ClientOriginOnSurface(*platform::win::Find(box));
        return HeadlessApp::PixelAt(box, r.left - o.x, (r.top + r.bottom) / 2 - o.y);
    };
    bool first = false;
    app.Then([&] {
        SetWindowTextA(app.Control(IDC_LEFT), "");
        SetFocus(app.Control(IDC_LEFT));
    });
    app.Then([&] {
        first = IsDark(caretPixel());
        EXPECT_TRUE(first);
    });
    app.Then([&] { EXPECT_NE(IsDark(caretPixel()), first); });  // half a second later
    app.Then([&] { EXPECT_EQ(IsDark(caretPixel()), first); });
    app.Then([&] {
        SetFocus(app.Control(IDCANCEL));
    });
    app.Then([&] {
        // No caret in a box without the focus, however long one waits.
        HWND box = app.Control(IDC_LEFT);
        EXPECT_TRUE(DarkColumns(box).empty());
        app.Key(VK_ESCAPE);
    });
    app.Run();
}

namespace {

// A parent that writes down the notifications its edit box sends.
class RecordingParent : public platform::win::WindowClass {
public:
    std::vector<WORD>* codes = nullptr;
    LRESULT Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_COMMAND && codes) codes->push_back(HIWORD(wParam));
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
};

}  // namespace

TEST(EditBox, NotificationsReachTheParent) {
    TemporaryDrive drive;
    HeadlessApp app;
    std::vector<WORD> codes;
    app.Then([&] {
        auto parentClass = std::make_unique<RecordingParent>();
        parentClass->codes = &codes;
        platform::win::CreateParams p;
        p.className = "RecordingParent";
        p.style = WS_POPUP | WS_VISIBLE;
        p.rect = RECT{0, 0, 200, 100};
        p.classProc = std::move(parentClass);
        HWND parent = platform::win::CreateWindowFromParams(std::move(p));
        for (DWORD style : {DWORD{0}, ES_MULTILINE}) {
            SCOPED_TRACE(style);
            platform::win::CreateParams c;
            c.className = "Edit";
            c.style = WS_CHILD | WS_VISIBLE | style;
            c.rect = RECT{0, 0, 100, 40};
            c.parent = parent;
            c.id = 77;
            c.classProc = platform::controls::CreateEditClass(c.style);
            HWND edit = platform::win::CreateWindowFromParams(std::move(c));
            codes.clear();
            SetFocus(edit);
            SetWindowTextA(edit, "x");
            SendMessageA(edit, EM_LIMITTEXT, 2, 0);
            SendMessageA(edit, EM_SETSEL, 1, 1);
            SendMessageA(edit, WM_CHAR, 'y', 0);
            SendMessageA(edit, WM_CHAR, 'z', 0);
            SetFocus(nullptr);
            // A multi-line box doesn't report WM_SETTEXT as a change.
            std::vector<WORD> expected = {EN_SETFOCUS, EN_UPDATE};
            if (style == 0) expected.push_back(EN_CHANGE);
            for (WORD code : {EN_UPDATE, EN_CHANGE, EN_MAXTEXT, EN_KILLFOCUS}) expected.push_back(code);
            EXPECT_EQ(codes, expected);
            DestroyWindow(edit);
        }
        DestroyWindow(parent);
        app.Key(VK_ESCAPE);
    });
    app.Run();
}

TEST(EditBox, TheTestHookWritesEveryBoxWhenTheProgramEnds) {
    TemporaryDrive drive;
    const auto dump = drive.Path() / "dump.txt";
    setenv("KOMALORE_TEST_DUMP", dump.c_str(), 1);
    {
        HeadlessApp app;
        app.Then([&] {
            app.ClickCenter(app.Control(IDC_TEXT));
            app.Type("こんにちは");
            app.Key(VK_RETURN);
            app.Type("世界");
        });
        app.Then([&] { app.Key(VK_ESCAPE); });
        app.Run();
    }
    unsetenv("KOMALORE_TEST_DUMP");
    std::ifstream in(dump);
    std::stringstream s;
    s << in.rdbuf();
    const std::string lines = s.str();
    EXPECT_NE(lines.find("1009 82b182f182c982bf82cd0d0a90a28a45\n"), std::string::npos) << lines;
    EXPECT_NE(lines.find("1010 30\n"), std::string::npos) << lines;
    EXPECT_NE(lines.find("1012 3135\n"), std::string::npos) << lines;
}

TEST(EditBox, RepaintingOnlyTheEditedLinesLeavesNothingStale) {
    TemporaryDrive drive;
    HeadlessApp app;
    std::vector<platform::Pixel> typed;
    auto pixels = [&] {
        HWND box = app.Control(IDC_TEXT);
        RECT client;
        GetClientRect(box, &client);
        std::vector<platform::Pixel> out;
        for (int y = 0; y < client.bottom; ++y) {
            for (int x = 0; x < client.right; ++x) out.push_back(HeadlessApp::PixelAt(box, x, y));
        }
        return out;
    };
    app.Then([&] {
        HWND box = app.Control(IDC_TEXT);
        SetWindowTextA(box, Cp932("一行目\r\n二行目").c_str());
        SetFocus(box);
        SendMessageA(box, EM_SETSEL, 2, 2);
        app.Type("abc日本!");
        app.Key(VK_BACK);
        app.Key(VK_LEFT, true);
        app.Type("x");
    });
    app.Then([&] {
        EXPECT_EQ(RawText(app.Control(IDC_TEXT)), Cp932("一abc日x行目\r\n二行目"));
        // Painted again whole, at once (before the caret blinks), the box looks the same.
        typed = pixels();
        InvalidateRect(app.Control(IDC_TEXT), nullptr, FALSE);
        platform::win::Deliver(app.Control(IDC_TEXT), WM_PAINT, 0, 0);
        EXPECT_TRUE(pixels() == typed);
        app.Key(VK_ESCAPE);
    });
    app.Run();
}

TEST(EditBox, LongLinesScrollSidewaysToKeepTheCaretInView) {
    for (int id : {IDC_TOP, IDC_TEXT}) {
        SCOPED_TRACE(id);
        TemporaryDrive drive;
        HeadlessApp app;
        auto caretInside = [&] {
            HWND box = app.Control(id);
            const RECT caret = app.Display().TextInputRect();
            const POINT o = platform::win::ClientOriginOnSurface(*platform::win::Find(box));
            RECT client;
            GetClientRect(box, &client);
            EXPECT_GE(caret.left, o.x);
            EXPECT_LT(caret.left, o.x + client.right);
        };
        app.Then([&] {
            SetWindowTextA(app.Control(id), "");
            SetFocus(app.Control(id));
            app.Type("0123456789012345678901234567890123456789");
        });
        app.Then([&] {
            EXPECT_EQ(GetWindowTextLengthA(app.Control(id)), 40);
            caretInside();
            app.Key(VK_HOME);
        });
        app.Then([&] {
            caretInside();
            app.Key(VK_END);
        });
        app.Then([&] {
            caretInside();
            app.Key(VK_ESCAPE);
        });
        app.Run();
    }
}

TEST(EditBox, TheMenuKeyOpensTheContextMenuAtTheCaret) {
    TemporaryDrive drive;
    HeadlessApp app;
    app.Then([&] {
        SetWindowTextA(app.Control(IDC_TOP), "42");
        SetFocus(app.Control(IDC_TOP));
        app.Key(VK_APPS);
    });
    app.Then([&] {
        HWND menu = OpenMenu();
        ASSERT_NE(menu, nullptr);
        // Just below the caret.
        RECT r;
        GetWindowRect(menu, &r);
        POINT caret{app.Display().TextInputRect().left, app.Display().TextInputRect().bottom};
        platform::win::Window* top = platform::win::TopLevelOf(app.Control(IDC_TOP));
        EXPECT_EQ(r.left, top->rect.left + caret.x);
        EXPECT_EQ(r.top, top->rect.top + caret.y);
        app.Key('A');
    });
    app.Then([&] {
        EXPECT_EQ(Selection(app.Control(IDC_TOP)), (std::pair<DWORD, DWORD>{0, 2}));
        app.Key(VK_F10, true);
    });
    app.Then([&] {
        EXPECT_NE(OpenMenu(), nullptr);
        app.Key(VK_ESCAPE);
    });
    app.Then([&] {
        EXPECT_EQ(OpenMenu(), nullptr);
        EXPECT_EQ(RawText(app.Control(IDC_TOP)), "42");
        app.Key(VK_ESCAPE);
    });
    app.Run();
}

TEST(EditBox, RightToLeftReadingPutsTheCaretAfterATrailingNeutralOnTheLeft) {
    TemporaryDrive drive;
    HeadlessApp app;
    app.Then([&] {
        SetFocus(app.Control(IDC_TEXT));
        app.Type("abc日本!");
    });
    app.Then([&] {
        HWND box = app.Control(IDC_TEXT);
        const POINT o = platform::win::ClientOriginOnSurface(*platform::win::Find(box));
        const int caretX = app.Display().TextInputRect().left - o.x;
        // The caret is drawn too; the text's own columns lie right of it, and "!" (shown
        // leftmost, before "abc") ends right where the caret stands.
        std::vector<int> columns = DarkColumns(box, 18);
        columns.erase(std::remove(columns.begin(), columns.end(), caretX), columns.end());
        ASSERT_FALSE(columns.empty());
        EXPECT_GT(columns.front(), caretX);
        EXPECT_LE(columns.front(), caretX + 4);
        // Home goes to logical position 0, before "a": right of the "!".
        app.Key(VK_HOME);
    });
    app.Then([&] {
        HWND box = app.Control(IDC_TEXT);
        const POINT o = platform::win::ClientOriginOnSurface(*platform::win::Find(box));
        const RECT caret = app.Display().TextInputRect();
        EXPECT_EQ(Selection(box), (std::pair<DWORD, DWORD>{0, 0}));
        HDC dc = GetDC(box);
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(box, WM_GETFONT, 0, 0)));
        SIZE bang{};
        GetTextExtentPoint32A(dc, "!", 1, &bang);
        SIZE all{};
        GetTextExtentPoint32A(dc, Cp932("abc日本!").c_str(), 8, &all);
        ReleaseDC(box, dc);
        RECT client;
        GetClientRect(box, &client);
        // Right-aligned: the line spans [right - width, right); "a" starts one "!" in.
        const int lineLeft = client.right - 2 - all.cx;
        EXPECT_EQ(caret.left - o.x, lineLeft + bang.cx);
        app.Key(VK_ESCAPE);
    });
    app.Run();
}

TEST(EditBox, OutOfRangeMessagesAreQuietlyClamped) {
    TemporaryDrive drive;
    HeadlessApp app;
    app.Then([&] {
        namespace em = platform::controls::edit;
        HWND box = app.Control(IDC_TEXT);
        SetWindowTextA(box, Cp932("日本\r\nab").c_str());
        SendMessageA(box, EM_SETSEL, 0x7FFFFFFF, 0x7FFFFFFF);
        EXPECT_EQ(Selection(box), (std::pair<DWORD, DWORD>{8, 8}));
        SendMessageA(box, EM_SETSEL, 1, 5);  // inside a kanji, and between CR and LF
        EXPECT_EQ(Selection(box), (std::pair<DWORD, DWORD>{0, 4}));
        SendMessageA(box, EM_SETSEL, static_cast<WPARAM>(-1), 3);
        EXPECT_EQ(Selection(box), (std::pair<DWORD, DWORD>{4, 4}));
        EXPECT_EQ(SendMessageA(box, em::EM_LINEINDEX, 1000000, 0), -1);
        EXPECT_EQ(SendMessageA(box, em::EM_LINEINDEX, 1, 0), 6);
        EXPECT_EQ(SendMessageA(box, em::EM_LINEFROMCHAR, 0x7FFFFFFF, 0), 1);
        EXPECT_EQ(SendMessageA(box, em::EM_LINELENGTH, 0, 0), 4);
        EXPECT_EQ(SendMessageA(box, em::EM_GETLINECOUNT, 0, 0), 2);
        SendMessageA(box, WM_VSCROLL, MAKELONG(em::SB_THUMBTRACK, 0xFFFF), 0);
        EXPECT_EQ(FirstVisibleLine(box), 0);  // two lines fit: nothing to scroll
        SendMessageA(box, em::EM_LINESCROLL, static_cast<WPARAM>(INT_MIN), INT_MIN);
        SendMessageA(box, em::EM_LINESCROLL, static_cast<WPARAM>(INT_MAX), INT_MAX);
        EXPECT_EQ(FirstVisibleLine(box), 0);
        for (WPARAM c : {WPARAM{0}, WPARAM{0x7F}, WPARAM{0xD800}, WPARAM{0x110000}, ~WPARAM{0}}) SendMessageA(box, WM_CHAR, c, 0);
        EXPECT_EQ(RawText(box), Cp932("日本\r\nab"));
        char one[1] = {'x'};
        EXPECT_EQ(GetWindowTextA(box, one, 1), 0);
        EXPECT_EQ(one[0], '\0');
        SendMessageA(box, EM_REPLACESEL, TRUE, 0);  // no text at all
        EXPECT_EQ(RawText(box), Cp932("日本\r\nab"));
    });
    app.Then([&] { app.Key(VK_ESCAPE); });
    app.Run();
}
