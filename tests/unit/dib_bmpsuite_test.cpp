// The DIB engine against the bmpsuite pictures: good files must match their references pixel
// for pixel, questionable ones match a reference or draw nothing (as decided per file below), and
// bad ones must neither crash nor read outside their block.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>

#include "platform/drawdib/dib_reader.h"
#include "platform/drawdib/vfw.h"
#include "platform/files/winbase.h"
#include "platform/gdi/gdi_internal.h"
#include "tests/unit/dib_test_support.h"

namespace {

using namespace dibtest;

const std::string kSuite = std::string(KOMALORE_SHARED_DIR) + "/bmpsuite/";
constexpr Pixel kFill = 0x00A0B0C0;  // what the target shows before the draw

// A suite file held the way the page reader holds a page: the file minus its 14-byte file
// header, with the pixel bits at bfOffBits - 14.
struct PageBlock {
    std::vector<std::uint8_t> block;
    std::size_t bitsOffset = 0;
    int width = 0;
    int height = 0;  // as stored: negative for top-down rows
};

PageBlock LoadPage(const std::string& relativePath) {
    const std::vector<std::uint8_t> file = ReadFileBytes(kSuite + relativePath);
    PageBlock page;
    if (file.size() < 14) return page;
    page.block.assign(file.begin() + 14, file.end());
    const platform::drawdib::ByteReader fileReader(file);
    const std::uint32_t offBits = *fileReader.U32(10);
    page.bitsOffset = offBits >= 14 ? offBits - 14 : page.block.size();
    const platform::drawdib::ByteReader reader(page.block);
    if (reader.U32(0) == 12u) {
        page.width = reader.U16(4).value_or(0);
        page.height = reader.U16(6).value_or(0);
    } else {
        page.width = reader.I32(4).value_or(0);
        page.height = reader.I32(8).value_or(0);
    }
    return page;
}

// The page drawn at its own size, upright, onto a target showing kFill, from the full source
// rectangle the way the program asks for it.
Drawn DrawPage(const PageBlock& page) {
    const int height = std::abs(page.height);
    return DrawOnto(page.block, page.bitsOffset, page.width, height, kFill, {0, 0, page.width, height},
                    {0, 0, page.width, page.height});
}

enum class Match {
    Exact,           // every pixel's colour equals the reference's
    ColourChannels,  // the engine draws colour channels unblended; the reference's fully
                     // transparent pixels have no colour to compare
    Undefined,       // transparent reference pixels are ones the DIB leaves undefined: kFill stays
};

// Compares what reached the surface with a reference picture; `swapRedGreen` compares against the
// reference with red and green exchanged, `tolerance` allows each channel to be that far off.
testing::AssertionResult LooksLike(const Surface& surface, const std::string& reference, Match match,
                                   bool swapRedGreen = false, int tolerance = 0) {
    const auto picture = ReadPng(kSuite + "r/" + reference);
    if (!picture) return testing::AssertionFailure() << "cannot read " << reference;
    if (picture->width != surface.Width() || picture->height != surface.Height()) {
        return testing::AssertionFailure() << reference << " is " << picture->width << "x" << picture->height
                                           << ", drawn " << surface.Width() << "x" << surface.Height();
    }
    int mismatches = 0;
    std::ostringstream first;
    for (int y = 0; y < picture->height; ++y) {
        for (int x = 0; x < picture->width; ++x) {
            int r = picture->At(x, y, 0), g = picture->At(x, y, 1);
            const int b = picture->At(x, y, 2), a = picture->At(x, y, 3);
            if (swapRedGreen) std::swap(r, g);
            Pixel expected = platform::PixelFromRgb(r, g, b);
            if (match == Match::Undefined && a == 0) expected = kFill;
            if (match == Match::ColourChannels && a == 0) continue;
            const Pixel actual = surface.At(x, y);
            const bool near = std::abs(platform::PixelRed(actual) - platform::PixelRed(expected)) <= tolerance &&
                              std::abs(platform::PixelGreen(actual) - platform::PixelGreen(expected)) <= tolerance &&
                              std::abs(platform::PixelBlue(actual) - platform::PixelBlue(expected)) <= tolerance;
            if (!near) {
                if (mismatches++ == 0) {
                    first << std::hex << " first at (" << std::dec << x << ", " << y << "): drawn 0x" << std::hex
                          << actual << ", reference 0x" << expected;
                }
            }
        }
    }
    if (mismatches) return testing::AssertionFailure() << mismatches << " pixels differ from " << reference << first.str();
    return testing::AssertionSuccess();
}

struct GoodFile {
    const char* file;
    const char* reference;
};

const GoodFile kGoodFiles[] = {
    {"pal1", "pal1.png"},           {"pal1wb", "pal1.png"},        {"pal1bg", "pal1bg.png"},
    {"pal4", "pal4.png"},           {"pal4gs", "pal4gs.png"},      {"pal4rle", "pal4.png"},
    {"pal8", "pal8.png"},           {"pal8-0", "pal8.png"},        {"pal8gs", "pal8gs.png"},
    {"pal8rle", "pal8.png"},        {"pal8w126", "pal8w126.png"},  {"pal8w125", "pal8w125.png"},
    {"pal8w124", "pal8w124.png"},   {"pal8topdown", "pal8.png"},   {"pal8os2", "pal8.png"},
    {"pal8v4", "pal8.png"},         {"pal8v5", "pal8.png"},        {"rgb16", "rgb16.png"},
    {"rgb16bfdef", "rgb16.png"},    {"rgb16-565", "rgb16-565.png"}, {"rgb16-565pal", "rgb16-565.png"},
    {"rgb24", "rgb24.png"},         {"rgb24pal", "rgb24.png"},     {"rgb32", "rgb24.png"},
    {"rgb32bfdef", "rgb24.png"},    {"rgb32bf", "rgb24.png"},
};

class GoodSuiteFile : public testing::TestWithParam<GoodFile> {};

TEST_P(GoodSuiteFile, DrawsLikeItsReference) {
    const PageBlock page = LoadPage(std::string("g/") + GetParam().file + ".bmp");
    const Drawn drawn = DrawPage(page);
    ASSERT_TRUE(drawn.ok);
    EXPECT_TRUE(LooksLike(drawn.surface, GetParam().reference, Match::Exact));
}

INSTANTIATE_TEST_SUITE_P(Bmpsuite, GoodSuiteFile, testing::ValuesIn(kGoodFiles),
                         [](const auto& info) {
                             std::string name = info.param.file;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

// The picture that is not square by its densities is drawn at its pixel size, as the engine
// ignores densities: it must match the squashed reference.
TEST(BmpsuiteGood, NonSquareDensityIsDrawnAtPixelSize) {
    const PageBlock page = LoadPage("g/pal8nonsquare.bmp");
    const Drawn drawn = DrawPage(page);
    ASSERT_TRUE(drawn.ok);
    EXPECT_TRUE(LooksLike(drawn.surface, "pal8nonsquare-e.png", Match::Exact));
}

// The decision for each questionable file, as the Windows DIB engine takes it.
struct QuestionableFile {
    const char* file;
    const char* reference;  // null: the engine refuses the file and draws nothing
    Match match = Match::Exact;
    bool swapRedGreen = false;
    int tolerance = 0;
};

const QuestionableFile kQuestionableFiles[] = {
    {"pal1p1", "pal1p1.png"},            // index 1 is past the one-entry table: black
    {"pal2", "pal2.png"},
    {"pal2color", "pal2color.png"},
    {"pal4rletrns", "pal4rletrns.png", Match::Undefined},
    {"pal4rlecut", "pal4rlecut.png", Match::Undefined},
    {"pal8rletrns", "pal8rletrns.png", Match::Undefined},
    {"pal8rlecut", "pal8rlecut.png", Match::Undefined},
    {"pal8offs", "pal8.png"},
    {"pal8oversizepal", "pal8.png"},     // the table is cut to 256 entries
    {"pal8os2-sz", "pal8.png"},
    {"pal8os2-hs", "pal8.png"},
    {"pal8os2sp", "pal8.png"},
    {"pal8os2v2", "pal8.png"},           // a 64-byte header reads as an info header
    {"pal8os2v2-16", nullptr},           // 16 bytes is no header size the engine knows
    {"pal8os2v2-sz", "pal8.png"},
    {"pal8os2v2-40sz", "pal8.png"},
    {"rgb24rle24", nullptr},             // compression 4 is BI_JPEG to the engine
    {"pal1huffmsb", nullptr},            // compression 3 is BI_BITFIELDS, meaningless at 1 bit
    {"rgb16faketrns", "rgb16.png"},      // bits outside the masks are ignored
    {"rgb16-231", "rgb16-231.png"},
    {"rgb16-3103", "rgb16-3103.png"},
    {"rgba16-4444", "rgba16-4444.png", Match::ColourChannels},
    {"rgba16-5551", "rgba16-5551.png", Match::ColourChannels},
    {"rgba16-1924", "rgba16-1924.png", Match::ColourChannels},
    {"rgb24jpeg", nullptr},              // JPEG and PNG streams are printer-only
    {"rgb24png", nullptr},
    {"rgb24largepal", "rgb24.png"},
    {"rgb24prof", "rgb24.png"},          // colour profiles are not applied
    {"rgb24prof2", "rgb24.png", Match::Exact, true},  // ... so its swapped channels stay swapped
    {"rgb24lprof", "rgb24.png"},
    {"rgb32h52", "rgb24.png"},
    {"rgb32-xbgr", "rgb24.png"},
    {"rgb32fakealpha", "rgb24.png"},     // the spare byte is ignored
    // 11- and 10-bit channels, against an 8-bit reference that was quantised on its own.
    {"rgb32-111110", "rgb24.png", Match::Exact, false, 1},
    {"rgb32-7187", "rgb32-7187.png"},
    {"rgba32-1", "rgba32.png", Match::ColourChannels},
    {"rgba32-2", "rgba32.png", Match::ColourChannels},
    {"rgba32-1010102", "rgba32-1010102.png", Match::ColourChannels},
    {"rgba32-81284", "rgba32-81284.png", Match::ColourChannels},
    {"rgba32-61754", "rgba32-61754.png", Match::ColourChannels},
    {"rgba32h56", "rgba32.png", Match::ColourChannels},
    {"rgba32abf", nullptr},              // alpha bit fields exist only on Windows CE
    {"rgba64", nullptr},                 // 64 bits a pixel is no DIB format
};

class QuestionableSuiteFile : public testing::TestWithParam<QuestionableFile> {};

TEST_P(QuestionableSuiteFile, DrawsLikeItsReferenceOrNothing) {
    const PageBlock page = LoadPage(std::string("q/") + GetParam().file + ".bmp");
    ASSERT_GT(page.width, 0);
    const Drawn drawn = DrawPage(page);
    if (!GetParam().reference) {
        EXPECT_FALSE(drawn.ok);
        const Surface untouched(drawn.surface.Width(), drawn.surface.Height(), kFill);
        EXPECT_TRUE(std::equal(drawn.surface.Data(), drawn.surface.Data() + untouched.Width() * untouched.Height(),
                               untouched.Data()));
        return;
    }
    ASSERT_TRUE(drawn.ok);
    EXPECT_TRUE(LooksLike(drawn.surface, GetParam().reference, GetParam().match, GetParam().swapRedGreen,
                          GetParam().tolerance));
}

INSTANTIATE_TEST_SUITE_P(Bmpsuite, QuestionableSuiteFile, testing::ValuesIn(kQuestionableFiles),
                         [](const auto& info) {
                             std::string name = info.param.file;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

// Every q/ file is decided in the table above.
TEST(BmpsuiteQuestionable, TableCoversTheFolder) {
    for (const auto& entry : std::filesystem::directory_iterator(kSuite + "q")) {
        const std::string name = entry.path().stem().string();
        const bool listed = std::any_of(std::begin(kQuestionableFiles), std::end(kQuestionableFiles),
                                        [&](const QuestionableFile& q) { return name == q.file; });
        EXPECT_TRUE(listed) << name;
    }
}

std::vector<std::string> BadFiles() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(kSuite + "b")) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Bad files are drawn from memory that faults one byte past the block and one byte before it,
// at their own size and stretched, so any stray read ends the test run.
TEST(BmpsuiteBad, NoFileReadsOutsideItsBlock) {
    const auto names = BadFiles();
    ASSERT_FALSE(names.empty());
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const PageBlock page = LoadPage("b/" + name);
        for (auto guard : {GuardedBytes::Guard::AfterEnd, GuardedBytes::Guard::BeforeStart}) {
            const GuardedBytes memory(page.block, guard);
            ASSERT_EQ(memory.Data().size(), page.block.size());
            const std::uint8_t* bits = memory.Data().data() + std::min(page.bitsOffset, page.block.size());
            for (const Rect destination : {Rect{0, 0, 127, 64}, Rect{-3, -5, 301, 149}, Rect{0, 0, 13, 7}}) {
                Surface surface(200, 100, kFill);
                platform::drawdib::RenderDib(memory.Data(), memory.Data().data(), bits, 0, 0, page.width, page.height,
                                             surface, Region(RECT{0, 0, 200, 100}), destination.x, destination.y,
                                             destination.width, destination.height);
            }
        }
    }
}

// What the engine makes of each bad file; where it draws, what it draws is well-formed.
TEST(BmpsuiteBad, DecisionsPerFile) {
    const std::map<std::string, bool> draws = {
        {"badbitcount.bmp", false},    {"badbitssize.bmp", true},    {"baddens1.bmp", true},
        {"baddens2.bmp", true},        {"badfilesize.bmp", true},    {"badheadersize.bmp", true},
        {"badpalettesize.bmp", true},  {"badplanes.bmp", false},     {"badrle.bmp", true},
        {"badrle4.bmp", true},         {"badrle4bis.bmp", true},     {"badrle4ter.bmp", true},
        {"badrlebis.bmp", true},       {"badrleter.bmp", true},      {"badwidth.bmp", false},
        {"pal8badindex.bmp", true},    {"reallybig.bmp", false},     {"rgb16-880.bmp", false},
        {"rletopdown.bmp", false},     {"shortfile.bmp", false},
    };
    for (const std::string& name : BadFiles()) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(draws.count(name));
        const PageBlock page = LoadPage("b/" + name);
        Surface surface(127, 64, kFill);
        const bool drew = platform::drawdib::RenderDib(page.block, page.block.data(),
                                                       page.block.data() + std::min(page.bitsOffset, page.block.size()),
                                                       0, 0, page.width, page.height, surface,
                                                       Region(RECT{0, 0, 127, 64}), 0, 0, 127, 64);
        EXPECT_EQ(drew, draws.at(name));
    }
}

// The indices past pal8badindex's 101-entry table draw black.
TEST(BmpsuiteBad, IndexPastThePaletteIsBlack) {
    const PageBlock page = LoadPage("b/pal8badindex.bmp");
    const Drawn drawn = DrawPage(page);
    ASSERT_TRUE(drawn.ok);
    const auto picture = ReadPng(kSuite + "r/pal8.png");
    ASSERT_TRUE(picture);
    int blackInstead = 0;
    int wrong = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 127; ++x) {
            const Pixel p = drawn.surface.At(x, y);
            const Pixel reference = platform::PixelFromRgb(picture->At(x, y, 0), picture->At(x, y, 1), picture->At(x, y, 2));
            if (p == reference) continue;
            if (p == 0) ++blackInstead; else ++wrong;
        }
    }
    EXPECT_GT(blackInstead, 0);
    EXPECT_EQ(wrong, 0) << "every pixel is black or the picture's own";
}

// The program's own path: a page block from GlobalAlloc drawn through DrawDibDraw onto a memory
// context whose origin is offset, with the source rectangle passed exactly as stored.
TEST(BmpsuiteDrawDib, PageThroughAMemoryContext) {
    const PageBlock page = LoadPage("g/pal8topdown.bmp");
    ASSERT_EQ(page.height, -64);
    HGLOBAL memory = GlobalAlloc(GMEM_FIXED, page.block.size());
    ASSERT_NE(memory, nullptr);
    auto* block = static_cast<std::uint8_t*>(static_cast<void*>(memory));
    std::memcpy(block, page.block.data(), page.block.size());

    Surface surface(140, 80, kFill);
    const Region clip(RECT{0, 0, 140, 80});
    HDC hdc = platform::gdi::CreateSurfaceDC(nullptr, &surface, 5, 7, clip);
    HDRAWDIB hdd = DrawDibOpen();
    EXPECT_EQ(DrawDibRealize(hdd, hdc, TRUE), 0u) << "nothing drawn yet";
    EXPECT_TRUE(DrawDibDraw(hdd, hdc, 0, 0, 127, 64, reinterpret_cast<LPBITMAPINFOHEADER>(block), block + page.bitsOffset,
                            0, 0, page.width, page.height, DDF_BACKGROUNDPAL));
    EXPECT_EQ(DrawDibRealize(hdd, hdc, TRUE), 252u);

    Surface placed(127, 64);
    for (int y = 0; y < 64; ++y) std::copy(surface.Row(y + 7) + 5, surface.Row(y + 7) + 5 + 127, placed.Row(y));
    EXPECT_TRUE(LooksLike(placed, "pal8.png", Match::Exact));
    EXPECT_EQ(surface.At(4, 7), kFill);
    EXPECT_EQ(surface.At(5, 6), kFill);
    EXPECT_EQ(surface.At(132, 70), kFill);

    EXPECT_TRUE(DrawDibClose(hdd));
    platform::gdi::DestroyDC(hdc);
    GlobalFree(memory);
}

}  // namespace
