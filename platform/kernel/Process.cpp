// Last error, module, process and version queries, MulDiv.

#include "../core/Context.h"
#include "KernelState.h"

#include <cstring>
#include <strings.h>
#include <unistd.h>

using platform::Ctx;

namespace {
// The program's module handle; Windows loads an executable at this address.
HINSTANCE const kProgramModule = reinterpret_cast<HINSTANCE>(static_cast<std::uintptr_t>(0x400000));
HINSTANCE const kUser32Module =
    reinterpret_cast<HINSTANCE>(static_cast<std::uintptr_t>(0x77D40000));

bool NamesUser32(LPCSTR name) {
    return strcasecmp(name, "USER32") == 0 || strcasecmp(name, "USER32.DLL") == 0;
}
} // namespace

HMODULE platform::User32Module() {
    return kUser32Module;
}

DWORD GetLastError() {
    return Ctx().Kernel().lastError;
}

void SetLastError(DWORD error) {
    Ctx().Kernel().lastError = error;
}

HMODULE GetModuleHandleA(LPCSTR moduleName) {
    if (moduleName == nullptr) {
        return kProgramModule;
    }
    if (NamesUser32(moduleName)) {
        return kUser32Module;
    }
    return platform::Fail(ERROR_FILE_NOT_FOUND, static_cast<HMODULE>(nullptr));
}

DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) {
    if (module != nullptr && module != kProgramModule) {
        return platform::Fail(ERROR_INVALID_HANDLE, DWORD{0});
    }
    if (fileName == nullptr || size == 0) {
        return platform::Fail(ERROR_INSUFFICIENT_BUFFER, DWORD{0});
    }
    char path[4096];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length < 0) {
        return platform::Fail(ERROR_FILE_NOT_FOUND, DWORD{0});
    }
    // Windows truncates to the buffer, terminates it and reports the truncation.
    DWORD copied = static_cast<DWORD>(length) < size ? static_cast<DWORD>(length) : size - 1;
    std::memcpy(fileName, path, copied);
    fileName[copied] = '\0';
    if (copied < static_cast<DWORD>(length)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    return copied;
}

DWORD GetCurrentProcessId() {
    return static_cast<DWORD>(getpid());
}

DWORD GetCurrentThreadId() {
    return static_cast<DWORD>(gettid());
}

// Windows NT 4.0 on the version numbering the library tests (major in the low byte).
DWORD GetVersion() {
    return 0x05650004u;
}

int MulDiv(int number, int numerator, int denominator) {
    if (denominator == 0) {
        return -1;
    }
    long long product = static_cast<long long>(number) * numerator;
    long long divisor = denominator < 0 ? -static_cast<long long>(denominator) : denominator;
    long long magnitude = ((product < 0 ? -product : product) + divisor / 2) / divisor;
    long long result = (product < 0) != (denominator < 0) ? -magnitude : magnitude;
    if (result > 0x7FFFFFFFLL || result < -0x80000000LL) {
        return -1;
    }
    return static_cast<int>(result);
}
