#pragma once
// Text helpers. Texts are code page 932 bytes; UTF-8 appears only at the
// program's edges (the terminal, tools, source files).

#include <string>
#include <string_view>

namespace velbrin {

// Code page 932 to UTF-8 and back. Bytes that have no character in the other
// encoding become '?' (or U+FFFD), never undefined behaviour.
std::string AnsiToUtf8(std::string_view ansi);
std::string Utf8ToAnsi(std::string_view utf8);

// The operating system's locale-aware comparison under the user's default
// locale, case ignored: negative, 0 or positive.
int LocaleCompareNoCase(std::string_view a, std::string_view b);

// Byte comparison that folds the ASCII letters only: negative, 0 or positive.
int AsciiCompareNoCase(std::string_view a, std::string_view b);
bool AsciiSameText(std::string_view a, std::string_view b);

} // namespace velbrin
