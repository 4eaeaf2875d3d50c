// Writes the program's icon as a PNG for the desktop's icon theme:
//   make_icon_png SIZE OUT.png
// 16 and 32 are the icon's own pictures; larger multiples of 32 repeat each pixel, so the
// picture stays as sharp as the one the window shows.
#include <png.h>

#include <csetjmp>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "res/icon_main.h"

namespace {

// The 16-colour VGA palette the icon's rows index, as the window system's icons use it.
constexpr std::array<std::uint32_t, 16> kVgaPalette = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

int PaletteIndex(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;  // '.': transparent
}

// RGBA rows of the picture, each source pixel repeated `scale` times in both directions.
std::vector<std::uint8_t> Render(std::span<const char* const> rows, int sourceSize, int scale) {
    const int size = sourceSize * scale;
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(size) * size * 4, 0);
    for (int y = 0; y < size; ++y) {
        const std::string_view row = rows[static_cast<std::size_t>(y / scale)];
        for (int x = 0; x < size; ++x) {
            const std::size_t sx = static_cast<std::size_t>(x / scale);
            const int index = sx < row.size() ? PaletteIndex(row[sx]) : -1;
            if (index < 0) continue;
            const std::uint32_t rgb = kVgaPalette[static_cast<std::size_t>(index)];
            std::uint8_t* p = &rgba[(static_cast<std::size_t>(y) * size + x) * 4];
            p[0] = static_cast<std::uint8_t>(rgb >> 16);
            p[1] = static_cast<std::uint8_t>(rgb >> 8);
            p[2] = static_cast<std::uint8_t>(rgb);
            p[3] = 0xFF;
        }
    }
    return rgba;
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

bool WritePng(const char* path, const std::vector<std::uint8_t>& rgba, int size) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "wb"));
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, static_cast<png_uint_32>(size), static_cast<png_uint_32>(size), 8, PNG_COLOR_TYPE_RGBA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < size; ++y)
        png_write_row(png, &rgba[static_cast<std::size_t>(y) * size * 4]);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fflush(file.get()) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_icon_png SIZE OUT.png (SIZE 16 or a multiple of 32)\n");
        return 2;
    }
    const int size = std::atoi(argv[1]);
    std::vector<std::uint8_t> rgba;
    if (size == 16) {
        rgba = Render(komalore_res::kMainIcon16, 16, 1);
    } else if (size >= 32 && size <= 1024 && size % 32 == 0) {
        rgba = Render(komalore_res::kMainIcon32, 32, size / 32);
    } else {
        std::fprintf(stderr, "make_icon_png: no picture for size %s\n", argv[1]);
        return 2;
    }
    if (!WritePng(argv[2], rgba, size)) {
        std::fprintf(stderr, "make_icon_png: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
