#include "X11Keyboard.h"

#include <X11/XKBlib.h>
#include <X11/keysym.h>

namespace platform {

namespace {

struct NamedKey {
    KeySym keysym;
    BYTE virtualKey;
};

// The keys that Windows knows by a virtual key of their own, the keypad's
// included: with Num Lock on the map gives its digits (KP_1), without it
// the movement keys (KP_End).
constexpr NamedKey kNamedKeys[] = {
    {XK_BackSpace, VK_BACK},
    {XK_Tab, VK_TAB},
    {XK_ISO_Left_Tab, VK_TAB},
    {XK_Return, VK_RETURN},
    {XK_Escape, VK_ESCAPE},
    {XK_Delete, VK_DELETE},
    {XK_Insert, VK_INSERT},
    {XK_Home, VK_HOME},
    {XK_End, VK_END},
    {XK_Prior, VK_PRIOR},
    {XK_Next, VK_NEXT},
    {XK_Left, VK_LEFT},
    {XK_Right, VK_RIGHT},
    {XK_Up, VK_UP},
    {XK_Down, VK_DOWN},
    {XK_Shift_L, VK_SHIFT},
    {XK_Shift_R, VK_SHIFT},
    {XK_Control_L, VK_CONTROL},
    {XK_Control_R, VK_CONTROL},
    {XK_Alt_L, VK_MENU},
    {XK_Alt_R, VK_MENU},
    {XK_Meta_L, VK_MENU},
    {XK_Caps_Lock, VK_CAPITAL},
    {XK_Pause, VK_PAUSE},
    {XK_space, VK_SPACE},
    {XK_Num_Lock, VK_NUMLOCK},
    {XK_Scroll_Lock, VK_SCROLL},
    {XK_Print, VK_SNAPSHOT},
    {XK_Super_L, VK_LWIN},
    {XK_Super_R, VK_RWIN},
    {XK_Menu, VK_APPS},
    {XK_KP_Enter, VK_RETURN},
    {XK_KP_Home, VK_HOME},
    {XK_KP_End, VK_END},
    {XK_KP_Prior, VK_PRIOR},
    {XK_KP_Next, VK_NEXT},
    {XK_KP_Left, VK_LEFT},
    {XK_KP_Right, VK_RIGHT},
    {XK_KP_Up, VK_UP},
    {XK_KP_Down, VK_DOWN},
    {XK_KP_Begin, VK_CLEAR},
    {XK_KP_Insert, VK_INSERT},
    {XK_KP_Delete, VK_DELETE},
    {XK_KP_Decimal, VK_DECIMAL},
    {XK_KP_Add, VK_ADD},
    {XK_KP_Subtract, VK_SUBTRACT},
    {XK_KP_Multiply, VK_MULTIPLY},
    {XK_KP_Divide, VK_DIVIDE},
    {XK_Kanji, VK_KANJI},
    {XK_Henkan, VK_CONVERT},
    {XK_Muhenkan, VK_NONCONVERT},
};

// The punctuation keys by the character they type without Shift: Windows'
// names for the US layout's keys first, then the keys only the Japanese
// layout has.
constexpr struct {
    char character;
    BYTE virtualKey;
} kPunctuationKeys[] = {
    {';', VK_OEM_1},      {'=', VK_OEM_PLUS}, {',', VK_OEM_COMMA}, {'-', VK_OEM_MINUS},
    {'.', VK_OEM_PERIOD}, {'/', VK_OEM_2},    {'`', VK_OEM_3},     {'[', VK_OEM_4},
    {'\\', VK_OEM_5},     {']', VK_OEM_6},    {'\'', VK_OEM_7},    {':', VK_OEM_1},
    {'@', VK_OEM_3},      {'^', VK_OEM_7},
};

std::optional<BYTE> NamedVirtualKey(KeySym keysym) {
    if (keysym >= XK_F1 && keysym <= XK_F12) {
        return static_cast<BYTE>(VK_F1 + (keysym - XK_F1));
    }
    if (keysym >= XK_KP_0 && keysym <= XK_KP_9) {
        return static_cast<BYTE>(VK_NUMPAD0 + (keysym - XK_KP_0));
    }
    for (const NamedKey& key : kNamedKeys) {
        if (key.keysym == keysym) {
            return key.virtualKey;
        }
    }
    return std::nullopt;
}

// The virtual key of a key that types a character, by what it types
// without Shift or other levels.
std::optional<BYTE> CharacterVirtualKey(KeySym plain) {
    if (plain >= XK_a && plain <= XK_z) {
        return static_cast<BYTE>('A' + (plain - XK_a));
    }
    if ((plain >= XK_A && plain <= XK_Z) || (plain >= XK_0 && plain <= XK_9)) {
        return static_cast<BYTE>(plain);
    }
    for (const auto& key : kPunctuationKeys) {
        if (static_cast<KeySym>(static_cast<unsigned char>(key.character)) == plain) {
            return key.virtualKey;
        }
    }
    return std::nullopt;
}

// One or two code page 932 bytes; 0 when the code page has no such character.
WORD CodePageCharacter(unsigned unicode) {
    if (unicode == 0 || unicode > 0xFFFF) {
        return 0;
    }
    const WCHAR wide = static_cast<WCHAR>(unicode);
    char bytes[2] = {};
    BOOL substituted = FALSE;
    int length = WideCharToMultiByte(932, 0, &wide, 1, bytes, 2, nullptr, &substituted);
    if (substituted || length < 1) {
        return 0;
    }
    const auto first = static_cast<unsigned char>(bytes[0]);
    return length == 1 ? first
                       : static_cast<WORD>(first << 8 | static_cast<unsigned char>(bytes[1]));
}

} // namespace

unsigned CharacterOfKeysym(KeySym keysym) {
    if ((keysym >= 0x20 && keysym <= 0x7E) || (keysym >= 0xA0 && keysym <= 0xFF)) {
        return static_cast<unsigned>(keysym);
    }
    // Keysyms that name a Unicode character directly.
    if ((keysym & 0xFF000000) == 0x01000000) {
        return static_cast<unsigned>(keysym & 0x00FFFFFF);
    }
    // The half-width katakana of a kana layout.
    if (keysym >= XK_kana_fullstop && keysym <= XK_semivoicedsound) {
        return static_cast<unsigned>(keysym - XK_kana_fullstop + 0xFF61);
    }
    // The keypad's printable keys (the space, the operators and the digits)
    // lie at a fixed distance from ASCII.
    if (keysym == XK_KP_Space || keysym == XK_KP_Equal ||
        (keysym >= XK_KP_Multiply && keysym <= XK_KP_9)) {
        return static_cast<unsigned>(keysym - 0xFF80);
    }
    return 0;
}

KeySym X11Keyboard::KeysymOf(const XKeyEvent& event, unsigned state) const {
    KeySym keysym = NoSymbol;
    unsigned int consumed = 0;
    XkbLookupKeySym(display_, static_cast<KeyCode>(event.keycode), state, &consumed, &keysym);
    return keysym;
}

std::optional<X11Keyboard::Key> X11Keyboard::Translate(const XKeyEvent& event) const {
    // The key's own level: the group and Num Lock (a Mod2 on common maps)
    // stay, Shift, Caps Lock, Ctrl and the level switches go.
    const unsigned plainState =
        event.state &
        ~static_cast<unsigned>(ShiftMask | LockMask | ControlMask | Mod1Mask | Mod4Mask | Mod5Mask);
    const KeySym plain = KeysymOf(event, plainState);
    const KeySym typed = KeysymOf(event, event.state);
    const WORD character = CodePageCharacter(CharacterOfKeysym(typed));
    if (std::optional<BYTE> named = NamedVirtualKey(plain)) {
        return Key{*named, character};
    }
    if (std::optional<BYTE> virtualKey = CharacterVirtualKey(plain)) {
        return Key{*virtualKey, character};
    }
    // A character key that Windows has no name for types through a packet.
    if (character != 0) {
        return Key{VK_PACKET, character};
    }
    return std::nullopt;
}

} // namespace platform
