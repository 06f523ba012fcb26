#pragma once
// Code page 932 text for the edges of the platform that speak UTF-8: font
// names and window titles.

#include <string>

namespace platform {

// The text in UTF-8; a byte that is no character of the code page becomes
// the replacement the conversion gives it.
std::string Utf8FromAnsi(const char* text);

} // namespace platform
