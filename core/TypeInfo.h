#pragma once
// Type information of published properties: what kind of value a property
// holds, how wide its ordinal field is, which names an enumeration has.
//
// Types are handed around as functions returning a reference to a
// function-local object (`const TypeInfo& ColorType()`), so a class table may
// name a type defined in any other source without caring for the order in
// which static objects are built.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <typeinfo>
#include <vector>

namespace velbrin {

class TMetaClass;

enum class TypeKind : std::uint8_t {
    Unknown = 0,
    Integer = 1,
    Char = 2,
    Enumeration = 3,
    Float = 4,
    ShortString = 5,
    Set = 6,
    Class = 7,
    Method = 8,
    LongString = 10,
};

// The width and signedness of an ordinal value in memory.
enum class OrdinalType : std::uint8_t { SByte, UByte, SWord, UWord, SLong };

// The representation of a float value in memory: single, double, 80-bit
// extended, a 64-bit integer count, or a 64-bit integer in units of 1/10000.
enum class FloatType : std::uint8_t { Single, Double, Extended, Comp, Currency };

struct TypeInfo {
    TypeKind kind = TypeKind::Unknown;
    std::string name;
    OrdinalType ordinalType = OrdinalType::SLong; // integer, char, enumeration, set
    std::int32_t minValue = 0;                    // integer, char, enumeration
    std::int32_t maxValue = 0;                    // integer, char, enumeration
    const TypeInfo* elementType = nullptr;        // set: the element enumeration
    std::vector<std::string> names;               // enumeration: values 0 to maxValue
    FloatType floatType = FloatType::Double;      // float
    std::uint8_t maxLength = 255;                 // short string
    const TMetaClass* classType = nullptr;        // class
    const std::type_info* signature = nullptr;    // method: the handler's parameter list
};

using TypeInfoFunction = const TypeInfo& (*)();

TypeInfo IntegerTypeInfo(std::string name, OrdinalType ordinalType, std::int32_t minValue,
                         std::int32_t maxValue);
TypeInfo CharTypeInfo(std::string name);
// An enumeration of the given element names, valued 0, 1, ... in order.
TypeInfo EnumerationTypeInfo(std::string name, std::initializer_list<const char*> names);
// A set of the elements of `element` (an enumeration of at most 32 names).
TypeInfo SetTypeInfo(std::string name, const TypeInfo& element);
TypeInfo FloatTypeInfo(std::string name, FloatType floatType);
TypeInfo ShortStringTypeInfo(std::string name, std::uint8_t maxLength);
TypeInfo LongStringTypeInfo(std::string name);

// The number of bytes an ordinal value of this type occupies (1, 2 or 4).
int OrdinalSize(OrdinalType type);
// The number of bytes a float value of this type occupies.
int FloatSize(FloatType type);
// Cuts `value` to the width of `type`, extending its sign for the signed types.
std::int32_t FitOrdinal(std::int32_t value, OrdinalType type);

// The position of `name` among the enumeration's names (ASCII letter case
// ignored), or -1 for the empty name and for a name that is no element.
int EnumValueOf(const TypeInfo& type, std::string_view name);
// The name of element `value`; the empty text when `value` is out of range.
// Boolean's names come out in lower case ("false", "true").
std::string EnumNameOf(const TypeInfo& type, int value);

// The standard types.
const TypeInfo& ShortintType();
const TypeInfo& ByteType();
const TypeInfo& SmallintType();
const TypeInfo& WordType();
const TypeInfo& LongintType();
const TypeInfo& CharType();
const TypeInfo& BooleanType();
const TypeInfo& SingleType();
const TypeInfo& DoubleType();
const TypeInfo& ExtendedType();
const TypeInfo& ShortStringType();
const TypeInfo& AnsiStringType();

// The type a published field or accessor of C++ type T has unless the class
// table names another. Enumerations declare their own overload beside them:
//     const TypeInfo& TypeInfoOf(TScrollStyle*);
const TypeInfo& TypeInfoOf(std::int8_t*);
const TypeInfo& TypeInfoOf(std::uint8_t*);
const TypeInfo& TypeInfoOf(std::int16_t*);
const TypeInfo& TypeInfoOf(std::uint16_t*);
const TypeInfo& TypeInfoOf(std::int32_t*);
const TypeInfo& TypeInfoOf(char*);
const TypeInfo& TypeInfoOf(bool*);
const TypeInfo& TypeInfoOf(float*);
const TypeInfo& TypeInfoOf(double*);
const TypeInfo& TypeInfoOf(long double*);
const TypeInfo& TypeInfoOf(std::string*);

} // namespace velbrin
