#pragma once
// The Japanese 106-key layout: virtual keys, scan codes and the characters
// that keys make.

#include <windows.h>

#include <optional>

namespace platform::user {

// The scan code of a key, with bit 8 set for the extended keys.
int ScanCodeOf(int virtualKey);
// The left-hand variant of a Shift, Ctrl or Alt key; 0 for other keys.
int SidedKey(int virtualKey);
// The character a key makes, -1 for none.
int CharacterOfKey(int virtualKey, bool shift, bool capsLock, bool control);

struct KeyStroke {
    int virtualKey;
    bool shift;
};
// The key that types a character on this layout; nullopt when none does.
std::optional<KeyStroke> KeyForCharacter(unsigned char character);

} // namespace platform::user
