#include "platform/controls/resources.h"

#include <optional>

#include "platform/base/codepage.h"

namespace platform {

namespace {

std::optional<std::span<const StringResource>>& StringOverride() {
    static std::optional<std::span<const StringResource>> table;
    return table;
}

}  // namespace

void OverrideStringTable(std::span<const StringResource> strings) { StringOverride() = strings; }
void ClearStringTableOverride() { StringOverride().reset(); }

const DialogResource* FindDialogResource(int id) {
    for (const DialogResource& d : ExecutableResources().dialogs) {
        if (d.id == id) return &d;
    }
    return nullptr;
}

const IconResource* FindIconResource(int id) {
    for (const IconResource& i : ExecutableResources().icons) {
        if (i.id == id) return &i;
    }
    return nullptr;
}

bool LoadStringResource(int id, std::string& cp932) {
    auto strings = StringOverride() ? *StringOverride() : ExecutableResources().strings;
    for (const StringResource& s : strings) {
        if (s.id == id) {
            cp932 = Cp932FromUtf8(s.textUtf8);
            return true;
        }
    }
    cp932.clear();
    return false;
}

}  // namespace platform
