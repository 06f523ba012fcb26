#pragma once
// Method references in erased form: the code of a handler and the object it
// runs on, as the property tables pass them (typed events are in Events.h).
// Handlers are reached through thunks of one shape, `void (TObject* self,
// Args...)`, so a handler found by name in a form resource is called like one
// bound in code.

#include <typeinfo>

namespace velbrin {

class TObject;

// The erased code of a handler thunk; it is cast back to its real signature,
// recorded beside it, before it is called.
using CodePointer = void (*)();

struct TMethod {
    CodePointer Code = nullptr;
    TObject* Data = nullptr;

    bool Assigned() const { return Code != nullptr; }
    friend bool operator==(const TMethod&, const TMethod&) = default;
};

// The thunk that calls member function `Handler` on the object it is given.
template <auto Handler> struct HandlerThunk;
template <class C, class... Args, void (C::*Handler)(Args...)> struct HandlerThunk<Handler> {
    using Class = C;
    static void Call(TObject* self, Args... args) { (static_cast<C*>(self)->*Handler)(args...); }
    static const std::type_info& Signature() { return typeid(void(Args...)); }
};

} // namespace velbrin
