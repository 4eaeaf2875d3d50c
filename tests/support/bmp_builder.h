// Builds small BMP files in memory for the page tests, and reads the little-endian fields of
// the files the program writes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/gdi/surface.h"

namespace komalore_test {

inline void PutLe(std::string& bytes, std::size_t offset, std::uint32_t value, int width) {
    for (int i = 0; i < width; ++i) bytes[offset + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

inline std::uint32_t GetLe(const std::string& bytes, std::size_t offset, int width) {
    std::uint32_t value = 0;
    for (int i = 0; i < width && offset + static_cast<std::size_t>(i) < bytes.size(); ++i) {
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[offset + static_cast<std::size_t>(i)])) << (8 * i);
    }
    return value;
}

// A 24-bit bottom-up BMP whose pixel (x, y), y counted from the top, has colour(x, y).
inline std::string Bmp24(int width, int height, const std::function<platform::Pixel(int x, int y)>& colour) {
    const std::size_t rowSize = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
    std::string bytes(54 + rowSize * static_cast<std::size_t>(height), '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    PutLe(bytes, 2, static_cast<std::uint32_t>(bytes.size()), 4);
    PutLe(bytes, 10, 54, 4);
    PutLe(bytes, 14, 40, 4);
    PutLe(bytes, 18, static_cast<std::uint32_t>(width), 4);
    PutLe(bytes, 22, static_cast<std::uint32_t>(height), 4);
    PutLe(bytes, 26, 1, 2);
    PutLe(bytes, 28, 24, 2);
    for (int y = 0; y < height; ++y) {
        const std::size_t row = 54 + rowSize * static_cast<std::size_t>(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const platform::Pixel p = colour(x, y);
            const std::size_t at = row + static_cast<std::size_t>(x) * 3;
            bytes[at] = static_cast<char>(platform::PixelBlue(p));
            bytes[at + 1] = static_cast<char>(platform::PixelGreen(p));
            bytes[at + 2] = static_cast<char>(platform::PixelRed(p));
        }
    }
    return bytes;
}

inline std::string SolidBmp24(int width, int height, platform::Pixel colour) {
    return Bmp24(width, height, [colour](int, int) { return colour; });
}

// The colour of pixel (x, y), y from the top, of a 24-bit bottom-up BMP, as the program writes them.
inline platform::Pixel Bmp24PixelAt(const std::string& bytes, int x, int y) {
    const int width = static_cast<int>(GetLe(bytes, 18, 4));
    const int height = static_cast<int>(GetLe(bytes, 22, 4));
    const std::size_t rowSize = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
    const std::size_t at = GetLe(bytes, 10, 4) + rowSize * static_cast<std::size_t>(height - 1 - y) + static_cast<std::size_t>(x) * 3;
    if (at + 3 > bytes.size()) return 0xFFFFFFFF;
    return platform::PixelFromRgb(static_cast<unsigned char>(bytes[at + 2]), static_cast<unsigned char>(bytes[at + 1]),
                                  static_cast<unsigned char>(bytes[at]));
}

}  // namespace komalore_test
