#pragma once
// The platform's whole state, in one object, so that a test can start from a
// fresh one. Each API area keeps its own part and defines it in its folder.

#include <memory>

namespace platform {

struct KernelState;
namespace gdi {
struct GdiState;
}

class Context {
public:
    Context();
    ~Context();
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    KernelState& Kernel() { return *kernel_; }
    gdi::GdiState& Gdi() { return *gdi_; }

private:
    std::unique_ptr<KernelState> kernel_;
    std::unique_ptr<gdi::GdiState> gdi_;
};

// The current context, made on first use.
Context& Ctx();

} // namespace platform
