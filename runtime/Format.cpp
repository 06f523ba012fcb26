#include "Format.h"

#include "Exceptions.h"

#include <cstdio>

namespace velbrin {

namespace {

struct Directive {
    bool leftAlign = false;
    int width = -1;
    int precision = -1;
    char conversion = 0;
};

[[noreturn]] void BadFormat(std::string_view format, const char* why) {
    throw EConvertError("Format \"" + std::string(format) + "\": " + why);
}

// Reads digits as a count; a count no directive could mean is refused.
int ReadCount(std::string_view format, std::size_t& i) {
    int value = 0;
    while (i < format.size() && format[i] >= '0' && format[i] <= '9') {
        value = value * 10 + (format[i++] - '0');
        if (value > 1024) {
            BadFormat(format, "a width or precision is too large");
        }
    }
    return value;
}

Directive ReadDirective(std::string_view format, std::size_t& i) {
    Directive directive;
    if (i < format.size() && format[i] == '-') {
        directive.leftAlign = true;
        ++i;
    }
    if (i < format.size() && format[i] >= '0' && format[i] <= '9') {
        directive.width = ReadCount(format, i);
    }
    if (i < format.size() && format[i] == '.') {
        ++i;
        directive.precision = ReadCount(format, i);
    }
    if (i == format.size()) {
        BadFormat(format, "the format ends inside a directive");
    }
    directive.conversion = format[i++];
    return directive;
}

std::string Hex(std::uint64_t value, bool upper) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, upper ? "%llX" : "%llx",
                  static_cast<unsigned long long>(value));
    return buffer;
}

std::string Digits(const Directive& directive, const FormatArg& arg, std::string_view format) {
    if (arg.GetKind() != FormatArg::Kind::Integer) {
        BadFormat(format, "an integer directive meets an argument of another kind");
    }
    std::int64_t value = arg.Integer();
    bool negative = directive.conversion == 'd' && value < 0;
    std::string digits;
    if (directive.conversion == 'd') {
        std::uint64_t magnitude =
            negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
        digits = std::to_string(magnitude);
    } else {
        // Hexadecimal shows the 32-bit pattern of a value that fits in 32 bits.
        std::uint64_t bits = static_cast<std::uint64_t>(value);
        if (value >= INT32_MIN && value <= static_cast<std::int64_t>(UINT32_MAX)) {
            bits &= 0xFFFFFFFFu;
        }
        digits = Hex(bits, directive.conversion == 'X');
    }
    if (directive.precision > static_cast<int>(digits.size())) {
        digits.insert(0, static_cast<std::size_t>(directive.precision) - digits.size(), '0');
    }
    return negative ? "-" + digits : digits;
}

std::string Convert(const Directive& directive, const FormatArg& arg, std::string_view format) {
    switch (directive.conversion) {
    case 's': {
        if (arg.GetKind() != FormatArg::Kind::Text) {
            BadFormat(format, "%s meets an argument that is not a text");
        }
        std::string_view text = arg.Text();
        if (directive.precision >= 0 &&
            static_cast<std::size_t>(directive.precision) < text.size()) {
            text = text.substr(0, static_cast<std::size_t>(directive.precision));
        }
        return std::string(text);
    }
    case 'd':
    case 'x':
    case 'X':
        return Digits(directive, arg, format);
    case 'p': {
        if (arg.GetKind() != FormatArg::Kind::Pointer) {
            BadFormat(format, "%p meets an argument that is not an address");
        }
        std::string digits = Hex(reinterpret_cast<std::uintptr_t>(arg.Pointer()), true);
        std::size_t minimum = digits.size() > 8 ? 16 : 8;
        digits.insert(0, minimum - digits.size(), '0');
        return digits;
    }
    default:
        BadFormat(format, "unknown directive");
    }
}

void Pad(std::string& out, std::string text, const Directive& directive) {
    std::size_t width = directive.width > 0 ? static_cast<std::size_t>(directive.width) : 0;
    if (text.size() >= width) {
        out += text;
    } else if (directive.leftAlign) {
        out += text;
        out.append(width - text.size(), ' ');
    } else {
        out.append(width - text.size(), ' ');
        out += text;
    }
}

} // namespace

std::string Format(std::string_view format, FormatArgs args) {
    std::string out;
    auto next = args.begin();
    std::size_t i = 0;
    while (i < format.size()) {
        char c = format[i++];
        if (c != '%') {
            out += c;
            continue;
        }
        if (i < format.size() && format[i] == '%') {
            out += '%';
            ++i;
            continue;
        }
        Directive directive = ReadDirective(format, i);
        if (next == args.end()) {
            BadFormat(format, "a directive has no argument");
        }
        Pad(out, Convert(directive, *next++, format), directive);
    }
    if (next != args.end()) {
        BadFormat(format, "more arguments than directives");
    }
    return out;
}

} // namespace velbrin
