// FindResourceA and friends over the table the resource compiler embedded, and
// LoadStringA over its string blocks.

#include "../core/Context.h"
#include "KernelState.h"
#include "platform/EmbeddedResources.h"

#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace {

// Resource handles point into the embedded table; the offset keeps them out of
// the integer-resource range and apart from every other kind of handle.
constexpr std::uintptr_t kResourceHandleBase = 0x7E000000u;

bool NameMatches(LPCSTR wanted, std::uint16_t id, const char* name) {
    if (IS_INTRESOURCE(wanted)) {
        return name == nullptr &&
               id == static_cast<std::uint16_t>(reinterpret_cast<ULONG_PTR>(wanted));
    }
    // "#123" names the numeric resource 123, as in Windows.
    if (wanted[0] == '#') {
        char* end = nullptr;
        unsigned long number = std::strtoul(wanted + 1, &end, 10);
        return name == nullptr && end != wanted + 1 && *end == '\0' && number <= 0xFFFF &&
               id == number;
    }
    return name != nullptr && strcasecmp(wanted, name) == 0;
}

bool IsProgramModule(HMODULE module) {
    return module == nullptr || module == GetModuleHandleA(nullptr);
}

const EmbeddedResource* ResourceOf(HRSRC resource) {
    std::uintptr_t value = reinterpret_cast<std::uintptr_t>(resource);
    if (value < kResourceHandleBase ||
        value - kResourceHandleBase >= velbrinEmbeddedResources.count) {
        return nullptr;
    }
    return &velbrinEmbeddedResources.entries[value - kResourceHandleBase];
}

// Steps over one entry of a string block: sixteen entries, each a 16-bit
// little-endian length and that many bytes of code page 932 text. False when
// the block ends too early.
bool ReadBlockEntry(const unsigned char*& p, const unsigned char* end, const unsigned char*& text,
                    std::size_t& length) {
    if (end - p < 2) {
        return false;
    }
    length = p[0] | (p[1] << 8);
    text = p + 2;
    if (static_cast<std::size_t>(end - text) < length) {
        return false;
    }
    p = text + length;
    return true;
}

} // namespace

HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) {
    if (!IsProgramModule(module)) {
        return platform::Fail(ERROR_INVALID_HANDLE, static_cast<HRSRC>(nullptr));
    }
    if (name == nullptr || type == nullptr) {
        return platform::Fail(ERROR_INVALID_PARAMETER, static_cast<HRSRC>(nullptr));
    }
    bool typeSeen = false;
    for (std::size_t i = 0; i < velbrinEmbeddedResources.count; ++i) {
        const EmbeddedResource& entry = velbrinEmbeddedResources.entries[i];
        if (!NameMatches(type, entry.typeId, entry.typeName)) {
            continue;
        }
        typeSeen = true;
        if (NameMatches(name, entry.nameId, entry.name)) {
            return reinterpret_cast<HRSRC>(kResourceHandleBase + i);
        }
    }
    return platform::Fail(typeSeen ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND,
                          static_cast<HRSRC>(nullptr));
}

// Embedded resources need no loading: the data handle is the resource handle.
HGLOBAL LoadResource(HMODULE module, HRSRC resource) {
    if (!IsProgramModule(module) || ResourceOf(resource) == nullptr) {
        return platform::Fail(ERROR_RESOURCE_DATA_NOT_FOUND, static_cast<HGLOBAL>(nullptr));
    }
    return reinterpret_cast<HGLOBAL>(resource);
}

LPVOID LockResource(HGLOBAL resourceData) {
    const EmbeddedResource* entry = ResourceOf(static_cast<HRSRC>(resourceData));
    return entry ? const_cast<unsigned char*>(entry->data) : nullptr;
}

DWORD SizeofResource(HMODULE module, HRSRC resource) {
    const EmbeddedResource* entry = IsProgramModule(module) ? ResourceOf(resource) : nullptr;
    return entry ? entry->size : platform::Fail(ERROR_RESOURCE_DATA_NOT_FOUND, DWORD{0});
}

// Resources of the executable live as long as it; as in Win32 there is
// nothing to free.
BOOL FreeResource(HGLOBAL) {
    return FALSE;
}

int LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int size) {
    if (buffer == nullptr || size <= 0) {
        return 0;
    }
    buffer[0] = '\0';
    const EmbeddedResource* block =
        ResourceOf(FindResourceA(instance, MAKEINTRESOURCEA((id >> 4) + 1), RT_STRING));
    if (block == nullptr) {
        return 0;
    }
    const unsigned char* p = block->data;
    const unsigned char* end = p + block->size;
    const unsigned char* text = nullptr;
    std::size_t length = 0;
    for (UINT i = 0; i <= (id & 15u); ++i) {
        if (!ReadBlockEntry(p, end, text, length)) {
            return 0;
        }
    }
    if (length == 0) {
        return platform::Fail(ERROR_RESOURCE_NAME_NOT_FOUND, 0);
    }
    std::size_t room = static_cast<std::size_t>(size) - 1;
    std::size_t copied = 0;
    // Never cut a double-byte character in half.
    while (copied < length) {
        std::size_t step = IsDBCSLeadByte(text[copied]) && copied + 1 < length ? 2 : 1;
        if (copied + step > room) {
            break;
        }
        copied += step;
    }
    std::memcpy(buffer, text, copied);
    buffer[copied] = '\0';
    return static_cast<int>(copied);
}
