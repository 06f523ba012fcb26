#include "AsciiCollation.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace platform {

namespace {

// The primary weight of each ASCII character in the locale's order, as a
// rank: 0 for the control characters, which the order passes over; tab to
// carriage return, space, the punctuation and symbols, the digits, then the
// letters, upper and lower case of one letter sharing a rank.
constexpr std::array<std::uint8_t, 128> kPrimary = {
    0,  0,  0,  0,  0,  0,  0,  0,  0,  1,  2,  3,  4,  5,  0,  0,  //
    0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  //
    6,  12, 16, 28, 38, 29, 27, 15, 17, 18, 24, 32, 9,  8,  14, 25, //  !"#$%&'()*+,-./
    39, 40, 41, 42, 43, 44, 45, 46, 47, 48, 11, 10, 33, 34, 35, 13, // 0-9 :;<=>?
    23, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, // @A-O
    64, 65, 66, 67, 68, 69, 70, 71, 72, 73, 74, 19, 26, 20, 31, 7,  // P-Z [\]^_
    30, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, // `a-o
    64, 65, 66, 67, 68, 69, 70, 71, 72, 73, 74, 21, 36, 22, 37, 0,  // p-z {|}~ DEL
};

unsigned char Folded(char c, bool ignoreCase) {
    auto byte = static_cast<unsigned char>(c);
    return ignoreCase && byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte + 32) : byte;
}

int Sign(int difference) {
    return difference < 0 ? CSTR_LESS_THAN : difference > 0 ? CSTR_GREATER_THAN : CSTR_EQUAL;
}

// Compares the weights that `weight` gives the characters the order does
// not pass over, one level of the comparison.
template <class Weight>
int CompareLevel(std::string_view left, std::string_view right, Weight weight) {
    std::size_t i = 0;
    std::size_t j = 0;
    for (;;) {
        while (i < left.size() && kPrimary[static_cast<unsigned char>(left[i])] == 0) {
            ++i;
        }
        while (j < right.size() && kPrimary[static_cast<unsigned char>(right[j])] == 0) {
            ++j;
        }
        if (i == left.size() || j == right.size()) {
            return Sign((i < left.size()) - (j < right.size()));
        }
        const int difference = weight(left[i]) - weight(right[j]);
        if (difference != 0) {
            return Sign(difference);
        }
        ++i;
        ++j;
    }
}

} // namespace

bool IsPlainAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x80 && byte != 0x1A && byte != 0x1C && byte != 0x7F;
    });
}

int CompareAscii(std::string_view left, std::string_view right, bool ignoreCase) {
    const int primary =
        CompareLevel(left, right, [&](char c) { return kPrimary[Folded(c, ignoreCase)]; });
    if (primary != CSTR_EQUAL) {
        return primary;
    }
    // Of two letters that differ only in case, the lower case one comes first.
    const int tertiary = CompareLevel(left, right, [&](char c) {
        const unsigned char byte = Folded(c, ignoreCase);
        return byte >= 'A' && byte <= 'Z' ? 1 : 0;
    });
    if (tertiary != CSTR_EQUAL) {
        return tertiary;
    }
    // Identical only when the (folded) characters are, the passed-over ones
    // included, compared by their code.
    const std::size_t common = std::min(left.size(), right.size());
    for (std::size_t k = 0; k < common; ++k) {
        const int difference = Folded(left[k], ignoreCase) - Folded(right[k], ignoreCase);
        if (difference != 0) {
            return Sign(difference);
        }
    }
    return Sign(static_cast<int>(left.size() > right.size()) -
                static_cast<int>(left.size() < right.size()));
}

} // namespace platform
