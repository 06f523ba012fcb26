#pragma once
// Icon and cursor images for the windowing side: LoadIconA, LoadCursorA and
// DestroyIcon make and free them here, DrawIcon draws them. As in Windows, a
// cursor is an icon with a hot spot.

#include "Surface.h"

#include <cstdint>
#include <vector>

namespace platform::gdi {

// Pixels are 0xAARRGGBB: alpha 0 is transparent, 255 opaque; DrawIcon blends
// what lies between, then inverts what lies under the set bytes of
// `inverts` (empty when nothing is inverted; else one byte a pixel).
struct IconImage {
    int width = 0;
    int height = 0;
    std::vector<Pixel> pixels;
    std::vector<std::uint8_t> inverts{};
    // The pixel that is the pointer's position when the image is the cursor.
    POINT hotSpot{0, 0};
};

// 0 when the image's size does not match its pixels and inversion mask, the
// hot spot lies outside it or no handle is left.
HICON CreateIconHandle(IconImage image);
// Null when the handle is not a live icon.
const IconImage* IconOf(HICON icon);
// False when the handle is not a live icon.
bool DestroyIconHandle(HICON icon);

} // namespace platform::gdi
