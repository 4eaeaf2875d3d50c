// The program's resources: its dialog templates, string table and icon, as a resource script
// lays them out. Texts are UTF-8 here and reach the program in its code page.
#include "platform/controls/resources.h"
#include "platform/windows/afxwin.h"
#include "res/icon_main.h"
#include "res/resource.h"

namespace {

constexpr char kDialogFace[] = "ＭＳ Ｐゴシック";

constexpr DWORD kPush = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kHiddenPush = WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kSmallEdit = WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;

const platform::DialogItemResource kLetteringItems[] = {
    {IDOK, "Button", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 299, 218, 50, 14},
    {IDCANCEL, "Button", "終了", kPush, 0, 353, 173, 50, 14},
    {IDC_ZOOM_IN, "Button", "拡大", kHiddenPush, 0, 299, 238, 50, 16},
    {IDC_BALLOON, "Button", "ふきだし", kPush, 0, 356, 7, 50, 15},
    {IDC_FRAME, "Static", "", WS_VISIBLE | SS_BLACKFRAME, 0, 7, 7, 274, 427},
    {IDC_SAVE, "Button", "保存", kPush, 0, 355, 123, 50, 13},
    {IDC_TEMP_SAVE, "Button", "一時保存", kPush, 0, 356, 31, 50, 15},
    {IDC_TEMP_VIEW, "Button", "一時保存読込", kPush, 0, 356, 59, 50, 16},
    {IDC_ZOOM_OUT, "Button", "縮小", kHiddenPush, 0, 301, 261, 49, 14},
    {IDC_TEXT, "Edit", "",
     WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN,
     WS_EX_RIGHT | WS_EX_RTLREADING | WS_EX_LEFTSCROLLBAR, 285, 7, 65, 128},
    {IDC_STATIC, "Static", "Top:", WS_VISIBLE | SS_LEFT | WS_GROUP, 0, 286, 137, 16, 12},
    {IDC_TOP, "Edit", "", kSmallEdit, 0, 307, 137, 35, 13},
    {IDC_STATIC, "Static", "Left:", WS_VISIBLE | SS_LEFT | WS_GROUP, 0, 283, 154, 20, 14},
    {IDC_LEFT, "Edit", "", kSmallEdit, 0, 306, 156, 36, 12},
    {IDC_STATIC, "Static", "Font Size:", WS_VISIBLE | SS_LEFT | WS_GROUP, 0, 281, 174, 31, 12},
    {IDC_FONT_SIZE, "Edit", "", kSmallEdit, 0, 316, 174, 28, 12},
};

const platform::DialogItemResource kAboutItems[] = {
    {IDC_STATIC, "Static", "#128", WS_VISIBLE | SS_ICON, 0, 11, 17, 20, 20},
    {IDC_STATIC, "Static", "Komalore Version 1.0", WS_VISIBLE | SS_LEFT | SS_NOPREFIX | WS_GROUP, 0, 40, 10, 119, 8},
    {IDC_STATIC, "Static", "漫画の写植のための小さな道具", WS_VISIBLE | SS_LEFT | WS_GROUP, 0, 40, 25, 119, 8},
    {IDOK, "Button", "OK", WS_VISIBLE | BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 0, 178, 7, 50, 14},
};

const platform::DialogResource kDialogs[] = {
    {IDD_LETTERING, WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, WS_EX_APPWINDOW, 0, 0,
     439, 463, "Komalore", 9, kDialogFace, kLetteringItems},
    {IDD_ABOUT, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 0, 0, 0, 235, 55,
     "Komaloreのﾊﾞｰｼﾞｮﾝ情報", 9, kDialogFace, kAboutItems},
};

const platform::StringResource kStrings[] = {
    {IDS_ABOUT_ITEM, "Komalore のﾊﾞｰｼﾞｮﾝ情報(&A)..."},
};

const platform::IconResource kIcons[] = {
    {IDI_MAIN, {32, komalore_res::kMainIcon32}, {16, komalore_res::kMainIcon16}},
};

const platform::ResourceSet kResources = {kDialogs, kStrings, kIcons};

}  // namespace

const platform::ResourceSet& platform::ExecutableResources() { return kResources; }
