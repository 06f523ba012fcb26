#include "TStream.h"

#include "runtime/Exceptions.h"
#include "runtime/Messages.h"

namespace velbrin {

VELBRIN_DEFINE_CLASS(TStream, TObject, "Classes")

std::int32_t TStream::Size() {
    std::int32_t position = Seek(0, soFromCurrent);
    std::int32_t size = Seek(0, soFromEnd);
    Seek(position, soFromBeginning);
    return size;
}

void TStream::ReadBuffer(void* buffer, std::int32_t count) {
    if (count != 0 && Read(buffer, count) != count) {
        throw ResourceError<EReadError>(SReadError);
    }
}

void TStream::WriteBuffer(const void* buffer, std::int32_t count) {
    if (count != 0 && Write(buffer, count) != count) {
        throw ResourceError<EWriteError>(SWriteError);
    }
}

} // namespace velbrin
