#include "platform/Testing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>

namespace {

// "ＭＳ Ｐゴシック" and the katakana "ア" in code page 932.
constexpr const char kJapaneseGothic[] =
    "\x82\x6c\x82\x72\x20\x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e";
constexpr const char kKatakanaA[] = "\x83\x41";

constexpr COLORREF kPaper = RGB(255, 255, 255);

HFONT MakeFont(const char* face, LONG height, LONG weight = FW_NORMAL, BYTE charset = 0,
               BYTE underline = 0) {
    LOGFONTA font{};
    font.lfHeight = height;
    font.lfWeight = weight;
    font.lfCharSet = charset;
    font.lfUnderline = underline;
    std::strncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    return CreateFontIndirectA(&font);
}

struct Ink {
    RECT bounds{1 << 20, 1 << 20, -1, -1};
    int pixels = 0;
};

// The pixels that are not paper, and their bounding box.
Ink InkOf(HDC dc, int width, int height, COLORREF paper = kPaper) {
    Ink ink;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (platform::ReadSurfacePixel(dc, x, y) != paper) {
                ++ink.pixels;
                ink.bounds.left = std::min<LONG>(ink.bounds.left, x);
                ink.bounds.top = std::min<LONG>(ink.bounds.top, y);
                ink.bounds.right = std::max<LONG>(ink.bounds.right, x + 1);
                ink.bounds.bottom = std::max<LONG>(ink.bounds.bottom, y + 1);
            }
        }
    }
    return ink;
}

SIZE Extent(HDC dc, const char* text) {
    SIZE size{-1, -1};
    EXPECT_TRUE(GetTextExtentPointA(dc, text, static_cast<int>(std::strlen(text)), &size));
    return size;
}

class TextTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::ResetForTesting();
        dc = platform::CreateMemorySurfaceDC(kWidth, kHeight, kPaper);
    }
    void TearDown() override {
        SelectObject(dc, GetStockObject(SYSTEM_FONT));
        for (HFONT font : fonts) {
            DeleteObject(font);
        }
        DeleteDC(dc);
        EXPECT_EQ(platform::CountLiveHandles().gdiObjects, 0u);
    }
    HFONT Use(HFONT font) {
        fonts.push_back(font);
        SelectObject(dc, font);
        return font;
    }

    static constexpr int kWidth = 160;
    static constexpr int kHeight = 60;
    HDC dc = nullptr;
    std::vector<HFONT> fonts;
};

} // namespace

TEST_F(TextTest, HeightsFollowTheWindowsConventionAndTheSystemFontIsDoubleByte) {
    TEXTMETRICA metrics{};
    ASSERT_TRUE(GetTextMetricsA(dc, &metrics));
    EXPECT_EQ(metrics.tmCharSet, SHIFTJIS_CHARSET) << "the stock system font";

    Use(MakeFont("Arial", -20));
    ASSERT_TRUE(GetTextMetricsA(dc, &metrics));
    EXPECT_EQ(metrics.tmHeight - metrics.tmInternalLeading, 20) << "negative: character height";
    EXPECT_EQ(metrics.tmAscent + metrics.tmDescent, metrics.tmHeight);
    EXPECT_EQ(metrics.tmCharSet, ANSI_CHARSET);
    char face[LF_FACESIZE] = {};
    EXPECT_EQ(GetTextFaceA(dc, LF_FACESIZE, face), 5);
    EXPECT_STREQ(face, "Arial");

    Use(MakeFont("Arial", 20));
    ASSERT_TRUE(GetTextMetricsA(dc, &metrics));
    EXPECT_NEAR(metrics.tmHeight, 20, 1) << "positive: cell height";
    EXPECT_GT(metrics.tmInternalLeading, 0);

    Use(MakeFont(kJapaneseGothic, -12, FW_NORMAL, SHIFTJIS_CHARSET));
    ASSERT_TRUE(GetTextMetricsA(dc, &metrics));
    EXPECT_EQ(metrics.tmHeight - metrics.tmInternalLeading, 12);
    EXPECT_EQ(metrics.tmCharSet, SHIFTJIS_CHARSET);
    EXPECT_TRUE(metrics.tmPitchAndFamily & TMPF_FIXED_PITCH) << "a proportional face";
    EXPECT_LT(Extent(dc, "i").cx, Extent(dc, "W").cx);
}

// Forms measure their text height as the height of "0": in the Japanese Gothic
// face at -12 that is 12, the cell of the Windows face filling its em square,
// whatever the installed face that stands in for it has as its own.
TEST_F(TextTest, TheJapaneseGothicCellIsItsEmSquare) {
    TEXTMETRICA metrics{};
    for (LONG height : {-12, -15, -16}) {
        Use(MakeFont(kJapaneseGothic, height, FW_NORMAL, SHIFTJIS_CHARSET));
        ASSERT_TRUE(GetTextMetricsA(dc, &metrics));
        EXPECT_EQ(metrics.tmHeight, -height);
        EXPECT_EQ(metrics.tmInternalLeading, 0);
        EXPECT_EQ(Extent(dc, "0").cy, -height);
        EXPECT_GT(metrics.tmAscent, metrics.tmDescent * 4) << "the baseline sits low in the cell";
    }
    // The cell still holds what is drawn in it.
    RECT cell{0, 0, kWidth, 12};
    Use(MakeFont(kJapaneseGothic, -12, FW_NORMAL, SHIFTJIS_CHARSET));
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &cell, "C+ B- F+", 8, nullptr);
    Ink ink = InkOf(dc, kWidth, kHeight);
    EXPECT_GT(ink.pixels, 20);
    EXPECT_LE(ink.bounds.bottom, 12);
}

TEST_F(TextTest, ADoubleByteCharacterIsMeasuredAndDrawnAsOne) {
    Use(MakeFont(kJapaneseGothic, -12, FW_NORMAL, SHIFTJIS_CHARSET));
    SIZE one = Extent(dc, kKatakanaA);
    std::string two = std::string(kKatakanaA) + kKatakanaA;
    SIZE both = Extent(dc, two.c_str());
    EXPECT_EQ(both.cx, 2 * one.cx);
    EXPECT_GE(one.cx, 8) << "a full-width glyph, not two narrow ones";

    SetBkMode(dc, TRANSPARENT);
    ASSERT_TRUE(TextOutA(dc, 20, 10, kKatakanaA, 2));
    Ink ink = InkOf(dc, kWidth, kHeight);
    EXPECT_GT(ink.pixels, 10);
    EXPECT_GE(ink.bounds.left, 20);
    EXPECT_LE(ink.bounds.right, 20 + one.cx + 1);
    EXPECT_GE(ink.bounds.top, 10);
    EXPECT_LE(ink.bounds.bottom, 10 + one.cy);

    // A lead byte with nothing after it is one character of its own.
    SIZE broken{};
    EXPECT_TRUE(GetTextExtentPointA(dc, "\x83", 1, &broken));
    EXPECT_GT(broken.cx, 0);
}

TEST_F(TextTest, DrawnInkStaysInsideTheMeasuredCell) {
    Use(MakeFont("Arial", -13));
    SetBkMode(dc, TRANSPARENT);
    SIZE size = Extent(dc, "Key");
    ASSERT_TRUE(TextOutA(dc, 30, 12, "Key", 3));
    Ink ink = InkOf(dc, kWidth, kHeight);
    EXPECT_GT(ink.pixels, 20);
    EXPECT_GE(ink.bounds.left, 30);
    EXPECT_LE(ink.bounds.right, 30 + size.cx + 1);
    EXPECT_GE(ink.bounds.top, 12);
    EXPECT_LE(ink.bounds.bottom, 12 + size.cy);
    EXPECT_GT(ink.bounds.right - ink.bounds.left, size.cx / 2);

    // Opaque mode paints exactly the cell in the background colour.
    HDC other = platform::CreateMemorySurfaceDC(kWidth, kHeight, kPaper);
    SelectObject(other, fonts.back());
    SetBkColor(other, RGB(0, 0, 255));
    SetTextColor(other, RGB(0, 0, 255));
    TextOutA(other, 30, 12, "Key", 3);
    Ink cell = InkOf(other, kWidth, kHeight);
    EXPECT_EQ(cell.pixels, size.cx * size.cy);
    EXPECT_EQ(cell.bounds.left, 30);
    EXPECT_EQ(cell.bounds.bottom, 12 + size.cy);
    SelectObject(other, GetStockObject(SYSTEM_FONT));
    DeleteDC(other);
}

TEST_F(TextTest, ClippedOpaqueTextCoversExactlyItsRectangle) {
    Use(MakeFont("Arial", -13));
    SetBkColor(dc, RGB(255, 0, 0));
    SetTextColor(dc, RGB(255, 0, 0));
    RECT cell{10, 10, 40, 22};
    ASSERT_TRUE(
        ExtTextOutA(dc, 12, 12, ETO_CLIPPED | ETO_OPAQUE, &cell, "C+ B- long text", 15, nullptr));
    Ink ink = InkOf(dc, kWidth, kHeight);
    EXPECT_EQ(ink.pixels, 30 * 12);
    EXPECT_EQ(ink.bounds.left, 10);
    EXPECT_EQ(ink.bounds.right, 40);
    EXPECT_EQ(ink.bounds.bottom, 22);

    RECT empty{50, 10, 60, 20};
    EXPECT_TRUE(ExtTextOutA(dc, 50, 10, ETO_OPAQUE, &empty, "", 0, nullptr));
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 59, 19), RGB(255, 0, 0)) << "an empty text fills";

    // Without ETO_CLIPPED the text runs on past the rectangle.
    SetTextColor(dc, 0);
    SetBkMode(dc, TRANSPARENT);
    RECT small{0, 40, 5, 55};
    ExtTextOutA(dc, 0, 40, 0, &small, "Wide text", 9, nullptr);
    Ink run = InkOf(dc, kWidth, kHeight, kPaper);
    EXPECT_GT(run.bounds.right, 40);
}

TEST_F(TextTest, BoldUnderlineAndTextAlignment) {
    Use(MakeFont("Arial", -13));
    SIZE normal = Extent(dc, "Harmonica");
    Use(MakeFont("Arial", -13, FW_BOLD));
    SIZE bold = Extent(dc, "Harmonica");
    EXPECT_GT(bold.cx, normal.cx);

    Use(MakeFont("Arial", -13, FW_NORMAL, 0, 1));
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SetBkMode(dc, TRANSPARENT);
    SIZE size = Extent(dc, "a a");
    TextOutA(dc, 10, 10, "a a", 3);
    // The underline runs under the space as well.
    int underlined = 0;
    for (int y = 10 + metrics.tmAscent; y < 10 + metrics.tmHeight; ++y) {
        bool full = true;
        for (int x = 10; x < 10 + size.cx; ++x) {
            full = full && platform::ReadSurfacePixel(dc, x, y) != kPaper;
        }
        underlined += full ? 1 : 0;
    }
    EXPECT_GE(underlined, 1);

    SetTextAlign(dc, TA_RIGHT | TA_BASELINE | TA_UPDATECP);
    MoveToEx(dc, 150, 50, nullptr);
    TextOutA(dc, 0, 0, "a a", 3);
    POINT position;
    GetCurrentPositionEx(dc, &position);
    EXPECT_EQ(position.x, 150 - size.cx);
    Ink ink = InkOf(dc, kWidth, kHeight);
    EXPECT_LE(ink.bounds.right, 150 + 1) << "a glyph may overhang its advance by a pixel";
}

TEST_F(TextTest, DrawTextMeasuresWrapsAlignsAndUnderlinesThePrefix) {
    Use(MakeFont("Arial", -13));
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SIZE word = Extent(dc, "aaa bbb");

    RECT rect{5, 5, 5, 5};
    EXPECT_EQ(DrawTextA(dc, "aaa bbb", -1, &rect, DT_CALCRECT | DT_SINGLELINE), metrics.tmHeight);
    EXPECT_EQ(rect.right, 5 + word.cx);
    EXPECT_EQ(rect.bottom, 5 + metrics.tmHeight);

    RECT narrow{0, 0, word.cx, 0};
    EXPECT_EQ(DrawTextA(dc, "aaa bbb ccc", -1, &narrow, DT_CALCRECT | DT_WORDBREAK),
              2 * metrics.tmHeight);
    EXPECT_EQ(narrow.right, word.cx) << "the widest line";
    RECT lines{0, 0, 100, 0};
    EXPECT_EQ(DrawTextA(dc, "one\r\ntwo\nthree", -1, &lines, DT_CALCRECT), 3 * metrics.tmHeight);

    RECT prefixed{0, 0, 0, 0};
    DrawTextA(dc, "&File", -1, &prefixed, DT_CALCRECT);
    EXPECT_EQ(prefixed.right, Extent(dc, "File").cx);
    RECT literal{0, 0, 0, 0};
    DrawTextA(dc, "&File", -1, &literal, DT_CALCRECT | DT_NOPREFIX);
    EXPECT_EQ(literal.right, Extent(dc, "&File").cx);
    RECT ampersand{0, 0, 0, 0};
    DrawTextA(dc, "a&&b", -1, &ampersand, DT_CALCRECT);
    EXPECT_EQ(ampersand.right, Extent(dc, "a&b").cx);

    RECT tabbed{0, 0, 0, 0};
    DrawTextA(dc, "a\tb", -1, &tabbed, DT_CALCRECT | DT_EXPANDTABS);
    EXPECT_EQ(tabbed.right, 8 * metrics.tmAveCharWidth + Extent(dc, "b").cx);

    SetBkMode(dc, TRANSPARENT);
    RECT box{0, 0, 150, 20};
    SIZE size = Extent(dc, "Key");
    DrawTextA(dc, "Key", -1, &box, DT_RIGHT | DT_SINGLELINE);
    Ink right = InkOf(dc, kWidth, kHeight);
    EXPECT_GE(right.bounds.left, 150 - size.cx);
    EXPECT_LE(right.bounds.right, 150 + 1);

    HDC other = platform::CreateMemorySurfaceDC(kWidth, kHeight, kPaper);
    SelectObject(other, fonts.back());
    SetBkMode(other, TRANSPARENT);
    DrawTextA(other, "Key", -1, &box, DT_CENTER | DT_SINGLELINE);
    Ink centre = InkOf(other, kWidth, kHeight);
    EXPECT_GE(centre.bounds.left, (150 - size.cx) / 2);
    EXPECT_LE(centre.bounds.right, (150 + size.cx) / 2 + 2);
    SelectObject(other, GetStockObject(SYSTEM_FONT));
    DeleteDC(other);
}

TEST_F(TextTest, DrawTextClipsUnlessToldNotToAndUnderlinesTheAccelerator) {
    Use(MakeFont("Arial", -13));
    SetBkMode(dc, TRANSPARENT);
    RECT box{10, 10, 20, 30};
    DrawTextA(dc, "WWWW", -1, &box, DT_SINGLELINE);
    Ink clipped = InkOf(dc, kWidth, kHeight);
    EXPECT_GE(clipped.bounds.left, 10);
    EXPECT_LE(clipped.bounds.right, 20);
    DrawTextA(dc, "WWWW", -1, &box, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_GT(InkOf(dc, kWidth, kHeight).bounds.right, 20);

    HDC plain = platform::CreateMemorySurfaceDC(kWidth, kHeight, kPaper);
    HDC marked = platform::CreateMemorySurfaceDC(kWidth, kHeight, kPaper);
    RECT line{0, 0, 150, 30};
    for (HDC target : {plain, marked}) {
        SelectObject(target, fonts.back());
        SetBkMode(target, TRANSPARENT);
    }
    DrawTextA(plain, "File", -1, &line, DT_SINGLELINE);
    DrawTextA(marked, "&File", -1, &line, DT_SINGLELINE);
    // Only pixels under the "F" differ, and they lie below the baseline.
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SIZE letter = Extent(dc, "F");
    int differing = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (platform::ReadSurfacePixel(plain, x, y) !=
                platform::ReadSurfacePixel(marked, x, y)) {
                ++differing;
                EXPECT_LT(x, letter.cx);
                EXPECT_GE(y, metrics.tmAscent);
            }
        }
    }
    EXPECT_GE(differing, letter.cx - 1);
    for (HDC target : {plain, marked}) {
        SelectObject(target, GetStockObject(SYSTEM_FONT));
        DeleteDC(target);
    }
}

TEST_F(TextTest, JapaneseTextWrapsBetweenCharactersAndVerticalCentringIsReported) {
    Use(MakeFont(kJapaneseGothic, -12, FW_NORMAL, SHIFTJIS_CHARSET));
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    std::string six;
    for (int i = 0; i < 6; ++i) {
        six += kKatakanaA;
    }
    SIZE one = Extent(dc, kKatakanaA);
    // Without spaces, a line of double-byte characters still breaks: three
    // characters to a line.
    RECT rect{0, 0, 3 * one.cx + one.cx / 2, 0};
    EXPECT_EQ(DrawTextA(dc, six.c_str(), -1, &rect, DT_CALCRECT | DT_WORDBREAK),
              2 * metrics.tmHeight);
    EXPECT_EQ(rect.right, 3 * one.cx);

    RECT box{0, 0, 100, 40};
    int bottom = DrawTextA(dc, "C+", -1, &box, DT_SINGLELINE | DT_VCENTER);
    EXPECT_EQ(bottom, (40 - metrics.tmHeight) / 2 + metrics.tmHeight);
    Ink ink = InkOf(dc, kWidth, kHeight);
    EXPECT_GE(ink.bounds.top, (40 - metrics.tmHeight) / 2);
    EXPECT_LE(ink.bounds.bottom, bottom);
}

TEST_F(TextTest, FontFamiliesIncludeTheFacesTheProgramAsksFor) {
    struct Seen {
        std::set<std::pair<std::string, int>> faces;
        int calls = 0;
    } seen;
    LOGFONTA all{};
    all.lfCharSet = DEFAULT_CHARSET;
    auto collect = [](const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM data) -> int {
        auto* target = reinterpret_cast<Seen*>(data);
        target->faces.insert({font->lfFaceName, font->lfCharSet});
        ++target->calls;
        return 1;
    };
    EXPECT_EQ(EnumFontFamiliesExA(dc, &all, collect, reinterpret_cast<LPARAM>(&seen), 0), 1);
    EXPECT_TRUE(seen.faces.count({kJapaneseGothic, SHIFTJIS_CHARSET}));
    EXPECT_TRUE(seen.faces.count({"Arial", ANSI_CHARSET}));
    EXPECT_FALSE(seen.faces.count({"Arial", SHIFTJIS_CHARSET}));

    auto stop = [](const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM data) -> int {
        ++*reinterpret_cast<int*>(data);
        return 0;
    };
    int calls = 0;
    EXPECT_EQ(EnumFontFamiliesExA(dc, &all, stop, reinterpret_cast<LPARAM>(&calls), 0), 0);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(EnumFontFamiliesExA(nullptr, &all, stop, 0, 0), 0);
}

TEST_F(TextTest, SampleDrawingIsSavedAsPng) {
    HDC sample = platform::CreateMemorySurfaceDC(200, 90, GetSysColor(COLOR_BTNFACE));
    RECT button{8, 8, 80, 32};
    DrawEdge(sample, &button, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    HFONT arial = MakeFont("Arial", -13);
    HFONT gothic = MakeFont(kJapaneseGothic, -12, FW_NORMAL, SHIFTJIS_CHARSET);
    SetBkMode(sample, TRANSPARENT);
    SelectObject(sample, arial);
    TextOutA(sample, 30, 12, "Key", 3);
    RECT focus{26, 11, 56, 29};
    DrawFocusRect(sample, &focus);

    RECT grid{90, 8, 192, 82};
    FillRect(sample, &grid, GetSysColorBrush(COLOR_WINDOW));
    HPEN line = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNFACE));
    SelectObject(sample, line);
    for (int i = 0; i <= 3; ++i) {
        MoveToEx(sample, 90 + 34 * i, 8, nullptr);
        LineTo(sample, 90 + 34 * i, 82);
        MoveToEx(sample, 90, 8 + 24 * i, nullptr);
        LineTo(sample, 192, 8 + 24 * i);
    }
    SelectObject(sample, gothic);
    const char* notes[] = {"C+", "B-", "D", "E-", "F+", "G", "A-", "B", "C"};
    for (int i = 0; i < 9; ++i) {
        TextOutA(sample, 93 + 34 * (i % 3), 11 + 24 * (i / 3), notes[i],
                 static_cast<int>(std::strlen(notes[i])));
    }
    RECT sunken{8, 44, 80, 82};
    DrawEdge(sample, &sunken, EDGE_SUNKEN, BF_RECT);
    TextOutA(sample, 14, 52, kKatakanaA, 2);

    std::string path = (std::filesystem::temp_directory_path() / "velbrin-gdi-sample.png").string();
    std::filesystem::remove(path);
    ASSERT_TRUE(platform::SaveSurfacePng(sample, path));
    EXPECT_GT(std::filesystem::file_size(path), 200u);
    EXPECT_FALSE(platform::SaveSurfacePng(sample, "/nonexistent-directory/x.png"));

    SelectObject(sample, GetStockObject(SYSTEM_FONT));
    SelectObject(sample, GetStockObject(BLACK_PEN));
    DeleteObject(arial);
    DeleteObject(gothic);
    DeleteObject(line);
    DeleteDC(sample);
}

namespace {

constexpr int kSampleWidth = 120;
constexpr int kSampleHeight = 40;

std::vector<COLORREF> PixelsOf(HDC surface) {
    std::vector<COLORREF> pixels;
    for (int y = 0; y < kSampleHeight; ++y) {
        for (int x = 0; x < kSampleWidth; ++x) {
            pixels.push_back(platform::ReadSurfacePixel(surface, x, y));
        }
    }
    return pixels;
}

// Draws each text in its font, one after the other, each on a surface of its own.
std::vector<std::vector<COLORREF>>
DrawEach(const std::vector<std::pair<HFONT, std::string>>& texts) {
    std::vector<std::vector<COLORREF>> drawn;
    for (const auto& [font, text] : texts) {
        HDC surface = platform::CreateMemorySurfaceDC(kSampleWidth, kSampleHeight, kPaper);
        SelectObject(surface, font);
        TextOutA(surface, 2, 2, text.c_str(), static_cast<int>(text.size()));
        SelectObject(surface, GetStockObject(SYSTEM_FONT));
        drawn.push_back(PixelsOf(surface));
        DeleteDC(surface);
    }
    return drawn;
}

// Text in one size of a face, drawn by an engine that has no other size open.
std::vector<COLORREF> DrawAlone(const char* face, LONG height, const std::string& text) {
    platform::ResetForTesting();
    HFONT font = MakeFont(face, height);
    std::vector<COLORREF> drawn = DrawEach({{font, text}}).front();
    DeleteObject(font);
    return drawn;
}

} // namespace

TEST_F(TextTest, SizesOfOneFaceTakenInTurnDrawAsEachDoesAlone) {
    // Every size of a face shares the face's file; drawing one size after
    // another must still give each its own glyphs, also for characters first
    // drawn after the other size was used.
    const std::string large = std::string("Ab") + kKatakanaA + "g";
    const std::string small = std::string("gA") + kKatakanaA + "b";
    const std::vector<COLORREF> largeAlone = DrawAlone(kJapaneseGothic, -22, large);
    const std::vector<COLORREF> smallAlone = DrawAlone(kJapaneseGothic, -11, small);
    platform::ResetForTesting();
    HFONT largeFont = MakeFont(kJapaneseGothic, -22);
    HFONT smallFont = MakeFont(kJapaneseGothic, -11);
    const auto inTurn = DrawEach({{largeFont, large.substr(0, 1)},
                                  {smallFont, small.substr(0, 1)},
                                  {largeFont, large},
                                  {smallFont, small}});
    EXPECT_TRUE(inTurn[2] == largeAlone);
    EXPECT_TRUE(inTurn[3] == smallAlone);
    // The two sizes really differ, so the comparison can tell them apart.
    EXPECT_FALSE(largeAlone == smallAlone);
    EXPECT_NE(std::count(largeAlone.begin(), largeAlone.end(), kPaper),
              static_cast<std::ptrdiff_t>(largeAlone.size()));
    DeleteObject(largeFont);
    DeleteObject(smallFont);
}

namespace {

struct Colours {
    COLORREF text;
    COLORREF background;
};

// Opaque text clipped to its cell, as a grid draws a cell.
std::vector<COLORREF> CellText(HFONT font, const std::string& text, Colours colours) {
    HDC surface = platform::CreateMemorySurfaceDC(kSampleWidth, kSampleHeight, RGB(1, 2, 3));
    SelectObject(surface, font);
    SetTextColor(surface, colours.text);
    SetBkColor(surface, colours.background);
    RECT cell{3, 4, 100, 34};
    ExtTextOutA(surface, 5, 6, ETO_OPAQUE | ETO_CLIPPED, &cell, text.c_str(),
                static_cast<int>(text.size()), nullptr);
    SelectObject(surface, GetStockObject(SYSTEM_FONT));
    std::vector<COLORREF> pixels = PixelsOf(surface);
    DeleteDC(surface);
    return pixels;
}

// The same picture another way: the cell filled by a brush, then the text
// blended over it with a transparent background, clipped to the cell.
std::vector<COLORREF> FilledThenBlended(HFONT font, const std::string& text, Colours colours) {
    HDC surface = platform::CreateMemorySurfaceDC(kSampleWidth, kSampleHeight, RGB(1, 2, 3));
    RECT cell{3, 4, 100, 34};
    HBRUSH brush = CreateSolidBrush(colours.background);
    FillRect(surface, &cell, brush);
    DeleteObject(brush);
    IntersectClipRect(surface, cell.left, cell.top, cell.right, cell.bottom);
    SelectObject(surface, font);
    SetTextColor(surface, colours.text);
    SetBkMode(surface, TRANSPARENT);
    TextOutA(surface, 5, 6, text.c_str(), static_cast<int>(text.size()));
    SelectObject(surface, GetStockObject(SYSTEM_FONT));
    std::vector<COLORREF> pixels = PixelsOf(surface);
    DeleteDC(surface);
    return pixels;
}

} // namespace

TEST_F(TextTest, CellTextIsTheTextBlendedOverItsFilledCell) {
    // Cell text is drawn from glyphs composed once per colour pair; it must
    // stay pixel for pixel what blending each glyph over the cell gives, for
    // every colour pair, size and face, and where glyphs overlap (italic).
    const std::string text = std::string("C#4 Ab") + kKatakanaA + "g";
    const Colours pairs[] = {{RGB(0, 0, 0), RGB(255, 255, 255)},
                             {RGB(255, 255, 255), RGB(0, 0, 128)},
                             {RGB(200, 30, 60), RGB(240, 250, 10)}};
    HFONT faces[] = {MakeFont(kJapaneseGothic, -12), MakeFont(kJapaneseGothic, -19),
                     MakeFont("Arial", -15, FW_BOLD), nullptr};
    LOGFONTA italic{};
    italic.lfHeight = -20;
    italic.lfItalic = TRUE;
    std::strcpy(italic.lfFaceName, "Arial");
    faces[3] = CreateFontIndirectA(&italic);
    for (int repeat = 0; repeat < 2; ++repeat) { // the second time from the cache
        for (HFONT font : faces) {
            for (const Colours& colours : pairs) {
                const std::vector<COLORREF> drawn = CellText(font, text, colours);
                EXPECT_TRUE(drawn == FilledThenBlended(font, text, colours))
                    << "font " << font << " colours " << colours.text << "/" << colours.background;
                EXPECT_GT(std::count(drawn.begin(), drawn.end(), colours.text), 0);
            }
        }
    }
    for (HFONT font : faces) {
        DeleteObject(font);
    }
}

TEST_F(TextTest, ALineDrawnAfterALongerOneLooksAndMeasuresAsWhenDrawnAlone) {
    // Each call places its own line: nothing of the line before it, longer
    // or with its own advances, reaches it.
    Use(MakeFont("Arial", -16));
    const char* shortLine = "Ab";
    const SIZE alone = Extent(dc, shortLine);
    ExtTextOutA(dc, 2, 2, 0, nullptr, shortLine, 2, nullptr);
    HDC fresh = platform::CreateMemorySurfaceDC(kWidth, kHeight, kPaper);
    SelectObject(fresh, fonts.back());
    const INT wide[] = {30, 30, 30, 30, 30, 30};
    ExtTextOutA(fresh, 2, 30, 0, nullptr, "WWWWWW", 6, wide);
    EXPECT_EQ(Extent(fresh, "WWWWWWWWWW").cx, 10 * Extent(fresh, "W").cx);
    EXPECT_EQ(Extent(fresh, shortLine).cx, alone.cx);
    ExtTextOutA(fresh, 2, 2, 0, nullptr, shortLine, 2, nullptr);
    PatBlt(fresh, 0, 28, kWidth, kHeight - 28, WHITENESS);
    EXPECT_GT(InkOf(dc, kWidth, kHeight).pixels, 0);
    EXPECT_EQ(platform::CountDifferentPixels(dc, fresh), 0u);
    SelectObject(fresh, GetStockObject(SYSTEM_FONT));
    DeleteDC(fresh);
}

namespace {

// Cell text on a fresh surface, through `clip` when there is one.
std::vector<COLORREF> CellDrawn(HFONT font, const RECT& cell, HRGN clip) {
    HDC surface = platform::CreateMemorySurfaceDC(kSampleWidth, kSampleHeight, kPaper);
    if (clip != nullptr) {
        SelectClipRgn(surface, clip);
    }
    SelectObject(surface, font);
    SetTextColor(surface, RGB(20, 30, 200));
    SetBkColor(surface, RGB(250, 240, 10));
    ExtTextOutA(surface, cell.left + 2, cell.top + 2, ETO_OPAQUE | ETO_CLIPPED, &cell,
                "Db Ab Eb Bb", 11, nullptr);
    SelectObject(surface, GetStockObject(SYSTEM_FONT));
    std::vector<COLORREF> pixels = PixelsOf(surface);
    DeleteDC(surface);
    return pixels;
}

// Nothing clipped: what a clip may only take pixels away from.
std::vector<COLORREF> UnclippedCell(HFONT font, const RECT& cell) {
    return CellDrawn(font, cell, nullptr);
}

// The same cell drawn through a clip of two blocks with a gap between them.
std::vector<COLORREF> CellThroughTwoBlocks(HFONT font, const RECT& cell) {
    HRGN blocks = CreateRectRgn(0, 0, 60, 30);
    HRGN right = CreateRectRgn(70, 0, kSampleWidth, 30);
    CombineRgn(blocks, blocks, right, RGN_OR);
    DeleteObject(right);
    std::vector<COLORREF> pixels = CellDrawn(font, cell, blocks);
    DeleteObject(blocks);
    return pixels;
}

bool InTwoBlocks(int x, int y) {
    return y < 30 && (x < 60 || x >= 70);
}

} // namespace

TEST_F(TextTest, CellTextKeepsToItsCellAndTheClipWhereverTheCellLies) {
    HFONT font = MakeFont("Arial", -13);
    ASSERT_NE(font, nullptr);
    fonts.push_back(font);
    // Wholly inside one block, across the gap, and running below the blocks.
    for (const RECT& cell : {RECT{4, 4, 50, 22}, RECT{40, 8, 100, 26}, RECT{75, 18, 115, 36}}) {
        const std::vector<COLORREF> alone = UnclippedCell(font, cell);
        const std::vector<COLORREF> clipped = CellThroughTwoBlocks(font, cell);
        int drawn = 0;
        for (int y = 0; y < kSampleHeight; ++y) {
            for (int x = 0; x < kSampleWidth; ++x) {
                const std::size_t at = static_cast<std::size_t>(y) * kSampleWidth + x;
                const bool inCell =
                    x >= cell.left && x < cell.right && y >= cell.top && y < cell.bottom;
                const COLORREF expected = inCell && InTwoBlocks(x, y) ? alone[at] : kPaper;
                ASSERT_EQ(clipped[at], expected)
                    << "cell at " << cell.left << "," << cell.top << ": pixel " << x << "," << y;
                drawn += clipped[at] != kPaper ? 1 : 0;
            }
        }
        EXPECT_GT(drawn, 0) << "the cell at " << cell.left << "," << cell.top << " shows";
    }
}
