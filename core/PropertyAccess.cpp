#include "PropertyAccess.h"

#include "ClassTables.h"
#include "runtime/Text.h"

#include <cmath>
#include <cstring>

namespace velbrin {

namespace {

using Kind = PropertyAccessor::Kind;
using AddressThunk = void* (*)(TObject*);

void* FieldAddress(TObject* instance, const PropertyAccessor& accessor) {
    return reinterpret_cast<AddressThunk>(accessor.thunk)(instance);
}

template <class Value> Value CallGetter(TObject* instance, const PropInfo& property) {
    return reinterpret_cast<GetThunk<Value>>(property.read.thunk)(instance, property);
}

template <class Value>
void CallSetter(TObject* instance, const PropInfo& property, const Value& value) {
    reinterpret_cast<SetThunk<Value>>(property.write.thunk)(instance, property, value);
}

// Reads and writes through typed thunks, for the categories whose fields
// are not reached by address.
template <class Value> Value GetTyped(TObject* instance, const PropInfo& property) {
    return property.read.kind == Kind::None ? Value{} : CallGetter<Value>(instance, property);
}

template <class Value>
void SetTyped(TObject* instance, const PropInfo& property, const Value& value) {
    if (property.write.kind != Kind::None) {
        CallSetter<Value>(instance, property, value);
    }
}

std::int32_t ReadOrdinalField(const void* address, OrdinalType type) {
    std::int32_t raw = 0;
    std::memcpy(&raw, address, static_cast<std::size_t>(OrdinalSize(type)));
    return FitOrdinal(raw, type);
}

void WriteOrdinalField(void* address, OrdinalType type, std::int32_t value) {
    std::memcpy(address, &value, static_cast<std::size_t>(OrdinalSize(type)));
}

template <class T> T LoadAs(const void* address) {
    T value;
    std::memcpy(&value, address, sizeof value);
    return value;
}

template <class T> void StoreAs(void* address, T value) {
    std::memcpy(address, &value, sizeof value);
}

long double ReadFloatField(const void* address, FloatType type) {
    switch (type) {
    case FloatType::Single:
        return LoadAs<float>(address);
    case FloatType::Double:
        return LoadAs<double>(address);
    case FloatType::Extended:
        return LoadAs<long double>(address);
    case FloatType::Comp:
        return static_cast<long double>(LoadAs<std::int64_t>(address));
    case FloatType::Currency:
        break;
    }
    return static_cast<long double>(LoadAs<std::int64_t>(address)) / 10000;
}

// A value beyond the range of a 64-bit field saturates instead of being
// converted with undefined behaviour.
std::int64_t RoundToInt64(long double value) {
    if (std::isnan(value)) {
        return 0;
    }
    constexpr long double limit = 9223372036854775807.0L;
    if (value >= limit) {
        return INT64_MAX;
    }
    if (value <= -limit) {
        return INT64_MIN;
    }
    return std::llroundl(value);
}

void WriteFloatField(void* address, FloatType type, long double value) {
    switch (type) {
    case FloatType::Single:
        return StoreAs(address, static_cast<float>(value));
    case FloatType::Double:
        return StoreAs(address, static_cast<double>(value));
    case FloatType::Extended:
        return StoreAs(address, value);
    case FloatType::Comp:
        return StoreAs(address, RoundToInt64(value));
    case FloatType::Currency:
        break;
    }
    StoreAs(address, RoundToInt64(value * 10000));
}

} // namespace

const PropInfo* FindPropertyRecord(const TMetaClass& cls, std::string_view name) {
    for (const TMetaClass* c = &cls; c != nullptr; c = c->Parent()) {
        for (const PropInfo& property : c->DeclaredProperties()) {
            if (AsciiSameText(property.name, name)) {
                return &property;
            }
        }
    }
    return nullptr;
}

std::vector<const PropInfo*> ListPropertyRecords(const TMetaClass& cls) {
    std::vector<const PropInfo*> list(static_cast<std::size_t>(cls.PropertyCount()), nullptr);
    for (const TMetaClass* c = &cls; c != nullptr; c = c->Parent()) {
        for (const PropInfo& property : c->DeclaredProperties()) {
            const PropInfo*& slot = list[static_cast<std::size_t>(property.nameIndex)];
            if (slot == nullptr) {
                slot = &property;
            }
        }
    }
    return list;
}

bool IsPropertyStored(TObject* instance, const PropInfo& property) {
    switch (property.stored.kind) {
    case Kind::None:
        return false;
    case Kind::Constant:
        return property.stored.constant;
    case Kind::Field:
    case Kind::Call:
        break;
    }
    return reinterpret_cast<StoredThunk>(property.stored.thunk)(instance, property);
}

std::int32_t GetOrdinalValue(TObject* instance, const PropInfo& property) {
    const OrdinalType type = property.Type().ordinalType;
    switch (property.read.kind) {
    case Kind::Field:
        return ReadOrdinalField(FieldAddress(instance, property.read), type);
    case Kind::Call:
        return FitOrdinal(CallGetter<std::int32_t>(instance, property), type);
    default:
        return 0;
    }
}

void SetOrdinalValue(TObject* instance, const PropInfo& property, std::int32_t value) {
    const OrdinalType type = property.Type().ordinalType;
    switch (property.write.kind) {
    case Kind::Field:
        return WriteOrdinalField(FieldAddress(instance, property.write), type, value);
    case Kind::Call:
        return CallSetter<std::int32_t>(instance, property, FitOrdinal(value, type));
    default:
        return;
    }
}

TObject* GetObjectValue(TObject* instance, const PropInfo& property) {
    return GetTyped<TObject*>(instance, property);
}

void SetObjectValue(TObject* instance, const PropInfo& property, TObject* value) {
    SetTyped<TObject*>(instance, property, value);
}

std::string GetStringValue(TObject* instance, const PropInfo& property) {
    return GetTyped<std::string>(instance, property);
}

void SetStringValue(TObject* instance, const PropInfo& property, const std::string& value) {
    const TypeInfo& type = property.Type();
    if (type.kind == TypeKind::ShortString && value.size() > type.maxLength) {
        SetTyped<std::string>(instance, property, value.substr(0, type.maxLength));
    } else {
        SetTyped<std::string>(instance, property, value);
    }
}

long double GetFloatValue(TObject* instance, const PropInfo& property) {
    switch (property.read.kind) {
    case Kind::Field:
        return ReadFloatField(FieldAddress(instance, property.read), property.Type().floatType);
    case Kind::Call:
        return CallGetter<long double>(instance, property);
    default:
        return 0;
    }
}

void SetFloatValue(TObject* instance, const PropInfo& property, long double value) {
    switch (property.write.kind) {
    case Kind::Field:
        return WriteFloatField(FieldAddress(instance, property.write), property.Type().floatType,
                               value);
    case Kind::Call:
        return CallSetter<long double>(instance, property, value);
    default:
        return;
    }
}

TMethod GetMethodValue(TObject* instance, const PropInfo& property) {
    return GetTyped<TMethod>(instance, property);
}

void SetMethodValue(TObject* instance, const PropInfo& property, const TMethod& value) {
    SetTyped<TMethod>(instance, property, value);
}

const PublishedMethod* FindPublishedMethod(const TMetaClass& cls, std::string_view name) {
    for (const TMetaClass* c = &cls; c != nullptr; c = c->Parent()) {
        for (const PublishedMethod& method : c->DeclaredMethods()) {
            if (AsciiSameText(method.name, name)) {
                return &method;
            }
        }
    }
    return nullptr;
}

CodePointer PublishedMethodAddress(const TMetaClass& cls, std::string_view name) {
    const PublishedMethod* method = FindPublishedMethod(cls, name);
    return method ? method->code : nullptr;
}

std::string PublishedMethodName(const TMetaClass& cls, CodePointer code) {
    for (const TMetaClass* c = &cls; c != nullptr && code != nullptr; c = c->Parent()) {
        for (const PublishedMethod& method : c->DeclaredMethods()) {
            if (method.code == code) {
                return method.name;
            }
        }
    }
    return {};
}

const PublishedField* FindPublishedField(const TMetaClass& cls, std::string_view name) {
    for (const TMetaClass* c = &cls; c != nullptr; c = c->Parent()) {
        for (const PublishedField& field : c->DeclaredFields()) {
            if (AsciiSameText(field.name, name)) {
                return &field;
            }
        }
    }
    return nullptr;
}

} // namespace velbrin
