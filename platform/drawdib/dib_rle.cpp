#include "platform/drawdib/dib_rle.h"

#include <algorithm>

namespace platform::drawdib {

// Where the decoder stands: the current pixel, and which sampled row and column it is at.
class RleSamples::RowCursor {
public:
    RowCursor(RleSamples& samples, std::int32_t width) : samples_(samples), width_(width) { EnterRow(); }

    std::int64_t Row() const { return y_; }

    void NextLine() {
        ++y_;
        x_ = 0;
        EnterRow();
    }

    void Move(std::int64_t dx, std::int64_t dy) {
        x_ += dx;
        if (dy != 0) {
            y_ += dy;
            EnterRow();
        }
        SeekColumn();
    }

    // Writes `count` pixels from the current one on; `indexAt(i)` gives the palette index of the
    // i-th. Only the sampled columns are asked for theirs.
    template <class IndexAt>
    void Put(std::int64_t count, IndexAt indexAt) {
        if (rowSlot_ >= 0) {
            const std::int64_t stop = std::min<std::int64_t>(x_ + count, width_);
            const auto& columns = samples_.columns_;
            std::int16_t* row = samples_.cells_.data() + static_cast<std::size_t>(rowSlot_) * columns.size();
            while (column_ < columns.size() && columns[column_] < stop) {
                row[column_] = static_cast<std::int16_t>(indexAt(columns[column_] - x_));
                ++column_;
            }
        }
        x_ += count;
    }

    // Writes `count` pixels of one palette index from the current one on. The sampled columns
    // under the run are found by search and filled at once: a long run costs no more than its
    // sampled pixels.
    void Fill(std::int64_t count, std::int16_t index) {
        if (rowSlot_ >= 0) {
            const std::int64_t stop = std::min<std::int64_t>(x_ + count, width_);
            const auto& columns = samples_.columns_;
            if (column_ < columns.size() && columns[column_] < stop) {
                const auto end = std::lower_bound(columns.begin() + static_cast<std::ptrdiff_t>(column_), columns.end(), stop);
                const std::size_t endColumn = static_cast<std::size_t>(end - columns.begin());
                std::int16_t* row = samples_.cells_.data() + static_cast<std::size_t>(rowSlot_) * columns.size();
                std::fill(row + column_, row + endColumn, index);
                column_ = endColumn;
            }
        }
        x_ += count;
    }

private:
    void EnterRow() {
        const auto& rows = samples_.rows_;
        auto it = std::lower_bound(rows.begin(), rows.end(), y_);
        rowSlot_ = it != rows.end() && *it == y_ ? it - rows.begin() : -1;
        column_ = 0;
        SeekColumn();
    }

    void SeekColumn() {
        if (rowSlot_ < 0) return;
        const auto& columns = samples_.columns_;
        while (column_ < columns.size() && columns[column_] < x_) ++column_;
    }

    RleSamples& samples_;
    std::int32_t width_;
    std::int64_t x_ = 0;
    std::int64_t y_ = 0;
    std::ptrdiff_t rowSlot_ = -1;
    std::size_t column_ = 0;
};

RleSamples::RleSamples(std::vector<std::int32_t> columns, std::vector<std::int32_t> rows)
    : columns_(std::move(columns)), rows_(std::move(rows)), cells_(columns_.size() * rows_.size(), kUndefined) {}

void RleSamples::Decode(std::span<const std::uint8_t> stream, bool fourBit, std::int32_t width, std::int32_t height) {
    if (columns_.empty() || rows_.empty()) return;
    RowCursor cursor(*this, width);
    std::size_t at = 0;
    auto has = [&](std::size_t bytes) { return bytes <= stream.size() - at; };

    // Once past the highest sampled row nothing further can show.
    const std::int64_t lastRow = std::min<std::int64_t>(height - 1, rows_.back());
    while (cursor.Row() <= lastRow && has(2)) {
        const std::uint8_t count = stream[at];
        const std::uint8_t value = stream[at + 1];
        at += 2;
        if (count > 0) {
            if (fourBit) {
                const int high = value >> 4;
                const int low = value & 0x0F;
                cursor.Put(count, [&](std::int64_t i) { return (i & 1) ? low : high; });
            } else {
                cursor.Fill(count, value);
            }
            continue;
        }
        switch (value) {
            case 0:  // end of line
                cursor.NextLine();
                break;
            case 1:  // end of bitmap
                return;
            case 2: {  // delta: move right and up
                if (!has(2)) return;
                cursor.Move(stream[at], stream[at + 1]);
                at += 2;
                break;
            }
            default: {  // absolute run of `value` pixels, padded to a whole word
                const std::size_t bytes = fourBit ? (value + 1u) / 2 : value;
                if (!has(bytes)) return;
                const std::uint8_t* pixels = stream.data() + at;
                if (fourBit) {
                    cursor.Put(value, [&](std::int64_t i) {
                        const std::uint8_t b = pixels[i >> 1];
                        return (i & 1) ? (b & 0x0F) : (b >> 4);
                    });
                } else {
                    cursor.Put(value, [&](std::int64_t i) { return pixels[i]; });
                }
                at += bytes + (bytes & 1);
                if (at > stream.size()) return;
                break;
            }
        }
    }
}

}  // namespace platform::drawdib
