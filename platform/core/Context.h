#pragma once
// The platform's whole state, in one object, so that a test can start from a
// fresh one. Each API area keeps its own part and defines it in its folder.

#include <memory>

namespace platform {

struct KernelState;
namespace gdi {
struct GdiState;
}
namespace user {
struct UserState;
}

class Context {
public:
    Context();
    ~Context();
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    KernelState& Kernel() { return *kernel_; }
    gdi::GdiState& Gdi() { return *gdi_; }
    // Made on first use: only a program that works with windows opens a screen.
    user::UserState& User() { return user_ ? *user_ : MakeUser(); }

private:
    user::UserState& MakeUser();

    std::unique_ptr<KernelState> kernel_;
    std::unique_ptr<gdi::GdiState> gdi_;
    std::unique_ptr<user::UserState> user_;
};

namespace detail {
// The current context, null until first used. Every API call reaches it, most
// several times, so it is one load away rather than behind a call.
extern Context* currentContext;
Context& MakeCurrentContext();
} // namespace detail

// The current context, made on first use.
inline Context& Ctx() {
    Context* context = detail::currentContext;
    return context ? *context : detail::MakeCurrentContext();
}

// Whether the program is a test: it has asked for a fresh platform through
// ResetForTesting. A test's windows stay on the headless screen unless the
// environment asks for a display server.
bool UnderTest();

} // namespace platform
