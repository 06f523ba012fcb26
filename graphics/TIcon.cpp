#include "TIcon.h"

#include "Graphics.h"
#include "TCanvas.h"
#include "runtime/Exceptions.h"
#include "runtime/Messages.h"

#include <cstdlib>
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

// Icon file data: the header, `count` directory entries of 16 bytes (width,
// height, colours, reserved, planes, bit count, size, offset), then the
// images. The image nearest the system's icon size becomes the handle.
HICON IconFromFileData(const std::uint8_t* data, std::size_t size) {
    auto word = [&](std::size_t at) {
        return static_cast<std::uint32_t>(data[at] | data[at + 1] << 8);
    };
    constexpr std::size_t EntrySize = 16;
    std::size_t count = word(4);
    if (count == 0 || IconHeaderSize + count * EntrySize > size) {
        RaiseInvalidIcon();
    }
    const int wanted = GetSystemMetrics(SM_CXICON);
    std::size_t best = 0;
    for (std::size_t i = 1; i < count; ++i) {
        auto distance = [&](std::size_t entry) {
            int width = data[IconHeaderSize + entry * EntrySize];
            return std::abs((width == 0 ? 256 : width) - wanted);
        };
        if (distance(i) < distance(best)) {
            best = i;
        }
    }
    std::size_t entry = IconHeaderSize + best * EntrySize;
    std::size_t bytes = word(entry + 8) | word(entry + 10) << 16;
    std::size_t offset = word(entry + 12) | word(entry + 14) << 16;
    if (offset > size || bytes > size - offset) {
        RaiseInvalidIcon();
    }
    HICON icon = CreateIconFromResourceEx(const_cast<BYTE*>(data + offset),
                                          static_cast<DWORD>(bytes), TRUE, 0x00030000, 0, 0, 0);
    if (icon == nullptr) {
        RaiseInvalidIcon();
    }
    return icon;
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
    TMemoryStream& stored = *image_->Stored;
    if (IconTypeOf(stored) == DefaultIconType) {
        image_->Handle = Graphics().defaultApplicationIcon;
        return;
    }
    image_->Handle = IconFromFileData(static_cast<const std::uint8_t*>(stored.Memory()),
                                      static_cast<std::size_t>(stored.Size()));
}

} // namespace velbrin
