#include "TResourceStream.h"

#include "runtime/Exceptions.h"
#include "runtime/Format.h"
#include "runtime/Messages.h"

#include <string>

namespace velbrin {

VELBRIN_DEFINE_CLASS(TResourceStream, TCustomMemoryStream, "Classes")

namespace {

std::string ResourceNameText(LPCSTR resName) {
    if (IS_INTRESOURCE(resName)) {
        return Format("#%d", {reinterpret_cast<ULONG_PTR>(resName)});
    }
    return resName;
}

[[noreturn]] void RaiseNotFound(LPCSTR resName) {
    throw ResourceError<EResNotFound>(SResNotFound, {ResourceNameText(resName)});
}

} // namespace

TResourceStream::TResourceStream(HINSTANCE module, LPCSTR resName, LPCSTR resType)
    : resInfo_(FindResourceA(module, resName, resType)), resData_(nullptr) {
    if (resInfo_ == nullptr) {
        RaiseNotFound(resName);
    }
    resData_ = LoadResource(module, resInfo_);
    void* data = resData_ ? LockResource(resData_) : nullptr;
    if (data == nullptr) {
        RaiseNotFound(resName);
    }
    SetPointer(data, static_cast<std::int32_t>(SizeofResource(module, resInfo_)));
}

TResourceStream::~TResourceStream() {
    FreeResource(resData_);
}

std::int32_t TResourceStream::Write(const void*, std::int32_t) {
    throw ResourceError<EStreamError>(SCantWriteResourceStream);
}

} // namespace velbrin
