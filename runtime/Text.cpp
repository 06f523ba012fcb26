#include "Text.h"

#include <windows.h>

#include <vector>

namespace velbrin {

namespace {

std::string Recode(std::string_view text, UINT from, UINT to) {
    if (text.empty()) {
        return {};
    }
    int count = static_cast<int>(text.size());
    int units = MultiByteToWideChar(from, 0, text.data(), count, nullptr, 0);
    if (units <= 0) {
        return {};
    }
    std::vector<WCHAR> wide(static_cast<std::size_t>(units));
    MultiByteToWideChar(from, 0, text.data(), count, wide.data(), units);
    int bytes = WideCharToMultiByte(to, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) {
        return {};
    }
    std::string out(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(to, 0, wide.data(), units, out.data(), bytes, nullptr, nullptr);
    return out;
}

unsigned char FoldAscii(unsigned char c) {
    return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

} // namespace

std::string AnsiToUtf8(std::string_view ansi) {
    return Recode(ansi, CP_ACP, CP_UTF8);
}

std::string Utf8ToAnsi(std::string_view utf8) {
    return Recode(utf8, CP_UTF8, CP_ACP);
}

int LocaleCompareNoCase(std::string_view a, std::string_view b) {
    // An empty view may carry no address; the platform refuses a null text.
    const char* first = a.empty() ? "" : a.data();
    const char* second = b.empty() ? "" : b.data();
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, first, static_cast<int>(a.size()),
                          second, static_cast<int>(b.size())) -
           CSTR_EQUAL;
}

int AsciiCompareNoCase(std::string_view a, std::string_view b) {
    std::size_t common = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < common; ++i) {
        int difference = FoldAscii(static_cast<unsigned char>(a[i])) -
                         FoldAscii(static_cast<unsigned char>(b[i]));
        if (difference != 0) {
            return difference;
        }
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

bool AsciiSameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && AsciiCompareNoCase(a, b) == 0;
}

} // namespace velbrin
