#include "TWriter.h"

#include "IdentMaps.h"
#include "PropertyAccess.h"
#include "TCollection.h"
#include "TComponent.h"
#include "TMemoryStream.h"
#include "runtime/Exceptions.h"
#include "runtime/Text.h"

#include <algorithm>
#include <cstring>

namespace velbrin {

VELBRIN_DEFINE_CLASS(TWriter, TFiler, "Classes")

namespace {

template <class T> void WriteLittleEndian(TWriter& writer, T value) {
    std::uint8_t bytes[sizeof(T)];
    auto bits = static_cast<std::uint64_t>(value);
    for (std::uint8_t& byte : bytes) {
        byte = static_cast<std::uint8_t>(bits);
        bits >>= 8;
    }
    writer.Write(bytes, sizeof bytes);
}

// Restores the property path when a nested object's properties are written.
class PathScope {
public:
    PathScope(std::string& path, std::string_view name) : path_(path), saved_(path) {
        path_ += name;
        path_ += '.';
    }
    ~PathScope() { path_ = saved_; }
    PathScope(const PathScope&) = delete;
    PathScope& operator=(const PathScope&) = delete;

private:
    std::string& path_;
    std::string saved_;
};

} // namespace

TWriter::TWriter(TStream& stream, std::int32_t bufferSize) : TFiler(stream, bufferSize) {}

TWriter::~TWriter() {
    try {
        FlushBuffer();
    } catch (const Exception&) {
        // Reported to callers that flush explicitly; a destructor may not throw.
    }
}

void TWriter::FlushBuffer() {
    const std::int32_t count = bufferPosition_;
    bufferPosition_ = 0;
    stream_.WriteBuffer(buffer_.data(), count);
}

void TWriter::Write(const void* buffer, std::int32_t count) {
    const auto* in = static_cast<const char*>(buffer);
    while (count > 0) {
        if (bufferPosition_ == bufferSize_) {
            FlushBuffer();
        }
        const std::int32_t piece = std::min(count, bufferSize_ - bufferPosition_);
        std::memcpy(buffer_.data() + bufferPosition_, in, static_cast<std::size_t>(piece));
        bufferPosition_ += piece;
        in += piece;
        count -= piece;
    }
}

void TWriter::WriteValue(TValueType value) {
    Write(&value, 1);
}

void TWriter::WriteInteger(std::int32_t value) {
    if (value >= -128 && value <= 127) {
        WriteValue(ValInt8);
        WriteLittleEndian(*this, static_cast<std::int8_t>(value));
    } else if (value >= -32768 && value <= 32767) {
        WriteValue(ValInt16);
        WriteLittleEndian(*this, static_cast<std::int16_t>(value));
    } else {
        WriteValue(ValInt32);
        WriteLittleEndian(*this, value);
    }
}

void TWriter::WriteFloat(long double value) {
    WriteValue(ValExtended);
    const Extended80 bytes = ToExtended80(value);
    Write(bytes.data(), static_cast<std::int32_t>(bytes.size()));
}

void TWriter::WriteString(std::string_view text) {
    if (text.size() < 256) {
        WriteValue(ValString);
        WriteLittleEndian(*this, static_cast<std::uint8_t>(text.size()));
    } else {
        WriteValue(ValLString);
        WriteLittleEndian(*this, static_cast<std::uint32_t>(text.size()));
    }
    Write(text.data(), static_cast<std::int32_t>(text.size()));
}

void TWriter::WriteChar(char c) {
    WriteString(std::string_view(&c, 1));
}

void TWriter::WriteStr(std::string_view text) {
    const std::size_t length = std::min<std::size_t>(text.size(), 255);
    WriteLittleEndian(*this, static_cast<std::uint8_t>(length));
    Write(text.data(), static_cast<std::int32_t>(length));
}

void TWriter::WriteIdent(std::string_view ident) {
    if (AsciiSameText(ident, "False")) {
        WriteValue(ValFalse);
    } else if (AsciiSameText(ident, "True")) {
        WriteValue(ValTrue);
    } else if (AsciiSameText(ident, "nil")) {
        WriteValue(ValNil);
    } else {
        WriteValue(ValIdent);
        WriteStr(ident);
    }
}

void TWriter::WriteBoolean(bool value) {
    WriteValue(value ? ValTrue : ValFalse);
}

void TWriter::WriteSet(std::span<const std::string> names) {
    WriteValue(ValSet);
    for (const std::string& name : names) {
        WriteStr(name);
    }
    WriteStr("");
}

void TWriter::WriteSetValue(std::uint32_t bits, const TypeInfo& elementType) {
    WriteValue(ValSet);
    for (int element = 0; element < 32; ++element) {
        if ((bits & (1u << element)) == 0) {
            continue;
        }
        // An element without a name cannot be read back, and its empty name
        // would end the set early.
        if (const std::string name = EnumNameOf(elementType, element); !name.empty()) {
            WriteStr(name);
        }
    }
    WriteStr("");
}

void TWriter::WriteBinary(const void* data, std::uint32_t size) {
    WriteValue(ValBinary);
    WriteLittleEndian(*this, size);
    Write(data, static_cast<std::int32_t>(size));
}

void TWriter::WriteListBegin() {
    WriteValue(ValList);
}

void TWriter::WriteListEnd() {
    WriteValue(ValNull);
}

void TWriter::WriteSignature() {
    Write(FormSignature.data(), static_cast<std::int32_t>(FormSignature.size()));
}

void TWriter::WritePrefix(std::uint8_t flags, std::int32_t position) {
    flags &= 0x0F;
    if (flags == 0) {
        return;
    }
    const auto prefix = static_cast<std::uint8_t>(PrefixMarker | flags);
    Write(&prefix, 1);
    if ((flags & ffChildPos) != 0) {
        WriteInteger(position);
    }
}

void TWriter::WritePropertyName(std::string_view name) {
    WriteStr(propertyPath_ + std::string(name));
}

void TWriter::DeclareStoredValue(std::string_view name, const ValueReader&,
                                 const ValueWriter& write, bool hasData) {
    if (hasData && write) {
        WritePropertyName(name);
        write(*this);
    }
}

void TWriter::DeclareStoredBytes(std::string_view name, const BytesProc&, const BytesProc& write,
                                 bool hasData) {
    if (!hasData || !write) {
        return;
    }
    TMemoryStream data;
    write(data);
    WritePropertyName(name);
    WriteBinary(data.Memory(), static_cast<std::uint32_t>(data.Size()));
}

void TWriter::WriteRootComponent(TComponent* root) {
    SetRoot(root);
    WriteSignature();
    WriteComponent(root);
}

void TWriter::WriteComponent(TComponent* component) {
    WritePrefix(0, 0);
    WriteStr(component->ClassName());
    WriteStr(component->Name());
    component->IncludeState(csWriting);
    try {
        component->WriteOwnState(*this);
    } catch (...) {
        component->ExcludeState(csWriting);
        throw;
    }
    component->ExcludeState(csWriting);
}

void TWriter::WriteData(TComponent* component) {
    WriteProperties(component);
    WriteListEnd();
    if (!IgnoreChildren()) {
        component->EnumerateChildren([this](TComponent* child) { WriteComponent(child); });
    }
    WriteListEnd();
}

void TWriter::WriteProperties(TPersistent* instance) {
    for (const PropInfo* property : ListPropertyRecords(instance->ClassType())) {
        // A value the reader could not set back is not written; an object
        // without a setter still has its own properties written.
        const bool settable =
            property != nullptr && (property->write.kind != PropertyAccessor::Kind::None ||
                                    property->Type().kind == TypeKind::Class);
        if (settable && IsPropertyStored(instance, *property)) {
            WriteProperty(instance, *property);
        }
    }
    instance->DeclareStoredData(this);
}

void TWriter::WriteProperty(TPersistent* instance, const PropInfo& property) {
    const TypeInfo& type = property.Type();
    switch (type.kind) {
    case TypeKind::Integer:
    case TypeKind::Char:
    case TypeKind::Enumeration:
    case TypeKind::Set: {
        const std::int32_t value = GetOrdinalValue(instance, property);
        if (property.defaultValue != NoDefault && value == property.defaultValue) {
            return;
        }
        WritePropertyName(property.name);
        std::string ident;
        if (type.kind == TypeKind::Char) {
            WriteChar(static_cast<char>(value));
        } else if (type.kind == TypeKind::Enumeration) {
            WriteIdent(EnumNameOf(type, value));
        } else if (type.kind == TypeKind::Set) {
            WriteSetValue(static_cast<std::uint32_t>(value), *type.elementType);
        } else if (IntToIdentOf(type, value, ident)) {
            WriteIdent(ident);
        } else {
            WriteInteger(value);
        }
        return;
    }
    case TypeKind::Float:
        if (const long double value = GetFloatValue(instance, property); value != 0) {
            WritePropertyName(property.name);
            WriteFloat(value);
        }
        return;
    case TypeKind::ShortString:
    case TypeKind::LongString:
        if (const std::string value = GetStringValue(instance, property); !value.empty()) {
            WritePropertyName(property.name);
            WriteString(value);
        }
        return;
    case TypeKind::Method:
        if (const TMethod method = GetMethodValue(instance, property); method.Assigned()) {
            const std::string name =
                Root() ? PublishedMethodName(Root()->ClassType(), method.Code) : std::string();
            if (!name.empty()) {
                WritePropertyName(property.name);
                WriteIdent(name);
            }
        }
        return;
    case TypeKind::Class:
        return WriteObjectProperty(instance, property);
    default:
        return;
    }
}

void TWriter::WriteObjectProperty(TPersistent* instance, const PropInfo& property) {
    TObject* value = GetObjectValue(instance, property);
    if (value == nullptr) {
        return;
    }
    if (auto* component = dynamic_cast<TComponent*>(value)) {
        if (component->Name().empty()) {
            return;
        }
        WritePropertyName(property.name);
        if (component->Owner() == Root() || component->Owner() == nullptr) {
            WriteIdent(component->Name());
        } else {
            WriteIdent(component->Owner()->Name() + "." + component->Name());
        }
        return;
    }
    if (auto* collection = dynamic_cast<TCollection*>(value)) {
        WritePropertyName(property.name);
        WriteValue(ValCollection);
        const std::string savedPath = std::exchange(propertyPath_, std::string());
        for (std::int32_t i = 0; i < collection->Count(); ++i) {
            WriteListBegin();
            WriteProperties(collection->Items(i));
            WriteListEnd();
        }
        propertyPath_ = savedPath;
        WriteListEnd();
        return;
    }
    if (auto* persistent = dynamic_cast<TPersistent*>(value)) {
        PathScope scope(propertyPath_, property.name);
        WriteProperties(persistent);
    }
}

} // namespace velbrin
