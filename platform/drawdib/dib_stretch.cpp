#include "platform/drawdib/dib_stretch.h"

#include <algorithm>

namespace platform::drawdib {

AxisMap MapAxis(std::int64_t destinationStart, std::int64_t destinationLength, std::int64_t visibleBegin,
                std::int64_t visibleEnd, std::int64_t sourceStart, std::int64_t sourceLength, std::int64_t imageLength) {
    AxisMap map;
    visibleBegin = std::max(visibleBegin, destinationStart);
    visibleEnd = std::min(visibleEnd, destinationStart + destinationLength);
    if (visibleEnd <= visibleBegin || sourceLength <= 0 || destinationLength <= 0) return map;

    map.source.reserve(static_cast<std::size_t>(visibleEnd - visibleBegin));
    map.first = visibleEnd;
    for (std::int64_t d = visibleBegin; d < visibleEnd; ++d) {
        const std::int64_t s = sourceStart + SourceOffsetUnder(d - destinationStart, sourceLength, destinationLength);
        if (s < 0) continue;
        if (s >= imageLength) break;
        if (map.source.empty()) map.first = d;
        map.source.push_back(static_cast<std::int32_t>(s));
    }
    map.end = map.first + static_cast<std::int64_t>(map.source.size());
    map.contiguous = !map.source.empty() && map.source.back() - map.source.front() ==
                                                static_cast<std::int64_t>(map.source.size()) - 1;
    return map;
}

}  // namespace platform::drawdib
