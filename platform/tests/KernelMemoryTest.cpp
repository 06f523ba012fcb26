#include <windows.h>

#include "platform/Testing.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(KernelMemory, MovableBlocksKeepContentsAcrossReallocation) {
    std::size_t before = platform::CountLiveHandles().globalMemory;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 16);
    ASSERT_NE(block, nullptr);
    auto* bytes = static_cast<char*>(GlobalLock(block));
    ASSERT_NE(bytes, nullptr);
    std::memcpy(bytes, "0123456789abcdef", 16);
    EXPECT_EQ(GlobalHandle(bytes), block);
    EXPECT_FALSE(GlobalUnlock(block));

    HGLOBAL grown = GlobalReAlloc(block, 100000, GMEM_MOVEABLE);
    EXPECT_EQ(grown, block); // a movable block keeps its handle
    EXPECT_EQ(GlobalSize(grown), 100000u);
    bytes = static_cast<char*>(GlobalLock(grown));
    EXPECT_EQ(std::memcmp(bytes, "0123456789abcdef", 16), 0);
    GlobalUnlock(grown);
    EXPECT_EQ(GlobalFree(grown), nullptr);
    EXPECT_EQ(platform::CountLiveHandles().globalMemory, before);
    EXPECT_EQ(GlobalLock(grown), nullptr); // a freed handle is recognised
    EXPECT_EQ(GlobalFree(grown), grown);
}

TEST(KernelMemory, LockedOrFixedBlocksDoNotMoveUnlessAllowed) {
    HGLOBAL fixed = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, 8);
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(GlobalLock(fixed), fixed);
    EXPECT_EQ(static_cast<char*>(fixed)[7], 0);
    EXPECT_EQ(GlobalReAlloc(fixed, 64, 0), nullptr);
    EXPECT_EQ(GlobalReAlloc(fixed, 4, 0), fixed);
    HGLOBAL moved = GlobalReAlloc(fixed, 4096, GMEM_MOVEABLE | GMEM_ZEROINIT);
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(static_cast<char*>(moved)[4095], 0);
    EXPECT_EQ(GlobalFree(moved), nullptr);

    HGLOBAL movable = GlobalAlloc(GMEM_MOVEABLE, 8);
    GlobalLock(movable);
    EXPECT_EQ(GlobalReAlloc(movable, 1 << 20, 0), nullptr);
    GlobalUnlock(movable);
    EXPECT_EQ(GlobalReAlloc(movable, 1 << 20, 0), movable);
    GlobalFree(movable);
}

TEST(KernelMemory, ResetThrowsEverythingAway) {
    GlobalAlloc(GMEM_MOVEABLE, 32);
    GlobalAddAtomA("Leftover");
    platform::ResetForTesting();
    platform::LiveHandleCounts counts = platform::CountLiveHandles();
    EXPECT_EQ(counts.globalMemory, 0u);
    EXPECT_EQ(counts.atoms, 0u);
    EXPECT_EQ(counts.files, 0u);
}

} // namespace
