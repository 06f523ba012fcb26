// System metrics and parameters, the system menu, the one keyboard layout,
// and the registry and libraries that do not exist here.

#include "../kernel/KernelState.h"
#include "UserState.h"

#include <cstring>

using namespace platform::user;

int GetSystemMetrics(int index) {
    SIZE screen = State().backend->ScreenSize();
    switch (index) {
    case SM_CXSCREEN:
    case SM_CXFULLSCREEN:
        return screen.cx;
    case SM_CYSCREEN:
        return screen.cy;
    case SM_CYFULLSCREEN:
        return screen.cy - 19;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
    case SM_CYVTHUMB:
    case SM_CXHTHUMB:
        return 17;
    case SM_CXSMICON:
    case SM_CYSMICON:
        return 16;
    case SM_CYCAPTION:
    case SM_CYMENU:
        return 19;
    case SM_CXBORDER:
    case SM_CYBORDER:
        return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
        return 3;
    case SM_CXFRAME:
    case SM_CYFRAME:
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
    case SM_CXDRAG:
    case SM_CYDRAG:
        return 4;
    case SM_CXEDGE:
    case SM_CYEDGE:
        return 2;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR:
        return 32;
    case SM_CXSIZE:
    case SM_CYSIZE:
        return 18;
    case SM_CXMIN:
    case SM_CXMINTRACK:
        return 112;
    case SM_CYMIN:
    case SM_CYMINTRACK:
        return 27;
    case SM_CXMINIMIZED:
        return 160;
    case SM_CYMINIMIZED:
        return 24;
    case SM_CXMAXTRACK:
        return screen.cx + 12;
    case SM_CYMAXTRACK:
        return screen.cy + 12;
    case SM_CXMAXIMIZED:
        return screen.cx + 8;
    case SM_CYMAXIMIZED:
        return screen.cy + 8;
    case SM_CXICONSPACING:
    case SM_CYICONSPACING:
        return 75;
    case SM_CYSMCAPTION:
        return 16;
    case SM_CXMENUCHECK:
    case SM_CYMENUCHECK:
        return 13;
    case SM_CYKANJIWINDOW:
        return 0;
    case SM_MOUSEPRESENT:
    case SM_MOUSEWHEELPRESENT:
    case SM_DBCSENABLED:
    case SM_CXFOCUSBORDER:
    case SM_CYFOCUSBORDER:
        return 1;
    case SM_CMONITORS:
    case SM_SAMEDISPLAYFORMAT:
        return State().monitor ? 1 : 0;
    case SM_CMOUSEBUTTONS:
        return 3;
    default:
        return 0;
    }
}

BOOL SystemParametersInfoA(UINT action, UINT, LPVOID data, UINT) {
    switch (action) {
    case SPI_GETANIMATION:
    case SPI_SETANIMATION: {
        auto* info = static_cast<ANIMATIONINFO*>(data);
        if (info == nullptr || info->cbSize != sizeof(ANIMATIONINFO)) {
            return Fail(ERROR_INVALID_PARAMETER, FALSE);
        }
        if (action == SPI_GETANIMATION) {
            info->iMinAnimate = State().animation;
        } else {
            State().animation = info->iMinAnimate ? TRUE : FALSE;
        }
        return TRUE;
    }
    case SPI_GETWORKAREA: {
        auto* rect = static_cast<RECT*>(data);
        if (rect == nullptr) {
            return Fail(ERROR_INVALID_PARAMETER, FALSE);
        }
        SIZE screen = State().backend->ScreenSize();
        *rect = {0, 0, screen.cx, screen.cy};
        return TRUE;
    }
    case SPI_GETWHEELSCROLLLINES: {
        auto* lines = static_cast<UINT*>(data);
        if (lines == nullptr) {
            return Fail(ERROR_INVALID_PARAMETER, FALSE);
        }
        *lines = kWheelScrollLines;
        return TRUE;
    }
    default:
        return Fail(ERROR_INVALID_PARAMETER, FALSE);
    }
}

// ------------------------------------------------------------------ menus

namespace {

constexpr UINT kStandardSystemMenu[] = {SC_RESTORE,  SC_MOVE, SC_SIZE, SC_MINIMIZE,
                                        SC_MAXIMIZE, 0,       SC_CLOSE};

Menu* FindMenu(HMENU menu) {
    return State().menus.Find(reinterpret_cast<std::uintptr_t>(menu));
}

MenuItem* FindItem(Menu& menu, UINT item, UINT flags, std::size_t* index = nullptr) {
    for (std::size_t i = 0; i < menu.items.size(); ++i) {
        bool match = (flags & MF_BYPOSITION) ? i == item : menu.items[i].id == item;
        if (match && (flags & MF_BYPOSITION || menu.items[i].id != 0)) {
            if (index) {
                *index = i;
            }
            return &menu.items[i];
        }
    }
    return nullptr;
}

} // namespace

HMENU GetSystemMenu(HWND window, BOOL revert) {
    Window* w = Find(window);
    if (w == nullptr || !(w->style & WS_SYSMENU)) {
        return nullptr;
    }
    if (revert) {
        if (w->systemMenu) {
            State().menus.Remove(reinterpret_cast<std::uintptr_t>(w->systemMenu));
            w->systemMenu = nullptr;
        }
        return nullptr;
    }
    if (w->systemMenu == nullptr) {
        auto menu = std::make_unique<Menu>();
        for (UINT id : kStandardSystemMenu) {
            menu->items.push_back({id, static_cast<UINT>(id ? MF_ENABLED : MF_SEPARATOR)});
        }
        w->systemMenu = reinterpret_cast<HMENU>(State().menus.Add(std::move(menu)));
    }
    return w->systemMenu;
}

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) {
    Menu* m = FindMenu(menu);
    std::size_t index = 0;
    if (m == nullptr || FindItem(*m, position, flags, &index) == nullptr) {
        return FALSE;
    }
    m->items.erase(m->items.begin() + static_cast<std::ptrdiff_t>(index));
    return TRUE;
}

BOOL EnableMenuItem(HMENU menu, UINT item, UINT enable) {
    Menu* m = FindMenu(menu);
    MenuItem* found = m ? FindItem(*m, item, enable) : nullptr;
    if (found == nullptr) {
        return -1;
    }
    UINT old = found->state & (MF_GRAYED | MF_DISABLED);
    found->state =
        (found->state & ~(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
    return static_cast<BOOL>(old);
}

int GetMenuItemCount(HMENU menu) {
    Menu* m = FindMenu(menu);
    return m ? static_cast<int>(m->items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int position) {
    Menu* m = FindMenu(menu);
    if (m == nullptr || position < 0 || static_cast<std::size_t>(position) >= m->items.size()) {
        return static_cast<UINT>(-1);
    }
    return m->items[position].id;
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
    Menu* m = FindMenu(menu);
    MenuItem* found = m ? FindItem(*m, item, flags) : nullptr;
    return found ? found->state : static_cast<UINT>(-1);
}

HMENU GetMenu(HWND) {
    return nullptr;
}

// ------------------------------------------------------------------ help

BOOL WinHelpA(HWND window, LPCSTR helpFile, UINT command, ULONG_PTR data) {
    State().helpRequests.push_back({window, helpFile != nullptr ? helpFile : "", command, data});
    return Fail(ERROR_FILE_NOT_FOUND, FALSE);
}

// ------------------------------------------------------------------ keyboard layouts

namespace {
HKL JapaneseLayout() {
    return reinterpret_cast<HKL>(static_cast<std::uintptr_t>(0x04110411));
}
} // namespace

int GetKeyboardLayoutList(int count, HKL* layouts) {
    if (count == 0) {
        return 1;
    }
    if (layouts == nullptr || count < 0) {
        return 0;
    }
    layouts[0] = JapaneseLayout();
    return 1;
}

HKL GetKeyboardLayout(DWORD) {
    return JapaneseLayout();
}

HKL ActivateKeyboardLayout(HKL layout, UINT) {
    return layout == JapaneseLayout() ? JapaneseLayout() : nullptr;
}

BOOL GetKeyboardLayoutNameA(LPSTR name) {
    if (name == nullptr) {
        return FALSE;
    }
    std::strcpy(name, "00000411");
    return TRUE;
}

// ------------------------------------------------------------------ registry, libraries

LSTATUS RegOpenKeyExA(HKEY, LPCSTR, DWORD, DWORD, HKEY* result) {
    if (result) {
        *result = nullptr;
    }
    return ERROR_FILE_NOT_FOUND;
}

LSTATUS RegQueryValueExA(HKEY, LPCSTR, LPDWORD, LPDWORD, BYTE*, LPDWORD) {
    return ERROR_INVALID_HANDLE;
}

LSTATUS RegCloseKey(HKEY) {
    return ERROR_INVALID_HANDLE;
}

HMODULE LoadLibraryA(LPCSTR fileName) {
    if (fileName == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER, HMODULE{nullptr});
    }
    return Fail(126 /* ERROR_MOD_NOT_FOUND */, HMODULE{nullptr});
}

BOOL FreeLibrary(HMODULE) {
    return Fail(ERROR_INVALID_HANDLE, FALSE);
}

namespace {
// A run-time entry is handed out as the generic procedure type; the caller
// casts it back to the entry's own.
template <class Function> FARPROC AsFarProc(Function* function) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}
} // namespace

FARPROC GetProcAddress(HMODULE module, LPCSTR procName) {
    const bool byName = procName != nullptr && !IS_INTRESOURCE(procName);
    if (module == platform::User32Module() && byName) {
        if (std::strcmp(procName, "WINNLSEnableIME") == 0) {
            return AsFarProc(&WINNLSEnableIME);
        }
        if (std::strcmp(procName, "WINNLSGetEnableStatus") == 0) {
            return AsFarProc(&WINNLSGetEnableStatus);
        }
    }
    return Fail(127 /* ERROR_PROC_NOT_FOUND */, FARPROC{nullptr});
}

BOOL WINNLSEnableIME(HWND, BOOL enable) {
    bool& enabled = State().imeEnabled;
    const BOOL was = enabled ? TRUE : FALSE;
    enabled = enable != FALSE;
    return was;
}

BOOL WINNLSGetEnableStatus(HWND) {
    return State().imeEnabled ? TRUE : FALSE;
}
