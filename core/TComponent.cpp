#include "TComponent.h"

#include "PropertyAccess.h"
#include "TFiler.h"
#include "TList.h"
#include "TReader.h"
#include "TWriter.h"
#include "runtime/Exceptions.h"
#include "runtime/Messages.h"
#include "runtime/Text.h"

#include <algorithm>

namespace velbrin {

const TypeInfo& ComponentNameType() {
    static const TypeInfo type = LongStringTypeInfo("TComponentName");
    return type;
}

VELBRIN_DEFINE_CLASS_TABLES(TComponent, TPersistent, "Classes") {
    cls.Property("Name", ComponentNameType, Field<&TComponent::name_>, Call<&TComponent::SetName>)
        .Stored(false);
    cls.Property("Tag", Field<&TComponent::tag_>, Field<&TComponent::tag_>).Default(0);
}

namespace {

bool IsIdentStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool IsIdentPart(char c) {
    return IsIdentStart(c) || (c >= '0' && c <= '9');
}

TComponent* ComponentAt(const TList& list, std::int32_t index) {
    return static_cast<TComponent*>(list.Get(index));
}

std::string FoldedName(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return folded;
}

} // namespace

bool IsValidIdent(std::string_view name) {
    if (name.empty() || !IsIdentStart(name.front())) {
        return false;
    }
    for (char c : name.substr(1)) {
        if (!IsIdentPart(c)) {
            return false;
        }
    }
    return true;
}

TComponent::TComponent(TComponent* owner) {
    if (owner != nullptr) {
        owner->AdoptComponent(this);
    }
}

TComponent::~TComponent() {
    if (freeNotifies_ != nullptr) {
        for (std::int32_t i = 0; freeNotifies_ != nullptr && i < freeNotifies_->Count(); ++i) {
            ComponentAt(*freeNotifies_, i)->ComponentNotice(this, opRemove);
        }
        delete freeNotifies_;
        freeNotifies_ = nullptr;
    }
    ForgetPendingRefsOf(this);
    MarkDestroying();
    FreeOwnedComponents();
    if (owner_ != nullptr) {
        owner_->DisownComponent(this);
    }
}

std::int32_t TComponent::DesignHalf(bool top) const {
    const auto bits = static_cast<std::uint32_t>(designInfo_);
    return static_cast<std::int16_t>(top ? bits >> 16 : bits & 0xFFFF);
}

void TComponent::SetDesignHalf(bool top, std::int32_t value) {
    auto bits = static_cast<std::uint32_t>(designInfo_);
    const auto half = static_cast<std::uint32_t>(value) & 0xFFFF;
    bits = top ? (bits & 0xFFFF) | (half << 16) : (bits & 0xFFFF0000) | half;
    designInfo_ = static_cast<std::int32_t>(bits);
}

void TComponent::DeclareStoredData(TFiler* filer) {
    const auto* ancestor = dynamic_cast<const TComponent*>(filer->Ancestor());
    for (bool top : {false, true}) {
        const std::int32_t inherited = ancestor ? ancestor->DesignHalf(top) : 0;
        filer->DeclareStoredValue(
            top ? "Top" : "Left",
            [this, top](TReader& reader) { SetDesignHalf(top, reader.ReadInteger()); },
            [this, top](TWriter& writer) { writer.WriteInteger(DesignHalf(top)); },
            DesignHalf(top) != inherited);
    }
}

void TComponent::EnumerateChildren(const std::function<void(TComponent*)>&) {}

TComponent* TComponent::ChildOwnerFor() {
    return nullptr;
}

TComponent* TComponent::ChildParentFor() {
    return this;
}

void TComponent::AfterLoad() {
    ExcludeState(csLoading);
}

void TComponent::ComponentNotice(TComponent* component, TOperation operation) {
    if (operation == opRemove && freeNotifies_ != nullptr) {
        freeNotifies_->Remove(component);
        if (freeNotifies_->Count() == 0) {
            delete freeNotifies_;
            freeNotifies_ = nullptr;
        }
    }
    for (std::int32_t i = 0; components_ != nullptr && i < components_->Count(); ++i) {
        ComponentAt(*components_, i)->ComponentNotice(component, operation);
    }
}

void TComponent::ReadOwnState(TReader& reader) {
    reader.ReadBody(this);
}

void TComponent::SetName(const std::string& newName) {
    if (newName == name_) {
        return;
    }
    if (!newName.empty() && !IsValidIdent(newName)) {
        throw ResourceError<EComponentError>(SInvalidName, {newName});
    }
    if (owner_ != nullptr) {
        owner_->CheckRename(this, name_, newName);
    } else {
        CheckRename(nullptr, name_, newName);
    }
    BindOwnerField(nullptr);
    if (owner_ != nullptr) {
        owner_->UnindexName(this);
    }
    name_ = newName;
    if (owner_ != nullptr) {
        owner_->IndexName(this);
    }
    BindOwnerField(this);
}

void TComponent::PlaceChildAt(TComponent*, std::int32_t) {}

void TComponent::AttachToParent(TComponent*) {}

void TComponent::Updating() {
    IncludeState(csUpdating);
}

void TComponent::Updated() {
    ExcludeState(csUpdating);
}

void TComponent::CheckRename(TComponent* component, const std::string& curName,
                             const std::string& newName) {
    if (component != nullptr && !AsciiSameText(curName, newName) &&
        FindComponent(newName) != nullptr) {
        throw ResourceError<EComponentError>(SDuplicateName, {newName});
    }
    if (HasState(csDesigning) && owner_ != nullptr) {
        owner_->CheckRename(component, curName, newName);
    }
}

void TComponent::WriteOwnState(TWriter& writer) {
    writer.WriteData(this);
}

TComponent* TComponent::ParentForStreaming() {
    return nullptr;
}

bool TComponent::HasStreamingParent() {
    return false;
}

void TComponent::BindOwnerField(TComponent* value) {
    if (owner_ == nullptr || name_.empty()) {
        return;
    }
    if (const PublishedField* field = FindPublishedField(owner_->ClassType(), name_)) {
        field->set(owner_, value);
    }
}

void TComponent::Insert(TComponent* component) {
    if (components_ == nullptr) {
        components_ = new TList;
        names_ = std::make_unique<std::unordered_multimap<std::string, TComponent*>>();
    }
    components_->Add(component);
    component->owner_ = this;
    IndexName(component);
}

void TComponent::Remove(TComponent* component) {
    RemoveAt(components_->IndexOf(component));
}

void TComponent::RemoveAt(std::int32_t index) {
    TComponent* component = ComponentAt(*components_, index);
    UnindexName(component);
    component->owner_ = nullptr;
    components_->Delete(index);
    if (components_->Count() == 0) {
        delete components_;
        components_ = nullptr;
        names_.reset();
    }
}

void TComponent::IndexName(TComponent* component) {
    if (!component->name_.empty()) {
        names_->emplace(FoldedName(component->name_), component);
    }
}

void TComponent::UnindexName(TComponent* component) {
    if (component->name_.empty()) {
        return;
    }
    auto [first, last] = names_->equal_range(FoldedName(component->name_));
    for (auto entry = first; entry != last; ++entry) {
        if (entry->second == component) {
            names_->erase(entry);
            return;
        }
    }
}

void TComponent::AdoptComponent(TComponent* component) {
    CheckRename(component, "", component->name_);
    Insert(component);
    component->BindOwnerField(component);
    if (HasState(csDesigning)) {
        component->SetDesigning(true);
    }
    ComponentNotice(component, opInsert);
}

void TComponent::DisownComponent(TComponent* component) {
    ComponentNotice(component, opRemove);
    component->BindOwnerField(nullptr);
    Remove(component);
    component->SetDesigning(false);
    CheckRename(component, component->name_, "");
}

TComponent* TComponent::FindComponent(std::string_view name) const {
    if (name.empty() || components_ == nullptr) {
        return nullptr;
    }
    auto [first, last] = names_->equal_range(FoldedName(name));
    // Names are unique unless a CheckRename override lets a clash through;
    // then the first in list order wins.
    TComponent* found = nullptr;
    for (auto entry = first; entry != last; ++entry) {
        if (found == nullptr || components_->IndexOf(entry->second) < components_->IndexOf(found)) {
            found = entry->second;
        }
    }
    return found;
}

void TComponent::RequestFreeNotice(TComponent* component) {
    if (owner_ != nullptr && component->owner_ == owner_) {
        return;
    }
    if (freeNotifies_ == nullptr) {
        freeNotifies_ = new TList;
    }
    if (freeNotifies_->IndexOf(component) < 0) {
        freeNotifies_->Add(component);
        component->RequestFreeNotice(this);
    }
}

void TComponent::MarkDestroying() {
    if (HasState(csDestroying)) {
        return;
    }
    IncludeState(csDestroying);
    for (std::int32_t i = 0; components_ != nullptr && i < components_->Count(); ++i) {
        ComponentAt(*components_, i)->MarkDestroying();
    }
}

void TComponent::FreeOwnedComponents() {
    while (components_ != nullptr) {
        const std::int32_t lastIndex = components_->Count() - 1;
        TComponent* last = ComponentAt(*components_, lastIndex);
        RemoveAt(lastIndex);
        Free(last);
    }
}

std::int32_t TComponent::ComponentCount() const {
    return components_ ? components_->Count() : 0;
}

TComponent* TComponent::Components(std::int32_t index) const {
    if (components_ == nullptr) {
        throw ResourceError<EListError>(SListIndexError);
    }
    return ComponentAt(*components_, index);
}

std::int32_t TComponent::ComponentIndex() const {
    if (owner_ == nullptr || owner_->components_ == nullptr) {
        return -1;
    }
    return owner_->components_->IndexOf(this);
}

void TComponent::SetComponentIndex(std::int32_t index) {
    if (owner_ == nullptr || owner_->components_ == nullptr) {
        return;
    }
    TList& list = *owner_->components_;
    const std::int32_t current = list.IndexOf(this);
    if (current < 0) {
        return;
    }
    index = std::clamp(index, 0, list.Count() - 1);
    if (index != current) {
        list.Delete(current);
        list.Insert(index, this);
    }
}

void TComponent::SetDesigning(bool designing) {
    if (designing) {
        IncludeState(csDesigning);
    } else {
        ExcludeState(csDesigning);
    }
    for (std::int32_t i = 0; components_ != nullptr && i < components_->Count(); ++i) {
        ComponentAt(*components_, i)->SetDesigning(designing);
    }
}

} // namespace velbrin
