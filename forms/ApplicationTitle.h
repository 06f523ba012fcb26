#pragma once
// The application title made from the program's file name.

#include <string>

namespace velbrin {

// The part after the last path separator; a byte inside a double-byte
// character is never taken for one.
std::string FileNamePart(const std::string& path);
// The file name cut at its first point, every letter but the first in lower
// case: C:\DIR\MYPROG.EXE gives "Myprog".
std::string ApplicationTitleFromPath(std::string path);

} // namespace velbrin
