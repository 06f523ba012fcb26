// The Unicode text module is looked for beside the program (the build tree
// and a relocated install) and then where the install tree keeps it,
// relative to the program's folder, so a moved installation still finds it.

#include "UnicodeModule.h"

#include <platform/Testing.h>

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr const char* kModuleFile = "libvelbrin_unicode.so";

std::optional<std::string>& DirectoryOverride() {
    static std::optional<std::string> directory;
    return directory;
}

std::string ProgramDirectory() {
    std::string path(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) {
        return ".";
    }
    path.resize(static_cast<std::size_t>(length));
    return path.substr(0, path.find_last_of('/'));
}

std::vector<std::string> Candidates() {
    if (DirectoryOverride()) {
        return {*DirectoryOverride() + "/" + kModuleFile};
    }
    const std::string directory = ProgramDirectory();
    return {directory + "/" + kModuleFile,
            directory + "/" + VELBRIN_UNICODE_MODULE_FROM_PROGRAM + "/" + kModuleFile};
}

// Loads the first candidate that opens and offers functions of this version.
const platform::UnicodeFunctions* Load() {
    std::string reasons;
    for (const std::string& path : Candidates()) {
        void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (module == nullptr) {
            reasons += "\n  " + std::string(dlerror());
            continue;
        }
        using Entry = const platform::UnicodeFunctions* (*)();
        auto entry = reinterpret_cast<Entry>(dlsym(module, VELBRIN_UNICODE_ENTRY));
        const platform::UnicodeFunctions* functions = entry ? entry() : nullptr;
        if (functions != nullptr && functions->version == platform::kUnicodeFunctionsVersion) {
            return functions;
        }
        reasons += "\n  " + path + ": not a Unicode text module of this program's version";
        dlclose(module);
    }
    std::fprintf(stderr,
                 "velbrin: the Unicode text module %s could not be loaded, so text beyond "
                 "ASCII can be neither converted nor compared:%s\n",
                 kModuleFile, reasons.c_str());
    return nullptr;
}

} // namespace

const platform::UnicodeFunctions* platform::LoadedUnicodeFunctions() {
    static const UnicodeFunctions* functions = Load();
    return functions;
}

void platform::SetUnicodeModuleDirectoryForTesting(const std::string& directory) {
    DirectoryOverride() = directory;
}
