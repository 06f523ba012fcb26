#pragma once
// Streams over a block of memory.

#include "core/TStream.h"

#include <cstdint>

namespace velbrin {

// Reads and seeks over memory that a descendant provides and owns.
class TCustomMemoryStream : public TStream {
    VELBRIN_CLASS(TCustomMemoryStream, TStream)

public:
    // Copies min(count, size - position) bytes when the position lies inside
    // the data; 0 otherwise.
    std::int32_t Read(void* buffer, std::int32_t count) override;
    // Moves the position without clamping it: reads past the size return 0.
    std::int32_t Seek(std::int32_t offset, TSeekOrigin origin) override;

    void* Memory() const { return memory_; }

protected:
    // Replaces the memory and the size; the position stays.
    void SetPointer(void* memory, std::int32_t size);

    std::int32_t size_ = 0;
    std::int32_t position_ = 0;

private:
    void* memory_ = nullptr;
};

// A growable stream that owns its memory: movable global memory, kept locked,
// allocated in steps of 8192 bytes.
class TMemoryStream : public TCustomMemoryStream {
    VELBRIN_CLASS(TMemoryStream, TCustomMemoryStream)

public:
    static constexpr std::int32_t kGrowthStep = 8192;

    TMemoryStream() = default;
    ~TMemoryStream() override;

    // Writes at the position, growing the stream when the end passes its size.
    // Writes nothing and returns 0 at a negative position or for a negative
    // count, and when the end would pass the largest 32-bit size.
    std::int32_t Write(const void* buffer, std::int32_t count) override;

    // Frees the memory; size and position become 0.
    void Clear();
    // Replaces the contents with `size` zero bytes, the position at 0.
    void SetSize(std::int32_t size);
    std::int32_t Capacity() const { return capacity_; }

protected:
    void SetCapacity(std::int32_t capacity);
    // Returns the memory for `newCapacity` bytes, rounding it up to the growth
    // step: the same block when that changes nothing, null for 0, otherwise the
    // block allocated or resized with its contents kept. Raises EStreamError
    // when no memory is to be had.
    virtual void* Realloc(std::int32_t& newCapacity);

private:
    std::int32_t capacity_ = 0;
};

} // namespace velbrin
