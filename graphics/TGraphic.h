#pragma once
// The abstract picture: something that draws itself on a canvas, loads and
// saves itself, and reports its changes.

#include "core/Events.h"
#include "core/TPersistent.h"
#include "core/TStream.h"

#include <windows.h>

namespace velbrin {

class TCanvas;

class TGraphic : public TPersistent {
    VELBRIN_CLASS(TGraphic, TPersistent)

public:
    TGraphic() = default;

    // Draws at `rect` on the canvas.
    virtual void Draw(TCanvas& canvas, const RECT& rect) = 0;
    virtual bool Empty() = 0;
    virtual int Width() = 0;
    virtual int Height() = 0;
    virtual void SetWidth(int width) = 0;
    virtual void SetHeight(int height) = 0;
    // Reads the picture from the stream's position to its end.
    virtual void LoadFromStream(TStream& stream) = 0;
    virtual void SaveToStream(TStream& stream) = 0;
    virtual void LoadFromClipboardFormat(WORD format, HANDLE data) = 0;
    virtual void SaveToClipboardFormat(WORD& format, HANDLE& data) = 0;

    // Marks the picture modified, then calls OnChange with it as sender.
    virtual void Changed();

    // A picture that is not empty is stored as "Data", its saved form.
    void DeclareStoredData(TFiler* filer) override;

    bool Modified = false;
    TNotifyEvent OnChange;
};

} // namespace velbrin
