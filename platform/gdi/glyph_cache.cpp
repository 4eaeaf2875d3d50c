#include "platform/gdi/glyph_cache.h"

#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <limits>
#include <type_traits>
#include <utility>

namespace platform::fonts {

namespace {

// Glyphs up to this em size keep their rendered coverage; larger ones are rasterised straight
// into the clip on every draw, which costs only the visible pixels.
constexpr int kLargestCachedEm = 256;
// Coverage kept per face and size before the cache starts over.
constexpr std::size_t kCoverageBudgetBytes = 8u << 20;
// FreeType rejects outlines reaching beyond 2^24 in 26.6 units.
constexpr std::int64_t kRasterLimitPixels = (std::int64_t{1} << 24) / 64 - 1;
// Slant of synthesised italics: tan(12 degrees) in 16.16.
constexpr FT_Fixed kObliqueShear = 0x0366A;

std::int64_t ScaleRounded(std::int64_t units, std::int64_t pixels, std::int64_t unitsPerEm) {
    const std::int64_t n = units * pixels;
    return n >= 0 ? (2 * n + unitsPerEm) / (2 * unitsPerEm) : -((-2 * n + unitsPerEm) / (2 * unitsPerEm));
}

int ClampToInt(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN / 2, INT_MAX / 2));
}

bool IsControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); }

// Blends coverage/255 of `src` over `dst`, exactly rounded.
inline Pixel Blend(Pixel dst, Pixel src, unsigned coverage) {
    if (coverage >= 255) return src;
    const unsigned inverse = 255 - coverage;
    auto channel = [&](int shift) {
        const unsigned t = ((dst >> shift) & 0xFF) * inverse + ((src >> shift) & 0xFF) * coverage + 128;
        return ((t + (t >> 8)) >> 8) << shift;
    };
    return channel(16) | channel(8) | channel(0);
}

struct SpanTarget {
    Surface* surface;
    RECT rect;  // the clip rectangle the raster's (0, 0) box maps to
    Pixel color;
    bool mono;
};

// Raster rows count upwards from the rectangle's bottom edge.
void BlendSpans(int y, int count, const FT_Span* spans, void* user) {
    const SpanTarget& t = *static_cast<const SpanTarget*>(user);
    const std::int64_t sy = static_cast<std::int64_t>(t.rect.bottom) - 1 - y;
    if (sy < t.rect.top || sy >= t.rect.bottom) return;
    Pixel* row = t.surface->Row(static_cast<int>(sy));
    for (int i = 0; i < count; ++i) {
        unsigned coverage = spans[i].coverage;
        if (t.mono) coverage = coverage >= 128 ? 255 : 0;
        if (coverage == 0) continue;
        const std::int64_t x0 = std::max<std::int64_t>(t.rect.left + std::int64_t{spans[i].x}, t.rect.left);
        const std::int64_t x1 = std::min<std::int64_t>(x0 + spans[i].len, t.rect.right);
        for (std::int64_t x = x0; x < x1; ++x) row[x] = Blend(row[x], t.color, coverage);
    }
}

// Glyph boxes beyond this many pixels are cut down to the clip rectangle before rasterising:
// the rasteriser walks every pixel an edge passes, inside the clip or not.
constexpr std::int64_t kCutOutlinesBeyondPixels = 2048;

struct PointF {
    double x, y;
};
using Polygon = std::vector<PointF>;

// Flattens an outline into closed polygons, curves to within 1/32 pixel (26.6 units of 2), which
// keeps edge coverage within a few levels of what the rasteriser makes of the curves.
struct Flattener {
    std::vector<Polygon> contours;
    PointF last{};

    static PointF From(const FT_Vector* v) { return PointF{static_cast<double>(v->x), static_cast<double>(v->y)}; }
    static int Segments(double deviation) {
        return static_cast<int>(std::clamp(std::ceil(std::sqrt(deviation / 2.0)), 1.0, 1024.0));
    }
    static int MoveTo(const FT_Vector* to, void* user) {
        auto& f = *static_cast<Flattener*>(user);
        f.contours.emplace_back();
        f.last = From(to);
        f.contours.back().push_back(f.last);
        return 0;
    }
    static int LineTo(const FT_Vector* to, void* user) {
        auto& f = *static_cast<Flattener*>(user);
        if (f.contours.empty()) f.contours.emplace_back();
        f.last = From(to);
        f.contours.back().push_back(f.last);
        return 0;
    }
    static int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
        auto& f = *static_cast<Flattener*>(user);
        if (f.contours.empty()) f.contours.emplace_back();
        const PointF p0 = f.last, p1 = From(control), p2 = From(to);
        const int n = Segments(std::hypot(p0.x - 2 * p1.x + p2.x, p0.y - 2 * p1.y + p2.y) / 4);
        for (int i = 1; i <= n; ++i) {
            const double t = static_cast<double>(i) / n, u = 1 - t;
            f.contours.back().push_back(
                PointF{u * u * p0.x + 2 * u * t * p1.x + t * t * p2.x, u * u * p0.y + 2 * u * t * p1.y + t * t * p2.y});
        }
        f.last = p2;
        return 0;
    }
    static int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
        auto& f = *static_cast<Flattener*>(user);
        if (f.contours.empty()) f.contours.emplace_back();
        const PointF p0 = f.last, p1 = From(c1), p2 = From(c2), p3 = From(to);
        const double d = std::max(std::hypot(p0.x - 2 * p1.x + p2.x, p0.y - 2 * p1.y + p2.y),
                                  std::hypot(p1.x - 2 * p2.x + p3.x, p1.y - 2 * p2.y + p3.y));
        const int n = Segments(d * 3 / 4);
        for (int i = 1; i <= n; ++i) {
            const double t = static_cast<double>(i) / n, u = 1 - t;
            const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, e = t * t * t;
            f.contours.back().push_back(
                PointF{a * p0.x + b * p1.x + c * p2.x + e * p3.x, a * p0.y + b * p1.y + c * p2.y + e * p3.y});
        }
        f.last = p3;
        return 0;
    }
};

// Keeps the part of a closed polygon on one side of an axis-parallel line. Cutting a filled
// shape this way leaves its winding numbers, and so its coverage, unchanged on that side.
Polygon ClipToHalfPlane(const Polygon& in, bool vertical, double edge, bool keepBelow) {
    Polygon out;
    if (in.empty()) return out;
    auto coord = [&](const PointF& p) { return vertical ? p.x : p.y; };
    auto inside = [&](const PointF& p) { return keepBelow ? coord(p) <= edge : coord(p) >= edge; };
    PointF prev = in.back();
    for (const PointF& cur : in) {
        const bool curIn = inside(cur), prevIn = inside(prev);
        if (curIn != prevIn) {
            const double t = (edge - coord(prev)) / (coord(cur) - coord(prev));
            out.push_back(PointF{prev.x + t * (cur.x - prev.x), prev.y + t * (cur.y - prev.y)});
        }
        if (curIn) out.push_back(cur);
        prev = cur;
    }
    return out;
}

// Renders `outline` cut to the box [0, width] x [0, height] (pixels, raster coordinates) plus a
// pixel of margin. Returns false when the cut outline can't be built, so the caller renders the
// whole outline instead.
bool RenderCutOutline(FT_Library library, FT_Outline& outline, const FT_Raster_Params& params, int width, int height) {
    Flattener flat;
    FT_Outline_Funcs funcs{};
    funcs.move_to = &Flattener::MoveTo;
    funcs.line_to = &Flattener::LineTo;
    funcs.conic_to = &Flattener::ConicTo;
    funcs.cubic_to = &Flattener::CubicTo;
    if (FT_Outline_Decompose(&outline, &funcs, &flat) != 0) return false;

    using PointCount = decltype(FT_Outline::n_points);
    using ContourIndex = std::remove_pointer_t<decltype(FT_Outline::contours)>;
    std::vector<FT_Vector> points;
    std::vector<ContourIndex> ends;
    const double margin = 64;
    for (Polygon& contour : flat.contours) {
        contour = ClipToHalfPlane(contour, true, -margin, false);
        contour = ClipToHalfPlane(contour, true, width * 64.0 + margin, true);
        contour = ClipToHalfPlane(contour, false, -margin, false);
        contour = ClipToHalfPlane(contour, false, height * 64.0 + margin, true);
        if (contour.size() < 3) continue;
        for (const PointF& p : contour) {
            points.push_back(FT_Vector{static_cast<FT_Pos>(std::lround(p.x)), static_cast<FT_Pos>(std::lround(p.y))});
        }
        if (points.size() > static_cast<std::size_t>(std::numeric_limits<PointCount>::max())) return false;
        ends.push_back(static_cast<ContourIndex>(points.size() - 1));
    }
    if (points.empty()) return true;
    std::vector<unsigned char> tags(points.size(), FT_CURVE_TAG_ON);
    FT_Outline cut{};
    cut.n_points = static_cast<PointCount>(points.size());
    cut.n_contours = static_cast<decltype(cut.n_contours)>(ends.size());
    cut.points = points.data();
    cut.tags = reinterpret_cast<decltype(cut.tags)>(tags.data());
    cut.contours = ends.data();
    cut.flags = outline.flags & FT_OUTLINE_EVEN_ODD_FILL;
    FT_Raster_Params cutParams = params;
    cutParams.source = &cut;
    FT_Outline_Render(library, &cut, &cutParams);
    return true;
}

}  // namespace

void FillClipped(Surface& surface, const Region& clip, std::int64_t left, std::int64_t top, std::int64_t right,
                 std::int64_t bottom, Pixel color) {
    for (const RECT& r : clip.Rects()) {
        const std::int64_t x0 = std::max<std::int64_t>({left, r.left, 0});
        const std::int64_t x1 = std::min<std::int64_t>({right, r.right, surface.Width()});
        const std::int64_t y0 = std::max<std::int64_t>({top, r.top, 0});
        const std::int64_t y1 = std::min<std::int64_t>({bottom, r.bottom, surface.Height()});
        if (x0 >= x1) continue;
        for (std::int64_t y = y0; y < y1; ++y) {
            Pixel* row = surface.Row(static_cast<int>(y));
            std::fill(row + x0, row + x1, color);
        }
    }
}

std::shared_ptr<FreeTypeLibrary> FreeTypeLibrary::Create() {
    std::shared_ptr<FreeTypeLibrary> lib(new FreeTypeLibrary());
    if (FT_Init_FreeType(&lib->library_) != 0) return nullptr;
    return lib;
}

FreeTypeLibrary::~FreeTypeLibrary() {
    if (library_) FT_Done_FreeType(library_);
}

std::optional<FaceDesign> ReadFaceDesign(FT_Library library, const FaceLocation& location) {
    FT_Face face = nullptr;
    if (FT_New_Face(library, location.path.c_str(), location.index, &face) != 0) return std::nullopt;
    struct Closer {
        FT_Face f;
        ~Closer() { FT_Done_Face(f); }
    } closer{face};
    if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) return std::nullopt;
    if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) != 0) return std::nullopt;

    FaceDesign d;
    d.unitsPerEm = face->units_per_EM;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
    const int hheaAscent = hhea ? hhea->Ascender : face->ascender;
    const int hheaDescent = hhea ? -hhea->Descender : -face->descender;
    const int hheaLineGap = hhea ? hhea->Line_Gap : 0;
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        d.winAscent = os2->usWinAscent;
        d.winDescent = os2->usWinDescent;
    } else {
        d.winAscent = hheaAscent;
        d.winDescent = hheaDescent;
    }
    if (d.winAscent + d.winDescent <= 0) {
        // No usable vertical metrics at all: an em box with a fifth below the baseline.
        d.winAscent = d.unitsPerEm * 4 / 5;
        d.winDescent = d.unitsPerEm - d.winAscent;
    }
    d.lineGapExtra = std::max(0, hheaLineGap - ((d.winAscent + d.winDescent) - (hheaAscent + hheaDescent)));
    d.avgCharWidth = os2 && os2->version != 0xFFFF ? os2->xAvgCharWidth : 0;
    d.maxAdvance = face->max_advance_width;
    d.underlinePosition = face->underline_position;
    d.underlineThickness = face->underline_thickness;
    if (os2 && os2->version != 0xFFFF && os2->yStrikeoutSize > 0) {
        d.strikeOutPosition = os2->yStrikeoutPosition;
        d.strikeOutSize = os2->yStrikeoutSize;
    } else {
        d.strikeOutPosition = d.winAscent / 3;
        d.strikeOutSize = std::max(1, d.unitsPerEm / 20);
    }
    d.weightClass = os2 && os2->version != 0xFFFF && os2->usWeightClass ? os2->usWeightClass : 400;
    d.bold = (face->style_flags & FT_STYLE_FLAG_BOLD) != 0 || d.weightClass >= 600;
    d.italic = (face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
    d.bbox = face->bbox;
    if (d.bbox.xMax <= d.bbox.xMin || d.bbox.yMax <= d.bbox.yMin) {
        d.bbox = FT_BBox{-d.unitsPerEm, -d.unitsPerEm, 2 * d.unitsPerEm, 2 * d.unitsPerEm};
    }
    return d;
}

std::shared_ptr<SizedFace> SizedFace::Open(std::shared_ptr<FreeTypeLibrary> library, const FaceLocation& location,
                                           const FaceDesign& design, const FaceStyle& style) {
    if (!library || style.pixelsX < 1 || style.pixelsY < 1 || style.pixelsX > 0xFFFF || style.pixelsY > 0xFFFF) {
        return nullptr;
    }
    std::shared_ptr<SizedFace> sized(new SizedFace());
    sized->library_ = std::move(library);
    if (FT_New_Face(sized->library_->Get(), location.path.c_str(), location.index, &sized->face_) != 0) {
        sized->face_ = nullptr;
        return nullptr;
    }
    FT_Face face = sized->face_;
    if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) != 0) return nullptr;
    if (FT_Set_Pixel_Sizes(face, static_cast<FT_UInt>(style.pixelsX), static_cast<FT_UInt>(style.pixelsY)) != 0) {
        return nullptr;
    }
    sized->style_ = style;
    sized->cacheCoverage_ = style.pixelsX <= kLargestCachedEm && style.pixelsY <= kLargestCachedEm;
    // Embedded bitmaps would be monochrome and ignore emboldening, so outlines are always used.
    // Hinting pays off only at small sizes; beyond them unhinted outlines load faster.
    sized->loadFlags_ = FT_LOAD_NO_BITMAP;
    if (!sized->cacheCoverage_) {
        sized->loadFlags_ |= FT_LOAD_NO_HINTING;
    } else {
        sized->loadFlags_ |= style.mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL;
    }
    if (style.embolden) {
        // A twenty-fourth of the em, as FreeType's own emboldening does.
        sized->emboldenStrength_ = std::max<FT_Pos>(1, static_cast<FT_Pos>(style.pixelsY) * 64 / 24);
        sized->boldExtraAdvance_ = static_cast<int>((sized->emboldenStrength_ + 32) >> 6);
    }

    const std::int64_t upem = design.unitsPerEm;
    const std::int64_t py = style.pixelsY;
    const std::int64_t px = style.pixelsX;
    FontMetrics& m = sized->metrics_;
    m.emSize = style.pixelsY;
    m.ascent = ClampToInt(ScaleRounded(design.winAscent, py, upem));
    m.descent = ClampToInt(ScaleRounded(design.winDescent, py, upem));
    m.height = m.ascent + m.descent;
    m.internalLeading = m.height - style.pixelsY;
    m.externalLeading = ClampToInt(ScaleRounded(design.lineGapExtra, py, upem));
    m.aveCharWidth = ClampToInt(ScaleRounded(design.avgCharWidth, px, upem));
    m.maxCharWidth = ClampToInt(ScaleRounded(design.maxAdvance, px, upem)) + sized->boldExtraAdvance_;
    m.weight = design.weightClass;
    m.underlineThickness = std::max(1, ClampToInt(ScaleRounded(design.underlineThickness, py, upem)));
    m.underlineOffset = ClampToInt(ScaleRounded(-design.underlinePosition, py, upem)) - m.underlineThickness / 2;
    m.underlineOffset = std::clamp(m.underlineOffset, 1, std::max(1, m.descent - m.underlineThickness));
    m.strikeOutThickness = std::max(1, ClampToInt(ScaleRounded(design.strikeOutSize, py, upem)));
    m.strikeOutOffset = ClampToInt(ScaleRounded(design.strikeOutPosition, py, upem));
    if (m.aveCharWidth <= 0) m.aveCharWidth = std::max(1, sized->Advance(U'x'));

    const int margin = sized->boldExtraAdvance_ + 2;
    const int above = std::max(m.ascent, ClampToInt(ScaleRounded(design.bbox.yMax, py, upem))) + margin;
    const int below = std::max(m.descent, ClampToInt(ScaleRounded(-design.bbox.yMin, py, upem))) + margin;
    int left = std::max(0, ClampToInt(ScaleRounded(-design.bbox.xMin, px, upem))) + margin;
    if (style.oblique) left += static_cast<int>((static_cast<std::int64_t>(below) * kObliqueShear >> 16) + 1);
    sized->inkAbove_ = above;
    sized->inkBelow_ = below;
    sized->inkLeft_ = left;
    return sized;
}

SizedFace::~SizedFace() {
    if (face_) FT_Done_Face(face_);
}

bool SizedFace::LoadStyledOutline(FT_UInt index) {
    if (FT_Load_Glyph(face_, index, loadFlags_) != 0) return false;
    FT_GlyphSlot slot = face_->glyph;
    if (slot->format != FT_GLYPH_FORMAT_OUTLINE) return false;
    if (emboldenStrength_ > 0) FT_Outline_EmboldenXY(&slot->outline, emboldenStrength_, emboldenStrength_);
    if (style_.oblique) {
        FT_Matrix shear{0x10000, kObliqueShear, 0, 0x10000};
        FT_Outline_Transform(&slot->outline, &shear);
    }
    return true;
}

SizedFace::Glyph& SizedFace::GlyphFor(char32_t c) {
    if (c < ascii_.size() && ascii_[c]) return *ascii_[c];
    auto it = glyphs_.find(c);
    if (it != glyphs_.end()) return it->second;

    Glyph g;
    g.index = FT_Get_Char_Index(face_, c);
    if (g.index == 0 && IsControl(c)) {
        // Line breaks and tabs that reach here are laid out as nothing, not as missing-glyph boxes.
        g.blank = true;
    } else if (LoadStyledOutline(g.index)) {
        const FT_Pos advance = face_->glyph->advance.x;
        g.advance = static_cast<int>(std::clamp<FT_Pos>((advance + 32) >> 6, 0, 0x3FFFFFFF)) + boldExtraAdvance_;
        g.blank = face_->glyph->outline.n_points == 0;
    } else {
        g.blank = true;
    }
    Glyph& stored = glyphs_.emplace(c, std::move(g)).first->second;
    if (c < ascii_.size()) ascii_[c] = &stored;
    return stored;
}

void SizedFace::RenderCoverage(Glyph& glyph) {
    glyph.rendered = true;
    if (coverageBytes_ > kCoverageBudgetBytes) {
        for (auto& [c, g] : glyphs_) {
            g.coverage = {};
            g.rendered = false;
        }
        glyph.rendered = true;
        coverageBytes_ = 0;
    }
    if (!LoadStyledOutline(glyph.index)) return;
    FT_GlyphSlot slot = face_->glyph;
    if (FT_Render_Glyph(slot, style_.mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0) return;
    const FT_Bitmap& bm = slot->bitmap;
    if (bm.pitch < 0 || bm.rows == 0 || bm.width == 0 || !bm.buffer) return;
    // A small em can't make a large glyph; anything bigger is a broken font.
    if (bm.width > 4096 || bm.rows > 4096) return;
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.width = static_cast<int>(bm.width);
    glyph.height = static_cast<int>(bm.rows);
    glyph.coverage.resize(static_cast<std::size_t>(glyph.width) * static_cast<std::size_t>(glyph.height));
    for (int y = 0; y < glyph.height; ++y) {
        const unsigned char* src = bm.buffer + static_cast<std::size_t>(y) * static_cast<std::size_t>(bm.pitch);
        std::uint8_t* dst = glyph.coverage.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(glyph.width);
        if (bm.pixel_mode == FT_PIXEL_MODE_MONO) {
            for (int x = 0; x < glyph.width; ++x) dst[x] = (src[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
        } else if (bm.pixel_mode == FT_PIXEL_MODE_GRAY) {
            std::copy(src, src + glyph.width, dst);
        } else {
            glyph.coverage.clear();
            glyph.width = glyph.height = 0;
            return;
        }
    }
    coverageBytes_ += glyph.coverage.size();
}

void SizedFace::DrawCoverage(const Glyph& glyph, Surface& surface, const Region& clip, std::int64_t penX,
                             std::int64_t baseline, Pixel color) const {
    const std::int64_t gx = penX + glyph.left;
    const std::int64_t gy = baseline - glyph.top;
    for (const RECT& r : clip.Rects()) {
        const std::int64_t x0 = std::max<std::int64_t>({gx, r.left, 0});
        const std::int64_t x1 = std::min<std::int64_t>({gx + glyph.width, r.right, surface.Width()});
        const std::int64_t y0 = std::max<std::int64_t>({gy, r.top, 0});
        const std::int64_t y1 = std::min<std::int64_t>({gy + glyph.height, r.bottom, surface.Height()});
        if (x0 >= x1 || y0 >= y1) continue;
        for (std::int64_t y = y0; y < y1; ++y) {
            const std::uint8_t* cov = glyph.coverage.data() + (y - gy) * glyph.width + (x0 - gx);
            Pixel* row = surface.Row(static_cast<int>(y));
            for (std::int64_t x = x0; x < x1; ++x, ++cov) {
                if (*cov) row[x] = Blend(row[x], color, *cov);
            }
        }
    }
}

void SizedFace::DrawOutline(const Glyph& glyph, Surface& surface, const Region& clip, std::int64_t penX,
                            std::int64_t baseline, Pixel color) {
    if (!LoadStyledOutline(glyph.index)) return;
    FT_Outline& outline = face_->glyph->outline;
    FT_BBox box;
    FT_Outline_Get_CBox(&outline, &box);
    // The outline's box in surface pixels (y down).
    const std::int64_t left = penX + (box.xMin >> 6);
    const std::int64_t right = penX + ((box.xMax + 63) >> 6);
    const std::int64_t top = baseline - ((box.yMax + 63) >> 6);
    const std::int64_t bottom = baseline - (box.yMin >> 6);

    for (const RECT& clipRect : clip.Rects()) {
        const RECT r = RectIntersection(clipRect, RECT{0, 0, surface.Width(), surface.Height()});
        if (RectIsEmpty(r) || right <= r.left || left >= r.right || bottom <= r.top || top >= r.bottom) continue;
        // Rasterise relative to the rectangle's bottom-left corner, which keeps coordinates small
        // however far away the pen is.
        const std::int64_t dx = penX - r.left;
        const std::int64_t dy = static_cast<std::int64_t>(r.bottom) - baseline;
        if (dx < -kRasterLimitPixels || dx > kRasterLimitPixels || dy < -kRasterLimitPixels ||
            dy > kRasterLimitPixels) {
            continue;
        }
        FT_Outline_Translate(&outline, static_cast<FT_Pos>(dx * 64), static_cast<FT_Pos>(dy * 64));
        SpanTarget target{&surface, r, color, style_.mono};
        FT_Raster_Params params{};
        params.source = &outline;
        params.flags = FT_RASTER_FLAG_AA | FT_RASTER_FLAG_DIRECT | FT_RASTER_FLAG_CLIP;
        params.gray_spans = BlendSpans;
        params.user = &target;
        params.clip_box = FT_BBox{0, 0, r.right - r.left, r.bottom - r.top};
        // A refused outline (too large for the rasteriser) just stays undrawn.
        const bool huge = right - left > kCutOutlinesBeyondPixels || bottom - top > kCutOutlinesBeyondPixels;
        if (!huge || !RenderCutOutline(library_->Get(), outline, params, r.right - r.left, r.bottom - r.top)) {
            FT_Outline_Render(library_->Get(), &outline, &params);
        }
        FT_Outline_Translate(&outline, static_cast<FT_Pos>(-dx * 64), static_cast<FT_Pos>(-dy * 64));
    }
}

int SizedFace::Draw(char32_t c, Surface& surface, const Region& clip, const RECT& clipBounds, std::int64_t penX,
                    std::int64_t baseline, Pixel color) {
    Glyph& glyph = GlyphFor(c);
    if (glyph.blank) return glyph.advance;
    if (cacheCoverage_) {
        if (!glyph.rendered) RenderCoverage(glyph);
        DrawCoverage(glyph, surface, clip, penX, baseline, color);
    } else {
        // Cheap reject before loading the outline: the glyph can't reach further right than its
        // advance plus the em (covers bearings, emboldening and slant).
        const std::int64_t reach = static_cast<std::int64_t>(glyph.advance) + 2 * style_.pixelsX + inkLeft_;
        if (penX - inkLeft_ < clipBounds.right && penX + reach > clipBounds.left) {
            DrawOutline(glyph, surface, clip, penX, baseline, color);
        }
    }
    return glyph.advance;
}

}  // namespace platform::fonts
