// Pixel formats of the DIB engine, each on a tiny hand-built image drawn at its own size.
#include <gtest/gtest.h>

#include "tests/unit/dib_test_support.h"

namespace {

using namespace dibtest;

constexpr Pixel kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF, kBlack = 0;

struct FormatCase {
    const char* name;
    DibRecipe recipe;
    std::vector<Pixel> expected;  // rows top to bottom as they appear
};

DibRecipe Recipe(std::int32_t width, std::int32_t height, std::uint16_t bitCount, std::vector<std::uint8_t> bits) {
    DibRecipe recipe;
    recipe.width = width;
    recipe.height = height;
    recipe.bitCount = bitCount;
    recipe.bits = std::move(bits);
    return recipe;
}

DibRecipe WithPalette(DibRecipe recipe, std::vector<Pixel> palette, std::uint32_t colorsUsed = 0) {
    recipe.palette = std::move(palette);
    recipe.colorsUsed = colorsUsed ? colorsUsed : static_cast<std::uint32_t>(recipe.palette.size());
    return recipe;
}

DibRecipe WithMasks(DibRecipe recipe, std::vector<std::uint32_t> masks, std::uint32_t headerSize = 40) {
    recipe.compression = BI_BITFIELDS;
    recipe.masks = std::move(masks);
    recipe.headerSize = headerSize;
    return recipe;
}

DibRecipe WithHeaderSize(DibRecipe recipe, std::uint32_t headerSize) {
    recipe.headerSize = headerSize;
    return recipe;
}

std::vector<FormatCase> FormatCases() {
    std::vector<FormatCase> cases;
    // Bottom-up rows: the first stored row is the bottom one.
    cases.push_back({"OneBitBottomUp",
                     WithPalette(Recipe(3, 2, 1, {0b10100000, 0, 0, 0, 0b01000000, 0, 0, 0}), {kBlack, kWhite}),
                     {kBlack, kWhite, kBlack, kWhite, kBlack, kWhite}});
    cases.push_back({"TwoBit", WithPalette(Recipe(4, 1, 2, {0b00011011, 0, 0, 0}), {kRed, kGreen, kBlue, kWhite}),
                     {kRed, kGreen, kBlue, kWhite}});
    cases.push_back({"FourBitOddWidth", WithPalette(Recipe(3, 1, 4, {0x21, 0x00, 0, 0}), {kRed, kGreen, kBlue}),
                     {kBlue, kGreen, kRed}});
    // Indices past the colour table draw black.
    cases.push_back({"EightBitIndexPastTable", WithPalette(Recipe(3, 1, 8, {1, 7, 255, 0}), {kRed, kGreen}),
                     {kGreen, kBlack, kBlack}});
    // colorsUsed 0 means the full table; a larger count is cut to the full table.
    {
        DibRecipe recipe = WithPalette(Recipe(2, 1, 1, {0b01000000, 0, 0, 0}), {kRed, kBlue});
        recipe.colorsUsed = 0;
        cases.push_back({"ColorsUsedZeroMeansFullTable", recipe, {kRed, kBlue}});
        recipe.colorsUsed = 1000;
        cases.push_back({"ColorsUsedBeyondFullTable", recipe, {kRed, kBlue}});
    }
    cases.push_back({"CoreHeaderThreeByteEntries",
                     WithHeaderSize(WithPalette(Recipe(2, 1, 1, {0b10000000, 0, 0, 0}), {kRed, kGreen}), 12),
                     {kGreen, kRed}});
    cases.push_back({"TopDown", WithPalette(Recipe(1, -2, 8, {0, 0, 0, 0, 1, 0, 0, 0}), {kRed, kBlue}), {kRed, kBlue}});
    // A one-pixel 24-bit row still takes four bytes.
    cases.push_back({"TwentyFourBitRowPadding", Recipe(1, 2, 24, {0x00, 0x00, 0xFF, 0xEE, 0xFF, 0x00, 0x00, 0xEE}),
                     {kBlue, kRed}});
    // 5-5-5: white is 255, 5-bit 3 is 25; the spare top bit means nothing.
    cases.push_back({"SixteenBitDefault", Recipe(3, 1, 16, {0xFF, 0x7F, 0xFF, 0xFF, 0x63, 0x0C, 0, 0}),
                     {kWhite, kWhite, platform::PixelFromRgb(25, 25, 25)}});
    cases.push_back({"SixteenBit565", WithMasks(Recipe(2, 1, 16, {0x00, 0xF8, 0xE0, 0x07}), {0xF800, 0x07E0, 0x001F}),
                     {kRed, kGreen}});
    // Two-bit channels scale by 85.
    cases.push_back({"SixteenBitNarrowChannels",
                     WithMasks(Recipe(1, 1, 16, {0b00011011, 0, 0, 0}), {0x30, 0x0C, 0x03}),
                     {platform::PixelFromRgb(85, 170, 255)}});
    cases.push_back({"ThirtyTwoBitDefaultIgnoresSpareByte", Recipe(1, 1, 32, {0x01, 0x02, 0x03, 0xFF}),
                     {0x030201}});
    cases.push_back({"ThirtyTwoBitUnusualOrder",
                     WithMasks(Recipe(1, 1, 32, {0x11, 0x22, 0x33, 0x44}), {0x000000FF, 0xFF000000, 0x00FF0000}),
                     {platform::PixelFromRgb(0x11, 0x44, 0x33)}});
    // Masks inside a 52-byte and a 108-byte header.
    cases.push_back({"MasksInV2Header",
                     WithMasks(Recipe(1, 1, 32, {0x11, 0x22, 0x33, 0x44}), {0x0000FF00, 0x00FF0000, 0xFF000000}, 52),
                     {platform::PixelFromRgb(0x22, 0x33, 0x44)}});
    cases.push_back({"MasksInV4Header",
                     WithMasks(Recipe(1, 1, 16, {0x1F, 0x00, 0, 0}), {0x001F, 0x07E0, 0xF800, 0}, 108), {kRed}});
    cases.push_back({"PaletteAfterV5Header",
                     WithHeaderSize(WithPalette(Recipe(1, 1, 8, {1, 0, 0, 0}), {kRed, kGreen}), 124), {kGreen}});
    return cases;
}

class DibFormat : public testing::TestWithParam<FormatCase> {};

TEST_P(DibFormat, DrawsItsPixels) {
    const FormatCase& c = GetParam();
    const int height = c.recipe.height < 0 ? -c.recipe.height : c.recipe.height;
    const Dib dib = BuildDib(c.recipe);
    const Drawn drawn = DrawOnto(dib.bytes, dib.bitsOffset, c.recipe.width, height, 0x123456,
                                 {0, 0, c.recipe.width, height}, {0, 0, c.recipe.width, c.recipe.height});
    ASSERT_TRUE(drawn.ok);
    ASSERT_EQ(c.expected.size(), static_cast<std::size_t>(c.recipe.width * height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < c.recipe.width; ++x) {
            EXPECT_EQ(drawn.surface.At(x, y), c.expected[static_cast<std::size_t>(y * c.recipe.width + x)])
                << "at (" << x << ", " << y << ")";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, DibFormat, testing::ValuesIn(FormatCases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
