// DrawText and TextOut: placement, line breaks, clipping, formats and hostile input.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "platform/base/codepage.h"
#include "platform/gdi/gdi_internal.h"

using namespace platform;

namespace {

constexpr Pixel kWhite = PixelFromRgb(255, 255, 255);
constexpr Pixel kTeal = PixelFromRgb(0, 128, 128);

HFONT GothicFont(int height, BYTE quality = DRAFT_QUALITY) {
    const std::string face = EncodeCp932(U"ＭＳ Ｐゴシック");
    return CreateFontA(height, 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, quality, 0, face.c_str());
}

struct InkBox {
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;  // inclusive
    int count = 0;
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

bool SameImage(const Surface& a, const Surface& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y) {
        for (int x = 0; x < a.Width(); ++x) {
            if (a.At(x, y) != b.At(x, y)) return false;
        }
    }
    return true;
}

// A context on a surface of its own, drawing black text with a 15-pixel lettering font.
struct Canvas {
    Surface surface;
    HDC dc;
    HGDIOBJ oldFont = nullptr;
    HFONT font = nullptr;

    explicit Canvas(int w = 160, int h = 100, int ox = 0, int oy = 0, int fontHeight = 15, Pixel fill = kWhite)
        : Canvas(w, h, RECT{0, 0, w, h}, ox, oy, fontHeight, fill) {}
    Canvas(int w, int h, const RECT& clip, int ox, int oy, int fontHeight = 15, Pixel fill = kWhite)
        : surface(w, h, fill), dc(gdi::CreateSurfaceDC(nullptr, &surface, ox, oy, Region(clip))) {
        SetBkMode(dc, TRANSPARENT);
        SetBkColor(dc, RGB(255, 255, 255));
        SetTextColor(dc, RGB(0, 0, 0));
        Use(GothicFont(fontHeight));
    }
    void Use(HFONT f) {
        HGDIOBJ previous = SelectObject(dc, f);
        if (!oldFont) oldFont = previous;
        if (font) DeleteObject(font);
        font = f;
    }
    int Draw(std::u32string_view text, RECT r, UINT format) { return gdi::DrawTextU32(dc, text, &r, format); }
    TEXTMETRICA Metrics() {
        TEXTMETRICA tm{};
        EXPECT_TRUE(GetTextMetricsA(dc, &tm));
        return tm;
    }
    ~Canvas() {
        if (oldFont) SelectObject(dc, oldFont);
        if (font) DeleteObject(font);
        gdi::DestroyDC(dc);
    }
};

}  // namespace

TEST(DrawText, OneLineStartsAtTheRectanglesTopLeftInContextCoordinates) {
    Canvas c(160, 100, /*ox=*/7, /*oy=*/5);
    const TEXTMETRICA tm = c.Metrics();
    const int height = c.Draw(U"国A", RECT{20, 30, 130, 18}, DT_NOCLIP);
    EXPECT_EQ(height, tm.tmHeight);
    const InkBox ink = FindInk(c.surface, kWhite);
    ASSERT_GT(ink.count, 0);
    EXPECT_GE(ink.left, 27);
    EXPECT_LE(ink.left, 27 + 3);  // side bearing
    EXPECT_GE(ink.top, 35);
    EXPECT_LE(ink.top, 35 + tm.tmAscent);
    EXPECT_LT(ink.bottom, 35 + tm.tmHeight);
}

TEST(DrawText, EachKindOfLineBreakStartsALineOneCellLower) {
    Canvas lines(160, 120);
    const int tmHeight = lines.Metrics().tmHeight;
    const int drawn = lines.Draw(U"国あ\r\n漢\r字\nかな", RECT{10, 4, 130, 18}, DT_NOCLIP);
    EXPECT_EQ(drawn, 4 * tmHeight);

    Canvas separate(160, 120);
    const char32_t* parts[] = {U"国あ", U"漢", U"字", U"かな"};
    for (int i = 0; i < 4; ++i) separate.Draw(parts[i], RECT{10, 4 + i * tmHeight, 130, 18}, DT_NOCLIP);
    EXPECT_TRUE(SameImage(lines.surface, separate.surface));
}

TEST(DrawText, ABreakAtTheEndStartsNoLineAndEmptyTextDrawsNothing) {
    Canvas c;
    const int tmHeight = c.Metrics().tmHeight;
    EXPECT_EQ(c.Draw(U"AB\r\n", RECT{0, 0, 130, 18}, DT_NOCLIP), tmHeight);
    EXPECT_EQ(c.Draw(U"\r\n\r\n", RECT{0, 0, 130, 18}, DT_NOCLIP), 2 * tmHeight);
    Canvas empty;
    EXPECT_EQ(empty.Draw(U"", RECT{0, 0, 130, 18}, DT_NOCLIP), 0);
    EXPECT_EQ(FindInk(empty.surface, kWhite).count, 0);
}

TEST(DrawText, SingleLineTreatsLineBreaksAsCharactersWithoutInk) {
    Canvas single;
    const int tmHeight = single.Metrics().tmHeight;
    EXPECT_EQ(single.Draw(U"A\r\nB\rC", RECT{4, 4, 130, 18}, DT_NOCLIP | DT_SINGLELINE), tmHeight);
    Canvas joined;
    joined.Draw(U"ABC", RECT{4, 4, 130, 18}, DT_NOCLIP | DT_SINGLELINE);
    EXPECT_TRUE(SameImage(single.surface, joined.surface));
}

TEST(DrawText, CalcRectMeasuresWithoutDrawing) {
    Canvas c;
    const int tmHeight = c.Metrics().tmHeight;
    RECT r{5, 6, 0, 0};
    const int h = gdi::DrawTextU32(c.dc, U"A\r\n国国国\r\nBB", &r, DT_CALCRECT);
    EXPECT_EQ(h, 3 * tmHeight);
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.top, 6);
    EXPECT_EQ(r.right, 5 + gdi::MeasureTextU32(c.dc, U"国国国").cx);
    EXPECT_EQ(r.bottom, 6 + 3 * tmHeight);
    EXPECT_EQ(FindInk(c.surface, kWhite).count, 0);
}

TEST(DrawText, NothingOutsideTheContextClipIsTouched) {
    const RECT clip{30, 10, 90, 40};
    Canvas c(160, 100, clip, 0, 0, 40, kTeal);
    SetTextColor(c.dc, RGB(255, 255, 0));
    SetBkMode(c.dc, OPAQUE);
    SetBkColor(c.dc, RGB(255, 0, 0));
    c.Draw(U"国国国国\r\n漢字漢字", RECT{0, 0, 130, 18}, DT_NOCLIP);
    bool changedInside = false;
    for (int y = 0; y < c.surface.Height(); ++y) {
        for (int x = 0; x < c.surface.Width(); ++x) {
            if (!RectContains(clip, x, y)) {
                ASSERT_EQ(c.surface.At(x, y), kTeal) << x << "," << y;
            } else if (c.surface.At(x, y) != kTeal) {
                changedInside = true;
            }
        }
    }
    EXPECT_TRUE(changedInside);
}

TEST(DrawText, WithoutNoClipTheRectangleClipsToo) {
    const RECT box{10, 10, 30, 20};
    Canvas clipped(160, 100, /*ox=*/3, /*oy=*/2, 20);
    clipped.Draw(U"国国国", box, 0);
    const InkBox in = FindInk(clipped.surface, kWhite);
    ASSERT_GT(in.count, 0);
    EXPECT_GE(in.left, 13);
    EXPECT_GE(in.top, 12);
    EXPECT_LT(in.right, 33);
    EXPECT_LT(in.bottom, 22);

    Canvas unclipped(160, 100, 3, 2, 20);
    unclipped.Draw(U"国国国", box, DT_NOCLIP);
    const InkBox out = FindInk(unclipped.surface, kWhite);
    EXPECT_GT(out.right, 33);
    EXPECT_GT(out.bottom, 22);
}

TEST(DrawText, AnInvertedRectangleDrawsFromItsTopLeftOnlyWithNoClip) {
    // The lettering rectangle: right 130 and bottom 18 whatever the position.
    Canvas noclip(240, 100);
    noclip.Draw(U"国", RECT{140, 40, 130, 18}, DT_NOCLIP);
    Canvas upright(240, 100);
    upright.Draw(U"国", RECT{140, 40, 230, 90}, DT_NOCLIP);
    EXPECT_GT(FindInk(noclip.surface, kWhite).count, 0);
    EXPECT_TRUE(SameImage(noclip.surface, upright.surface));

    Canvas clipped(240, 100);
    clipped.Draw(U"国", RECT{140, 40, 130, 18}, 0);
    EXPECT_EQ(FindInk(clipped.surface, kWhite).count, 0);
}

TEST(DrawText, AntialiasingIsGreyAndNonAntialiasedIsSolid) {
    struct Case {
        BYTE quality;
        bool expectPartialCoverage;
    };
    for (const Case& q : {Case{DRAFT_QUALITY, true}, Case{DEFAULT_QUALITY, true}, Case{CLEARTYPE_QUALITY, true},
                          Case{NONANTIALIASED_QUALITY, false}}) {
        Canvas c;
        c.Use(GothicFont(15, q.quality));
        c.Draw(U"あ漢字 Komalore", RECT{3, 3, 130, 18}, DT_NOCLIP);
        int partial = 0, changed = 0;
        for (int y = 0; y < c.surface.Height(); ++y) {
            for (int x = 0; x < c.surface.Width(); ++x) {
                const Pixel p = c.surface.At(x, y);
                if (p == kWhite) continue;
                ++changed;
                ASSERT_EQ(PixelRed(p), PixelGreen(p)) << int(q.quality);
                ASSERT_EQ(PixelGreen(p), PixelBlue(p)) << int(q.quality);
                if (PixelRed(p) != 0) ++partial;
            }
        }
        EXPECT_GT(changed, 50) << int(q.quality);
        EXPECT_EQ(partial > 0, q.expectPartialCoverage) << int(q.quality);
    }
}

TEST(DrawText, TextColourBlendsOverWhatIsThere) {
    Canvas c(160, 100, 0, 0, 15, kTeal);
    SetTextColor(c.dc, RGB(255, 255, 255));
    c.Draw(U"国", RECT{3, 3, 130, 18}, DT_NOCLIP);
    bool sawFull = false;
    for (int y = 0; y < c.surface.Height(); ++y) {
        for (int x = 0; x < c.surface.Width(); ++x) {
            const Pixel p = c.surface.At(x, y);
            // Between teal (0, 128, 128) and white, every channel moves by the same fraction.
            ASSERT_GE(PixelGreen(p), 128);
            ASSERT_EQ(PixelGreen(p), PixelBlue(p));
            sawFull |= p == kWhite;
        }
    }
    EXPECT_TRUE(sawFull);
}

TEST(DrawText, OpaqueModeFillsEachLinesCellFirst) {
    Canvas c;
    SetBkMode(c.dc, OPAQUE);
    SetBkColor(c.dc, RGB(255, 0, 0));
    const TEXTMETRICA tm = c.Metrics();
    c.Draw(U"  \r\n ", RECT{10, 10, 130, 18}, DT_NOCLIP);
    const int wide = gdi::MeasureTextU32(c.dc, U"  ").cx;
    const int narrow = gdi::MeasureTextU32(c.dc, U" ").cx;
    const Pixel red = PixelFromRgb(255, 0, 0);
    for (int y = 0; y < c.surface.Height(); ++y) {
        for (int x = 0; x < c.surface.Width(); ++x) {
            const bool first = x >= 10 && x < 10 + wide && y >= 10 && y < 10 + tm.tmHeight;
            const bool second = x >= 10 && x < 10 + narrow && y >= 10 + tm.tmHeight && y < 10 + 2 * tm.tmHeight;
            ASSERT_EQ(c.surface.At(x, y), (first || second) ? red : kWhite) << x << "," << y;
        }
    }
}

TEST(DrawText, AlignmentFormatsMoveTheLine) {
    const RECT box{10, 10, 150, 90};
    Canvas probe;
    const int w = gdi::MeasureTextU32(probe.dc, U"国あ").cx;
    const int h = probe.Metrics().tmHeight;
    struct Case {
        UINT format;
        int left, top;  // where the same line drawn plainly looks the same
    };
    const Case cases[] = {
        {DT_CENTER, 10 + (140 - w) / 2, 10},
        {DT_RIGHT, 150 - w, 10},
        {DT_SINGLELINE | DT_VCENTER, 10, 10 + (80 - h) / 2},
        {DT_SINGLELINE | DT_BOTTOM, 10, 90 - h},
        {DT_SINGLELINE | DT_CENTER | DT_VCENTER, 10 + (140 - w) / 2, 10 + (80 - h) / 2},
        {DT_VCENTER, 10, 10},  // ignored without DT_SINGLELINE
    };
    for (const Case& k : cases) {
        Canvas aligned;
        aligned.Draw(U"国あ", box, k.format);
        Canvas plain;
        plain.Draw(U"国あ", RECT{k.left, k.top, 300, 300}, 0);
        EXPECT_TRUE(SameImage(aligned.surface, plain.surface)) << std::hex << k.format;
    }
}

TEST(DrawText, PrefixesUnderlineTheMarkedCharacter) {
    struct Case {
        const char32_t* text;
        UINT format;
        const char32_t* plain;  // drawn with DT_NOPREFIX, looks the same
        bool underlined;
    };
    const Case cases[] = {
        {U"&&A", 0, U"&A", false},
        {U"&A", DT_NOPREFIX, U"&A", false},
        {U"&A", DT_HIDEPREFIX, U"A", false},
        {U"A&", 0, U"A", false},
        {U"&A", 0, U"A", true},
        {U"B&A", 0, U"BA", true},
    };
    for (const Case& k : cases) {
        Canvas marked;
        marked.Draw(k.text, RECT{4, 4, 130, 18}, k.format | DT_NOCLIP);
        Canvas plain;
        plain.Draw(k.plain, RECT{4, 4, 130, 18}, DT_NOPREFIX | DT_NOCLIP);
        if (!k.underlined) {
            EXPECT_TRUE(SameImage(marked.surface, plain.surface)) << EncodeUtf8(k.text);
            continue;
        }
        // Every plain pixel is still there, plus a solid line under the "A" only.
        const InkBox plainInk = FindInk(plain.surface, kWhite);
        const InkBox markedInk = FindInk(marked.surface, kWhite);
        EXPECT_GT(markedInk.count, plainInk.count) << EncodeUtf8(k.text);
        const int aLeft = 4 + gdi::MeasureTextU32(plain.dc, std::u32string_view(k.plain).substr(0, 1)).cx *
                                  (k.plain[1] ? 1 : 0);
        const int aRight = aLeft + gdi::MeasureTextU32(plain.dc, U"A").cx;
        for (int y = 0; y < marked.surface.Height(); ++y) {
            for (int x = 0; x < marked.surface.Width(); ++x) {
                const Pixel m = marked.surface.At(x, y);
                if (m == plain.surface.At(x, y)) continue;
                ASSERT_EQ(m, PixelFromRgb(0, 0, 0)) << EncodeUtf8(k.text) << " " << x << "," << y;
                ASSERT_GE(x, aLeft);
                ASSERT_LT(x, aRight);
            }
        }
    }
}

TEST(DrawText, ExpandTabsStopsEveryEightAverageWidths) {
    Canvas tabbed;
    const int stop = 8 * tabbed.Metrics().tmAveCharWidth;
    tabbed.Draw(U"A\tB", RECT{2, 2, 150, 90}, DT_EXPANDTABS | DT_NOCLIP);
    Canvas placed;
    placed.Draw(U"A", RECT{2, 2, 150, 90}, DT_NOCLIP);
    placed.Draw(U"B", RECT{2 + stop, 2, 150, 90}, DT_NOCLIP);
    EXPECT_TRUE(SameImage(tabbed.surface, placed.surface));

    // Without the format a tab is a character without ink or width.
    Canvas raw;
    raw.Draw(U"A\tB", RECT{2, 2, 150, 90}, DT_NOCLIP);
    Canvas joined;
    joined.Draw(U"AB", RECT{2, 2, 150, 90}, DT_NOCLIP);
    EXPECT_TRUE(SameImage(raw.surface, joined.surface));
}

TEST(DrawText, WordBreakWrapsAtSpacesAndBetweenKanji) {
    Canvas c;
    const int h = c.Metrics().tmHeight;
    const int ab = gdi::MeasureTextU32(c.dc, U"ab cd").cx;
    struct Case {
        const char32_t* text;
        int width;
        int lines;
    };
    const Case cases[] = {
        {U"ab cd", ab, 1},
        {U"ab cd", ab - 1, 2},
        {U"ab cd ef", gdi::MeasureTextU32(c.dc, U"ab").cx, 3},
        {U"abcdefgh", 1, 1},  // one word too wide stays whole
        {U"国国国国", gdi::MeasureTextU32(c.dc, U"国国").cx, 2},
    };
    for (const Case& k : cases) {
        RECT r{0, 0, k.width, 10};
        EXPECT_EQ(gdi::DrawTextU32(c.dc, k.text, &r, DT_WORDBREAK | DT_CALCRECT), k.lines * h) << EncodeUtf8(k.text);
    }
    Canvas wrapped;
    wrapped.Draw(U"ab cd", RECT{4, 4, 4 + ab - 1, 80}, DT_WORDBREAK);
    Canvas stacked;
    stacked.Draw(U"ab\r\ncd", RECT{4, 4, 4 + ab - 1, 80}, 0);
    EXPECT_TRUE(SameImage(wrapped.surface, stacked.surface));
}

TEST(DrawText, HalfWidthKatakanaBytesDrawFourGlyphs) {
    Canvas bytes;
    const char kana[] = {'\xB6', '\xC0', '\xB6', '\xC5', '\0'};
    RECT r{4, 4, 130, 18};
    DrawTextA(bytes.dc, kana, 4, &r, DT_NOCLIP);
    Canvas unicode;
    unicode.Draw(U"\uFF76\uFF80\uFF76\uFF85", RECT{4, 4, 130, 18}, DT_NOCLIP);
    EXPECT_GT(FindInk(bytes.surface, kWhite).count, 0);
    EXPECT_TRUE(SameImage(bytes.surface, unicode.surface));
    SIZE extent{};
    ASSERT_TRUE(GetTextExtentPoint32A(bytes.dc, kana, 4, &extent));
    EXPECT_EQ(extent.cx, gdi::MeasureTextU32(bytes.dc, U"\uFF76\uFF80\uFF76\uFF85").cx);
}

TEST(DrawText, HostileArgumentsFailQuietly) {
    Canvas c;
    RECT r{0, 0, 130, 18};
    EXPECT_EQ(DrawTextA(c.dc, nullptr, 5, &r, 0), 0);
    EXPECT_EQ(DrawTextA(c.dc, "A", 1, nullptr, 0), 0);
    EXPECT_EQ(DrawTextA(nullptr, "A", 1, &r, 0), 0);
    EXPECT_EQ(DrawTextA(c.dc, "AB", -1, &r, DT_NOCLIP), c.Metrics().tmHeight);  // NUL-terminated
    const char lead[] = {'A', '\x82'};  // a lead byte cut off at the end
    EXPECT_EQ(DrawTextA(c.dc, lead, 2, &r, DT_NOCLIP), c.Metrics().tmHeight);
    EXPECT_FALSE(TextOutA(c.dc, 0, 0, "A", -1));
    EXPECT_FALSE(TextOutA(c.dc, 0, 0, nullptr, 3));
    EXPECT_FALSE(GetTextExtentPoint32A(c.dc, "A", 1, nullptr));
    TEXTMETRICA tm;
    EXPECT_FALSE(GetTextMetricsA(nullptr, &tm));
    RECT huge{INT_MAX - 5, INT_MAX - 5, INT_MIN, INT_MIN};
    c.Draw(U"国国\r\n国", huge, DT_NOCLIP);
    c.Draw(U"国国\r\n国", huge, DT_CENTER | DT_RIGHT);
    RECT calc{INT_MAX - 5, INT_MAX - 5, 0, 0};
    gdi::DrawTextU32(c.dc, U"国国国国国国", &calc, DT_CALCRECT);
    EXPECT_EQ(calc.right, INT_MAX);
    EXPECT_GT(FindInk(c.surface, kWhite).count, 0);  // "AB" and "A" with its cut-off lead byte
}

TEST(DrawText, ADeletedFontFallsBackToTheSystemFont) {
    Canvas deleted;
    HFONT gone = GothicFont(30);
    SelectObject(deleted.dc, gone);
    DeleteObject(gone);
    deleted.Draw(U"国", RECT{4, 4, 130, 18}, DT_NOCLIP);
    Canvas system;
    SelectObject(system.dc, gdi::StockSystemFont());
    system.Draw(U"国", RECT{4, 4, 130, 18}, DT_NOCLIP);
    EXPECT_GT(FindInk(system.surface, kWhite).count, 0);
    EXPECT_TRUE(SameImage(deleted.surface, system.surface));
    EXPECT_EQ(system.Metrics().tmHeight, 16);
}

TEST(TextOut, DrawsLikeASingleLineAtThePoint) {
    Canvas out(160, 100, 5, 6);
    const std::string text = EncodeCp932(U"国あA");
    ASSERT_TRUE(TextOutA(out.dc, 10, 12, text.c_str(), static_cast<int>(text.size())));
    Canvas drawn(160, 100, 5, 6);
    drawn.Draw(U"国あA", RECT{10, 12, 130, 18}, DT_NOCLIP | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_GT(FindInk(out.surface, kWhite).count, 0);
    EXPECT_TRUE(SameImage(out.surface, drawn.surface));
    SIZE extent{};
    ASSERT_TRUE(GetTextExtentPoint32A(out.dc, text.c_str(), static_cast<int>(text.size()), &extent));
    EXPECT_EQ(extent.cx, gdi::MeasureTextU32(out.dc, U"国あA").cx);
    EXPECT_EQ(extent.cy, out.Metrics().tmHeight);
}
