#pragma once
// Little-endian bytes as Windows keeps them in resources, and writing them to
// a file, for the tools that draw the program's icon and cursors.

#include <cstdint>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace velbrin::tools {

using Bytes = std::vector<std::uint8_t>;

inline void Put16(Bytes& out, unsigned value) {
    out.push_back(value & 0xFF);
    out.push_back((value >> 8) & 0xFF);
}

inline void Put32(Bytes& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// False, with a message naming the tool, when the file cannot be written.
inline bool WriteBytes(const std::string& path, const Bytes& bytes, const char* tool) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    if (!file) {
        std::cerr << tool << ": cannot write " << path << "\n";
        return false;
    }
    return true;
}

} // namespace velbrin::tools
