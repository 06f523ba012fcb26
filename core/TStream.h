#pragma once
// Byte sources and sinks. Positions and sizes are signed 32-bit byte counts.

#include "core/TObject.h"

#include <cstdint>

namespace velbrin {

class TComponent;

enum TSeekOrigin : std::uint16_t {
    soFromBeginning = 0,
    soFromCurrent = 1,
    soFromEnd = 2,
};

class TStream : public TObject {
    VELBRIN_CLASS(TStream, TObject)

public:
    // Copies at most `count` bytes into `buffer`; returns how many it copied.
    virtual std::int32_t Read(void* buffer, std::int32_t count) = 0;
    // Takes at most `count` bytes from `buffer`; returns how many it took.
    virtual std::int32_t Write(const void* buffer, std::int32_t count) = 0;
    // Moves the position and returns the new one.
    virtual std::int32_t Seek(std::int32_t offset, TSeekOrigin origin) = 0;

    std::int32_t Position() { return Seek(0, soFromCurrent); }
    void SetPosition(std::int32_t position) { Seek(position, soFromBeginning); }
    // The size, measured by seeking to the end and back.
    std::int32_t Size();

    // Read and Write that must move every byte: EReadError or EWriteError
    // otherwise, after moving what they could.
    void ReadBuffer(void* buffer, std::int32_t count);
    void WriteBuffer(const void* buffer, std::int32_t count);

    // Reads one form resource from the position into `instance` (a new
    // component of the class the resource names when null), through a
    // reader with a 4096-byte buffer; returns the component read.
    TComponent* LoadRootFromStream(TComponent* instance);
};

} // namespace velbrin
