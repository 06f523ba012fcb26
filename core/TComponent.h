#pragma once
// Components: persistent objects with an owner, a name unique among the
// owner's components, and the state set the reader and the controls test.
// An owner frees what it owns, the last inserted first.

#include "TPersistent.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>

namespace velbrin {

class TList;
class TReader;
class TWriter;

// The state bits of a component.
enum TComponentStateBit : std::uint8_t {
    csLoading = 1 << 0,
    csReading = 1 << 1,
    csWriting = 1 << 2,
    csDestroying = 1 << 3,
    csDesigning = 1 << 4,
    csUpdating = 1 << 6,
};

// The operation a ComponentNotice announces.
enum TOperation : std::int32_t { opInsert = 0, opRemove = 1 };

// The type of the Name property.
const TypeInfo& ComponentNameType();

// Not empty; the first byte an ASCII letter or '_', the others letters,
// digits or '_'.
bool IsValidIdent(std::string_view name);

class TComponent : public TPersistent {
    VELBRIN_CLASS(TComponent, TPersistent)

public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;

    // The pseudo-properties "Left" and "Top" of the design position.
    void DeclareStoredData(TFiler* filer) override;

    // Calls `proc` with each child to be written; a plain component has none.
    virtual void EnumerateChildren(const std::function<void(TComponent*)>& proc);
    // The owner of children read from a resource; null means the root.
    virtual TComponent* ChildOwnerFor();
    // The parent of children read from a resource: this component.
    virtual TComponent* ChildParentFor();
    // Called once reading is complete; clears Loading.
    virtual void AfterLoad();
    // `component` is inserted into or removed from the ownership tree.
    virtual void ComponentNotice(TComponent* component, TOperation operation);
    // Reads this component's properties and children.
    virtual void ReadOwnState(TReader& reader);
    virtual void SetName(const std::string& newName);
    virtual void PlaceChildAt(TComponent* child, std::int32_t order);
    virtual void AttachToParent(TComponent* parent);
    virtual void Updating();
    virtual void Updated();
    // Refuses `newName` for `component` when another owned component has it.
    virtual void CheckRename(TComponent* component, const std::string& curName,
                             const std::string& newName);
    virtual void WriteOwnState(TWriter& writer);
    virtual TComponent* ParentForStreaming();
    virtual bool HasStreamingParent();

    TComponent* Owner() const { return owner_; }
    const std::string& Name() const { return name_; }
    std::int32_t Tag() const { return tag_; }
    void SetTag(std::int32_t tag) { tag_ = tag; }
    std::uint8_t ComponentState() const { return state_; }
    bool HasState(TComponentStateBit bit) const { return (state_ & bit) != 0; }
    std::int32_t DesignInfo() const { return designInfo_; }
    void SetDesignInfo(std::int32_t designInfo) { designInfo_ = designInfo; }

    void AdoptComponent(TComponent* component);
    void DisownComponent(TComponent* component);
    // The first owned component named `name` (ASCII letter case ignored).
    TComponent* FindComponent(std::string_view name) const;
    // Asks to be told, through ComponentNotice, when `component` is freed.
    void RequestFreeNotice(TComponent* component);
    void MarkDestroying();
    void FreeOwnedComponents();

    std::int32_t ComponentCount() const;
    // EListError for an index outside the owned components.
    TComponent* Components(std::int32_t index) const;
    std::int32_t ComponentIndex() const;
    void SetComponentIndex(std::int32_t index);
    void SetDesigning(bool designing);

private:
    friend class TReader;
    friend class TWriter;

    void IncludeState(std::uint8_t bits) { state_ |= bits; }
    void ExcludeState(std::uint8_t bits) { state_ &= static_cast<std::uint8_t>(~bits); }
    // Points the owner's published field of this component's name at it (or
    // at null).
    void BindOwnerField(TComponent* value);
    void Insert(TComponent* component);
    void Remove(TComponent* component);
    void RemoveAt(std::int32_t index);
    // The owned components by name, ASCII letters folded, so that finding
    // one does not walk the whole list.
    void IndexName(TComponent* component);
    void UnindexName(TComponent* component);
    std::int32_t DesignHalf(bool top) const;
    void SetDesignHalf(bool top, std::int32_t value);

    TComponent* owner_ = nullptr;
    std::string name_;
    std::int32_t tag_ = 0;
    TList* components_ = nullptr;
    std::unique_ptr<std::unordered_multimap<std::string, TComponent*>> names_;
    TList* freeNotifies_ = nullptr;
    std::int32_t designInfo_ = 0;
    std::uint8_t state_ = 0;
};

} // namespace velbrin
