#include "ApplicationTitle.h"

#include <windows.h>

namespace velbrin {

namespace {

// The offsets at which characters start, double-byte characters as one.
template <class Visit> void ForEachCharacter(const std::string& text, Visit visit) {
    for (std::size_t i = 0; i < text.size();) {
        const bool doubleByte =
            IsDBCSLeadByte(static_cast<BYTE>(text[i])) != FALSE && i + 1 < text.size();
        visit(i, doubleByte);
        i += doubleByte ? 2 : 1;
    }
}

} // namespace

std::string FileNamePart(const std::string& path) {
    std::size_t start = 0;
    // Windows paths use backslashes; the program's own path here uses slashes.
    ForEachCharacter(path, [&](std::size_t at, bool doubleByte) {
        if (!doubleByte && (path[at] == '\\' || path[at] == '/')) {
            start = at + 1;
        }
    });
    return path.substr(start);
}

std::string ApplicationTitleFromPath(std::string path) {
    OemToCharA(path.c_str(), path.data());
    std::string title = FileNamePart(path);
    std::size_t point = std::string::npos;
    ForEachCharacter(title, [&](std::size_t at, bool doubleByte) {
        if (!doubleByte && point == std::string::npos && title[at] == '.') {
            point = at;
        }
    });
    if (point != std::string::npos) {
        title.resize(point);
    }
    if (!title.empty()) {
        const bool doubleByte = IsDBCSLeadByte(static_cast<BYTE>(title[0])) && title.size() > 1;
        CharLowerA(title.data() + (doubleByte ? 2 : 1));
    }
    return title;
}

} // namespace velbrin
