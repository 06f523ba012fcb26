#pragma once
// The font files that face requests resolved to, kept between runs in a
// small file under the user's cache directory, so that an ordinary start
// opens its fonts without asking fontconfig (whose configuration takes
// longer to read than the whole first frame takes to draw). Each entry
// remembers its file's size and modification time; an entry whose file has
// changed or gone is not used, and the request goes to fontconfig again.
// A file that cannot be read as a cache counts as empty.

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace platform::gdi {

// A face file and how to use it: the face in it, the style to synthesize,
// and the cell of the Windows face it stands for (0: its own).
struct CachedFace {
    std::string file;
    int index = 0;
    bool emboldened = false;
    bool slanted = false;
    int cellAscent = 0;
    int cellDescent = 0;
};

class FaceCache {
public:
    // The cache at `path`; an empty path keeps nothing between runs.
    explicit FaceCache(std::string path);

    // $XDG_CACHE_HOME/velbrin/faces, else ~/.cache/velbrin/faces; empty
    // when neither directory is known.
    static std::string DefaultPath();

    // The face stored for `request` while its file is unchanged; the file
    // is read on the first question.
    std::optional<CachedFace> Find(const std::string& request);
    // Keeps a face resolved for `request` and writes the cache (to a new
    // file that then replaces the old one, so a reader never sees half).
    void Store(const std::string& request, const CachedFace& face);

private:
    struct Entry {
        CachedFace face;
        std::uint64_t size = 0;
        std::int64_t modified = 0;
    };
    void Load();
    void Save() const;
    // The size and modification time of a file; nullopt when it is gone.
    static std::optional<std::pair<std::uint64_t, std::int64_t>> Stamp(const std::string& file);

    std::string path_;
    bool loaded_ = false;
    std::map<std::string, Entry> entries_;
};

} // namespace platform::gdi
