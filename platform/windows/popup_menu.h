#pragma once

#include <vector>

#include "platform/windows/menu_internal.h"

namespace platform::win {

// Shows the items at a screen point and runs the menu until one is chosen (its id) or the
// menu is dismissed (0). From the keyboard, the first item starts highlighted.
UINT RunPopupMenu(HWND owner, const std::vector<MenuItem>& items, int screenX, int screenY, bool fromKeyboard);

}  // namespace platform::win
