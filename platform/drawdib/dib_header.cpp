// Header parsing for the DIB drawing service: the 12-byte core header and the info header with
// all its later extensions (52, 56, 108 and 124 bytes, or any other size from 40 up, whose first
// 40 bytes read the same way).
#include <bit>

#include "platform/drawdib/dib_format.h"
#include "platform/drawdib/dib_reader.h"
#include "platform/gdi/wingdi.h"

namespace platform::drawdib {

namespace {

constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kMasksInHeaderSize = 52;  // from here on the masks are header fields

// Uncompressed rows are padded to whole 32-bit words.
std::uint64_t RowBytes(const DibFormat& format) {
    return (static_cast<std::uint64_t>(format.width) * static_cast<std::uint64_t>(format.bitCount) + 31) / 32 * 4;
}

bool IsIndexedBitCount(int bits) { return bits == 1 || bits == 2 || bits == 4 || bits == 8; }

std::optional<ChannelMask> MakeChannelMask(std::uint32_t mask) {
    if (mask == 0) return std::nullopt;
    ChannelMask channel;
    channel.mask = mask;
    channel.shift = std::countr_zero(mask);
    channel.bits = std::popcount(mask);
    // Scattered bits have no meaning as one channel value.
    if ((mask >> channel.shift) != (channel.bits == 32 ? 0xFFFFFFFFu : (1u << channel.bits) - 1)) return std::nullopt;
    return channel;
}

std::optional<DibError> SetMasks(DibFormat& format, std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
    const std::uint32_t pixelBits = format.bitCount == 32 ? 0xFFFFFFFFu : (1u << format.bitCount) - 1;
    if ((red & green) || (red & blue) || (green & blue)) return DibError::BadChannelMasks;
    if ((red | green | blue) & ~pixelBits) return DibError::BadChannelMasks;
    auto r = MakeChannelMask(red);
    auto g = MakeChannelMask(green);
    auto b = MakeChannelMask(blue);
    if (!r || !g || !b) return DibError::BadChannelMasks;
    format.masks = {*r, *g, *b};
    format.defaultMasks = format.bitCount == 32 ? (red == 0xFF0000 && green == 0xFF00 && blue == 0xFF)
                                                : (red == 0x7C00 && green == 0x03E0 && blue == 0x001F);
    return std::nullopt;
}

// Reads `count` colour table entries of `entrySize` bytes (blue, green, red[, unused]).
std::optional<DibError> ReadPalette(DibFormat& format, const ByteReader& reader, std::uint64_t offset,
                                    std::uint32_t count, int entrySize) {
    if (!reader.Has(offset, static_cast<std::uint64_t>(count) * entrySize)) return DibError::PaletteOutsideBlock;
    for (std::uint32_t i = 0; i < count; ++i) {
        const auto entry = *reader.Slice(offset + static_cast<std::uint64_t>(i) * entrySize, 3);
        format.palette[i] = PixelFromRgb(entry[2], entry[1], entry[0]);
    }
    format.paletteCount = static_cast<int>(count);
    return std::nullopt;
}

DibHeaderResult ParseCoreHeader(const ByteReader& reader) {
    DibFormat format;
    format.headerSize = kCoreHeaderSize;
    format.width = *reader.U16(4);
    format.height = *reader.U16(6);
    if (*reader.U16(8) != 1) return DibError::BadPlanes;
    format.bitCount = *reader.U16(10);
    if (format.width == 0 || format.height == 0) return DibError::BadDimensions;

    if (IsIndexedBitCount(format.bitCount)) {
        format.layout = DibLayout::Indexed;
        const std::uint32_t count = 1u << format.bitCount;
        if (auto error = ReadPalette(format, reader, kCoreHeaderSize, count, 3)) return *error;
        format.packedBitsOffset = kCoreHeaderSize + static_cast<std::uint64_t>(count) * 3;
    } else if (format.bitCount == 24) {
        format.layout = DibLayout::Rgb24;
        format.packedBitsOffset = kCoreHeaderSize;
    } else {
        return DibError::UnsupportedBitCount;
    }
    format.rowBytes = RowBytes(format);
    return format;
}

DibHeaderResult ParseInfoHeader(const ByteReader& reader, std::uint32_t headerSize) {
    DibFormat format;
    format.headerSize = headerSize;
    format.width = *reader.I32(4);
    const std::int32_t storedHeight = *reader.I32(8);
    if (*reader.U16(12) != 1) return DibError::BadPlanes;
    format.bitCount = *reader.U16(14);
    const std::uint32_t compression = *reader.U32(16);
    format.compressedSize = *reader.U32(20);
    const std::uint32_t colorsUsed = *reader.U32(32);

    if (format.width <= 0 || storedHeight == 0 || storedHeight == INT32_MIN) return DibError::BadDimensions;
    format.topDown = storedHeight < 0;
    format.height = format.topDown ? -storedHeight : storedHeight;

    std::uint64_t tableOffset = headerSize;
    switch (compression) {
        case BI_RGB:
            if (IsIndexedBitCount(format.bitCount)) {
                format.layout = DibLayout::Indexed;
            } else if (format.bitCount == 24) {
                format.layout = DibLayout::Rgb24;
            } else if (format.bitCount == 16) {
                format.layout = DibLayout::Masked16;
                SetMasks(format, 0x7C00, 0x03E0, 0x001F);
            } else if (format.bitCount == 32) {
                format.layout = DibLayout::Masked32;
                SetMasks(format, 0xFF0000, 0x00FF00, 0x0000FF);
            } else {
                return DibError::UnsupportedBitCount;
            }
            break;
        case BI_BITFIELDS: {
            if (format.bitCount != 16 && format.bitCount != 32) return DibError::UnsupportedBitCount;
            format.layout = format.bitCount == 16 ? DibLayout::Masked16 : DibLayout::Masked32;
            // A plain info header is followed by the three masks; the later headers hold them.
            const std::uint64_t masksAt = headerSize >= kMasksInHeaderSize ? kInfoHeaderSize : headerSize;
            if (headerSize < kMasksInHeaderSize) tableOffset += 12;
            auto red = reader.U32(masksAt);
            auto green = reader.U32(masksAt + 4);
            auto blue = reader.U32(masksAt + 8);
            if (!red || !green || !blue) return DibError::HeaderOutsideBlock;
            if (auto error = SetMasks(format, *red, *green, *blue)) return *error;
            break;
        }
        case BI_RLE8:
            if (format.bitCount != 8) return DibError::UnsupportedBitCount;
            format.layout = DibLayout::Rle8;
            break;
        case BI_RLE4:
            if (format.bitCount != 4) return DibError::UnsupportedBitCount;
            format.layout = DibLayout::Rle4;
            break;
        default:
            // JPEG and PNG streams are for printers; alpha bit fields are not a desktop format.
            return DibError::UnsupportedCompression;
    }
    if (format.topDown && format.Compressed()) return DibError::TopDownCompressed;

    std::uint64_t tableEntries = colorsUsed;
    if (format.bitCount <= 8) {
        const std::uint32_t fullTable = 1u << format.bitCount;
        const std::uint32_t count = colorsUsed == 0 || colorsUsed > fullTable ? fullTable : colorsUsed;
        if (auto error = ReadPalette(format, reader, tableOffset, count, 4)) return *error;
        tableEntries = count;
    }
    format.packedBitsOffset = tableOffset + tableEntries * 4;
    if (!format.Compressed()) format.rowBytes = RowBytes(format);
    return format;
}

}  // namespace

DibHeaderResult ParseDibHeader(std::span<const std::uint8_t> block, const std::uint8_t* header) {
    const auto headerOffset = OffsetInBlock(block, header);
    if (!headerOffset) return DibError::HeaderOutsideBlock;
    const ByteReader reader(block.subspan(*headerOffset));
    const auto headerSize = reader.U32(0);
    if (!headerSize) return DibError::HeaderOutsideBlock;
    if (*headerSize == kCoreHeaderSize) {
        if (!reader.Has(0, kCoreHeaderSize)) return DibError::HeaderOutsideBlock;
        return ParseCoreHeader(reader);
    }
    if (*headerSize < kInfoHeaderSize) return DibError::UnknownHeaderSize;
    if (!reader.Has(0, *headerSize)) return DibError::HeaderOutsideBlock;
    return ParseInfoHeader(reader, *headerSize);
}

}  // namespace platform::drawdib
