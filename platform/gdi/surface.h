// A pixel surface: what a top-level window or a memory bitmap draws into.
// Pixels are 32-bit 0x00RRGGBB, rows top-down, no padding.
#pragma once

#include <cstdint>
#include <vector>

namespace platform {

using Pixel = std::uint32_t;

constexpr Pixel PixelFromRgb(int r, int g, int b) {
    return static_cast<Pixel>(((r & 0xFF) << 16) | ((g & 0xFF) << 8) | (b & 0xFF));
}
constexpr int PixelRed(Pixel p) { return static_cast<int>((p >> 16) & 0xFF); }
constexpr int PixelGreen(Pixel p) { return static_cast<int>((p >> 8) & 0xFF); }
constexpr int PixelBlue(Pixel p) { return static_cast<int>(p & 0xFF); }

class Surface {
public:
    Surface() = default;
    Surface(int width, int height, Pixel fill = 0) { Resize(width, height, fill); }

    void Resize(int width, int height, Pixel fill = 0) {
        width_ = width > 0 ? width : 0;
        height_ = height > 0 ? height : 0;
        pixels_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), fill);
    }

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    Pixel* Row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_); }
    const Pixel* Row(int y) const {
        return pixels_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
    }
    Pixel At(int x, int y) const { return Row(y)[x]; }
    void Set(int x, int y, Pixel p) { Row(y)[x] = p; }

    Pixel* Data() { return pixels_.data(); }
    const Pixel* Data() const { return pixels_.data(); }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<Pixel> pixels_;
};

}  // namespace platform
