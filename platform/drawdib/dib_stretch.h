// Nearest-neighbour stretching, one axis at a time, as the colour-on-colour stretch of the
// drawing engine does it: each destination pixel takes the source pixel under its centre.
#pragma once

#include <cstdint>
#include <vector>

namespace platform::drawdib {

// Offset into a source span of `sourceLength` pixels under the centre of pixel `offset` of a
// destination span of `destinationLength` pixels: floor((offset + 0.5) * source / destination),
// in exact integer arithmetic. All lengths are positive and below 2^31, so the products fit.
inline std::int64_t SourceOffsetUnder(std::int64_t offset, std::int64_t sourceLength, std::int64_t destinationLength) {
    const std::int64_t s = ((2 * offset + 1) * sourceLength) / (2 * destinationLength);
    return s < sourceLength ? s : sourceLength - 1;
}

// The source coordinate of each destination coordinate of the visible part of one axis, kept only
// where it falls inside the image. The mapping is monotonic, so those coordinates are one run.
struct AxisMap {
    std::int64_t first = 0;  // first destination coordinate that has a source pixel
    std::int64_t end = 0;    // one past the last
    std::vector<std::int32_t> source;  // source coordinate of destination first + i
    bool contiguous = false;           // source[i] == source[0] + i throughout

    bool Empty() const { return end <= first; }
    std::int32_t At(std::int64_t destination) const { return source[static_cast<std::size_t>(destination - first)]; }
};

// Maps the visible destination coordinates [visibleBegin, visibleEnd) of a destination span
// [destinationStart, destinationStart + destinationLength) onto the source span
// [sourceStart, sourceStart + sourceLength) of an image `imageLength` pixels long.
AxisMap MapAxis(std::int64_t destinationStart, std::int64_t destinationLength, std::int64_t visibleBegin,
                std::int64_t visibleEnd, std::int64_t sourceStart, std::int64_t sourceLength, std::int64_t imageLength);

}  // namespace platform::drawdib
