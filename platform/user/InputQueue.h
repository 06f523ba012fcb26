#pragma once
// Input as the hardware reports it, queued until the program retrieves it:
// the testing hooks and the display backends feed the queue alike.

#include "UserState.h"

namespace platform::user {

void QueueMouseMove(POINT screenPoint);
// At the cursor's position.
void QueueMouseButton(InputEvent::Button button, bool down);
// At the cursor's position.
void QueueMouseWheel(short delta);
// `packetChar` is the character of a VK_PACKET key.
void QueueKey(BYTE virtualKey, bool down, WORD packetChar = 0);
void QueueCloseRequest(HWND window);

} // namespace platform::user
