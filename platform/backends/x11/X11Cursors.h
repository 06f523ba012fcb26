#pragma once
// The X cursors that stand for the program's: the system's cursors as the X
// server's own font cursors of the same meaning, the program's own made from
// their pictures, and an empty one for no cursor at all.

#include "../../gdi/Icon.h"

#include <X11/Xlib.h>

#include <map>

namespace platform {

class X11Cursors {
public:
    explicit X11Cursors(Display* display) : display_(display) {}
    X11Cursors(const X11Cursors&) = delete;
    X11Cursors& operator=(const X11Cursors&) = delete;

    // The X cursor for a system cursor (its IDC_ number) or a picture of
    // the program's own (number 0); no picture: the empty cursor. It is
    // freed by the next call that makes one from a picture, or by FreeAll.
    Cursor CursorFor(ULONG_PTR systemCursor, const gdi::IconImage* picture);
    // Frees every cursor made; the screen calls it before it closes the display.
    void FreeAll();

private:
    Cursor FromPicture(const gdi::IconImage& picture);

    Display* display_;
    std::map<unsigned, Cursor> fontCursors_;
    // The one made from a picture, freed when the next one replaces it.
    Cursor pictureCursor_ = 0;
};

} // namespace platform
