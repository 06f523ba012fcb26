#pragma once
// The component writer: the encodings of the form resource format, and the
// writing of a component's stored properties with them. Values take the
// smallest encoding that holds them.

#include "FormFormat.h"
#include "TFiler.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace velbrin {

class TComponent;
class TPersistent;
struct PropInfo;

class TWriter : public TFiler {
    VELBRIN_CLASS(TWriter, TFiler)

public:
    static constexpr std::int32_t DefaultBufferSize = 4096;

    TWriter(TStream& stream, std::int32_t bufferSize = DefaultBufferSize);
    // Writes out what is still buffered. Call FlushBuffer first to learn of a
    // failing stream: a destructor cannot report it.
    ~TWriter() override;

    void DeclareStoredValue(std::string_view name, const ValueReader& read,
                            const ValueWriter& write, bool hasData) override;
    void DeclareStoredBytes(std::string_view name, const BytesProc& read, const BytesProc& write,
                            bool hasData) override;
    // Hands the buffered bytes to the stream; EWriteError when it takes fewer.
    void FlushBuffer() override;

    // Primitive writes.
    void Write(const void* buffer, std::int32_t count);
    void WriteValue(TValueType value);
    void WriteInteger(std::int32_t value);
    void WriteFloat(long double value);
    void WriteString(std::string_view text);
    void WriteChar(char c);
    // A bare short string, cut to 255 bytes.
    void WriteStr(std::string_view text);
    // "False", "True" and "nil" in any letter case take their own codes.
    void WriteIdent(std::string_view ident);
    void WriteBoolean(bool value);
    // A set given by its element names, in the order given.
    void WriteSet(std::span<const std::string> names);
    // A set given by its bits, named by `elementType`, in ascending order.
    void WriteSetValue(std::uint32_t bits, const TypeInfo& elementType);
    void WriteBinary(const void* data, std::uint32_t size);
    void WriteListBegin();
    void WriteListEnd();
    void WriteSignature();
    // Writes a prefix only when a flag is set, the position only with ffChildPos.
    void WritePrefix(std::uint8_t flags, std::int32_t position);
    // The name of the property entry that follows, behind the current path.
    void WritePropertyName(std::string_view name);

    // The whole resource of `root`: signature, then the root's record.
    void WriteRootComponent(TComponent* root);
    // One component record: header, then the component's own state.
    void WriteComponent(TComponent* component);
    // A component's stored properties and its children, each list ended.
    void WriteData(TComponent* component);
    // The stored properties and pseudo-properties of `instance`.
    void WriteProperties(TPersistent* instance);

private:
    void WriteProperty(TPersistent* instance, const PropInfo& property);
    void WriteObjectProperty(TPersistent* instance, const PropInfo& property);

    std::string propertyPath_;
};

} // namespace velbrin
