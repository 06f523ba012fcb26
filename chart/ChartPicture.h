#pragma once
// The chart window as a picture: the program's own window, built from its
// form resource by the class library and drawn on a headless screen, with a
// key chosen as a user chooses it.

#include <string>

namespace velbrin::chart {

// The screen the window is drawn on: the size and resolution of the headless
// screen the program draws on when no display is asked for.
constexpr int kPictureScreenWidth = 1024;
constexpr int kPictureScreenHeight = 768;
constexpr int kPicturePixelsPerInch = 96;

// Whether this build can draw the picture: it needs the platform's headless
// screen, which a build against Windows itself does not have.
bool ChartWindowPicturesAvailable();

// Opens the chart window, chooses key index `key` (0 to 11) in its key list
// with the Down key, and saves the whole window, frame and caption included,
// as a PNG file. Replaces the platform's screen with a headless one and
// starts and ends the forms library, so it is called where no window lives.
// False when the key could not be chosen or the file not written.
bool SaveChartWindowPicture(int key, const std::string& path);

} // namespace velbrin::chart
