// One line of an edit box laid out for display: the characters in visual order (GNU FriBidi's
// reordering for the box's reading direction), where each one stands, and the mapping between
// caret positions and x.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::controls::edit {

class LineLayout {
public:
    // `advance` gives a character's width in pixels. Right-to-left runs are mirrored (brackets)
    // in the drawn text.
    LineLayout(std::u32string_view line, bool rightToLeft, const std::function<int(char32_t)>& advance);

    std::size_t Length() const { return visualToLogical_.size(); }
    int Width() const { return edges_.empty() ? 0 : edges_.back(); }
    // The characters as drawn, left to right.
    const std::u32string& VisualText() const { return visualText_; }
    std::size_t LogicalAt(std::size_t visual) const { return visualToLogical_[visual]; }
    std::size_t VisualOf(std::size_t logical) const { return logicalToVisual_[logical]; }
    // Left edge of visual slot `visual`; LeftOf(Length()) is the width.
    int LeftOf(std::size_t visual) const { return edges_[visual]; }
    bool IsRightToLeft(std::size_t logical) const { return (levels_[logical] & 1) != 0; }

    // The caret's x for the logical position `position` (0..Length()), from the line's left.
    int CaretX(std::size_t position) const;
    // The logical position nearest to `x`.
    std::size_t PositionAt(int x) const;
    // The first visual slot that reaches past `x` (binary search; Length() when none).
    std::size_t FirstVisualReaching(int x) const;

private:
    bool rightToLeft_;
    std::u32string visualText_;
    std::vector<std::uint32_t> visualToLogical_;
    std::vector<std::uint32_t> logicalToVisual_;
    std::vector<std::uint8_t> levels_;  // embedding level of each logical character
    std::vector<int> edges_;            // Length() + 1 left edges in visual order
};

}  // namespace platform::controls::edit
