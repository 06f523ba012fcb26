#include "Context.h"

#include "../gdi/GdiState.h"
#include "../kernel/KernelState.h"
#include "../user/UserState.h"
#include "platform/Testing.h"

namespace platform {

namespace {
std::unique_ptr<Context>& CurrentContext() {
    static std::unique_ptr<Context> context;
    return context;
}

bool& TestingStarted() {
    static bool started = false;
    return started;
}

} // namespace

Context::Context()
    : kernel_(std::make_unique<KernelState>()), gdi_(std::make_unique<gdi::GdiState>()) {}

Context::~Context() = default;

user::UserState& Context::User() {
    if (!user_) {
        user_ = std::make_unique<user::UserState>();
    }
    return *user_;
}

Context& Ctx() {
    auto& context = CurrentContext();
    if (!context) {
        context = std::make_unique<Context>();
    }
    return *context;
}

bool UnderTest() {
    return TestingStarted();
}

void ResetForTesting() {
    TestingStarted() = true;
    CurrentContext() = std::make_unique<Context>();
}

LiveHandleCounts CountLiveHandles() {
    KernelState& kernel = Ctx().Kernel();
    gdi::GdiState& gdi = Ctx().Gdi();
    return {kernel.files.LiveCount(),      kernel.memory.LiveCount(), kernel.atoms.size(),
            gdi::CountCreatedObjects(gdi), gdi.dcs.LiveCount(),       gdi.icons.LiveCount()};
}

} // namespace platform
