#pragma once
// Events: a method reference, the code to run and the object to run it on. An
// event is assigned when its code is set; two events are equal when both the
// code and the object are.
//
//     list.OnChange = TNotifyEvent::Of<&TForm1::ListChanged>(form);
//     if (list.OnChange.Assigned()) list.OnChange(&list);

#include "core/TObject.h"

#include <type_traits>

namespace velbrin {

template <class... Args> class TEvent {
public:
    // The code receives the object the event was bound to, then the arguments.
    using Code = void (*)(TObject* data, Args... args);

    constexpr TEvent() = default;
    constexpr TEvent(Code code, TObject* data) : code_(code), data_(data) {}

    // Binds member function `Method` of `object`. Each method has one code,
    // the thunk its class publishes it with, so binding the same method of the
    // same object twice gives equal events, and equal to one bound by name.
    template <auto Method, class C> static TEvent Of(C* object) {
        static_assert(std::is_base_of_v<typename HandlerThunk<Method>::Class, C>);
        return TEvent(&HandlerThunk<Method>::Call, object);
    }

    bool Assigned() const { return code_ != nullptr; }
    Code GetCode() const { return code_; }
    TObject* Data() const { return data_; }

    // Calling an unassigned event does nothing.
    void operator()(Args... args) const {
        if (code_ != nullptr) {
            code_(data_, args...);
        }
    }

    friend bool operator==(const TEvent&, const TEvent&) = default;

private:
    Code code_ = nullptr;
    TObject* data_ = nullptr;
};

// The event that passes only its sender.
using TNotifyEvent = TEvent<TObject*>;

} // namespace velbrin
