#pragma once
// Shared records of graphics objects: one per distinct key in use, holding the
// Windows object that every font, pen or brush with that key draws with.

#include "core/TObject.h"

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

namespace velbrin {

class TGraphicsObject;

struct TSharedResource {
    TSharedResource* Next = nullptr;
    std::int32_t RefCount = 0;
    // The Windows object, 0 until first needed; it starts as the key's handle.
    HGDIOBJ Handle = nullptr;
    std::uint16_t Hash = 0;
    // The key as it was acquired; its handle field keeps the key's value.
    std::vector<std::uint8_t> Data;

    template <class Key> Key DataAs() const {
        Key key;
        std::memcpy(&key, Data.data(), sizeof key);
        return key;
    }
};

class TResourceManager : public TObject {
    VELBRIN_CLASS(TResourceManager, TObject)

public:
    // Keys are `dataSize` bytes and start with a handle field.
    explicit TResourceManager(std::uint16_t dataSize);
    ~TResourceManager() override;

    // The record of the key, made when none has it; its count is raised.
    TSharedResource* AcquireResource(const void* data);
    // Lowers the count; the last release deletes the handle and the record.
    void ReleaseResource(TSharedResource* resource);
    // Gives `object` the record of the key, raising its change event first
    // when that is another record, then lets go of the old one.
    void SwitchResource(TGraphicsObject* object, const void* data);
    // Makes `object` use `resource`, which another object already uses.
    void ShareResource(TGraphicsObject* object, TSharedResource* resource);

    std::uint16_t DataSize() const { return dataSize_; }
    // Newest first.
    TSharedResource* List() const { return list_; }

private:
    void NotifyThenRelease(TGraphicsObject* object, TSharedResource* old);

    TSharedResource* list_ = nullptr;
    std::uint16_t dataSize_;
};

// The three managers, which live as long as the process.
TResourceManager& FontResources();
TResourceManager& PenResources();
TResourceManager& BrushResources();

} // namespace velbrin
