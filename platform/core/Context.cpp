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

user::UserState& Context::MakeUser() {
    user_ = std::make_unique<user::UserState>();
    return *user_;
}

namespace detail {

Context* currentContext = nullptr;

Context& MakeCurrentContext() {
    auto& context = CurrentContext();
    if (!context) {
        context = std::make_unique<Context>();
    }
    currentContext = context.get();
    return *context;
}

} // namespace detail

bool UnderTest() {
    return TestingStarted();
}

void ResetForTesting() {
    TestingStarted() = true;
    // The old context's teardown already sees the new one, as Ctx() callers
    // from its destructors expect.
    auto fresh = std::make_unique<Context>();
    detail::currentContext = fresh.get();
    CurrentContext() = std::move(fresh);
}

LiveHandleCounts CountLiveHandles() {
    KernelState& kernel = Ctx().Kernel();
    gdi::GdiState& gdi = Ctx().Gdi();
    return {kernel.files.LiveCount(),      kernel.memory.LiveCount(), kernel.atoms.size(),
            gdi::CountCreatedObjects(gdi), gdi.dcs.LiveCount(),       gdi.icons.LiveCount()};
}

} // namespace platform
