// The faces that font requests resolved to, kept between runs: the cache is
// made on the first run, used on the next, rebuilt where a face file has
// changed, and a damaged cache file is ignored without harm. The cache alone
// is tried against stand-in face files; through the platform, what text
// measures shows which face file the cache handed out.

#include "../FaceCache.h"

#include <windows.h>

#include "platform/Testing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using platform::gdi::CachedFace;
using platform::gdi::FaceCache;

class FaceCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        directory_ = fs::temp_directory_path() /
                     ("velbrin-face-cache-" +
                      std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(directory_);
        fs::create_directories(directory_);
        cachePath_ = (directory_ / "cache" / "velbrin" / "faces").string();
    }
    void TearDown() override { fs::remove_all(directory_); }

    // A file standing in for a face file, of `bytes` bytes.
    std::string FaceFile(const std::string& name, std::size_t bytes) {
        const std::string path = (directory_ / name).string();
        std::ofstream(path, std::ios::trunc) << std::string(bytes, 'x');
        return path;
    }
    std::string CacheText() const {
        std::ifstream in(cachePath_);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    fs::path directory_;
    std::string cachePath_;
};

TEST_F(FaceCacheTest, AStoredFaceIsFoundByTheNextRun) {
    const std::string sans = FaceFile("sans.ttf", 100);
    {
        FaceCache cache(cachePath_);
        EXPECT_FALSE(cache.Find("face 417269616c 0 b"));
        cache.Store("face 417269616c 0 b", {sans, 2, true, false, 230, 26});
    }
    ASSERT_TRUE(fs::exists(cachePath_)) << "the cache's directories are made";
    FaceCache next(cachePath_);
    const std::optional<CachedFace> found = next.Find("face 417269616c 0 b");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->file, sans);
    EXPECT_EQ(found->index, 2);
    EXPECT_TRUE(found->emboldened);
    EXPECT_FALSE(found->slanted);
    EXPECT_EQ(found->cellAscent, 230);
    EXPECT_EQ(found->cellDescent, 26);
    EXPECT_FALSE(next.Find("face 417269616c 0 "));
}

TEST_F(FaceCacheTest, AFaceFileThatChangedOrWentIsNoLongerHandedOut) {
    const std::string sans = FaceFile("sans.ttf", 100);
    const std::string gothic = FaceFile("gothic.ttf", 300);
    {
        FaceCache cache(cachePath_);
        cache.Store("a", {sans});
        cache.Store("b", {gothic});
    }
    FaceFile("sans.ttf", 101);
    fs::remove(gothic);
    FaceCache next(cachePath_);
    EXPECT_FALSE(next.Find("a"));
    EXPECT_FALSE(next.Find("b"));
    // Resolved again, the new file is kept.
    next.Store("a", {sans});
    EXPECT_TRUE(FaceCache(cachePath_).Find("a"));
}

TEST_F(FaceCacheTest, ADamagedCacheIsIgnoredAndRewritten) {
    const std::string sans = FaceFile("sans.ttf", 100);
    {
        FaceCache cache(cachePath_);
        cache.Store("face 41 0 ", {sans, 0, false, true});
        cache.Store("fallback ", {sans});
    }
    const std::string good = CacheText();
    // Cut short at every length, and every byte changed in turn: never a
    // crash, and never a face other than the one stored.
    for (std::size_t length = 0; length < good.size(); ++length) {
        std::ofstream(cachePath_, std::ios::trunc) << good.substr(0, length);
        FaceCache cache(cachePath_);
        const std::optional<CachedFace> found = cache.Find("face 41 0 ");
        if (found) {
            EXPECT_EQ(found->file, sans);
            EXPECT_TRUE(found->slanted);
        }
    }
    for (std::size_t at = 0; at < good.size(); ++at) {
        std::string damaged = good;
        damaged[at] = static_cast<char>(damaged[at] ^ 0x5A);
        std::ofstream(cachePath_, std::ios::trunc) << damaged;
        FaceCache cache(cachePath_);
        for (const char* request : {"face 41 0 ", "fallback "}) {
            if (const std::optional<CachedFace> found = cache.Find(request)) {
                EXPECT_EQ(found->file, sans) << "byte " << at;
            }
        }
    }
    std::ofstream(cachePath_, std::ios::trunc) << "\x7f"
                                                  "ELF\x01\x02 not a cache at all\n\t\t\t";
    FaceCache cache(cachePath_);
    EXPECT_FALSE(cache.Find("face 41 0 "));
    cache.Store("face 41 0 ", {sans});
    EXPECT_TRUE(FaceCache(cachePath_).Find("face 41 0 "));
}

TEST_F(FaceCacheTest, ARequestThatWouldBreakTheFileIsNotKept) {
    const std::string sans = FaceFile("sans.ttf", 100);
    FaceCache cache(cachePath_);
    cache.Store("two\nlines", {sans});
    cache.Store("a\ttab", {sans});
    cache.Store("plain", {sans});
    FaceCache next(cachePath_);
    EXPECT_FALSE(next.Find("two\nlines"));
    EXPECT_FALSE(next.Find("a\ttab"));
    EXPECT_TRUE(next.Find("plain"));
}

// Through the platform: the cache lives under XDG_CACHE_HOME.
class FaceCacheOfText : public FaceCacheTest {
protected:
    void SetUp() override {
        FaceCacheTest::SetUp();
        const char* old = std::getenv("XDG_CACHE_HOME");
        oldCacheHome_ = old ? std::optional<std::string>(old) : std::nullopt;
        setenv("XDG_CACHE_HOME", (directory_ / "cache").c_str(), 1);
    }
    void TearDown() override {
        platform::ResetForTesting();
        if (oldCacheHome_) {
            setenv("XDG_CACHE_HOME", oldCacheHome_->c_str(), 1);
        } else {
            unsetenv("XDG_CACHE_HOME");
        }
        FaceCacheTest::TearDown();
    }

    // The width of "WWWiii" in 20-pixel Arial, on a fresh platform that
    // reads the cache anew.
    static LONG ArialWidth() {
        platform::ResetForTesting();
        HDC dc = platform::CreateMemorySurfaceDC(10, 10);
        LOGFONTA logFont{};
        logFont.lfHeight = -20;
        std::strcpy(logFont.lfFaceName, "Arial");
        HFONT font = CreateFontIndirectA(&logFont);
        HGDIOBJ old = SelectObject(dc, font);
        SIZE size{};
        GetTextExtentPoint32A(dc, "WWWiii", 6, &size);
        SelectObject(dc, old);
        DeleteObject(font);
        DeleteDC(dc);
        return size.cx;
    }

    // The cache's lines, each split at its tabs.
    std::vector<std::vector<std::string>> Entries() const {
        std::vector<std::vector<std::string>> entries;
        std::istringstream text(CacheText());
        std::string line;
        std::getline(text, line);
        while (std::getline(text, line)) {
            std::vector<std::string> fields;
            std::istringstream parts(line);
            for (std::string field; std::getline(parts, field, '\t');) {
                fields.push_back(field);
            }
            entries.push_back(fields);
        }
        return entries;
    }
    void WriteEntries(const std::vector<std::vector<std::string>>& entries) {
        std::ostringstream text;
        text << CacheText().substr(0, CacheText().find('\n') + 1);
        for (const auto& fields : entries) {
            for (std::size_t i = 0; i < fields.size(); ++i) {
                text << fields[i] << (i + 1 < fields.size() ? '\t' : '\n');
            }
        }
        std::ofstream(cachePath_, std::ios::trunc) << text.str();
    }

    std::optional<std::string> oldCacheHome_;
};

TEST_F(FaceCacheOfText, TheFirstRunMakesTheCacheAndTheNextUsesIt) {
    const LONG resolved = ArialWidth();
    ASSERT_GT(resolved, 0);
    auto entries = Entries();
    // "Arial" (41 72 69 61 6c), default charset, regular; and the fallback.
    auto arial = std::find_if(entries.begin(), entries.end(),
                              [](const auto& e) { return e[0] == "face 417269616c 0 "; });
    auto fallback = std::find_if(entries.begin(), entries.end(),
                                 [](const auto& e) { return e[0] == "fallback "; });
    ASSERT_NE(arial, entries.end());
    ASSERT_NE(fallback, entries.end());
    ASSERT_GE(arial->size(), 9u);
    EXPECT_TRUE(fs::exists((*arial)[1]));
    EXPECT_EQ(ArialWidth(), resolved) << "the cached face is the one fontconfig gave";

    // The cache, not fontconfig, decides on the next run: handed the
    // Japanese fallback's file for Arial, the text measures otherwise.
    ASSERT_NE((*arial)[1], (*fallback)[1]);
    std::vector<std::string> swapped = *fallback;
    swapped[0] = (*arial)[0];
    *arial = swapped;
    WriteEntries(entries);
    EXPECT_NE(ArialWidth(), resolved);
}

TEST_F(FaceCacheOfText, AStaleEntryIsResolvedAgainAndRewritten) {
    const LONG resolved = ArialWidth();
    auto entries = Entries();
    auto arial = std::find_if(entries.begin(), entries.end(),
                              [](const auto& e) { return e[0] == "face 417269616c 0 "; });
    auto fallback = std::find_if(entries.begin(), entries.end(),
                                 [](const auto& e) { return e[0] == "fallback "; });
    ASSERT_NE(arial, entries.end());
    ASSERT_NE(fallback, entries.end());
    const std::string arialFile = (*arial)[1];
    // The other file, but with a size it no longer has: stale.
    (*arial)[1] = (*fallback)[1];
    (*arial)[6] = "1";
    WriteEntries(entries);
    EXPECT_EQ(ArialWidth(), resolved);
    entries = Entries();
    arial = std::find_if(entries.begin(), entries.end(),
                         [](const auto& e) { return e[0] == "face 417269616c 0 "; });
    ASSERT_NE(arial, entries.end());
    EXPECT_EQ((*arial)[1], arialFile);
}

TEST_F(FaceCacheOfText, ACorruptCacheChangesNothingThatIsDrawn) {
    const LONG resolved = ArialWidth();
    std::ofstream(cachePath_, std::ios::trunc) << "velbrin face cache 1\nface 417269616c 0 \t"
                                               << "/nonexistent/font.ttf\t-5\t9\tx\n\x01\x02\x03";
    EXPECT_EQ(ArialWidth(), resolved);
}

} // namespace
