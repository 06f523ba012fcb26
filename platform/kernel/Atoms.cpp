// The global atom table: integer atoms below 0xC000 stand for themselves,
// string atoms are counted per add and compared ignoring ASCII case.

#include "../core/Context.h"
#include "KernelState.h"

#include <cstdlib>
#include <cstring>
#include <strings.h>

using platform::Atom;
using platform::Ctx;
using platform::Fail;

namespace {

constexpr ATOM kFirstStringAtom = 0xC000;
constexpr std::size_t kMaxAtomName = 255;

// "#123" and MAKEINTATOM(123) both name the integer atom 123; false for a
// string atom's name.
bool IntegerAtom(LPCSTR name, ATOM& atom) {
    if (IS_INTRESOURCE(name)) {
        atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name));
        return true;
    }
    if (name[0] != '#') {
        return false;
    }
    char* end = nullptr;
    unsigned long number = std::strtoul(name + 1, &end, 10);
    if (end == name + 1 || *end != '\0') {
        return false;
    }
    atom = number < kFirstStringAtom ? static_cast<ATOM>(number) : 0;
    return true;
}

std::map<ATOM, Atom>::iterator FindByName(LPCSTR name) {
    auto& atoms = Ctx().Kernel().atoms;
    for (auto it = atoms.begin(); it != atoms.end(); ++it) {
        if (strcasecmp(it->second.name.c_str(), name) == 0) {
            return it;
        }
    }
    return atoms.end();
}

// The lowest string atom not in use, 0 when the table is full.
ATOM FreeAtom() {
    ATOM candidate = kFirstStringAtom;
    for (const auto& [atom, entry] : Ctx().Kernel().atoms) {
        if (atom != candidate) {
            break;
        }
        if (candidate == 0xFFFF) {
            return 0;
        }
        ++candidate;
    }
    return candidate;
}

} // namespace

ATOM GlobalAddAtomA(LPCSTR name) {
    ATOM atom = 0;
    if (name == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER, ATOM{0});
    }
    if (IntegerAtom(name, atom)) {
        return atom ? atom : Fail(ERROR_INVALID_PARAMETER, ATOM{0});
    }
    std::size_t length = std::strlen(name);
    if (length == 0 || length > kMaxAtomName) {
        return Fail(ERROR_INVALID_PARAMETER, ATOM{0});
    }
    auto& atoms = Ctx().Kernel().atoms;
    auto found = FindByName(name);
    if (found != atoms.end()) {
        ++found->second.references;
        return found->first;
    }
    atom = FreeAtom();
    if (atom == 0) {
        return Fail(ERROR_NOT_ENOUGH_MEMORY, ATOM{0});
    }
    atoms[atom] = Atom{name, 1};
    return atom;
}

ATOM GlobalFindAtomA(LPCSTR name) {
    ATOM atom = 0;
    if (name == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER, ATOM{0});
    }
    if (IntegerAtom(name, atom)) {
        return atom;
    }
    auto found = FindByName(name);
    return found != Ctx().Kernel().atoms.end() ? found->first : Fail(ERROR_FILE_NOT_FOUND, ATOM{0});
}

ATOM GlobalDeleteAtom(ATOM atom) {
    if (atom < kFirstStringAtom) {
        return 0;
    }
    auto& atoms = Ctx().Kernel().atoms;
    auto found = atoms.find(atom);
    if (found == atoms.end()) {
        return Fail(ERROR_INVALID_HANDLE, atom);
    }
    if (--found->second.references == 0) {
        atoms.erase(found);
    }
    return 0;
}

UINT GlobalGetAtomNameA(ATOM atom, LPSTR buffer, int size) {
    if (buffer == nullptr || size <= 0) {
        return Fail(ERROR_INSUFFICIENT_BUFFER, UINT{0});
    }
    auto& atoms = Ctx().Kernel().atoms;
    auto found = atoms.find(atom);
    if (found == atoms.end()) {
        return Fail(ERROR_INVALID_HANDLE, UINT{0});
    }
    const std::string& name = found->second.name;
    std::size_t copied = name.size() < static_cast<std::size_t>(size)
                             ? name.size()
                             : static_cast<std::size_t>(size) - 1;
    std::memcpy(buffer, name.data(), copied);
    buffer[copied] = '\0';
    return static_cast<UINT>(copied);
}
