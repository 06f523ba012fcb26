// ASCII text is compared and converted without ICU; the results must be
// exactly ICU's. The oracle here is ICU itself, set up as the comparison of
// the Japanese locale is: the text read by the code page's converter, case
// folded first when case is ignored, and the collator at identical strength.
// All 128 ASCII bytes take part, the three that the converter trades places
// included.

#include <windows.h>

#include <gtest/gtest.h>

#include <unicode/coll.h>
#include <unicode/ucnv.h>
#include <unicode/ustring.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

int IcuOrder(const std::string& left, const std::string& right, bool ignoreCase) {
    static std::unique_ptr<icu::Collator> collator = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Collator> made(
            icu::Collator::createInstance(icu::Locale::getJapanese(), status));
        made->setStrength(icu::Collator::IDENTICAL);
        return made;
    }();
    // The text as the code page's converter reads it, folded on request.
    auto units = [&](const std::string& text) {
        UErrorCode status = U_ZERO_ERROR;
        UConverter* shiftJis = ucnv_open("ibm-943_P15A-2003", &status);
        std::vector<UChar> out(text.size() * 2 + 1);
        out.resize(static_cast<std::size_t>(
            ucnv_toUChars(shiftJis, out.data(), static_cast<int32_t>(out.size()), text.data(),
                          static_cast<int32_t>(text.size()), &status)));
        ucnv_close(shiftJis);
        if (ignoreCase) {
            std::vector<UChar> folded(out.size() * 3 + 1);
            const int32_t length =
                u_strFoldCase(folded.data(), static_cast<int32_t>(folded.size()), out.data(),
                              static_cast<int32_t>(out.size()), U_FOLD_CASE_DEFAULT, &status);
            folded.resize(static_cast<std::size_t>(length));
            return folded;
        }
        return out;
    };
    const std::vector<UChar> a = units(left);
    const std::vector<UChar> b = units(right);
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult order = collator->compare(
        a.data(), static_cast<int32_t>(a.size()), b.data(), static_cast<int32_t>(b.size()), status);
    return order == UCOL_LESS    ? CSTR_LESS_THAN
           : order == UCOL_EQUAL ? CSTR_EQUAL
                                 : CSTR_GREATER_THAN;
}

int Order(const std::string& left, const std::string& right, bool ignoreCase) {
    return CompareStringA(LOCALE_USER_DEFAULT, ignoreCase ? NORM_IGNORECASE : 0, left.data(),
                          static_cast<int>(left.size()), right.data(),
                          static_cast<int>(right.size()));
}

// Every text of up to two ASCII characters against every other, with and
// without case: 16 513 texts, each pair of one and two characters.
TEST(KernelAsciiText, ShortTextsOrderAsIcuOrdersThem) {
    std::vector<std::string> texts{""};
    for (int a = 0; a < 128; ++a) {
        texts.emplace_back(1, static_cast<char>(a));
    }
    int wrong = 0;
    for (const std::string& left : texts) {
        for (const std::string& right : texts) {
            for (bool ignoreCase : {false, true}) {
                const int expected = IcuOrder(left, right, ignoreCase);
                if (Order(left, right, ignoreCase) != expected && ++wrong < 10) {
                    ADD_FAILURE() << "\"" << left << "\" against \"" << right << "\"";
                }
            }
        }
    }
    // Two-character texts against a character and its neighbours in the
    // order: where a passed-over character or a case difference decides.
    for (int a = 0; a < 128; ++a) {
        for (int b = 0; b < 128; ++b) {
            const std::string left{static_cast<char>(a), static_cast<char>(b)};
            for (const std::string& right :
                 {std::string(1, static_cast<char>(a)), std::string(1, static_cast<char>(b)),
                  std::string{static_cast<char>(b), static_cast<char>(a)}, std::string("aA"),
                  std::string("A\x01")}) {
                for (bool ignoreCase : {false, true}) {
                    if (Order(left, right, ignoreCase) != IcuOrder(left, right, ignoreCase) &&
                        ++wrong < 10) {
                        ADD_FAILURE() << a << ", " << b << " against \"" << right << "\"";
                    }
                }
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST(KernelAsciiText, LongerTextsOrderAsIcuOrdersThem) {
    // Letters of both cases, digits, symbols, spaces and control characters,
    // more often the ones that tie at the first level.
    const std::string alphabet = "aAbBzZ09 _-.,;!?\"'#$%&()*+/:<=>@[\\]^`{|}~\t\n\x01\x1f\x7f"
                                 "aAaA";
    std::mt19937 random(11);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 7);
    auto make = [&] {
        std::string text(static_cast<std::size_t>(length(random)), ' ');
        for (char& c : text) {
            c = alphabet[pick(random)];
        }
        return text;
    };
    int wrong = 0;
    for (int i = 0; i < 200000; ++i) {
        std::string left = make();
        // Half the time a near twin: one character changed in case or swapped.
        std::string right = make();
        if (i % 2 == 0 && !left.empty()) {
            right = left;
            char& c = right[static_cast<std::size_t>(i) % right.size()];
            c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : alphabet[pick(random)];
        }
        const bool ignoreCase = i % 3 == 0;
        if (Order(left, right, ignoreCase) != IcuOrder(left, right, ignoreCase) && ++wrong < 10) {
            ADD_FAILURE() << "\"" << left << "\" against \"" << right << "\"";
        }
    }
    EXPECT_EQ(wrong, 0);
}

// A non-ASCII text still goes to the collator: a half-width katakana after
// every ASCII letter, as the locale puts kana after Latin.
TEST(KernelAsciiText, OtherTextStillOrdersByTheLocale) {
    const std::string kana = "\xB1"; // half-width katakana A
    EXPECT_EQ(Order("z", kana, false), CSTR_LESS_THAN);
    EXPECT_EQ(Order(kana, "Z", true), CSTR_GREATER_THAN);
}

TEST(KernelAsciiText, AsciiConvertsAsTheCodePageConverterDoes) {
    UErrorCode status = U_ZERO_ERROR;
    UConverter* shiftJis = ucnv_open("ibm-943_P15A-2003", &status);
    ASSERT_TRUE(U_SUCCESS(status));
    std::string all;
    for (int byte = 0; byte < 128; ++byte) {
        all += static_cast<char>(byte);
    }
    std::vector<UChar> expected(all.size() + 1);
    const int32_t units =
        ucnv_toUChars(shiftJis, expected.data(), static_cast<int32_t>(expected.size()), all.data(),
                      static_cast<int32_t>(all.size()), &status);
    ucnv_close(shiftJis);
    ASSERT_EQ(units, static_cast<int32_t>(all.size()));

    std::vector<WCHAR> wide(all.size());
    ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, all.data(), static_cast<int>(all.size()), wide.data(),
                                  static_cast<int>(wide.size())),
              units);
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(wide[i], expected[i]) << i;
    }
    // Back again, and the sizes asked for without a buffer.
    std::string back(all.size(), '\0');
    BOOL substituted = TRUE;
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                  back.data(), static_cast<int>(back.size()), nullptr,
                                  &substituted),
              static_cast<int>(all.size()));
    EXPECT_EQ(back, all);
    EXPECT_FALSE(substituted);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "Key", -1, nullptr, 0), 4);
    const WCHAR key[] = {'K', 'e', 'y', 0};
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, key, -1, nullptr, 0, nullptr, nullptr), 4);
    // Too small a buffer fails as the converter's path does.
    WCHAR two[2];
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "Key", 3, two, 2), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

} // namespace
