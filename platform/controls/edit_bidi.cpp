#include "platform/controls/edit_bidi.h"

#include <fribidi.h>

#include <algorithm>
#include <climits>
#include <numeric>

namespace platform::controls::edit {

LineLayout::LineLayout(std::u32string_view line, bool rightToLeft, const std::function<int(char32_t)>& advance)
    : rightToLeft_(rightToLeft) {
    // FriBidi counts in int; a line longer than that is shown in logical order.
    const std::size_t n = line.size();
    visualToLogical_.resize(n);
    std::iota(visualToLogical_.begin(), visualToLogical_.end(), 0u);
    levels_.assign(n, rightToLeft ? 1 : 0);
    if (n > 0 && n < static_cast<std::size_t>(INT_MAX / 2)) {
        const auto len = static_cast<FriBidiStrIndex>(n);
        const auto* chars = reinterpret_cast<const FriBidiChar*>(line.data());
        std::vector<FriBidiCharType> types(n);
        std::vector<FriBidiBracketType> brackets(n);
        std::vector<FriBidiLevel> levels(n);
        fribidi_get_bidi_types(chars, len, types.data());
        fribidi_get_bracket_types(chars, len, types.data(), brackets.data());
        FriBidiParType base = rightToLeft ? FRIBIDI_PAR_RTL : FRIBIDI_PAR_LTR;
        if (fribidi_get_par_embedding_levels_ex(types.data(), brackets.data(), len, &base, levels.data())) {
            std::vector<FriBidiStrIndex> map(n);
            std::iota(map.begin(), map.end(), 0);
            if (fribidi_reorder_line(FRIBIDI_FLAGS_DEFAULT, types.data(), len, 0, base, levels.data(), nullptr, map.data())) {
                for (std::size_t v = 0; v < n; ++v) visualToLogical_[v] = static_cast<std::uint32_t>(map[v]);
                for (std::size_t i = 0; i < n; ++i) levels_[i] = static_cast<std::uint8_t>(levels[i]);
            }
        }
    }
    logicalToVisual_.resize(n);
    visualText_.resize(n);
    edges_.resize(n + 1);
    int x = 0;
    for (std::size_t v = 0; v < n; ++v) {
        const std::uint32_t logical = visualToLogical_[v];
        logicalToVisual_[logical] = static_cast<std::uint32_t>(v);
        char32_t c = line[logical];
        if (levels_[logical] & 1) {
            FriBidiChar mirrored = 0;
            if (fribidi_get_mirror_char(c, &mirrored)) c = mirrored;
        }
        visualText_[v] = c;
        edges_[v] = x;
        const int w = std::max(0, advance(c));
        x = w > INT_MAX - x ? INT_MAX : x + w;
    }
    edges_[n] = x;
}

int LineLayout::CaretX(std::size_t position) const {
    const std::size_t n = Length();
    if (n == 0) return 0;
    // The caret stands at the leading edge of the character after it; at the end of the line,
    // at the trailing edge of the last one.
    if (position < n) {
        const std::size_t v = logicalToVisual_[position];
        return IsRightToLeft(position) ? edges_[v + 1] : edges_[v];
    }
    const std::size_t v = logicalToVisual_[n - 1];
    return IsRightToLeft(n - 1) ? edges_[v] : edges_[v + 1];
}

std::size_t LineLayout::FirstVisualReaching(int x) const {
    // edges_[v + 1] > x: the slot's right edge lies beyond x.
    const auto it = std::upper_bound(edges_.begin() + 1, edges_.end(), x);
    return static_cast<std::size_t>(it - (edges_.begin() + 1));
}

std::size_t LineLayout::PositionAt(int x) const {
    const std::size_t n = Length();
    if (n == 0) return 0;
    std::size_t v = FirstVisualReaching(x);
    bool leftHalf;
    if (x < 0) {
        v = 0;
        leftHalf = true;
    } else if (v >= n) {
        v = n - 1;
        leftHalf = false;
    } else {
        leftHalf = x - edges_[v] < edges_[v + 1] - x;
    }
    const std::size_t logical = visualToLogical_[v];
    const bool rtl = IsRightToLeft(logical);
    return leftHalf != rtl ? logical : logical + 1;
}

}  // namespace platform::controls::edit
