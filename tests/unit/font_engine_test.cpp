// Face resolution, sizes and metrics of the font engine, and drawing at extreme sizes.
#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/base/codepage.h"
#include "platform/gdi/font_engine.h"
#include "platform/gdi/gdi_internal.h"

using namespace platform;

namespace {

constexpr Pixel kWhite = PixelFromRgb(255, 255, 255);
const std::string kIpaPGothic = "/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf";

bool EndsWith(const std::string& s, const std::string& suffix) {
    return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

HFONT LetteringFont(int height, BYTE quality = DRAFT_QUALITY) {
    const std::string face = EncodeCp932(U"ＭＳ Ｐゴシック");
    return CreateFontA(height, 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, quality, 0, face.c_str());
}

struct InkBox {
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;  // inclusive
    int count = 0;
    int Height() const { return count ? bottom - top + 1 : 0; }
};

InkBox FindInk(const Surface& s, Pixel background) {
    InkBox box;
    for (int y = 0; y < s.Height(); ++y) {
        for (int x = 0; x < s.Width(); ++x) {
            if (s.At(x, y) == background) continue;
            box.left = std::min(box.left, x);
            box.right = std::max(box.right, x);
            box.top = std::min(box.top, y);
            box.bottom = std::max(box.bottom, y);
            ++box.count;
        }
    }
    return box;
}

// A context on a surface of its own; the font it selects is deleted with it.
struct TestContext {
    Surface surface;
    HDC dc;
    HGDIOBJ oldFont = nullptr;
    HFONT font = nullptr;

    TestContext(int w, int h, const RECT& clip, Pixel fill = kWhite, int ox = 0, int oy = 0)
        : surface(w, h, fill), dc(gdi::CreateSurfaceDC(nullptr, &surface, ox, oy, Region(clip))) {
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(0, 0, 0));
    }
    void Use(HFONT f) {
        font = f;
        oldFont = SelectObject(dc, f);
    }
    TEXTMETRICA Metrics() {
        TEXTMETRICA tm{};
        EXPECT_TRUE(GetTextMetricsA(dc, &tm));
        return tm;
    }
    ~TestContext() {
        if (oldFont) SelectObject(dc, oldFont);
        if (font) DeleteObject(font);
        gdi::DestroyDC(dc);
    }
};

bool HaveIpaFont() { return std::filesystem::exists(kIpaPGothic); }

}  // namespace

TEST(FontMatch, TheProgramsFaceResolvesToTheIpaProportionalGothic) {
    if (!HaveIpaFont()) GTEST_SKIP() << "fonts-ipafont-gothic is not installed";
    for (const char32_t* face : {U"ＭＳ Ｐゴシック", U"ＭＳ ゴシック", U"MS UI Gothic", U"No Such Face"}) {
        const std::string path = fonts::ResolvedFacePath(EncodeCp932(face));
        EXPECT_TRUE(EndsWith(path, "ipagp.ttf")) << EncodeUtf8(face) << " -> " << path;
    }
}

TEST(FontMatch, AnInstalledFamilyIsUsedDirectly) {
    const std::string dejavu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    if (!std::filesystem::exists(dejavu)) GTEST_SKIP() << "DejaVu Sans is not installed";
    EXPECT_EQ(fonts::ResolvedFacePath("DejaVu Sans"), dejavu);
}

TEST(FontMatch, AFaceNameFillingTheWholeFieldIsReadWithinIt) {
    LOGFONTA lf{};
    lf.lfHeight = 15;
    std::memset(lf.lfFaceName, 0x81, sizeof lf.lfFaceName);  // lead bytes, no terminator
    std::shared_ptr<fonts::FontInstance> font = fonts::OpenFont(lf);
    ASSERT_NE(font, nullptr);
    EXPECT_GT(font->Metrics().height, 0);
}

TEST(FontMatchDeathTest, WithoutAnyJapaneseFaceItWarnsOnceAndFindsNoFace) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            // A configuration that knows no fonts at all.
            FcConfig* empty = FcConfigCreate();
            FcConfigSetCurrent(empty);
            const bool none = fonts::ResolvedFacePath("Never Asked For Before").empty() &&
                              fonts::ResolvedFacePath("Nor This One").empty() &&
                              CreateFontA(15, 0, 0, 0, 0, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, DRAFT_QUALITY, 0,
                                          "And This") == nullptr;
            std::exit(none ? 0 : 1);
        },
        testing::ExitedWithCode(0), "^komalore: no Japanese font found; install fonts-ipafont-gothic\n$");
}

TEST(FontSize, HeightsAskForCellOrEmOrTheDefault) {
    if (!HaveIpaFont()) GTEST_SKIP() << "fonts-ipafont-gothic is not installed";
    struct Case {
        int height;
        int minCell, maxCell;  // tmHeight
        int em;                // tmHeight - tmInternalLeading, or 0 when not fixed
    };
    const Case cases[] = {
        {20, 20, 20, 0},
        {15, 15, 15, 0},
        {16, 16, 16, 0},
        {-20, 0, INT_MAX, 20},
        {0, 0, INT_MAX, 12},
        {-12, 0, INT_MAX, 12},
    };
    for (const Case& c : cases) {
        TestContext t(8, 8, RECT{0, 0, 8, 8});
        t.Use(LetteringFont(c.height));
        ASSERT_NE(t.font, nullptr);
        const TEXTMETRICA tm = t.Metrics();
        EXPECT_GE(tm.tmHeight, c.minCell) << c.height;
        EXPECT_LE(tm.tmHeight, c.maxCell) << c.height;
        EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent) << c.height;
        if (c.em) {
            EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, c.em) << c.height;
        }
        EXPECT_GT(tm.tmAveCharWidth, 0) << c.height;
        EXPECT_GE(tm.tmMaxCharWidth, tm.tmAveCharWidth) << c.height;
    }
}

TEST(FontSize, AnEmHeightOfTwentyDrawsKanjiAboutTwentyPixelsTall) {
    TestContext t(64, 64, RECT{0, 0, 64, 64});
    t.Use(LetteringFont(-20));
    RECT r{4, 4, 60, 60};
    DrawTextA(t.dc, EncodeCp932(U"国").c_str(), -1, &r, DT_NOCLIP);
    const InkBox ink = FindInk(t.surface, kWhite);
    EXPECT_GE(ink.Height(), 15);
    EXPECT_LE(ink.Height(), 20);
}

TEST(FontSize, DefaultHeightMatchesTheDialogFont) {
    TestContext a(8, 8, RECT{0, 0, 8, 8});
    a.Use(LetteringFont(0));
    TestContext b(8, 8, RECT{0, 0, 8, 8});
    b.Use(LetteringFont(-12));
    EXPECT_EQ(a.Metrics().tmHeight, b.Metrics().tmHeight);
    EXPECT_EQ(a.Metrics().tmAscent, b.Metrics().tmAscent);
}

TEST(FontSize, ExtremeHeightsDrawOnlyInsideTheClip) {
    const std::string text = EncodeCp932(U"国あA\r\n漢字");
    for (int height : {100000, -100000, INT_MAX, INT_MIN, 1, -1, 65535, -65536}) {
        const RECT clip{10, 12, 70, 52};
        TestContext t(80, 64, clip);
        t.Use(LetteringFont(height));
        ASSERT_NE(t.font, nullptr) << height;
        const TEXTMETRICA tm = t.Metrics();
        EXPECT_GT(tm.tmHeight, 0) << height;
        for (int top : {0, -5000, 99999999, INT_MIN / 2}) {
            RECT r{-20, top, 130, 18};
            const int drawn = DrawTextA(t.dc, text.c_str(), -1, &r, DT_NOCLIP);
            EXPECT_GT(drawn, 0) << height;
        }
        for (int y = 0; y < t.surface.Height(); ++y) {
            for (int x = 0; x < t.surface.Width(); ++x) {
                if (!RectContains(clip, x, y)) {
                    ASSERT_EQ(t.surface.At(x, y), kWhite) << height << " at " << x << "," << y;
                }
            }
        }
    }
}

TEST(FontSize, AHugeGlyphFillsExactlyTheClip) {
    // "■" is far larger than the surface at these sizes: placed with its middle over the
    // surface, the clip is all ink and nothing around it is touched.
    for (int height : {-100000, -300, 5000}) {
        const RECT clip{5, 7, 33, 35};
        TestContext t(40, 40, clip);
        t.Use(LetteringFont(height));
        const TEXTMETRICA tm = t.Metrics();
        const int em = tm.tmHeight - tm.tmInternalLeading;
        const SIZE extent = gdi::MeasureTextU32(t.dc, U"■");
        ASSERT_GT(em, 200);
        RECT r{20 - extent.cx / 2, 20 - (tm.tmAscent - em * 2 / 5), 130, 18};
        DrawTextA(t.dc, EncodeCp932(U"■").c_str(), -1, &r, DT_NOCLIP);
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 40; ++x) {
                const Pixel expected = RectContains(clip, x, y) ? PixelFromRgb(0, 0, 0) : kWhite;
                ASSERT_EQ(t.surface.At(x, y), expected) << height << " at " << x << "," << y;
            }
        }
    }
}

TEST(FontSize, AHugeGlyphsEdgeCrossingTheClipStaysStraight) {
    // The left edge of a huge "■" runs down the middle of the surface: every row is the same,
    // white on the left, ink on the right. (Glyphs this large are cut to the clip before they
    // are rasterised; where the edge lies is found at a fifth or a third of the size.)
    for (int height : {-5000, -3000}) {
        TestContext t(40, 40, RECT{0, 0, 40, 40});
        t.Use(LetteringFont(height));
        const TEXTMETRICA tm = t.Metrics();
        const int em = tm.tmHeight - tm.tmInternalLeading;
        TestContext probe(8, 8, RECT{0, 0, 8, 8});  // finds where the square's ink starts
        probe.Use(LetteringFont(-1000));
        RECT p{0, 0, 130, 18};
        Surface wide(1100, 1100, kWhite);
        HDC wideDc = gdi::CreateSurfaceDC(nullptr, &wide, 0, 0, Region(RECT{0, 0, 1100, 1100}));
        SelectObject(wideDc, probe.font);
        DrawTextA(wideDc, EncodeCp932(U"■").c_str(), -1, &p, DT_NOCLIP);
        SelectObject(wideDc, gdi::StockSystemFont());
        gdi::DestroyDC(wideDc);
        const int bearingAt1000 = FindInk(wide, kWhite).left;
        RECT r{20 - bearingAt1000 * em / 1000, 20 - (tm.tmAscent - em * 2 / 5), 130, 18};
        DrawTextA(t.dc, EncodeCp932(U"■").c_str(), -1, &r, DT_NOCLIP);
        for (int y = 1; y < 40; ++y) {
            for (int x = 0; x < 40; ++x) ASSERT_EQ(t.surface.At(x, y), t.surface.At(x, 0)) << height;
        }
        EXPECT_EQ(t.surface.At(0, 0), kWhite) << height;
        EXPECT_EQ(t.surface.At(39, 0), PixelFromRgb(0, 0, 0)) << height;
    }
}

TEST(FontMetricsOfRuns, AdvancesAreWholePixelsWithoutKerning) {
    TestContext t(8, 8, RECT{0, 0, 8, 8});
    t.Use(LetteringFont(15));
    const SIZE av = gdi::MeasureTextU32(t.dc, U"AV");
    const SIZE a = gdi::MeasureTextU32(t.dc, U"A");
    const SIZE v = gdi::MeasureTextU32(t.dc, U"V");
    EXPECT_EQ(av.cx, a.cx + v.cx);
    EXPECT_GT(a.cx, 0);
    EXPECT_EQ(av.cy, t.Metrics().tmHeight);
}

TEST(FontMetricsOfRuns, DialogBaseUnitsOfTheDialogFont) {
    const SIZE units = gdi::MeasureDialogBaseUnits(gdi::StockDialogFont());
    std::printf("dialog base units of the dialog font: cx=%ld cy=%ld\n", static_cast<long>(units.cx),
                static_cast<long>(units.cy));
    EXPECT_GT(units.cx, 0);
    EXPECT_GT(units.cy, 0);
}

TEST(FontObject, GetObjectCopiesTheRequest) {
    HFONT font = CreateFontA(-17, 3, 0, 0, FW_BOLD, TRUE, TRUE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DRAFT_QUALITY, 0, "Some Face");
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(GetObjectA(font, 0, nullptr), static_cast<int>(sizeof(LOGFONTA)));
    LOGFONTA lf{};
    EXPECT_EQ(GetObjectA(font, sizeof lf, &lf), static_cast<int>(sizeof(LOGFONTA)));
    EXPECT_EQ(lf.lfHeight, -17);
    EXPECT_EQ(lf.lfWidth, 3);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_EQ(lf.lfItalic, 1);
    EXPECT_EQ(lf.lfUnderline, 1);
    EXPECT_EQ(lf.lfQuality, DRAFT_QUALITY);
    EXPECT_STREQ(lf.lfFaceName, "Some Face");
    LOGFONTA part{};
    EXPECT_EQ(GetObjectA(font, 4, &part), 4);
    EXPECT_EQ(part.lfHeight, -17);
    EXPECT_EQ(part.lfWidth, 0);
    EXPECT_TRUE(DeleteObject(font));
    EXPECT_EQ(GetObjectA(font, sizeof lf, &lf), 0);
    EXPECT_EQ(CreateFontIndirectA(nullptr), nullptr);
}

TEST(FontObject, StyleFieldsChangeTheInk) {
    auto inkOf = [](int weight, BOOL italic, BOOL underline, BOOL strike) {
        TestContext t(80, 40, RECT{0, 0, 80, 40});
        t.Use(CreateFontA(-20, 0, 0, 0, weight, italic, underline, strike, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DRAFT_QUALITY, 0, "IPAPGothic"));
        RECT r{2, 2, 130, 18};
        DrawTextA(t.dc, "lll", -1, &r, DT_NOCLIP);
        return FindInk(t.surface, kWhite);
    };
    const InkBox plain = inkOf(FW_NORMAL, FALSE, FALSE, FALSE);
    const InkBox bold = inkOf(FW_BOLD, FALSE, FALSE, FALSE);
    const InkBox italic = inkOf(FW_NORMAL, TRUE, FALSE, FALSE);
    const InkBox underline = inkOf(FW_NORMAL, FALSE, TRUE, FALSE);
    const InkBox strike = inkOf(FW_NORMAL, FALSE, FALSE, TRUE);
    EXPECT_GT(bold.count, plain.count);
    EXPECT_GT(italic.right, plain.right);  // the tops of the stems lean right
    EXPECT_GT(underline.bottom, plain.bottom);
    EXPECT_GT(strike.count, plain.count);
    EXPECT_EQ(strike.bottom, plain.bottom);
}
