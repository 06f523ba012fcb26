#include "TestSupport.h"

#include <cstdlib>
#include <stdexcept>

namespace velbrin::testing {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "velbrin-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary directory");
    }
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

} // namespace velbrin::testing
