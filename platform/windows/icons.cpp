// Icons from the program's resources: a 32 x 32 and a 16 x 16 picture, with transparency.
#include <array>
#include <cmath>

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

// The platform's own message-box icons, drawn rather than stored: a yellow warning triangle with
// "!", a red disc with a white cross, and a blue disc for the others.
constexpr int kIconHand = 32513;
constexpr int kIconExclamation = 32515;

Surface SystemIconPicture(int id, int size) {
    Surface s(size, size, 0);
    const double scale = size / 32.0;
    auto put = [&](int x, int y, Pixel p) {
        if (s.Contains(x, y)) s.Set(x, y, p | 0xFF000000u);
    };
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double fx = (x + 0.5) / scale;
            const double fy = (y + 0.5) / scale;
            if (id == kIconExclamation) {
                // Apex at (16, 1), base from (1, 30) to (31, 30).
                const double halfWidth = (fy - 1.0) * 15.0 / 29.0;
                if (fy < 1.0 || fy > 30.0 || std::abs(fx - 16.0) > halfWidth) continue;
                const bool edge = fy > 28.5 || std::abs(fx - 16.0) > halfWidth - 1.6;
                const bool bar = std::abs(fx - 16.0) < 1.6 && fy > 9.0 && fy < 21.0;
                const bool dot = std::abs(fx - 16.0) < 1.6 && fy > 23.0 && fy < 26.5;
                put(x, y, edge || bar || dot ? 0x000000 : 0xFFFF00);
            } else {
                const double d = std::hypot(fx - 16.0, fy - 16.0);
                if (d > 15.0) continue;
                const bool edge = d > 13.8;
                Pixel fill = id == kIconHand ? 0xFF0000 : 0x0000FF;
                if (id == kIconHand && std::abs(std::abs(fx - 16.0) - std::abs(fy - 16.0)) < 1.8 && d < 9.0) fill = 0xFFFFFF;
                put(x, y, edge ? 0x000000 : fill);
            }
        }
    }
    return s;
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
    auto icon = std::make_unique<Icon>();
    icon->resourceId = resourceId;
    if (const IconResource* res = FindIconResource(resourceId)) {
        icon->large = PictureFromRows(res->large, 32);
        icon->small = PictureFromRows(res->small, 16);
    } else if (resourceId >= 32513 && resourceId <= 32516) {
        icon->large = SystemIconPicture(resourceId, 32);
        icon->small = SystemIconPicture(resourceId, 16);
    } else {
        return nullptr;
    }
    return HandleCast<HICON>(Icons().icons.Add(std::move(icon)));
}

BOOL DrawIcon(HDC hdc, int x, int y, HICON icon) { return DrawIconEx(hdc, x, y, icon, 32, 32); }

BOOL DrawIconEx(HDC hdc, int x, int y, HICON icon, int width, int) {
    const Surface* picture = IconPicture(icon, width);
    if (!picture) return FALSE;
    DrawPicture(hdc, x, y, *picture);
    return TRUE;
}
