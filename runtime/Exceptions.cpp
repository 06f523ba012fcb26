#include "Exceptions.h"

#include <windows.h>

namespace velbrin {

std::string ResourceMessage(unsigned id, FormatArgs args) {
    char buffer[1024];
    int length = LoadStringA(GetModuleHandleA(nullptr), id, buffer, sizeof buffer);
    if (length <= 0) {
        // A message missing from the table still says which it was.
        return "Message " + std::to_string(id) + " is missing from the string table";
    }
    return Format(std::string_view(buffer, static_cast<std::size_t>(length)), args);
}

} // namespace velbrin
