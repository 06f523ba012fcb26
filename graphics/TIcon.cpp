#include "TIcon.h"

#include "Graphics.h"
#include "TCanvas.h"
#include "runtime/Exceptions.h"
#include "runtime/Messages.h"

#include <memory>

namespace velbrin {

namespace {

// The icon file's header: reserved, type and count, 16 bits each.
constexpr std::int32_t IconHeaderSize = 6;
constexpr WORD DefaultIconType = 0;
constexpr WORD IconFileType = 1;

[[noreturn]] void RaiseInvalidIcon() {
    throw ResourceError<EInvalidGraphic>(SInvalidIcon);
}

// The type field of the header at the start of `data`.
WORD IconTypeOf(TMemoryStream& data) {
    if (data.Size() < IconHeaderSize) {
        RaiseInvalidIcon();
    }
    std::uint8_t header[IconHeaderSize];
    data.SetPosition(0);
    data.ReadBuffer(header, IconHeaderSize);
    return static_cast<WORD>(header[2] | (header[3] << 8));
}

TIconImage* AcquireImage(TIconImage* image) {
    ++image->RefCount;
    return image;
}

void ReleaseImage(TIconImage* image) {
    if (--image->RefCount > 0) {
        return;
    }
    delete image->Stored;
    if (image->Handle != nullptr) {
        DestroyIcon(image->Handle);
    }
    delete image;
}

} // namespace

VELBRIN_DEFINE_CLASS(TIcon, TGraphic, "Graphics")

TIcon::TIcon() : image_(AcquireImage(new TIconImage)) {}

TIcon::~TIcon() {
    ReleaseImage(image_);
}

void TIcon::Assign(TPersistent* source) {
    if (source == nullptr) {
        ReplaceImage(nullptr, nullptr);
    } else if (source->Is<TIcon>()) {
        TIconImage* shared = AcquireImage(static_cast<TIcon*>(source)->image_);
        ReleaseImage(image_);
        image_ = shared;
    } else {
        return TGraphic::Assign(source);
    }
    Changed();
}

HICON TIcon::Handle() {
    if (image_->Handle == nullptr && image_->Stored != nullptr) {
        MakeHandleFromStored();
    }
    return image_->Handle;
}

void TIcon::SetHandle(HICON icon) {
    ReplaceImage(nullptr, icon);
    Changed();
}

void TIcon::Draw(TCanvas& canvas, const RECT& rect) {
    canvas.EnsureState(csHandleValid);
    DrawIcon(canvas.AttachedHandle(), rect.left, rect.top, Handle());
}

bool TIcon::Empty() {
    return image_->Handle == nullptr && image_->Stored == nullptr;
}

int TIcon::Width() {
    return GetSystemMetrics(SM_CXICON);
}

int TIcon::Height() {
    return GetSystemMetrics(SM_CYICON);
}

void TIcon::SetWidth(int) {
    throw ResourceError<EInvalidGraphicOperation>(SChangeIconSize);
}

void TIcon::SetHeight(int) {
    throw ResourceError<EInvalidGraphicOperation>(SChangeIconSize);
}

void TIcon::LoadFromStream(TStream& stream) {
    auto data = std::make_unique<TMemoryStream>();
    const std::int32_t remaining = stream.Size() - stream.Position();
    if (remaining > 0) {
        data->SetSize(remaining);
        stream.ReadBuffer(data->Memory(), remaining);
    }
    if (IconTypeOf(*data) > IconFileType) {
        RaiseInvalidIcon();
    }
    ReplaceImage(data.release(), nullptr);
    Changed();
}

void TIcon::SaveToStream(TStream& stream) {
    if (image_->Stored == nullptr) {
        if (image_->Handle == nullptr) {
            RaiseInvalidIcon();
        }
        // Only the system's default icon has a stored form to give: writing
        // any other handle back as icon file data needs the icon's bits,
        // which no platform call hands out.
        if (image_->Handle != Graphics().defaultApplicationIcon) {
            RaiseInvalidIcon();
        }
        image_->Stored = new TMemoryStream;
        image_->Stored->SetSize(IconHeaderSize);
    }
    stream.WriteBuffer(image_->Stored->Memory(), image_->Stored->Size());
}

void TIcon::LoadFromClipboardFormat(WORD, HANDLE) {
    throw ResourceError<EInvalidGraphicOperation>(SIconToClipboard);
}

void TIcon::SaveToClipboardFormat(WORD&, HANDLE&) {
    throw ResourceError<EInvalidGraphicOperation>(SIconToClipboard);
}

void TIcon::ReplaceImage(TMemoryStream* stored, HICON icon) {
    auto* image = new TIconImage;
    image->Stored = stored;
    image->Handle = icon;
    ReleaseImage(image_);
    image_ = AcquireImage(image);
}

void TIcon::MakeHandleFromStored() {
    if (IconTypeOf(*image_->Stored) != DefaultIconType) {
        // No platform call builds an icon from its directory and image data,
        // so icon file data cannot become a handle here.
        RaiseInvalidIcon();
    }
    image_->Handle = Graphics().defaultApplicationIcon;
}

} // namespace velbrin
