#include "X11Cursors.h"

#include <X11/cursorfont.h>

#include <vector>

namespace platform {

namespace {

struct FontCursor {
    ULONG_PTR systemCursor;
    unsigned shape;
};

// The X server's cursors nearest to the system's. X has no inverting or
// diagonal double arrows: the I-beam is xterm's, the diagonal sizes the
// corner cursors.
constexpr FontCursor kFontCursors[] = {
    {32512, XC_left_ptr},            // IDC_ARROW
    {32513, XC_xterm},               // IDC_IBEAM
    {32514, XC_watch},               // IDC_WAIT
    {32515, XC_crosshair},           // IDC_CROSS
    {32516, XC_sb_up_arrow},         // IDC_UPARROW
    {32640, XC_fleur},               // IDC_SIZE
    {32641, XC_icon},                // IDC_ICON
    {32642, XC_bottom_right_corner}, // IDC_SIZENWSE
    {32643, XC_bottom_left_corner},  // IDC_SIZENESW
    {32644, XC_sb_h_double_arrow},   // IDC_SIZEWE
    {32645, XC_sb_v_double_arrow},   // IDC_SIZENS
    {32646, XC_fleur},               // IDC_SIZEALL
    {32648, XC_X_cursor},            // IDC_NO
    {32649, XC_hand2},               // IDC_HAND
    {32650, XC_watch},               // IDC_APPSTARTING
    {32651, XC_question_arrow},      // IDC_HELP
};

// One bit a pixel, bit 0 the leftmost, rows padded to bytes: the bitmap
// layout XCreateBitmapFromData reads.
class Bitmap {
public:
    Bitmap(int width, int height)
        : stride_((width + 7) / 8), bits_(static_cast<std::size_t>(stride_) * height, 0) {}
    void Set(int x, int y) { bits_[static_cast<std::size_t>(y) * stride_ + x / 8] |= 1 << (x % 8); }
    const char* Data() const { return reinterpret_cast<const char*>(bits_.data()); }

private:
    int stride_;
    std::vector<unsigned char> bits_;
};

bool IsDark(gdi::Pixel pixel) {
    int red = (pixel >> 16) & 0xFF;
    int green = (pixel >> 8) & 0xFF;
    int blue = pixel & 0xFF;
    return red * 3 + green * 6 + blue < 128 * 10;
}

} // namespace

void X11Cursors::FreeAll() {
    for (const auto& [shape, cursor] : fontCursors_) {
        XFreeCursor(display_, cursor);
    }
    fontCursors_.clear();
    if (pictureCursor_ != 0) {
        XFreeCursor(display_, pictureCursor_);
        pictureCursor_ = 0;
    }
}

Cursor X11Cursors::CursorFor(ULONG_PTR systemCursor, const gdi::IconImage* picture) {
    for (const FontCursor& font : kFontCursors) {
        if (font.systemCursor != systemCursor) {
            continue;
        }
        auto [known, added] = fontCursors_.try_emplace(font.shape, 0);
        if (added) {
            known->second = XCreateFontCursor(display_, font.shape);
        }
        return known->second;
    }
    gdi::IconImage empty;
    empty.width = empty.height = 1;
    empty.pixels = {0};
    Cursor made = FromPicture(picture != nullptr ? *picture : empty);
    if (pictureCursor_ != 0) {
        XFreeCursor(display_, pictureCursor_);
    }
    pictureCursor_ = made;
    return made;
}

// X cursors have two colours and a mask: what the picture inverts shows
// black, as on the light ground it mostly lies on.
Cursor X11Cursors::FromPicture(const gdi::IconImage& picture) {
    Bitmap dark(picture.width, picture.height);
    Bitmap shown(picture.width, picture.height);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            std::size_t at = static_cast<std::size_t>(y) * picture.width + x;
            gdi::Pixel pixel = picture.pixels[at];
            bool inverts = !picture.inverts.empty() && picture.inverts[at] != 0;
            if (inverts || (pixel >> 24) >= 128) {
                shown.Set(x, y);
            }
            if (inverts || ((pixel >> 24) >= 128 && IsDark(pixel))) {
                dark.Set(x, y);
            }
        }
    }
    ::Window root = DefaultRootWindow(display_);
    auto width = static_cast<unsigned>(picture.width);
    auto height = static_cast<unsigned>(picture.height);
    Pixmap source = XCreateBitmapFromData(display_, root, dark.Data(), width, height);
    Pixmap mask = XCreateBitmapFromData(display_, root, shown.Data(), width, height);
    XColor black{};
    XColor white{};
    white.red = white.green = white.blue = 0xFFFF;
    Cursor cursor = XCreatePixmapCursor(display_, source, mask, &black, &white,
                                        static_cast<unsigned>(picture.hotSpot.x),
                                        static_cast<unsigned>(picture.hotSpot.y));
    XFreePixmap(display_, source);
    XFreePixmap(display_, mask);
    return cursor;
}

} // namespace platform
