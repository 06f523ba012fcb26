#pragma once
// The component reader: turns a form resource into live components. It pulls
// the stream through its buffer and, when it is freed, gives the bytes it did
// not consume back to the stream.

#include "Events.h"
#include "FormFormat.h"
#include "TFiler.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <typeinfo>
#include <vector>

namespace velbrin {

class TComponent;
class TList;
class TMetaClass;
class TPersistent;
struct PropInfo;

// A reference that could not be set while reading: property `property` of
// `instance` is to name component `name` of the root `rootName` (empty: the
// root being read).
struct TPropFixup {
    TPersistent* instance = nullptr;
    TComponent* instanceRoot = nullptr;
    const PropInfo* property = nullptr;
    std::string rootName;
    std::string name;
};

class TReader : public TFiler {
    VELBRIN_CLASS(TReader, TFiler)

public:
    static constexpr std::int32_t DefaultBufferSize = 4096;

    TReader(TStream& stream, std::int32_t bufferSize = DefaultBufferSize);
    ~TReader() override;

    void DeclareStoredValue(std::string_view name, const ValueReader& read,
                            const ValueWriter& write, bool hasData) override;
    void DeclareStoredBytes(std::string_view name, const BytesProc& read, const BytesProc& write,
                            bool hasData) override;
    // Gives the unread buffered bytes back: the stream then stands just behind
    // the last byte consumed.
    void FlushBuffer() override;

    // Offered every error of a property entry or child record that may be
    // survived; true drops the error and reading goes on.
    virtual bool Error(const std::string& message);
    // The code of the root's published method `name` whose parameters are
    // `signature`; invalid property value when there is none.
    virtual CodePointer ResolveMethod(TComponent* root, const std::string& name,
                                      const std::type_info* signature);
    // Names a component just created; OnNameRead may change the name first.
    virtual void SetName(TComponent* component, std::string& name);

    // Primitive reads.
    void Read(void* buffer, std::int32_t count);
    TValueType ReadValue();
    TValueType NextValue();
    bool EndOfList();
    void ReadListBegin();
    void ReadListEnd();
    std::int32_t ReadInteger();
    long double ReadFloat();
    std::string ReadString();
    std::string ReadStr();
    std::string ReadIdent();
    char ReadChar();
    bool ReadBoolean();
    void ReadSignature();
    void ReadPrefix(std::uint8_t& flags, std::int32_t& position);

    // Structure.
    TComponent* ReadRootObject(TComponent* root);
    TComponent* ReadChildObject(TComponent* component);
    void ReadBody(TComponent* instance);
    void ReadPropertyEntry(TPersistent* instance);
    void ReadPropertyValue(TPersistent* instance, const PropInfo& property);
    std::uint32_t ReadSetValue(const TypeInfo& elementType);
    void ReadCollectionValue(TPersistent* collection);
    void SkipValue();
    void SkipProperty();
    void SkipComponent(bool skipHeader);
    void ResolvePendingRefs();

    TComponent* Owner() const { return owner_; }
    TComponent* Parent() const { return parent_; }
    // The name of the property being read; empty once a declared pseudo-
    // property has consumed it.
    const std::string& PropertyName() const { return propertyName_; }

    TEvent<TReader*, const std::string&, CodePointer&, bool&> OnResolveMethod;
    TEvent<TReader*, TComponent*, std::string&> OnNameRead;
    TEvent<TReader*, const std::string&, bool&> OnError;

private:
    class NestingGuard;

    void Refill();
    void StepBack();
    [[noreturn]] void RaiseInvalidValue();
    // Steps back over the type byte just read, skips the value and raises.
    [[noreturn]] void SkipAndRaiseInvalidValue();
    void CheckValue(TValueType expected);
    void SkipBytes(std::uint32_t count);
    void SkipSetBody();
    void SkipCollectionBody();
    void ReadPropertyPath(TPersistent* instance, const std::string& path);
    void ReadBodyContents(TComponent* instance);
    void RecordFixup(TPersistent* instance, const PropInfo& property, const std::string& ident);
    TComponent* CreateChild(const std::string& className);
    const TMetaClass* FindFieldClassByName(const std::string& className) const;
    void ForgetLoaded(TComponent* component);

    TComponent* owner_ = nullptr;
    TComponent* parent_ = nullptr;
    std::optional<std::vector<TPropFixup>> fixups_;
    TList* loaded_ = nullptr;
    bool canHandleErrors_ = false;
    std::string propertyName_;
    int nesting_ = 0;
};

// Looks a root up by name; RootLookupHook() holds the one in use.
using RootLookup = TComponent* (*)(std::string_view name);
void SetRootLookupHook(RootLookup lookup);
RootLookup RootLookupHook();

// Sets the references to components of other roots whose root now exists.
void ResolveCrossRootRefs();
// Drops the pending references to other roots made while reading `root` (any
// root when null) to the root named `rootName` (any name when empty).
void DropPendingRefs(TComponent* root, std::string_view rootName);
// Drops every pending reference made for `object` or while reading it as a
// root; a component being freed calls it, so no reference outlives its target.
void ForgetPendingRefsOf(const TObject* object);
// The number of references to other roots not yet resolved.
std::size_t PendingCrossRootRefCount();
// `name`, or with the first free suffix "_1", "_2", ... when a root of that
// name exists; empty while no lookup hook is installed.
std::string MakeUniqueRootName(const std::string& name);

// Reads the form resources of the class chain of `instance`, below
// `rootAncestor`, ancestors first; false when there is none.
bool LoadClassResources(TComponent* instance, const TMetaClass& rootAncestor);
// Whether LoadClassResources would find a resource for a class from `cls`
// up to, not including, `rootAncestor`.
bool HasClassResources(const TMetaClass& cls, const TMetaClass& rootAncestor);
// Reads the RCDATA resource `resName` of the program into `instance` (created
// from the resource when null); false when there is no such resource.
bool ReadResourceByName(const char* resName, TComponent*& instance);
// Reads one root from `stream` into `instance` (created when null); the same
// as stream.LoadRootFromStream(instance).
TComponent* LoadRootFromStream(TStream& stream, TComponent* instance);

} // namespace velbrin
