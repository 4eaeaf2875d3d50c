// Font matching and glyph rendering on FreeType and fontconfig.
//
// A FontInstance is one face at one pixel size with the attributes a LOGFONT asks for. It
// measures and draws runs of Unicode text into a Surface, clipped to a Region; glyphs are
// rasterised only where they fall inside the clip.
#pragma once

#include <climits>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/gdi/region.h"
#include "platform/gdi/surface.h"
#include "platform/gdi/wingdi.h"

namespace platform::fonts {

struct FontMetrics {
    int height = 0;  // cell height: ascent + descent
    int ascent = 0;
    int descent = 0;
    int internalLeading = 0;  // height minus the em size
    int externalLeading = 0;
    int aveCharWidth = 0;
    int maxCharWidth = 0;
    int weight = 400;
    int emSize = 0;               // pixels per em the glyphs are drawn at
    int underlineOffset = 0;      // top of the underline, pixels below the baseline
    int underlineThickness = 1;
    int strikeOutOffset = 0;      // top of the strike-out line, pixels above the baseline
    int strikeOutThickness = 1;
};

class FontInstance;

// Resolves a LOGFONT to a face and size. Returns null only when no face at all can be loaded.
std::shared_ptr<FontInstance> OpenFont(const LOGFONTA& request);

// The face file that a face name resolves to (after substitution), for diagnostics and tests.
std::string ResolvedFacePath(std::string_view faceNameCp932);

class FontInstance {
public:
    virtual ~FontInstance() = default;

    virtual const FontMetrics& Metrics() const = 0;
    virtual const LOGFONTA& Request() const = 0;

    // Advance width in pixels of one character at this size, without kerning.
    virtual int Advance(char32_t c) = 0;
    // Sums saturate at INT_MAX: a long run at a huge size must not wrap around.
    int MeasureRun(std::u32string_view text) {
        std::int64_t w = 0;
        for (char32_t c : text) {
            w += Advance(c);
            if (w >= INT_MAX) return INT_MAX;
        }
        return static_cast<int>(w);
    }

    // Draws `text` with its first pen position at x and its baseline at `baseline`, both in
    // surface coordinates (64-bit, since a far-off position plus a huge size overflows int);
    // glyph coverage blends `color` over the pixels there. Underline and strike-out of the
    // request are drawn too. Returns the advance, saturated like MeasureRun.
    virtual int DrawRun(Surface& surface, const Region& clip, std::int64_t x, std::int64_t baseline,
                        std::u32string_view text, Pixel color) = 0;
};

// Fills [left, right) x [top, bottom) (surface coordinates) with `color`, only where the clip and
// the surface allow: underlines, prefix marks and opaque text backgrounds.
void FillClipped(Surface& surface, const Region& clip, std::int64_t left, std::int64_t top, std::int64_t right,
                 std::int64_t bottom, Pixel color);

}  // namespace platform::fonts
