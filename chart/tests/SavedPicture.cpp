#include "SavedPicture.h"

#include <cstdlib>
#include <fstream>

namespace velbrin_test {

void SavePictureToLookAt(const std::string& name, const std::vector<std::uint32_t>& pixels,
                         int width, int height) {
    const char* folder = std::getenv("VELBRIN_X11_SCREENSHOTS");
    if (folder == nullptr) {
        return;
    }
    std::ofstream file(std::string(folder) + "/" + name + ".ppm", std::ios::binary);
    file << "P6\n" << width << " " << height << "\n255\n";
    for (std::uint32_t pixel : pixels) {
        const char rgb[3] = {static_cast<char>(pixel >> 16), static_cast<char>(pixel >> 8),
                             static_cast<char>(pixel)};
        file.write(rgb, 3);
    }
}

} // namespace velbrin_test
