#pragma once
// Streams over operating-system file handles.

#include "core/TStream.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace velbrin {

// TFileStream modes: fmCreate alone, or one access code combined with one
// sharing code.
inline constexpr std::uint16_t fmCreate = 0xFFFF;
inline constexpr std::uint16_t fmOpenRead = 0x00;
inline constexpr std::uint16_t fmOpenWrite = 0x01;
inline constexpr std::uint16_t fmOpenReadWrite = 0x02;
inline constexpr std::uint16_t fmShareCompat = 0x00;
inline constexpr std::uint16_t fmShareExclusive = 0x10;
inline constexpr std::uint16_t fmShareDenyWrite = 0x20;
inline constexpr std::uint16_t fmShareDenyRead = 0x30;
inline constexpr std::uint16_t fmShareDenyNone = 0x40;

// A stream over a handle that someone else opened and closes.
class THandleStream : public TStream {
    VELBRIN_CLASS(THandleStream, TStream)

public:
    explicit THandleStream(HANDLE handle) : handle_(handle) {}

    HANDLE Handle() const { return handle_; }

    // Each returns 0 when the operating system refuses.
    std::int32_t Read(void* buffer, std::int32_t count) override;
    std::int32_t Write(const void* buffer, std::int32_t count) override;
    // Returns -1 when the operating system refuses the move.
    std::int32_t Seek(std::int32_t offset, TSeekOrigin origin) override;

protected:
    HANDLE handle_;
};

// A stream over a file it opens (or creates) itself and closes when freed.
class TFileStream : public THandleStream {
    VELBRIN_CLASS(TFileStream, THandleStream)

public:
    // fmCreate creates the file, replacing any existing one, for reading and
    // writing, not shared (EFCreateError on failure). Any other mode opens an
    // existing file with the access and sharing it names (EFOpenError on
    // failure, and for codes outside the tables). Both errors name the file.
    TFileStream(const std::string& fileName, std::uint16_t mode);
    ~TFileStream() override;
};

} // namespace velbrin
