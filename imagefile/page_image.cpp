#include "imagefile/page_image.h"

#include <new>

PageImage::PageImage(std::size_t length) : length_(length) {
    data_ = static_cast<BYTE*>(static_cast<void*>(GlobalAlloc(GMEM_FIXED, length)));
    if (!data_) throw std::bad_alloc();
}

PageImage::~PageImage() { GlobalFree(static_cast<HGLOBAL>(static_cast<void*>(data_))); }

std::optional<LONG> PageImage::ReadLong(std::size_t offset) const {
    if (length_ < offset + 4) return std::nullopt;
    const std::uint32_t v = static_cast<std::uint32_t>(data_[offset]) | (static_cast<std::uint32_t>(data_[offset + 1]) << 8) |
                            (static_cast<std::uint32_t>(data_[offset + 2]) << 16) |
                            (static_cast<std::uint32_t>(data_[offset + 3]) << 24);
    return static_cast<LONG>(v);
}

BYTE* PageImage::Bits(DWORD bfOffBits) {
    if (bfOffBits < kFileHeaderSize) return nullptr;
    const std::size_t offset = bfOffBits - kFileHeaderSize;
    if (offset >= length_) return nullptr;
    return data_ + offset;
}
