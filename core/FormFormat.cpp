#include "FormFormat.h"

#include <cmath>
#include <limits>

namespace velbrin {

namespace {

constexpr int ExponentBias = 16383;
constexpr int MaxExponent = 0x7FFF;

void StoreParts(Extended80& bytes, std::uint64_t mantissa, int exponent, bool negative) {
    for (int i = 0; i < 8; ++i) {
        bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(mantissa >> (8 * i));
    }
    const unsigned top = static_cast<unsigned>(exponent) | (negative ? 0x8000u : 0u);
    bytes[8] = static_cast<std::uint8_t>(top);
    bytes[9] = static_cast<std::uint8_t>(top >> 8);
}

} // namespace

Extended80 ToExtended80(long double value) {
    Extended80 bytes{};
    const bool negative = std::signbit(value);
    if (std::isnan(value)) {
        StoreParts(bytes, 0xC000000000000000ull, MaxExponent, negative);
        return bytes;
    }
    if (std::isinf(value)) {
        StoreParts(bytes, 0x8000000000000000ull, MaxExponent, negative);
        return bytes;
    }
    if (value == 0) {
        StoreParts(bytes, 0, 0, negative);
        return bytes;
    }
    int exponent = 0;
    // |value| = fraction * 2^exponent with fraction in [0.5, 1).
    const long double fraction = std::frexp(std::fabs(value), &exponent);
    int biased = exponent - 1 + ExponentBias;
    int shift = 64;
    if (biased <= 0) {
        // Below the normal range: the mantissa loses its integer bit.
        shift += biased - 1;
        biased = 0;
    }
    if (biased >= MaxExponent) {
        StoreParts(bytes, 0x8000000000000000ull, MaxExponent, negative);
        return bytes;
    }
    const long double scaled = std::ldexp(fraction, shift);
    const auto mantissa = shift > 0 ? static_cast<std::uint64_t>(scaled) : 0;
    StoreParts(bytes, mantissa, biased, negative);
    return bytes;
}

long double FromExtended80(const Extended80& bytes) {
    std::uint64_t mantissa = 0;
    for (int i = 7; i >= 0; --i) {
        mantissa = (mantissa << 8) | bytes[static_cast<std::size_t>(i)];
    }
    const unsigned top = bytes[8] | (static_cast<unsigned>(bytes[9]) << 8);
    const bool negative = (top & 0x8000) != 0;
    const int exponent = static_cast<int>(top & 0x7FFF);
    long double magnitude;
    if (exponent == MaxExponent) {
        magnitude = (mantissa << 1) == 0 ? std::numeric_limits<long double>::infinity()
                                         : std::numeric_limits<long double>::quiet_NaN();
    } else {
        const int unbiased = (exponent == 0 ? 1 : exponent) - ExponentBias;
        magnitude = std::ldexp(static_cast<long double>(mantissa), unbiased - 63);
    }
    return negative ? -magnitude : magnitude;
}

} // namespace velbrin
