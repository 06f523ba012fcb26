#include "ShiftJisConverter.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>

namespace {

constexpr const char* kShiftJis = "CP932";
constexpr const char* kUtf16 = "UTF-16LE";

// The control characters the full converter trades places, in either form.
bool TradedControl(char16_t unit) {
    return unit == 0x1A || unit == 0x1C || unit == 0x7F;
}

// One direction of the C library's converter, opened once; the program runs
// on one thread.
class Direction {
public:
    Direction(const char* to, const char* from) : descriptor_(iconv_open(to, from)) {}
    ~Direction() {
        if (Usable()) {
            iconv_close(descriptor_);
        }
    }
    Direction(const Direction&) = delete;
    Direction& operator=(const Direction&) = delete;

    // Converts all of `input` into `output`; false at the first byte or
    // character it cannot convert.
    bool Convert(std::string_view input, std::string& output) {
        if (!Usable()) {
            return false;
        }
        iconv(descriptor_, nullptr, nullptr, nullptr, nullptr);
        // Two bytes out for each byte in is enough in both directions.
        output.resize(input.size() * 2);
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        char* out = output.data();
        std::size_t outLeft = output.size();
        if (iconv(descriptor_, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1)) {
            return false;
        }
        output.resize(output.size() - outLeft);
        return inLeft == 0;
    }

private:
    bool Usable() const { return descriptor_ != reinterpret_cast<iconv_t>(-1); }

    iconv_t descriptor_;
};

Direction& ToWide() {
    static Direction direction(kUtf16, kShiftJis);
    return direction;
}

Direction& FromWide() {
    static Direction direction(kShiftJis, kUtf16);
    return direction;
}

std::string_view AsBytes(std::u16string_view wide) {
    return {reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(char16_t)};
}

} // namespace

bool platform::ShiftJisToWide(std::string_view bytes, std::u16string& wide) {
    if (std::any_of(bytes.begin(), bytes.end(),
                    [](char byte) { return TradedControl(static_cast<unsigned char>(byte)); })) {
        return false;
    }
    std::string units;
    if (!ToWide().Convert(bytes, units)) {
        return false;
    }
    wide.resize(units.size() / sizeof(char16_t));
    std::copy(units.begin(), units.end(), reinterpret_cast<char*>(wide.data()));
    return true;
}

bool platform::WideToShiftJis(std::u16string_view wide, std::string& bytes) {
    if (std::any_of(wide.begin(), wide.end(), TradedControl)) {
        return false;
    }
    if (!FromWide().Convert(AsBytes(wide), bytes)) {
        return false;
    }
    // A character mapped only one way does not come back as itself.
    std::string back;
    return ToWide().Convert(bytes, back) && back == AsBytes(wide);
}
