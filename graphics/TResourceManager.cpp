#include "TResourceManager.h"

#include "Graphics.h"
#include "TGraphicsObject.h"

namespace velbrin {

VELBRIN_DEFINE_CLASS(TResourceManager, TObject, "Graphics")

// The change event runs while the old record is still held, so a canvas can
// put its stock object in place before the old handle may be deleted. The
// old record goes even when a handler raises.
void TResourceManager::NotifyThenRelease(TGraphicsObject* object, TSharedResource* old) {
    try {
        object->Changed();
    } catch (...) {
        ReleaseResource(old);
        throw;
    }
    ReleaseResource(old);
}

TResourceManager::TResourceManager(std::uint16_t dataSize) : dataSize_(dataSize) {}

TResourceManager::~TResourceManager() {
    while (list_ != nullptr) {
        delete std::exchange(list_, list_->Next);
    }
}

TSharedResource* TResourceManager::AcquireResource(const void* data) {
    const std::uint16_t hash = DataHash(data, dataSize_);
    TSharedResource* resource = list_;
    while (resource != nullptr &&
           (resource->Hash != hash || std::memcmp(resource->Data.data(), data, dataSize_) != 0)) {
        resource = resource->Next;
    }
    if (resource == nullptr) {
        resource = new TSharedResource;
        resource->Next = list_;
        std::memcpy(&resource->Handle, data, sizeof resource->Handle);
        resource->Hash = hash;
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        resource->Data.assign(bytes, bytes + dataSize_);
        list_ = resource;
    }
    ++resource->RefCount;
    return resource;
}

void TResourceManager::ReleaseResource(TSharedResource* resource) {
    if (resource == nullptr || --resource->RefCount > 0) {
        return;
    }
    if (resource->Handle != nullptr) {
        DeleteObject(resource->Handle);
    }
    TSharedResource** link = &list_;
    while (*link != resource) {
        link = &(*link)->Next;
    }
    *link = resource->Next;
    delete resource;
}

void TResourceManager::SwitchResource(TGraphicsObject* object, const void* data) {
    TSharedResource* old = object->Resource();
    // Painting sets the colour a cell already has over and over: the record
    // it holds has that key, so it would only be found again.
    if (old != nullptr && std::memcmp(old->Data.data(), data, dataSize_) == 0) {
        return;
    }
    object->SetResource(AcquireResource(data));
    if (object->Resource() != old) {
        NotifyThenRelease(object, old);
    } else {
        ReleaseResource(old);
    }
}

void TResourceManager::ShareResource(TGraphicsObject* object, TSharedResource* resource) {
    TSharedResource* old = object->Resource();
    if (resource == old) {
        return;
    }
    ++resource->RefCount;
    object->SetResource(resource);
    NotifyThenRelease(object, old);
}

TResourceManager& FontResources() {
    static TResourceManager manager(sizeof(TFontResData));
    return manager;
}

TResourceManager& PenResources() {
    static TResourceManager manager(sizeof(TPenResData));
    return manager;
}

TResourceManager& BrushResources() {
    static TResourceManager manager(sizeof(TBrushResData));
    return manager;
}

} // namespace velbrin
