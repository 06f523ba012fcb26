#pragma once
// Keys as the server's keyboard map has them, turned into Windows' virtual
// keys and the characters they type in code page 932.

#include <windows.h>

#include <X11/Xlib.h>

#include <optional>

namespace platform {

class X11Keyboard {
public:
    struct Key {
        BYTE virtualKey;
        // What the key types with the modifiers of its event, one or two
        // code page 932 bytes; 0 for a key that types no printable character.
        WORD character;
    };

    explicit X11Keyboard(Display* display) : display_(display) {}

    // Nullopt for a key that has no virtual key and types nothing (a
    // group or level switch, a key the map leaves empty).
    std::optional<Key> Translate(const XKeyEvent& event) const;

private:
    KeySym KeysymOf(const XKeyEvent& event, unsigned state) const;

    Display* display_;
};

// The Unicode character of a keysym; 0 for one that is no printable
// character (Return, the arrows, a dead key).
unsigned CharacterOfKeysym(KeySym keysym);

} // namespace platform
