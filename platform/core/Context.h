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
    user::UserState& User() { return *user_; }

private:
    std::unique_ptr<KernelState> kernel_;
    std::unique_ptr<gdi::GdiState> gdi_;
    std::unique_ptr<user::UserState> user_;
};

// The current context, made on first use.
Context& Ctx();

} // namespace platform
