#pragma once
// What the Unicode text module offers the platform: code page 932 and UTF-8
// conversion and the Japanese locale's comparison, for the text the platform
// cannot handle itself (anything beyond ASCII that the C library's converter
// does not give exactly). The module carries the Unicode library, which costs
// a program megabytes of memory just by being linked, so it is loaded only
// when such text first turns up. Plain C types only: the module and the
// program share no C++ objects, and nothing is thrown across.

#include <cstdint>

namespace platform {

enum class UnicodeStatus : std::int32_t {
    Ok = 0,
    // The text holds something the conversion cannot read or write.
    Unconvertible = 1,
    // The comparison's rules for the locale could not be made.
    NoCollator = 2,
};

struct UnicodeFunctions {
    // Raised whenever a function's meaning changes, so an old module is refused.
    std::int32_t version;

    // Reads `count` bytes of UTF-8 (utf8 != 0) or code page 932 into at most
    // `capacity` UTF-16 units; `*needed` is how many the whole text takes,
    // whether or not they fitted.
    UnicodeStatus (*toWide)(std::int32_t utf8, const char* bytes, std::int32_t count,
                            char16_t* units, std::int32_t capacity, std::int32_t* needed);

    // Writes `count` UTF-16 units as UTF-8 or code page 932 into at most
    // `capacity` bytes, `substitute` standing for a character the code page
    // lacks; `*usedSubstitute` tells whether it was needed.
    UnicodeStatus (*fromWide)(std::int32_t utf8, const char16_t* units, std::int32_t count,
                              char* bytes, std::int32_t capacity, const char* substitute,
                              std::int32_t* usedSubstitute, std::int32_t* needed);

    // Orders two code page 932 texts as the Japanese locale does; `*order` is
    // negative, zero or positive. With foldCase, case alone makes no difference.
    UnicodeStatus (*compareJapanese)(const char* left, std::int32_t leftCount, const char* right,
                                     std::int32_t rightCount, std::int32_t foldCase,
                                     std::int32_t* order);
};

inline constexpr std::int32_t kUnicodeFunctionsVersion = 1;

} // namespace platform

// The module's one entry point, looked up by this name.
#define VELBRIN_UNICODE_ENTRY "velbrin_unicode_functions"
