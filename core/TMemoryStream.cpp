#include "TMemoryStream.h"

#include "runtime/Exceptions.h"
#include "runtime/Messages.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <limits>

namespace velbrin {

VELBRIN_DEFINE_CLASS(TCustomMemoryStream, TStream, "Classes")
VELBRIN_DEFINE_CLASS(TMemoryStream, TCustomMemoryStream, "Classes")

std::int32_t TCustomMemoryStream::Read(void* buffer, std::int32_t count) {
    if (position_ < 0 || count < 0 || size_ - position_ <= 0) {
        return 0;
    }
    std::int32_t copied = std::min(count, size_ - position_);
    std::memcpy(buffer, static_cast<const char*>(memory_) + position_,
                static_cast<std::size_t>(copied));
    position_ += copied;
    return copied;
}

std::int32_t TCustomMemoryStream::Seek(std::int32_t offset, TSeekOrigin origin) {
    // Positions wrap as 32-bit values do; they are never clamped.
    auto wrapped = [](std::int32_t base, std::int32_t delta) {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(base) +
                                         static_cast<std::uint32_t>(delta));
    };
    switch (origin) {
    case soFromBeginning:
        position_ = offset;
        break;
    case soFromCurrent:
        position_ = wrapped(position_, offset);
        break;
    case soFromEnd:
        position_ = wrapped(size_, offset);
        break;
    }
    return position_;
}

void TCustomMemoryStream::SetPointer(void* memory, std::int32_t size) {
    memory_ = memory;
    size_ = size;
}

TMemoryStream::~TMemoryStream() {
    Clear();
}

std::int32_t TMemoryStream::Write(const void* buffer, std::int32_t count) {
    std::int64_t end = std::int64_t{position_} + count;
    if (position_ < 0 || count < 0 || end <= 0 || end > std::numeric_limits<std::int32_t>::max()) {
        return 0;
    }
    if (end > size_) {
        if (end > capacity_) {
            SetCapacity(static_cast<std::int32_t>(end));
        }
        // Bytes skipped by writing past the end read as zeros, not as garbage.
        if (position_ > size_) {
            std::memset(static_cast<char*>(Memory()) + size_, 0,
                        static_cast<std::size_t>(position_ - size_));
        }
        size_ = static_cast<std::int32_t>(end);
    }
    std::memcpy(static_cast<char*>(Memory()) + position_, buffer, static_cast<std::size_t>(count));
    position_ = static_cast<std::int32_t>(end);
    return count;
}

void TMemoryStream::Clear() {
    SetCapacity(0);
    size_ = 0;
    position_ = 0;
}

void TMemoryStream::SetSize(std::int32_t size) {
    Clear();
    SetCapacity(size);
    size_ = size;
    if (size > 0) {
        std::memset(Memory(), 0, static_cast<std::size_t>(size));
    }
}

void TMemoryStream::SetCapacity(std::int32_t capacity) {
    void* memory = Realloc(capacity);
    SetPointer(memory, size_);
    capacity_ = capacity;
}

void* TMemoryStream::Realloc(std::int32_t& newCapacity) {
    auto outOfMemory = [] { return ResourceError<EStreamError>(SMemoryStreamError); };
    std::int64_t rounded =
        (std::int64_t{newCapacity} + (kGrowthStep - 1)) / kGrowthStep * kGrowthStep;
    if (newCapacity < 0 || rounded > std::numeric_limits<std::int32_t>::max()) {
        throw outOfMemory();
    }
    newCapacity = static_cast<std::int32_t>(rounded);
    void* memory = Memory();
    if (newCapacity == capacity_) {
        return memory;
    }
    HGLOBAL handle = memory ? GlobalHandle(memory) : nullptr;
    if (newCapacity == 0) {
        GlobalUnlock(handle);
        GlobalFree(handle);
        return nullptr;
    }
    if (handle == nullptr) {
        handle = GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(newCapacity));
    } else {
        // A locked block cannot move; the old block stays valid if this fails.
        GlobalUnlock(handle);
        HGLOBAL resized = GlobalReAlloc(handle, static_cast<SIZE_T>(newCapacity), GMEM_MOVEABLE);
        if (resized == nullptr) {
            GlobalLock(handle);
        }
        handle = resized;
    }
    if (handle == nullptr) {
        throw outOfMemory();
    }
    return GlobalLock(handle);
}

} // namespace velbrin
