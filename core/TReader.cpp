#include "TReader.h"

#include "ClassRegistry.h"
#include "IdentMaps.h"
#include "PropertyAccess.h"
#include "TCollection.h"
#include "TComponent.h"
#include "TList.h"
#include "TMemoryStream.h"
#include "TResourceStream.h"
#include "TStream.h"
#include "runtime/Exceptions.h"
#include "runtime/Messages.h"
#include "runtime/Text.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace velbrin {

VELBRIN_DEFINE_CLASS(TReader, TFiler, "Classes")

namespace {

// Deeper nesting of components, lists or collections than this is taken for
// a damaged resource rather than followed down the machine stack.
constexpr int MaxNesting = 200;

// Strings and binary data are read in pieces of this size, so that a damaged
// length field costs no more memory than the bytes actually present.
constexpr std::uint32_t ReadPiece = 65536;

struct ReaderGlobals {
    std::vector<TPropFixup> fixups;
    TList* loaded = nullptr;
    std::vector<TList*> loadedStack;
    RootLookup rootLookup = nullptr;
};

ReaderGlobals& Globals() {
    static ReaderGlobals globals;
    return globals;
}

std::string InstanceName(TPersistent* instance) {
    if (auto* component = dynamic_cast<TComponent*>(instance);
        component && !component->Name().empty()) {
        return component->Name();
    }
    return instance->ClassName();
}

std::string UpperAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

bool IsIntegerCode(TValueType value) {
    return value == ValInt8 || value == ValInt16 || value == ValInt32;
}

} // namespace

class TReader::NestingGuard {
public:
    explicit NestingGuard(TReader& reader) : reader_(reader) {
        if (++reader_.nesting_ > MaxNesting) {
            --reader_.nesting_;
            throw ResourceError<EReadError>(SInvalidImage);
        }
    }
    ~NestingGuard() { --reader_.nesting_; }
    NestingGuard(const NestingGuard&) = delete;
    NestingGuard& operator=(const NestingGuard&) = delete;

private:
    TReader& reader_;
};

TReader::TReader(TStream& stream, std::int32_t bufferSize) : TFiler(stream, bufferSize) {}

TReader::~TReader() {
    FlushBuffer();
}

void TReader::FlushBuffer() {
    if (bufferEnd_ > bufferPosition_) {
        stream_.Seek(bufferPosition_ - bufferEnd_, soFromCurrent);
    }
    bufferPosition_ = 0;
    bufferEnd_ = 0;
}

void TReader::Refill() {
    bufferPosition_ = 0;
    bufferEnd_ = std::max(stream_.Read(buffer_.data(), bufferSize_), 0);
    if (bufferEnd_ == 0) {
        throw ResourceError<EReadError>(SReadError);
    }
}

void TReader::Read(void* buffer, std::int32_t count) {
    auto* out = static_cast<char*>(buffer);
    while (count > 0) {
        if (bufferPosition_ >= bufferEnd_) {
            Refill();
        }
        const std::int32_t piece = std::min(count, bufferEnd_ - bufferPosition_);
        std::memcpy(out, buffer_.data() + bufferPosition_, static_cast<std::size_t>(piece));
        bufferPosition_ += piece;
        out += piece;
        count -= piece;
    }
}

// Only ever called right after a byte was consumed, so that byte is still in
// the buffer.
void TReader::StepBack() {
    --bufferPosition_;
}

TValueType TReader::ReadValue() {
    std::uint8_t value = 0;
    Read(&value, 1);
    return static_cast<TValueType>(value);
}

TValueType TReader::NextValue() {
    const TValueType value = ReadValue();
    StepBack();
    return value;
}

bool TReader::EndOfList() {
    return NextValue() == ValNull;
}

void TReader::RaiseInvalidValue() {
    throw ResourceError<EReadError>(SInvalidPropertyValue);
}

void TReader::SkipAndRaiseInvalidValue() {
    StepBack();
    SkipValue();
    RaiseInvalidValue();
}

void TReader::CheckValue(TValueType expected) {
    if (ReadValue() != expected) {
        SkipAndRaiseInvalidValue();
    }
}

void TReader::ReadListBegin() {
    CheckValue(ValList);
}

void TReader::ReadListEnd() {
    CheckValue(ValNull);
}

namespace {

template <class T> T ReadLittleEndian(TReader& reader) {
    std::array<std::uint8_t, sizeof(T)> bytes{};
    reader.Read(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    std::uint64_t value = 0;
    for (std::size_t i = bytes.size(); i-- > 0;) {
        value = (value << 8) | bytes[i];
    }
    return static_cast<T>(value);
}

} // namespace

std::int32_t TReader::ReadInteger() {
    switch (ReadValue()) {
    case ValInt8:
        return ReadLittleEndian<std::int8_t>(*this);
    case ValInt16:
        return ReadLittleEndian<std::int16_t>(*this);
    case ValInt32:
        return ReadLittleEndian<std::int32_t>(*this);
    default:
        SkipAndRaiseInvalidValue();
    }
}

long double TReader::ReadFloat() {
    if (ReadValue() == ValExtended) {
        Extended80 bytes{};
        Read(bytes.data(), static_cast<std::int32_t>(bytes.size()));
        return FromExtended80(bytes);
    }
    StepBack();
    return ReadInteger();
}

std::string TReader::ReadString() {
    std::uint32_t length = 0;
    switch (ReadValue()) {
    case ValString:
        length = ReadLittleEndian<std::uint8_t>(*this);
        break;
    case ValLString:
        length = ReadLittleEndian<std::uint32_t>(*this);
        break;
    default:
        SkipAndRaiseInvalidValue();
    }
    std::string text;
    while (text.size() < length) {
        const std::size_t piece = std::min<std::size_t>(length - text.size(), ReadPiece);
        const std::size_t start = text.size();
        text.resize(start + piece);
        Read(text.data() + start, static_cast<std::int32_t>(piece));
    }
    return text;
}

std::string TReader::ReadStr() {
    const std::uint8_t length = ReadLittleEndian<std::uint8_t>(*this);
    std::string text(length, '\0');
    Read(text.data(), length);
    return text;
}

std::string TReader::ReadIdent() {
    switch (ReadValue()) {
    case ValIdent:
        return ReadStr();
    case ValFalse:
        return "False";
    case ValTrue:
        return "True";
    case ValNil:
        return "nil";
    default:
        SkipAndRaiseInvalidValue();
    }
}

char TReader::ReadChar() {
    CheckValue(ValString);
    const std::uint8_t length = ReadLittleEndian<std::uint8_t>(*this);
    if (length != 1) {
        StepBack();
        ReadStr();
        RaiseInvalidValue();
    }
    char c = 0;
    Read(&c, 1);
    return c;
}

bool TReader::ReadBoolean() {
    return ReadValue() == ValTrue;
}

void TReader::ReadSignature() {
    std::array<char, 4> signature{};
    Read(signature.data(), static_cast<std::int32_t>(signature.size()));
    if (signature != FormSignature) {
        throw ResourceError<EReadError>(SInvalidImage);
    }
}

void TReader::ReadPrefix(std::uint8_t& flags, std::int32_t& position) {
    flags = 0;
    if (static_cast<std::uint8_t>(NextValue()) >= PrefixMarker) {
        flags = static_cast<std::uint8_t>(ReadValue()) & 0x0F;
        if ((flags & ffChildPos) != 0) {
            position = ReadInteger();
        }
    }
}

void TReader::SkipBytes(std::uint32_t count) {
    std::array<char, 256> sink{};
    while (count > 0) {
        const std::uint32_t piece = std::min<std::uint32_t>(count, sink.size());
        Read(sink.data(), static_cast<std::int32_t>(piece));
        count -= piece;
    }
}

void TReader::SkipSetBody() {
    while (const std::uint8_t length = ReadLittleEndian<std::uint8_t>(*this)) {
        SkipBytes(length);
    }
}

void TReader::SkipCollectionBody() {
    while (!EndOfList()) {
        if (IsIntegerCode(NextValue())) {
            ReadInteger();
        }
        ReadListBegin();
        while (!EndOfList()) {
            SkipProperty();
        }
        ReadListEnd();
    }
    ReadListEnd();
}

void TReader::SkipValue() {
    NestingGuard guard(*this);
    switch (ReadValue()) {
    case ValNull:
    case ValFalse:
    case ValTrue:
    case ValNil:
        return;
    case ValList:
        while (!EndOfList()) {
            SkipValue();
        }
        ReadListEnd();
        return;
    case ValInt8:
        return SkipBytes(1);
    case ValInt16:
        return SkipBytes(2);
    case ValInt32:
        return SkipBytes(4);
    case ValExtended:
        return SkipBytes(10);
    case ValString:
    case ValIdent:
        return SkipBytes(ReadLittleEndian<std::uint8_t>(*this));
    case ValBinary:
    case ValLString:
        return SkipBytes(ReadLittleEndian<std::uint32_t>(*this));
    case ValSet:
        return SkipSetBody();
    case ValCollection:
        return SkipCollectionBody();
    }
    // An unknown code has no known length: nothing after it can be trusted.
    RaiseInvalidValue();
}

void TReader::SkipProperty() {
    ReadStr();
    SkipValue();
}

void TReader::SkipComponent(bool skipHeader) {
    NestingGuard guard(*this);
    if (skipHeader) {
        std::uint8_t flags = 0;
        std::int32_t position = 0;
        ReadPrefix(flags, position);
        ReadStr();
        ReadStr();
    }
    while (!EndOfList()) {
        SkipProperty();
    }
    ReadListEnd();
    while (!EndOfList()) {
        SkipComponent(true);
    }
    ReadListEnd();
}

bool TReader::Error(const std::string& message) {
    bool handled = false;
    if (OnError.Assigned()) {
        OnError(this, message, handled);
    }
    return handled;
}

CodePointer TReader::ResolveMethod(TComponent* root, const std::string& name,
                                   const std::type_info* signature) {
    const PublishedMethod* method = FindPublishedMethod(root->ClassType(), name);
    // A handler of another shape than the event's would be called with the
    // wrong arguments: it counts as missing.
    CodePointer code = method != nullptr && signature != nullptr && *method->signature == *signature
                           ? method->code
                           : nullptr;
    bool error = code == nullptr;
    if (OnResolveMethod.Assigned()) {
        OnResolveMethod(this, name, code, error);
    }
    if (error) {
        RaiseInvalidValue();
    }
    return code;
}

void TReader::SetName(TComponent* component, std::string& name) {
    if (OnNameRead.Assigned()) {
        OnNameRead(this, component, name);
    }
    component->SetName(name);
}

void TReader::DeclareStoredValue(std::string_view name, const ValueReader& read, const ValueWriter&,
                                 bool) {
    if (!propertyName_.empty() && AsciiSameText(name, propertyName_)) {
        read(*this);
        propertyName_.clear();
    }
}

void TReader::DeclareStoredBytes(std::string_view name, const BytesProc& read, const BytesProc&,
                                 bool) {
    if (propertyName_.empty() || !AsciiSameText(name, propertyName_)) {
        return;
    }
    if (ReadValue() != ValBinary) {
        StepBack();
        SkipValue();
        canHandleErrors_ = true;
        RaiseInvalidValue();
    }
    std::uint32_t count = ReadLittleEndian<std::uint32_t>(*this);
    TMemoryStream data;
    std::vector<char> piece;
    while (count > 0) {
        piece.resize(std::min(count, ReadPiece));
        Read(piece.data(), static_cast<std::int32_t>(piece.size()));
        data.WriteBuffer(piece.data(), static_cast<std::int32_t>(piece.size()));
        count -= static_cast<std::uint32_t>(piece.size());
    }
    data.SetPosition(0);
    canHandleErrors_ = true;
    read(data);
    propertyName_.clear();
}

std::uint32_t TReader::ReadSetValue(const TypeInfo& elementType) {
    if (ReadValue() != ValSet) {
        SkipAndRaiseInvalidValue();
    }
    std::uint32_t bits = 0;
    bool unknown = false;
    for (std::string name = ReadStr(); !name.empty(); name = ReadStr()) {
        const int value = EnumValueOf(elementType, name);
        if (value < 0 || value > 31) {
            unknown = true;
        } else {
            bits |= 1u << value;
        }
    }
    if (unknown) {
        RaiseInvalidValue();
    }
    return bits;
}

void TReader::ReadCollectionValue(TPersistent* object) {
    NestingGuard guard(*this);
    auto* collection = dynamic_cast<TCollection*>(object);
    if (collection == nullptr) {
        SkipCollectionBody();
        RaiseInvalidValue();
    }
    collection->BeginUpdate();
    try {
        std::int32_t index = 0;
        while (!EndOfList()) {
            if (IsIntegerCode(NextValue())) {
                index = ReadInteger();
            }
            // An index may name an existing item or the next new one; one far
            // beyond would make the reader allocate without bound.
            if (index < 0 || index > collection->Count()) {
                SkipValue();
                RaiseInvalidValue();
            }
            while (collection->Count() <= index) {
                collection->Add();
            }
            ReadListBegin();
            TCollectionItem* item = collection->Items(index);
            while (!EndOfList()) {
                ReadPropertyEntry(item);
            }
            ReadListEnd();
            ++index;
        }
        ReadListEnd();
    } catch (...) {
        collection->EndUpdate();
        throw;
    }
    collection->EndUpdate();
}

void TReader::RecordFixup(TPersistent* instance, const PropInfo& property,
                          const std::string& ident) {
    const std::size_t dot = ident.find('.');
    if (dot != std::string::npos) {
        Globals().fixups.push_back(
            {instance, Root(), &property, ident.substr(0, dot), ident.substr(dot + 1)});
        return;
    }
    if (fixups_) {
        fixups_->push_back({instance, Root(), &property, "", ident});
    } else {
        SetObjectValue(instance, property, Root()->FindComponent(ident));
    }
}

void TReader::ReadPropertyValue(TPersistent* instance, const PropInfo& property) {
    if (property.write.kind == PropertyAccessor::Kind::None) {
        SkipValue();
        throw ResourceError<EReadError>(SReadOnlyProperty);
    }
    const TypeInfo& type = property.Type();
    switch (type.kind) {
    case TypeKind::Integer: {
        std::int32_t value = 0;
        if (NextValue() != ValIdent) {
            value = ReadInteger();
        } else if (!IdentToIntOf(type, ReadIdent(), value)) {
            RaiseInvalidValue();
        }
        return SetOrdinalValue(instance, property, value);
    }
    case TypeKind::Char:
        return SetOrdinalValue(instance, property, static_cast<std::uint8_t>(ReadChar()));
    case TypeKind::Enumeration: {
        const int value = EnumValueOf(type, ReadIdent());
        if (value < 0) {
            RaiseInvalidValue();
        }
        return SetOrdinalValue(instance, property, value);
    }
    case TypeKind::Float:
        return SetFloatValue(instance, property, ReadFloat());
    case TypeKind::ShortString:
    case TypeKind::LongString:
        return SetStringValue(instance, property, ReadString());
    case TypeKind::Set:
        return SetOrdinalValue(instance, property,
                               static_cast<std::int32_t>(ReadSetValue(*type.elementType)));
    case TypeKind::Class:
        switch (NextValue()) {
        case ValNil:
            ReadValue();
            return SetObjectValue(instance, property, nullptr);
        case ValCollection:
            ReadValue();
            return ReadCollectionValue(
                dynamic_cast<TPersistent*>(GetObjectValue(instance, property)));
        default:
            return RecordFixup(instance, property, ReadIdent());
        }
    case TypeKind::Method:
        if (NextValue() == ValNil) {
            ReadValue();
            return SetMethodValue(instance, property, {});
        }
        if (CodePointer code = ResolveMethod(Root(), ReadIdent(), type.signature)) {
            SetMethodValue(instance, property, {code, Root()});
        }
        return;
    default:
        SkipValue();
        RaiseInvalidValue();
    }
}

void TReader::ReadPropertyPath(TPersistent* instance, const std::string& path) {
    TPersistent* current = instance;
    std::size_t start = 0;
    for (std::size_t dot = path.find('.'); dot != std::string::npos;
         start = dot + 1, dot = path.find('.', start)) {
        propertyName_ = path.substr(start, dot - start);
        const PropInfo* property = FindPropertyRecord(current->ClassType(), propertyName_);
        if (property == nullptr) {
            SkipValue();
            throw ResourceError<EReadError>(SUnknownProperty);
        }
        TPersistent* next = nullptr;
        if (property->Type().kind == TypeKind::Class) {
            next = dynamic_cast<TPersistent*>(GetObjectValue(current, *property));
        }
        if (next == nullptr) {
            SkipValue();
            throw ResourceError<EReadError>(SInvalidPropertyPath);
        }
        current = next;
    }
    propertyName_ = path.substr(start);
    if (const PropInfo* property = FindPropertyRecord(current->ClassType(), propertyName_)) {
        return ReadPropertyValue(current, *property);
    }
    canHandleErrors_ = false;
    current->DeclareStoredData(this);
    canHandleErrors_ = true;
    if (!propertyName_.empty()) {
        SkipValue();
        throw ResourceError<EReadError>(SUnknownProperty);
    }
}

void TReader::ReadPropertyEntry(TPersistent* instance) {
    std::string path;
    try {
        try {
            path = ReadStr();
            canHandleErrors_ = true;
            ReadPropertyPath(instance, path);
        } catch (const Exception& error) {
            throw ResourceError<EReadError>(SPropertyException,
                                            {InstanceName(instance), path, error.Message()});
        }
    } catch (const Exception& error) {
        if (!canHandleErrors_ || !Error(error.Message())) {
            throw;
        }
    }
}

void TReader::ReadBodyContents(TComponent* instance) {
    while (!EndOfList()) {
        ReadPropertyEntry(instance);
    }
    ReadListEnd();
    TComponent* const savedParent = parent_;
    TComponent* const savedOwner = owner_;
    parent_ = instance->ChildParentFor();
    owner_ = instance->ChildOwnerFor();
    if (owner_ == nullptr) {
        owner_ = Root();
    }
    try {
        while (!EndOfList()) {
            ReadChildObject(nullptr);
        }
        ReadListEnd();
    } catch (...) {
        parent_ = savedParent;
        owner_ = savedOwner;
        throw;
    }
    parent_ = savedParent;
    owner_ = savedOwner;
}

void TReader::ReadBody(TComponent* instance) {
    if (fixups_) {
        return ReadBodyContents(instance);
    }
    fixups_.emplace();
    try {
        ReadBodyContents(instance);
        ResolvePendingRefs();
    } catch (...) {
        fixups_.reset();
        throw;
    }
    fixups_.reset();
}

void TReader::ResolvePendingRefs() {
    if (!fixups_) {
        return;
    }
    for (const TPropFixup& fixup : *fixups_) {
        SetObjectValue(fixup.instance, *fixup.property, Root()->FindComponent(fixup.name));
    }
    fixups_->clear();
}

const TMetaClass* TReader::FindFieldClassByName(const std::string& className) const {
    for (const TMetaClass* c = &Root()->ClassType(); c != nullptr; c = c->Parent()) {
        for (const PublishedField& field : c->DeclaredFields()) {
            const TMetaClass& fieldClass = field.fieldClass();
            if (AsciiSameText(fieldClass.Name(), className)) {
                return &fieldClass;
            }
        }
        if (c == &TPersistent::StaticClass()) {
            break;
        }
    }
    return nullptr;
}

TComponent* TReader::CreateChild(const std::string& className) {
    const TMetaClass* cls = FindFieldClassByName(className);
    if (cls == nullptr) {
        cls = &FindStreamClass(className);
    }
    if (!cls->InheritsFrom(TComponent::StaticClass()) || !cls->CanConstruct()) {
        throw ResourceError<EClassNotFound>(SClassNotFound, {className});
    }
    auto* component = static_cast<TComponent*>(cls->Construct(owner_));
    component->IncludeState(csLoading);
    return component;
}

void TReader::ForgetLoaded(TComponent* component) {
    if (loaded_ == nullptr) {
        return;
    }
    loaded_->Remove(component);
    for (std::int32_t i = 0; i < component->ComponentCount(); ++i) {
        ForgetLoaded(component->Components(i));
    }
}

TComponent* TReader::ReadChildObject(TComponent* component) {
    NestingGuard guard(*this);
    std::uint8_t flags = 0;
    std::int32_t position = 0;
    ReadPrefix(flags, position);
    const std::string className = ReadStr();
    std::string name = ReadStr();
    const bool inherited = (flags & ffInherited) != 0;

    TComponent* result = component;
    bool created = false;
    try {
        if (result == nullptr && inherited) {
            result = Root()->FindComponent(name);
            if (result == nullptr) {
                throw ResourceError<EReadError>(SAncestorNotFound, {name});
            }
        } else if (result == nullptr) {
            result = CreateChild(className);
            created = true;
        }
        result->IncludeState(csLoading);
        if (!inherited) {
            result->AttachToParent(parent_);
            SetName(result, name);
        }
    } catch (const Exception& error) {
        if (created) {
            delete result;
        }
        SkipComponent(false);
        if (!Error(error.Message())) {
            throw;
        }
        return nullptr;
    }

    try {
        result->IncludeState(csReading);
        result->ReadOwnState(*this);
        result->ExcludeState(csReading);
        if ((flags & ffChildPos) != 0 && parent_ != nullptr) {
            parent_->PlaceChildAt(result, position);
        }
        loaded_->Add(result);
    } catch (...) {
        if (created) {
            ForgetLoaded(result);
            delete result;
        } else {
            result->ExcludeState(csReading);
        }
        throw;
    }
    return result;
}

TComponent* TReader::ReadRootObject(TComponent* root) {
    ReadSignature();
    TComponent* result = root;
    bool created = false;
    bool privateList = false;
    try {
        std::uint8_t flags = 0;
        std::int32_t position = 0;
        ReadPrefix(flags, position);
        if (root == nullptr) {
            const TMetaClass& cls = FindStreamClass(ReadStr());
            if (!cls.InheritsFrom(TComponent::StaticClass()) || !cls.CanConstruct()) {
                throw ResourceError<EClassNotFound>(SClassNotFound, {cls.Name()});
            }
            result = static_cast<TComponent*>(cls.Construct(nullptr));
            created = true;
            result->SetName(ReadStr());
        } else {
            ReadStr();
            const std::string name = ReadStr();
            if (!root->HasState(csDesigning)) {
                root->SetName(MakeUniqueRootName(name));
            }
        }
        SetRoot(result);
        loaded_ = Globals().loaded;
        if (loaded_ == nullptr) {
            loaded_ = new TList;
            privateList = true;
        }
        loaded_->Add(result);
        owner_ = result;
        result->IncludeState(csLoading | csReading);
        result->ReadOwnState(*this);
        result->ExcludeState(csReading);
        if (privateList) {
            for (std::int32_t i = 0; i < loaded_->Count(); ++i) {
                static_cast<TComponent*>(loaded_->Get(i))->AfterLoad();
            }
            delete loaded_;
            privateList = false;
        }
        loaded_ = nullptr;
        ResolveCrossRootRefs();
    } catch (...) {
        if (created) {
            ForgetLoaded(result);
        }
        if (privateList) {
            delete loaded_;
        }
        loaded_ = nullptr;
        // Only this root's references go: a null root would drop every root's.
        if (result != nullptr) {
            DropPendingRefs(result, "");
        }
        if (created) {
            delete result;
        } else if (result != nullptr) {
            result->ExcludeState(csReading);
        }
        throw;
    }
    return result;
}

void SetRootLookupHook(RootLookup lookup) {
    Globals().rootLookup = lookup;
}

RootLookup RootLookupHook() {
    return Globals().rootLookup;
}

void ResolveCrossRootRefs() {
    ReaderGlobals& globals = Globals();
    if (globals.rootLookup == nullptr) {
        return;
    }
    for (std::size_t i = 0; i < globals.fixups.size();) {
        const TPropFixup fixup = globals.fixups[i];
        TComponent* root = globals.rootLookup(fixup.rootName);
        if (root == nullptr && GetObjectValue(fixup.instance, *fixup.property) == nullptr) {
            ++i;
            continue;
        }
        globals.fixups.erase(globals.fixups.begin() + static_cast<std::ptrdiff_t>(i));
        if (root != nullptr) {
            SetObjectValue(fixup.instance, *fixup.property, root->FindComponent(fixup.name));
        }
    }
}

void DropPendingRefs(TComponent* root, std::string_view rootName) {
    auto& fixups = Globals().fixups;
    for (std::size_t i = fixups.size(); i-- > 0;) {
        const TPropFixup& fixup = fixups[i];
        if ((root == nullptr || fixup.instanceRoot == root) &&
            (rootName.empty() || AsciiSameText(fixup.rootName, rootName))) {
            fixups.erase(fixups.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
}

void ForgetPendingRefsOf(const TObject* object) {
    auto& fixups = Globals().fixups;
    std::erase_if(fixups, [object](const TPropFixup& fixup) {
        return fixup.instance == object || fixup.instanceRoot == object;
    });
}

std::size_t PendingCrossRootRefCount() {
    return Globals().fixups.size();
}

std::string MakeUniqueRootName(const std::string& name) {
    RootLookup lookup = Globals().rootLookup;
    if (lookup == nullptr) {
        return {};
    }
    std::string candidate = name;
    for (int counter = 1; lookup(candidate) != nullptr; ++counter) {
        candidate = Format("%s_%d", {name, counter});
    }
    return candidate;
}

TComponent* TStream::LoadRootFromStream(TComponent* instance) {
    TReader reader(*this, TReader::DefaultBufferSize);
    return reader.ReadRootObject(instance);
}

TComponent* LoadRootFromStream(TStream& stream, TComponent* instance) {
    return stream.LoadRootFromStream(instance);
}

bool ReadResourceByName(const char* resName, TComponent*& instance) {
    HMODULE module = GetModuleHandleA(nullptr);
    if (FindResourceA(module, resName, RT_RCDATA) == nullptr) {
        return false;
    }
    TResourceStream stream(module, resName, RT_RCDATA);
    instance = LoadRootFromStream(stream, instance);
    return true;
}

namespace {

bool LoadClassChain(const TMetaClass& cls, TComponent* instance, const TMetaClass& rootAncestor) {
    if (&cls == &TComponent::StaticClass() || &cls == &rootAncestor || cls.Parent() == nullptr) {
        return false;
    }
    const bool ancestorsFound = LoadClassChain(*cls.Parent(), instance, rootAncestor);
    const std::string resName = UpperAscii(cls.Name());
    const bool found = ReadResourceByName(resName.c_str(), instance);
    return found || ancestorsFound;
}

} // namespace

bool HasClassResources(const TMetaClass& cls, const TMetaClass& rootAncestor) {
    for (const TMetaClass* each = &cls;
         each != nullptr && each != &rootAncestor && each != &TComponent::StaticClass();
         each = each->Parent()) {
        const std::string resName = UpperAscii(each->Name());
        if (FindResourceA(GetModuleHandleA(nullptr), resName.c_str(), RT_RCDATA) != nullptr) {
            return true;
        }
    }
    return false;
}

bool LoadClassResources(TComponent* instance, const TMetaClass& rootAncestor) {
    ReaderGlobals& globals = Globals();
    globals.loadedStack.push_back(globals.loaded);
    globals.loaded = new TList;
    auto restore = [&globals] {
        delete globals.loaded;
        globals.loaded = globals.loadedStack.back();
        globals.loadedStack.pop_back();
    };
    bool found = false;
    try {
        found = LoadClassChain(instance->ClassType(), instance, rootAncestor);
        for (std::int32_t i = 0; i < globals.loaded->Count(); ++i) {
            static_cast<TComponent*>(globals.loaded->Get(i))->AfterLoad();
        }
    } catch (...) {
        restore();
        throw;
    }
    restore();
    return found;
}

} // namespace velbrin
