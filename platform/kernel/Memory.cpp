// Global memory blocks. A movable block is known by its handle and reached
// through GlobalLock; a fixed block's handle is its address.

#include "../core/Context.h"
#include "KernelState.h"

#include <cstring>

using platform::Ctx;
using platform::Fail;
using platform::GlobalBlock;

namespace {

std::uintptr_t HandleValueOf(HGLOBAL memory) {
    auto& kernel = Ctx().Kernel();
    auto fixed = kernel.fixedBlocks.find(memory);
    return fixed != kernel.fixedBlocks.end() ? fixed->second
                                             : reinterpret_cast<std::uintptr_t>(memory);
}

GlobalBlock* BlockOf(HGLOBAL memory) {
    return memory ? Ctx().Kernel().memory.Find(HandleValueOf(memory)) : nullptr;
}

// A zero-byte block still gets an address of its own.
unsigned char* Allocate(SIZE_T bytes, UINT flags) {
    SIZE_T size = bytes ? bytes : 1;
    void* p = (flags & GMEM_ZEROINIT) ? std::calloc(size, 1) : std::malloc(size);
    return static_cast<unsigned char*>(p);
}

} // namespace

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
    auto block = std::make_unique<GlobalBlock>();
    block->bytes.reset(Allocate(bytes, flags));
    if (!block->bytes) {
        return Fail(ERROR_NOT_ENOUGH_MEMORY, static_cast<HGLOBAL>(nullptr));
    }
    block->size = bytes;
    block->flags = flags;
    unsigned char* address = block->bytes.get();
    auto& kernel = Ctx().Kernel();
    std::uintptr_t handle = kernel.memory.Add(std::move(block));
    if (handle == 0) {
        return Fail(ERROR_NOT_ENOUGH_MEMORY, static_cast<HGLOBAL>(nullptr));
    }
    if (flags & GMEM_MOVEABLE) {
        return reinterpret_cast<HGLOBAL>(handle);
    }
    kernel.fixedBlocks[address] = handle;
    return address;
}

HGLOBAL GlobalReAlloc(HGLOBAL memory, SIZE_T bytes, UINT flags) {
    GlobalBlock* block = BlockOf(memory);
    if (block == nullptr) {
        return Fail(ERROR_INVALID_HANDLE, static_cast<HGLOBAL>(nullptr));
    }
    bool movable = block->flags & GMEM_MOVEABLE;
    // A fixed or locked block stays where it is unless the caller lets it move.
    bool mayMove = (flags & GMEM_MOVEABLE) || (movable && block->locks == 0);
    if (!mayMove) {
        if (bytes > block->size) {
            return Fail(ERROR_NOT_ENOUGH_MEMORY, static_cast<HGLOBAL>(nullptr));
        }
        block->size = bytes;
        return memory;
    }
    void* grown = std::realloc(block->bytes.get(), bytes ? bytes : 1);
    if (grown == nullptr) {
        return Fail(ERROR_NOT_ENOUGH_MEMORY, static_cast<HGLOBAL>(nullptr));
    }
    block->bytes.release();
    block->bytes.reset(static_cast<unsigned char*>(grown));
    if ((flags & GMEM_ZEROINIT) && bytes > block->size) {
        std::memset(block->bytes.get() + block->size, 0, bytes - block->size);
    }
    block->size = bytes;
    if (movable) {
        return memory;
    }
    auto& kernel = Ctx().Kernel();
    std::uintptr_t handle = HandleValueOf(memory);
    kernel.fixedBlocks.erase(memory);
    kernel.fixedBlocks[grown] = handle;
    return grown;
}

LPVOID GlobalLock(HGLOBAL memory) {
    GlobalBlock* block = BlockOf(memory);
    if (block == nullptr) {
        return Fail(ERROR_INVALID_HANDLE, static_cast<LPVOID>(nullptr));
    }
    if (block->flags & GMEM_MOVEABLE) {
        ++block->locks;
    }
    return block->bytes.get();
}

BOOL GlobalUnlock(HGLOBAL memory) {
    GlobalBlock* block = BlockOf(memory);
    if (block == nullptr) {
        return Fail(ERROR_INVALID_HANDLE, FALSE);
    }
    if (block->locks > 0) {
        --block->locks;
    }
    SetLastError(ERROR_SUCCESS);
    return block->locks > 0 ? TRUE : FALSE;
}

HGLOBAL GlobalFree(HGLOBAL memory) {
    GlobalBlock* block = BlockOf(memory);
    if (block == nullptr) {
        return Fail(ERROR_INVALID_HANDLE, memory);
    }
    auto& kernel = Ctx().Kernel();
    std::uintptr_t handle = HandleValueOf(memory);
    kernel.fixedBlocks.erase(block->bytes.get());
    kernel.memory.Remove(handle);
    return nullptr;
}

SIZE_T GlobalSize(HGLOBAL memory) {
    GlobalBlock* block = BlockOf(memory);
    return block ? block->size : Fail(ERROR_INVALID_HANDLE, SIZE_T{0});
}

HGLOBAL GlobalHandle(LPCVOID memory) {
    auto& kernel = Ctx().Kernel();
    auto fixed = kernel.fixedBlocks.find(memory);
    if (fixed != kernel.fixedBlocks.end()) {
        return const_cast<void*>(memory);
    }
    HGLOBAL found = nullptr;
    kernel.memory.ForEach([&](std::uintptr_t handle, const GlobalBlock& block) {
        if (block.bytes.get() == memory && (block.flags & GMEM_MOVEABLE)) {
            found = reinterpret_cast<HGLOBAL>(handle);
        }
    });
    return found ? found : Fail(ERROR_INVALID_HANDLE, static_cast<HGLOBAL>(nullptr));
}
