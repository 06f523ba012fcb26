#pragma once
// Icon images for the windowing side: LoadIconA and DestroyIcon make and free
// them here, DrawIcon draws them.

#include "Surface.h"

#include <vector>

namespace platform::gdi {

// Pixels are 0xAARRGGBB: alpha 0 is transparent, 255 opaque; DrawIcon blends
// what lies between.
struct IconImage {
    int width = 0;
    int height = 0;
    std::vector<Pixel> pixels;
};

// 0 when the image's size does not match its pixels or no handle is left.
HICON CreateIconHandle(IconImage image);
// Null when the handle is not a live icon.
const IconImage* IconOf(HICON icon);
// False when the handle is not a live icon.
bool DestroyIconHandle(HICON icon);

} // namespace platform::gdi
