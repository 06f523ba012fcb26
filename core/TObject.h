#pragma once
// The root of the library's classes and their class references.
//
// Every class declares itself with one line inside its body and its tables in
// its source, beside its definition:
//
//     class TLabel : public TGraphicControl {
//         VELBRIN_CLASS(TLabel, TGraphicControl)
//     ...
//     VELBRIN_DEFINE_CLASS_TABLES(TLabel, TGraphicControl, "StdCtrls") {
//         cls.Property("Caption", Field<&TLabel::caption_>, Call<&TLabel::SetCaption>);
//         cls.Property("Alignment", Field<&TLabel::alignment_>).Default(taLeftJustify);
//         cls.Handle<CM_TEXTCHANGED, &TLabel::CMTextChanged>();
//     }
//
// A class without tables writes VELBRIN_DEFINE_CLASS(Class, Parent, "Unit").
// ClassTables.h describes what a table line may say.

#include "TMethod.h"
#include "TypeInfo.h"

#include <windows.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace velbrin {

class TComponent;
class TMetaClass;
struct PropInfo;
template <class C> class ClassTables;

// A window message: its number, its two parameters and the handler's result.
struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

// What a property's accessor reads or writes, as far as the C++ value goes.
enum class ValueCategory : std::uint8_t { Ordinal, Object, String, Float, Method };

// One read, write or stored accessor of a property. Its thunk's signature
// follows from the category (see PropertyAccess.cpp); the thunk receives the
// instance and the property record, whose type says how wide an ordinal field
// is and whose index an indexed accessor gets.
struct PropertyAccessor {
    enum class Kind : std::uint8_t { None, Field, Call, Constant };
    Kind kind = Kind::None;
    ValueCategory category = ValueCategory::Ordinal;
    std::uint8_t fieldSize = 0; // Field: bytes of the C++ member
    bool integralField = false; // Field: the member is an integer
    bool indexed = false;       // Call: the accessor takes the property's index
    bool constant = false;      // Constant (stored accessors only)
    CodePointer thunk = nullptr;
};

inline constexpr std::int32_t NoIndex = INT32_MIN;
inline constexpr std::int32_t NoDefault = INT32_MIN;

// A published property of a class.
struct PropInfo {
    std::string name;
    TypeInfoFunction type = nullptr;
    PropertyAccessor read;
    PropertyAccessor write;
    PropertyAccessor stored{
        PropertyAccessor::Kind::Constant, ValueCategory::Ordinal, 0, false, false, true, nullptr};
    std::int32_t index = NoIndex;
    std::int32_t defaultValue = NoDefault;
    std::int16_t nameIndex = 0; // position among all published properties, inherited first
    const TMetaClass* owner = nullptr;

    const TypeInfo& Type() const { return type(); }
};

// A published method: its name, its thunk and the parameter list the thunk
// expects, so an event is bound only to a handler of its own shape.
struct PublishedMethod {
    std::string name;
    CodePointer code = nullptr;
    const std::type_info* signature = nullptr;
};

// A published field: a reference to a component the instance's class names.
struct PublishedField {
    std::string name;
    const TMetaClass& (*fieldClass)() = nullptr;
    TObject* (*get)(TObject* instance) = nullptr;
    // Stores `value` when it is null or of the field's class, else null.
    void (*set)(TObject* instance, TObject* value) = nullptr;
};

struct MessageHandler {
    UINT id = 0;
    void (*handler)(TObject* instance, TMessage& message) = nullptr;
};

// A class reference: the class's name, parent and unit, how to construct an
// instance with an owner, and its published and message tables.
class TMetaClass {
public:
    using Factory = TObject* (*)(TComponent* owner);
    using Describe = void (*)(TMetaClass& meta);

    TMetaClass(const char* name, const TMetaClass* parent, const char* unitName, Factory factory,
               Describe describe = nullptr);
    TMetaClass(const TMetaClass&) = delete;
    TMetaClass& operator=(const TMetaClass&) = delete;

    const char* Name() const { return name_; }
    const TMetaClass* Parent() const { return parent_; }
    const char* UnitName() const { return unitName_; }

    // True when this class is `other` or descends from it.
    bool InheritsFrom(const TMetaClass& other) const;

    // Constructs an instance (virtual construction: the class's own
    // constructor runs, then the instance's AfterConstruction). Classes that
    // take no owner ignore it. Raises EInvalidOperation for a class that
    // cannot be constructed (abstract). `noteMade` hears of the instance
    // before its AfterConstruction, which may need it known; when that
    // raises, the instance is freed and the exception passes on.
    TObject* Construct(TComponent* owner, const std::function<void(TObject*)>& noteMade = {}) const;
    bool CanConstruct() const { return factory_ != nullptr; }

    // The class's type information (kind class).
    const TypeInfo& ClassTypeInfo() const { return typeInfo_; }
    // The properties this class declares, in declaration order.
    const std::deque<PropInfo>& DeclaredProperties() const { return properties_; }
    // The number of published properties including the inherited ones.
    int PropertyCount() const { return propertyCount_; }
    const std::vector<PublishedMethod>& DeclaredMethods() const { return methods_; }
    const std::vector<PublishedField>& DeclaredFields() const { return fields_; }
    const MessageHandler* FindDeclaredHandler(UINT id) const;
    // The handler for `id` that this class declares, else the nearest
    // ancestor's; null when no class of the chain handles it.
    const MessageHandler* FindHandler(UINT id) const;

    // Table building, used by ClassTables while the class reference is made.
    PropInfo& AddProperty(PropInfo property);
    void AddMethod(PublishedMethod method);
    void AddField(PublishedField field);
    void AddMessageHandler(MessageHandler handler);

private:
    void CheckProperty(const PropInfo& property) const;

    const char* name_;
    const TMetaClass* parent_;
    const char* unitName_;
    Factory factory_;
    TypeInfo typeInfo_;
    std::deque<PropInfo> properties_;
    int propertyCount_ = 0;
    std::vector<PublishedMethod> methods_;
    std::vector<PublishedField> fields_;
    std::vector<MessageHandler> handlers_;
    // Every number the chain handles with its nearest handler, by number;
    // made at the first look-up, when every table of the chain is complete
    // (a class's tables are made before any instance exists).
    mutable std::vector<MessageHandler> chainHandlers_;
    mutable bool chainHandlersMade_ = false;
};

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    static const TMetaClass& StaticClass();
    virtual const TMetaClass& ClassType() const { return StaticClass(); }

    const char* ClassName() const { return ClassType().Name(); }
    bool InheritsFrom(const TMetaClass& other) const { return ClassType().InheritsFrom(other); }
    template <class T> bool Is() const { return InheritsFrom(T::StaticClass()); }

    // Hands `message` to the handler for its number that the class chain
    // declares nearest to this object's class, else to DefaultHandler.
    void Dispatch(TMessage& message);
    // What happens to a message no class handles; nothing by default.
    virtual void DefaultHandler(TMessage& message);

    // Runs when the object is freed through Free, before its destructor,
    // while every class of it is still whole: what the handlers of a
    // descendant must hear of (a form's OnDestroy) belongs here, not in a
    // destructor.
    virtual void BeforeDestruction() {}
    // Runs when a class reference constructed the object, after the
    // constructors of all its classes: what needs the whole object (a form
    // reading its resource into its fields) belongs here.
    virtual void AfterConstruction() {}
    // BeforeDestruction, then delete; nothing for null. Owners free what they
    // own this way.
    static void Free(TObject* object);

protected:
    // Dispatch starting at class `from` (null: straight to DefaultHandler).
    // Handlers reach it through Inherited(message), which VELBRIN_CLASS declares.
    void DispatchFrom(const TMetaClass* from, TMessage& message);
};

// How a class reference constructs class C: with an owner when C takes one,
// without when it takes none, not at all when C is abstract.
template <class C> TMetaClass::Factory FactoryFor() {
    if constexpr (std::is_abstract_v<C>) {
        return nullptr;
    } else if constexpr (std::is_constructible_v<C, TComponent*>) {
        return [](TComponent* owner) -> TObject* { return new C(owner); };
    } else if constexpr (std::is_default_constructible_v<C>) {
        return [](TComponent*) -> TObject* { return new C(); };
    } else {
        return nullptr;
    }
}

} // namespace velbrin

// Inside the class body. Inherited(message), called from a message handler,
// passes the message on to the nearest ancestor's handler for its number.
#define VELBRIN_CLASS(Class, ParentClass)                                                          \
public:                                                                                            \
    static const ::velbrin::TMetaClass& StaticClass();                                             \
    const ::velbrin::TMetaClass& ClassType() const override {                                      \
        return StaticClass();                                                                      \
    }                                                                                              \
                                                                                                   \
protected:                                                                                         \
    void Inherited(::velbrin::TMessage& message) {                                                 \
        DispatchFrom(Class::StaticClass().Parent(), message);                                      \
    }                                                                                              \
                                                                                                   \
private:                                                                                           \
    static void DescribeClass(::velbrin::ClassTables<Class>& cls);

// In the class's source, followed by the body of its table description, in
// which `cls` is the ClassTables<Class> being filled.
#define VELBRIN_DEFINE_CLASS_TABLES(Class, ParentClass, Unit)                                      \
    const ::velbrin::TMetaClass& Class::StaticClass() {                                            \
        static_assert(std::is_base_of_v<ParentClass, Class>);                                      \
        static const ::velbrin::TMetaClass meta(#Class, &ParentClass::StaticClass(), Unit,         \
                                                ::velbrin::FactoryFor<Class>(),                    \
                                                [](::velbrin::TMetaClass& m) {                     \
                                                    ::velbrin::ClassTables<Class> tables(m);       \
                                                    Class::DescribeClass(tables);                  \
                                                });                                                \
        return meta;                                                                               \
    }                                                                                              \
    void Class::DescribeClass([[maybe_unused]] ::velbrin::ClassTables<Class>& cls)

// In the class's source, for a class that publishes nothing of its own.
#define VELBRIN_DEFINE_CLASS(Class, ParentClass, Unit)                                             \
    VELBRIN_DEFINE_CLASS_TABLES(Class, ParentClass, Unit) {}

#include "ClassTables.h"
