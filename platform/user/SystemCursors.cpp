// The system's cursors, drawn here in their classic Windows shapes: each is
// one or more small pictures placed on a 32 x 32 cursor, with its hot spot.

#include "SystemCursors.h"

#include <algorithm>
#include <array>
#include <span>
#include <string_view>

namespace platform::user {

namespace {

using gdi::IconImage;

constexpr int kCursorSize = 32;

// Pictures, one row a string: '.' transparent, '#' black, '-' white, '~'
// inverts what lies beneath.
// clang-format off
constexpr const char* kArrow[] = {
    "#",
    "##",
    "#-#",
    "#--#",
    "#---#",
    "#----#",
    "#-----#",
    "#------#",
    "#-------#",
    "#--------#",
    "#-----#####",
    "#--#--#",
    "#-#.#--#",
    "##..#--#",
    "#....#--#",
    ".....#--#",
    "......#--#",
    "......#--#",
    ".......##",
};
constexpr const char* kIBeam[] = {
    "~~~.~~~",
    "...~...",
    "...~...",
    "...~...",
    "...~...",
    "...~...",
    "...~...",
    "...~...",
    "...~...",
    "...~...",
    "...~...",
    "...~...",
    "...~...",
    "...~...",
    "...~...",
    "~~~.~~~",
};
constexpr const char* kHourglass[] = {
    "#############",
    "#-----------#",
    "#############",
    ".#---------#.",
    ".#-#-#-#-#-#.",
    ".##-#-#-#-##.",
    "..##-#-#-##..",
    "...##-#-##...",
    "....##-##....",
    ".....#-#.....",
    ".....#-#.....",
    "....##-##....",
    "...##---##...",
    "..##--#--##..",
    ".##--#-#--##.",
    ".#--#-#-#--#.",
    ".#-#-#-#-#-#.",
    "#############",
    "#-----------#",
    "#############",
};
constexpr const char* kSmallHourglass[] = {
    "#########",
    "#-------#",
    "#########",
    ".#-#-#-#.",
    ".##-#-##.",
    "..##-##..",
    "...#-#...",
    "..##-##..",
    ".##---##.",
    ".#-#-#-#.",
    "#########",
    "#-------#",
    "#########",
};
constexpr const char* kCross[] = {
    ".........~.........",
    ".........~.........",
    ".........~.........",
    ".........~.........",
    ".........~.........",
    ".........~.........",
    ".........~.........",
    ".........~.........",
    ".........~.........",
    "~~~~~~~~~.~~~~~~~~~",
    ".........~.........",
    ".........~.........",
    ".........~.........",
    ".........~.........",
    ".........~.........",
    ".........~.........",
    ".........~.........",
    ".........~.........",
    ".........~.........",
};
constexpr const char* kUpArrow[] = {
    ".....#.....",
    "....#-#....",
    "...#---#...",
    "..#-----#..",
    ".#-------#.",
    "#---------#",
    "####---####",
    "...#---#...",
    "...#---#...",
    "...#---#...",
    "...#---#...",
    "...#---#...",
    "...#---#...",
    "...#---#...",
    "...#---#...",
    "...#####...",
};
constexpr const char* kSizeWE[] = {
    "...#.............#...",
    "..##.............##..",
    ".###.............###.",
    "#####################",
    ".###.............###.",
    "..##.............##..",
    "...#.............#...",
};
constexpr const char* kSizeNWSE[] = {
    "#####..........",
    "####...........",
    "###............",
    "##.#...........",
    "#...#..........",
    ".....#.........",
    "......#........",
    ".......#.......",
    "........#......",
    ".........#.....",
    "..........#...#",
    "...........#.##",
    "............###",
    "...........####",
    "..........#####",
};
constexpr const char* kSizeAll[] = {
    "..........#..........",
    ".........###.........",
    "........#####........",
    ".......#######.......",
    "..........#..........",
    "..........#..........",
    "..........#..........",
    "...#......#......#...",
    "..##......#......##..",
    ".###......#......###.",
    "#####################",
    ".###......#......###.",
    "..##......#......##..",
    "...#......#......#...",
    "..........#..........",
    "..........#..........",
    "..........#..........",
    ".......#######.......",
    "........#####........",
    ".........###.........",
    "..........#..........",
};
constexpr const char* kNo[] = {
    "........######........",
    "......##########......",
    "....##############....",
    "...#####......#####...",
    "...#####.......####...",
    "..#######.......####..",
    "..########.......###..",
    ".###..#####.......###.",
    ".###...#####......###.",
    ".###....#####.....###.",
    ".###.....#####....###.",
    ".###......#####...###.",
    ".###.......#####..###.",
    "..###.......########..",
    "..####.......#######..",
    "...####.......#####...",
    "...#####......#####...",
    "....##############....",
    "......##########......",
    "........######........",
};
constexpr const char* kQuestionMark[] = {
    ".-----.",
    "-#####-",
    "##---##",
    "##-.-##",
    "---.-##",
    "...-##-",
    "..-##-.",
    "..-##-.",
    "..----.",
    "..-##-.",
    "..-##-.",
    "..----.",
};
constexpr const char* kHand[] = {
    ".....##.........",
    "....#--#........",
    "....#--#........",
    "....#--#........",
    "....#--#........",
    "....#--###......",
    "....#--#--###...",
    "....#--#--#--##.",
    "###.#--#--#--#-#",
    "#--##--------#-#",
    "#---#----------#",
    ".#-------------#",
    "..#------------#",
    "..#-----------#.",
    "...#----------#.",
    "...#---------#..",
    "....#--------#..",
    "....#--------#..",
    "....##########..",
};
constexpr const char* kIconFrame[] = {
    "################",
    "#--------------#",
    "#--------------#",
    "#--------------#",
    "#--------------#",
    "#--------------#",
    "#--------------#",
    "#--------------#",
    "#--------------#",
    "#--------------#",
    "#--------------#",
    "#--------------#",
    "#--------------#",
    "#--------------#",
    "#--------------#",
    "################",
};
// clang-format on

// A picture on the cursor, with its top-left at (x, y); a transposed
// picture has its rows as columns, a mirrored one runs right to left.
enum class Placing { AsDrawn, Transposed, Mirrored };
struct Layer {
    std::span<const char* const> rows;
    int x;
    int y;
    Placing placing = Placing::AsDrawn;
};

// The shapes drawn in black alone get a white border around them, so that
// they show on dark ground too.
enum class Border { None, White };

struct SystemCursor {
    ULONG_PTR id;
    POINT hotSpot;
    Border border;
    // A second layer without rows draws nothing.
    Layer layers[2];
};

const SystemCursor kSystemCursors[] = {
    {32512, {0, 0}, Border::None, {{kArrow, 0, 0}}},                            // IDC_ARROW
    {32513, {15, 15}, Border::None, {{kIBeam, 12, 8}}},                         // IDC_IBEAM
    {32514, {15, 15}, Border::None, {{kHourglass, 9, 6}}},                      // IDC_WAIT
    {32515, {15, 15}, Border::None, {{kCross, 6, 6}}},                          // IDC_CROSS
    {32516, {15, 8}, Border::None, {{kUpArrow, 10, 8}}},                        // IDC_UPARROW
    {32640, {15, 15}, Border::White, {{kSizeAll, 5, 5}}},                       // IDC_SIZE
    {32641, {15, 15}, Border::None, {{kIconFrame, 8, 8}}},                      // IDC_ICON
    {32642, {15, 15}, Border::White, {{kSizeNWSE, 8, 8}}},                      // IDC_SIZENWSE
    {32643, {15, 15}, Border::White, {{kSizeNWSE, 8, 8, Placing::Mirrored}}},   // IDC_SIZENESW
    {32644, {15, 15}, Border::White, {{kSizeWE, 5, 12}}},                       // IDC_SIZEWE
    {32645, {15, 15}, Border::White, {{kSizeWE, 12, 5, Placing::Transposed}}},  // IDC_SIZENS
    {32646, {15, 15}, Border::White, {{kSizeAll, 5, 5}}},                       // IDC_SIZEALL
    {32648, {16, 16}, Border::White, {{kNo, 5, 6}}},                            // IDC_NO
    {32649, {5, 0}, Border::None, {{kHand, 0, 0}}},                             // IDC_HAND
    {32650, {0, 0}, Border::None, {{kArrow, 0, 0}, {kSmallHourglass, 10, 11}}}, // IDC_APPSTARTING
    {32651, {0, 0}, Border::None, {{kArrow, 0, 0}, {kQuestionMark, 12, 0}}},    // IDC_HELP
};

const SystemCursor* FindSystemCursor(ULONG_PTR id) {
    for (const SystemCursor& cursor : kSystemCursors) {
        if (cursor.id == id) {
            return &cursor;
        }
    }
    return nullptr;
}

using Canvas = std::array<std::array<char, kCursorSize>, kCursorSize>;

void Place(Canvas& canvas, const Layer& layer) {
    for (std::size_t row = 0; row < layer.rows.size(); ++row) {
        std::string_view line = layer.rows[row];
        for (std::size_t column = 0; column < line.size(); ++column) {
            if (line[column] == '.') {
                continue;
            }
            auto r = static_cast<int>(row);
            auto c = static_cast<int>(column);
            int x = layer.x + (layer.placing == Placing::Transposed ? r
                               : layer.placing == Placing::Mirrored
                                   ? static_cast<int>(line.size()) - 1 - c
                                   : c);
            int y = layer.y + (layer.placing == Placing::Transposed ? c : r);
            // at(): a picture placed beyond the cursor is a fault of the table above.
            canvas.at(y).at(x) = line[column];
        }
    }
}

void AddWhiteBorder(Canvas& canvas) {
    Canvas drawn = canvas;
    for (int y = 0; y < kCursorSize; ++y) {
        for (int x = 0; x < kCursorSize; ++x) {
            if (drawn[y][x] != '#') {
                continue;
            }
            for (int ny = std::max(y - 1, 0); ny <= std::min(y + 1, kCursorSize - 1); ++ny) {
                for (int nx = std::max(x - 1, 0); nx <= std::min(x + 1, kCursorSize - 1); ++nx) {
                    if (canvas[ny][nx] == '.') {
                        canvas[ny][nx] = '-';
                    }
                }
            }
        }
    }
}

IconImage ImageOf(const Canvas& canvas, POINT hotSpot) {
    IconImage image;
    image.width = image.height = kCursorSize;
    image.hotSpot = hotSpot;
    image.pixels.assign(kCursorSize * kCursorSize, 0);
    image.inverts.assign(kCursorSize * kCursorSize, 0);
    for (int y = 0; y < kCursorSize; ++y) {
        for (int x = 0; x < kCursorSize; ++x) {
            std::size_t at = static_cast<std::size_t>(y) * kCursorSize + x;
            char pixel = canvas[y][x];
            image.pixels[at] = pixel == '#' ? 0xFF000000u : pixel == '-' ? 0xFFFFFFFFu : 0u;
            image.inverts[at] = pixel == '~' ? 1 : 0;
        }
    }
    return image;
}

} // namespace

bool IsSystemCursorId(ULONG_PTR id) {
    return FindSystemCursor(id) != nullptr;
}

std::optional<IconImage> SystemCursorImage(ULONG_PTR id) {
    const SystemCursor* cursor = FindSystemCursor(id);
    if (cursor == nullptr) {
        return std::nullopt;
    }
    Canvas canvas;
    for (auto& row : canvas) {
        row.fill('.');
    }
    for (const Layer& layer : cursor->layers) {
        Place(canvas, layer);
    }
    if (cursor->border == Border::White) {
        AddWhiteBorder(canvas);
    }
    return ImageOf(canvas, cursor->hotSpot);
}

} // namespace platform::user
