// The vertical scroll bar an edit box with WS_VSCROLL draws inside its own client area: its
// parts for a given scroll state, which part a point hits, and its drawing.
#pragma once

#include <cstddef>

#include "platform/base/windef.h"
#include "platform/gdi/region.h"
#include "platform/gdi/surface.h"

namespace platform::controls::edit {

constexpr int kScrollBarWidth = 17;
constexpr int kMinimumThumb = 8;

enum class ScrollPart { None, LineUp, LineDown, PageUp, PageDown, Thumb };

struct ScrollBarLayout {
    RECT bar{};
    RECT up{};
    RECT down{};
    RECT track{};  // between the arrows
    RECT thumb{};  // empty when there is nothing to scroll
    bool scrollable = false;
};

// `first` of `total` lines is at the top and `visible` fit.
ScrollBarLayout LayOutScrollBar(const RECT& bar, std::size_t first, std::size_t visible, std::size_t total);
ScrollPart HitScrollBar(const ScrollBarLayout& layout, int x, int y);
// The first line that puts the thumb's top at `thumbTop`.
std::size_t FirstLineForThumb(const ScrollBarLayout& layout, int thumbTop, std::size_t visible, std::size_t total);

// Draws the bar in client coordinates of a context whose origin is `origin` on the surface.
void DrawScrollBar(Surface& surface, const Region& clip, POINT origin, const ScrollBarLayout& layout, ScrollPart pressed);

}  // namespace platform::controls::edit
