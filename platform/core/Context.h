#pragma once
// The platform's whole state, in one object, so that a test can start from a
// fresh one. Each API area keeps its own part and defines it in its folder.

#include <memory>

namespace platform {

struct KernelState;

class Context {
public:
    Context();
    ~Context();
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    KernelState& Kernel() { return *kernel_; }

private:
    std::unique_ptr<KernelState> kernel_;
};

// The current context, made on first use.
Context& Ctx();

} // namespace platform
