// RLE8 and RLE4 decoding: runs, escapes, and the pixels a stream leaves alone.
#include <gtest/gtest.h>

#include "tests/unit/dib_test_support.h"

namespace {

using namespace dibtest;

constexpr Pixel F = 0x00ABCDEF;  // what the target showed before the draw

Pixel Colour(int index) { return platform::PixelFromRgb(10 * index + 5, 3, 200 - index); }

std::vector<Pixel> SixteenColours() {
    std::vector<Pixel> palette;
    for (int i = 0; i < 16; ++i) palette.push_back(Colour(i));
    return palette;
}

DibRecipe RleRecipe(int width, int height, bool fourBit, std::vector<std::uint8_t> stream) {
    DibRecipe recipe;
    recipe.width = width;
    recipe.height = height;
    recipe.bitCount = fourBit ? 4 : 8;
    recipe.compression = fourBit ? BI_RLE4 : BI_RLE8;
    recipe.palette = SixteenColours();
    recipe.colorsUsed = 16;
    recipe.sizeImage = static_cast<std::uint32_t>(stream.size());
    recipe.bits = std::move(stream);
    return recipe;
}

struct RleCase {
    const char* name;
    int width, height;
    bool fourBit;
    std::vector<std::uint8_t> stream;
    std::vector<Pixel> expected;  // rows top to bottom
};

const RleCase kRleCases[] = {
    {"EncodedAndAbsoluteRuns", 4, 2, false,
     {0x03, 1, 0x01, 2, 0x00, 0x00, 0x00, 0x03, 5, 6, 7, 0x00, 0x01, 8, 0x00, 0x01},
     {Colour(5), Colour(6), Colour(7), Colour(8), Colour(1), Colour(1), Colour(1), Colour(2)}},
    // The delta moves right 2 and up 1; what it skips keeps the old content, as does the row the
    // end of bitmap leaves.
    {"DeltaSkipsPixels", 4, 3, false, {0x01, 1, 0x00, 0x02, 2, 1, 0x01, 3, 0x00, 0x00, 0x00, 0x01},
     {F, F, F, F, F, F, F, Colour(3), Colour(1), F, F, F}},
    {"EarlyEndOfLine", 4, 2, false, {0x02, 4, 0x00, 0x00, 0x01, 5, 0x00, 0x01},
     {Colour(5), F, F, F, Colour(4), Colour(4), F, F}},
    // A run longer than the row is cut at the row's end; it does not wrap into the next row.
    {"RunPastTheRowIsCut", 3, 2, false, {0x05, 9, 0x00, 0x00, 0x01, 10, 0x00, 0x01},
     {Colour(10), F, F, Colour(9), Colour(9), Colour(9)}},
    {"DeltaPastTheImageEnds", 2, 2, false, {0x01, 1, 0x00, 0x02, 0, 5, 0x01, 2}, {F, F, Colour(1), F}},
    // An absolute run wanting more bytes than the stream holds ends the decoding there.
    {"TruncatedAbsoluteRun", 3, 1, false, {0x02, 3, 0x00, 0x05, 1}, {Colour(3), Colour(3), F}},
    {"TruncatedDelta", 3, 1, false, {0x01, 3, 0x00, 0x02, 1}, {Colour(3), F, F}},
    {"StreamWithoutEnd", 2, 1, false, {0x02, 7}, {Colour(7), Colour(7)}},
    {"IndexPastThePaletteIsBlack", 2, 1, false, {0x01, 200, 0x01, 15, 0x00, 0x01}, {0, Colour(15)}},
    {"FourBitEncodedAlternates", 5, 1, true, {0x05, 0x12, 0x00, 0x01},
     {Colour(1), Colour(2), Colour(1), Colour(2), Colour(1)}},
    // Five nibbles take three bytes, padded to four.
    {"FourBitAbsoluteWithPadding", 6, 1, true, {0x00, 0x05, 0x12, 0x34, 0x50, 0x00, 0x01, 0x66, 0x00, 0x01},
     {Colour(1), Colour(2), Colour(3), Colour(4), Colour(5), Colour(6)}},
    {"FourBitDelta", 4, 2, true, {0x00, 0x02, 1, 1, 0x02, 0x77, 0x00, 0x01}, {F, Colour(7), Colour(7), F, F, F, F, F}},
};

class DibRle : public testing::TestWithParam<RleCase> {};

TEST_P(DibRle, DecodesAndKeepsSkippedPixels) {
    const RleCase& c = GetParam();
    const Dib dib = BuildDib(RleRecipe(c.width, c.height, c.fourBit, c.stream));
    const Drawn drawn = DrawOnto(dib.bytes, dib.bitsOffset, c.width, c.height, F, {0, 0, c.width, c.height},
                                 {0, 0, c.width, c.height});
    ASSERT_TRUE(drawn.ok);
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x)
            EXPECT_EQ(drawn.surface.At(x, y), c.expected[static_cast<std::size_t>(y * c.width + x)])
                << "at (" << x << ", " << y << ")";
}

INSTANTIATE_TEST_SUITE_P(Rle, DibRle, testing::ValuesIn(kRleCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Stretched and clipped, an RLE image draws exactly like the same indices stored uncompressed.
TEST(DibRleStretch, MatchesTheUncompressedImage) {
    // 5 x 3 image, rows bottom-up: [1 1 2 3 3] [4 5 6 7 8] [9 9 9 9 10].
    const Dib rle = BuildDib(RleRecipe(5, 3, false,
                                     {0x02, 1, 0x01, 2, 0x02, 3, 0x00, 0x00, 0x00, 0x05, 4, 5, 6, 7, 8, 0x00, 0x00,
                                      0x00, 0x04, 9, 0x01, 10, 0x00, 0x01}));
    DibRecipe plain;
    plain.width = 5;
    plain.height = 3;
    plain.bitCount = 8;
    plain.palette = SixteenColours();
    plain.colorsUsed = 16;
    plain.bits = {1, 1, 2, 3, 3, 0, 0, 0, 4, 5, 6, 7, 8, 0, 0, 0, 9, 9, 9, 9, 10, 0, 0, 0};
    const Dib uncompressed = BuildDib(plain);

    const Rect destinations[] = {{0, 0, 5, 3}, {1, 2, 13, 7}, {0, 0, 3, 2}, {-4, -1, 11, 11}};
    const Region clip = [] {
        Region r(RECT{0, 0, 6, 4});
        r.Add(RECT{8, 5, 14, 9});
        return r;
    }();
    for (const Rect& destination : destinations) {
        const Drawn a = DrawOnto(rle.bytes, rle.bitsOffset, 16, 10, F, destination, {0, 0, 5, 3}, clip);
        const Drawn b = DrawOnto(uncompressed.bytes, uncompressed.bitsOffset, 16, 10, F, destination, {0, 0, 5, 3}, clip);
        ASSERT_TRUE(a.ok);
        ASSERT_TRUE(b.ok);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 16; ++x)
                ASSERT_EQ(a.surface.At(x, y), b.surface.At(x, y))
                    << "destination " << destination.width << "x" << destination.height << " at (" << x << ", " << y << ")";
    }
}

// A huge RLE image costs what its visible part and its stream cost: a 50000 x 50000 picture with
// one pixel set near its top draws into a small window at full size and shrunk.
TEST(DibRleStretch, HugeImageDrawsItsVisiblePart) {
    std::vector<std::uint8_t> stream;
    int y = 0;
    while (y < 49990) {
        const int step = std::min(255, 49990 - y);
        stream.insert(stream.end(), {0x00, 0x02, 0, static_cast<std::uint8_t>(step)});
        y += step;
    }
    stream.insert(stream.end(), {0x01, 3, 0x00, 0x01});
    const Dib dib = BuildDib(RleRecipe(50000, 50000, false, stream));

    const Drawn full = DrawOnto(dib.bytes, dib.bitsOffset, 16, 16, F, {0, 0, 50000, 50000}, {0, 0, 50000, 50000});
    ASSERT_TRUE(full.ok);
    for (int py = 0; py < 16; ++py)
        for (int px = 0; px < 16; ++px) EXPECT_EQ(full.surface.At(px, py), px == 0 && py == 9 ? Colour(3) : F);

    const Drawn shrunk = DrawOnto(dib.bytes, dib.bitsOffset, 16, 16, F, {0, 0, 16, 16}, {0, 0, 50000, 50000});
    ASSERT_TRUE(shrunk.ok);
    for (int py = 0; py < 16; ++py)
        for (int px = 0; px < 16; ++px) EXPECT_EQ(shrunk.surface.At(px, py), F);
}

TEST(DibRleHeader, TopDownRleDrawsNothing) {
    DibRecipe recipe = RleRecipe(2, 1, false, {0x02, 1, 0x00, 0x01});
    recipe.height = -1;
    const Dib dib = BuildDib(recipe);
    const Drawn drawn = DrawOnto(dib.bytes, dib.bitsOffset, 2, 1, F, {0, 0, 2, 1}, {0, 0, 2, -1});
    EXPECT_FALSE(drawn.ok);
    EXPECT_EQ(drawn.surface.At(0, 0), F);
}

}  // namespace
