// Message boxes: a modal dialog with an icon, the text and an OK button (or the buttons the
// type asks for), centred over its owner.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/base/codepage.h"
#include "platform/controls/dialog_internal.h"
#include "platform/gdi/gdi_internal.h"
#include "platform/windows/afxwin.h"

namespace platform::controls {

namespace {

constexpr int kIconExclamation = 32515;
constexpr int kIconHand = 32513;
constexpr int kIconQuestion = 32514;
constexpr int kIconAsterisk = 32516;

struct ButtonSpec {
    int id;
    const char* text;
};

std::vector<ButtonSpec> ButtonsFor(UINT type) {
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL: return {{IDOK, "OK"}, {IDCANCEL, "キャンセル"}};
        case MB_YESNO: return {{6, "はい(&Y)"}, {7, "いいえ(&N)"}};
        default: return {{IDOK, "OK"}};
    }
}

int IconFor(UINT type) {
    switch (type & MB_ICONMASK) {
        case MB_ICONEXCLAMATION: return kIconExclamation;
        case MB_ICONHAND: return kIconHand;
        case MB_ICONQUESTION: return kIconQuestion;
        case MB_ICONASTERISK: return kIconAsterisk;
        default: return 0;
    }
}

}  // namespace

}  // namespace platform::controls

using namespace platform;
using namespace platform::controls;

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    const std::string textUtf8 = Utf8FromCp932(text ? text : "");
    const std::string captionUtf8 = Utf8FromCp932(caption ? caption : "エラー");
    const std::vector<ButtonSpec> buttons = ButtonsFor(type);
    const int icon = IconFor(type);
    const std::string iconText = "#" + std::to_string(icon);

    // Measure the text in the dialog font to size the box around it.
    static const char kFace[] = "ＭＳ Ｐゴシック";
    Surface scratch(1, 1);
    HDC dc = gdi::CreateSurfaceDC(nullptr, &scratch, 0, 0, Region{});
    SelectObject(dc, gdi::StockDialogFont());
    RECT textRect{0, 0, 0, 0};
    gdi::DrawTextU32(dc, DecodeUtf8(textUtf8), &textRect, DT_CALCRECT | DT_NOPREFIX);
    gdi::DestroyDC(dc);

    // Dialog units of 7 x 12 pixel base units: 4 per 7 pixels across, 8 per 12 down.
    auto duX = [](int px) { return static_cast<short>((px * 4 + 6) / 7); };
    auto duY = [](int px) { return static_cast<short>((px * 8 + 11) / 12); };
    const short margin = 7;
    const short iconW = icon ? 21 : 0;
    const short iconH = icon ? 20 : 0;
    const short textX = static_cast<short>(margin + (icon ? iconW + margin : 0));
    const short textW = static_cast<short>(std::max<int>(duX(textRect.right) + 2, 20));
    const short textH = std::max<short>(duY(textRect.bottom), 8);
    const short textY = static_cast<short>(margin + std::max(0, (iconH - textH) / 2));
    const short buttonW = 50;
    const short buttonH = 14;
    const short gap = 4;
    const short buttonsW = static_cast<short>(buttons.size() * buttonW + (buttons.size() - 1) * gap);
    const short contentW = static_cast<short>(std::max<int>(textX + textW + margin, buttonsW + 2 * margin));
    const short buttonY = static_cast<short>(std::max<int>(margin + iconH, textY + textH) + margin);
    const short height = static_cast<short>(buttonY + buttonH + margin);

    std::vector<DialogItemResource> items;
    if (icon) items.push_back(DialogItemResource{20, "Static", iconText.c_str(), SS_ICON | WS_VISIBLE, 0, margin, margin, iconW, iconH});
    items.push_back(DialogItemResource{0xFFFF, "Static", textUtf8.c_str(), SS_LEFT | SS_NOPREFIX | WS_VISIBLE | WS_GROUP, 0, textX,
                                       textY, textW, textH});
    short x = static_cast<short>((contentW - buttonsW) / 2);
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const DWORD kind = i == 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        items.push_back(DialogItemResource{buttons[i].id, "Button", buttons[i].text, kind | WS_VISIBLE | WS_TABSTOP | (i == 0 ? WS_GROUP : 0u),
                                           0, x, buttonY, buttonW, buttonH});
        x = static_cast<short>(x + buttonW + gap);
    }
    DialogResource res;
    res.id = 0;
    res.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE;
    res.cx = contentW;
    res.cy = height;
    res.captionUtf8 = captionUtf8.c_str();
    res.pointSize = 9;
    res.faceUtf8 = kFace;
    res.items = items;

    if (owner) {
        // The box belongs to the owner's top-level window.
        while (GetWindowLongA(owner, GWL_STYLE) & WS_CHILD) owner = GetParent(owner);
    }
    HWND box = CreateDialogFromResource(res, owner, nullptr, true);
    if (!box) return 0;
    const INT_PTR result = RunModalDialog(box, owner);
    // Esc in a box with only OK answers OK.
    if (result == IDCANCEL && buttons.size() == 1) return IDOK;
    return static_cast<int>(result);
}
