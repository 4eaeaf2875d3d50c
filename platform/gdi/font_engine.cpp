#include "platform/gdi/font_engine.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "platform/base/codepage.h"
#include "platform/gdi/font_match.h"
#include "platform/gdi/glyph_cache.h"

namespace platform::fonts {

namespace {

// lfHeight 0 asks for the default size: 12 pixels per em, the size of the dialog font
// (9 points at 96 DPI).
constexpr int kDefaultEmPixels = 12;
// FreeType sizes a face up to 0xFFFF pixels per em. Larger requests are drawn at that size:
// a glyph 65535 pixels tall already fills any window many times over.
constexpr int kLargestEmPixels = 0xFFFF;
// Faces at one size kept open beyond those fonts still use.
constexpr std::size_t kSizedFacesKept = 16;

std::int64_t DivideRounded(std::int64_t numerator, std::int64_t denominator) {
    return (2 * numerator + denominator) / (2 * denominator);
}

int ClampEm(std::int64_t em) { return static_cast<int>(std::clamp<std::int64_t>(em, 1, kLargestEmPixels)); }

// Positive heights are cell heights (ascent + descent), negative ones em heights.
int EmPixelsFor(LONG height, const FaceDesign& design) {
    if (height == 0) return kDefaultEmPixels;
    if (height < 0) return ClampEm(-static_cast<std::int64_t>(height));
    return ClampEm(DivideRounded(static_cast<std::int64_t>(height) * design.unitsPerEm,
                                 static_cast<std::int64_t>(design.winAscent) + design.winDescent));
}

// A width asks for that average character width; the em is stretched to match.
int EmPixelsForWidth(LONG width, int emPixelsY, const FaceDesign& design) {
    if (width == 0 || design.avgCharWidth <= 0) return emPixelsY;
    const std::int64_t w = width < 0 ? -static_cast<std::int64_t>(width) : width;
    return ClampEm(DivideRounded(w * design.unitsPerEm, design.avgCharWidth));
}

std::string FaceNameUtf8(const char* faceNameCp932, std::size_t capacity) {
    if (!faceNameCp932) return {};
    const std::size_t length = strnlen(faceNameCp932, capacity);
    return Utf8FromCp932(std::string_view(faceNameCp932, length));
}

// The layer's font state: the FreeType library, what each face file measures in font units and
// the faces opened at a size. Everything here runs on the thread that draws.
class FontRegistry {
public:
    static FontRegistry& Get() {
        static FontRegistry registry;
        return registry;
    }

    struct ResolvedFace {
        FaceLocation location;
        const FaceDesign* design;
    };

    // The first candidate face of the family that loads.
    std::optional<ResolvedFace> Face(const std::string& familyUtf8) {
        if (!library_) return std::nullopt;
        for (const FaceLocation& location : FaceCandidates(familyUtf8)) {
            if (const FaceDesign* design = Design(location)) return ResolvedFace{location, design};
        }
        return std::nullopt;
    }

    std::shared_ptr<SizedFace> Sized(const FaceLocation& location, const FaceDesign& design, const FaceStyle& style) {
        ++clock_;
        for (SizedEntry& e : sized_) {
            if (e.style == style && e.location == location) {
                e.lastUse = clock_;
                return e.face;
            }
        }
        std::shared_ptr<SizedFace> face = SizedFace::Open(library_, location, design, style);
        if (!face) return nullptr;
        if (sized_.size() >= kSizedFacesKept) {
            auto oldest = std::min_element(sized_.begin(), sized_.end(),
                                           [](const SizedEntry& a, const SizedEntry& b) { return a.lastUse < b.lastUse; });
            sized_.erase(oldest);
        }
        sized_.push_back(SizedEntry{location, style, face, clock_});
        return face;
    }

private:
    FontRegistry() : library_(FreeTypeLibrary::Create()) {}

    const FaceDesign* Design(const FaceLocation& location) {
        auto key = std::make_pair(location.path, location.index);
        auto it = designs_.find(key);
        if (it == designs_.end()) it = designs_.emplace(key, ReadFaceDesign(library_->Get(), location)).first;
        return it->second ? &*it->second : nullptr;
    }

    struct SizedEntry {
        FaceLocation location;
        FaceStyle style;
        std::shared_ptr<SizedFace> face;
        std::uint64_t lastUse = 0;
    };

    std::shared_ptr<FreeTypeLibrary> library_;
    std::map<std::pair<std::string, int>, std::optional<FaceDesign>> designs_;
    std::vector<SizedEntry> sized_;
    std::uint64_t clock_ = 0;
};

class FaceFontInstance final : public FontInstance {
public:
    FaceFontInstance(const LOGFONTA& request, const FaceDesign& design, std::shared_ptr<SizedFace> face)
        : request_(request), face_(std::move(face)), metrics_(face_->Metrics()) {
        if (request.lfWeight > 0) metrics_.weight = std::clamp<LONG>(request.lfWeight, 1, 1000);
        // A cell height gets exactly that cell: the ascent takes its share of the requested
        // height and the descent the rest, so that lines stack by the height asked for.
        if (request.lfHeight > 0 && request.lfHeight <= kLargestEmPixels) {
            const std::int64_t cell = request.lfHeight;
            metrics_.ascent = static_cast<int>(
                DivideRounded(cell * design.winAscent, static_cast<std::int64_t>(design.winAscent) + design.winDescent));
            metrics_.descent = static_cast<int>(cell - metrics_.ascent);
            metrics_.height = static_cast<int>(cell);
            metrics_.internalLeading = metrics_.height - metrics_.emSize;
        }
    }

    const FontMetrics& Metrics() const override { return metrics_; }
    const LOGFONTA& Request() const override { return request_; }
    int Advance(char32_t c) override { return face_->Advance(c); }

    int DrawRun(Surface& surface, const Region& clip, std::int64_t x, std::int64_t baseline, std::u32string_view text,
                Pixel color) override {
        const RECT bounds = RectIntersection(clip.Bounds(), RECT{0, 0, surface.Width(), surface.Height()});
        const bool rowsVisible = !RectIsEmpty(bounds) && baseline + face_->InkBelow() > bounds.top &&
                                 baseline - face_->InkAbove() < bounds.bottom;
        std::int64_t pen = x;
        for (char32_t c : text) {
            // Past the clip's right edge nothing more can show; the rest is only measured.
            if (rowsVisible && pen - face_->InkLeft() < bounds.right) {
                pen += face_->Draw(c, surface, clip, bounds, pen, baseline, color);
            } else {
                pen += face_->Advance(c);
            }
        }
        if (request_.lfUnderline && rowsVisible) {
            const std::int64_t top = baseline + metrics_.underlineOffset;
            FillClipped(surface, clip, x, top, pen, top + metrics_.underlineThickness, color);
        }
        if (request_.lfStrikeOut && rowsVisible) {
            const std::int64_t top = baseline - metrics_.strikeOutOffset;
            FillClipped(surface, clip, x, top, pen, top + metrics_.strikeOutThickness, color);
        }
        return static_cast<int>(std::min<std::int64_t>(pen - x, INT_MAX));
    }

private:
    LOGFONTA request_;
    std::shared_ptr<SizedFace> face_;
    FontMetrics metrics_;
};

}  // namespace

std::shared_ptr<FontInstance> OpenFont(const LOGFONTA& request) {
    FontRegistry& registry = FontRegistry::Get();
    std::optional<FontRegistry::ResolvedFace> face = registry.Face(FaceNameUtf8(request.lfFaceName, LF_FACESIZE));
    if (!face) return nullptr;
    const FaceDesign& design = *face->design;

    FaceStyle style;
    style.pixelsY = EmPixelsFor(request.lfHeight, design);
    style.pixelsX = EmPixelsForWidth(request.lfWidth, style.pixelsY, design);
    style.embolden = request.lfWeight >= 600 && !design.bold;
    style.oblique = request.lfItalic != 0 && !design.italic;
    style.mono = request.lfQuality == NONANTIALIASED_QUALITY;
    std::shared_ptr<SizedFace> sized = registry.Sized(face->location, design, style);
    if (!sized) return nullptr;
    return std::make_shared<FaceFontInstance>(request, design, std::move(sized));
}

std::string ResolvedFacePath(std::string_view faceNameCp932) {
    const std::string name = FaceNameUtf8(faceNameCp932.data(), faceNameCp932.size());
    std::optional<FontRegistry::ResolvedFace> face = FontRegistry::Get().Face(name);
    return face ? face->location.path : std::string();
}

}  // namespace platform::fonts
