// Bounds-checked little-endian reads from a DIB's memory block.
//
// The program hands the drawing service bare pointers into a block it read from a file, so every
// read goes through here: a field that would lie outside the block reads as "absent", never as
// whatever memory follows the block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace platform::drawdib {

// Offset of `p` inside `block`, or nothing when `p` does not point into it. Compares addresses as
// integers: relational comparison of pointers into different objects is not defined.
inline std::optional<std::size_t> OffsetInBlock(std::span<const std::uint8_t> block, const void* p) {
    const auto begin = reinterpret_cast<std::uintptr_t>(block.data());
    const auto address = reinterpret_cast<std::uintptr_t>(p);
    if (block.empty() || address < begin || address - begin >= block.size()) return std::nullopt;
    return static_cast<std::size_t>(address - begin);
}

class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t Size() const { return bytes_.size(); }
    std::span<const std::uint8_t> Bytes() const { return bytes_; }

    bool Has(std::uint64_t offset, std::uint64_t length) const {
        return offset <= bytes_.size() && length <= bytes_.size() - offset;
    }

    std::optional<std::uint8_t> U8(std::uint64_t offset) const {
        if (!Has(offset, 1)) return std::nullopt;
        return bytes_[offset];
    }
    std::optional<std::uint16_t> U16(std::uint64_t offset) const {
        if (!Has(offset, 2)) return std::nullopt;
        return static_cast<std::uint16_t>(bytes_[offset] | (bytes_[offset + 1] << 8));
    }
    std::optional<std::uint32_t> U32(std::uint64_t offset) const {
        if (!Has(offset, 4)) return std::nullopt;
        return static_cast<std::uint32_t>(bytes_[offset]) | (static_cast<std::uint32_t>(bytes_[offset + 1]) << 8) |
               (static_cast<std::uint32_t>(bytes_[offset + 2]) << 16) |
               (static_cast<std::uint32_t>(bytes_[offset + 3]) << 24);
    }
    std::optional<std::int32_t> I32(std::uint64_t offset) const {
        auto v = U32(offset);
        if (!v) return std::nullopt;
        return static_cast<std::int32_t>(*v);
    }
    std::optional<std::span<const std::uint8_t>> Slice(std::uint64_t offset, std::uint64_t length) const {
        if (!Has(offset, length)) return std::nullopt;
        return bytes_.subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(length));
    }

private:
    std::span<const std::uint8_t> bytes_;
};

}  // namespace platform::drawdib
