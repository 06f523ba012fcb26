// Code page 932 and UTF-8 conversion, and the locale-aware comparison, on ICU.
// The system is Japanese: the ANSI code page is 932 and the user's locale 0x411.
// ASCII text is the same in every code page here and is ordered without the
// collator, and code page 932 text goes through the C library's converter
// wherever that gives what ICU gives, so ICU's converters and collator are
// made only for other text.

#include "CodePage.h"
#include "../core/Context.h"
#include "AsciiCollation.h"
#include "KernelState.h"
#include "ShiftJisConverter.h"

#include <unicode/coll.h>
#include <unicode/uchar.h>
#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

using platform::Fail;

namespace {

// The system's locale and language: Japanese (Japan), sorted the default way.
constexpr LCID kJapaneseLcid = 0x0411;

// ICU's name for the Windows flavour of Shift-JIS.
constexpr const char* kCodePage932 = "ibm-943_P15A-2003";

struct ConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

Converter Open(const char* name) {
    UErrorCode status = U_ZERO_ERROR;
    Converter converter(ucnv_open(name, &status));
    return U_SUCCESS(status) ? std::move(converter) : nullptr;
}

enum class Way { Reading, Writing };

// Converters are opened once and reset before each use; the program runs on
// one thread. Reading and writing have converters of their own: the default
// character a writer sets would otherwise change what a reader substitutes
// for bytes it cannot read.
UConverter* ConverterFor(UINT codePage, Way way) {
    static Converter utf8Reader = Open("UTF-8");
    static Converter utf8Writer = Open("UTF-8");
    static Converter shiftJisReader = Open(kCodePage932);
    static Converter shiftJisWriter = Open(kCodePage932);
    const bool reading = way == Way::Reading;
    UConverter* converter = codePage == CP_UTF8 ? (reading ? utf8Reader : utf8Writer).get()
                                                : (reading ? shiftJisReader : shiftJisWriter).get();
    if (converter) {
        ucnv_reset(converter);
    }
    return converter;
}

bool KnownCodePage(UINT codePage) {
    return codePage == CP_ACP || codePage == CP_OEMCP || codePage == 932 || codePage == CP_UTF8;
}

struct SubstitutionSeen {
    bool used = false;
};

// Notes that a character had no mapping, then substitutes as ICU would.
void NoteSubstitution(const void* context, UConverterFromUnicodeArgs* args, const UChar* units,
                      int32_t length, UChar32 codePoint, UConverterCallbackReason reason,
                      UErrorCode* status) {
    // ICU drops a default-ignorable character the code page lacks (a soft
    // hyphen, a joiner) without writing the default character for it.
    const bool dropped = reason == UCNV_UNASSIGNED &&
                         u_hasBinaryProperty(codePoint, UCHAR_DEFAULT_IGNORABLE_CODE_POINT);
    if (reason <= UCNV_IRREGULAR && !dropped) {
        static_cast<SubstitutionSeen*>(const_cast<void*>(context))->used = true;
    }
    UCNV_FROM_U_CALLBACK_SUBSTITUTE(nullptr, args, units, length, codePoint, reason, status);
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

// UTF-16 units; short texts, the usual case in sorted lists, stay on the stack.
struct UnitBuffer {
    static constexpr int32_t kSmall = 256;
    UChar small[kSmall];
    std::vector<UChar> large;
    int32_t length = 0;

    const UChar* Data() const { return large.empty() ? small : large.data(); }

    // Runs an ICU producer, once more with a buffer of the size it asked for
    // when the small one was too short.
    template <class Produce> bool Fill(Produce produce) {
        UErrorCode status = U_ZERO_ERROR;
        length = produce(small, kSmall, &status);
        if (status == U_BUFFER_OVERFLOW_ERROR) {
            large.resize(static_cast<std::size_t>(length) + 1);
            status = U_ZERO_ERROR;
            length = produce(large.data(), static_cast<int32_t>(large.size()), &status);
        }
        return U_SUCCESS(status);
    }
};

// A code page 932 text as UTF-16, case-folded on request.
class ComparisonText {
public:
    ComparisonText(const char* text, int count, bool foldCase) {
        int32_t bytes = count < 0 ? static_cast<int32_t>(std::strlen(text)) : count;
        ok_ = raw_.Fill([&](UChar* out, int32_t capacity, UErrorCode* status) {
            return ucnv_toUChars(ConverterFor(CP_ACP, Way::Reading), out, capacity, text, bytes,
                                 status);
        });
        if (ok_ && foldCase) {
            ok_ = folded_.Fill([&](UChar* out, int32_t capacity, UErrorCode* status) {
                return u_strFoldCase(out, capacity, raw_.Data(), raw_.length, U_FOLD_CASE_DEFAULT,
                                     status);
            });
            useFolded_ = true;
        }
    }

    bool Ok() const { return ok_; }
    const UChar* Units() const { return useFolded_ ? folded_.Data() : raw_.Data(); }
    int32_t Length() const { return useFolded_ ? folded_.length : raw_.length; }

private:
    UnitBuffer raw_;
    UnitBuffer folded_;
    bool useFolded_ = false;
    bool ok_ = false;
};

icu::Collator* JapaneseCollator() {
    static std::unique_ptr<icu::Collator> collator = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Collator> made(
            icu::Collator::createInstance(icu::Locale::getJapanese(), status));
        if (U_FAILURE(status)) {
            made.reset();
        } else {
            // Past the locale's own levels the code points decide, so that only
            // what the caller folded away compares equal.
            made->setStrength(icu::Collator::IDENTICAL);
        }
        return made;
    }();
    return collator.get();
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
    UConverter* converter = ConverterFor(codePage, Way::Reading);
    if (!converter) {
        return Fail(ERROR_INVALID_PARAMETER, 0);
    }
    UErrorCode status = U_ZERO_ERROR;
    int32_t needed = ucnv_toUChars(converter, reinterpret_cast<UChar*>(wide), wide ? wideCount : 0,
                                   multiByte, length, &status);
    if (status == U_BUFFER_OVERFLOW_ERROR || status == U_STRING_NOT_TERMINATED_WARNING) {
        status = U_ZERO_ERROR;
    }
    if (U_FAILURE(status)) {
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
    UConverter* converter = ConverterFor(codePage, Way::Writing);
    if (!converter) {
        return Fail(ERROR_INVALID_PARAMETER, 0);
    }
    UErrorCode status = U_ZERO_ERROR;
    const char* substitute = defaultChar ? defaultChar : "?";
    ucnv_setSubstChars(converter, substitute, static_cast<int8_t>(std::strlen(substitute)),
                       &status);
    SubstitutionSeen seen;
    ucnv_setFromUCallBack(converter, NoteSubstitution, &seen, nullptr, nullptr, &status);
    int32_t needed =
        ucnv_fromUChars(converter, multiByteCount ? multiByte : nullptr, multiByteCount,
                        reinterpret_cast<const UChar*>(wide), length, &status);
    if (status == U_BUFFER_OVERFLOW_ERROR || status == U_STRING_NOT_TERMINATED_WARNING) {
        status = U_ZERO_ERROR;
    }
    if (U_FAILURE(status)) {
        return Fail(ERROR_NO_UNICODE_TRANSLATION, 0);
    }
    if (multiByteCount != 0 && needed > multiByteCount) {
        return Fail(ERROR_INSUFFICIENT_BUFFER, 0);
    }
    if (usedDefaultChar) {
        *usedDefaultChar = seen.used ? TRUE : FALSE;
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
    icu::Collator* collator = JapaneseCollator();
    if (collator == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER, 0);
    }
    // Folding case before a full comparison ignores case and nothing else:
    // widths and kana still order as the locale says and stay distinct.
    ComparisonText left(string1, count1, foldCase);
    ComparisonText right(string2, count2, foldCase);
    if (!left.Ok() || !right.Ok()) {
        return Fail(ERROR_NO_UNICODE_TRANSLATION, 0);
    }
    UErrorCode status = U_ZERO_ERROR;
    UCollationResult order =
        collator->compare(left.Units(), left.Length(), right.Units(), right.Length(), status);
    if (U_FAILURE(status)) {
        return Fail(ERROR_INVALID_PARAMETER, 0);
    }
    return order == UCOL_LESS    ? CSTR_LESS_THAN
           : order == UCOL_EQUAL ? CSTR_EQUAL
                                 : CSTR_GREATER_THAN;
}
