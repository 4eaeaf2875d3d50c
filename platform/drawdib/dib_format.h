// What a DIB header says about the pixels that follow it, once checked.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <variant>

#include "platform/gdi/surface.h"

namespace platform::drawdib {

enum class DibLayout {
    Indexed,   // 1, 2, 4 or 8 bits of palette index
    Rgb24,     // blue, green, red bytes
    Masked16,  // 16-bit words split by channel masks
    Masked32,  // 32-bit words split by channel masks
    Rle8,
    Rle4,
};

enum class DibError {
    HeaderOutsideBlock,
    UnknownHeaderSize,
    BadDimensions,
    BadPlanes,
    UnsupportedBitCount,
    UnsupportedCompression,
    BadChannelMasks,
    PaletteOutsideBlock,
    TopDownCompressed,
};

// One colour channel of a masked pixel: where it sits and how to widen it to 8 bits.
struct ChannelMask {
    std::uint32_t mask = 0;
    int shift = 0;  // position of the mask's lowest bit
    int bits = 0;   // width of the mask

    // The channel of `pixel` scaled to 0..255, rounding to the nearest: the largest value of any
    // width becomes 255 (5-bit 31 -> 255), and 5-bit 3 becomes 25, not the 24 that shifting or
    // repeating the bit pattern would give.
    int Expand(std::uint32_t pixel) const {
        const std::uint64_t v = (pixel & mask) >> shift;
        const std::uint64_t largest = bits == 32 ? 0xFFFFFFFFull : (1ull << bits) - 1;
        return static_cast<int>((v * 255 + largest / 2) / largest);
    }
};

struct DibFormat {
    std::uint32_t headerSize = 0;
    std::int32_t width = 0;   // > 0
    std::int32_t height = 0;  // > 0: the image's real height whatever the row order
    bool topDown = false;
    int bitCount = 0;
    DibLayout layout = DibLayout::Indexed;
    std::array<ChannelMask, 3> masks{};  // red, green, blue of the masked layouts
    bool defaultMasks = false;           // masks are the plain 8-8-8 or 5-5-5 ones

    // Palette entries as pixels; the entries past paletteCount are black, which is what an index
    // beyond the table draws.
    std::array<Pixel, 256> palette{};
    int paletteCount = 0;

    std::uint64_t rowBytes = 0;           // stride of uncompressed rows, padded to 4 bytes
    std::uint32_t compressedSize = 0;     // biSizeImage of RLE data; 0 when not given
    std::uint64_t packedBitsOffset = 0;   // where the bits of a packed DIB start, from the header

    bool Compressed() const { return layout == DibLayout::Rle8 || layout == DibLayout::Rle4; }
};

using DibHeaderResult = std::variant<DibFormat, DibError>;

// Reads and checks the header at `header`, which must lie in `block`, together with its bit
// masks and colour table. Nothing outside `block` is read.
DibHeaderResult ParseDibHeader(std::span<const std::uint8_t> block, const std::uint8_t* header);

}  // namespace platform::drawdib
