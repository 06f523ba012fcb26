#pragma once
// Helpers shared by the core tests.

#include "runtime/Text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace velbrin::testing {

// Runs `action`, which must raise E, and returns the message in UTF-8.
template <class E, class Action> std::string MessageOf(Action&& action) {
    try {
        action();
    } catch (const E& error) {
        return AnsiToUtf8(error.Message());
    }
    ADD_FAILURE() << "nothing was raised";
    return {};
}

// A fresh directory, removed with its contents at the end of the test.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

} // namespace velbrin::testing
