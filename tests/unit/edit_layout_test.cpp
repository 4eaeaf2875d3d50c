// Line layout of the edit boxes (visual order from FriBidi, caret x and hit testing) and the
// geometry of their scroll bar.
#include <gtest/gtest.h>

#include "platform/base/codepage.h"
#include "platform/controls/edit_bidi.h"
#include "platform/controls/edit_scrollbar.h"

using namespace platform::controls::edit;

namespace {

int TenPixels(char32_t) { return 10; }

}  // namespace

TEST(EditLineLayout, RightToLeftReadingKeepsRunsAndPutsEndNeutralsOnTheLeft) {
    struct OrderCase {
        const char* name;
        const char* logical;
        bool rightToLeft;
        const char* visual;
    };
    const std::vector<OrderCase> cases = {
        {"Latin then Japanese then a trailing !", "abc日本!", true, "!abc日本"},
        {"Japanese then Latin", "日本abc", true, "日本abc"},
        {"a leading neutral goes right", "!abc", true, "abc!"},
        {"left-to-right reading changes nothing", "abc日本!", false, "abc日本!"},
        {"Hebrew runs turn round in either direction", "ab \u05d0\u05d1", false, "ab \u05d1\u05d0"},
        {"brackets in a right-to-left run are mirrored", "\u05d0(\u05d1)", true, "(\u05d1)\u05d0"},
        {"empty", "", true, ""},
    };
    for (const OrderCase& c : cases) {
        SCOPED_TRACE(c.name);
        const LineLayout layout(platform::DecodeUtf8(c.logical), c.rightToLeft, TenPixels);
        EXPECT_EQ(platform::EncodeUtf8(layout.VisualText()), c.visual);
    }
}

TEST(EditLineLayout, CaretAndHitTestFollowTheVisualOrder) {
    // Visually "!abc日本": "!" (right-to-left) at 0..10, then "abc日本" at 10..60.
    const LineLayout layout(U"abc日本!", true, TenPixels);
    ASSERT_EQ(layout.Width(), 60);
    EXPECT_EQ(layout.CaretX(0), 10);  // before "a": its left edge
    EXPECT_EQ(layout.CaretX(3), 40);  // before "日"
    EXPECT_EQ(layout.CaretX(5), 10);  // before "!": its right edge, as it runs leftwards
    EXPECT_EQ(layout.CaretX(6), 0);   // after "!": its left edge
    struct HitCase {
        int x;
        std::size_t position;
    };
    for (const HitCase& h : std::vector<HitCase>{{-5, 6}, {2, 6}, {8, 5}, {12, 0}, {18, 1}, {44, 3}, {57, 5}, {500, 5}}) {
        SCOPED_TRACE(h.x);
        EXPECT_EQ(layout.PositionAt(h.x), h.position);
    }
    EXPECT_EQ(layout.FirstVisualReaching(0), 0u);
    EXPECT_EQ(layout.FirstVisualReaching(10), 1u);
    EXPECT_EQ(layout.FirstVisualReaching(60), 6u);
}

TEST(EditLineLayout, LeftToRightCaretPositions) {
    const LineLayout layout(U"ab", false, [](char32_t c) { return c == U'a' ? 6 : 9; });
    EXPECT_EQ(layout.CaretX(0), 0);
    EXPECT_EQ(layout.CaretX(1), 6);
    EXPECT_EQ(layout.CaretX(2), 15);
    EXPECT_EQ(layout.PositionAt(2), 0u);
    EXPECT_EQ(layout.PositionAt(4), 1u);
    EXPECT_EQ(layout.PositionAt(14), 2u);
}

TEST(EditScrollBar, PartsFollowTheScrollState) {
    const RECT bar{0, 0, 17, 100};
    const ScrollBarLayout top = LayOutScrollBar(bar, 0, 10, 40);
    EXPECT_TRUE(top.scrollable);
    EXPECT_EQ(top.up.bottom, 17);
    EXPECT_EQ(top.down.top, 83);
    EXPECT_EQ(top.thumb.top, 17);
    EXPECT_EQ(top.thumb.bottom - top.thumb.top, 16);  // a quarter of the 66-pixel track
    const ScrollBarLayout bottom = LayOutScrollBar(bar, 30, 10, 40);
    EXPECT_EQ(bottom.thumb.bottom, 83);
    struct HitCase {
        int y;
        ScrollPart part;
    };
    const ScrollBarLayout middle = LayOutScrollBar(bar, 15, 10, 40);
    for (const HitCase& h : std::vector<HitCase>{{5, ScrollPart::LineUp}, {95, ScrollPart::LineDown}, {20, ScrollPart::PageUp},
                                                  {middle.thumb.top + 2, ScrollPart::Thumb}, {80, ScrollPart::PageDown}}) {
        SCOPED_TRACE(h.y);
        EXPECT_EQ(HitScrollBar(middle, 8, h.y), h.part);
    }
    EXPECT_EQ(HitScrollBar(middle, 20, 50), ScrollPart::None);
    EXPECT_EQ(FirstLineForThumb(middle, 17, 10, 40), 0u);
    EXPECT_EQ(FirstLineForThumb(middle, 83 - 16, 10, 40), 30u);
    EXPECT_EQ(FirstLineForThumb(middle, 1000, 10, 40), 30u);
}

TEST(EditScrollBar, NothingToScrollHasNoThumb) {
    const ScrollBarLayout l = LayOutScrollBar(RECT{0, 0, 17, 100}, 0, 10, 4);
    EXPECT_FALSE(l.scrollable);
    EXPECT_TRUE(platform::RectIsEmpty(l.thumb));
    EXPECT_EQ(HitScrollBar(l, 8, 50), ScrollPart::None);
    EXPECT_EQ(HitScrollBar(l, 8, 5), ScrollPart::LineUp);
    // A bar too short for both arrows splits its height between them.
    const ScrollBarLayout tiny = LayOutScrollBar(RECT{0, 0, 17, 20}, 0, 1, 5);
    EXPECT_EQ(tiny.up.bottom, 10);
    EXPECT_EQ(tiny.down.top, 10);
}
