// The message queue: sent and posted messages, retrieval in Windows' order
// (posted, quit, input, paint, timer), waiting, dispatch and timers.

#include "UserState.h"

#include <algorithm>

namespace platform::user {

namespace {

bool InRange(UINT message, UINT filterMin, UINT filterMax) {
    if (filterMin == 0 && filterMax == 0) {
        return true;
    }
    return message >= filterMin && message <= filterMax;
}

// A window filter takes the window and its children; -1 takes thread messages.
bool MatchesWindow(HWND target, HWND filter) {
    if (filter == nullptr) {
        return true;
    }
    if (filter == reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1))) {
        return target == nullptr;
    }
    return target == filter || IsDescendant(filter, target);
}

MSG Stamp(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    UserState& state = State();
    return {window, message, wParam, lParam, state.backend->Now(), state.cursorPos};
}

bool TakePosted(MSG& out, HWND filter, UINT filterMin, UINT filterMax, bool remove) {
    auto& posted = State().posted;
    for (auto it = posted.begin(); it != posted.end(); ++it) {
        if (MatchesWindow(it->hwnd, filter) && InRange(it->message, filterMin, filterMax)) {
            out = *it;
            if (remove) {
                posted.erase(it);
            }
            return true;
        }
    }
    return false;
}

bool TakeQuit(MSG& out, UINT filterMin, UINT filterMax, bool remove) {
    UserState& state = State();
    if (!state.quitPosted || !InRange(WM_QUIT, filterMin, filterMax)) {
        return false;
    }
    out = Stamp(nullptr, WM_QUIT, static_cast<WPARAM>(state.quitCode), 0);
    if (remove) {
        state.quitPosted = false;
    }
    return true;
}

bool TakeInput(MSG& out, HWND filter, UINT filterMin, UINT filterMax, bool remove) {
    auto& input = State().input;
    while (!input.empty() && !input.front().message) {
        InputEvent event = input.front();
        // Routing sends messages; their handlers may consume input themselves.
        std::optional<MSG> routed = RouteInput(event);
        if (input.empty() || input.front().serial != event.serial) {
            continue;
        }
        if (routed) {
            input.front().message = routed;
        } else {
            input.pop_front();
        }
    }
    if (input.empty()) {
        return false;
    }
    const MSG message = *input.front().message;
    if (!MatchesWindow(message.hwnd, filter) || !InRange(message.message, filterMin, filterMax)) {
        return false;
    }
    out = message;
    if (remove) {
        State().lastPacketChar = input.front().packetChar;
        input.pop_front();
        ApplyKeyMessage(out);
    }
    return true;
}

bool TakePaint(MSG& out, HWND filter, UINT filterMin, UINT filterMax) {
    if (!InRange(WM_PAINT, filterMin, filterMax)) {
        return false;
    }
    HWND window = FindWindowToPaint(filter);
    if (window == nullptr) {
        return false;
    }
    out = Stamp(window, WM_PAINT, 0, 0);
    return true;
}

Timer* DueTimer(HWND filter) {
    UserState& state = State();
    DWORD now = state.backend->Now();
    Timer* best = nullptr;
    for (Timer& timer : state.timers) {
        if (static_cast<LONG>(now - timer.due) >= 0 && MatchesWindow(timer.window, filter) &&
            (best == nullptr || static_cast<LONG>(timer.due - best->due) < 0)) {
            best = &timer;
        }
    }
    return best;
}

bool TakeTimer(MSG& out, HWND filter, UINT filterMin, UINT filterMax, bool remove) {
    if (!InRange(WM_TIMER, filterMin, filterMax)) {
        return false;
    }
    Timer* timer = DueTimer(filter);
    if (timer == nullptr) {
        return false;
    }
    out = Stamp(timer->window, WM_TIMER, timer->id, reinterpret_cast<LPARAM>(timer->proc));
    if (remove) {
        timer->due = State().backend->Now() + timer->elapse;
    }
    return true;
}

bool Retrieve(MSG& out, HWND filter, UINT filterMin, UINT filterMax, bool remove) {
    return TakePosted(out, filter, filterMin, filterMax, remove) ||
           TakeQuit(out, filterMin, filterMax, remove) ||
           TakeInput(out, filter, filterMin, filterMax, remove) ||
           TakePaint(out, filter, filterMin, filterMax) ||
           TakeTimer(out, filter, filterMin, filterMax, remove);
}

std::optional<DWORD> NextTimerDue() {
    std::optional<DWORD> next;
    for (const Timer& timer : State().timers) {
        if (!next || static_cast<LONG>(timer.due - *next) < 0) {
            next = timer.due;
        }
    }
    return next;
}

bool SomethingWaiting() {
    MSG ignored;
    return Retrieve(ignored, nullptr, 0, 0, false);
}

} // namespace

namespace {

// The keyboard and mouse hooks see the input the program takes; one that
// answers nonzero for input taken off the queue swallows it. Then the
// message hook sees (and may change) what the program gets.
bool PassHooks(MSG& msg, bool removed) {
    int code = removed ? HC_ACTION : HC_NOREMOVE;
    bool swallowed = false;
    if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST && msg.message != WM_CHAR &&
        msg.message != WM_SYSCHAR) {
        swallowed = CallHooks(WH_KEYBOARD, code, msg.wParam, msg.lParam) != 0;
    } else if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) {
        MOUSEHOOKSTRUCT mouse{msg.pt, msg.hwnd, static_cast<UINT>(HTCLIENT), 0};
        swallowed = CallHooks(WH_MOUSE, code, msg.message, reinterpret_cast<LPARAM>(&mouse)) != 0;
    }
    if (swallowed && removed) {
        return false;
    }
    CallHooks(WH_GETMESSAGE, HC_ACTION, removed ? PM_REMOVE : PM_NOREMOVE,
              reinterpret_cast<LPARAM>(&msg));
    return true;
}

// PeekMessage and GetMessage look at the queue: what arrived, or is due,
// is no news.
void LookedAtQueue() {
    UserState& state = State();
    state.arrivedSinceLook = 0;
    state.statusAtLook = QS_PAINT | (DueTimer(nullptr) ? QS_TIMER : 0);
}

} // namespace

bool HasTimerDue(HWND filter) {
    return DueTimer(filter) != nullptr;
}

void KillTimersOf(HWND window) {
    auto& timers = State().timers;
    timers.erase(std::remove_if(timers.begin(), timers.end(),
                                [&](const Timer& t) { return t.window == window; }),
                 timers.end());
}

bool WaitForMessage() {
    while (!SomethingWaiting()) {
        if (!WaitForInput(NextTimerDue())) {
            return false;
        }
    }
    return true;
}

} // namespace platform::user

using namespace platform::user;

LRESULT CallWindowProcA(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (proc == nullptr) {
        return 0;
    }
    return proc(window, message, wParam, lParam);
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Find(window);
    if (w == nullptr) {
        return Fail(1400, LRESULT{0});
    }
    return CallWindowProcA(w->proc, window, message, wParam, lParam);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window && !Find(window)) {
        return Fail(1400, FALSE);
    }
    UserState& state = State();
    state.posted.push_back(
        {window, message, wParam, lParam, state.backend->Now(), state.cursorPos});
    state.arrivedSinceLook |= QS_POSTMESSAGE;
    state.backend->Wake();
    return TRUE;
}

BOOL PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
    if (threadId != GetCurrentThreadId()) {
        return Fail(ERROR_INVALID_PARAMETER, FALSE);
    }
    return PostMessageA(nullptr, message, wParam, lParam);
}

void PostQuitMessage(int exitCode) {
    UserState& state = State();
    state.quitPosted = true;
    state.quitCode = exitCode;
    state.arrivedSinceLook |= QS_POSTMESSAGE;
    state.backend->Wake();
}

BOOL PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT remove) {
    if (msg == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER, FALSE);
    }
    if (!State().inputReadThisTurn) {
        State().backend->CollectInput();
        State().inputReadThisTurn = true;
    }
    LookedAtQueue();
    MSG found;
    bool removing = (remove & PM_REMOVE) != 0;
    do {
        if (!Retrieve(found, window, filterMin, filterMax, removing)) {
            // Once the queue has run dry, the turn's changes go to the screen
            // and the next look reads the screen's input anew.
            State().inputReadThisTurn = false;
            const bool unfiltered = window == nullptr && filterMin == 0 && filterMax == 0;
            if (unfiltered || !SomethingWaiting()) {
                PresentPending();
            }
            return FALSE;
        }
    } while (!PassHooks(found, removing));
    *msg = found;
    State().lastMessage = found;
    return TRUE;
}

BOOL GetMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax) {
    if (msg == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER, -1);
    }
    LookedAtQueue();
    MSG found;
    while (!Retrieve(found, window, filterMin, filterMax, true) || !PassHooks(found, true)) {
        if (!SomethingWaiting() && !WaitForInput(NextTimerDue())) {
            return Fail(ERROR_INVALID_PARAMETER /* nothing will ever arrive */, -1);
        }
    }
    *msg = found;
    State().lastMessage = found;
    return found.message == WM_QUIT ? FALSE : TRUE;
}

BOOL WaitMessage() {
    return WaitForMessage() ? TRUE : FALSE;
}

LRESULT DispatchMessageA(const MSG* msg) {
    if (msg == nullptr) {
        return 0;
    }
    if (msg->message == WM_TIMER && msg->lParam != 0) {
        // Only a timer that exists may name a procedure: a posted WM_TIMER
        // with some address in lParam must not be called.
        auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
        for (const Timer& timer : State().timers) {
            if (timer.window == msg->hwnd && timer.id == msg->wParam && timer.proc == proc) {
                proc(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
                return 0;
            }
        }
        return 0;
    }
    Window* w = Find(msg->hwnd);
    if (w == nullptr) {
        return 0;
    }
    return CallWindowProcA(w->proc, msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LONG GetMessageTime() {
    return static_cast<LONG>(State().lastMessage.time);
}

DWORD GetMessagePos() {
    POINT p = State().lastMessage.pt;
    return static_cast<DWORD>(MAKELONG(static_cast<WORD>(p.x), static_cast<WORD>(p.y)));
}

BOOL InSendMessage() {
    return FALSE;
}

namespace platform::user {

DWORD QueueStatusOf(const InputEvent& event) {
    switch (event.kind) {
    case InputEvent::Kind::MouseMove:
        return QS_MOUSEMOVE;
    case InputEvent::Kind::KeyDown:
    case InputEvent::Kind::KeyUp:
        return QS_KEY;
    default:
        return QS_MOUSEBUTTON;
    }
}

} // namespace platform::user

// The low word: what the queue holds; the high word: what of it arrived
// since the program last looked (this call, PeekMessage or GetMessage). A
// timer arrives when it falls due, so one that was due when the program
// last looked is no news.
DWORD GetQueueStatus(UINT flags) {
    UserState& state = State();
    DWORD status = 0;
    if (!state.posted.empty() || state.quitPosted) {
        status |= QS_POSTMESSAGE;
    }
    for (const InputEvent& event : state.input) {
        status |= QueueStatusOf(event);
    }
    if (FindWindowToPaint(nullptr)) {
        status |= QS_PAINT;
    }
    if (HasTimerDue(nullptr)) {
        status |= QS_TIMER;
    }
    DWORD becameDue = status & QS_TIMER & ~state.statusAtLook;
    DWORD arrived = (state.arrivedSinceLook | becameDue) & status;
    state.arrivedSinceLook = 0;
    state.statusAtLook = status;
    return MAKELONG(status & flags, arrived & flags);
}

DWORD GetTickCount() {
    return State().backend->Now();
}

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc) {
    UserState& state = State();
    if (window && !Find(window)) {
        return Fail(1400, UINT_PTR{0});
    }
    elapse = std::clamp<UINT>(elapse, USER_TIMER_MINIMUM, 0x7FFFFFFF);
    if (window == nullptr) {
        auto existing = std::find_if(state.timers.begin(), state.timers.end(), [&](const Timer& t) {
            return t.window == nullptr && t.id == id;
        });
        if (id == 0 || existing == state.timers.end()) {
            id = state.nextThreadTimerId++;
        }
    } else if (id == 0) {
        id = 1;
    }
    DWORD due = state.backend->Now() + elapse;
    for (Timer& timer : state.timers) {
        if (timer.window == window && timer.id == id) {
            timer = {window, id, elapse, proc, due};
            return id;
        }
    }
    state.timers.push_back({window, id, elapse, proc, due});
    return id;
}

BOOL KillTimer(HWND window, UINT_PTR id) {
    auto& timers = State().timers;
    auto found = std::find_if(timers.begin(), timers.end(),
                              [&](const Timer& t) { return t.window == window && t.id == id; });
    if (found == timers.end()) {
        return Fail(ERROR_INVALID_PARAMETER, FALSE);
    }
    timers.erase(found);
    return TRUE;
}
