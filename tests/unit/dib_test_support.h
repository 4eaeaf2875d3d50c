// Helpers of the DIB drawing tests: hand-built DIBs, memory with guard pages, PNG references.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <png.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/drawdib/dib_render.h"
#include "platform/gdi/surface.h"
#include "platform/gdi/wingdi.h"

namespace dibtest {

using platform::Pixel;
using platform::Region;
using platform::Surface;

inline void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// A DIB as the drawing service takes it: header, masks, colour table, then the pixel bits.
struct DibRecipe {
    std::uint32_t headerSize = 40;
    std::int32_t width = 1;
    std::int32_t height = 1;
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 8;
    std::uint32_t compression = BI_RGB;
    std::uint32_t sizeImage = 0;
    std::uint32_t colorsUsed = 0;
    std::vector<std::uint32_t> masks;   // after a 40-byte header, inside a larger one
    std::vector<Pixel> palette;         // 0x00RRGGBB, written as blue, green, red, 0
    std::vector<std::uint8_t> bits;
};

struct Dib {
    std::vector<std::uint8_t> bytes;
    std::size_t bitsOffset = 0;
};

inline Dib BuildDib(const DibRecipe& recipe) {
    Dib dib;
    auto& out = dib.bytes;
    if (recipe.headerSize == 12) {
        Put32(out, 12);
        Put16(out, static_cast<std::uint32_t>(recipe.width));
        Put16(out, static_cast<std::uint32_t>(recipe.height));
        Put16(out, recipe.planes);
        Put16(out, recipe.bitCount);
        for (Pixel p : recipe.palette) {
            out.push_back(static_cast<std::uint8_t>(p));
            out.push_back(static_cast<std::uint8_t>(p >> 8));
            out.push_back(static_cast<std::uint8_t>(p >> 16));
        }
    } else {
        Put32(out, recipe.headerSize);
        Put32(out, static_cast<std::uint32_t>(recipe.width));
        Put32(out, static_cast<std::uint32_t>(recipe.height));
        Put16(out, recipe.planes);
        Put16(out, recipe.bitCount);
        Put32(out, recipe.compression);
        Put32(out, recipe.sizeImage);
        Put32(out, 2835);
        Put32(out, 2835);
        Put32(out, recipe.colorsUsed);
        Put32(out, 0);
        if (recipe.headerSize > 40) {
            for (std::uint32_t m : recipe.masks) Put32(out, m);
            out.resize(recipe.headerSize, 0);
        } else {
            for (std::uint32_t m : recipe.masks) Put32(out, m);
        }
        for (Pixel p : recipe.palette) Put32(out, p);
    }
    dib.bitsOffset = out.size();
    out.insert(out.end(), recipe.bits.begin(), recipe.bits.end());
    return dib;
}

struct Rect {
    int x, y, width, height;
};

// Draws `dib` onto a surface filled with `fill` and returns the surface and the result.
struct Drawn {
    bool ok;
    Surface surface;
};

inline Drawn DrawOnto(const std::vector<std::uint8_t>& bytes, std::size_t bitsOffset, int surfaceWidth,
                      int surfaceHeight, Pixel fill, Rect destination, Rect source,
                      std::optional<Region> clip = std::nullopt) {
    Drawn drawn{false, Surface(surfaceWidth, surfaceHeight, fill)};
    const Region area = clip ? *clip : Region(RECT{0, 0, surfaceWidth, surfaceHeight});
    const std::uint8_t* bits = bytes.data() + std::min(bitsOffset, bytes.size());
    drawn.ok = platform::drawdib::RenderDib(bytes, bytes.data(), bits, source.x, source.y, source.width, source.height,
                                            drawn.surface, area, destination.x, destination.y, destination.width,
                                            destination.height);
    return drawn;
}

// Draws `dib` at its own size at (0, 0).
inline Drawn DrawIdentity(const Dib& dib, int width, int height, Pixel fill = 0x123456) {
    return DrawOnto(dib.bytes, dib.bitsOffset, width, height, fill, {0, 0, width, height}, {0, 0, width, height});
}

inline std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Bytes placed against an inaccessible page, so that reading one byte past the end (or before
// the start) faults at once instead of going unnoticed.
class GuardedBytes {
public:
    enum class Guard { AfterEnd, BeforeStart };

    GuardedBytes(std::span<const std::uint8_t> bytes, Guard guard) {
        const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
        const std::size_t dataPages = (bytes.size() + page - 1) / page + 1;
        length_ = (dataPages + 2) * page;
        void* mapping = mmap(nullptr, length_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapping == MAP_FAILED) {
            mapping_ = nullptr;
            return;
        }
        mapping_ = static_cast<std::uint8_t*>(mapping);
        mprotect(mapping_, page, PROT_NONE);
        mprotect(mapping_ + length_ - page, page, PROT_NONE);
        std::uint8_t* start = guard == Guard::AfterEnd ? mapping_ + length_ - page - bytes.size() : mapping_ + page;
        if (!bytes.empty()) std::memcpy(start, bytes.data(), bytes.size());
        data_ = {start, bytes.size()};
    }
    ~GuardedBytes() {
        if (mapping_) munmap(mapping_, length_);
    }
    GuardedBytes(const GuardedBytes&) = delete;
    GuardedBytes& operator=(const GuardedBytes&) = delete;

    std::span<const std::uint8_t> Data() const { return data_; }

private:
    std::uint8_t* mapping_ = nullptr;
    std::size_t length_ = 0;
    std::span<const std::uint8_t> data_;
};

// A PNG reference picture as 8-bit RGBA rows; 16-bit channels are scaled to 8 bits, rounded.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
    std::uint8_t At(int x, int y, int channel) const {
        return rgba[(static_cast<std::size_t>(y) * width + x) * 4 + channel];
    }
};

inline std::optional<Picture> ReadPng(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return std::nullopt;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    Picture picture;
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(file);
        return std::nullopt;
    }
    png_init_io(png, file);
    png_read_info(png, info);
    png_set_expand(png);
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_read_update_info(png, info);
    picture.width = static_cast<int>(png_get_image_width(png, info));
    picture.height = static_cast<int>(png_get_image_height(png, info));
    picture.rgba.resize(static_cast<std::size_t>(picture.width) * picture.height * 4);
    for (int y = 0; y < picture.height; ++y) rows.push_back(picture.rgba.data() + static_cast<std::size_t>(y) * picture.width * 4);
    png_read_image(png, rows.data());
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    return picture;
}

}  // namespace dibtest
