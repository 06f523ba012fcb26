// Code page 932 text is converted through the C library's converter where it
// agrees with ICU's; every result must still be exactly ICU's. The oracle is
// ICU's converter for the code page, used directly: every single byte, every
// lead byte with every trail byte (read and unreadable pairs alike), every
// UTF-16 unit, and mixed texts.

#include "../kernel/ShiftJisConverter.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

struct ConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};

using IcuConverter = std::unique_ptr<UConverter, ConverterCloser>;

IcuConverter OpenIcuShiftJis() {
    UErrorCode status = U_ZERO_ERROR;
    return IcuConverter(ucnv_open("ibm-943_P15A-2003", &status));
}

// A fresh converter's reading is the reference: a writer's default character
// must not change it, so reading and writing never share one.
UConverter* IcuReader() {
    static IcuConverter converter = OpenIcuShiftJis();
    ucnv_reset(converter.get());
    return converter.get();
}

UConverter* IcuWriter() {
    static IcuConverter converter = OpenIcuShiftJis();
    ucnv_reset(converter.get());
    return converter.get();
}

std::u16string IcuToWide(const std::string& bytes) {
    UErrorCode status = U_ZERO_ERROR;
    std::vector<UChar> out(bytes.size() * 2 + 2);
    int32_t length = ucnv_toUChars(IcuReader(), out.data(), static_cast<int32_t>(out.size()),
                                   bytes.data(), static_cast<int32_t>(bytes.size()), &status);
    EXPECT_TRUE(U_SUCCESS(status));
    return {reinterpret_cast<const char16_t*>(out.data()), static_cast<std::size_t>(length)};
}

struct Narrowed {
    std::string bytes;
    bool usedDefault = false;
};

// ICU's bytes with '?' for what the code page lacks; whether it lacked
// anything is asked of a second run that stops at the first such character.
Narrowed IcuToShiftJis(const std::u16string& wide) {
    auto run = [&](UConverterFromUCallback callback, UErrorCode& status) {
        UConverter* converter = IcuWriter();
        ucnv_setSubstChars(converter, "?", 1, &status);
        ucnv_setFromUCallBack(converter, callback, nullptr, nullptr, nullptr, &status);
        std::string out(wide.size() * 4 + 4, '\0');
        int32_t length = ucnv_fromUChars(converter, out.data(), static_cast<int32_t>(out.size()),
                                         reinterpret_cast<const UChar*>(wide.data()),
                                         static_cast<int32_t>(wide.size()), &status);
        out.resize(static_cast<std::size_t>(std::max(length, 0)));
        return out;
    };
    UErrorCode substituted = U_ZERO_ERROR;
    UErrorCode stopped = U_ZERO_ERROR;
    Narrowed result;
    result.bytes = run(UCNV_FROM_U_CALLBACK_SUBSTITUTE, substituted);
    EXPECT_TRUE(U_SUCCESS(substituted));
    run(UCNV_FROM_U_CALLBACK_STOP, stopped);
    result.usedDefault = U_FAILURE(stopped);
    return result;
}

std::u16string PlatformToWide(const std::string& bytes) {
    const int length = static_cast<int>(bytes.size());
    const int needed = MultiByteToWideChar(932, 0, bytes.data(), length, nullptr, 0);
    std::u16string wide(static_cast<std::size_t>(needed), u'\0');
    const int written = MultiByteToWideChar(932, 0, bytes.data(), length,
                                            reinterpret_cast<WCHAR*>(wide.data()), needed);
    EXPECT_EQ(written, needed);
    return wide;
}

Narrowed PlatformToShiftJis(const std::u16string& wide) {
    const auto* units = reinterpret_cast<const WCHAR*>(wide.data());
    const int length = static_cast<int>(wide.size());
    const int needed = WideCharToMultiByte(932, 0, units, length, nullptr, 0, "?", nullptr);
    Narrowed result;
    result.bytes.assign(static_cast<std::size_t>(needed), '\0');
    BOOL usedDefault = FALSE;
    const int written =
        WideCharToMultiByte(932, 0, units, length, result.bytes.data(), needed, "?", &usedDefault);
    EXPECT_EQ(written, needed);
    result.usedDefault = usedDefault != FALSE;
    return result;
}

std::string Hex(const std::string& bytes) {
    std::string out;
    for (unsigned char byte : bytes) {
        out += "0123456789ABCDEF"[byte >> 4];
        out += "0123456789ABCDEF"[byte & 15];
        out += ' ';
    }
    return out;
}

bool IsLeadByte(int byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

} // namespace

TEST(KernelShiftJisTest, EverySingleByteReadsAsIcuReadsIt) {
    for (int byte = 0; byte < 256; ++byte) {
        const std::string text(1, static_cast<char>(byte));
        EXPECT_EQ(PlatformToWide(text), IcuToWide(text)) << Hex(text);
    }
}

TEST(KernelShiftJisTest, EveryLeadAndTrailByteReadsAsIcuReadsIt) {
    for (int lead = 0x80; lead < 256; ++lead) {
        if (!IsLeadByte(lead)) {
            continue;
        }
        for (int trail = 0; trail < 256; ++trail) {
            const std::string text{static_cast<char>(lead), static_cast<char>(trail)};
            ASSERT_EQ(PlatformToWide(text), IcuToWide(text)) << Hex(text);
        }
    }
}

TEST(KernelShiftJisTest, EveryUtf16UnitWritesAsIcuWritesIt) {
    for (int unit = 1; unit < 0x10000; ++unit) {
        const std::u16string text(1, static_cast<char16_t>(unit));
        const Narrowed expected = IcuToShiftJis(text);
        const Narrowed actual = PlatformToShiftJis(text);
        ASSERT_EQ(actual.bytes, expected.bytes) << "U+" << std::hex << unit;
        ASSERT_EQ(actual.usedDefault, expected.usedDefault) << "U+" << std::hex << unit;
    }
}

TEST(KernelShiftJisTest, MixedTextsConvertAsIcuConvertsThem) {
    std::mt19937 random(932);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(1, 12);
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        for (int i = length(random); i > 0; --i) {
            text += static_cast<char>(byte(random));
        }
        const std::u16string expected = IcuToWide(text);
        ASSERT_EQ(PlatformToWide(text), expected) << Hex(text);
        const Narrowed back = IcuToShiftJis(expected);
        const Narrowed actual = PlatformToShiftJis(expected);
        ASSERT_EQ(actual.bytes, back.bytes) << Hex(text);
        ASSERT_EQ(actual.usedDefault, back.usedDefault) << Hex(text);
    }
}

TEST(KernelShiftJisTest, JapaneseLabelsTakeTheLibraryConverter) {
    // "ド" and "音" as the code page writes them.
    const std::string label = "\x83\x68\x89\xB9";
    std::u16string wide;
    ASSERT_TRUE(platform::ShiftJisToWide(label, wide));
    EXPECT_EQ(wide, u"\u30C9\u97F3");
    std::string bytes;
    ASSERT_TRUE(platform::WideToShiftJis(wide, bytes));
    EXPECT_EQ(bytes, label);
}

TEST(KernelShiftJisTest, LibraryConverterDeclinesWhatIcuDoesOtherwise) {
    std::u16string wide;
    std::string bytes;
    EXPECT_FALSE(platform::ShiftJisToWide("a\x1A", wide));
    EXPECT_FALSE(platform::ShiftJisToWide("\x83", wide));
    EXPECT_FALSE(platform::WideToShiftJis(u"\u00A5", bytes));
    EXPECT_FALSE(platform::WideToShiftJis(u"\u2014", bytes));
    EXPECT_FALSE(platform::WideToShiftJis(u"\u007F", bytes));
    const char16_t loneSurrogate[] = {0x4E00, 0xD800};
    EXPECT_FALSE(platform::WideToShiftJis({loneSurrogate, 2}, bytes));
}

TEST(KernelShiftJisTest, ShortBuffersAreRefusedOnTheLibraryPath) {
    const std::string label = "\x83\x68\x89\xB9";
    WCHAR wide[1];
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(932, 0, label.data(), 4, wide, 1), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    const WCHAR units[] = {0x30C9, 0x97F3};
    char bytes[3];
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(932, 0, units, 2, bytes, 3, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

TEST(KernelShiftJisTest, WritingWithADefaultCharacterLeavesReadingAsItWas) {
    const std::string unreadable = "\x80";
    const std::u16string before = PlatformToWide(unreadable);
    const WCHAR lacking[] = {0x00A5};
    char written[4] = {};
    BOOL usedDefault = FALSE;
    ASSERT_EQ(WideCharToMultiByte(932, 0, lacking, 1, written, 4, "*", &usedDefault), 1);
    EXPECT_EQ(written[0], '*');
    EXPECT_TRUE(usedDefault);
    EXPECT_EQ(PlatformToWide(unreadable), before);
    EXPECT_EQ(PlatformToWide(unreadable), IcuToWide(unreadable));
}
