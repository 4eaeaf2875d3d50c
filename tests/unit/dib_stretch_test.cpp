// Stretching, source rectangles and clipping of the DIB engine.
#include <gtest/gtest.h>

#include "tests/unit/dib_test_support.h"

namespace {

using namespace dibtest;

constexpr Pixel kFill = 0x00C0FFEE;

// The colour that marks picture pixel (x, y), counted from the top of the upright picture.
Pixel Marker(int x, int y) { return platform::PixelFromRgb(x, y, 0x77); }

// A 24-bit DIB whose every pixel is its own marker.
Dib MarkedDib(int width, int height, bool topDown = false) {
    DibRecipe recipe;
    recipe.width = width;
    recipe.height = topDown ? -height : height;
    recipe.bitCount = 24;
    const int rowBytes = (width * 3 + 3) / 4 * 4;
    recipe.bits.assign(static_cast<std::size_t>(rowBytes) * height, 0);
    for (int stored = 0; stored < height; ++stored) {
        const int y = topDown ? stored : height - 1 - stored;
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = recipe.bits.data() + stored * rowBytes + x * 3;
            const Pixel m = Marker(x, y);
            p[0] = static_cast<std::uint8_t>(m);
            p[1] = static_cast<std::uint8_t>(m >> 8);
            p[2] = static_cast<std::uint8_t>(m >> 16);
        }
    }
    return BuildDib(recipe);
}

struct StretchCase {
    const char* name;
    int sourceWidth, sourceHeight, destinationWidth, destinationHeight;
    std::vector<int> columns;  // source column under each destination column
    std::vector<int> rows;     // source picture row under each destination row
};

const StretchCase kStretchCases[] = {
    {"Identity", 3, 2, 3, 2, {0, 1, 2}, {0, 1}},
    {"Double", 3, 2, 6, 4, {0, 0, 1, 1, 2, 2}, {0, 0, 1, 1}},
    {"Half", 4, 2, 2, 1, {1, 3}, {1}},
    // The program's zoom 1.1 on a 10-pixel axis gives 11: the source pixel under each centre.
    {"ZoomOnePointOne", 10, 5, 11, 5, {0, 1, 2, 3, 4, 5, 5, 6, 7, 8, 9}, {0, 1, 2, 3, 4}},
    {"ZoomOnePointTwo", 5, 1, 6, 1, {0, 1, 2, 2, 3, 4}, {0}},
    {"ZoomPointNine", 10, 1, 9, 1, {0, 1, 2, 3, 5, 6, 7, 8, 9}, {0}},
    {"OneToMany", 1, 1, 4, 3, {0, 0, 0, 0}, {0, 0, 0}},
    {"ManyToOne", 7, 5, 1, 1, {3}, {2}},
};

class DibStretch : public testing::TestWithParam<StretchCase> {};

TEST_P(DibStretch, EachPixelTakesTheSourcePixelUnderItsCentre) {
    const StretchCase& c = GetParam();
    const Dib dib = MarkedDib(c.sourceWidth, c.sourceHeight);
    const Drawn drawn = DrawOnto(dib.bytes, dib.bitsOffset, c.destinationWidth + 2, c.destinationHeight + 2, kFill,
                                 {1, 1, c.destinationWidth, c.destinationHeight},
                                 {0, 0, c.sourceWidth, c.sourceHeight});
    ASSERT_TRUE(drawn.ok);
    for (int y = 0; y < c.destinationHeight + 2; ++y) {
        for (int x = 0; x < c.destinationWidth + 2; ++x) {
            const bool inside = x >= 1 && y >= 1 && x <= c.destinationWidth && y <= c.destinationHeight;
            const Pixel expected = inside ? Marker(c.columns[x - 1], c.rows[y - 1]) : kFill;
            EXPECT_EQ(drawn.surface.At(x, y), expected) << "at (" << x << ", " << y << ")";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Stretch, DibStretch, testing::ValuesIn(kStretchCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct EmptySizeCase {
    const char* name;
    Rect destination;
    Rect source;
};

const EmptySizeCase kEmptySizes[] = {
    {"ZeroByZero", {0, 0, 0, 0}, {0, 0, 4, 3}},
    {"ZeroWidth", {0, 0, 0, 3}, {0, 0, 4, 3}},
    {"ZeroHeight", {0, 0, 4, 0}, {0, 0, 4, 3}},
    // Eleven zoom-out steps from 1.0 make a negative destination.
    {"NegativeDestination", {0, 0, -47, -63}, {0, 0, 4, 3}},
    {"NegativeWidthOnly", {0, 0, -4, 3}, {0, 0, 4, 3}},
    {"ZeroSource", {0, 0, 4, 3}, {0, 0, 0, 3}},
    {"NegativeSourceOfBottomUp", {0, 0, 4, 3}, {0, 0, 4, -3}},
};

class DibEmptySize : public testing::TestWithParam<EmptySizeCase> {};

TEST_P(DibEmptySize, DrawsNothing) {
    const Dib dib = MarkedDib(4, 3);
    const auto& c = GetParam();
    const Drawn drawn = DrawOnto(dib.bytes, dib.bitsOffset, 8, 8, kFill, c.destination, c.source);
    EXPECT_FALSE(drawn.ok);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) ASSERT_EQ(drawn.surface.At(x, y), kFill);
}

INSTANTIATE_TEST_SUITE_P(Stretch, DibEmptySize, testing::ValuesIn(kEmptySizes),
                         [](const auto& info) { return std::string(info.param.name); });

// The source rectangle is in the DIB's row order: a bottom-up DIB counts ySrc from its bottom row,
// a top-down one from its top row.
TEST(DibSourceRectangle, BottomUpCountsFromTheBottom) {
    const Dib dib = MarkedDib(3, 4);
    const Drawn drawn = DrawOnto(dib.bytes, dib.bitsOffset, 2, 1, kFill, {0, 0, 2, 1}, {1, 0, 2, 1});
    ASSERT_TRUE(drawn.ok);
    EXPECT_EQ(drawn.surface.At(0, 0), Marker(1, 3));
    EXPECT_EQ(drawn.surface.At(1, 0), Marker(2, 3));
}

TEST(DibSourceRectangle, TopDownCountsFromTheTop) {
    const Dib dib = MarkedDib(3, 4, true);
    const Drawn drawn = DrawOnto(dib.bytes, dib.bitsOffset, 2, 2, kFill, {0, 0, 2, 2}, {1, 1, 2, 2});
    ASSERT_TRUE(drawn.ok);
    EXPECT_EQ(drawn.surface.At(0, 0), Marker(1, 1));
    EXPECT_EQ(drawn.surface.At(1, 1), Marker(2, 2));
}

// The program passes a top-down page's height as stored, negative; it is drawn upright at its
// real height.
TEST(DibSourceRectangle, TopDownWithStoredNegativeHeight) {
    const Dib dib = MarkedDib(2, 3, true);
    const Drawn drawn = DrawOnto(dib.bytes, dib.bitsOffset, 2, 3, kFill, {0, 0, 2, 3}, {0, 0, 2, -3});
    ASSERT_TRUE(drawn.ok);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 2; ++x) EXPECT_EQ(drawn.surface.At(x, y), Marker(x, y));
}

// Destination pixels whose source lies outside the image stay as they were.
TEST(DibSourceRectangle, PartlyOutsideTheImage) {
    const Dib dib = MarkedDib(2, 2);
    const Drawn drawn = DrawOnto(dib.bytes, dib.bitsOffset, 3, 2, kFill, {0, 0, 3, 2}, {1, 0, 3, 2});
    ASSERT_TRUE(drawn.ok);
    EXPECT_EQ(drawn.surface.At(0, 0), Marker(1, 0));
    EXPECT_EQ(drawn.surface.At(1, 1), kFill);
    EXPECT_EQ(drawn.surface.At(2, 0), kFill);
}

struct ClipCase {
    const char* name;
    std::vector<RECT> clip;
    Rect destination;
};

const ClipCase kClipCases[] = {
    {"TwoRectangles", {{1, 1, 4, 3}, {5, 6, 9, 9}}, {2, 2, 8, 8}},
    {"ClipOutsideDestination", {{0, 0, 2, 2}}, {4, 4, 4, 4}},
    {"DestinationOffTheSurface", {{0, 0, 12, 12}}, {-5, -3, 8, 8}},
    {"DestinationPastTheSurface", {{0, 0, 12, 12}}, {9, 10, 8, 8}},
    {"EmptyClip", {}, {0, 0, 8, 8}},
};

class DibClip : public testing::TestWithParam<ClipCase> {};

// Only pixels in the clip, the destination and the surface change; all of those get the image.
TEST_P(DibClip, TouchesOnlyClippedPixels) {
    const ClipCase& c = GetParam();
    Region clip;
    for (const RECT& r : c.clip) clip.Add(r);
    const Dib dib = MarkedDib(8, 8);
    const Drawn drawn = DrawOnto(dib.bytes, dib.bitsOffset, 12, 12, kFill, c.destination, {0, 0, 8, 8}, clip);
    EXPECT_TRUE(drawn.ok);
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 12; ++x) {
            const int dx = x - c.destination.x, dy = y - c.destination.y;
            const bool drawnHere = clip.Contains(x, y) && dx >= 0 && dy >= 0 && dx < 8 && dy < 8;
            EXPECT_EQ(drawn.surface.At(x, y), drawnHere ? Marker(dx, dy) : kFill) << "at (" << x << ", " << y << ")";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Clip, DibClip, testing::ValuesIn(kClipCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A page far larger than the window, drawn into a small clip at zoom 1.0 and zoomed in: the part
// under the clip comes out right.
TEST(DibClipLargePage, DrawsTheVisiblePartOfABigPage) {
    DibRecipe recipe;
    recipe.width = 7016;
    recipe.height = 9921;
    recipe.bitCount = 8;
    recipe.palette.resize(256);
    for (int i = 0; i < 256; ++i) recipe.palette[static_cast<std::size_t>(i)] = platform::PixelFromRgb(i, 255 - i, 7);
    recipe.colorsUsed = 256;
    const std::size_t rowBytes = 7016;
    recipe.bits.resize(rowBytes * 9921);
    for (std::size_t stored = 0; stored < 9921; ++stored)
        for (std::size_t x = 0; x < 7016; ++x) recipe.bits[stored * rowBytes + x] = static_cast<std::uint8_t>((x + 3 * stored) & 0xFF);
    const Dib dib = BuildDib(recipe);
    auto indexAt = [](int x, int pictureRow) { return (x + 3 * (9921 - 1 - pictureRow)) & 0xFF; };

    for (const int zoom : {1, 8}) {
        SCOPED_TRACE(zoom);
        const Drawn drawn = DrawOnto(dib.bytes, dib.bitsOffset, 480, 641, kFill, {-1000, -2000, 7016 * zoom, 9921 * zoom},
                                     {0, 0, 7016, 9921}, Region(RECT{0, 0, 480, 641}));
        ASSERT_TRUE(drawn.ok);
        for (const auto [x, y] : {std::pair{0, 0}, std::pair{479, 640}, std::pair{123, 456}}) {
            const int sx = (x + 1000) / zoom, sy = (y + 2000) / zoom;
            EXPECT_EQ(drawn.surface.At(x, y), recipe.palette[static_cast<std::size_t>(indexAt(sx, sy))]);
        }
    }
}

}  // namespace
