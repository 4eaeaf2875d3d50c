// The system menu of top-level windows and the keyboard move it offers.
#pragma once

#include "platform/base/windef.h"

namespace platform::win {

// Opens the window's system menu below its caption icon (or at a screen point) and runs it
// until an item is chosen or it is dismissed; a chosen item is sent as WM_SYSCOMMAND.
void ShowSystemMenu(HWND hwnd, bool fromKeyboard, int screenX = -1, int screenY = -1);

// Moves the window with the arrow keys until Enter or Esc.
void RunKeyboardMove(HWND hwnd);

}  // namespace platform::win
