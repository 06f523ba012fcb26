// formc: the form compiler. Turns a form written in the project's text
// notation (see FormText.h) into a binary form resource.
//
//   formc SOURCE -o OUTPUT

#include "runtime/Exceptions.h"
#include "runtime/Text.h"
#include "tools/FormText.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

int Usage() {
    std::cerr << "usage: formc SOURCE -o OUTPUT\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() != 3 || args[1] != "-o") {
        return Usage();
    }
    const std::string& sourcePath = args[0];
    const std::string& outputPath = args[2];
    std::ifstream in(sourcePath, std::ios::binary);
    if (!in) {
        std::cerr << "formc: " << sourcePath << ": cannot open\n";
        return 1;
    }
    std::ostringstream source;
    source << in.rdbuf();
    std::string resource;
    try {
        resource = velbrin::formtext::Compile(source.str());
    } catch (const velbrin::formtext::SyntaxError& error) {
        std::cerr << "formc: " << sourcePath << ":" << error.what() << "\n";
        return 1;
    } catch (const velbrin::Exception& error) {
        std::cerr << "formc: " << sourcePath << ": " << velbrin::AnsiToUtf8(error.Message())
                  << "\n";
        return 1;
    }
    std::ofstream out(outputPath, std::ios::binary | std::ios::trunc);
    out.write(resource.data(), static_cast<std::streamsize>(resource.size()));
    out.close();
    if (!out) {
        std::cerr << "formc: " << outputPath << ": cannot write\n";
        std::remove(outputPath.c_str());
        return 1;
    }
    return 0;
}
