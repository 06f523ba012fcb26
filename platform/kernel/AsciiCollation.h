#pragma once
// The Japanese locale's order of texts made only of ASCII characters, as
// CompareStringA gives it, without starting the collation library: most
// texts a program compares (names, keys, font families) are ASCII.

#include <windows.h>

#include <string_view>

namespace platform {

// Whether every byte of `text` is an ASCII character that the code page
// keeps as it is: below 0x80, but for the three control characters (0x1A,
// 0x1C, 0x7F) that its converter trades places.
bool IsPlainAscii(std::string_view text);

// CSTR_LESS_THAN, CSTR_EQUAL or CSTR_GREATER_THAN for two ASCII texts, as
// the locale orders them: symbols, then digits, then letters, control
// characters counting only when all else is equal; at the same letters
// lower case first; identical otherwise only when the bytes are. With
// `ignoreCase` the letters are folded to lower case first.
int CompareAscii(std::string_view left, std::string_view right, bool ignoreCase);

} // namespace platform
