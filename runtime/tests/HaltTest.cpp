#include "runtime/Halt.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace velbrin {
namespace {

void First() {
    std::fputs("first\n", stderr);
}
void Second() {
    std::fputs("second ", stderr);
    RemoveExitProcedure(&First);
}
void Third() {
    std::fputs("third ", stderr);
}

TEST(HaltTest, RunsTheProceduresNewestFirstOnceEachThenExits) {
    EXPECT_EXIT(
        {
            AddExitProcedure(&First);
            AddExitProcedure(&Third);
            AddExitProcedure(&Third);
            RemoveExitProcedure(&Third);
            AddExitProcedure(&Third);
            AddExitProcedure(&First);
            Halt(3);
        },
        ::testing::ExitedWithCode(3), "^third first\n$");
    EXPECT_EXIT(
        {
            AddExitProcedure(&First);
            AddExitProcedure(&Second);
            Halt(0);
        },
        ::testing::ExitedWithCode(0), "^second $")
        << "a procedure that removes another keeps it from running";
}

} // namespace
} // namespace velbrin
