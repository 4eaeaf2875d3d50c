// The DrawDib calls: handles, the GlobalAlloc block rule, device context mapping, palettes.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/drawdib/vfw.h"
#include "platform/files/winbase.h"
#include "platform/gdi/gdi_internal.h"
#include "tests/unit/dib_test_support.h"

namespace {

using namespace dibtest;

constexpr Pixel kFill = 0x00102030;

// A DIB copied into a block of the layer's allocator, freed with the object.
class GlobalDib {
public:
    explicit GlobalDib(const Dib& dib) : size_(dib.bytes.size()), bitsOffset_(dib.bitsOffset) {
        handle_ = GlobalAlloc(GMEM_FIXED, size_);
        std::memcpy(Bytes(), dib.bytes.data(), size_);
    }
    ~GlobalDib() { GlobalFree(handle_); }
    GlobalDib(const GlobalDib&) = delete;
    GlobalDib& operator=(const GlobalDib&) = delete;

    std::uint8_t* Bytes() const { return static_cast<std::uint8_t*>(static_cast<void*>(handle_)); }
    LPBITMAPINFOHEADER Header() const { return reinterpret_cast<LPBITMAPINFOHEADER>(Bytes()); }
    std::uint8_t* Bits() const { return Bytes() + bitsOffset_; }

private:
    HGLOBAL handle_ = nullptr;
    std::size_t size_;
    std::size_t bitsOffset_;
};

// A 2 x 2 4-bit DIB: top row red, green; bottom row blue, white.
Dib SmallDib() {
    DibRecipe recipe;
    recipe.width = 2;
    recipe.height = 2;
    recipe.bitCount = 4;
    recipe.palette = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    recipe.colorsUsed = 4;
    recipe.bits = {0x23, 0, 0, 0, 0x01, 0, 0, 0};
    return BuildDib(recipe);
}

class DrawDibTest : public testing::Test {
protected:
    void SetUp() override {
        hdc_ = platform::gdi::CreateSurfaceDC(nullptr, &surface_, 3, 2, Region(RECT{0, 0, 10, 8}));
        hdd_ = DrawDibOpen();
    }
    void TearDown() override {
        DrawDibClose(hdd_);
        platform::gdi::DestroyDC(hdc_);
    }
    bool Untouched() const {
        for (int y = 0; y < surface_.Height(); ++y)
            for (int x = 0; x < surface_.Width(); ++x)
                if (surface_.At(x, y) != kFill) return false;
        return true;
    }

    Surface surface_{10, 8, kFill};
    HDC hdc_ = nullptr;
    HDRAWDIB hdd_ = nullptr;
};

// The context's (0, 0) is surface (3, 2).
TEST_F(DrawDibTest, DrawsAtTheContextOrigin) {
    const GlobalDib dib(SmallDib());
    EXPECT_TRUE(DrawDibDraw(hdd_, hdc_, 1, 1, 2, 2, dib.Header(), dib.Bits(), 0, 0, 2, 2, DDF_BACKGROUNDPAL));
    EXPECT_EQ(surface_.At(4, 3), 0xFF0000u);
    EXPECT_EQ(surface_.At(5, 3), 0x00FF00u);
    EXPECT_EQ(surface_.At(4, 4), 0x0000FFu);
    EXPECT_EQ(surface_.At(5, 4), 0xFFFFFFu);
    EXPECT_EQ(surface_.At(3, 2), kFill);
    EXPECT_EQ(surface_.At(6, 5), kFill);
}

TEST_F(DrawDibTest, KeepsToTheContextClip) {
    platform::gdi::LookupDC(hdc_)->clip = Region(RECT{3, 2, 4, 3});
    const GlobalDib dib(SmallDib());
    EXPECT_TRUE(DrawDibDraw(hdd_, hdc_, 0, 0, 4, 4, dib.Header(), dib.Bits(), 0, 0, 2, 2, 0));
    EXPECT_EQ(surface_.At(3, 2), 0xFF0000u);
    EXPECT_EQ(surface_.At(4, 2), kFill);
    EXPECT_EQ(surface_.At(3, 3), kFill);
}

TEST_F(DrawDibTest, PackedDibWithoutBitsPointer) {
    const GlobalDib dib(SmallDib());
    EXPECT_TRUE(DrawDibDraw(hdd_, hdc_, 0, 0, 2, 2, dib.Header(), nullptr, 0, 0, 2, 2, 0));
    EXPECT_EQ(surface_.At(3, 2), 0xFF0000u);
    EXPECT_EQ(surface_.At(4, 3), 0xFFFFFFu);
}

// The bounds of a DIB come from the block its header lies in.
TEST_F(DrawDibTest, HeaderOutsideAnyBlockDrawsNothing) {
    Dib dib = SmallDib();
    EXPECT_FALSE(DrawDibDraw(hdd_, hdc_, 0, 0, 2, 2, reinterpret_cast<LPBITMAPINFOHEADER>(dib.bytes.data()),
                             dib.bytes.data() + dib.bitsOffset, 0, 0, 2, 2, 0));
    EXPECT_TRUE(Untouched());
}

TEST_F(DrawDibTest, BitsInAnotherBlockDrawNothing) {
    const GlobalDib dib(SmallDib());
    const GlobalDib other(SmallDib());
    EXPECT_FALSE(DrawDibDraw(hdd_, hdc_, 0, 0, 2, 2, dib.Header(), other.Bits(), 0, 0, 2, 2, 0));
    EXPECT_TRUE(Untouched());
}

// A block too short for the rows its header describes is refused, not read past.
TEST_F(DrawDibTest, RowsPastTheBlockDrawNothing) {
    Dib small = SmallDib();
    small.bytes.resize(small.bytes.size() - 1);
    const GlobalDib dib(small);
    EXPECT_FALSE(DrawDibDraw(hdd_, hdc_, 0, 0, 2, 2, dib.Header(), dib.Bits(), 0, 0, 2, 2, 0));
    EXPECT_TRUE(Untouched());
}

TEST_F(DrawDibTest, NullOrClosedHandleDrawsNothing) {
    const GlobalDib dib(SmallDib());
    EXPECT_FALSE(DrawDibDraw(nullptr, hdc_, 0, 0, 2, 2, dib.Header(), dib.Bits(), 0, 0, 2, 2, 0));
    HDRAWDIB closed = DrawDibOpen();
    EXPECT_TRUE(DrawDibClose(closed));
    EXPECT_FALSE(DrawDibDraw(closed, hdc_, 0, 0, 2, 2, dib.Header(), dib.Bits(), 0, 0, 2, 2, 0));
    EXPECT_FALSE(DrawDibDraw(hdd_, nullptr, 0, 0, 2, 2, dib.Header(), dib.Bits(), 0, 0, 2, 2, 0));
    EXPECT_FALSE(DrawDibDraw(hdd_, hdc_, 0, 0, 2, 2, nullptr, dib.Bits(), 0, 0, 2, 2, 0));
    EXPECT_TRUE(Untouched());
}

TEST_F(DrawDibTest, EmptyDestinationDrawsNothing) {
    const GlobalDib dib(SmallDib());
    EXPECT_FALSE(DrawDibDraw(hdd_, hdc_, 0, 0, 0, 0, dib.Header(), dib.Bits(), 0, 0, 2, 2, 0));
    EXPECT_FALSE(DrawDibDraw(hdd_, hdc_, 0, 0, -47, -63, dib.Header(), dib.Bits(), 0, 0, 2, 2, 0));
    EXPECT_TRUE(Untouched());
}

TEST_F(DrawDibTest, DontDrawTakesThePaletteOnly) {
    const GlobalDib dib(SmallDib());
    EXPECT_TRUE(DrawDibDraw(hdd_, hdc_, 0, 0, 2, 2, dib.Header(), dib.Bits(), 0, 0, 2, 2, DDF_DONTDRAW));
    EXPECT_TRUE(Untouched());
    EXPECT_EQ(DrawDibRealize(hdd_, hdc_, TRUE), 4u);
}

// Realising reports the palette of the DIB drawn last: none before the first draw, none for a
// true-colour DIB.
TEST_F(DrawDibTest, RealizeReportsTheLastPalette) {
    EXPECT_EQ(DrawDibRealize(hdd_, hdc_, TRUE), 0u);
    const GlobalDib indexed(SmallDib());
    ASSERT_TRUE(DrawDibDraw(hdd_, hdc_, 0, 0, 2, 2, indexed.Header(), indexed.Bits(), 0, 0, 2, 2, 0));
    EXPECT_EQ(DrawDibRealize(hdd_, hdc_, FALSE), 4u);
    EXPECT_EQ(surface_.At(3, 2), 0xFF0000u) << "realising on a true-colour surface changes nothing";

    DibRecipe rgb;
    rgb.width = 1;
    rgb.height = 1;
    rgb.bitCount = 24;
    rgb.bits = {1, 2, 3, 0};
    const GlobalDib trueColour(BuildDib(rgb));
    ASSERT_TRUE(DrawDibDraw(hdd_, hdc_, 0, 0, 1, 1, trueColour.Header(), trueColour.Bits(), 0, 0, 1, 1, 0));
    EXPECT_EQ(DrawDibRealize(hdd_, hdc_, TRUE), 0u);
    EXPECT_EQ(DrawDibRealize(nullptr, hdc_, TRUE), 0u);
}

TEST(DrawDibHandles, OpenAndCloseAreCounted) {
    const std::size_t before = platform::OpenDrawDibHandleCount();
    HDRAWDIB a = DrawDibOpen();
    HDRAWDIB b = DrawDibOpen();
    EXPECT_NE(a, nullptr);
    EXPECT_NE(a, b);
    EXPECT_EQ(platform::OpenDrawDibHandleCount(), before + 2);
    EXPECT_TRUE(DrawDibClose(a));
    EXPECT_FALSE(DrawDibClose(a));
    EXPECT_FALSE(DrawDibClose(nullptr));
    EXPECT_TRUE(DrawDibClose(b));
    EXPECT_EQ(platform::OpenDrawDibHandleCount(), before);
}

}  // namespace
