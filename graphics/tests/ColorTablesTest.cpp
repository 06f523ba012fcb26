#include "GraphicsTestSupport.h"

#include "core/IdentMaps.h"

#include <cstring>
#include <string>

namespace velbrin::testing {
namespace {

using ColorTablesTest = GraphicsTest;

TEST_F(ColorTablesTest, SystemColoursFollowTheSchemeAndOthersPassThrough) {
    EXPECT_EQ(ResolveColor(clRed), 0x0000FFu);
    EXPECT_EQ(ResolveColor(clNone), 0x1FFFFFFFu);
    EXPECT_EQ(ResolveColor(clBtnFace), GetSysColor(COLOR_BTNFACE));
    // Only the low byte picks the system colour.
    EXPECT_EQ(ResolveColor(static_cast<TColor>(0x80FFFF08u)), GetSysColor(COLOR_WINDOWTEXT));

    const INT index = COLOR_BTNFACE;
    const COLORREF pink = RGB(255, 192, 203);
    ASSERT_TRUE(SetSysColors(1, &index, &pink));
    EXPECT_EQ(ResolveColor(clBtnFace), pink);
}

TEST_F(ColorTablesTest, ColourNamesAreFoundInTableOrder) {
    TColor color = 0;
    ASSERT_TRUE(NameToColor("CLWINDOWTEXT", color));
    EXPECT_EQ(color, static_cast<TColor>(0x80000008u));
    ASSERT_TRUE(NameToColor("clinfobk", color));
    EXPECT_EQ(color, static_cast<TColor>(0x80000018u));
    ASSERT_TRUE(NameToColor("clNone", color));
    EXPECT_EQ(color, 0x1FFFFFFF);
    EXPECT_FALSE(NameToColor("clTransparent", color));
    EXPECT_FALSE(NameToColor("", color));

    std::string name;
    ASSERT_TRUE(ColorToName(0xFFFF00, name));
    EXPECT_EQ(name, "clAqua");
    ASSERT_TRUE(ColorToName(static_cast<TColor>(0x8000000Fu), name));
    EXPECT_EQ(name, "clBtnFace");
    ASSERT_TRUE(ColorToName(static_cast<TColor>(0x80000015u), name));
    EXPECT_EQ(name, "cl3DDkShadow");
    name = "unchanged";
    EXPECT_FALSE(ColorToName(static_cast<TColor>(0x80000019u), name));
    EXPECT_FALSE(ColorToName(0x123456, name));
    EXPECT_EQ(name, "unchanged");
}

TEST_F(ColorTablesTest, CharsetNamesFoldAsciiCaseOnly) {
    TFontCharset charset = 0;
    ASSERT_TRUE(NameToCharset("shiftjis_charset", charset));
    EXPECT_EQ(charset, 128);
    ASSERT_TRUE(NameToCharset("Mac_Charset", charset));
    EXPECT_EQ(charset, 77);
    ASSERT_TRUE(NameToCharset("OEM_CHARSET", charset));
    EXPECT_EQ(charset, 255);
    EXPECT_FALSE(NameToCharset("SHIFT_JIS", charset));
    // A full-width letter is not an ASCII letter in another case.
    EXPECT_FALSE(NameToCharset("\x82\x60NSI_CHARSET", charset));

    std::string name;
    ASSERT_TRUE(CharsetToName(238, name));
    EXPECT_EQ(name, "EASTEUROPE_CHARSET");
    ASSERT_TRUE(CharsetToName(0, name));
    EXPECT_EQ(name, "ANSI_CHARSET");
    EXPECT_FALSE(CharsetToName(3, name));
}

TEST_F(ColorTablesTest, IdentifierMapsServeTheColourAndCharsetTypes) {
    std::int32_t value = 0;
    ASSERT_TRUE(IdentToIntOf(ColorType(), "clWindowText", value));
    EXPECT_EQ(value, clWindowText);
    ASSERT_TRUE(IdentToIntOf(CharsetType(), "SHIFTJIS_CHARSET", value));
    EXPECT_EQ(value, 128);
    EXPECT_FALSE(IdentToIntOf(CharsetType(), "clWindowText", value));

    std::string ident;
    ASSERT_TRUE(IntToIdentOf(ColorType(), clBtnFace, ident));
    EXPECT_EQ(ident, "clBtnFace");
    EXPECT_FALSE(IntToIdentOf(ColorType(), 0x123456, ident));
    ASSERT_TRUE(IntToIdentOf(CharsetType(), 134, ident));
    EXPECT_EQ(ident, "GB2312_CHARSET");
    EXPECT_FALSE(IntToIdentOf(CharsetType(), 300, ident));
}

TEST_F(ColorTablesTest, DataHashRotatesAndMixesTheLowByte) {
    EXPECT_EQ(DataHash("abc", 3), 0x8822);
    EXPECT_EQ(DataHash("", 0), 0);
    // Bits that leave the top come back at the bottom: 0x00FF, 0x1FE0,
    // 0xFC03, 0x807F.
    const std::uint8_t bytes[] = {0xFF, 0, 0, 0};
    EXPECT_EQ(DataHash(bytes, 4), 0x807F);
    // The XOR reaches the low byte only.
    const std::uint8_t two[] = {0x80, 0x01};
    EXPECT_EQ(DataHash(two, 2), 0x1001);
}

TEST_F(ColorTablesTest, PenModesMapToTheirRasterOperations) {
    EXPECT_EQ(PenModeRop2(pmBlack), R2_BLACK);
    EXPECT_EQ(PenModeRop2(pmCopy), R2_COPYPEN);
    EXPECT_EQ(PenModeRop2(pmNotCopy), R2_NOTCOPYPEN);
    EXPECT_EQ(PenModeRop2(pmMergeNotPen), R2_MERGENOTPEN);
    EXPECT_EQ(PenModeRop2(pmNotMerge), R2_NOTMERGEPEN);
    EXPECT_EQ(PenModeRop2(pmXor), R2_XORPEN);
    EXPECT_EQ(PenModeRop2(pmNotXor), R2_NOTXORPEN);
}

TEST_F(ColorTablesTest, DefaultFontDependsOnTheSystemFontCharset) {
    const TFontResData farEast = DefaultFontFor(true, SHIFTJIS_CHARSET, 96);
    EXPECT_EQ(farEast.FaceName(), "\x82\x6C\x82\x72\x20\x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E");
    EXPECT_EQ(farEast.NameLength, 15);
    EXPECT_EQ(farEast.Charset, 128);
    EXPECT_EQ(farEast.Height, -12);

    for (const TFontResData& normal :
         {DefaultFontFor(true, DEFAULT_CHARSET, 96), DefaultFontFor(false, SHIFTJIS_CHARSET, 96)}) {
        EXPECT_EQ(normal.FaceName(), "MS Sans Serif");
        EXPECT_EQ(normal.Charset, 1);
        EXPECT_EQ(normal.Height, -11);
    }
    EXPECT_EQ(DefaultFontFor(false, 0, 120).Height, -13);
    EXPECT_EQ(DefaultFontFor(true, SHIFTJIS_CHARSET, 120).Height, -15);
}

TEST_F(ColorTablesTest, StartUpReadsTheScreen) {
    platform::SetScreenPixelsPerInch(120);
    RestartGraphicsForTesting();
    const GraphicsDefaults& graphics = Graphics();
    EXPECT_EQ(graphics.screenPixelsPerInch, 120);
    EXPECT_EQ(graphics.stockBlackPen, GetStockObject(BLACK_PEN));
    EXPECT_EQ(graphics.stockHollowBrush, GetStockObject(NULL_BRUSH));
    EXPECT_EQ(graphics.stockSystemFont, GetStockObject(SYSTEM_FONT));
    EXPECT_NE(graphics.defaultApplicationIcon, nullptr);
    const TFontCharset systemCharset = QuerySystemFontCharset(graphics.stockSystemFont);
    const TFontResData expected =
        DefaultFontFor(GetSystemMetrics(SM_DBCSENABLED) != 0, systemCharset, 120);
    EXPECT_EQ(std::memcmp(&graphics.defaultFont, &expected, sizeof expected), 0);
    EXPECT_EQ(QuerySystemFontCharset(nullptr), DEFAULT_CHARSET);
}

} // namespace
} // namespace velbrin::testing
