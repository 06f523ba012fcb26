#pragma once
// What the tests of resizing and scrolling a form need: the user's drag of
// the sizing frame, and the check that every control stands where the form
// puts it, on the screen as well as in its bounds.

#include "controls/TWinControl.h"
#include "forms/TForm.h"

#include <platform/UserTesting.h>

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace velbrin::testing {

// Drags the bottom-right corner of the form's sizing frame by (dx, dy), as a
// user resizes a window, and lets `pump` run the sizing loop.
template <class Pump> void DragSizingFrameBy(HWND form, LONG dx, LONG dy, Pump pump) {
    RECT window;
    GetWindowRect(form, &window);
    const POINT corner{window.right - 2, window.bottom - 2};
    platform::MoveMouse(corner);
    platform::PressMouse(platform::MouseButton::Left);
    platform::MoveMouse({corner.x + dx, corner.y + dy});
    platform::ReleaseMouse(platform::MouseButton::Left);
    pump();
}

// Resizes the form with the sizing frame until its client area is `size`.
// A scroll bar that comes or goes takes or gives room, so the user may have
// to drag again.
template <class Pump> void DragClientSizeTo(HWND form, SIZE size, Pump pump) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        RECT client;
        GetClientRect(form, &client);
        if (client.right == size.cx && client.bottom == size.cy) {
            return;
        }
        DragSizingFrameBy(form, size.cx - client.right, size.cy - client.bottom, pump);
    }
    RECT client;
    GetClientRect(form, &client);
    EXPECT_EQ(client.right, size.cx);
    EXPECT_EQ(client.bottom, size.cy);
}

// The bounds each child of `form` was given, before anything scrolled.
using DesignedPlaces = std::map<TControl*, RECT>;

inline DesignedPlaces PlacesOf(TForm& form) {
    DesignedPlaces places;
    for (int i = 0; i < form.ControlCount(); ++i) {
        places[form.Controls(i)] = form.Controls(i)->BoundsRect();
    }
    return places;
}

// Every child lies at its designed place less the scroll positions, and a
// windowed child's window is where its bounds say, relative to the form's
// client area.
inline void ExpectControlsWhereTheFormPutsThem(TForm& form, const DesignedPlaces& designed,
                                               const std::string& when) {
    const int scrolledX = form.HorzScrollBar()->Position();
    const int scrolledY = form.VertScrollBar()->Position();
    for (const auto& [control, place] : designed) {
        const RECT bounds = control->BoundsRect();
        EXPECT_EQ(bounds.left, place.left - scrolledX) << control->Name() << " " << when;
        EXPECT_EQ(bounds.top, place.top - scrolledY) << control->Name() << " " << when;
        EXPECT_EQ(bounds.right - bounds.left, place.right - place.left)
            << control->Name() << " " << when;
        auto* windowed = dynamic_cast<TWinControl*>(control);
        if (windowed == nullptr || !windowed->HasWindow()) {
            continue;
        }
        RECT onScreen;
        GetWindowRect(windowed->Handle(), &onScreen);
        const POINT origin = platform::ScreenPointOf(form.Handle(), {0, 0});
        EXPECT_EQ(onScreen.left - origin.x, place.left - scrolledX)
            << control->Name() << "'s window " << when;
        EXPECT_EQ(onScreen.top - origin.y, place.top - scrolledY)
            << control->Name() << "'s window " << when;
    }
}

} // namespace velbrin::testing
