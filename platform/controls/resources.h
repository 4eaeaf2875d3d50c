// The program's resources as the layer reads them: dialog templates, the string table and
// icons. The program links its own set in (res/), as resources are linked into an executable.
#pragma once

#include <span>
#include <string>

#include "platform/base/windef.h"

namespace platform {

// A picture of 16 colours (the standard VGA palette): one string per row, one character per
// pixel, '0'-'9' and 'A'-'F' for a palette index and '.' for a transparent pixel.
struct IconImage {
    int size = 0;
    std::span<const char* const> rows;
};

struct IconResource {
    int id = 0;
    IconImage large;  // 32 x 32
    IconImage small;  // 16 x 16
};

struct DialogItemResource {
    int id = 0;
    const char* className = "";  // "Button", "Static" or "Edit"
    const char* textUtf8 = "";   // for an icon static: "#<icon id>"
    DWORD style = 0;             // WS_CHILD is implied
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;  // dialog units
};

struct DialogResource {
    int id = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    const char* captionUtf8 = "";
    int pointSize = 9;
    const char* faceUtf8 = "";
    std::span<const DialogItemResource> items;
};

struct StringResource {
    int id = 0;
    const char* textUtf8 = "";
};

struct ResourceSet {
    std::span<const DialogResource> dialogs;
    std::span<const StringResource> strings;
    std::span<const IconResource> icons;
};

// Defined by the program.
const ResourceSet& ExecutableResources();

// Tests may put another string table in front of the program's.
void OverrideStringTable(std::span<const StringResource> strings);
void ClearStringTableOverride();

const DialogResource* FindDialogResource(int id);
const IconResource* FindIconResource(int id);
// The string in code page 932, or empty when there is none.
bool LoadStringResource(int id, std::string& cp932);

}  // namespace platform
