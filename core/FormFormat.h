#pragma once
// The byte format of form resources: the signature, the value type codes, the
// prefix flags and the 80-bit float that the codes refer to.

#include <array>
#include <cstdint>

namespace velbrin {

inline constexpr std::array<char, 4> FormSignature = {'T', 'P', 'F', '0'};

enum TValueType : std::uint8_t {
    ValNull = 0,
    ValList = 1,
    ValInt8 = 2,
    ValInt16 = 3,
    ValInt32 = 4,
    ValExtended = 5,
    ValString = 6,
    ValIdent = 7,
    ValFalse = 8,
    ValTrue = 9,
    ValBinary = 10,
    ValSet = 11,
    ValLString = 12,
    ValNil = 13,
    ValCollection = 14,
};

// A component record starts with a prefix byte exactly when its first byte is
// at least this; the low four bits are the flags.
inline constexpr std::uint8_t PrefixMarker = 0xF0;

enum TFilerFlag : std::uint8_t {
    ffInherited = 1,
    ffChildPos = 2,
};

// An 80-bit extended float: 64-bit mantissa with its integer bit, 15-bit
// biased exponent and the sign, little-endian.
using Extended80 = std::array<std::uint8_t, 10>;

Extended80 ToExtended80(long double value);
long double FromExtended80(const Extended80& bytes);

} // namespace velbrin
