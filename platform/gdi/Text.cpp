#include "Text.h"

namespace platform::gdi {

TextEngine::TextEngine() = default;
TextEngine::~TextEngine() = default;

} // namespace platform::gdi
