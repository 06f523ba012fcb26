#include "TFileStream.h"

#include "runtime/Exceptions.h"
#include "runtime/Messages.h"

#include <optional>

namespace velbrin {

VELBRIN_DEFINE_CLASS(THandleStream, TStream, "Classes")
VELBRIN_DEFINE_CLASS(TFileStream, THandleStream, "Classes")

std::int32_t THandleStream::Read(void* buffer, std::int32_t count) {
    DWORD done = 0;
    if (count <= 0 || !ReadFile(handle_, buffer, static_cast<DWORD>(count), &done, nullptr)) {
        return 0;
    }
    return static_cast<std::int32_t>(done);
}

std::int32_t THandleStream::Write(const void* buffer, std::int32_t count) {
    DWORD done = 0;
    if (count <= 0 || !WriteFile(handle_, buffer, static_cast<DWORD>(count), &done, nullptr)) {
        return 0;
    }
    return static_cast<std::int32_t>(done);
}

std::int32_t THandleStream::Seek(std::int32_t offset, TSeekOrigin origin) {
    return static_cast<std::int32_t>(SetFilePointer(handle_, offset, nullptr, origin));
}

namespace {

struct OpenArguments {
    DWORD access;
    DWORD share;
};

// The access and sharing a mode names; nothing for codes outside the tables,
// which name no way to open a file.
std::optional<OpenArguments> OpenArgumentsOf(std::uint16_t mode) {
    static constexpr DWORD kAccess[] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE};
    static constexpr DWORD kShare[] = {0, 0, FILE_SHARE_READ, FILE_SHARE_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE};
    unsigned access = mode & 0x3u;
    unsigned share = (mode >> 4) & 0xFu;
    if (access >= std::size(kAccess) || share >= std::size(kShare)) {
        return std::nullopt;
    }
    return OpenArguments{kAccess[access], kShare[share]};
}

HANDLE OpenHandle(const std::string& fileName, std::uint16_t mode) {
    if (mode == fmCreate) {
        HANDLE handle = CreateFileA(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            throw ResourceError<EFCreateError>(SFCreateError, {fileName});
        }
        return handle;
    }
    std::optional<OpenArguments> arguments = OpenArgumentsOf(mode);
    HANDLE handle = arguments ? CreateFileA(fileName.c_str(), arguments->access, arguments->share,
                                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)
                              : INVALID_HANDLE_VALUE;
    if (handle == INVALID_HANDLE_VALUE) {
        throw ResourceError<EFOpenError>(SFOpenError, {fileName});
    }
    return handle;
}

} // namespace

TFileStream::TFileStream(const std::string& fileName, std::uint16_t mode)
    : THandleStream(OpenHandle(fileName, mode)) {}

TFileStream::~TFileStream() {
    CloseHandle(handle_);
}

} // namespace velbrin
