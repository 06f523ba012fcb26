#include "IdentMaps.h"

#include "runtime/Text.h"

#include <vector>

namespace velbrin {

namespace {

std::vector<TIntConst>& IdentMaps() {
    static std::vector<TIntConst> maps;
    return maps;
}

} // namespace

void RegisterIdentMap(TypeInfoFunction intType, IdentToIntFunction identToInt,
                      IntToIdentFunction intToIdent) {
    IdentMaps().push_back({intType, identToInt, intToIdent});
}

bool IdentToIntOf(const TypeInfo& type, std::string_view ident, std::int32_t& value) {
    for (const TIntConst& map : IdentMaps()) {
        if (&map.intType() == &type && map.identToInt(ident, value)) {
            return true;
        }
    }
    return false;
}

bool IntToIdentOf(const TypeInfo& type, std::int32_t value, std::string& ident) {
    for (const TIntConst& map : IdentMaps()) {
        if (&map.intType() == &type) {
            return map.intToIdent(value, ident);
        }
    }
    return false;
}

bool HasIdentMap(const TypeInfo& type) {
    for (const TIntConst& map : IdentMaps()) {
        if (&map.intType() == &type) {
            return true;
        }
    }
    return false;
}

bool IdentToIntFromTable(std::span<const TIdentMapEntry> map, std::string_view ident,
                         std::int32_t& value) {
    for (const TIdentMapEntry& entry : map) {
        if (AsciiSameText(entry.name, ident)) {
            value = entry.value;
            return true;
        }
    }
    return false;
}

bool IntToIdentFromTable(std::span<const TIdentMapEntry> map, std::int32_t value,
                         std::string& ident) {
    for (const TIdentMapEntry& entry : map) {
        if (entry.value == value) {
            ident = entry.name;
            return true;
        }
    }
    return false;
}

} // namespace velbrin
