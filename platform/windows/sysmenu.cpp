// The system menu's popup and the keyboard move.
#include "platform/windows/sysmenu.h"

#include "platform/windows/window_internal.h"

namespace platform::win {

void ShowSystemMenu(HWND, bool, int, int) {
    // The popup comes with the menu's own window; until then the menu is reachable only
    // through its commands.
}

void RunKeyboardMove(HWND) {}

}  // namespace platform::win
