#pragma once
// An Xvfb of a test's own, on a display number no other server holds, and
// on request a real window manager (openbox) on it. Every wait is bounded;
// a server or manager that does not come up leaves Display() empty, and the
// test says so and skips.

#include <sys/types.h>

#include <string>

namespace platform::testing {

class PrivateXServer {
public:
    enum class Manager { None, Openbox };
    explicit PrivateXServer(Manager manager = Manager::None);
    ~PrivateXServer();
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    // Empty when the server (or the manager asked for) did not come up.
    const std::string& Display() const { return display_; }
    // Why Display() is empty.
    const std::string& Failure() const { return failure_; }

private:
    bool StartServer(int number);
    bool StartManager();
    void Stop(pid_t& pid);

    pid_t server_ = 0;
    pid_t manager_ = 0;
    std::string display_;
    std::string failure_;
};

} // namespace platform::testing
