// The dialog manager's record of a dialog window.
#pragma once

#include <string_view>

#include "platform/controls/resources.h"
#include "platform/windows/window_internal.h"

namespace platform::controls {

class DialogClass : public win::WindowClass {
public:
    LRESULT Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

    bool ended = false;
    INT_PTR result = 0;
    int defaultId = IDOK;
    int templateId = 0;
    bool endOnCommands = false;
    SIZE baseUnits{};
    HWND lastFocus = nullptr;
};

DialogClass* FindDialogClass(HWND hwnd);

// Dialog base units of a dialog font, and a template rectangle in pixels.
SIZE DialogBaseUnits(HFONT font);
RECT MapDialogUnits(const SIZE& base, int x, int y, int cx, int cy);

// Creates the dialog window and its controls, sends WM_INITDIALOG, centres and shows it.
// `framework` (may be null) is attached before any control exists.
HWND CreateDialogFromResource(const DialogResource& res, HWND owner, CWnd* framework, bool endOnCommands);

// Runs the dialog modally with its owner disabled; destroys it and returns its result.
INT_PTR RunModalDialog(HWND dialog, HWND owner);

// The framework's reading of an integer box.
bool ParseDialogInteger(std::string_view text, int& value);

}  // namespace platform::controls
