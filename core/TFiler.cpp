#include "TFiler.h"

#include <stdexcept>

namespace velbrin {

VELBRIN_DEFINE_CLASS(TFiler, TObject, "Classes")

TFiler::TFiler(TStream& stream, std::int32_t bufferSize)
    : stream_(stream), bufferSize_(bufferSize) {
    if (bufferSize <= 0) {
        throw std::invalid_argument("a filer needs a buffer");
    }
    buffer_.resize(static_cast<std::size_t>(bufferSize));
}

} // namespace velbrin
