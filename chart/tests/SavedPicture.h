#pragma once
// Pictures of what a desktop test saw, for a person to look at.

#include <cstdint>
#include <string>
#include <vector>

namespace velbrin_test {

// Writes 0xRRGGBB pixels as NAME.ppm in the folder VELBRIN_X11_SCREENSHOTS
// names; nothing when it is not set.
void SavePictureToLookAt(const std::string& name, const std::vector<std::uint32_t>& pixels,
                         int width, int height);

} // namespace velbrin_test
