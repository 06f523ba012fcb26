#include "Screens.h"

#include "../core/Context.h"
#include "headless/HeadlessScreen.h"

#include "platform/Testing.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

bool Chosen(const char* choice, const char* name) {
    return choice != nullptr && std::strcmp(choice, name) == 0;
}

bool WantsDisplayServer() {
    const char* choice = std::getenv("VELBRIN_DISPLAY");
    if (Chosen(choice, "x11")) {
        return true;
    }
    const char* display = std::getenv("DISPLAY");
    return choice == nullptr && !UnderTest() && display != nullptr && *display != '\0';
}

} // namespace

DefaultScreen MakeDefaultScreen() {
    DefaultScreen screen;
    if (WantsDisplayServer()) {
        std::string whyNot;
        screen.backend = MakeX11Screen(nullptr, &whyNot);
        screen.monitor = screen.backend != nullptr;
        if (screen.monitor) {
            SetScreenPixelsPerInch(screen.backend->PixelsPerInch());
        } else {
            std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, whyNot.c_str());
        }
    } else if (!UnderTest() && !Chosen(std::getenv("VELBRIN_DISPLAY"), "headless")) {
        // A program with no display server named at all.
        screen.monitor = false;
    }
    if (!screen.backend) {
        screen.backend = std::make_unique<HeadlessScreen>(1024, 768, 96);
    }
    return screen;
}

} // namespace platform
