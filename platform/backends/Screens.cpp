#include "Screens.h"

#include "headless/HeadlessScreen.h"

#include <cstdlib>
#include <cstring>

namespace platform {

std::unique_ptr<Backend> MakeDefaultScreen() {
    const char* choice = std::getenv("VELBRIN_DISPLAY");
    if (choice && std::strcmp(choice, "x11") == 0 && std::getenv("DISPLAY")) {
        if (std::unique_ptr<Backend> x11 = MakeX11Screen(nullptr)) {
            return x11;
        }
    }
    return std::make_unique<HeadlessScreen>(1024, 768, 96);
}

} // namespace platform
