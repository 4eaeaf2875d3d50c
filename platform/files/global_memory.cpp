#include <cstdlib>
#include <cstring>
#include <map>

#include "platform/files/winbase.h"

namespace {

// Live blocks by address, so that a pointer into one can be mapped back to its bounds.
std::map<std::uintptr_t, std::size_t>& Blocks() {
    static std::map<std::uintptr_t, std::size_t> blocks;
    return blocks;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes) {
    // A block of zero bytes still gets an address of its own.
    void* p = (flags & GMEM_ZEROINIT) ? std::calloc(bytes ? bytes : 1, 1) : std::malloc(bytes ? bytes : 1);
    if (!p) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    Blocks()[reinterpret_cast<std::uintptr_t>(p)] = bytes;
    return static_cast<HGLOBAL>(p);
}

HGLOBAL GlobalFree(HGLOBAL block) {
    if (!block) return nullptr;
    auto it = Blocks().find(reinterpret_cast<std::uintptr_t>(block));
    if (it == Blocks().end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return block;
    }
    Blocks().erase(it);
    std::free(block);
    return nullptr;
}

std::size_t GlobalSize(HGLOBAL block) {
    auto it = Blocks().find(reinterpret_cast<std::uintptr_t>(block));
    return it == Blocks().end() ? 0 : it->second;
}

namespace platform {

std::span<const std::uint8_t> FindMemoryBlock(const void* p) {
    const auto address = reinterpret_cast<std::uintptr_t>(p);
    auto& blocks = Blocks();
    auto it = blocks.upper_bound(address);
    if (it == blocks.begin()) return {};
    --it;
    if (address - it->first >= it->second) return {};
    return {reinterpret_cast<const std::uint8_t*>(it->first), it->second};
}

}  // namespace platform
