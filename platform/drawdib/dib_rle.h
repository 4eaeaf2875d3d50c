// Run-length encoded DIBs (RLE8 and RLE4), decoded for one draw.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace platform::drawdib {

// The palette indices of just the source pixels a draw samples. The stream is decoded from its
// start, as it must be, but only the pixels in the sampled columns and rows are kept, so memory
// follows the visible area rather than the image size. Pixels the stream never sets (skipped by
// a delta, or left when a line or the bitmap ends early) stay undefined.
class RleSamples {
public:
    static constexpr std::int16_t kUndefined = -1;

    // `columns` and `rows` are the sampled source columns and stored rows (row 0 is the bottom
    // row), each sorted ascending without repeats.
    RleSamples(std::vector<std::int32_t> columns, std::vector<std::int32_t> rows);

    // Decodes `stream` of a `width` × `height` image. Runs past the end of a row are cut there;
    // a stream that runs past the last row, or stops short, ends the decoding.
    void Decode(std::span<const std::uint8_t> stream, bool fourBit, std::int32_t width, std::int32_t height);

    std::int16_t At(std::size_t columnSlot, std::size_t rowSlot) const {
        return cells_[rowSlot * columns_.size() + columnSlot];
    }
    // The cells of one sampled row, indexed by column slot.
    const std::int16_t* Row(std::size_t rowSlot) const { return cells_.data() + rowSlot * columns_.size(); }

private:
    class RowCursor;

    std::vector<std::int32_t> columns_;
    std::vector<std::int32_t> rows_;
    std::vector<std::int16_t> cells_;
};

}  // namespace platform::drawdib
