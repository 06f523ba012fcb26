#pragma once
// The resources compiled into an executable. The resource compiler (tools/)
// writes one such table per executable; the kernel's resource functions read it.

#include <cstddef>
#include <cstdint>

struct EmbeddedResource {
    std::uint16_t typeId; // numeric type (RT_RCDATA...), 0 when the type is named
    const char* typeName; // upper-case type name, or nullptr
    std::uint16_t nameId; // numeric name, 0 when the resource is named
    const char* name;     // upper-case name, or nullptr
    const unsigned char* data;
    std::uint32_t size;
};

struct EmbeddedResourceTable {
    const EmbeddedResource* entries;
    std::size_t count;
};

// Defined by the generated source that every executable links.
extern const EmbeddedResourceTable velbrinEmbeddedResources;
