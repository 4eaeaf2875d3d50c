// A set of pixels as a list of disjoint rectangles: update regions and clip regions.
#pragma once

#include <vector>

#include "platform/base/windef.h"

namespace platform {

bool RectIsEmpty(const RECT& r);
RECT RectIntersection(const RECT& a, const RECT& b);
RECT RectOffset(const RECT& r, int dx, int dy);
bool RectContains(const RECT& r, int x, int y);

class Region {
public:
    Region() = default;
    explicit Region(const RECT& r) { Add(r); }

    bool IsEmpty() const { return rects_.empty(); }
    const std::vector<RECT>& Rects() const { return rects_; }
    RECT Bounds() const;
    bool Contains(int x, int y) const;

    void Clear() { rects_.clear(); }
    void Add(const RECT& r);
    void Subtract(const RECT& r);
    void IntersectWith(const RECT& r);
    void IntersectWith(const Region& other);
    void Offset(int dx, int dy);
    void Add(const Region& other) {
        for (const RECT& r : other.rects_) Add(r);
    }

private:
    std::vector<RECT> rects_;
};

}  // namespace platform
