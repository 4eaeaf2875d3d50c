// Draws the demo page: a white 480 x 640 page with black panel borders and empty balloon
// ovals, written as a 24-bit bottom-up BMP.
//
//   make_demo_page OUTPUT.BMP
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int kWidth = 480;
constexpr int kHeight = 640;

struct Canvas {
    std::vector<std::uint8_t> grey = std::vector<std::uint8_t>(kWidth * kHeight, 255);
    void Set(int x, int y) {
        if (x >= 0 && y >= 0 && x < kWidth && y < kHeight) grey[static_cast<std::size_t>(y) * kWidth + x] = 0;
    }
    void Box(int x0, int y0, int x1, int y1, int thickness) {
        for (int t = 0; t < thickness; ++t) {
            for (int x = x0; x <= x1; ++x) {
                Set(x, y0 + t);
                Set(x, y1 - t);
            }
            for (int y = y0; y <= y1; ++y) {
                Set(x0 + t, y);
                Set(x1 - t, y);
            }
        }
    }
    // An oval outline: the pixels whose distance from the ellipse's edge is under a pixel.
    void Oval(double cx, double cy, double rx, double ry) {
        for (int y = static_cast<int>(cy - ry - 2); y <= static_cast<int>(cy + ry + 2); ++y) {
            for (int x = static_cast<int>(cx - rx - 2); x <= static_cast<int>(cx + rx + 2); ++x) {
                const double dx = (x + 0.5 - cx) / rx;
                const double dy = (y + 0.5 - cy) / ry;
                const double d = std::sqrt(dx * dx + dy * dy);
                const double distance = std::fabs(d - 1.0) * std::min(rx, ry);
                if (distance < 1.0) Set(x, y);
            }
        }
    }
};

void PutLE(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.BMP\n", argv[0]);
        return 2;
    }
    Canvas c;
    // Three tiers of panels with gutters, as on a page of a comic.
    c.Box(16, 16, 463, 203, 3);
    c.Box(16, 216, 233, 423, 3);
    c.Box(246, 216, 463, 423, 3);
    c.Box(16, 436, 463, 623, 3);
    c.Oval(360, 80, 70, 45);
    c.Oval(110, 280, 62, 40);
    c.Oval(380, 300, 52, 58);
    c.Oval(150, 500, 90, 42);

    const std::uint32_t rowSize = (kWidth * 3 + 3) / 4 * 4;
    const std::uint32_t size = 54 + rowSize * kHeight;
    std::vector<std::uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    PutLE(out, size, 4);
    PutLE(out, 0, 4);
    PutLE(out, 54, 4);
    PutLE(out, 40, 4);
    PutLE(out, kWidth, 4);
    PutLE(out, kHeight, 4);
    PutLE(out, 1, 2);
    PutLE(out, 24, 2);
    for (int i = 0; i < 6; ++i) PutLE(out, 0, 4);
    for (int y = kHeight - 1; y >= 0; --y) {
        for (int x = 0; x < kWidth; ++x) {
            const std::uint8_t g = c.grey[static_cast<std::size_t>(y) * kWidth + x];
            out.push_back(g);
            out.push_back(g);
            out.push_back(g);
        }
        for (std::uint32_t p = kWidth * 3; p < rowSize; ++p) out.push_back(0);
    }
    std::FILE* f = std::fopen(argv[1], "wb");
    if (!f) {
        std::perror(argv[1]);
        return 1;
    }
    const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return (std::fclose(f) == 0 && ok) ? 0 : 1;
}
