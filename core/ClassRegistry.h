#pragma once
// The class registry: the classes the reader may create by name besides the
// classes of a root's published fields.

#include "TObject.h"

#include <initializer_list>
#include <string_view>

namespace velbrin {

// Registers `cls` and its unregistered ancestors up to TPersistent. EFilerError
// when another class of one of those names is registered; the classes
// appended before the clash stay.
void RegisterStreamClass(const TMetaClass& cls);
void RegisterStreamClasses(std::initializer_list<const TMetaClass*> classes);
// Removes `cls` (not its ancestors) from the registry.
void UnregisterStreamClass(const TMetaClass& cls);
// The registered class of that name (ASCII letter case ignored), or null.
const TMetaClass* LookupStreamClass(std::string_view name);
// As LookupStreamClass; EClassNotFound naming `name` when there is none.
const TMetaClass& FindStreamClass(std::string_view name);

} // namespace velbrin
