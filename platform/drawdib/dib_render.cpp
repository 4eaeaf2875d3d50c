// Drawing a DIB: placing the stretched source on the surface, then sampling only the pixels that
// are visible. Uncompressed rows are read in place; RLE streams go through RleSamples.
#include "platform/drawdib/dib_render.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <limits>
#include <optional>
#include <type_traits>

#include "platform/drawdib/dib_reader.h"
#include "platform/drawdib/dib_rle.h"
#include "platform/drawdib/dib_stretch.h"

namespace platform::drawdib {

namespace {

// The visible part of a draw and where its pixels come from. Rows map to picture rows, counted
// from the top of the upright picture whatever the storage order.
struct Placement {
    Region visible;
    AxisMap columns;
    AxisMap rows;
};

LONG ClampToLong(std::int64_t v) {
    return static_cast<LONG>(std::clamp<std::int64_t>(v, std::numeric_limits<LONG>::min(), std::numeric_limits<LONG>::max()));
}

std::optional<Placement> Place(const DibFormat& format, std::int64_t xSrc, std::int64_t ySrc, std::int64_t dxSrc,
                               std::int64_t dySrc, const Surface& target, const Region& clip, std::int64_t xDst,
                               std::int64_t yDst, std::int64_t dxDst, std::int64_t dyDst) {
    Placement placement;
    placement.visible = clip;
    placement.visible.IntersectWith(RECT{0, 0, target.Width(), target.Height()});
    placement.visible.IntersectWith(
        RECT{ClampToLong(xDst), ClampToLong(yDst), ClampToLong(xDst + dxDst), ClampToLong(yDst + dyDst)});
    if (placement.visible.IsEmpty()) return std::nullopt;

    const RECT bounds = placement.visible.Bounds();
    // A bottom-up DIB counts ySrc from its bottom row: the rectangle's top picture row is
    // height - (ySrc + dySrc).
    const std::int64_t topRow = format.topDown ? ySrc : format.height - (ySrc + dySrc);
    placement.columns = MapAxis(xDst, dxDst, bounds.left, bounds.right, xSrc, dxSrc, format.width);
    placement.rows = MapAxis(yDst, dyDst, bounds.top, bounds.bottom, topRow, dySrc, format.height);
    if (placement.columns.Empty() || placement.rows.Empty()) return std::nullopt;
    placement.visible.IntersectWith(RECT{ClampToLong(placement.columns.first), ClampToLong(placement.rows.first),
                                         ClampToLong(placement.columns.end), ClampToLong(placement.rows.end)});
    if (placement.visible.IsEmpty()) return std::nullopt;
    return placement;
}

// Widens one masked channel to 8 bits, through a table for channels of up to 12 bits.
class ChannelExpander {
public:
    static constexpr int kTableBits = 12;

    explicit ChannelExpander(const ChannelMask& channel) : channel_(channel) {
        if (channel.bits <= kTableBits) {
            table_.resize(std::size_t{1} << channel.bits);
            for (std::uint32_t v = 0; v < table_.size(); ++v) table_[v] = static_cast<std::uint8_t>(channel.Expand(v << channel.shift));
        }
    }
    std::uint32_t operator()(std::uint32_t pixel) const {
        if (table_.empty()) return static_cast<std::uint32_t>(channel_.Expand(pixel));
        return table_[(pixel & channel_.mask) >> channel_.shift];
    }

private:
    ChannelMask channel_;
    std::vector<std::uint8_t> table_;
};

std::uint32_t Load16(const std::uint8_t* p) { return static_cast<std::uint32_t>(p[0] | (p[1] << 8)); }
std::uint32_t Load32(const std::uint8_t* p) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap32(v);
    return v;
}

template <int Bits>
struct IndexedSampler {
    const Pixel* palette;
    Pixel operator()(const std::uint8_t* row, std::int32_t x) const {
        if constexpr (Bits == 8) {
            return palette[row[x]];
        } else {
            constexpr int perByte = 8 / Bits;
            const int shift = 8 - Bits * (x % perByte + 1);
            return palette[(row[x / perByte] >> shift) & ((1 << Bits) - 1)];
        }
    }
};

struct Rgb24Sampler {
    Pixel operator()(const std::uint8_t* row, std::int32_t x) const {
        const std::uint8_t* p = row + 3 * static_cast<std::size_t>(x);
        return PixelFromRgb(p[2], p[1], p[0]);
    }
};

// A run of 24-bit pixels read in order: four pixels are three little-endian words, whose bytes
// blue, green, red already lie in the surface's 0x00RRGGBB order. Reads exactly the run's bytes.
void ConvertRgb24Run(const std::uint8_t* in, Pixel* out, std::size_t count) {
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4, in += 12) {
        const std::uint32_t w0 = Load32(in);
        const std::uint32_t w1 = Load32(in + 4);
        const std::uint32_t w2 = Load32(in + 8);
        out[i] = w0 & 0x00FFFFFF;
        out[i + 1] = (w0 >> 24) | ((w1 & 0xFFFF) << 8);
        out[i + 2] = (w1 >> 16) | ((w2 & 0xFF) << 16);
        out[i + 3] = w2 >> 8;
    }
    for (; i < count; ++i, in += 3) out[i] = PixelFromRgb(in[2], in[1], in[0]);
}

struct Plain32Sampler {
    Pixel operator()(const std::uint8_t* row, std::int32_t x) const {
        return Load32(row + 4 * static_cast<std::size_t>(x)) & 0x00FFFFFF;
    }
};

template <int Bytes>
struct MaskedSampler {
    ChannelExpander red, green, blue;
    Pixel operator()(const std::uint8_t* row, std::int32_t x) const {
        const std::uint8_t* p = row + Bytes * static_cast<std::size_t>(x);
        const std::uint32_t v = Bytes == 2 ? Load16(p) : Load32(p);
        return (red(v) << 16) | (green(v) << 8) | blue(v);
    }
};

template <class Sampler>
void DrawUncompressed(const Placement& placement, const DibFormat& format, const std::uint8_t* bits, Surface& target,
                      const Sampler& sample) {
    for (const RECT& r : placement.visible.Rects()) {
        for (LONG y = r.top; y < r.bottom; ++y) {
            const std::int64_t pictureRow = placement.rows.At(y);
            const std::int64_t storedRow = format.topDown ? pictureRow : format.height - 1 - pictureRow;
            const std::uint8_t* row = bits + static_cast<std::size_t>(storedRow) * format.rowBytes;
            Pixel* out = target.Row(y);
            if (placement.columns.contiguous) {
                const std::int32_t base = placement.columns.At(r.left) - r.left;
                if constexpr (std::is_same_v<Sampler, Rgb24Sampler>) {
                    ConvertRgb24Run(row + 3 * static_cast<std::size_t>(base + r.left), out + r.left,
                                    static_cast<std::size_t>(r.right - r.left));
                } else {
                    for (LONG x = r.left; x < r.right; ++x) out[x] = sample(row, base + x);
                }
            } else {
                for (LONG x = r.left; x < r.right; ++x) out[x] = sample(row, placement.columns.At(x));
            }
        }
    }
}

bool DrawUncompressedFormat(const Placement& placement, const DibFormat& format, const std::uint8_t* bits,
                            Surface& target) {
    switch (format.layout) {
        case DibLayout::Indexed:
            switch (format.bitCount) {
                case 1: DrawUncompressed(placement, format, bits, target, IndexedSampler<1>{format.palette.data()}); return true;
                case 2: DrawUncompressed(placement, format, bits, target, IndexedSampler<2>{format.palette.data()}); return true;
                case 4: DrawUncompressed(placement, format, bits, target, IndexedSampler<4>{format.palette.data()}); return true;
                case 8: DrawUncompressed(placement, format, bits, target, IndexedSampler<8>{format.palette.data()}); return true;
                default: return false;
            }
        case DibLayout::Rgb24: DrawUncompressed(placement, format, bits, target, Rgb24Sampler{}); return true;
        case DibLayout::Masked16: {
            const MaskedSampler<2> sampler{ChannelExpander(format.masks[0]), ChannelExpander(format.masks[1]),
                                           ChannelExpander(format.masks[2])};
            DrawUncompressed(placement, format, bits, target, sampler);
            return true;
        }
        case DibLayout::Masked32: {
            if (format.defaultMasks) {
                DrawUncompressed(placement, format, bits, target, Plain32Sampler{});
                return true;
            }
            const MaskedSampler<4> sampler{ChannelExpander(format.masks[0]), ChannelExpander(format.masks[1]),
                                           ChannelExpander(format.masks[2])};
            DrawUncompressed(placement, format, bits, target, sampler);
            return true;
        }
        default: return false;
    }
}

// The distinct values of a coordinate table, ascending, and the slot of each entry among them.
struct SlotTable {
    std::vector<std::int32_t> values;
    std::vector<std::uint32_t> slots;
};

SlotTable MakeSlots(const std::vector<std::int32_t>& coordinates) {
    SlotTable table;
    table.values = coordinates;
    std::sort(table.values.begin(), table.values.end());
    table.values.erase(std::unique(table.values.begin(), table.values.end()), table.values.end());
    table.slots.reserve(coordinates.size());
    for (std::int32_t c : coordinates) {
        table.slots.push_back(static_cast<std::uint32_t>(
            std::lower_bound(table.values.begin(), table.values.end(), c) - table.values.begin()));
    }
    return table;
}

void DrawCompressed(const Placement& placement, const DibFormat& format, std::span<const std::uint8_t> stream,
                    Surface& target) {
    const SlotTable columns = MakeSlots(placement.columns.source);
    // RLE rows are stored bottom-up.
    std::vector<std::int32_t> storedRows;
    storedRows.reserve(placement.rows.source.size());
    for (std::int32_t pictureRow : placement.rows.source) storedRows.push_back(format.height - 1 - pictureRow);
    const SlotTable rows = MakeSlots(storedRows);

    RleSamples samples(columns.values, rows.values);
    samples.Decode(stream, format.layout == DibLayout::Rle4, format.width, format.height);

    const Pixel* palette = format.palette.data();
    for (const RECT& r : placement.visible.Rects()) {
        const std::uint32_t* columnSlots = columns.slots.data() + (r.left - placement.columns.first);
        const LONG count = r.right - r.left;
        for (LONG y = r.top; y < r.bottom; ++y) {
            const std::int16_t* cells = samples.Row(rows.slots[static_cast<std::size_t>(y - placement.rows.first)]);
            Pixel* out = target.Row(y) + r.left;
            if (placement.columns.contiguous) {
                // Distinct, consecutive source columns have consecutive slots.
                const std::int16_t* run = cells + columnSlots[0];
                for (LONG i = 0; i < count; ++i) {
                    if (run[i] != RleSamples::kUndefined) out[i] = palette[static_cast<std::size_t>(run[i])];
                }
            } else {
                for (LONG i = 0; i < count; ++i) {
                    const std::int16_t index = cells[columnSlots[i]];
                    if (index != RleSamples::kUndefined) out[i] = palette[static_cast<std::size_t>(index)];
                }
            }
        }
    }
}

}  // namespace

bool RenderParsedDib(const DibFormat& format, std::span<const std::uint8_t> block, std::size_t bitsOffset, int xSrc,
                     int ySrc, int dxSrc, int dySrc, Surface& target, const Region& clip, int xDst, int yDst,
                     int dxDst, int dyDst) {
    if (bitsOffset >= block.size()) return false;
    const std::uint64_t available = block.size() - bitsOffset;
    std::int64_t sourceHeight = dySrc;
    // A top-down DIB's stored height is negative; passed through unchanged it still means its rows.
    if (format.topDown && sourceHeight < 0) sourceHeight = -sourceHeight;
    if (dxSrc <= 0 || sourceHeight <= 0 || dxDst <= 0 || dyDst <= 0) return false;

    std::span<const std::uint8_t> stream;
    if (format.Compressed()) {
        const std::uint64_t size = format.compressedSize != 0 && format.compressedSize < available ? format.compressedSize : available;
        stream = block.subspan(bitsOffset, static_cast<std::size_t>(size));
    } else if (format.rowBytes == 0 || format.rowBytes > available / static_cast<std::uint64_t>(format.height)) {
        return false;
    }

    const auto placement = Place(format, xSrc, ySrc, dxSrc, sourceHeight, target, clip, xDst, yDst, dxDst, dyDst);
    if (!placement) return true;
    if (format.Compressed()) {
        DrawCompressed(*placement, format, stream, target);
        return true;
    }
    return DrawUncompressedFormat(*placement, format, block.data() + bitsOffset, target);
}

bool RenderDib(std::span<const std::uint8_t> block, const std::uint8_t* header, const std::uint8_t* bits, int xSrc,
               int ySrc, int dxSrc, int dySrc, Surface& target, const Region& clip, int xDst, int yDst, int dxDst,
               int dyDst) {
    const auto bitsOffset = OffsetInBlock(block, bits);
    if (!bitsOffset) return false;
    const DibHeaderResult parsed = ParseDibHeader(block, header);
    const auto* format = std::get_if<DibFormat>(&parsed);
    if (!format) return false;
    return RenderParsedDib(*format, block, *bitsOffset, xSrc, ySrc, dxSrc, dySrc, target, clip, xDst, yDst, dxDst, dyDst);
}

}  // namespace platform::drawdib
