// Broken and hostile DIB headers: each is refused quietly, reads nothing outside its block and
// leaves the target as it was.
#include <gtest/gtest.h>

#include <climits>
#include <functional>

#include "tests/unit/dib_test_support.h"

namespace {

using namespace dibtest;

constexpr Pixel kFill = 0x00FEDCBA;

// A well-formed 4 x 2 8-bit DIB, the starting point of every broken one.
DibRecipe GoodRecipe() {
    DibRecipe recipe;
    recipe.width = 4;
    recipe.height = 2;
    recipe.bitCount = 8;
    recipe.palette = {0xFF0000, 0x00FF00};
    recipe.colorsUsed = 2;
    recipe.bits = {0, 1, 0, 1, 1, 0, 1, 0};
    return recipe;
}

struct HostileCase {
    const char* name;
    std::function<void(DibRecipe&)> breakRecipe;
    std::function<void(Dib&)> breakBytes = nullptr;  // applied after building
};

void Set32(Dib& dib, std::size_t offset, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) dib.bytes[offset + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

const HostileCase kHostileCases[] = {
    {"ZeroWidth", [](DibRecipe& s) { s.width = 0; }},
    {"NegativeWidth", [](DibRecipe& s) { s.width = -4; }},
    {"ZeroHeight", [](DibRecipe& s) { s.height = 0; }},
    {"MostNegativeHeight", [](DibRecipe& s) { s.height = INT_MIN; }},
    {"HugeWidthAndHeight", [](DibRecipe& s) { s.width = s.height = INT_MAX; }},
    {"RowsOverflowSixtyFourBits", [](DibRecipe& s) { s.width = INT_MAX; s.height = INT_MAX; s.bitCount = 32; }},
    {"HugeTopDown", [](DibRecipe& s) { s.width = 3000000; s.height = -2000000; }},
    {"PlanesNotOne", [](DibRecipe& s) { s.planes = 2; }},
    {"BitCountThree", [](DibRecipe& s) { s.bitCount = 3; }},
    {"BitCountHuge", [](DibRecipe& s) { s.bitCount = 30000; }},
    {"BitCountZero", [](DibRecipe& s) { s.bitCount = 0; }},
    {"UnknownCompression", [](DibRecipe& s) { s.compression = 77; }},
    {"Jpeg", [](DibRecipe& s) { s.compression = BI_JPEG; s.bitCount = 0; }},
    {"Png", [](DibRecipe& s) { s.compression = BI_PNG; s.bitCount = 0; }},
    {"AlphaBitFields", [](DibRecipe& s) { s.compression = BI_ALPHABITFIELDS; s.bitCount = 32; s.masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000}; }},
    {"BitFieldsAtEightBits", [](DibRecipe& s) { s.compression = BI_BITFIELDS; s.masks = {0xE0, 0x1C, 0x03}; }},
    {"Rle8AtFourBits", [](DibRecipe& s) { s.compression = BI_RLE8; s.bitCount = 4; }},
    {"Rle4AtEightBits", [](DibRecipe& s) { s.compression = BI_RLE4; }},
    {"TopDownRle", [](DibRecipe& s) { s.compression = BI_RLE8; s.height = -2; }},
    {"ZeroMask", [](DibRecipe& s) { s.bitCount = 16; s.compression = BI_BITFIELDS; s.masks = {0xF800, 0x07E0, 0}; s.bits.resize(16); }},
    {"OverlappingMasks", [](DibRecipe& s) { s.bitCount = 16; s.compression = BI_BITFIELDS; s.masks = {0xF800, 0x0FE0, 0x1F}; s.bits.resize(16); }},
    {"ScatteredMask", [](DibRecipe& s) { s.bitCount = 16; s.compression = BI_BITFIELDS; s.masks = {0xF801, 0x07E0, 0x1E}; s.bits.resize(16); }},
    {"MaskWiderThanPixel", [](DibRecipe& s) { s.bitCount = 16; s.compression = BI_BITFIELDS; s.masks = {0x1F0000, 0x07E0, 0x1F}; s.bits.resize(16); }},
    {"MasksMissing", [](DibRecipe& s) { s.bitCount = 16; s.compression = BI_BITFIELDS; s.palette.clear(); s.colorsUsed = 0; s.bits.clear(); }},
    {"RowsOneByteShort", [](DibRecipe& s) { s.bits.pop_back(); }},
    {"NoRowsAtAll", [](DibRecipe& s) { s.bits.clear(); }},
    {"HeaderSizeSixteen", [](DibRecipe&) {}, [](Dib& d) { Set32(d, 0, 16); }},
    {"HeaderSizeZero", [](DibRecipe&) {}, [](Dib& d) { Set32(d, 0, 0); }},
    {"HeaderSizePastTheBlock", [](DibRecipe&) {}, [](Dib& d) { Set32(d, 0, 0xFFFFFFF0); }},
    {"HeaderCutShort", [](DibRecipe&) {}, [](Dib& d) { d.bytes.resize(30); d.bitsOffset = 29; }},
    // A colour table that the block cannot hold: the bits pointer at the last byte leaves no
    // room for the 256 entries a zero count asks for.
    {"PaletteLargerThanTheBlock", [](DibRecipe& s) { s.palette.clear(); s.colorsUsed = 0; s.bits = {0}; }},
    {"CoreHeaderPaletteCut", [](DibRecipe& s) { s.headerSize = 12; s.palette.resize(100); s.bits = {0, 0, 0, 0}; }},
    {"BitsPointerPastTheBlock", [](DibRecipe&) {}, [](Dib& d) { d.bitsOffset = d.bytes.size(); }},
};

class DibHostileHeader : public testing::TestWithParam<HostileCase> {};

TEST_P(DibHostileHeader, DrawsNothing) {
    DibRecipe recipe = GoodRecipe();
    GetParam().breakRecipe(recipe);
    Dib dib = BuildDib(recipe);
    if (GetParam().breakBytes) GetParam().breakBytes(dib);

    // The block ends at an inaccessible page: a read past it ends the test run.
    const GuardedBytes memory(dib.bytes, GuardedBytes::Guard::AfterEnd);
    const std::uint8_t* bits = memory.Data().data() + std::min(dib.bitsOffset, dib.bytes.size());
    for (const Rect destination : {Rect{0, 0, 4, 2}, Rect{0, 0, 9, 5}, Rect{-1, -1, 2, 1}}) {
        Surface surface(8, 8, kFill);
        const bool drew = platform::drawdib::RenderDib(memory.Data(), memory.Data().data(), bits, 0, 0, recipe.width,
                                                       recipe.height, surface, Region(RECT{0, 0, 8, 8}), destination.x,
                                                       destination.y, destination.width, destination.height);
        EXPECT_FALSE(drew);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) ASSERT_EQ(surface.At(x, y), kFill) << "at (" << x << ", " << y << ")";
    }
}

INSTANTIATE_TEST_SUITE_P(Hostile, DibHostileHeader, testing::ValuesIn(kHostileCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The starting point itself draws, so each case above fails for its own fault alone.
TEST(DibHostileHeader, StartingPointDraws) {
    const Dib dib = BuildDib(GoodRecipe());
    const GuardedBytes memory(dib.bytes, GuardedBytes::Guard::AfterEnd);
    Surface surface(4, 2, kFill);
    ASSERT_TRUE(platform::drawdib::RenderDib(memory.Data(), memory.Data().data(), memory.Data().data() + dib.bitsOffset,
                                             0, 0, 4, 2, surface, Region(RECT{0, 0, 4, 2}), 0, 0, 4, 2));
    EXPECT_EQ(surface.At(0, 0), 0x00FF00u);
    EXPECT_EQ(surface.At(0, 1), 0xFF0000u);
}

// Pointers outside the block are refused before anything is read through them.
TEST(DibHostileHeader, PointersOutsideTheBlock) {
    const Dib dib = BuildDib(GoodRecipe());
    const std::span<const std::uint8_t> block(dib.bytes);
    const std::span<const std::uint8_t> headerOnly = block.first(dib.bitsOffset);
    Surface surface(4, 2, kFill);
    const Region clip(RECT{0, 0, 4, 2});
    EXPECT_FALSE(platform::drawdib::RenderDib(headerOnly, block.data(), block.data() + dib.bitsOffset, 0, 0, 4, 2,
                                              surface, clip, 0, 0, 4, 2));
    EXPECT_FALSE(platform::drawdib::RenderDib(block.subspan(1), block.data(), block.data() + dib.bitsOffset, 0, 0, 4,
                                              2, surface, clip, 0, 0, 4, 2));
    EXPECT_FALSE(platform::drawdib::RenderDib({}, block.data(), block.data() + dib.bitsOffset, 0, 0, 4, 2, surface,
                                              clip, 0, 0, 4, 2));
    EXPECT_EQ(surface.At(0, 0), kFill);
}

}  // namespace
