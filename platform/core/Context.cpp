#include "Context.h"

#include "../kernel/KernelState.h"
#include "platform/Testing.h"

namespace platform {

namespace {
std::unique_ptr<Context>& CurrentContext() {
    static std::unique_ptr<Context> context;
    return context;
}
} // namespace

Context::Context() : kernel_(std::make_unique<KernelState>()) {}

Context::~Context() = default;

Context& Ctx() {
    auto& context = CurrentContext();
    if (!context) {
        context = std::make_unique<Context>();
    }
    return *context;
}

void ResetForTesting() {
    CurrentContext() = std::make_unique<Context>();
}

LiveHandleCounts CountLiveHandles() {
    KernelState& kernel = Ctx().Kernel();
    return {kernel.files.LiveCount(), kernel.memory.LiveCount(), kernel.atoms.size()};
}

} // namespace platform
