// Font matching and glyph rendering on FreeType and fontconfig.
//
// A FontInstance is one face at one pixel size with the attributes a LOGFONT asks for. It
// measures and draws runs of Unicode text into a Surface, clipped to a Region; glyphs are
// rasterised only where they fall inside the clip.
#pragma once

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
    int MeasureRun(std::u32string_view text) {
        int w = 0;
        for (char32_t c : text) w += Advance(c);
        return w;
    }

    // Draws `text` with its first pen position at x and its baseline at `baseline`, both in
    // surface coordinates; glyph coverage blends `color` over the pixels there. Underline and
    // strike-out of the request are drawn too. Returns the advance.
    virtual int DrawRun(Surface& surface, const Region& clip, int x, int baseline, std::u32string_view text,
                        Pixel color) = 0;
};

}  // namespace platform::fonts
