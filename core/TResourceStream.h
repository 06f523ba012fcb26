#pragma once
// A read-only stream over a resource of a module.

#include "core/TMemoryStream.h"

#include <windows.h>

namespace velbrin {

class TResourceStream : public TCustomMemoryStream {
    VELBRIN_CLASS(TResourceStream, TCustomMemoryStream)

public:
    // Finds and loads resource `resName` of type `resType` in `module`;
    // EResNotFound naming the resource when it cannot (a numeric name reads
    // "#3841").
    TResourceStream(HINSTANCE module, LPCSTR resName, LPCSTR resType);
    ~TResourceStream() override;

    // Always raises EStreamError: the data belongs to the executable.
    std::int32_t Write(const void* buffer, std::int32_t count) override;

private:
    HRSRC resInfo_;
    HGLOBAL resData_;
};

} // namespace velbrin
