// Icons from the program's resources: a 32 x 32 and a 16 x 16 picture, with transparency.
#include <array>

#include "platform/base/handle_table.h"
#include "platform/controls/resources.h"
#include "platform/gdi/gdi_internal.h"
#include "platform/windows/icons.h"
#include "platform/windows/window_internal.h"

namespace platform::win {

namespace {

// The standard 16-colour VGA palette, which 16-colour icons index.
constexpr std::array<Pixel, 16> kVgaPalette = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

struct Icon {
    int resourceId = 0;
    Surface large;  // top byte: 0xFF where the pixel is opaque
    Surface small;
};

struct IconTable {
    HandleTable<Icon> icons{0x49};
};

IconTable& Icons() {
    static IconTable table;
    return table;
}

Surface PictureFromRows(const IconImage& image, int size) {
    Surface s(size, size, 0);
    for (int y = 0; y < size && y < static_cast<int>(image.rows.size()); ++y) {
        const char* row = image.rows[static_cast<std::size_t>(y)];
        for (int x = 0; x < size && row[x]; ++x) {
            const char c = row[x];
            int index = -1;
            if (c >= '0' && c <= '9') index = c - '0';
            else if (c >= 'A' && c <= 'F') index = c - 'A' + 10;
            if (index >= 0) s.Set(x, y, kVgaPalette[static_cast<std::size_t>(index)] | 0xFF000000u);
        }
    }
    return s;
}

void DrawPicture(HDC hdc, int x, int y, const Surface& picture) {
    gdi::DeviceContext* dc = gdi::LookupDC(hdc);
    if (!dc || !dc->surface) return;
    for (int py = 0; py < picture.Height(); ++py) {
        for (int px = 0; px < picture.Width(); ++px) {
            const Pixel p = picture.At(px, py);
            if (!(p & 0xFF000000u)) continue;
            const int sx = dc->originX + x + px;
            const int sy = dc->originY + y + py;
            if (dc->surface->Contains(sx, sy) && dc->clip.Contains(sx, sy)) dc->surface->Set(sx, sy, p & 0xFFFFFF);
        }
    }
}

}  // namespace

const Surface* IconPicture(HICON icon, int size) {
    Icon* i = Icons().icons.Find(HandleValue(icon));
    if (!i) return nullptr;
    return size <= 16 ? &i->small : &i->large;
}

}  // namespace platform::win

using namespace platform;
using namespace platform::win;

HICON LoadIconA(HINSTANCE, int resourceId) {
    // The same icon resource always gives the same shared handle.
    HICON found = nullptr;
    Icons().icons.ForEach([&](std::uintptr_t handle, Icon& icon) {
        if (icon.resourceId == resourceId) found = HandleCast<HICON>(handle);
    });
    if (found) return found;
    const IconResource* res = FindIconResource(resourceId);
    if (!res) return nullptr;
    auto icon = std::make_unique<Icon>();
    icon->resourceId = resourceId;
    icon->large = PictureFromRows(res->large, 32);
    icon->small = PictureFromRows(res->small, 16);
    return HandleCast<HICON>(Icons().icons.Add(std::move(icon)));
}

BOOL DrawIcon(HDC hdc, int x, int y, HICON icon) { return DrawIconEx(hdc, x, y, icon, 32, 32); }

BOOL DrawIconEx(HDC hdc, int x, int y, HICON icon, int width, int) {
    const Surface* picture = IconPicture(icon, width);
    if (!picture) return FALSE;
    DrawPicture(hdc, x, y, *picture);
    return TRUE;
}
