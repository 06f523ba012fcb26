#include "ErrorOrigin.h"

#include <cstdlib>
#include <cxxabi.h>
#include <memory>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace velbrin {

std::string ReadableClassName(const std::type_info& type) {
    int status = 0;
    const std::unique_ptr<char, decltype(&std::free)> readable(
        abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), &std::free);
    return status == 0 && readable ? std::string(readable.get()) : std::string(type.name());
}

std::uintptr_t ProgramCodeOffset(const void* code) {
    const auto address = reinterpret_cast<std::uintptr_t>(code);
#ifdef _WIN32
    HMODULE module = nullptr;
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                               GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           static_cast<LPCSTR>(code), &module) == FALSE) {
        return address;
    }
    return address - reinterpret_cast<std::uintptr_t>(module);
#else
    Dl_info info{};
    if (dladdr(code, &info) == 0 || info.dli_fbase == nullptr) {
        return address;
    }
    return address - reinterpret_cast<std::uintptr_t>(info.dli_fbase);
#endif
}

} // namespace velbrin
