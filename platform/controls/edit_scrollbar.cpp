#include "platform/controls/edit_scrollbar.h"

#include <algorithm>

#include "platform/gdi/font_engine.h"
#include "platform/gdi/gdi_internal.h"

namespace platform::controls::edit {

namespace {

Pixel Sys(int index) { return gdi::PixelFromColorRef(GetSysColor(index)); }

void Fill(Surface& s, const Region& clip, POINT o, const RECT& r, Pixel color) {
    if (RectIsEmpty(r)) return;
    fonts::FillClipped(s, clip, o.x + r.left, o.y + r.top, o.x + r.right, o.y + r.bottom, color);
}

// A push-button face: raised two-pixel edge, or a flat dark frame while pressed.
void ButtonFace(Surface& s, const Region& clip, POINT o, const RECT& r, bool pressed) {
    Fill(s, clip, o, r, Sys(COLOR_BTNFACE));
    if (pressed) {
        const Pixel shadow = Sys(COLOR_BTNSHADOW);
        Fill(s, clip, o, RECT{r.left, r.top, r.right, r.top + 1}, shadow);
        Fill(s, clip, o, RECT{r.left, r.bottom - 1, r.right, r.bottom}, shadow);
        Fill(s, clip, o, RECT{r.left, r.top, r.left + 1, r.bottom}, shadow);
        Fill(s, clip, o, RECT{r.right - 1, r.top, r.right, r.bottom}, shadow);
        return;
    }
    Fill(s, clip, o, RECT{r.left, r.top, r.right - 1, r.top + 1}, Sys(COLOR_3DLIGHT));
    Fill(s, clip, o, RECT{r.left, r.top, r.left + 1, r.bottom - 1}, Sys(COLOR_3DLIGHT));
    Fill(s, clip, o, RECT{r.left + 1, r.top + 1, r.right - 2, r.top + 2}, Sys(COLOR_BTNHIGHLIGHT));
    Fill(s, clip, o, RECT{r.left + 1, r.top + 1, r.left + 2, r.bottom - 2}, Sys(COLOR_BTNHIGHLIGHT));
    Fill(s, clip, o, RECT{r.left, r.bottom - 1, r.right, r.bottom}, Sys(COLOR_3DDKSHADOW));
    Fill(s, clip, o, RECT{r.right - 1, r.top, r.right, r.bottom}, Sys(COLOR_3DDKSHADOW));
    Fill(s, clip, o, RECT{r.left + 1, r.bottom - 2, r.right - 1, r.bottom - 1}, Sys(COLOR_BTNSHADOW));
    Fill(s, clip, o, RECT{r.right - 2, r.top + 1, r.right - 1, r.bottom - 1}, Sys(COLOR_BTNSHADOW));
}

// A solid triangle of four rows, pointing up or down, centred in `r`.
void Arrow(Surface& s, const Region& clip, POINT o, const RECT& r, bool up, bool enabled, bool pressed) {
    const int shift = pressed ? 1 : 0;
    const int cx = (r.left + r.right) / 2 + shift;
    const int top = (r.top + r.bottom) / 2 - 2 + shift;
    auto rows = [&](int dx, int dy, Pixel color) {
        for (int i = 0; i < 4; ++i) {
            const int half = up ? i : 3 - i;
            Fill(s, clip, o, RECT{cx - half + dx, top + i + dy, cx + half + 1 + dx, top + i + 1 + dy}, color);
        }
    };
    if (enabled) {
        rows(0, 0, Sys(COLOR_BTNTEXT));
    } else {
        rows(1, 1, Sys(COLOR_BTNHIGHLIGHT));
        rows(0, 0, Sys(COLOR_GRAYTEXT));
    }
}

}  // namespace

ScrollBarLayout LayOutScrollBar(const RECT& bar, std::size_t first, std::size_t visible, std::size_t total) {
    ScrollBarLayout l;
    l.bar = bar;
    const int height = std::max(0, static_cast<int>(bar.bottom - bar.top));
    const int arrow = std::min(static_cast<int>(bar.right - bar.left), height / 2);
    l.up = RECT{bar.left, bar.top, bar.right, bar.top + arrow};
    l.down = RECT{bar.left, bar.bottom - arrow, bar.right, bar.bottom};
    l.track = RECT{bar.left, l.up.bottom, bar.right, l.down.top};
    l.scrollable = total > visible;
    const int trackLength = static_cast<int>(l.track.bottom - l.track.top);
    if (!l.scrollable || trackLength < kMinimumThumb) return l;
    const long double share = static_cast<long double>(visible) / static_cast<long double>(total);
    const int thumb = std::clamp(static_cast<int>(share * trackLength), kMinimumThumb, trackLength);
    const std::size_t range = total - visible;
    const int travel = trackLength - thumb;
    const int offset = static_cast<int>(static_cast<long double>(std::min(first, range)) * travel / static_cast<long double>(range) + 0.5L);
    l.thumb = RECT{bar.left, l.track.top + offset, bar.right, l.track.top + offset + thumb};
    return l;
}

ScrollPart HitScrollBar(const ScrollBarLayout& l, int x, int y) {
    if (!RectContains(l.bar, x, y)) return ScrollPart::None;
    if (RectContains(l.up, x, y)) return ScrollPart::LineUp;
    if (RectContains(l.down, x, y)) return ScrollPart::LineDown;
    if (RectIsEmpty(l.thumb)) return ScrollPart::None;
    if (y < l.thumb.top) return ScrollPart::PageUp;
    if (y >= l.thumb.bottom) return ScrollPart::PageDown;
    return ScrollPart::Thumb;
}

std::size_t FirstLineForThumb(const ScrollBarLayout& l, int thumbTop, std::size_t visible, std::size_t total) {
    if (!l.scrollable || RectIsEmpty(l.thumb)) return 0;
    const int travel = static_cast<int>((l.track.bottom - l.track.top) - (l.thumb.bottom - l.thumb.top));
    if (travel <= 0) return 0;
    const int offset = std::clamp(thumbTop - static_cast<int>(l.track.top), 0, travel);
    const std::size_t range = total - visible;
    return static_cast<std::size_t>(static_cast<long double>(offset) * range / travel + 0.5L);
}

void DrawScrollBar(Surface& s, const Region& clip, POINT o, const ScrollBarLayout& l, ScrollPart pressed) {
    // The track is the light checker the classic look uses, here as its average colour.
    const Pixel face = Sys(COLOR_BTNFACE);
    const Pixel light = Sys(COLOR_BTNHIGHLIGHT);
    const Pixel track = (((face & 0xFEFEFE) >> 1) + ((light & 0xFEFEFE) >> 1)) | (face & 0xFF000000);
    Fill(s, clip, o, l.track, track);
    if (pressed == ScrollPart::PageUp) Fill(s, clip, o, RECT{l.track.left, l.track.top, l.track.right, l.thumb.top}, Sys(COLOR_3DDKSHADOW));
    if (pressed == ScrollPart::PageDown) Fill(s, clip, o, RECT{l.track.left, l.thumb.bottom, l.track.right, l.track.bottom}, Sys(COLOR_3DDKSHADOW));
    ButtonFace(s, clip, o, l.up, pressed == ScrollPart::LineUp);
    ButtonFace(s, clip, o, l.down, pressed == ScrollPart::LineDown);
    Arrow(s, clip, o, l.up, true, l.scrollable, pressed == ScrollPart::LineUp);
    Arrow(s, clip, o, l.down, false, l.scrollable, pressed == ScrollPart::LineDown);
    if (!RectIsEmpty(l.thumb)) ButtonFace(s, clip, o, l.thumb, false);
}

}  // namespace platform::controls::edit
