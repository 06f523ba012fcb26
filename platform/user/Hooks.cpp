// Hooks of the thread (SetWindowsHookExA): each kind keeps its chain, the
// newest hook first; a hook passes on with CallNextHookEx.

#include "UserState.h"

#include <algorithm>

namespace platform::user {

namespace {

std::vector<Hook>& Hooks() {
    return State().hooks;
}

bool KnownKind(int type) {
    return type == WH_KEYBOARD || type == WH_GETMESSAGE || type == WH_CBT || type == WH_MOUSE;
}

// The first hook of `type` at or after `from` in the chain; null for none.
const Hook* HookFrom(std::size_t from, int type) {
    const std::vector<Hook>& hooks = Hooks();
    for (std::size_t i = from; i < hooks.size(); ++i) {
        if (hooks[i].type == type) {
            return &hooks[i];
        }
    }
    return nullptr;
}

LRESULT Call(const Hook* hook, int code, WPARAM wParam, LPARAM lParam) {
    if (hook == nullptr) {
        return 0;
    }
    // The hook may unhook itself or others while it runs.
    HOOKPROC proc = hook->proc;
    return proc(code, wParam, lParam);
}

} // namespace

LRESULT CallHooks(int type, int code, WPARAM wParam, LPARAM lParam) {
    return Call(HookFrom(0, type), code, wParam, lParam);
}

bool HasHooks(int type) {
    return HookFrom(0, type) != nullptr;
}

} // namespace platform::user

using namespace platform::user;

HHOOK SetWindowsHookExA(int type, HOOKPROC proc, HINSTANCE, DWORD threadId) {
    if (!KnownKind(type) || proc == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER, HHOOK{nullptr});
    }
    if (threadId != 0 && threadId != GetCurrentThreadId()) {
        return Fail(ERROR_INVALID_PARAMETER, HHOOK{nullptr});
    }
    UserState& state = State();
    auto handle = reinterpret_cast<HHOOK>(state.nextHook++);
    state.hooks.insert(state.hooks.begin(), Hook{handle, type, proc});
    return handle;
}

BOOL UnhookWindowsHookEx(HHOOK hook) {
    std::vector<Hook>& hooks = Hooks();
    auto found =
        std::find_if(hooks.begin(), hooks.end(), [&](const Hook& h) { return h.handle == hook; });
    if (found == hooks.end()) {
        return Fail(ERROR_INVALID_HANDLE, FALSE);
    }
    hooks.erase(found);
    return TRUE;
}

LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
    const std::vector<Hook>& hooks = Hooks();
    for (std::size_t i = 0; i < hooks.size(); ++i) {
        if (hooks[i].handle == hook) {
            return Call(HookFrom(i + 1, hooks[i].type), code, wParam, lParam);
        }
    }
    return 0;
}
