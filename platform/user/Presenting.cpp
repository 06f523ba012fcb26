// The screen shows a top-level window's changes once a turn of the message
// loop: drawing only marks the frame buffer's changed area, and the changes
// gathered by then go to the screen together when the queue runs dry,
// before the program waits.

#include "UserState.h"

namespace platform::user {

void Present(HWND window, const Region& surfaceArea) {
    const HWND topHandle = TopLevelOf(window);
    Window* top = Find(topHandle);
    if (top == nullptr || !top->surface || surfaceArea.IsEmpty()) {
        return;
    }
    if (top->unpresented.IsEmpty()) {
        State().awaitingPresent.push_back(topHandle);
    }
    top->unpresented = top->unpresented.Union(surfaceArea);
}

void PresentPending() {
    std::vector<HWND> waiting;
    waiting.swap(State().awaitingPresent);
    for (HWND handle : waiting) {
        Window* top = Find(handle);
        if (top == nullptr || !top->surface) {
            continue;
        }
        const Region changed = top->unpresented.Intersect(Region(top->surface->Bounds()));
        top->unpresented = Region();
        if (!changed.IsEmpty()) {
            State().backend->Present(top->backendSurface, *top->surface, changed.Rects());
        }
    }
}

bool WaitForInput(std::optional<DWORD> deadline) {
    PresentPending();
    const bool more = State().backend->WaitForInput(deadline);
    State().inputReadThisTurn = true;
    return more;
}

} // namespace platform::user
