#pragma once
// A fresh platform and graphics start-up for every test, and the check that a
// test leaves no shared record and no Windows object behind.

#include "graphics/Graphics.h"
#include "graphics/TResourceManager.h"

#include <gtest/gtest.h>
#include <platform/Testing.h>

namespace velbrin::testing {

inline int RecordCount(const TResourceManager& manager) {
    int count = 0;
    for (const TSharedResource* r = manager.List(); r != nullptr; r = r->Next) {
        ++count;
    }
    return count;
}

class GraphicsTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::ResetForTesting();
        RestartGraphicsForTesting();
        liveObjectsAtStart_ = platform::CountLiveHandles().gdiObjects;
    }

    void TearDown() override {
        EXPECT_EQ(RecordCount(FontResources()), 0);
        EXPECT_EQ(RecordCount(PenResources()), 0);
        EXPECT_EQ(RecordCount(BrushResources()), 0);
        EXPECT_EQ(platform::CountLiveHandles().gdiObjects, liveObjectsAtStart_);
    }

    static std::size_t LiveGdiObjects() { return platform::CountLiveHandles().gdiObjects; }

private:
    std::size_t liveObjectsAtStart_ = 0;
};

} // namespace velbrin::testing
