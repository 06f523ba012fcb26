// Cursors: the program's own, compiled from their pictures and loaded from
// its resources, and the system's, drawn by the platform; their pictures as
// DrawIcon shows them, their hot spots, and how long they live.

#include <windows.h>

#include "platform/Testing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kBackground = RGB(0, 128, 128);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
// Where the cursors are drawn on the test surface.
constexpr int kLeft = 3;
constexpr int kTop = 5;

// A cursor drawn on a surface of the background colour.
class DrawnCursor {
public:
    explicit DrawnCursor(HCURSOR cursor, COLORREF background = kBackground)
        : dc_(platform::CreateMemorySurfaceDC(40, 40, background)) {
        drawn_ = DrawIcon(dc_, kLeft, kTop, cursor) != FALSE;
    }
    ~DrawnCursor() { DeleteDC(dc_); }
    DrawnCursor(const DrawnCursor&) = delete;
    DrawnCursor& operator=(const DrawnCursor&) = delete;

    bool Drawn() const { return drawn_; }
    // In the cursor's own coordinates.
    COLORREF At(int x, int y) const { return platform::ReadSurfacePixel(dc_, kLeft + x, kTop + y); }

private:
    HDC dc_;
    bool drawn_ = false;
};

// A picture as the cursor sources in resources/cursors give it, read here
// on its own: the test's oracle for what the program's cursors look like.
struct Picture {
    std::vector<std::string> rows;
    POINT hotSpot{-1, -1};
};

Picture ReadPicture(const std::string& name) {
    std::ifstream in(std::string(VELBRIN_CURSOR_PICTURES) + "/" + name + ".txt");
    Picture picture;
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("hotspot ", 0) == 0) {
            std::istringstream(line.substr(8)) >> picture.hotSpot.x >> picture.hotSpot.y;
        } else if (!line.empty() && line[0] != ';') {
            picture.rows.push_back(line);
        }
    }
    return picture;
}

struct ProgramCursor {
    WORD group;
    const char* picture;
};
const ProgramCursor kProgramCursors[] = {{32762, "sqlwait"}, {32763, "multidrag"},
                                         {32764, "vsplit"},  {32765, "hsplit"},
                                         {32766, "drag"},    {32767, "nodrop"}};

HCURSOR LoadProgramCursor(WORD group) {
    return LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(group));
}

TEST(UserCursors, TheProgramsCursorsShowTheirPicturesWithTheirHotSpots) {
    platform::ResetForTesting();
    std::vector<HCURSOR> loaded;
    for (const ProgramCursor& source : kProgramCursors) {
        SCOPED_TRACE(source.picture);
        HCURSOR cursor = LoadProgramCursor(source.group);
        ASSERT_NE(cursor, nullptr);
        EXPECT_EQ(LoadProgramCursor(source.group), cursor) << "shared";
        EXPECT_EQ(std::count(loaded.begin(), loaded.end(), cursor), 0) << "its own";
        loaded.push_back(cursor);

        Picture picture = ReadPicture(source.picture);
        ASSERT_EQ(picture.rows.size(), 32u);
        std::optional<POINT> hotSpot = platform::CursorHotSpot(cursor);
        ASSERT_TRUE(hotSpot.has_value());
        EXPECT_EQ(hotSpot->x, picture.hotSpot.x);
        EXPECT_EQ(hotSpot->y, picture.hotSpot.y);
        // On black ground too, so that an inverting pixel shows as well.
        for (COLORREF ground : {kBackground, kBlack}) {
            DrawnCursor drawn(cursor, ground);
            ASSERT_TRUE(drawn.Drawn());
            for (int y = 0; y < 32; ++y) {
                for (int x = 0; x < 32; ++x) {
                    char pixel = picture.rows[y][x];
                    COLORREF expected = pixel == '#'   ? kBlack
                                        : pixel == '-' ? kWhite
                                        : pixel == '~' ? (~ground & 0xFFFFFF)
                                                       : ground;
                    ASSERT_EQ(drawn.At(x, y), expected) << x << "," << y;
                }
            }
        }
    }
    EXPECT_EQ(platform::CountLiveHandles().icons, 6u);
    platform::ResetForTesting();
    EXPECT_EQ(platform::CountLiveHandles().icons, 0u);
}

// A few pixels of each picture, as a person sees it: the arrows point with
// their tips, the split cursors between their bars, the signs with their
// centre.
TEST(UserCursors, TheProgramsCursorsLookAsTheirNamesSay) {
    platform::ResetForTesting();
    struct Look {
        WORD group;
        POINT hotSpot;
        POINT black;
        POINT white;
    };
    const Look looks[] = {
        {32766, {0, 0}, {0, 0}, {1, 5}},       // drag: the tip; inside the arrow
        {32763, {0, 0}, {0, 0}, {1, 5}},       // multidrag
        {32767, {16, 16}, {16, 4}, {16, 16}},  // nodrop: the rim; the bar at the centre
        {32765, {15, 15}, {13, 20}, {15, 15}}, // hsplit: a bar; between the bars
        {32764, {15, 15}, {20, 13}, {15, 15}}, // vsplit
        {32762, {10, 11}, {4, 2}, {10, 11}},   // sqlwait: the frame; the neck
    };
    for (const Look& look : looks) {
        SCOPED_TRACE(look.group);
        HCURSOR cursor = LoadProgramCursor(look.group);
        std::optional<POINT> hotSpot = platform::CursorHotSpot(cursor);
        ASSERT_TRUE(hotSpot.has_value());
        EXPECT_EQ(hotSpot->x, look.hotSpot.x);
        EXPECT_EQ(hotSpot->y, look.hotSpot.y);
        DrawnCursor drawn(cursor);
        EXPECT_EQ(drawn.At(look.black.x, look.black.y), kBlack);
        EXPECT_EQ(drawn.At(look.white.x, look.white.y), kWhite);
        EXPECT_EQ(drawn.At(31, 0), kBackground) << "a transparent corner";
        EXPECT_EQ(drawn.At(32, 32), kBackground) << "nothing beyond the cursor";
    }
}

TEST(UserCursors, TheSystemsCursorsAreSharedAndDrawn) {
    platform::ResetForTesting();
    const WORD known[] = {32512, 32513, 32514, 32515, 32516, 32640, 32641, 32642,
                          32643, 32644, 32645, 32646, 32648, 32649, 32650, 32651};
    std::vector<HCURSOR> loaded;
    for (WORD id : known) {
        SCOPED_TRACE(id);
        HCURSOR cursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(id));
        ASSERT_NE(cursor, nullptr);
        EXPECT_EQ(LoadCursorA(nullptr, MAKEINTRESOURCEA(id)), cursor);
        EXPECT_EQ(std::count(loaded.begin(), loaded.end(), cursor), 0);
        loaded.push_back(cursor);
        DrawnCursor drawn(cursor);
        int black = 0;
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                black += drawn.At(x, y) != kBackground ? 1 : 0;
            }
        }
        EXPECT_GT(black, 15) << "something is drawn";
        EXPECT_LT(black, 32 * 32 / 2) << "on a mostly clear cursor";
    }
    for (WORD unknown : {1, 32511, 32517, 32647, 32652}) {
        SetLastError(0);
        EXPECT_EQ(LoadCursorA(nullptr, MAKEINTRESOURCEA(unknown)), nullptr) << unknown;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    }
    EXPECT_EQ(LoadCursorA(nullptr, "ARROW"), nullptr);
    EXPECT_EQ(LoadCursorA(nullptr, nullptr), nullptr);
    EXPECT_EQ(LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(32761)), nullptr);
    EXPECT_EQ(LoadCursorA(GetModuleHandleA(nullptr), "MAINICON"), nullptr) << "an icon";
}

TEST(UserCursors, TheArrowAndTheIBeamHaveTheirClassicShapes) {
    platform::ResetForTesting();
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    std::optional<POINT> tip = platform::CursorHotSpot(arrow);
    ASSERT_TRUE(tip.has_value());
    EXPECT_EQ(tip->x, 0);
    EXPECT_EQ(tip->y, 0);
    DrawnCursor drawnArrow(arrow);
    EXPECT_EQ(drawnArrow.At(0, 0), kBlack) << "the tip";
    EXPECT_EQ(drawnArrow.At(0, 12), kBlack) << "the left edge";
    EXPECT_EQ(drawnArrow.At(2, 6), kWhite) << "the body";
    EXPECT_EQ(drawnArrow.At(6, 2), kBackground) << "right of the edge";
    EXPECT_EQ(drawnArrow.At(7, 16), kWhite) << "the tail";

    // The I-beam inverts what lies beneath, so it shows on any ground.
    HCURSOR beam = LoadCursorA(nullptr, IDC_IBEAM);
    std::optional<POINT> middle = platform::CursorHotSpot(beam);
    ASSERT_TRUE(middle.has_value());
    EXPECT_EQ(middle->x, 15);
    EXPECT_EQ(middle->y, 15);
    for (COLORREF ground : {kWhite, kBlack, kBackground}) {
        DrawnCursor drawnBeam(beam, ground);
        const COLORREF inverted = ~ground & 0xFFFFFF;
        EXPECT_EQ(drawnBeam.At(15, 15), inverted) << "the stem";
        EXPECT_EQ(drawnBeam.At(12, 8), inverted) << "a serif";
        EXPECT_EQ(drawnBeam.At(15, 8), ground) << "between the serifs";
        EXPECT_EQ(drawnBeam.At(14, 15), ground) << "beside the stem";
    }
}

TEST(UserCursors, TurnedSizeCursorsAreTheSameShapeTurned) {
    platform::ResetForTesting();
    DrawnCursor we(LoadCursorA(nullptr, IDC_SIZEWE));
    DrawnCursor ns(LoadCursorA(nullptr, IDC_SIZENS));
    DrawnCursor nwse(LoadCursorA(nullptr, IDC_SIZENWSE));
    DrawnCursor nesw(LoadCursorA(nullptr, IDC_SIZENESW));
    for (int y = 0; y < 31; ++y) {
        for (int x = 0; x < 31; ++x) {
            ASSERT_EQ(we.At(x, y), ns.At(y, x)) << x << "," << y;
            ASSERT_EQ(nwse.At(x, y), nesw.At(30 - x, y)) << x << "," << y;
        }
    }
    EXPECT_EQ(we.At(15, 15), kBlack) << "the shaft at the hot spot";
    EXPECT_EQ(we.At(15, 14), kWhite) << "its border";
    EXPECT_EQ(nwse.At(15, 15), kBlack);
}

// The image data of a program cursor, as its resource holds it.
std::vector<BYTE> CursorImageData(WORD image) {
    HINSTANCE program = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(program, MAKEINTRESOURCEA(image), RT_CURSOR);
    if (found == nullptr) {
        return {};
    }
    auto* bits = static_cast<const BYTE*>(LockResource(LoadResource(program, found)));
    return {bits, bits + SizeofResource(program, found)};
}

HCURSOR MakeCursor(std::vector<BYTE>& data, DWORD size) {
    return CreateIconFromResourceEx(data.data(), size, FALSE, 0x00030000, 32, 32, 0);
}

TEST(UserCursors, CursorDataIsReadWithItsHotSpotAndRefusedWhenBroken) {
    platform::ResetForTesting();
    std::vector<BYTE> data = CursorImageData(7);
    ASSERT_EQ(data.size(), 308u);
    const auto size = static_cast<DWORD>(data.size());
    HCURSOR made = MakeCursor(data, size);
    ASSERT_NE(made, nullptr);
    HCURSOR loaded = LoadProgramCursor(32766);
    EXPECT_NE(made, loaded) << "a cursor of its own";
    DrawnCursor a(made);
    DrawnCursor b(loaded);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            ASSERT_EQ(a.At(x, y), b.At(x, y));
        }
    }

    std::vector<BYTE> moved = data;
    moved[0] = 31;
    moved[2] = 30;
    std::optional<POINT> hotSpot = platform::CursorHotSpot(MakeCursor(moved, size));
    ASSERT_TRUE(hotSpot.has_value());
    EXPECT_EQ(hotSpot->x, 31);
    EXPECT_EQ(hotSpot->y, 30);

    // The top row is stored last. With its mask bit set, a white colour bit
    // inverts the screen.
    std::vector<BYTE> inverting = data;
    constexpr std::size_t topColourRow = 4 + 40 + 8 + 31 * 4;
    ASSERT_EQ(inverting[topColourRow + 3] & 1, 0);
    ASSERT_EQ(inverting[topColourRow + 128 + 3] & 1, 1) << "the top-right pixel is clear";
    inverting[topColourRow + 3] |= 1;
    HCURSOR inverts = MakeCursor(inverting, size);
    EXPECT_EQ(DrawnCursor(inverts, kBlack).At(31, 0), kWhite);
    EXPECT_EQ(DrawnCursor(inverts, kWhite).At(31, 0), kBlack);
    EXPECT_EQ(DrawnCursor(inverts, kWhite).At(30, 0), kWhite);

    std::vector<BYTE> outside = data;
    outside[0] = 32;
    EXPECT_EQ(MakeCursor(outside, size), nullptr) << "a hot spot beyond the picture";
    outside = data;
    outside[3] = 1;
    EXPECT_EQ(MakeCursor(outside, size), nullptr);
    for (DWORD cut : {0u, 3u, 4u, 43u, size - 1}) {
        SetLastError(0);
        EXPECT_EQ(MakeCursor(data, cut), nullptr) << cut;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    }
    // Read as an icon, the hot spot is taken for the bitmap header.
    EXPECT_EQ(CreateIconFromResourceEx(data.data(), size, TRUE, 0x00030000, 32, 32, 0), nullptr);
}

void Put16(std::vector<BYTE>& out, unsigned value) {
    out.push_back(static_cast<BYTE>(value));
    out.push_back(static_cast<BYTE>(value >> 8));
}

TEST(UserCursors, CursorDirectoriesGiveTheirSizesInWords) {
    // Reserved, type 2, two entries of width, doubled height, planes, bit
    // count, size and image id.
    std::vector<BYTE> directory;
    for (unsigned word : {0, 2, 2}) {
        Put16(directory, word);
    }
    for (auto [size, id] : {std::pair{16u, 5u}, std::pair{32u, 6u}}) {
        for (unsigned word : {size, size * 2, 1u, 1u, 308u, 0u, id}) {
            Put16(directory, word);
        }
    }
    EXPECT_EQ(LookupIconIdFromDirectory(directory.data(), FALSE), 6);
    EXPECT_EQ(LookupIconIdFromDirectoryEx(directory.data(), FALSE, 16, 16, 0), 5);
    SetLastError(0);
    EXPECT_EQ(LookupIconIdFromDirectory(directory.data(), TRUE), 0) << "not an icon directory";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

    HINSTANCE program = GetModuleHandleA(nullptr);
    HRSRC group = FindResourceA(program, MAKEINTRESOURCEA(32766), RT_GROUP_CURSOR);
    ASSERT_NE(group, nullptr);
    auto* programDirectory = static_cast<BYTE*>(LockResource(LoadResource(program, group)));
    EXPECT_EQ(LookupIconIdFromDirectory(programDirectory, FALSE), 7);
}

TEST(UserCursors, SharedCursorsOutliveDestroyCursorAndMadeOnesDoNot) {
    platform::ResetForTesting();
    HCURSOR drag = LoadProgramCursor(32766);
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    EXPECT_TRUE(DestroyCursor(drag));
    EXPECT_TRUE(DestroyCursor(arrow));
    EXPECT_EQ(LoadProgramCursor(32766), drag);
    EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), arrow);
    EXPECT_TRUE(DrawnCursor(drag).Drawn());

    std::vector<BYTE> data = CursorImageData(8);
    HCURSOR made = MakeCursor(data, static_cast<DWORD>(data.size()));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(platform::CountLiveHandles().icons, 3u);
    EXPECT_TRUE(DestroyCursor(made));
    EXPECT_EQ(platform::CountLiveHandles().icons, 2u);
    SetLastError(0);
    EXPECT_FALSE(DestroyCursor(made));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(DrawnCursor(made).Drawn());
    EXPECT_FALSE(platform::CursorHotSpot(made).has_value());
}

TEST(UserCursors, SetCursorTakesOnlyLiveCursors) {
    platform::ResetForTesting();
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    HCURSOR beam = LoadCursorA(nullptr, IDC_IBEAM);
    EXPECT_EQ(SetCursor(arrow), nullptr);
    EXPECT_EQ(SetCursor(beam), arrow);
    EXPECT_EQ(GetCursor(), beam);

    std::vector<BYTE> data = CursorImageData(3);
    HCURSOR made = MakeCursor(data, static_cast<DWORD>(data.size()));
    DestroyCursor(made);
    SetLastError(0);
    EXPECT_EQ(SetCursor(made), nullptr) << "a freed cursor";
    EXPECT_EQ(GetLastError(), 1402u) << "ERROR_INVALID_CURSOR_HANDLE";
    EXPECT_EQ(SetCursor(reinterpret_cast<HCURSOR>(GetModuleHandleA(nullptr))), nullptr);
    EXPECT_EQ(GetCursor(), beam) << "kept";
    EXPECT_EQ(SetCursor(nullptr), beam);
    EXPECT_EQ(GetCursor(), nullptr);
}

} // namespace
