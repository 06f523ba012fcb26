#pragma once
// The storage behind the library's lists: a heap block of trivially copyable
// items with an exact capacity, and the growth rule the lists share.

#include "runtime/Exceptions.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <type_traits>

namespace velbrin {

// The most items a list may hold: what a 32-bit address space could index.
inline constexpr std::int32_t MaxListSize = 134217727;

// The capacity a full list grows to: small lists by 4, then 8, then 16 at a time.
inline std::int32_t GrownCapacity(std::int32_t capacity) {
    std::int32_t delta = capacity > 8 ? 16 : capacity > 4 ? 8 : 4;
    return capacity + delta;
}

template <class T> class ItemBlock {
    static_assert(std::is_trivially_copyable_v<T>, "items are moved as bytes");

public:
    ItemBlock() = default;
    ItemBlock(const ItemBlock&) = delete;
    ItemBlock& operator=(const ItemBlock&) = delete;
    ~ItemBlock() { std::free(items_); }

    std::int32_t Capacity() const { return capacity_; }
    T* Items() { return items_; }
    const T* Items() const { return items_; }

    // Resizes the block to exactly `capacity` items, keeping the first ones.
    // Raises EOutOfMemory, leaving the block as it was, when no memory is left.
    void Resize(std::int32_t capacity) {
        if (capacity == 0) {
            std::free(items_);
            items_ = nullptr;
            capacity_ = 0;
            return;
        }
        void* resized = std::realloc(items_, static_cast<std::size_t>(capacity) * sizeof(T));
        if (resized == nullptr) {
            throw EOutOfMemory("Out of memory");
        }
        items_ = static_cast<T*>(resized);
        capacity_ = capacity;
    }

    // Moves items [index, count) one slot up, leaving slot `index` free.
    void OpenSlot(std::int32_t index, std::int32_t count) {
        std::memmove(items_ + index + 1, items_ + index,
                     static_cast<std::size_t>(count - index) * sizeof(T));
    }

    // Moves items (index, count) one slot down over slot `index`.
    void CloseSlot(std::int32_t index, std::int32_t count) {
        std::memmove(items_ + index, items_ + index + 1,
                     static_cast<std::size_t>(count - index - 1) * sizeof(T));
    }

private:
    T* items_ = nullptr;
    std::int32_t capacity_ = 0;
};

} // namespace velbrin
