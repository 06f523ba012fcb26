#include "FaceCache.h"

#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

namespace platform::gdi {

namespace {

// The first line of a cache file; another first line means another format.
constexpr const char* kHeader = "velbrin face cache 1";

// The entry's fields are separated by tabs, one entry a line; a request or
// file name with either in it is not kept.
bool Storable(const std::string& text) {
    return text.find_first_of("\t\n") == std::string::npos;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos) {
            return fields;
        }
        start = tab + 1;
    }
}

template <class Number> std::optional<Number> Parse(const std::string& text) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

bool MakeDirectories(const std::string& path) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        mkdir(path.substr(0, slash).c_str(), 0700);
    }
    struct stat info {};
    return stat(path.substr(0, path.rfind('/')).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

FaceCache::FaceCache(std::string path) : path_(std::move(path)) {}

std::string FaceCache::DefaultPath() {
    const char* cacheHome = std::getenv("XDG_CACHE_HOME");
    if (cacheHome != nullptr && cacheHome[0] == '/') {
        return std::string(cacheHome) + "/velbrin/faces";
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return std::string(home) + "/.cache/velbrin/faces";
    }
    return {};
}

std::optional<std::pair<std::uint64_t, std::int64_t>> FaceCache::Stamp(const std::string& file) {
    struct stat info {};
    if (stat(file.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return std::make_pair(static_cast<std::uint64_t>(info.st_size),
                          static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 +
                              info.st_mtim.tv_nsec);
}

std::optional<CachedFace> FaceCache::Find(const std::string& request) {
    Load();
    auto found = entries_.find(request);
    if (found == entries_.end()) {
        return std::nullopt;
    }
    const auto stamp = Stamp(found->second.face.file);
    if (!stamp || stamp->first != found->second.size || stamp->second != found->second.modified) {
        entries_.erase(found);
        return std::nullopt;
    }
    return found->second.face;
}

void FaceCache::Store(const std::string& request, const CachedFace& face) {
    const auto stamp = Stamp(face.file);
    if (!stamp || !Storable(request) || !Storable(face.file)) {
        return;
    }
    Load();
    entries_[request] = {face, stamp->first, stamp->second};
    Save();
}

void FaceCache::Load() {
    if (loaded_) {
        return;
    }
    loaded_ = true;
    std::ifstream in(path_);
    std::string line;
    if (path_.empty() || !std::getline(in, line) || line != kHeader) {
        return;
    }
    while (std::getline(in, line)) {
        const std::vector<std::string> fields = Fields(line);
        if (fields.size() != 9 || fields[8] != "." || fields[1].empty() || fields[1][0] != '/') {
            continue;
        }
        const auto index = Parse<int>(fields[2]);
        const auto style = Parse<int>(fields[3]);
        const auto ascent = Parse<int>(fields[4]);
        const auto descent = Parse<int>(fields[5]);
        const auto size = Parse<std::uint64_t>(fields[6]);
        const auto modified = Parse<std::int64_t>(fields[7]);
        if (!index || !style || *style < 0 || *style > 3 || !ascent || !descent || !size ||
            !modified) {
            continue;
        }
        const CachedFace face{fields[1],         *index,  (*style & 1) != 0,
                              (*style & 2) != 0, *ascent, *descent};
        entries_[fields[0]] = {face, *size, *modified};
    }
}

void FaceCache::Save() const {
    if (path_.empty() || !MakeDirectories(path_)) {
        return;
    }
    std::ostringstream text;
    text << kHeader << '\n';
    for (const auto& [request, entry] : entries_) {
        const int style = (entry.face.emboldened ? 1 : 0) | (entry.face.slanted ? 2 : 0);
        text << request << '\t' << entry.face.file << '\t' << entry.face.index << '\t' << style
             << '\t' << entry.face.cellAscent << '\t' << entry.face.cellDescent << '\t'
             << entry.size << '\t' << entry.modified << "\t.\n";
    }
    const std::string temporary = path_ + "." + std::to_string(getpid());
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << text.str();
        if (!out.flush()) {
            out.close();
            std::remove(temporary.c_str());
            return;
        }
    }
    if (std::rename(temporary.c_str(), path_.c_str()) != 0) {
        std::remove(temporary.c_str());
    }
}

} // namespace platform::gdi
