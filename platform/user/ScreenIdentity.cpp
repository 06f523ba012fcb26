// Who a top-level window is, told to the screen when its surface opens: its
// role, the program's icon and the sizes the window accepts.

#include "UserState.h"

#include "../gdi/Icon.h"

#include <algorithm>

namespace platform::user {

namespace {

using Role = SurfaceIdentity::Role;

// Captionless pop-ups are the combo box's list or a transient pop-up such
// as a hint; every other top-level window is a main window.
Role RoleOf(const Window& w) {
    if ((w.style & WS_POPUP) == 0 || (w.style & WS_CAPTION) == WS_CAPTION) {
        return Role::Main;
    }
    if (w.windowClass && w.windowClass->system && w.windowClass->name == "ComboLBox") {
        return Role::DropDown;
    }
    return Role::PopUp;
}

// The image of the program's "MAINICON" group that is nearest to `size`.
std::optional<gdi::IconImage> ProgramIcon(int size) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HRSRC group = FindResourceA(instance, "MAINICON", RT_GROUP_ICON);
    auto* directory =
        group ? static_cast<BYTE*>(LockResource(LoadResource(instance, group))) : nullptr;
    if (directory == nullptr) {
        return std::nullopt;
    }
    int id = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, 0);
    HRSRC image = id ? FindResourceA(instance, MAKEINTRESOURCEA(id), RT_ICON) : nullptr;
    auto* bits = image ? static_cast<BYTE*>(LockResource(LoadResource(instance, image))) : nullptr;
    if (bits == nullptr) {
        return std::nullopt;
    }
    HICON icon = CreateIconFromResourceEx(bits, SizeofResource(instance, image), TRUE, 0x00030000,
                                          size, size, 0);
    std::optional<gdi::IconImage> picture;
    if (const gdi::IconImage* decoded = gdi::IconOf(icon)) {
        picture = *decoded;
    }
    DestroyIcon(icon);
    return picture;
}

// Both sizes a desktop shows, largest first, each once.
std::vector<gdi::IconImage> ProgramIcons() {
    std::vector<gdi::IconImage> icons;
    for (int size : {32, 16}) {
        std::optional<gdi::IconImage> icon = ProgramIcon(size);
        bool known = icon && std::any_of(icons.begin(), icons.end(), [&](const auto& other) {
                         return other.width == icon->width && other.height == icon->height;
                     });
        if (icon && !known) {
            icons.push_back(std::move(*icon));
        }
    }
    return icons;
}

} // namespace

void DescribeOnScreen(HWND window) {
    Window* w = Find(window);
    if (w == nullptr || w->parent || !w->backendSurface || !State().backend->ShowsIdentity()) {
        return;
    }
    SurfaceIdentity identity;
    identity.role = RoleOf(*w);
    if (identity.role == Role::Main) {
        identity.icons = ProgramIcons();
        const MINMAXINFO defaults = DefaultSizeLimits(*w);
        MINMAXINFO limits = defaults;
        SendMessageA(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
        if ((w = Find(window)) == nullptr || !w->backendSurface) {
            return;
        }
        const RECT inside = InsideFrame(*w);
        const LONG frameWidth = (w->rect.right - w->rect.left) - (inside.right - inside.left);
        const LONG frameHeight = (w->rect.bottom - w->rect.top) - (inside.bottom - inside.top);
        identity.minimumInside = {std::max<LONG>(limits.ptMinTrackSize.x - frameWidth, 1),
                                  std::max<LONG>(limits.ptMinTrackSize.y - frameHeight, 1)};
        // The system's own largest size is no limit a desktop needs to hear of.
        if (limits.ptMaxTrackSize.x != defaults.ptMaxTrackSize.x ||
            limits.ptMaxTrackSize.y != defaults.ptMaxTrackSize.y) {
            identity.maximumInside = {
                std::max(limits.ptMaxTrackSize.x - frameWidth, identity.minimumInside.cx),
                std::max(limits.ptMaxTrackSize.y - frameHeight, identity.minimumInside.cy)};
        }
    }
    State().backend->DescribeSurface(w->backendSurface, identity);
}

} // namespace platform::user
