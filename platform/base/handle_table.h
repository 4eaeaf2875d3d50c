// A table of layer objects addressed by opaque handles.
//
// Handle values carry the table's tag in their top byte and a counter below it, so a handle is
// never reused while the program runs and a handle of one kind is never mistaken for another.
#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>

namespace platform {

template <class T>
class HandleTable {
public:
    explicit HandleTable(std::uint32_t tag) : tag_(tag) {}

    std::uintptr_t Add(std::unique_ptr<T> item) {
        std::uintptr_t handle = (static_cast<std::uintptr_t>(tag_) << 24) | (next_++ & 0xFFFFFF);
        items_[handle] = std::move(item);
        return handle;
    }

    T* Find(std::uintptr_t handle) const {
        auto it = items_.find(handle);
        return it == items_.end() ? nullptr : it->second.get();
    }

    bool Remove(std::uintptr_t handle) { return items_.erase(handle) != 0; }

    std::size_t Size() const { return items_.size(); }

    template <class F>
    void ForEach(F&& f) {
        for (auto& [handle, item] : items_) f(handle, *item);
    }

private:
    std::uint32_t tag_;
    std::uintptr_t next_ = 1;
    std::unordered_map<std::uintptr_t, std::unique_ptr<T>> items_;
};

template <class H>
H HandleCast(std::uintptr_t value) {
    return reinterpret_cast<H>(value);
}

template <class H>
std::uintptr_t HandleValue(H handle) {
    return reinterpret_cast<std::uintptr_t>(handle);
}

}  // namespace platform
