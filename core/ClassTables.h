#pragma once
// The lines a class's table description is written in (see TObject.h):
//
//   cls.Property("Left", Field<&T::left_>, Call<&T::SetLeft>);   read a field, write a setter
//   cls.Property("Tag", Field<&T::tag_>).Default(0);             a field both ways
//   cls.Property("Color", ColorType, Field<&T::color_>, ...);    a type other than the field's
//   cls.Property("Name", ..., ...).Stored(false);                never stored
//   cls.Property("Visible", ..., ...).Stored(Call<&T::IsVisibleStored>);
//   cls.Property("Width", Call<&T::GetSide>, Call<&T::SetSide>).Index(2);
//   cls.Method<&TForm1::FormCreate>("FormCreate");               a published method
//   cls.Field<&TForm1::Label1>("Label1");                        a published field
//   cls.Handle<WM_PAINT, &T::WMPaint>();                         a message handler
//
// Call<> takes a member function (virtual ones dispatch as usual) or a free
// function whose first parameter is the instance. A getter takes no argument
// or the index; a setter takes the value or the index and the value. The
// property's type comes from the C++ type of its reader unless given; a
// mismatch between the two is refused when the class reference is made.

#include "TObject.h"

#include <functional>
#include <tuple>
#include <utility>

namespace velbrin {

template <class... Args> class TEvent;

template <class... Args> const TypeInfo& EventTypeInfo() {
    static const TypeInfo type = [] {
        TypeInfo info;
        info.kind = TypeKind::Method;
        info.signature = &typeid(void(Args...));
        info.name = *info.signature == typeid(void(TObject*)) ? "TNotifyEvent" : "TMethod";
        return info;
    }();
    return type;
}

template <class... Args> const TypeInfo& TypeInfoOf(TEvent<Args...>*) {
    return EventTypeInfo<Args...>();
}

template <class C>
requires std::is_base_of_v<TObject, C>
const TypeInfo& TypeInfoOf(C**) {
    return C::StaticClass().ClassTypeInfo();
}

template <class T> const TypeInfo& DeducedTypeInfo() {
    return TypeInfoOf(static_cast<T*>(nullptr));
}

namespace detail {

template <class T> struct IsEvent : std::false_type {};
template <class... Args> struct IsEvent<TEvent<Args...>> : std::true_type {};

template <class V> constexpr ValueCategory CategoryOf() {
    if constexpr (std::is_pointer_v<V>) {
        static_assert(std::is_base_of_v<TObject, std::remove_cv_t<std::remove_pointer_t<V>>>,
                      "an object property holds a library object");
        return ValueCategory::Object;
    } else if constexpr (std::is_same_v<V, std::string>) {
        return ValueCategory::String;
    } else if constexpr (IsEvent<V>::value) {
        return ValueCategory::Method;
    } else if constexpr (std::is_floating_point_v<V> || std::is_same_v<V, std::int64_t>) {
        return ValueCategory::Float;
    } else {
        static_assert(std::is_integral_v<V> || std::is_enum_v<V>, "not a property value type");
        return ValueCategory::Ordinal;
    }
}

// Converts between a C++ value and the erased value of its category.
template <class V> auto ToErased(const V& value) {
    constexpr ValueCategory category = CategoryOf<V>();
    if constexpr (category == ValueCategory::Ordinal) {
        return static_cast<std::int32_t>(value);
    } else if constexpr (category == ValueCategory::Object) {
        return static_cast<TObject*>(
            const_cast<std::remove_cv_t<std::remove_pointer_t<V>>*>(value));
    } else if constexpr (category == ValueCategory::Float) {
        return static_cast<long double>(value);
    } else if constexpr (category == ValueCategory::Method) {
        return TMethod{reinterpret_cast<CodePointer>(value.GetCode()), value.Data()};
    } else {
        return value;
    }
}

template <class V, class Erased> V FromErased(const Erased& value) {
    constexpr ValueCategory category = CategoryOf<V>();
    if constexpr (category == ValueCategory::Object) {
        using Target = std::remove_cv_t<std::remove_pointer_t<V>>;
        if (value == nullptr || !value->InheritsFrom(Target::StaticClass())) {
            return nullptr;
        }
        return static_cast<V>(value);
    } else if constexpr (category == ValueCategory::Method) {
        return V(reinterpret_cast<typename V::Code>(value.Code), value.Data);
    } else if constexpr (category == ValueCategory::String) {
        return value;
    } else {
        return static_cast<V>(value);
    }
}

template <ValueCategory> struct Erased;
template <> struct Erased<ValueCategory::Ordinal> { using Type = std::int32_t; };
template <> struct Erased<ValueCategory::Object> { using Type = TObject*; };
template <> struct Erased<ValueCategory::String> { using Type = std::string; };
template <> struct Erased<ValueCategory::Float> { using Type = long double; };
template <> struct Erased<ValueCategory::Method> { using Type = TMethod; };

template <class V> using ErasedOf = typename Erased<CategoryOf<V>()>::Type;

// The parts of an accessor function's signature: the instance's class, the
// result and the parameters after the instance.
template <class F> struct Signature;
template <class C, class R, class... A> struct Signature<R (C::*)(A...)> {
    using Class = C;
    using Result = R;
    using Params = std::tuple<std::decay_t<A>...>;
};
template <class C, class R, class... A>
struct Signature<R (C::*)(A...) const> : Signature<R (C::*)(A...)> {};
template <class C, class R, class... A> struct Signature<R (*)(C*, A...)> {
    using Class = std::remove_cv_t<C>;
    using Result = R;
    using Params = std::tuple<std::decay_t<A>...>;
};

template <class C> C* Self(TObject* instance) {
    return static_cast<C*>(instance);
}

} // namespace detail

// The thunk signatures, by category.
template <class Value> using GetThunk = Value (*)(TObject* instance, const PropInfo& property);
template <class Value>
using SetThunk = void (*)(TObject* instance, const PropInfo& property, const Value& value);
using StoredThunk = bool (*)(TObject* instance, const PropInfo& property);

// Field<&Class::member>: the property reads or writes the member itself.
template <auto Member> struct FieldAccessor {
    static_assert(std::is_member_object_pointer_v<decltype(Member)>);
    template <class M> struct Parts;
    template <class C, class V> struct Parts<V C::*> {
        using Class = C;
        using Value = V;
    };
    using Class = typename Parts<decltype(Member)>::Class;
    using Value = typename Parts<decltype(Member)>::Value;
    static constexpr ValueCategory category = detail::CategoryOf<Value>();
    using Erased = detail::ErasedOf<Value>;

    static void* Address(TObject* instance) { return &(detail::Self<Class>(instance)->*Member); }

    static Erased Get(TObject* instance, const PropInfo&) {
        return detail::ToErased(detail::Self<Class>(instance)->*Member);
    }
    static void Set(TObject* instance, const PropInfo&, const Erased& value) {
        detail::Self<Class>(instance)->*Member = detail::FromErased<Value>(value);
    }
    static bool Stored(TObject* instance, const PropInfo&) {
        return static_cast<bool>(detail::Self<Class>(instance)->*Member);
    }

    static PropertyAccessor Make(CodePointer thunk) {
        PropertyAccessor accessor;
        accessor.kind = PropertyAccessor::Kind::Field;
        accessor.category = category;
        accessor.fieldSize = sizeof(Value);
        accessor.integralField = !std::is_floating_point_v<Value>;
        accessor.thunk = thunk;
        return accessor;
    }
    // Ordinal and float fields are reached by address, sized by the
    // property's type; the others through typed thunks.
    static PropertyAccessor Reader() {
        if constexpr (category == ValueCategory::Ordinal || category == ValueCategory::Float) {
            return Make(reinterpret_cast<CodePointer>(&Address));
        } else {
            return Make(reinterpret_cast<CodePointer>(static_cast<GetThunk<Erased>>(&Get)));
        }
    }
    static PropertyAccessor Writer() {
        if constexpr (category == ValueCategory::Ordinal || category == ValueCategory::Float) {
            return Make(reinterpret_cast<CodePointer>(&Address));
        } else {
            return Make(reinterpret_cast<CodePointer>(static_cast<SetThunk<Erased>>(&Set)));
        }
    }
    static PropertyAccessor StoredFlag() {
        static_assert(std::is_same_v<Value, bool>, "a stored flag field is a bool");
        PropertyAccessor accessor = Make(reinterpret_cast<CodePointer>(&Stored));
        accessor.kind = PropertyAccessor::Kind::Call;
        return accessor;
    }
};

// Call<&function>: the property calls a getter, a setter or a stored function.
template <auto Function> struct CallAccessor {
    using Parts = detail::Signature<decltype(Function)>;
    using Class = typename Parts::Class;
    static constexpr std::size_t paramCount = std::tuple_size_v<typename Parts::Params>;

    template <class... A> static decltype(auto) Invoke(TObject* instance, A&&... args) {
        return std::invoke(Function, detail::Self<Class>(instance), std::forward<A>(args)...);
    }

    static PropertyAccessor Make(ValueCategory category, bool indexed, CodePointer thunk) {
        PropertyAccessor accessor;
        accessor.kind = PropertyAccessor::Kind::Call;
        accessor.category = category;
        accessor.indexed = indexed;
        accessor.thunk = thunk;
        return accessor;
    }

    static PropertyAccessor Reader() {
        static_assert(paramCount <= 1, "a getter takes nothing or the index");
        using Value = std::decay_t<typename Parts::Result>;
        using Erased = detail::ErasedOf<Value>;
        GetThunk<Erased> thunk = [](TObject* instance, const PropInfo& property) -> Erased {
            if constexpr (paramCount == 1) {
                return detail::ToErased<Value>(Invoke(instance, property.index));
            } else {
                (void)property;
                return detail::ToErased<Value>(Invoke(instance));
            }
        };
        return Make(detail::CategoryOf<Value>(), paramCount == 1,
                    reinterpret_cast<CodePointer>(thunk));
    }

    static PropertyAccessor Writer() {
        static_assert(paramCount == 1 || paramCount == 2,
                      "a setter takes the value, or the index and the value");
        using Value = std::tuple_element_t<paramCount - 1, typename Parts::Params>;
        using Erased = detail::ErasedOf<Value>;
        SetThunk<Erased> thunk = [](TObject* instance, const PropInfo& property,
                                    const Erased& value) {
            if constexpr (paramCount == 2) {
                Invoke(instance, property.index, detail::FromErased<Value>(value));
            } else {
                (void)property;
                Invoke(instance, detail::FromErased<Value>(value));
            }
        };
        return Make(detail::CategoryOf<Value>(), paramCount == 2,
                    reinterpret_cast<CodePointer>(thunk));
    }

    static PropertyAccessor StoredFlag() {
        static_assert(paramCount <= 1, "a stored function takes nothing or the index");
        StoredThunk thunk = [](TObject* instance, const PropInfo& property) -> bool {
            if constexpr (paramCount == 1) {
                return Invoke(instance, property.index);
            } else {
                (void)property;
                return Invoke(instance);
            }
        };
        return Make(ValueCategory::Ordinal, paramCount == 1, reinterpret_cast<CodePointer>(thunk));
    }
};

template <auto Member> inline constexpr FieldAccessor<Member> Field{};
template <auto Function> inline constexpr CallAccessor<Function> Call{};

// Marks a read-only property's missing writer.
struct NoAccessor {
    static PropertyAccessor Writer() { return {}; }
};

// Refines a property just added to a class table.
class PropertyLine {
public:
    explicit PropertyLine(PropInfo& property) : property_(property) {}

    PropertyLine& Default(std::int32_t value) {
        property_.defaultValue = value;
        return *this;
    }
    template <class E>
    requires std::is_enum_v<E> PropertyLine& Default(E value) {
        return Default(static_cast<std::int32_t>(value));
    }
    PropertyLine& Index(std::int32_t index) {
        property_.index = index;
        return *this;
    }
    PropertyLine& Stored(bool stored) {
        property_.stored = PropertyAccessor{};
        property_.stored.kind = PropertyAccessor::Kind::Constant;
        property_.stored.constant = stored;
        return *this;
    }
    template <class Accessor> PropertyLine& Stored(Accessor) {
        property_.stored = Accessor::StoredFlag();
        return *this;
    }

private:
    PropInfo& property_;
};

// The table description of class C, filled by C::DescribeClass.
template <class C> class ClassTables {
public:
    explicit ClassTables(TMetaClass& meta) : meta_(meta) {}

    template <class Reader, class Writer = NoAccessor>
    requires(!std::is_convertible_v<Reader, TypeInfoFunction>) PropertyLine
        Property(std::string name, Reader, Writer = {}) {
        using Value = std::decay_t<typename ReaderValue<Reader>::Type>;
        return Property(std::move(name), &DeducedTypeInfo<Value>, Reader{}, Writer{});
    }

    template <class Reader, class Writer = NoAccessor>
    PropertyLine Property(std::string name, TypeInfoFunction type, Reader, Writer = {}) {
        static_assert(std::is_base_of_v<typename Reader::Class, C> ||
                          std::is_base_of_v<C, typename Reader::Class>,
                      "the accessor belongs to another class");
        PropInfo property;
        property.name = std::move(name);
        property.type = type;
        property.read = Reader::Reader();
        property.write = Writer::Writer();
        return PropertyLine(meta_.AddProperty(std::move(property)));
    }

    template <auto Handler> void Method(std::string name) {
        using Thunk = HandlerThunk<Handler>;
        static_assert(std::is_base_of_v<typename Thunk::Class, C>);
        meta_.AddMethod(
            {std::move(name), reinterpret_cast<CodePointer>(&Thunk::Call), &Thunk::Signature()});
    }

    template <auto Member> void Field(std::string name) {
        using Accessor = FieldAccessor<Member>;
        using Value = typename Accessor::Value;
        static_assert(std::is_pointer_v<Value>, "a published field holds an object reference");
        using Target = std::remove_pointer_t<Value>;
        PublishedField field;
        field.name = std::move(name);
        field.fieldClass = &Target::StaticClass;
        field.get = [](TObject* instance) -> TObject* {
            return detail::Self<typename Accessor::Class>(instance)->*Member;
        };
        field.set = [](TObject* instance, TObject* value) {
            detail::Self<typename Accessor::Class>(instance)->*Member =
                detail::FromErased<Value>(value);
        };
        meta_.AddField(std::move(field));
    }

    template <UINT Id, auto Handler> void Handle() {
        using Thunk = HandlerThunk<Handler>;
        static_assert(std::is_base_of_v<typename Thunk::Class, C>);
        meta_.AddMessageHandler({Id, [](TObject* instance, TMessage& message) {
                                     (static_cast<typename Thunk::Class*>(instance)->*Handler)(
                                         message);
                                 }});
    }

private:
    template <class Reader> struct ReaderValue;
    template <auto Member> struct ReaderValue<FieldAccessor<Member>> {
        using Type = typename FieldAccessor<Member>::Value;
    };
    template <auto Function> struct ReaderValue<CallAccessor<Function>> {
        using Type = typename CallAccessor<Function>::Parts::Result;
    };

    TMetaClass& meta_;
};

} // namespace velbrin
