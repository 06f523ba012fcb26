#pragma once
// Reading and writing published properties of any object by name, and finding
// published methods and fields. None of these raise on their own: a missing
// property is a null record, a missing method a null code; accessors may raise
// their own errors, which pass through.

#include "TObject.h"

#include <string>
#include <string_view>
#include <vector>

namespace velbrin {

// The property of that name (ASCII letter case ignored) declared by the class
// or its nearest ancestor; null when none.
const PropInfo* FindPropertyRecord(const TMetaClass& cls, std::string_view name);
// Every published property of the class, at its name index, the most derived
// declaration of each.
std::vector<const PropInfo*> ListPropertyRecords(const TMetaClass& cls);
bool IsPropertyStored(TObject* instance, const PropInfo& property);

// Ordinal kinds (integer, char, enumeration, set): the value is read at the
// width of the property's ordinal type and extended by its signedness.
std::int32_t GetOrdinalValue(TObject* instance, const PropInfo& property);
void SetOrdinalValue(TObject* instance, const PropInfo& property, std::int32_t value);
// Class kind. Setting an object that is not of the property's class stores null.
TObject* GetObjectValue(TObject* instance, const PropInfo& property);
void SetObjectValue(TObject* instance, const PropInfo& property, TObject* value);
// Short and long strings; a short string keeps at most its maximum length.
std::string GetStringValue(TObject* instance, const PropInfo& property);
void SetStringValue(TObject* instance, const PropInfo& property, const std::string& value);
long double GetFloatValue(TObject* instance, const PropInfo& property);
void SetFloatValue(TObject* instance, const PropInfo& property, long double value);
TMethod GetMethodValue(TObject* instance, const PropInfo& property);
void SetMethodValue(TObject* instance, const PropInfo& property, const TMethod& value);

// The published method of that name in the class or its ancestors.
const PublishedMethod* FindPublishedMethod(const TMetaClass& cls, std::string_view name);
CodePointer PublishedMethodAddress(const TMetaClass& cls, std::string_view name);
// The name of the published method with that code; empty when none.
std::string PublishedMethodName(const TMetaClass& cls, CodePointer code);
// The published field of that name in the class or its ancestors.
const PublishedField* FindPublishedField(const TMetaClass& cls, std::string_view name);

} // namespace velbrin
