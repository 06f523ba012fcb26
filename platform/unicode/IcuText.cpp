// The Unicode text module: conversion and comparison on ICU, loaded by the
// platform only when text beyond what it handles itself turns up.
// The system is Japanese: code page 932 is read and written as Windows does
// (ICU's "ibm-943_P15A-2003"), and text is ordered as the Japanese locale orders it.

#include "UnicodeFunctions.h"

#include <unicode/coll.h>
#include <unicode/uchar.h>
#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/ustring.h>

#include <cstring>
#include <memory>
#include <vector>

using platform::UnicodeStatus;

namespace {

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
UConverter* ConverterFor(bool utf8, Way way) {
    static Converter utf8Reader = Open("UTF-8");
    static Converter utf8Writer = Open("UTF-8");
    static Converter shiftJisReader = Open(kCodePage932);
    static Converter shiftJisWriter = Open(kCodePage932);
    const bool reading = way == Way::Reading;
    UConverter* converter = utf8 ? (reading ? utf8Reader : utf8Writer).get()
                                 : (reading ? shiftJisReader : shiftJisWriter).get();
    if (converter) {
        ucnv_reset(converter);
    }
    return converter;
}

// A text that did not fit is still measured; only a real failure counts.
bool Succeeded(UErrorCode status) {
    return U_SUCCESS(status) || status == U_BUFFER_OVERFLOW_ERROR;
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

UnicodeStatus ToWide(int32_t utf8, const char* bytes, int32_t count, char16_t* units,
                     int32_t capacity, int32_t* needed) {
    UConverter* converter = ConverterFor(utf8 != 0, Way::Reading);
    if (!converter) {
        return UnicodeStatus::Unconvertible;
    }
    UErrorCode status = U_ZERO_ERROR;
    *needed = ucnv_toUChars(converter, units, capacity, bytes, count, &status);
    return Succeeded(status) ? UnicodeStatus::Ok : UnicodeStatus::Unconvertible;
}

UnicodeStatus FromWide(int32_t utf8, const char16_t* units, int32_t count, char* bytes,
                       int32_t capacity, const char* substitute, int32_t* usedSubstitute,
                       int32_t* needed) {
    UConverter* converter = ConverterFor(utf8 != 0, Way::Writing);
    if (!converter) {
        return UnicodeStatus::Unconvertible;
    }
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setSubstChars(converter, substitute, static_cast<int8_t>(std::strlen(substitute)),
                       &status);
    SubstitutionSeen seen;
    ucnv_setFromUCallBack(converter, NoteSubstitution, &seen, nullptr, nullptr, &status);
    *needed = ucnv_fromUChars(converter, bytes, capacity, units, count, &status);
    *usedSubstitute = seen.used ? 1 : 0;
    return Succeeded(status) ? UnicodeStatus::Ok : UnicodeStatus::Unconvertible;
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
    ComparisonText(const char* text, int32_t count, bool foldCase) {
        ok_ = raw_.Fill([&](UChar* out, int32_t capacity, UErrorCode* status) {
            return ucnv_toUChars(ConverterFor(false, Way::Reading), out, capacity, text, count,
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

UnicodeStatus CompareJapanese(const char* left, int32_t leftCount, const char* right,
                              int32_t rightCount, int32_t foldCase, int32_t* order) {
    icu::Collator* collator = JapaneseCollator();
    if (collator == nullptr) {
        return UnicodeStatus::NoCollator;
    }
    // Folding case before a full comparison ignores case and nothing else:
    // widths and kana still order as the locale says and stay distinct.
    ComparisonText leftText(left, leftCount, foldCase != 0);
    ComparisonText rightText(right, rightCount, foldCase != 0);
    if (!leftText.Ok() || !rightText.Ok()) {
        return UnicodeStatus::Unconvertible;
    }
    UErrorCode status = U_ZERO_ERROR;
    UCollationResult result = collator->compare(leftText.Units(), leftText.Length(),
                                                rightText.Units(), rightText.Length(), status);
    if (U_FAILURE(status)) {
        return UnicodeStatus::NoCollator;
    }
    *order = result == UCOL_LESS ? -1 : result == UCOL_EQUAL ? 0 : 1;
    return UnicodeStatus::Ok;
}

constexpr platform::UnicodeFunctions kFunctions{
    platform::kUnicodeFunctionsVersion,
    ToWide,
    FromWide,
    CompareJapanese,
};

} // namespace

extern "C" __attribute__((visibility("default"))) const platform::UnicodeFunctions*
velbrin_unicode_functions() {
    return &kFunctions;
}
