// Icons and cursors: made from the image data Windows keeps in their
// resources and in icon files (a bitmap header, the colour rows and the 1-bit
// mask; a cursor's data starts with its hot spot), looked up in a group
// directory by size, and loaded shared from the program's resources or the
// system's own set. A cursor is an icon with a hot spot, as in Windows.

#include "../gdi/Icon.h"
#include "SystemCursors.h"
#include "UserState.h"
#include "platform/Testing.h"

#include <cstring>
#include <map>
#include <optional>

using namespace platform::user;
using platform::gdi::IconImage;
using platform::gdi::Pixel;

namespace {

constexpr std::uintptr_t kGroupIcon = 14;
constexpr std::uintptr_t kIconImage = 3;
constexpr std::uintptr_t kGroupCursor = 12;
constexpr std::uintptr_t kCursorImage = 1;
// The size of the system's icons and cursors (SM_CXICON, SM_CXCURSOR).
constexpr int kSystemIconSize = 32;

std::uint32_t Read16(const BYTE* p) {
    return p[0] | (p[1] << 8);
}
std::uint32_t Read32(const BYTE* p) {
    return Read16(p) | (Read16(p + 2) << 16);
}

struct BitmapLayout {
    int width = 0;
    int height = 0; // of the colour rows; the header counts the mask rows too
    int bitCount = 0;
    std::size_t headerSize = 0;
    std::size_t paletteEntries = 0;
    std::size_t colorStride = 0;
    std::size_t maskStride = 0;
};

std::size_t Stride(int width, int bits) {
    return (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
}

// The layout of icon image data, or false when the data is not one Windows
// would take: every size is checked against the bytes given.
bool ReadLayout(const BYTE* bits, DWORD size, BitmapLayout& layout) {
    if (size < 40 || Read32(bits) < 40 || Read32(bits) > size) {
        return false;
    }
    layout.headerSize = Read32(bits);
    auto width = static_cast<std::int32_t>(Read32(bits + 4));
    auto doubledHeight = static_cast<std::int32_t>(Read32(bits + 8));
    layout.bitCount = static_cast<int>(Read16(bits + 14));
    std::uint32_t compression = Read32(bits + 16);
    std::uint32_t colorsUsed = Read32(bits + 32);
    bool knownDepth = layout.bitCount == 1 || layout.bitCount == 4 || layout.bitCount == 8 ||
                      layout.bitCount == 24 || layout.bitCount == 32;
    if (width <= 0 || width > 256 || doubledHeight <= 0 || doubledHeight > 512 ||
        doubledHeight % 2 != 0 || compression != 0 || !knownDepth) {
        return false;
    }
    layout.width = width;
    layout.height = doubledHeight / 2;
    if (layout.bitCount <= 8) {
        std::size_t full = std::size_t{1} << layout.bitCount;
        layout.paletteEntries = colorsUsed != 0 && colorsUsed < full ? colorsUsed : full;
    }
    layout.colorStride = Stride(width, layout.bitCount);
    layout.maskStride = Stride(width, 1);
    std::size_t needed = layout.headerSize + layout.paletteEntries * 4 +
                         (layout.colorStride + layout.maskStride) * layout.height;
    return needed <= size;
}

Pixel ColorAt(const BYTE* row, const BYTE* palette, const BitmapLayout& layout, int x) {
    switch (layout.bitCount) {
    case 32:
        return Read32(row + x * 4);
    case 24:
        return 0xFF000000u | row[x * 3] | (row[x * 3 + 1] << 8) | (row[x * 3 + 2] << 16);
    default: {
        int bits = layout.bitCount;
        int perByte = 8 / bits;
        unsigned index =
            (row[x / perByte] >> ((perByte - 1 - x % perByte) * bits)) & ((1u << bits) - 1);
        if (index >= layout.paletteEntries) {
            return 0xFF000000u;
        }
        const BYTE* entry = palette + index * 4;
        return 0xFF000000u | entry[0] | (entry[1] << 8) | (entry[2] << 16);
    }
    }
}

// What a pixel of the colour rows that the mask lets through does: in an
// icon it is transparent; in a cursor a white one inverts the screen, as
// Windows draws it, and any other is transparent.
enum class UnderMask { Transparent, WhiteInverts };

// Colour rows and mask rows are stored bottom-up. Without alpha of its own, a
// pixel is opaque unless the mask marks it transparent.
IconImage DecodeImage(const BYTE* bits, const BitmapLayout& layout, UnderMask underMask) {
    const BYTE* palette = bits + layout.headerSize;
    const BYTE* colors = palette + layout.paletteEntries * 4;
    const BYTE* mask = colors + layout.colorStride * layout.height;
    bool ownAlpha = false;
    if (layout.bitCount == 32) {
        for (int y = 0; y < layout.height && !ownAlpha; ++y) {
            for (int x = 0; x < layout.width && !ownAlpha; ++x) {
                ownAlpha = colors[y * layout.colorStride + x * 4 + 3] != 0;
            }
        }
    }
    IconImage image;
    image.width = layout.width;
    image.height = layout.height;
    image.pixels.resize(static_cast<std::size_t>(layout.width) * layout.height);
    if (underMask == UnderMask::WhiteInverts && !ownAlpha) {
        image.inverts.resize(image.pixels.size());
    }
    for (int y = 0; y < layout.height; ++y) {
        int stored = layout.height - 1 - y;
        const BYTE* colorRow = colors + stored * layout.colorStride;
        const BYTE* maskRow = mask + stored * layout.maskStride;
        for (int x = 0; x < layout.width; ++x) {
            Pixel pixel = ColorAt(colorRow, palette, layout, x);
            bool transparent = (maskRow[x / 8] >> (7 - x % 8)) & 1;
            std::size_t at = static_cast<std::size_t>(y) * layout.width + x;
            if (!ownAlpha) {
                if (transparent && !image.inverts.empty()) {
                    image.inverts[at] = (pixel & 0xFFFFFF) == 0xFFFFFF ? 1 : 0;
                }
                pixel = transparent ? 0 : (pixel | 0xFF000000u);
            }
            image.pixels[at] = pixel;
        }
    }
    return image;
}

// The system's icons, drawn here: a window for the application icon, a
// round sign for the others.
IconImage SystemIcon(ULONG_PTR id) {
    IconImage image;
    image.width = image.height = kSystemIconSize;
    image.hotSpot = {kSystemIconSize / 2, kSystemIconSize / 2};
    image.pixels.assign(kSystemIconSize * kSystemIconSize, 0);
    auto set = [&](int x, int y, Pixel p) { image.pixels[y * kSystemIconSize + x] = p; };
    bool application = id == 32512 || id == 32517;
    Pixel sign = id == 32513 ? 0xFFFF0000u : id == 32515 ? 0xFFFFD800u : 0xFF0000FFu;
    for (int y = 0; y < kSystemIconSize; ++y) {
        for (int x = 0; x < kSystemIconSize; ++x) {
            if (application) {
                bool inside = x >= 3 && x < 29 && y >= 5 && y < 27;
                bool edge = x == 3 || x == 28 || y == 5 || y == 26;
                if (inside) {
                    set(x, y, edge ? 0xFF000000u : y < 10 ? 0xFF000080u : 0xFFFFFFFFu);
                }
            } else {
                int dx = 2 * x - 31;
                int dy = 2 * y - 31;
                if (dx * dx + dy * dy <= 29 * 29) {
                    set(x, y, sign);
                }
            }
        }
    }
    return image;
}

bool IsSystemIconId(ULONG_PTR id) {
    return id >= 32512 && id <= 32517;
}

std::optional<IconImage> SystemIconImage(ULONG_PTR id) {
    return IsSystemIconId(id) ? std::optional<IconImage>(SystemIcon(id)) : std::nullopt;
}

// What tells icons and cursors apart when they are loaded.
struct ImageKind {
    std::uintptr_t groupType;
    std::uintptr_t imageType;
    BOOL icon;
    std::map<ULONG_PTR, HICON> UserState::*shared;
    bool (*isSystemId)(ULONG_PTR id);
    std::optional<IconImage> (*systemImage)(ULONG_PTR id);
};

constexpr ImageKind kIcons{.groupType = kGroupIcon,
                           .imageType = kIconImage,
                           .icon = TRUE,
                           .shared = &UserState::sharedIcons,
                           .isSystemId = IsSystemIconId,
                           .systemImage = SystemIconImage};
constexpr ImageKind kCursors{.groupType = kGroupCursor,
                             .imageType = kCursorImage,
                             .icon = FALSE,
                             .shared = &UserState::sharedCursors,
                             .isSystemId = IsSystemCursorId,
                             .systemImage = SystemCursorImage};

constexpr std::size_t kDirectoryHeader = 6;
constexpr std::size_t kDirectoryEntry = 14;

// The image of a group resource that fits the system's size best; null when
// the directory does not hold its entries or names no image that is there.
HICON LoadGroupImage(HINSTANCE instance, HRSRC group, const ImageKind& kind) {
    auto* directory = static_cast<BYTE*>(LockResource(LoadResource(instance, group)));
    DWORD size = SizeofResource(instance, group);
    if (directory == nullptr || size < kDirectoryHeader ||
        size < kDirectoryHeader + kDirectoryEntry * Read16(directory + 4)) {
        return Fail(ERROR_RESOURCE_DATA_NOT_FOUND, HICON{nullptr});
    }
    int id = LookupIconIdFromDirectoryEx(directory, kind.icon, kSystemIconSize, kSystemIconSize, 0);
    HRSRC image =
        id ? FindResourceA(instance, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(kind.imageType))
           : nullptr;
    auto* bits = image ? static_cast<BYTE*>(LockResource(LoadResource(instance, image))) : nullptr;
    return bits ? CreateIconFromResourceEx(bits, SizeofResource(instance, image), kind.icon,
                                           0x00030000, kSystemIconSize, kSystemIconSize, 0)
                : nullptr;
}

// Loaded icons and cursors are shared: every load of one name gives the same
// handle, which DestroyIcon and DestroyCursor leave alone.
HICON LoadShared(HINSTANCE instance, LPCSTR name, const ImageKind& kind) {
    if (name == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER, HICON{nullptr});
    }
    std::map<ULONG_PTR, HICON>& shared = State().*kind.shared;
    ULONG_PTR key;
    HRSRC group = nullptr;
    if (instance == nullptr) {
        key = reinterpret_cast<ULONG_PTR>(name);
        if (!IS_INTRESOURCE(name) || !kind.isSystemId(key)) {
            return Fail(ERROR_RESOURCE_NAME_NOT_FOUND, HICON{nullptr});
        }
    } else {
        group = FindResourceA(instance, name, MAKEINTRESOURCEA(kind.groupType));
        if (group == nullptr) {
            return nullptr;
        }
        // Resource handles lie far above the integer range of the system's numbers.
        key = reinterpret_cast<ULONG_PTR>(group);
    }
    auto known = shared.find(key);
    if (known != shared.end()) {
        return known->second;
    }
    HICON made = nullptr;
    if (group != nullptr) {
        made = LoadGroupImage(instance, group, kind);
    } else if (std::optional<IconImage> image = kind.systemImage(key)) {
        made = platform::gdi::CreateIconHandle(std::move(*image));
    }
    if (made != nullptr) {
        shared[key] = made;
    }
    return made;
}

bool IsShared(HICON icon) {
    for (const auto* shared : {&State().sharedIcons, &State().sharedCursors}) {
        for (const auto& [key, handle] : *shared) {
            if (handle == icon) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

namespace platform {

std::optional<POINT> CursorHotSpot(HCURSOR cursor) {
    const IconImage* image = gdi::IconOf(cursor);
    return image ? std::optional<POINT>(image->hotSpot) : std::nullopt;
}

} // namespace platform

namespace platform::user {

ULONG_PTR SystemCursorIdOf(HCURSOR cursor) {
    for (const auto& [key, handle] : State().sharedCursors) {
        if (handle == cursor && IS_INTRESOURCE(key)) {
            return key;
        }
    }
    return 0;
}

} // namespace platform::user

HICON CreateIconFromResourceEx(BYTE* bits, DWORD size, BOOL icon, DWORD version, int, int, UINT) {
    // A cursor's image starts with its hot spot.
    const DWORD hotSpotSize = icon ? 0 : 4;
    BitmapLayout layout;
    if (bits == nullptr || version != 0x00030000 || size < hotSpotSize ||
        !ReadLayout(bits + hotSpotSize, size - hotSpotSize, layout)) {
        return Fail(ERROR_INVALID_PARAMETER, HICON{nullptr});
    }
    IconImage image = DecodeImage(bits + hotSpotSize, layout,
                                  icon ? UnderMask::Transparent : UnderMask::WhiteInverts);
    image.hotSpot =
        icon ? POINT{layout.width / 2, layout.height / 2}
             : POINT{static_cast<LONG>(Read16(bits)), static_cast<LONG>(Read16(bits + 2))};
    if (image.hotSpot.x >= layout.width || image.hotSpot.y >= layout.height) {
        return Fail(ERROR_INVALID_PARAMETER, HICON{nullptr});
    }
    HICON made = platform::gdi::CreateIconHandle(std::move(image));
    return made ? made : Fail(ERROR_NOT_ENOUGH_MEMORY, HICON{nullptr});
}

HICON CreateIconFromResource(BYTE* bits, DWORD size, BOOL icon, DWORD version) {
    return CreateIconFromResourceEx(bits, size, icon, version, 0, 0, 0);
}

int LookupIconIdFromDirectoryEx(BYTE* directory, BOOL icon, int width, int height, UINT) {
    // A group directory: reserved, type (1 icons, 2 cursors) and count, then
    // 14-byte entries. An icon's entry starts with its width, height, colours
    // and a reserved byte; a cursor's with its 16-bit width and height, the
    // height doubled as the bitmap counts the mask rows. Then planes, bit
    // count, size and image id.
    if (directory == nullptr || Read16(directory + 2) != (icon ? 1u : 2u)) {
        return Fail(ERROR_INVALID_PARAMETER, 0);
    }
    int count = static_cast<int>(Read16(directory + 4));
    int best = 0;
    long bestScore = -1;
    for (int i = 0; i < count; ++i) {
        const BYTE* entry = directory + kDirectoryHeader + i * kDirectoryEntry;
        int w = icon ? (entry[0] ? entry[0] : 256) : static_cast<int>(Read16(entry));
        int h = icon ? (entry[1] ? entry[1] : 256) : static_cast<int>(Read16(entry + 2) / 2);
        // The closest size wins; among equal sizes, the deepest colours.
        long distance = std::labs(w - width) + std::labs(h - height);
        long score = 100000 - distance * 100 + static_cast<long>(Read16(entry + 6));
        if (score > bestScore) {
            bestScore = score;
            best = static_cast<int>(Read16(entry + 12));
        }
    }
    return best ? best : Fail(ERROR_RESOURCE_DATA_NOT_FOUND, 0);
}

int LookupIconIdFromDirectory(BYTE* directory, BOOL icon) {
    return LookupIconIdFromDirectoryEx(directory, icon, kSystemIconSize, kSystemIconSize, 0);
}

HICON LoadIconA(HINSTANCE instance, LPCSTR name) {
    return LoadShared(instance, name, kIcons);
}

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name) {
    return LoadShared(instance, name, kCursors);
}

BOOL DestroyIcon(HICON icon) {
    if (IsShared(icon)) {
        return TRUE;
    }
    return platform::gdi::DestroyIconHandle(icon) ? TRUE : Fail(ERROR_INVALID_HANDLE, FALSE);
}

// Shared cursors stay loaded, as Windows keeps them.
BOOL DestroyCursor(HCURSOR cursor) {
    return DestroyIcon(cursor);
}
