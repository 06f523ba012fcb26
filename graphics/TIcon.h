#pragma once
// An icon. Copies share one image (the stored icon data, or the handle made
// from it), which goes when the last icon showing it lets go.

#include "TGraphic.h"
#include "core/TMemoryStream.h"

#include <cstdint>

namespace velbrin {

// The image that icons share.
struct TIconImage {
    std::int32_t RefCount = 0;
    // The icon's file data as it was loaded, or null.
    TMemoryStream* Stored = nullptr;
    // 0 until known; destroyed with the image.
    HICON Handle = nullptr;
};

class TIcon : public TGraphic {
    VELBRIN_CLASS(TIcon, TGraphic)

public:
    // Starts with an empty image of its own.
    TIcon();
    ~TIcon() override;

    // Another icon's image is shared; a null source empties the icon.
    void Assign(TPersistent* source) override;

    // The icon handle, made from the stored data on first request; 0 for an
    // empty icon. Raises EInvalidGraphic when the stored data is no icon.
    HICON Handle();
    // The icon takes `icon` over and destroys it with its image.
    void SetHandle(HICON icon);

    // Draws at the rectangle's top-left corner, at the icon's own size.
    void Draw(TCanvas& canvas, const RECT& rect) override;
    bool Empty() override;
    int Width() override;
    int Height() override;
    // An icon's size cannot change: both raise EInvalidGraphicOperation.
    void SetWidth(int width) override;
    void SetHeight(int height) override;
    // Keeps the data as the stored form; raises EInvalidGraphic (keeping the
    // current image) when its header is no icon's.
    void LoadFromStream(TStream& stream) override;
    // Writes the stored form; the system's default icon is 6 zero bytes.
    void SaveToStream(TStream& stream) override;
    // Icons do not go through the clipboard: both raise
    // EInvalidGraphicOperation.
    void LoadFromClipboardFormat(WORD format, HANDLE data) override;
    void SaveToClipboardFormat(WORD& format, HANDLE& data) override;

    const TIconImage* Image() const { return image_; }

private:
    void ReplaceImage(TMemoryStream* stored, HICON icon);
    void MakeHandleFromStored();

    TIconImage* image_ = nullptr;
};

} // namespace velbrin
