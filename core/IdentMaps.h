#pragma once
// Identifier maps: symbolic names for the values of an integer type, such as
// colour and charset names, registered process-wide in registration order.

#include "TypeInfo.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace velbrin {

using IdentToIntFunction = bool (*)(std::string_view ident, std::int32_t& value);
using IntToIdentFunction = bool (*)(std::int32_t value, std::string& ident);

struct TIntConst {
    TypeInfoFunction intType = nullptr;
    IdentToIntFunction identToInt = nullptr;
    IntToIdentFunction intToIdent = nullptr;
};

void RegisterIdentMap(TypeInfoFunction intType, IdentToIntFunction identToInt,
                      IntToIdentFunction intToIdent);

// The value of `ident` from the first map of `type`, in registration order,
// that knows the name.
bool IdentToIntOf(const TypeInfo& type, std::string_view ident, std::int32_t& value);
// The name of `value` from the first map registered for `type`; false when
// that map has no name for it (later maps are not asked).
bool IntToIdentOf(const TypeInfo& type, std::int32_t value, std::string& ident);
// True when some map is registered for `type`.
bool HasIdentMap(const TypeInfo& type);

// A name table for writing a map's two functions in a few lines.
struct TIdentMapEntry {
    std::int32_t value;
    const char* name;
};
// Looks `ident` up in `map`, ASCII letter case ignored.
bool IdentToIntFromTable(std::span<const TIdentMapEntry> map, std::string_view ident,
                         std::int32_t& value);
bool IntToIdentFromTable(std::span<const TIdentMapEntry> map, std::int32_t value,
                         std::string& ident);

} // namespace velbrin
