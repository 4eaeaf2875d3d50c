// One face at one pixel size and style, with the glyphs it has measured and rendered.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "platform/gdi/font_engine.h"
#include "platform/gdi/font_match.h"
#include "platform/gdi/region.h"
#include "platform/gdi/surface.h"

namespace platform::fonts {

// Owns the FreeType library. Every face holds a reference, so the library outlives the last
// face however static objects happen to be torn down at exit.
class FreeTypeLibrary {
public:
    static std::shared_ptr<FreeTypeLibrary> Create();
    ~FreeTypeLibrary();
    FreeTypeLibrary(const FreeTypeLibrary&) = delete;
    FreeTypeLibrary& operator=(const FreeTypeLibrary&) = delete;

    FT_Library Get() const { return library_; }

private:
    FreeTypeLibrary() = default;
    FT_Library library_ = nullptr;
};

// Size-independent numbers of a face, in font units, read once per face file.
struct FaceDesign {
    int unitsPerEm = 0;
    int winAscent = 0;  // OS/2 usWinAscent/usWinDescent, or the hhea values when those are zero
    int winDescent = 0;
    int lineGapExtra = 0;  // what the hhea line gap adds beyond the win metrics
    int avgCharWidth = 0;
    int maxAdvance = 0;
    int underlinePosition = 0;  // centre of the underline, negative below the baseline
    int underlineThickness = 0;
    int strikeOutPosition = 0;  // top of the strike-out line above the baseline
    int strikeOutSize = 0;
    int weightClass = 400;
    bool bold = false;
    bool italic = false;
    FT_BBox bbox{};
};

// Reads a face's design numbers; nullopt when the file doesn't load as a scalable face with a
// Unicode character map.
std::optional<FaceDesign> ReadFaceDesign(FT_Library library, const FaceLocation& location);

struct FaceStyle {
    int pixelsX = 0;  // em size horizontally and vertically
    int pixelsY = 0;
    bool embolden = false;
    bool oblique = false;
    bool mono = false;

    bool operator==(const FaceStyle&) const = default;
};

class SizedFace {
public:
    // Null when the face doesn't load at that size.
    static std::shared_ptr<SizedFace> Open(std::shared_ptr<FreeTypeLibrary> library, const FaceLocation& location,
                                           const FaceDesign& design, const FaceStyle& style);
    ~SizedFace();
    SizedFace(const SizedFace&) = delete;
    SizedFace& operator=(const SizedFace&) = delete;

    const FontMetrics& Metrics() const { return metrics_; }
    const FaceStyle& Style() const { return style_; }

    int Advance(char32_t c) { return GlyphFor(c).advance; }

    // Draws one character with its pen position at (penX, baseline); `clipBounds` is the bounding
    // box of `clip`. Returns the advance.
    int Draw(char32_t c, Surface& surface, const Region& clip, const RECT& clipBounds, std::int64_t penX,
             std::int64_t baseline, Pixel color);

    // Conservative ink extent of any glyph around its pen position (pixels; y grows downwards):
    // used to skip whole runs and the tail of a run outside the clip without loading glyphs.
    int InkAbove() const { return inkAbove_; }
    int InkBelow() const { return inkBelow_; }
    int InkLeft() const { return inkLeft_; }  // how far ink may reach left of the pen

private:
    struct Glyph {
        FT_UInt index = 0;
        int advance = 0;
        bool blank = false;     // nothing to draw: unmapped control characters, empty outlines
        bool rendered = false;  // `coverage` is valid (small sizes only)
        int left = 0;           // bitmap position relative to the pen, pixels right
        int top = 0;            // and pixels above the baseline
        int width = 0;
        int height = 0;
        std::vector<std::uint8_t> coverage;
    };

    SizedFace() = default;
    Glyph& GlyphFor(char32_t c);
    bool LoadStyledOutline(FT_UInt index);
    void RenderCoverage(Glyph& glyph);
    void DrawCoverage(const Glyph& glyph, Surface& surface, const Region& clip, std::int64_t penX,
                      std::int64_t baseline, Pixel color) const;
    void DrawOutline(const Glyph& glyph, Surface& surface, const Region& clip, std::int64_t penX,
                     std::int64_t baseline, Pixel color);

    std::shared_ptr<FreeTypeLibrary> library_;
    FT_Face face_ = nullptr;
    FaceStyle style_;
    FontMetrics metrics_;
    FT_Int32 loadFlags_ = 0;
    FT_Pos emboldenStrength_ = 0;  // 26.6
    int boldExtraAdvance_ = 0;
    bool cacheCoverage_ = false;
    int inkAbove_ = 0;
    int inkBelow_ = 0;
    int inkLeft_ = 0;

    std::unordered_map<char32_t, Glyph> glyphs_;  // node-based: references stay valid
    std::array<Glyph*, 128> ascii_{};
    std::size_t coverageBytes_ = 0;
};

}  // namespace platform::fonts
