#pragma once

#include <string>
#include <vector>

#include "platform/base/windef.h"

namespace platform::win {

struct MenuItem {
    UINT id = 0;
    std::u32string text;      // with "&" before the mnemonic
    std::u32string shortcut;  // shown at the right
    bool separator = false;
    bool grayed = false;
};

struct Menu {
    std::vector<MenuItem> items;
};

Menu* FindMenu(HMENU menu);
HMENU CreateStandardSystemMenu();
HMENU CreateMenuHandle();
void DestroyMenuHandle(HMENU menu);

}  // namespace platform::win
