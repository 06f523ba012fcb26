#pragma once
// Format: the runtime's message formatter. It understands %s, %d, %x, %X, %p
// and %%, each with an optional '-' flag, width and precision ("%.8X"). Every
// directive must meet an argument of its kind and every argument a directive;
// anything else raises EConvertError naming the format, never reads past the
// arguments.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

namespace velbrin {

class FormatArg {
public:
    enum class Kind { Text, Integer, Pointer };

    FormatArg(std::string_view text) : kind_(Kind::Text), text_(text) {}
    FormatArg(const std::string& text) : kind_(Kind::Text), text_(text) {}
    FormatArg(const char* text) : kind_(Kind::Text), text_(text ? text : "") {}
    template <class I, std::enable_if_t<std::is_integral_v<I>, int> = 0>
    FormatArg(I value) : kind_(Kind::Integer), integer_(static_cast<std::int64_t>(value)) {}
    FormatArg(const void* pointer) : kind_(Kind::Pointer), pointer_(pointer) {}

    Kind GetKind() const { return kind_; }
    std::string_view Text() const { return text_; }
    std::int64_t Integer() const { return integer_; }
    const void* Pointer() const { return pointer_; }

private:
    Kind kind_;
    std::string_view text_;
    std::int64_t integer_ = 0;
    const void* pointer_ = nullptr;
};

using FormatArgs = std::initializer_list<FormatArg>;

std::string Format(std::string_view format, FormatArgs args);

} // namespace velbrin
