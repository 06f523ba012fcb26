#include "InputQueue.h"

#include "Keyboard.h"

namespace platform::user {

namespace {

WORD MouseKeyFlags() {
    const auto& keys = State().asyncKeyState;
    WORD flags = 0;
    flags |= (keys[VK_LBUTTON] & 0x80) ? MK_LBUTTON : 0;
    flags |= (keys[VK_RBUTTON] & 0x80) ? MK_RBUTTON : 0;
    flags |= (keys[VK_MBUTTON] & 0x80) ? MK_MBUTTON : 0;
    flags |= (keys[VK_SHIFT] & 0x80) ? MK_SHIFT : 0;
    flags |= (keys[VK_CONTROL] & 0x80) ? MK_CONTROL : 0;
    return flags;
}

void Queue(InputEvent event) {
    UserState& state = State();
    event.time = state.backend->Now();
    event.serial = state.nextInputSerial++;
    state.arrivedSinceLook |= QueueStatusOf(event);
    state.input.push_back(event);
}

BYTE ButtonKey(InputEvent::Button button) {
    return button == InputEvent::Button::Left    ? VK_LBUTTON
           : button == InputEvent::Button::Right ? VK_RBUTTON
                                                 : VK_MBUTTON;
}

} // namespace

void QueueMouseMove(POINT screenPoint) {
    State().cursorPos = screenPoint;
    InputEvent event;
    event.point = screenPoint;
    event.keyFlags = MouseKeyFlags();
    Queue(event);
}

void QueueMouseButton(InputEvent::Button button, bool down) {
    State().asyncKeyState[ButtonKey(button)] = down ? 0x80 : 0;
    InputEvent event;
    event.kind = down ? InputEvent::Kind::MouseDown : InputEvent::Kind::MouseUp;
    event.button = button;
    event.point = State().cursorPos;
    event.keyFlags = MouseKeyFlags();
    Queue(event);
}

void QueueMouseWheel(int delta, bool horizontal) {
    InputEvent event;
    event.kind = InputEvent::Kind::MouseWheel;
    event.point = State().cursorPos;
    event.keyFlags = MouseKeyFlags();
    event.wheelDelta = delta;
    event.horizontalWheel = horizontal;
    Queue(event);
}

void QueueKey(BYTE virtualKey, bool down, WORD packetChar) {
    auto& keys = State().asyncKeyState;
    bool wasDown = (keys[virtualKey] & 0x80) != 0;
    keys[virtualKey] = down ? 0x80 : 0;
    if (int side = SidedKey(virtualKey)) {
        keys[side] = keys[virtualKey];
    }
    InputEvent event;
    event.kind = down ? InputEvent::Kind::KeyDown : InputEvent::Kind::KeyUp;
    event.virtualKey = virtualKey;
    event.packetChar = packetChar;
    event.altDown = (keys[VK_MENU] & 0x80) != 0;
    int scan = virtualKey == VK_PACKET ? (packetChar & 0xFF) : ScanCodeOf(virtualKey);
    DWORD data = 1 | ((scan & 0xFF) << 16) | ((scan & 0x100) ? (1u << 24) : 0);
    data |= event.altDown && virtualKey != VK_MENU ? (1u << 29) : 0;
    data |= (virtualKey == VK_MENU && down) ? (1u << 29) : 0;
    data |= (wasDown || !down) ? (1u << 30) : 0;
    data |= down ? 0 : (1u << 31);
    event.keyData = static_cast<LPARAM>(static_cast<std::int32_t>(data));
    Queue(event);
}

void QueueCloseRequest(HWND window) {
    InputEvent event;
    event.kind = InputEvent::Kind::CloseRequest;
    event.target = window;
    event.point = State().cursorPos;
    Queue(event);
}

} // namespace platform::user
