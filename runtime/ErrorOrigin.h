#pragma once
// What the runtime's error report says of an error object from outside the
// library's family: the name of its class as the source spells it, and where
// in the program's code it was met.

#include <cstdint>
#include <string>
#include <typeinfo>

namespace velbrin {

// "std::runtime_error" rather than the compiler's mangled name; the mangled
// name when it cannot be read back.
std::string ReadableClassName(const std::type_info& type);
// The distance of `code` from the start of the module that holds it; the
// address itself when no module holds it.
std::uintptr_t ProgramCodeOffset(const void* code);

} // namespace velbrin
