#pragma once
// The kernel's part of the platform context: open files, global memory blocks,
// the atom table and the last error.

#include <windows.h>

#include "../core/HandleTable.h"

#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <sys/types.h>

namespace platform {

// The module handle this stand-in answers to as user32.
HMODULE User32Module();

struct OpenFile {
    int descriptor = -1;
    dev_t device = 0;
    ino_t inode = 0;
    DWORD access = 0;
    DWORD shareMode = 0;
    ~OpenFile();
};

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};

struct GlobalBlock {
    std::unique_ptr<unsigned char, FreeDeleter> bytes;
    SIZE_T size = 0;
    UINT flags = 0;
    int locks = 0;
};

struct Atom {
    std::string name;
    int references = 0;
};

struct KernelState {
    HandleTable<OpenFile> files{1};
    HandleTable<GlobalBlock> memory{2};
    // Fixed blocks are handed out as their own address; this finds their handle.
    std::map<const void*, std::uintptr_t> fixedBlocks;
    std::map<ATOM, Atom> atoms;
    DWORD lastError = ERROR_SUCCESS;
};

// Sets the last error and returns `result`, for the failure paths of the API.
template <class R> R Fail(DWORD error, R result) {
    SetLastError(error);
    return result;
}

} // namespace platform
