#pragma once
// A table of platform objects addressed by opaque handle values. A value carries
// the slot index and the slot's generation, so a handle that was freed (or never
// issued) is recognised instead of reaching another object.

#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

template <class T> class HandleTable {
public:
    // `tag` keeps the handles of different tables apart (a file handle is never
    // a valid memory handle); it occupies the top bits of every value.
    explicit HandleTable(std::uint32_t tag) : tag_(tag) {}

    // Returns 0, and drops the object, when the table is full.
    std::uintptr_t Add(std::unique_ptr<T> object) {
        std::uint32_t index;
        if (!free_.empty()) {
            index = free_.back();
            free_.pop_back();
        } else if (slots_.size() < kIndexMask) {
            index = static_cast<std::uint32_t>(slots_.size());
            slots_.emplace_back();
        } else {
            return 0;
        }
        Slot& slot = slots_[index];
        slot.object = std::move(object);
        ++live_;
        return Encode(index, slot.generation);
    }

    T* Find(std::uintptr_t value) const {
        const Slot* slot = SlotOf(value);
        return slot ? slot->object.get() : nullptr;
    }

    // Frees the object; false when the handle is not live.
    bool Remove(std::uintptr_t value) {
        Slot* slot = const_cast<Slot*>(SlotOf(value));
        if (!slot) {
            return false;
        }
        slot->object.reset();
        slot->generation = (slot->generation + 1) & kGenerationMask;
        free_.push_back(static_cast<std::uint32_t>(slot - slots_.data()));
        --live_;
        return true;
    }

    std::size_t LiveCount() const { return live_; }

    template <class F> void ForEach(F&& visit) const {
        for (std::size_t i = 0; i < slots_.size(); ++i) {
            if (slots_[i].object) {
                visit(Encode(static_cast<std::uint32_t>(i), slots_[i].generation),
                      *slots_[i].object);
            }
        }
    }

private:
    struct Slot {
        std::unique_ptr<T> object;
        std::uint32_t generation = 1;
    };

    static constexpr unsigned kIndexBits = 16;
    static constexpr std::uint32_t kIndexMask = (1u << kIndexBits) - 1;
    static constexpr unsigned kGenerationBits = 11;
    static constexpr std::uint32_t kGenerationMask = (1u << kGenerationBits) - 1;
    static constexpr unsigned kTagShift = kIndexBits + kGenerationBits;

    // Values stay within 32 bits and never fall in 0..0xFFFF, the range that
    // Windows reads as an integer resource or atom; index + 1 keeps them non-zero.
    std::uintptr_t Encode(std::uint32_t index, std::uint32_t generation) const {
        return (static_cast<std::uintptr_t>(tag_) << kTagShift) |
               (static_cast<std::uintptr_t>(generation) << kIndexBits) | (index + 1);
    }

    const Slot* SlotOf(std::uintptr_t value) const {
        if ((value >> kTagShift) != tag_) {
            return nullptr;
        }
        std::uint32_t index = static_cast<std::uint32_t>(value & kIndexMask);
        std::uint32_t generation =
            static_cast<std::uint32_t>((value >> kIndexBits) & kGenerationMask);
        if (index == 0 || index > slots_.size()) {
            return nullptr;
        }
        const Slot& slot = slots_[index - 1];
        if (!slot.object || slot.generation != generation) {
            return nullptr;
        }
        return &slot;
    }

    std::uint32_t tag_;
    std::vector<Slot> slots_;
    std::vector<std::uint32_t> free_;
    std::size_t live_ = 0;
};

} // namespace platform
