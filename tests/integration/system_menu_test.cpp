// The system menu with the about item, the about box, and help.
#include <gtest/gtest.h>

#include <vector>

#include "platform/base/codepage.h"
#include "platform/drawdib/vfw.h"
#include "platform/windows/menu_internal.h"
#include "res/resource.h"
#include "tests/support/headless_app.h"

using komalore_test::HeadlessApp;
using komalore_test::TemporaryDrive;

namespace {

constexpr char kAboutCaption[] = "Komaloreのﾊﾞｰｼﾞｮﾝ情報";

struct Item {
    UINT id;
    std::string text;
    bool operator==(const Item&) const = default;
};

std::vector<Item> MenuItems(HWND hwnd) {
    std::vector<Item> out;
    HMENU menu = GetSystemMenu(hwnd, FALSE);
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[128] = {};
        GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        out.push_back(Item{GetMenuItemID(menu, i), platform::Utf8FromCp932(text)});
    }
    return out;
}

// The popup menu window while one is open.
HWND OpenMenu() {
    for (HWND hwnd : platform::win::AllWindows()) {
        if (platform::win::Find(hwnd)->className == "#32768") return hwnd;
    }
    return nullptr;
}

class RecordingHelp : public platform::HelpEngine {
public:
    explicit RecordingHelp(std::vector<std::pair<std::string, DWORD>>& calls) : calls_(calls) {}
    bool ShowContext(const std::string& file, DWORD context) override {
        calls_.emplace_back(file, context);
        return false;  // as the platform's only engine does
    }

private:
    std::vector<std::pair<std::string, DWORD>>& calls_;
};

}  // namespace

TEST(SystemMenu, EndsWithTheAboutItemAfterTheStandardItems) {
    TemporaryDrive drive;
    HeadlessApp app;
    app.Then([&] {
        const std::vector<Item> expected = {{SC_MOVE, "移動(&M)"},
                                            {0, ""},
                                            {SC_CLOSE, "閉じる(&C)\tAlt+F4"},
                                            {0, ""},
                                            {IDM_ABOUT, "Komalore のﾊﾞｰｼﾞｮﾝ情報(&A)..."}};
        EXPECT_EQ(MenuItems(app.EditorWindow()), expected);
        EXPECT_EQ(GetMenuState(GetSystemMenu(app.EditorWindow(), FALSE), 3, MF_BYPOSITION), MF_SEPARATOR);
        app.Key(VK_ESCAPE);
    });
    app.Run();
}

TEST(SystemMenu, AnEmptyAboutStringAppendsNothing) {
    static const platform::StringResource kEmpty[] = {{IDS_ABOUT_ITEM, ""}};
    platform::OverrideStringTable(kEmpty);
    TemporaryDrive drive;
    HeadlessApp app;
    app.Then([&] {
        const std::vector<Item> expected = {{SC_MOVE, "移動(&M)"}, {0, ""}, {SC_CLOSE, "閉じる(&C)\tAlt+F4"}};
        EXPECT_EQ(MenuItems(app.EditorWindow()), expected);
        app.Key(VK_ESCAPE);
    });
    app.Run();
    platform::ClearStringTableOverride();
}

TEST(SystemMenu, OnlyTheAboutCommandOpensTheAboutBox) {
    struct Case {
        UINT command;
        bool opens;
    };
    for (const Case c : {Case{IDM_ABOUT, true}, Case{0x0013, true}, Case{0x001F, true}, Case{SC_MOVE, false}, Case{0x0020, false}}) {
        SCOPED_TRACE(c.command);
        TemporaryDrive drive;
        HeadlessApp app;
        bool opened = false;
        app.Then([&] { PostMessageA(app.EditorWindow(), WM_SYSCOMMAND, c.command, 0); });
        app.Then([&] {
            HWND box = HeadlessApp::FindTopLevel(kAboutCaption);
            opened = box != nullptr;
            if (box) {
                // Modal: the editor is disabled while the box is open, and the box is centred over it.
                EXPECT_FALSE(IsWindowEnabled(app.EditorWindow()));
                RECT e, b;
                GetWindowRect(app.EditorWindow(), &e);
                GetWindowRect(box, &b);
                EXPECT_NEAR((b.left + b.right) / 2, (e.left + e.right) / 2, 1);
                EXPECT_NEAR((b.top + b.bottom) / 2, (e.top + e.bottom) / 2, 1);
            }
            app.Key(opened ? VK_RETURN : VK_ESCAPE);  // Enter closes the box; Esc ends a keyboard move
        });
        app.Then([&] {
            EXPECT_EQ(HeadlessApp::FindTopLevel(kAboutCaption), nullptr);
            EXPECT_TRUE(IsWindowEnabled(app.EditorWindow()));
            app.Key(VK_ESCAPE);
        });
        app.Run();
        EXPECT_EQ(opened, c.opens);
    }
}

TEST(SystemMenu, CloseEndsTheEditorThroughCancel) {
    const std::size_t handlesBefore = platform::OpenDrawDibHandleCount();
    TemporaryDrive drive;
    HeadlessApp app;
    bool ended = true;
    app.Then([&] { PostMessageA(app.EditorWindow(), WM_SYSCOMMAND, SC_CLOSE, 0); });
    app.Then([&] { ended = false; });
    app.Run();
    EXPECT_TRUE(ended);
    EXPECT_EQ(platform::OpenDrawDibHandleCount(), handlesBefore);
}

TEST(AboutBox, HasItsTemplateAndEndsWithOkEscEnterAndItsCloseBox) {
    enum class Way { OkButton, Escape, Enter, CloseBox };
    for (Way way : {Way::OkButton, Way::Escape, Way::Enter, Way::CloseBox}) {
        SCOPED_TRACE(static_cast<int>(way));
        TemporaryDrive drive;
        HeadlessApp app;
        app.Then([&] { PostMessageA(app.EditorWindow(), WM_SYSCOMMAND, IDM_ABOUT, 0); });
        app.Then([&] {
            HWND box = HeadlessApp::FindTopLevel(kAboutCaption);
            ASSERT_NE(box, nullptr);
            RECT client;
            GetClientRect(box, &client);
            EXPECT_EQ(client.right, MulDiv(235, 7, 4));
            EXPECT_EQ(client.bottom, MulDiv(55, 12, 8));
            std::vector<std::string> texts;
            for (HWND c : platform::win::Find(box)->children) texts.push_back(HeadlessApp::Text(c));
            ASSERT_EQ(texts.size(), 4u);
            EXPECT_EQ(texts[0], "#128");
            EXPECT_EQ(texts[1], "Komalore Version 1.0");
            EXPECT_FALSE(texts[2].empty());
            EXPECT_EQ(texts[3], "OK");
            HWND ok = GetDlgItem(box, IDOK);
            EXPECT_EQ(GetWindowLongA(ok, GWL_STYLE) & BS_TYPEMASK, static_cast<LONG>(BS_DEFPUSHBUTTON));
            EXPECT_EQ(GetFocus(), ok);
            // The icon's 32 x 32 picture is drawn: its black outline shows in the icon control.
            HWND icon = platform::win::Find(box)->children[0];
            int dark = 0;
            for (int y = 0; y < 32; ++y)
                for (int x = 0; x < 32; ++x) dark += HeadlessApp::PixelAt(icon, x, y) == 0 ? 1 : 0;
            EXPECT_GT(dark, 40);
            switch (way) {
                case Way::OkButton: app.ClickCenter(ok); break;
                case Way::Escape: app.Key(VK_ESCAPE); break;
                case Way::Enter: app.Key(VK_RETURN); break;
                case Way::CloseBox: app.ClickCloseBox(box); break;
            }
        });
        bool editorStayed = false;
        app.Then([&] {
            EXPECT_EQ(HeadlessApp::FindTopLevel(kAboutCaption), nullptr);
            editorStayed = IsWindow(app.EditorWindow()) != FALSE;
            app.Key(VK_ESCAPE);
        });
        app.Run();
        EXPECT_TRUE(editorStayed);
    }
}

TEST(SystemMenu, OpensFromTheKeyboardTheIconAndTheCaption) {
    enum class How { AltSpace, IconClick, CaptionRightClick };
    for (How how : {How::AltSpace, How::IconClick, How::CaptionRightClick}) {
        SCOPED_TRACE(static_cast<int>(how));
        TemporaryDrive drive;
        HeadlessApp app;
        app.Then([&] {
            platform::win::Window* w = platform::win::Find(app.EditorWindow());
            platform::display::Event e;
            e.window = w->native;
            e.x = platform::win::kDialogFrame + 8;
            e.y = platform::win::kDialogFrame + 8;
            switch (how) {
                case How::AltSpace: app.Key(VK_SPACE, false, false, true); break;
                case How::IconClick:
                    e.type = platform::display::EventType::MouseDown;
                    app.Display().Push(e);
                    e.type = platform::display::EventType::MouseUp;
                    app.Display().Push(e);
                    break;
                case How::CaptionRightClick:
                    e.x = 200;
                    e.button = platform::display::MouseButton::Right;
                    e.type = platform::display::EventType::MouseDown;
                    app.Display().Push(e);
                    e.type = platform::display::EventType::MouseUp;
                    app.Display().Push(e);
                    break;
            }
        });
        app.Then([&] {
            HWND menu = OpenMenu();
            ASSERT_NE(menu, nullptr);
            RECT m, e;
            GetWindowRect(menu, &m);
            GetWindowRect(app.EditorWindow(), &e);
            if (how != How::CaptionRightClick) {
                // Below the caption's icon.
                EXPECT_EQ(m.left, e.left + platform::win::kDialogFrame);
                EXPECT_EQ(m.top, e.top + platform::win::kDialogFrame + platform::win::kCaptionHeight);
            }
            app.Key('A');  // the about item's mnemonic
        });
        app.Then([&] {
            EXPECT_EQ(OpenMenu(), nullptr);
            HWND box = HeadlessApp::FindTopLevel(kAboutCaption);
            EXPECT_NE(box, nullptr);
            app.Key(VK_RETURN);
        });
        app.Then([&] { app.Key(VK_ESCAPE); });
        app.Run();
    }
}

TEST(SystemMenu, KeysAndClicksDriveTheOpenMenu) {
    TemporaryDrive drive;
    HeadlessApp app;
    // Esc closes the menu and leaves the editor.
    app.Then([&] { app.Key(VK_SPACE, false, false, true); });
    app.Then([&] {
        ASSERT_NE(OpenMenu(), nullptr);
        app.Key(VK_ESCAPE);
    });
    // A click outside closes it too.
    app.Then([&] {
        EXPECT_EQ(OpenMenu(), nullptr);
        EXPECT_TRUE(IsWindow(app.EditorWindow()));
        app.Key(VK_SPACE, false, false, true);
    });
    app.Then([&] {
        ASSERT_NE(OpenMenu(), nullptr);
        app.Click(app.Control(IDC_FRAME), 300, 500);
    });
    // Down twice from 移動 skips the separator to 閉じる; Enter chooses it, which ends the editor.
    bool ended = true;
    app.Then([&] {
        EXPECT_EQ(OpenMenu(), nullptr);
        EXPECT_EQ(HeadlessApp::Text(app.Control(IDC_TOP)), "0");  // the click went nowhere
        app.Key(VK_SPACE, false, false, true);
    });
    app.Then([&] {
        ASSERT_NE(OpenMenu(), nullptr);
        app.Key(VK_DOWN);
        app.Key(VK_RETURN);
    });
    app.Then([&] { ended = false; });
    app.Run();
    EXPECT_TRUE(ended);
}

TEST(SystemMenu, MoveTakesTheArrowKeysUntilEnterOrEsc) {
    TemporaryDrive drive;
    HeadlessApp app;
    RECT start{};
    app.Then([&] {
        GetWindowRect(app.EditorWindow(), &start);
        PostMessageA(app.EditorWindow(), WM_SYSCOMMAND, SC_MOVE, 0);
        app.Key(VK_RIGHT);
        app.Key(VK_RIGHT);
        app.Key(VK_DOWN);
        app.Key(VK_RETURN);
    });
    app.Then([&] {
        RECT r;
        GetWindowRect(app.EditorWindow(), &r);
        EXPECT_EQ(r.left, start.left + 16);
        EXPECT_EQ(r.top, start.top + 8);
        PostMessageA(app.EditorWindow(), WM_SYSCOMMAND, SC_MOVE, 0);
        app.Key(VK_LEFT);
        app.Key(VK_ESCAPE);
    });
    app.Then([&] {
        RECT r;
        GetWindowRect(app.EditorWindow(), &r);
        EXPECT_EQ(r.left, start.left + 16);  // Esc puts it back where the move began
        EXPECT_EQ(r.top, start.top + 8);
        app.Key(VK_ESCAPE);
    });
    app.Run();
}

TEST(Help, F1AsksTheHelpEngineForTheActiveDialogAndShowsThePromptOnce) {
    std::vector<std::pair<std::string, DWORD>> calls;
    platform::InstallHelpEngine(std::make_unique<RecordingHelp>(calls));
    TemporaryDrive drive;
    HeadlessApp app;
    int prompts = 0;
    auto countPrompt = [&] {
        for (HWND hwnd : platform::win::AllWindows()) {
            platform::win::Window* w = platform::win::Find(hwnd);
            if (w->IsTopLevel() && HeadlessApp::Text(hwnd) == "komalore" &&
                HeadlessApp::Text(GetDlgItem(hwnd, 0xFFFF)) == "ﾍﾙﾌﾟの起動に失敗しました。") {
                ++prompts;
            }
        }
    };
    app.Then([&] { app.Key(VK_F1); });
    app.Then([&] {
        countPrompt();
        app.Key(VK_RETURN);
    });
    app.Then([&] {
        // Shift+F1 and Ctrl+F1 aren't the help key.
        app.Key(VK_F1, true);
        app.Key(VK_F1, false, true);
        PostMessageA(app.EditorWindow(), WM_SYSCOMMAND, IDM_ABOUT, 0);
    });
    app.Then([&] {
        ASSERT_NE(HeadlessApp::FindTopLevel(kAboutCaption), nullptr);
        app.Key(VK_F1);
    });
    app.Then([&] {
        countPrompt();
        app.Key(VK_RETURN);
    });
    app.Then([&] {
        EXPECT_NE(HeadlessApp::FindTopLevel(kAboutCaption), nullptr);
        app.Key(VK_RETURN);
    });
    app.Then([&] { app.Key(VK_ESCAPE); });
    app.Run();
    platform::InstallHelpEngine(nullptr);
    EXPECT_EQ(prompts, 2);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].second, 0x20000u + IDD_LETTERING);
    EXPECT_EQ(calls[1].second, 0x20000u + IDD_ABOUT);
    EXPECT_EQ(calls[0].first, "/usr/bin/komalore.HLP");
}
