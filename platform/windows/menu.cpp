// Menus: the system menu's items and the operations that read and extend them.
#include <string>
#include <vector>

#include "platform/base/codepage.h"
#include "platform/base/handle_table.h"
#include "platform/windows/menu_internal.h"
#include "platform/windows/window_internal.h"

namespace platform::win {

namespace {

HandleTable<Menu>& Menus() {
    static HandleTable<Menu> table(0x4D);
    return table;
}

}  // namespace

Menu* FindMenu(HMENU menu) { return Menus().Find(HandleValue(menu)); }

HMENU CreateStandardSystemMenu() {
    auto menu = std::make_unique<Menu>();
    // A fixed-size window without minimise and maximise boxes offers moving and closing.
    menu->items.push_back(MenuItem{SC_MOVE, DecodeUtf8("移動(&M)"), {}, false, false});
    menu->items.push_back(MenuItem{0, {}, {}, true, false});
    menu->items.push_back(MenuItem{SC_CLOSE, DecodeUtf8("閉じる(&C)"), DecodeUtf8("Alt+F4"), false, false});
    return HandleCast<HMENU>(Menus().Add(std::move(menu)));
}

HMENU CreateMenuHandle() { return HandleCast<HMENU>(Menus().Add(std::make_unique<Menu>())); }

void DestroyMenuHandle(HMENU menu) { Menus().Remove(HandleValue(menu)); }

}  // namespace platform::win

using namespace platform;
using namespace platform::win;

HMENU GetSystemMenu(HWND hwnd, BOOL revert) {
    Window* w = Find(hwnd);
    if (!w || !w->IsTopLevel() || !(w->style & WS_SYSMENU)) return nullptr;
    if (revert) {
        if (w->systemMenu) DestroyMenuHandle(w->systemMenu);
        w->systemMenu = nullptr;
        return nullptr;
    }
    if (!w->systemMenu) w->systemMenu = CreateStandardSystemMenu();
    return w->systemMenu;
}

BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, LPCSTR text) {
    Menu* m = FindMenu(menu);
    if (!m) return FALSE;
    MenuItem item;
    item.separator = (flags & MF_SEPARATOR) != 0;
    item.grayed = (flags & (MF_GRAYED | MF_DISABLED)) != 0;
    if (!item.separator) {
        item.id = static_cast<UINT>(id);
        // A tab separates the item's text from its key, shown at the right.
        std::u32string full = DecodeCp932(text ? text : "");
        const auto tab = full.find(U'\t');
        item.text = full.substr(0, tab);
        if (tab != std::u32string::npos) item.shortcut = full.substr(tab + 1);
    }
    m->items.push_back(std::move(item));
    return TRUE;
}

int GetMenuItemCount(HMENU menu) {
    Menu* m = FindMenu(menu);
    return m ? static_cast<int>(m->items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int position) {
    Menu* m = FindMenu(menu);
    if (!m || position < 0 || position >= static_cast<int>(m->items.size())) return static_cast<UINT>(-1);
    const MenuItem& item = m->items[static_cast<std::size_t>(position)];
    return item.separator ? 0 : item.id;
}

int GetMenuStringA(HMENU menu, UINT item, LPSTR buffer, int size, UINT flags) {
    Menu* m = FindMenu(menu);
    if (!m) return 0;
    const MenuItem* found = nullptr;
    if (flags & MF_BYPOSITION) {
        if (item < m->items.size()) found = &m->items[item];
    } else {
        for (const MenuItem& i : m->items) {
            if (!i.separator && i.id == item) {
                found = &i;
                break;
            }
        }
    }
    if (!found) return 0;
    std::u32string full = found->text;
    if (!found->shortcut.empty()) full += U'\t' + found->shortcut;
    const std::string cp932 = EncodeCp932(full);
    if (!buffer || size <= 0) return static_cast<int>(cp932.size());
    return static_cast<int>(CopyTextOut(cp932, buffer, size));
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
    Menu* m = FindMenu(menu);
    if (!m) return static_cast<UINT>(-1);
    if (flags & MF_BYPOSITION) {
        if (item >= m->items.size()) return static_cast<UINT>(-1);
        const MenuItem& i = m->items[item];
        return (i.separator ? MF_SEPARATOR : 0) | (i.grayed ? MF_GRAYED : 0);
    }
    for (const MenuItem& i : m->items) {
        if (!i.separator && i.id == item) return i.grayed ? MF_GRAYED : 0;
    }
    return static_cast<UINT>(-1);
}
