#include "TObject.h"

#include "runtime/Exceptions.h"
#include "runtime/Text.h"

#include <algorithm>
#include <stdexcept>

namespace velbrin {

namespace {

ValueCategory CategoryOfKind(TypeKind kind) {
    switch (kind) {
    case TypeKind::Float:
        return ValueCategory::Float;
    case TypeKind::ShortString:
    case TypeKind::LongString:
        return ValueCategory::String;
    case TypeKind::Class:
        return ValueCategory::Object;
    case TypeKind::Method:
        return ValueCategory::Method;
    default:
        return ValueCategory::Ordinal;
    }
}

[[noreturn]] void RefuseProperty(const char* className, const PropInfo& property,
                                 const char* reason) {
    throw std::logic_error(std::string(className) + "." + property.name + ": " + reason);
}

} // namespace

TMetaClass::TMetaClass(const char* name, const TMetaClass* parent, const char* unitName,
                       Factory factory, Describe describe)
    : name_(name), parent_(parent), unitName_(unitName), factory_(factory),
      propertyCount_(parent ? parent->propertyCount_ : 0) {
    typeInfo_.kind = TypeKind::Class;
    typeInfo_.name = name;
    typeInfo_.classType = this;
    if (describe != nullptr) {
        describe(*this);
    }
    for (const PropInfo& property : properties_) {
        CheckProperty(property);
    }
}

bool TMetaClass::InheritsFrom(const TMetaClass& other) const {
    for (const TMetaClass* c = this; c != nullptr; c = c->parent_) {
        if (c == &other) {
            return true;
        }
    }
    return false;
}

TObject* TMetaClass::Construct(TComponent* owner,
                               const std::function<void(TObject*)>& noteMade) const {
    if (factory_ == nullptr) {
        throw EInvalidOperation(std::string("class ") + name_ + " cannot be constructed");
    }
    TObject* made = factory_(owner);
    if (noteMade) {
        noteMade(made);
    }
    try {
        made->AfterConstruction();
    } catch (...) {
        TObject::Free(made);
        throw;
    }
    return made;
}

const MessageHandler* TMetaClass::FindDeclaredHandler(UINT id) const {
    for (const MessageHandler& handler : handlers_) {
        if (handler.id == id) {
            return &handler;
        }
    }
    return nullptr;
}

// Every message a control receives is looked up here, most of them in
// vain: one search of a sorted table replaces a walk of every class's list.
const MessageHandler* TMetaClass::FindHandler(UINT id) const {
    if (!chainHandlersMade_) {
        // Nearest class first, each in declaration order; the stable sort
        // keeps that order among equal numbers, so the first of each stays.
        for (const TMetaClass* c = this; c != nullptr; c = c->Parent()) {
            chainHandlers_.insert(chainHandlers_.end(), c->handlers_.begin(), c->handlers_.end());
        }
        const auto byNumber = [](const MessageHandler& a, const MessageHandler& b) {
            return a.id < b.id;
        };
        std::stable_sort(chainHandlers_.begin(), chainHandlers_.end(), byNumber);
        const auto sameNumber = [](const MessageHandler& a, const MessageHandler& b) {
            return a.id == b.id;
        };
        chainHandlers_.erase(std::unique(chainHandlers_.begin(), chainHandlers_.end(), sameNumber),
                             chainHandlers_.end());
        chainHandlersMade_ = true;
    }
    const auto found = std::lower_bound(
        chainHandlers_.begin(), chainHandlers_.end(), id,
        [](const MessageHandler& handler, UINT wanted) { return handler.id < wanted; });
    return found != chainHandlers_.end() && found->id == id ? &*found : nullptr;
}

// Catches, when the class reference is made, an accessor whose C++ type does
// not fit the property's type: reading such a property would otherwise touch
// the wrong number of bytes.
void TMetaClass::CheckProperty(const PropInfo& property) const {
    if (property.read.kind == PropertyAccessor::Kind::None) {
        RefuseProperty(name_, property, "a published property needs a reader");
    }
    // A class type is not looked at here: the class it names may be this
    // one's descendant, whose class reference is not yet made.
    if (property.read.category == ValueCategory::Object) {
        if (property.write.kind != PropertyAccessor::Kind::None &&
            property.write.category != ValueCategory::Object) {
            RefuseProperty(name_, property, "reader and writer disagree");
        }
        return;
    }
    const TypeInfo& type = property.Type();
    const ValueCategory category = CategoryOfKind(type.kind);
    for (const PropertyAccessor* accessor : {&property.read, &property.write}) {
        if (accessor->kind == PropertyAccessor::Kind::None) {
            continue;
        }
        if (accessor->category != category) {
            RefuseProperty(name_, property, "the accessor's type does not fit the property's");
        }
        if (accessor->kind == PropertyAccessor::Kind::Field) {
            const bool fits =
                category == ValueCategory::Ordinal
                    ? accessor->fieldSize == OrdinalSize(type.ordinalType)
                : category == ValueCategory::Float
                    ? accessor->fieldSize == FloatSize(type.floatType) &&
                          accessor->integralField == (type.floatType == FloatType::Comp ||
                                                      type.floatType == FloatType::Currency)
                    : true;
            if (!fits) {
                RefuseProperty(name_, property,
                               "the field's size does not fit the property's type");
            }
        }
        if (accessor->indexed && property.index == NoIndex) {
            RefuseProperty(name_, property, "an indexed accessor needs an index");
        }
    }
}

PropInfo& TMetaClass::AddProperty(PropInfo property) {
    property.owner = this;
    property.nameIndex = -1;
    // A redeclared property keeps its ancestor's place, so that it hides the
    // inherited record in the full list.
    for (const TMetaClass* c = parent_; c != nullptr && property.nameIndex < 0; c = c->parent_) {
        for (const PropInfo& inherited : c->properties_) {
            if (AsciiSameText(inherited.name, property.name)) {
                property.nameIndex = inherited.nameIndex;
                break;
            }
        }
    }
    if (property.nameIndex < 0) {
        property.nameIndex = static_cast<std::int16_t>(propertyCount_++);
    }
    properties_.push_back(std::move(property));
    return properties_.back();
}

void TMetaClass::AddMethod(PublishedMethod method) {
    methods_.push_back(std::move(method));
}

void TMetaClass::AddField(PublishedField field) {
    fields_.push_back(std::move(field));
}

void TMetaClass::AddMessageHandler(MessageHandler handler) {
    handlers_.push_back(handler);
}

const TMetaClass& TObject::StaticClass() {
    static const TMetaClass meta("TObject", nullptr, "System", nullptr);
    return meta;
}

void TObject::Dispatch(TMessage& message) {
    DispatchFrom(&ClassType(), message);
}

void TObject::DefaultHandler(TMessage&) {}

void TObject::Free(TObject* object) {
    if (object == nullptr) {
        return;
    }
    object->BeforeDestruction();
    delete object;
}

void TObject::DispatchFrom(const TMetaClass* from, TMessage& message) {
    if (const MessageHandler* handler =
            from != nullptr ? from->FindHandler(message.Msg) : nullptr) {
        handler->handler(this, message);
        return;
    }
    DefaultHandler(message);
}

} // namespace velbrin
