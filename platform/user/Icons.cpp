// Icons: made from the image data Windows keeps in icon resources and icon
// files (a bitmap header, the colour rows and the 1-bit mask), looked up in a
// group directory by size, and loaded shared from the program's resources or
// the system's own set.

#include "../gdi/Icon.h"
#include "UserState.h"

#include <cstring>

using namespace platform::user;
using platform::gdi::IconImage;
using platform::gdi::Pixel;

namespace {

constexpr std::uintptr_t kGroupIcon = 14;
constexpr std::uintptr_t kIconImage = 3;
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

// Colour rows and mask rows are stored bottom-up. Without alpha of its own, a
// pixel is opaque unless the mask marks it transparent.
IconImage DecodeImage(const BYTE* bits, const BitmapLayout& layout) {
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
    for (int y = 0; y < layout.height; ++y) {
        int stored = layout.height - 1 - y;
        const BYTE* colorRow = colors + stored * layout.colorStride;
        const BYTE* maskRow = mask + stored * layout.maskStride;
        for (int x = 0; x < layout.width; ++x) {
            Pixel pixel = ColorAt(colorRow, palette, layout, x);
            bool transparent = (maskRow[x / 8] >> (7 - x % 8)) & 1;
            if (!ownAlpha) {
                pixel = transparent ? 0 : (pixel | 0xFF000000u);
            }
            image.pixels[static_cast<std::size_t>(y) * layout.width + x] = pixel;
        }
    }
    return image;
}

// The system's icons, drawn here: a window for the application icon, a
// round sign for the others.
IconImage SystemIcon(ULONG_PTR id) {
    IconImage image;
    image.width = image.height = kSystemIconSize;
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

} // namespace

HICON CreateIconFromResourceEx(BYTE* bits, DWORD size, BOOL icon, DWORD version, int, int, UINT) {
    BitmapLayout layout;
    if (bits == nullptr || !icon || version != 0x00030000 || !ReadLayout(bits, size, layout)) {
        return Fail(ERROR_INVALID_PARAMETER, HICON{nullptr});
    }
    HICON made = platform::gdi::CreateIconHandle(DecodeImage(bits, layout));
    return made ? made : Fail(ERROR_NOT_ENOUGH_MEMORY, HICON{nullptr});
}

HICON CreateIconFromResource(BYTE* bits, DWORD size, BOOL icon, DWORD version) {
    return CreateIconFromResourceEx(bits, size, icon, version, 0, 0, 0);
}

int LookupIconIdFromDirectoryEx(BYTE* directory, BOOL icon, int width, int height, UINT) {
    // A group directory: reserved, type and count, then 14-byte entries of
    // width, height, colours, reserved, planes, bit count, size and image id.
    if (directory == nullptr || !icon || Read16(directory + 2) != 1) {
        return Fail(ERROR_INVALID_PARAMETER, 0);
    }
    int count = static_cast<int>(Read16(directory + 4));
    int best = 0;
    long bestScore = -1;
    for (int i = 0; i < count; ++i) {
        const BYTE* entry = directory + 6 + i * 14;
        int w = entry[0] ? entry[0] : 256;
        int h = entry[1] ? entry[1] : 256;
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

// Icons are shared: every load of one name gives the same handle, which
// DestroyIcon leaves alone.
HICON LoadIconA(HINSTANCE instance, LPCSTR name) {
    if (name == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER, HICON{nullptr});
    }
    UserState& state = State();
    ULONG_PTR key;
    HRSRC group = nullptr;
    if (instance == nullptr) {
        ULONG_PTR id = reinterpret_cast<ULONG_PTR>(name);
        if (!IS_INTRESOURCE(name) || !IsSystemIconId(id)) {
            return Fail(ERROR_RESOURCE_NAME_NOT_FOUND, HICON{nullptr});
        }
        key = id;
    } else {
        group = FindResourceA(instance, name, MAKEINTRESOURCEA(kGroupIcon));
        if (group == nullptr) {
            return nullptr;
        }
        key = reinterpret_cast<ULONG_PTR>(group);
    }
    auto known = state.sharedIcons.find(key);
    if (known != state.sharedIcons.end()) {
        return known->second;
    }
    HICON made = nullptr;
    if (group == nullptr) {
        made = platform::gdi::CreateIconHandle(SystemIcon(key));
    } else {
        auto* directory = static_cast<BYTE*>(LockResource(LoadResource(instance, group)));
        int id = directory ? LookupIconIdFromDirectory(directory, TRUE) : 0;
        HRSRC image =
            id ? FindResourceA(instance, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(kIconImage))
               : nullptr;
        auto* bits =
            image ? static_cast<BYTE*>(LockResource(LoadResource(instance, image))) : nullptr;
        made = bits
                   ? CreateIconFromResource(bits, SizeofResource(instance, image), TRUE, 0x00030000)
                   : nullptr;
    }
    if (made != nullptr) {
        state.sharedIcons[key] = made;
    }
    return made;
}

BOOL DestroyIcon(HICON icon) {
    for (const auto& [key, shared] : State().sharedIcons) {
        if (shared == icon) {
            return TRUE;
        }
    }
    return platform::gdi::DestroyIconHandle(icon) ? TRUE : Fail(ERROR_INVALID_HANDLE, FALSE);
}
