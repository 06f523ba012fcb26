#include "ClassRegistry.h"

#include "TPersistent.h"
#include "runtime/Exceptions.h"
#include "runtime/Messages.h"
#include "runtime/Text.h"

#include <algorithm>
#include <string>
#include <vector>

namespace velbrin {

namespace {

std::vector<const TMetaClass*>& Registry() {
    static std::vector<const TMetaClass*> classes;
    return classes;
}

bool IsRegistered(const TMetaClass& cls) {
    const auto& registry = Registry();
    return std::find(registry.begin(), registry.end(), &cls) != registry.end();
}

} // namespace

void RegisterStreamClass(const TMetaClass& cls) {
    for (const TMetaClass* c = &cls; c != nullptr && !IsRegistered(*c); c = c->Parent()) {
        if (LookupStreamClass(c->Name()) != nullptr) {
            throw ResourceError<EFilerError>(SDuplicateClass, {c->Name()});
        }
        Registry().push_back(c);
        if (c == &TPersistent::StaticClass()) {
            break;
        }
    }
}

void RegisterStreamClasses(std::initializer_list<const TMetaClass*> classes) {
    for (const TMetaClass* cls : classes) {
        RegisterStreamClass(*cls);
    }
}

void UnregisterStreamClass(const TMetaClass& cls) {
    auto& registry = Registry();
    registry.erase(std::remove(registry.begin(), registry.end(), &cls), registry.end());
}

const TMetaClass* LookupStreamClass(std::string_view name) {
    for (const TMetaClass* cls : Registry()) {
        if (AsciiSameText(cls->Name(), name)) {
            return cls;
        }
    }
    return nullptr;
}

const TMetaClass& FindStreamClass(std::string_view name) {
    const TMetaClass* cls = LookupStreamClass(name);
    if (cls == nullptr) {
        throw ResourceError<EClassNotFound>(SClassNotFound, {name});
    }
    return *cls;
}

} // namespace velbrin
