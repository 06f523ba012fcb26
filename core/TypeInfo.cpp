#include "TypeInfo.h"

#include "runtime/Text.h"

#include <stdexcept>

namespace velbrin {

namespace {

OrdinalType SmallestUnsigned(std::int64_t maxValue) {
    if (maxValue <= 0xFF) {
        return OrdinalType::UByte;
    }
    return maxValue <= 0xFFFF ? OrdinalType::UWord : OrdinalType::SLong;
}

} // namespace

TypeInfo IntegerTypeInfo(std::string name, OrdinalType ordinalType, std::int32_t minValue,
                         std::int32_t maxValue) {
    TypeInfo type;
    type.kind = TypeKind::Integer;
    type.name = std::move(name);
    type.ordinalType = ordinalType;
    type.minValue = minValue;
    type.maxValue = maxValue;
    return type;
}

TypeInfo CharTypeInfo(std::string name) {
    TypeInfo type = IntegerTypeInfo(std::move(name), OrdinalType::UByte, 0, 255);
    type.kind = TypeKind::Char;
    return type;
}

TypeInfo EnumerationTypeInfo(std::string name, std::initializer_list<const char*> names) {
    if (names.size() == 0) {
        throw std::logic_error("an enumeration needs at least one element");
    }
    TypeInfo type;
    type.kind = TypeKind::Enumeration;
    type.name = std::move(name);
    type.names.assign(names.begin(), names.end());
    type.minValue = 0;
    type.maxValue = static_cast<std::int32_t>(names.size()) - 1;
    type.ordinalType = SmallestUnsigned(type.maxValue);
    return type;
}

TypeInfo SetTypeInfo(std::string name, const TypeInfo& element) {
    if (element.kind != TypeKind::Enumeration || element.maxValue > 31) {
        throw std::logic_error("a set's elements are an enumeration of at most 32 names");
    }
    TypeInfo type;
    type.kind = TypeKind::Set;
    type.name = std::move(name);
    type.elementType = &element;
    const int bits = element.maxValue + 1;
    type.ordinalType = bits <= 8    ? OrdinalType::UByte
                       : bits <= 16 ? OrdinalType::UWord
                                    : OrdinalType::SLong;
    return type;
}

TypeInfo FloatTypeInfo(std::string name, FloatType floatType) {
    TypeInfo type;
    type.kind = TypeKind::Float;
    type.name = std::move(name);
    type.floatType = floatType;
    return type;
}

TypeInfo ShortStringTypeInfo(std::string name, std::uint8_t maxLength) {
    TypeInfo type;
    type.kind = TypeKind::ShortString;
    type.name = std::move(name);
    type.maxLength = maxLength;
    return type;
}

TypeInfo LongStringTypeInfo(std::string name) {
    TypeInfo type;
    type.kind = TypeKind::LongString;
    type.name = std::move(name);
    return type;
}

int OrdinalSize(OrdinalType type) {
    switch (type) {
    case OrdinalType::SByte:
    case OrdinalType::UByte:
        return 1;
    case OrdinalType::SWord:
    case OrdinalType::UWord:
        return 2;
    case OrdinalType::SLong:
        break;
    }
    return 4;
}

int FloatSize(FloatType type) {
    switch (type) {
    case FloatType::Single:
        return sizeof(float);
    case FloatType::Extended:
        return sizeof(long double);
    case FloatType::Double:
    case FloatType::Comp:
    case FloatType::Currency:
        break;
    }
    return 8;
}

std::int32_t FitOrdinal(std::int32_t value, OrdinalType type) {
    switch (type) {
    case OrdinalType::SByte:
        return static_cast<std::int8_t>(value);
    case OrdinalType::UByte:
        return static_cast<std::uint8_t>(value);
    case OrdinalType::SWord:
        return static_cast<std::int16_t>(value);
    case OrdinalType::UWord:
        return static_cast<std::uint16_t>(value);
    case OrdinalType::SLong:
        break;
    }
    return value;
}

int EnumValueOf(const TypeInfo& type, std::string_view name) {
    if (name.empty()) {
        return -1;
    }
    for (std::size_t i = 0; i < type.names.size(); ++i) {
        if (AsciiSameText(type.names[i], name)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::string EnumNameOf(const TypeInfo& type, int value) {
    if (value < 0 || static_cast<std::size_t>(value) >= type.names.size()) {
        return {};
    }
    if (&type == &BooleanType()) {
        return value == 0 ? "false" : "true";
    }
    return type.names[static_cast<std::size_t>(value)];
}

const TypeInfo& ShortintType() {
    static const TypeInfo type = IntegerTypeInfo("Shortint", OrdinalType::SByte, -128, 127);
    return type;
}

const TypeInfo& ByteType() {
    static const TypeInfo type = IntegerTypeInfo("Byte", OrdinalType::UByte, 0, 255);
    return type;
}

const TypeInfo& SmallintType() {
    static const TypeInfo type = IntegerTypeInfo("Smallint", OrdinalType::SWord, -32768, 32767);
    return type;
}

const TypeInfo& WordType() {
    static const TypeInfo type = IntegerTypeInfo("Word", OrdinalType::UWord, 0, 65535);
    return type;
}

const TypeInfo& LongintType() {
    static const TypeInfo type =
        IntegerTypeInfo("Longint", OrdinalType::SLong, INT32_MIN, INT32_MAX);
    return type;
}

const TypeInfo& CharType() {
    static const TypeInfo type = CharTypeInfo("Char");
    return type;
}

const TypeInfo& BooleanType() {
    static const TypeInfo type = EnumerationTypeInfo("Boolean", {"False", "True"});
    return type;
}

const TypeInfo& SingleType() {
    static const TypeInfo type = FloatTypeInfo("Single", FloatType::Single);
    return type;
}

const TypeInfo& DoubleType() {
    static const TypeInfo type = FloatTypeInfo("Double", FloatType::Double);
    return type;
}

const TypeInfo& ExtendedType() {
    static const TypeInfo type = FloatTypeInfo("Extended", FloatType::Extended);
    return type;
}

const TypeInfo& ShortStringType() {
    static const TypeInfo type = ShortStringTypeInfo("ShortString", 255);
    return type;
}

const TypeInfo& AnsiStringType() {
    static const TypeInfo type = LongStringTypeInfo("AnsiString");
    return type;
}

const TypeInfo& TypeInfoOf(std::int8_t*) {
    return ShortintType();
}
const TypeInfo& TypeInfoOf(std::uint8_t*) {
    return ByteType();
}
const TypeInfo& TypeInfoOf(std::int16_t*) {
    return SmallintType();
}
const TypeInfo& TypeInfoOf(std::uint16_t*) {
    return WordType();
}
const TypeInfo& TypeInfoOf(std::int32_t*) {
    return LongintType();
}
const TypeInfo& TypeInfoOf(char*) {
    return CharType();
}
const TypeInfo& TypeInfoOf(bool*) {
    return BooleanType();
}
const TypeInfo& TypeInfoOf(float*) {
    return SingleType();
}
const TypeInfo& TypeInfoOf(double*) {
    return DoubleType();
}
const TypeInfo& TypeInfoOf(long double*) {
    return ExtendedType();
}
const TypeInfo& TypeInfoOf(std::string*) {
    return AnsiStringType();
}

} // namespace velbrin
