// A page file in memory: the whole file except its 14-byte file header, so that block offset 0
// is the info header. The block comes from the global memory allocator, which lets the DIB
// drawing service find its bounds; it knows its own length and hands out nothing outside it.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>

#include "platform/files/winbase.h"
#include "platform/gdi/wingdi.h"

constexpr std::size_t kFileHeaderSize = 14;

class PageImage {
public:
    // A block of `length` bytes; throws std::bad_alloc when there is no memory for it.
    explicit PageImage(std::size_t length);
    ~PageImage();
    PageImage(const PageImage&) = delete;
    PageImage& operator=(const PageImage&) = delete;

    BYTE* Data() { return data_; }
    std::size_t Length() const { return length_; }

    // The info header's width and height, when the block holds them.
    std::optional<LONG> Width() const { return ReadLong(4); }
    std::optional<LONG> Height() const { return ReadLong(8); }

    LPBITMAPINFOHEADER Header() { return reinterpret_cast<LPBITMAPINFOHEADER>(data_); }
    // The pixels at file offset `bfOffBits`, or null when that offset lies outside the block.
    BYTE* Bits(DWORD bfOffBits);

private:
    std::optional<LONG> ReadLong(std::size_t offset) const;

    BYTE* data_ = nullptr;
    std::size_t length_ = 0;
};
