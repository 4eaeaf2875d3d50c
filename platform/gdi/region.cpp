#include "platform/gdi/region.h"

#include <algorithm>

namespace platform {

bool RectIsEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

RECT RectIntersection(const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
    if (RectIsEmpty(r)) return RECT{};
    return r;
}

RECT RectOffset(const RECT& r, int dx, int dy) { return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }

bool RectContains(const RECT& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

RECT Region::Bounds() const {
    if (rects_.empty()) return RECT{};
    RECT b = rects_.front();
    for (const RECT& r : rects_) {
        b.left = std::min(b.left, r.left);
        b.top = std::min(b.top, r.top);
        b.right = std::max(b.right, r.right);
        b.bottom = std::max(b.bottom, r.bottom);
    }
    return b;
}

bool Region::Contains(int x, int y) const {
    return std::any_of(rects_.begin(), rects_.end(), [&](const RECT& r) { return RectContains(r, x, y); });
}

namespace {

// Appends the parts of `r` outside `hole` (at most four rectangles).
void AppendDifference(const RECT& r, const RECT& hole, std::vector<RECT>& out) {
    const RECT cut = RectIntersection(r, hole);
    if (RectIsEmpty(cut)) {
        out.push_back(r);
        return;
    }
    if (r.top < cut.top) out.push_back(RECT{r.left, r.top, r.right, cut.top});
    if (cut.bottom < r.bottom) out.push_back(RECT{r.left, cut.bottom, r.right, r.bottom});
    if (r.left < cut.left) out.push_back(RECT{r.left, cut.top, cut.left, cut.bottom});
    if (cut.right < r.right) out.push_back(RECT{cut.right, cut.top, r.right, cut.bottom});
}

}  // namespace

void Region::Add(const RECT& r) {
    if (RectIsEmpty(r)) return;
    // Rectangles covered by the new one are dropped; the new one is cut by the rest, so the
    // list stays disjoint and small for the usual case of whole-window invalidation.
    std::vector<RECT> kept;
    kept.reserve(rects_.size());
    for (const RECT& old : rects_) {
        if (old.left >= r.left && old.top >= r.top && old.right <= r.right && old.bottom <= r.bottom) continue;
        kept.push_back(old);
    }
    std::vector<RECT> pieces{r};
    for (const RECT& old : kept) {
        std::vector<RECT> next;
        for (const RECT& p : pieces) AppendDifference(p, old, next);
        pieces.swap(next);
        if (pieces.empty()) break;
    }
    rects_.swap(kept);
    rects_.insert(rects_.end(), pieces.begin(), pieces.end());
}

void Region::Subtract(const RECT& r) {
    if (RectIsEmpty(r)) return;
    std::vector<RECT> out;
    out.reserve(rects_.size());
    for (const RECT& old : rects_) AppendDifference(old, r, out);
    rects_.swap(out);
}

void Region::IntersectWith(const RECT& r) {
    std::vector<RECT> out;
    for (const RECT& old : rects_) {
        RECT cut = RectIntersection(old, r);
        if (!RectIsEmpty(cut)) out.push_back(cut);
    }
    rects_.swap(out);
}

void Region::IntersectWith(const Region& other) {
    std::vector<RECT> out;
    for (const RECT& a : rects_) {
        for (const RECT& b : other.rects_) {
            RECT cut = RectIntersection(a, b);
            if (!RectIsEmpty(cut)) out.push_back(cut);
        }
    }
    rects_.swap(out);
}

void Region::Offset(int dx, int dy) {
    for (RECT& r : rects_) r = RectOffset(r, dx, dy);
}

}  // namespace platform
