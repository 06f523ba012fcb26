#include "Keyboard.h"

#include <array>
#include <cstring>

namespace platform::user {

namespace {

constexpr int kExtended = 0x100;

struct OemKey {
    int virtualKey;
    char plain;
    char shifted;
};

// The punctuation keys of the 106-key layout.
constexpr std::array<OemKey, 12> kOemKeys = {{
    {VK_OEM_1, ':', '*'},
    {VK_OEM_PLUS, ';', '+'},
    {VK_OEM_COMMA, ',', '<'},
    {VK_OEM_MINUS, '-', '='},
    {VK_OEM_PERIOD, '.', '>'},
    {VK_OEM_2, '/', '?'},
    {VK_OEM_3, '@', '`'},
    {VK_OEM_4, '[', '{'},
    {VK_OEM_5, '\\', '|'},
    {VK_OEM_6, ']', '}'},
    {VK_OEM_7, '^', '~'},
    {VK_OEM_102, '\\', '_'},
}};

constexpr char kShiftedDigits[] = " !\"#$%&'()";

struct ScanEntry {
    int virtualKey;
    int scan;
};

constexpr std::array<ScanEntry, 46> kScanCodes = {{
    {VK_ESCAPE, 0x01},
    {VK_OEM_MINUS, 0x0C},
    {VK_OEM_7, 0x0D},
    {VK_BACK, 0x0E},
    {VK_TAB, 0x0F},
    {VK_OEM_3, 0x1A},
    {VK_OEM_4, 0x1B},
    {VK_RETURN, 0x1C},
    {VK_CONTROL, 0x1D},
    {VK_OEM_PLUS, 0x27},
    {VK_OEM_1, 0x28},
    {VK_SHIFT, 0x2A},
    {VK_OEM_6, 0x2B},
    {VK_OEM_COMMA, 0x33},
    {VK_OEM_PERIOD, 0x34},
    {VK_OEM_2, 0x35},
    {VK_MULTIPLY, 0x37},
    {VK_MENU, 0x38},
    {VK_SPACE, 0x39},
    {VK_CAPITAL, 0x3A},
    {VK_NUMLOCK, 0x45},
    {VK_SCROLL, 0x46},
    {VK_SUBTRACT, 0x4A},
    {VK_ADD, 0x4E},
    {VK_DECIMAL, 0x53},
    {VK_OEM_102, 0x73},
    {VK_OEM_5, 0x7D},
    {VK_F11, 0x57},
    {VK_F12, 0x58},
    {VK_CONVERT, 0x79},
    {VK_NONCONVERT, 0x7B},
    {VK_KANA, 0x70},
    {VK_HOME, 0x47 | kExtended},
    {VK_UP, 0x48 | kExtended},
    {VK_PRIOR, 0x49 | kExtended},
    {VK_LEFT, 0x4B | kExtended},
    {VK_RIGHT, 0x4D | kExtended},
    {VK_END, 0x4F | kExtended},
    {VK_DOWN, 0x50 | kExtended},
    {VK_NEXT, 0x51 | kExtended},
    {VK_INSERT, 0x52 | kExtended},
    {VK_DELETE, 0x53 | kExtended},
    {VK_DIVIDE, 0x35 | kExtended},
    {VK_APPS, 0x5D | kExtended},
    {VK_LWIN, 0x5B | kExtended},
    {VK_RWIN, 0x5C | kExtended},
}};

constexpr const char* kLetterRows[] = {"QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
constexpr int kLetterRowStart[] = {0x10, 0x1E, 0x2C};

} // namespace

int ScanCodeOf(int virtualKey) {
    if (virtualKey >= '1' && virtualKey <= '9') {
        return 0x02 + virtualKey - '1';
    }
    if (virtualKey == '0') {
        return 0x0B;
    }
    if (virtualKey >= 'A' && virtualKey <= 'Z') {
        for (int row = 0; row < 3; ++row) {
            if (const char* at = std::strchr(kLetterRows[row], virtualKey)) {
                return kLetterRowStart[row] + static_cast<int>(at - kLetterRows[row]);
            }
        }
    }
    if (virtualKey >= VK_F1 && virtualKey <= VK_F10) {
        return 0x3B + virtualKey - VK_F1;
    }
    if (virtualKey >= VK_NUMPAD0 && virtualKey <= VK_NUMPAD0 + 9) {
        constexpr int kPad[] = {0x52, 0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D, 0x47, 0x48, 0x49};
        return kPad[virtualKey - VK_NUMPAD0];
    }
    for (const ScanEntry& entry : kScanCodes) {
        if (entry.virtualKey == virtualKey) {
            return entry.scan;
        }
    }
    return 0;
}

int SidedKey(int virtualKey) {
    switch (virtualKey) {
    case VK_SHIFT:
        return VK_LSHIFT;
    case VK_CONTROL:
        return VK_LCONTROL;
    case VK_MENU:
        return VK_LMENU;
    default:
        return 0;
    }
}

int CharacterOfKey(int virtualKey, bool shift, bool capsLock, bool control) {
    if (virtualKey >= 'A' && virtualKey <= 'Z') {
        if (control) {
            return virtualKey - 'A' + 1;
        }
        return (shift != capsLock) ? virtualKey : virtualKey - 'A' + 'a';
    }
    if (control) {
        switch (virtualKey) {
        case VK_RETURN:
            return '\n';
        case VK_BACK:
            return 0x7F;
        case VK_ESCAPE:
        case VK_SPACE:
            return virtualKey;
        default:
            return -1;
        }
    }
    if (virtualKey >= '0' && virtualKey <= '9') {
        if (!shift) {
            return virtualKey;
        }
        return virtualKey == '0' ? -1 : kShiftedDigits[virtualKey - '0'];
    }
    if (virtualKey >= VK_NUMPAD0 && virtualKey <= VK_NUMPAD0 + 9) {
        return '0' + virtualKey - VK_NUMPAD0;
    }
    switch (virtualKey) {
    case VK_SPACE:
    case VK_BACK:
    case VK_TAB:
    case VK_ESCAPE:
    case VK_RETURN:
        return virtualKey;
    case VK_MULTIPLY:
        return '*';
    case VK_ADD:
        return '+';
    case VK_SUBTRACT:
        return '-';
    case VK_DECIMAL:
        return '.';
    case VK_DIVIDE:
        return '/';
    default:
        break;
    }
    for (const OemKey& key : kOemKeys) {
        if (key.virtualKey == virtualKey) {
            return shift ? key.shifted : key.plain;
        }
    }
    return -1;
}

std::optional<KeyStroke> KeyForCharacter(unsigned char character) {
    if (character >= 'a' && character <= 'z') {
        return KeyStroke{character - 'a' + 'A', false};
    }
    if (character >= 'A' && character <= 'Z') {
        return KeyStroke{character, true};
    }
    if (character >= '0' && character <= '9') {
        return KeyStroke{character, false};
    }
    for (int digit = 1; digit <= 9; ++digit) {
        if (kShiftedDigits[digit] == character) {
            return KeyStroke{'0' + digit, true};
        }
    }
    switch (character) {
    case ' ':
        return KeyStroke{VK_SPACE, false};
    case '\r':
    case '\n':
        return KeyStroke{VK_RETURN, false};
    case '\t':
        return KeyStroke{VK_TAB, false};
    case '\b':
        return KeyStroke{VK_BACK, false};
    case 0x1B:
        return KeyStroke{VK_ESCAPE, false};
    default:
        break;
    }
    for (const OemKey& key : kOemKeys) {
        if (key.plain == static_cast<char>(character)) {
            return KeyStroke{key.virtualKey, false};
        }
        if (key.shifted == static_cast<char>(character)) {
            return KeyStroke{key.virtualKey, true};
        }
    }
    return std::nullopt;
}

} // namespace platform::user
