#include "Graphics.h"

#include "core/IdentMaps.h"
#include "runtime/Text.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace velbrin {

namespace {

struct ColorName {
    TColor value;
    const char* name;
};

constexpr std::array<ColorName, 42> ColorNames = {{
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clScrollBar, "clScrollBar"},
    {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"},
    {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},
    {clNone, "clNone"},
}};

struct CharsetName {
    TFontCharset value;
    const char* name;
};

constexpr std::array<CharsetName, 18> CharsetNames = {{
    {0, "ANSI_CHARSET"},
    {1, "DEFAULT_CHARSET"},
    {2, "SYMBOL_CHARSET"},
    {77, "MAC_CHARSET"},
    {128, "SHIFTJIS_CHARSET"},
    {129, "HANGEUL_CHARSET"},
    {130, "JOHAB_CHARSET"},
    {134, "GB2312_CHARSET"},
    {136, "CHINESEBIG5_CHARSET"},
    {161, "GREEK_CHARSET"},
    {162, "TURKISH_CHARSET"},
    {177, "HEBREW_CHARSET"},
    {178, "ARABIC_CHARSET"},
    {186, "BALTIC_CHARSET"},
    {204, "RUSSIAN_CHARSET"},
    {222, "THAI_CHARSET"},
    {238, "EASTEUROPE_CHARSET"},
    {255, "OEM_CHARSET"},
}};

constexpr std::array<int, 16> PenModeRop2Codes = {
    R2_BLACK,       R2_WHITE,      R2_NOP,         R2_NOT,        R2_COPYPEN,  R2_NOTCOPYPEN,
    R2_MERGEPENNOT, R2_MASKPENNOT, R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN, R2_NOTMERGEPEN,
    R2_MASKPEN,     R2_NOTMASKPEN, R2_XORPEN,      R2_NOTXORPEN};

// "ＭＳ Ｐゴシック" in code page 932.
constexpr char FarEastFaceName[] = "\x82\x6C\x82\x72\x20\x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E";

void RegisterGraphicsIdentMaps() {
    static const bool registered = [] {
        RegisterIdentMap(
            ColorType,
            [](std::string_view ident, std::int32_t& value) { return NameToColor(ident, value); },
            [](std::int32_t value, std::string& ident) { return ColorToName(value, ident); });
        RegisterIdentMap(
            CharsetType,
            [](std::string_view ident, std::int32_t& value) {
                TFontCharset charset = 0;
                if (!NameToCharset(ident, charset)) {
                    return false;
                }
                value = charset;
                return true;
            },
            [](std::int32_t value, std::string& ident) {
                return value >= 0 && value <= 255 &&
                       CharsetToName(static_cast<TFontCharset>(value), ident);
            });
        return true;
    }();
    (void)registered;
}

int ScreenPixelsPerInchNow() {
    HDC screen = GetDC(nullptr);
    int pixelsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return pixelsPerInch > 0 ? pixelsPerInch : 96;
}

GraphicsDefaults StartGraphics() {
    GraphicsDefaults defaults;
    defaults.screenPixelsPerInch = ScreenPixelsPerInchNow();
    defaults.stockBlackPen = static_cast<HPEN>(GetStockObject(BLACK_PEN));
    defaults.stockHollowBrush = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    defaults.stockSystemFont = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    const bool doubleByte = GetSystemMetrics(SM_DBCSENABLED) != 0;
    defaults.defaultFont = DefaultFontFor(
        doubleByte, doubleByte ? QuerySystemFontCharset(defaults.stockSystemFont) : 1,
        defaults.screenPixelsPerInch);
    defaults.defaultApplicationIcon = LoadIconA(nullptr, IDI_APPLICATION);
    RegisterGraphicsIdentMaps();
    return defaults;
}

} // namespace

COLORREF ResolveColor(TColor color) {
    if (color < 0) {
        return GetSysColor(color & 0xFF);
    }
    return static_cast<COLORREF>(color);
}

bool ColorToName(TColor color, std::string& name) {
    auto row = std::ranges::find(ColorNames, color, &ColorName::value);
    if (row == ColorNames.end()) {
        return false;
    }
    name = row->name;
    return true;
}

bool NameToColor(std::string_view name, TColor& color) {
    auto row = std::ranges::find_if(ColorNames, [&](const ColorName& entry) {
        return LocaleCompareNoCase(entry.name, name) == 0;
    });
    if (row == ColorNames.end()) {
        return false;
    }
    color = row->value;
    return true;
}

bool CharsetToName(TFontCharset charset, std::string& name) {
    auto row = std::ranges::find(CharsetNames, charset, &CharsetName::value);
    if (row == CharsetNames.end()) {
        return false;
    }
    name = row->name;
    return true;
}

bool NameToCharset(std::string_view name, TFontCharset& charset) {
    auto row = std::ranges::find_if(CharsetNames, [&](const CharsetName& entry) {
        return AsciiCompareNoCase(entry.name, name) == 0;
    });
    if (row == CharsetNames.end()) {
        return false;
    }
    charset = row->value;
    return true;
}

int PenModeRop2(TPenMode mode) {
    return mode < PenModeRop2Codes.size() ? PenModeRop2Codes[mode] : R2_COPYPEN;
}

const TypeInfo& ColorType() {
    static const TypeInfo type =
        IntegerTypeInfo("TColor", OrdinalType::SLong, INT32_MIN, INT32_MAX);
    RegisterGraphicsIdentMaps();
    return type;
}

const TypeInfo& CharsetType() {
    static const TypeInfo type = IntegerTypeInfo("TFontCharset", OrdinalType::UByte, 0, 255);
    RegisterGraphicsIdentMaps();
    return type;
}

const TypeInfo& FontNameType() {
    static const TypeInfo type = ShortStringTypeInfo("TFontName", MaxFontNameLength);
    return type;
}

const TypeInfo& TypeInfoOf(TFontPitch*) {
    static const TypeInfo type =
        EnumerationTypeInfo("TFontPitch", {"fpDefault", "fpVariable", "fpFixed"});
    return type;
}

const TypeInfo& TypeInfoOf(TFontStyle*) {
    static const TypeInfo type =
        EnumerationTypeInfo("TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"});
    return type;
}

const TypeInfo& TypeInfoOf(TFontStyles*) {
    static const TypeInfo type =
        SetTypeInfo("TFontStyles", TypeInfoOf(static_cast<TFontStyle*>(nullptr)));
    return type;
}

const TypeInfo& TypeInfoOf(TPenStyle*) {
    static const TypeInfo type =
        EnumerationTypeInfo("TPenStyle", {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot",
                                          "psClear", "psInsideFrame"});
    return type;
}

const TypeInfo& TypeInfoOf(TPenMode*) {
    static const TypeInfo type = EnumerationTypeInfo(
        "TPenMode", {"pmBlack", "pmWhite", "pmNop", "pmNot", "pmCopy", "pmNotCopy", "pmMergePenNot",
                     "pmMaskPenNot", "pmMergeNotPen", "pmMaskNotPen", "pmMerge", "pmNotMerge",
                     "pmMask", "pmNotMask", "pmXor", "pmNotXor"});
    return type;
}

const TypeInfo& TypeInfoOf(TBrushStyle*) {
    static const TypeInfo type = EnumerationTypeInfo(
        "TBrushStyle", {"bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal",
                        "bsBDiagonal", "bsCross", "bsDiagCross"});
    return type;
}

void TFontResData::SetFaceName(std::string_view name) {
    std::memset(Name, 0, sizeof Name);
    NameLength = static_cast<std::uint8_t>(std::min(name.size(), MaxFontNameLength));
    std::memcpy(Name, name.data(), NameLength);
}

std::uint16_t DataHash(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    std::uint16_t hash = 0;
    for (std::size_t i = 0; i < size; ++i) {
        hash = static_cast<std::uint16_t>((hash << 5) | (hash >> 11));
        hash ^= bytes[i];
    }
    return hash;
}

namespace {
GraphicsDefaults& CurrentDefaults() {
    static GraphicsDefaults defaults = StartGraphics();
    return defaults;
}
} // namespace

const GraphicsDefaults& Graphics() {
    return CurrentDefaults();
}

void RestartGraphicsForTesting() {
    CurrentDefaults() = StartGraphics();
}

TFontResData DefaultFontFor(bool doubleByteSystem, TFontCharset systemFontCharset,
                            int pixelsPerInch) {
    TFontResData font;
    if (doubleByteSystem && systemFontCharset == SHIFTJIS_CHARSET) {
        font.SetFaceName(FarEastFaceName);
        font.Charset = SHIFTJIS_CHARSET;
        font.Height = -MulDiv(9, pixelsPerInch, 72);
    } else {
        font.SetFaceName("MS Sans Serif");
        font.Charset = DEFAULT_CHARSET;
        font.Height = -MulDiv(8, pixelsPerInch, 72);
    }
    return font;
}

TFontCharset QuerySystemFontCharset(HFONT systemFont) {
    TFontCharset charset = DEFAULT_CHARSET;
    HDC screen = GetDC(nullptr);
    if (screen == nullptr) {
        return charset;
    }
    HGDIOBJ previous = SelectObject(screen, systemFont);
    TEXTMETRICA metrics{};
    if (previous != nullptr && GetTextMetricsA(screen, &metrics)) {
        charset = metrics.tmCharSet;
    }
    if (previous != nullptr) {
        SelectObject(screen, previous);
    }
    ReleaseDC(nullptr, screen);
    return charset;
}

} // namespace velbrin
