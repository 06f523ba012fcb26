// Code page 932 and UTF-8 conversion, and the locale-aware comparison.
// The system is Japanese: the ANSI code page is 932 and the user's locale 0x411.
// ASCII text is the same in every code page here and is ordered without the
// collator, and code page 932 text goes through the C library's converter
// wherever that gives what ICU gives; only other text loads the Unicode text
// module, which brings ICU.

#include "CodePage.h"
#include "../core/Context.h"
#include "AsciiCollation.h"
#include "KernelState.h"
#include "ShiftJisConverter.h"
#include "UnicodeModule.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

using platform::Fail;

namespace {

// The system's locale and language: Japanese (Japan), sorted the default way.
constexpr LCID kJapaneseLcid = 0x0411;

bool KnownCodePage(UINT codePage) {
    return codePage == CP_ACP || codePage == CP_OEMCP || codePage == 932 || codePage == CP_UTF8;
}

// A negative count includes the terminator, as the conversion functions count it.
int TextLength(const char* text, int count) {
    return count < 0 ? static_cast<int>(std::strlen(text)) + 1 : count;
}

bool IsPlainAsciiWide(const WCHAR* text, int count) {
    return std::all_of(text, text + count, [](WCHAR unit) {
        return unit < 0x80 && unit != 0x1A && unit != 0x1C && unit != 0x7F;
    });
}

// Copies converted text (or ASCII text, which needs no conversion) unit for
// unit; `count` is what the text needs, `capacity` what the caller has (0:
// none asked for).
template <class From, class To> int CopyUnits(const From* from, int count, To* to, int capacity) {
    if (capacity != 0 && count > capacity) {
        return Fail(ERROR_INSUFFICIENT_BUFFER, 0);
    }
    if (to != nullptr && capacity != 0) {
        std::transform(from, from + count, to, [](From unit) { return static_cast<To>(unit); });
    }
    return count;
}

int WideLength(const WCHAR* text, int count) {
    if (count >= 0) {
        return count;
    }
    int length = 0;
    while (text[length] != 0) {
        ++length;
    }
    return length + 1;
}

// The module's functions, or null after recording why there are none.
const platform::UnicodeFunctions* UnicodeFunctionsOrFail() {
    const platform::UnicodeFunctions* functions = platform::LoadedUnicodeFunctions();
    if (functions == nullptr) {
        SetLastError(ERROR_MOD_NOT_FOUND);
    }
    return functions;
}

} // namespace

std::string platform::Utf8FromAnsi(const char* text) {
    const int length = static_cast<int>(std::strlen(text));
    if (length == 0) {
        return {};
    }
    std::vector<WCHAR> wide(static_cast<std::size_t>(length));
    const int units = MultiByteToWideChar(CP_ACP, 0, text, length, wide.data(), length);
    std::string utf8(static_cast<std::size_t>(units) * 3, '\0');
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, utf8.data(),
                                          static_cast<int>(utf8.size()), nullptr, nullptr);
    utf8.resize(static_cast<std::size_t>(std::max(bytes, 0)));
    return utf8;
}

LANGID GetSystemDefaultLangID() {
    return kJapaneseLcid;
}

UINT GetACP() {
    return 932;
}

LCID GetUserDefaultLCID() {
    return kJapaneseLcid;
}

LCID GetSystemDefaultLCID() {
    return kJapaneseLcid;
}

BOOL IsDBCSLeadByte(BYTE testChar) {
    return (testChar >= 0x81 && testChar <= 0x9F) || (testChar >= 0xE0 && testChar <= 0xFC);
}

namespace {
char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
} // namespace

LPSTR CharLowerA(LPSTR text) {
    if (IS_INTRESOURCE(text)) {
        auto single = static_cast<char>(reinterpret_cast<ULONG_PTR>(text) & 0xFF);
        return reinterpret_cast<LPSTR>(
            static_cast<ULONG_PTR>(static_cast<BYTE>(LowerAscii(single))));
    }
    for (char* c = text; *c != '\0'; ++c) {
        if (IsDBCSLeadByte(static_cast<BYTE>(*c)) && c[1] != '\0') {
            ++c;
        } else {
            *c = LowerAscii(*c);
        }
    }
    return text;
}

BOOL OemToCharA(LPCSTR source, LPSTR destination) {
    if (source == nullptr || destination == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER, FALSE);
    }
    if (source != destination) {
        std::memmove(destination, source, std::strlen(source) + 1);
    }
    return TRUE;
}

int MultiByteToWideChar(UINT codePage, DWORD, LPCSTR multiByte, int multiByteCount, WCHAR* wide,
                        int wideCount) {
    if (!KnownCodePage(codePage) || multiByte == nullptr || wideCount < 0) {
        return Fail(ERROR_INVALID_PARAMETER, 0);
    }
    int length = TextLength(multiByte, multiByteCount);
    if (platform::IsPlainAscii({multiByte, static_cast<std::size_t>(length)})) {
        return CopyUnits(multiByte, length, wide, wideCount);
    }
    std::u16string converted;
    if (codePage != CP_UTF8 &&
        platform::ShiftJisToWide({multiByte, static_cast<std::size_t>(length)}, converted)) {
        return CopyUnits(converted.data(), static_cast<int>(converted.size()), wide, wideCount);
    }
    const platform::UnicodeFunctions* unicode = UnicodeFunctionsOrFail();
    if (unicode == nullptr) {
        return 0;
    }
    int32_t needed = 0;
    if (unicode->toWide(codePage == CP_UTF8, multiByte, length, reinterpret_cast<char16_t*>(wide),
                        wide ? wideCount : 0, &needed) != platform::UnicodeStatus::Ok) {
        return Fail(ERROR_NO_UNICODE_TRANSLATION, 0);
    }
    if (wideCount != 0 && needed > wideCount) {
        return Fail(ERROR_INSUFFICIENT_BUFFER, 0);
    }
    return needed;
}

int WideCharToMultiByte(UINT codePage, DWORD, const WCHAR* wide, int wideCount, LPSTR multiByte,
                        int multiByteCount, LPCSTR defaultChar, BOOL* usedDefaultChar) {
    if (!KnownCodePage(codePage) || wide == nullptr || multiByteCount < 0) {
        return Fail(ERROR_INVALID_PARAMETER, 0);
    }
    int length = WideLength(wide, wideCount);
    if (IsPlainAsciiWide(wide, length)) {
        if (usedDefaultChar) {
            *usedDefaultChar = FALSE;
        }
        return CopyUnits(wide, length, multiByte, multiByteCount);
    }
    std::string converted;
    if (codePage != CP_UTF8 && platform::WideToShiftJis({reinterpret_cast<const char16_t*>(wide),
                                                         static_cast<std::size_t>(length)},
                                                        converted)) {
        if (usedDefaultChar) {
            *usedDefaultChar = FALSE;
        }
        return CopyUnits(converted.data(), static_cast<int>(converted.size()), multiByte,
                         multiByteCount);
    }
    const platform::UnicodeFunctions* unicode = UnicodeFunctionsOrFail();
    if (unicode == nullptr) {
        return 0;
    }
    int32_t needed = 0;
    int32_t usedSubstitute = 0;
    if (unicode->fromWide(codePage == CP_UTF8, reinterpret_cast<const char16_t*>(wide), length,
                          multiByteCount ? multiByte : nullptr, multiByteCount,
                          defaultChar ? defaultChar : "?", &usedSubstitute,
                          &needed) != platform::UnicodeStatus::Ok) {
        return Fail(ERROR_NO_UNICODE_TRANSLATION, 0);
    }
    if (multiByteCount != 0 && needed > multiByteCount) {
        return Fail(ERROR_INSUFFICIENT_BUFFER, 0);
    }
    if (usedDefaultChar) {
        *usedDefaultChar = usedSubstitute ? TRUE : FALSE;
    }
    return needed;
}

int CompareStringA(LCID locale, DWORD flags, LPCSTR string1, int count1, LPCSTR string2,
                   int count2) {
    bool knownLocale =
        locale == LOCALE_USER_DEFAULT || locale == LOCALE_SYSTEM_DEFAULT || locale == kJapaneseLcid;
    if (!knownLocale || string1 == nullptr || string2 == nullptr ||
        (flags & ~static_cast<DWORD>(NORM_IGNORECASE)) != 0) {
        return Fail(ERROR_INVALID_PARAMETER, 0);
    }
    bool foldCase = flags & NORM_IGNORECASE;
    const std::string_view leftText(string1, count1 < 0 ? std::strlen(string1) : count1);
    const std::string_view rightText(string2, count2 < 0 ? std::strlen(string2) : count2);
    if (platform::IsPlainAscii(leftText) && platform::IsPlainAscii(rightText)) {
        return platform::CompareAscii(leftText, rightText, foldCase);
    }
    const platform::UnicodeFunctions* unicode = UnicodeFunctionsOrFail();
    if (unicode == nullptr) {
        return 0;
    }
    int32_t order = 0;
    switch (unicode->compareJapanese(leftText.data(), static_cast<int32_t>(leftText.size()),
                                     rightText.data(), static_cast<int32_t>(rightText.size()),
                                     foldCase, &order)) {
    case platform::UnicodeStatus::Ok:
        return order < 0 ? CSTR_LESS_THAN : order == 0 ? CSTR_EQUAL : CSTR_GREATER_THAN;
    case platform::UnicodeStatus::Unconvertible:
        return Fail(ERROR_NO_UNICODE_TRANSLATION, 0);
    case platform::UnicodeStatus::NoCollator:
        break;
    }
    return Fail(ERROR_INVALID_PARAMETER, 0);
}
