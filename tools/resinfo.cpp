// resinfo: looks into the resources embedded in the program.
//
//   resinfo list               every resource: type, name or number, size
//   resinfo strings            every message: number, a tab, the text in UTF-8
//   resinfo dump TYPE NAME     one resource's raw bytes to standard output
//   resinfo form NAME          an RCDATA form resource in the form notation
//   resinfo form --file PATH   the same for a form resource in a file

#include "platform/EmbeddedResources.h"
#include "runtime/Exceptions.h"
#include "runtime/Text.h"
#include "tools/FormText.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::map<unsigned, std::string>& TypeNames() {
    static const std::map<unsigned, std::string> names = {
        {1, "CURSOR"},  {2, "BITMAP"},        {3, "ICON"},       {6, "STRING"},
        {10, "RCDATA"}, {12, "GROUP_CURSOR"}, {14, "GROUP_ICON"}};
    return names;
}

std::string TypeOf(const EmbeddedResource& entry) {
    if (entry.typeName) {
        return entry.typeName;
    }
    auto known = TypeNames().find(entry.typeId);
    return known != TypeNames().end() ? known->second : std::to_string(entry.typeId);
}

std::string NameOf(const EmbeddedResource& entry) {
    return entry.name ? entry.name : std::to_string(entry.nameId);
}

int List() {
    for (std::size_t i = 0; i < velbrinEmbeddedResources.count; ++i) {
        const EmbeddedResource& entry = velbrinEmbeddedResources.entries[i];
        std::printf("%-12s %-16s %8u\n", TypeOf(entry).c_str(), NameOf(entry).c_str(),
                    static_cast<unsigned>(entry.size));
    }
    return 0;
}

std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\\') {
            out += "\\\\";
        } else {
            out += c;
        }
    }
    return out;
}

int Strings() {
    std::vector<unsigned> blocks;
    for (std::size_t i = 0; i < velbrinEmbeddedResources.count; ++i) {
        const EmbeddedResource& entry = velbrinEmbeddedResources.entries[i];
        if (entry.typeId == 6 && entry.name == nullptr && entry.nameId > 0) {
            blocks.push_back(entry.nameId);
        }
    }
    std::sort(blocks.begin(), blocks.end());
    for (unsigned block : blocks) {
        for (unsigned id = (block - 1) * 16; id < block * 16; ++id) {
            char buffer[1024];
            int length = LoadStringA(nullptr, id, buffer, sizeof buffer);
            if (length > 0) {
                std::string text(buffer, static_cast<std::size_t>(length));
                std::cout << id << '\t' << Escaped(velbrin::AnsiToUtf8(text)) << '\n';
            }
        }
    }
    return 0;
}

// A symbolic type ("RCDATA"), a number ("10") or a name of the program's own.
std::string ResourceKey(const std::string& text, bool isType) {
    if (isType) {
        for (const auto& [id, name] : TypeNames()) {
            if (name == text) {
                return "#" + std::to_string(id);
            }
        }
    }
    bool number = !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
    return number ? "#" + text : text;
}

int Dump(const std::string& type, const std::string& name) {
    std::string typeKey = ResourceKey(type, true);
    std::string nameKey = ResourceKey(name, false);
    HRSRC resource = FindResourceA(nullptr, nameKey.c_str(), typeKey.c_str());
    const void* data = resource ? LockResource(LoadResource(nullptr, resource)) : nullptr;
    if (data == nullptr) {
        std::cerr << "resinfo: no resource " << type << " " << name << "\n";
        return 1;
    }
    DWORD size = SizeofResource(nullptr, resource);
    std::cout.write(static_cast<const char*>(data), size);
    return std::cout.flush() ? 0 : 1;
}

// Prints the form resource in the notation formc compiles; a malformed one
// gets the reader's error.
int PrintForm(const std::string& resource) {
    try {
        std::cout << velbrin::formtext::Decode(resource);
    } catch (const velbrin::Exception& error) {
        std::cerr << "resinfo: " << velbrin::AnsiToUtf8(error.Message()) << "\n";
        return 1;
    }
    return std::cout.flush() ? 0 : 1;
}

int Form(const std::string& name) {
    HRSRC resource = FindResourceA(nullptr, ResourceKey(name, false).c_str(), RT_RCDATA);
    const void* data = resource ? LockResource(LoadResource(nullptr, resource)) : nullptr;
    if (data == nullptr) {
        std::cerr << "resinfo: no form resource " << name << "\n";
        return 1;
    }
    return PrintForm(
        std::string(static_cast<const char*>(data), SizeofResource(nullptr, resource)));
}

int FormFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::cerr << "resinfo: " << path << ": cannot open\n";
        return 1;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return PrintForm(bytes.str());
}

int Usage() {
    std::cerr << "usage: resinfo list\n"
                 "       resinfo strings\n"
                 "       resinfo dump TYPE NAME\n"
                 "       resinfo form NAME\n"
                 "       resinfo form --file PATH\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && args[0] == "list") {
        return List();
    }
    if (args.size() == 1 && args[0] == "strings") {
        return Strings();
    }
    if (args.size() == 3 && args[0] == "dump") {
        return Dump(args[1], args[2]);
    }
    if (args.size() == 2 && args[0] == "form") {
        return Form(args[1]);
    }
    if (args.size() == 3 && args[0] == "form" && args[1] == "--file") {
        return FormFile(args[2]);
    }
    return Usage();
}
