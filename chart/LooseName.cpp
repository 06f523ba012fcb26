#include "LooseName.h"

#include <cctype>
#include <string>

namespace velbrin::chart {

namespace {

std::string Folded(std::string_view name) {
    std::string out;
    for (char c : name) {
        if (c != ' ' && c != '-' && c != '_') {
            out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    return out;
}

} // namespace

bool SameLooseName(std::string_view typed, std::string_view name) {
    return Folded(typed) == Folded(name);
}

} // namespace velbrin::chart
