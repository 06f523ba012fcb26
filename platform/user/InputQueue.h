#pragma once
// Input as the hardware reports it, queued until the program retrieves it:
// the testing hooks and the display backends feed the queue alike.

#include "UserState.h"

namespace platform::user {

void QueueMouseMove(POINT screenPoint);
// At the cursor's position.
void QueueMouseButton(InputEvent::Button button, bool down);
// At the cursor's position; `delta` in WHEEL_DELTA steps.
void QueueMouseWheel(int delta, bool horizontal);
// `packetChar` is the character the key types (InputEvent::packetChar).
void QueueKey(BYTE virtualKey, bool down, WORD packetChar = 0);
void QueueCloseRequest(HWND window);

} // namespace platform::user
