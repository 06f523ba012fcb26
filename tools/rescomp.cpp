// The resource compiler: turns the project's resource sources into one C++
// source that holds them as the executable's embedded resources, or (with
// --rc) into a resource script for Windows' resource compiler.
//
//   rescomp [--rc] -o OUT [--strings TABLE.txt] [--resource TYPE NAME FILE]...
//
// A string table is UTF-8 text, one message a line: its number, a tab and the
// text, with \n for a line break, \t for a tab and \\ for a backslash; lines
// starting with # are comments. Texts are stored in code page 932; a text that
// does not survive the conversion both ways stops the build.

#include <unicode/ucnv.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Resource {
    unsigned typeId = 0;
    std::string typeName;
    unsigned nameId = 0;
    std::string name;
    std::string data;
};

struct BuildError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw BuildError(path + ": cannot open");
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// A character with no mapping is substituted; the round trip below sees it.
std::string Convert(const char* from, const char* to, const std::string& text, bool& ok) {
    UErrorCode status = U_ZERO_ERROR;
    std::string out(text.size() * 4 + 4, '\0');
    int32_t length = ucnv_convert(to, from, out.data(), static_cast<int32_t>(out.size()),
                                  text.data(), static_cast<int32_t>(text.size()), &status);
    ok = U_SUCCESS(status);
    out.resize(ok ? static_cast<std::size_t>(length) : 0);
    return out;
}

constexpr const char* kCodePage932 = "ibm-943_P15A-2003";

std::string ToCodePage932(const std::string& utf8, const std::string& where) {
    bool there = false;
    std::string converted = Convert("UTF-8", kCodePage932, utf8, there);
    bool back = false;
    std::string roundTrip = Convert(kCodePage932, "UTF-8", converted, back);
    if (!there || !back || roundTrip != utf8) {
        throw BuildError(where + ": the text does not round-trip through code page 932");
    }
    return converted;
}

std::string Unescape(const std::string& text, const std::string& where) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size()) {
            throw BuildError(where + ": a backslash ends the line");
        }
        switch (text[i]) {
        case 'n':
            out += '\n';
            break;
        case 't':
            out += '\t';
            break;
        case '\\':
            out += '\\';
            break;
        default:
            throw BuildError(where + ": unknown escape \\" + std::string(1, text[i]));
        }
    }
    return out;
}

unsigned ParseNumber(const std::string& text, unsigned limit, const std::string& where) {
    if (text.empty() ||
        !std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); })) {
        throw BuildError(where + ": \"" + text + "\" is not a number");
    }
    unsigned long value = std::stoul(text);
    if (value > limit) {
        throw BuildError(where + ": " + text + " is out of range");
    }
    return static_cast<unsigned>(value);
}

std::map<unsigned, std::string> ReadStringTable(const std::string& path) {
    std::istringstream lines(ReadFile(path));
    std::map<unsigned, std::string> table;
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        std::string where = path + ":" + std::to_string(number);
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::size_t tab = line.find('\t');
        if (tab == std::string::npos) {
            throw BuildError(where + ": expected a number, a tab and the text");
        }
        unsigned id = ParseNumber(line.substr(0, tab), 0xFFFF, where);
        std::string text = ToCodePage932(Unescape(line.substr(tab + 1), where), where);
        if (text.empty() || text.size() > 1023) {
            throw BuildError(where + ": a message holds 1 to 1023 bytes");
        }
        if (!table.emplace(id, text).second) {
            throw BuildError(where + ": message " + std::to_string(id) + " appears twice");
        }
    }
    return table;
}

// Strings go in blocks of sixteen, as Windows keeps them: block n + 1 holds
// the messages 16n to 16n + 15, each a 16-bit length and its bytes.
std::vector<Resource> StringBlocks(const std::map<unsigned, std::string>& table) {
    std::map<unsigned, std::vector<const std::string*>> blocks;
    for (const auto& [id, text] : table) {
        auto& block = blocks[id >> 4];
        block.resize(16, nullptr);
        block[id & 15] = &text;
    }
    std::vector<Resource> resources;
    for (const auto& [index, entries] : blocks) {
        Resource block;
        block.typeId = 6;
        block.nameId = index + 1;
        for (const std::string* text : entries) {
            std::size_t length = text ? text->size() : 0;
            block.data += static_cast<char>(length & 0xFF);
            block.data += static_cast<char>(length >> 8);
            if (text) {
                block.data += *text;
            }
        }
        resources.push_back(std::move(block));
    }
    return resources;
}

const std::map<std::string, unsigned>& TypeNames() {
    static const std::map<std::string, unsigned> names = {
        {"CURSOR", 1},  {"BITMAP", 2},        {"ICON", 3},       {"STRING", 6},
        {"RCDATA", 10}, {"GROUP_CURSOR", 12}, {"GROUP_ICON", 14}};
    return names;
}

std::string Upper(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

bool IsNumber(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

Resource FileResource(const std::string& type, const std::string& name, const std::string& path) {
    Resource resource;
    std::string upperType = Upper(type);
    auto known = TypeNames().find(upperType);
    if (known != TypeNames().end()) {
        resource.typeId = known->second;
    } else if (IsNumber(type)) {
        resource.typeId = ParseNumber(type, 0xFFFF, "resource type");
    } else {
        resource.typeName = upperType;
    }
    if (IsNumber(name)) {
        resource.nameId = ParseNumber(name, 0xFFFF, "resource name");
    } else {
        resource.name = Upper(name);
    }
    resource.data = ReadFile(path);
    return resource;
}

std::string Quoted(const std::string& text) {
    return text.empty() ? "nullptr" : "\"" + text + "\"";
}

void WriteSource(const std::vector<Resource>& resources, std::ostream& out) {
    out << "// Generated by rescomp. Do not edit.\n"
           "#include \"platform/EmbeddedResources.h\"\n\nnamespace {\n";
    for (std::size_t i = 0; i < resources.size(); ++i) {
        out << "const unsigned char kData" << i << "[] = {";
        const std::string& data = resources[i].data;
        for (std::size_t j = 0; j < data.size(); ++j) {
            out << (j % 16 == 0 ? "\n    " : " ")
                << static_cast<unsigned>(static_cast<unsigned char>(data[j])) << ",";
        }
        // An empty resource still needs an array of its own.
        out << (data.empty() ? "0" : "") << "\n};\n";
    }
    out << "const EmbeddedResource kEntries[] = {\n";
    for (std::size_t i = 0; i < resources.size(); ++i) {
        const Resource& r = resources[i];
        out << "    {" << r.typeId << ", " << Quoted(r.typeName) << ", " << r.nameId << ", "
            << Quoted(r.name) << ", kData" << i << ", " << r.data.size() << "},\n";
    }
    out << "};\n} // namespace\n\n"
           "const EmbeddedResourceTable velbrinEmbeddedResources = {kEntries, "
        << resources.size() << "};\n";
}

// A resource script holds the string table as text that the resource
// compiler stores as UTF-16. Every character outside printable ASCII is
// written as a four-digit escape, so the script reads the same in any code
// page and each message loads back as exactly its code page 932 bytes.
std::string ScriptString(const std::string& codePage932) {
    bool ok = false;
    std::string utf16 = Convert(kCodePage932, "UTF-16LE", codePage932, ok);
    if (!ok) {
        throw BuildError("a message does not convert to UTF-16");
    }
    std::string out = "L\"";
    char escape[8];
    for (std::size_t i = 0; i + 1 < utf16.size(); i += 2) {
        unsigned unit = static_cast<unsigned char>(utf16[i]) |
                        static_cast<unsigned>(static_cast<unsigned char>(utf16[i + 1])) << 8;
        if (unit == '"') {
            out += "\"\"";
        } else if (unit == '\\') {
            out += "\\\\";
        } else if (unit >= 0x20 && unit < 0x7F) {
            out += static_cast<char>(unit);
        } else {
            std::snprintf(escape, sizeof escape, "\\x%04x", unit);
            out += escape;
        }
    }
    return out + "\"";
}

std::string ScriptPath(const std::string& path) {
    if (path.find('"') != std::string::npos) {
        throw BuildError(path + ": a resource script cannot name this file");
    }
    return "\"" + path + "\"";
}

// Resources from files go in as their bytes, under their numeric type, so
// that the executable holds exactly what the embedded table holds: the icon
// and cursor groups keep the image numbers they name.
void WriteScript(const std::map<unsigned, std::string>& strings,
                 const std::vector<std::pair<Resource, std::string>>& files, std::ostream& out) {
    out << "// Generated by rescomp. Do not edit.\n"
           "LANGUAGE 0x11, 0x01\n";
    if (!strings.empty()) {
        out << "STRINGTABLE\nBEGIN\n";
        for (const auto& [id, text] : strings) {
            out << "    " << id << ", " << ScriptString(text) << "\n";
        }
        out << "END\n";
    }
    for (const auto& [resource, path] : files) {
        out << (resource.name.empty() ? std::to_string(resource.nameId) : resource.name) << " "
            << (resource.typeName.empty() ? std::to_string(resource.typeId) : resource.typeName)
            << " " << ScriptPath(path) << "\n";
    }
}

int Usage() {
    std::cerr << "usage: rescomp [--rc] -o OUT [--strings TABLE.txt] "
                 "[--resource TYPE NAME FILE]...\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string output;
    bool script = false;
    std::map<unsigned, std::string> strings;
    std::vector<std::pair<Resource, std::string>> files;
    try {
        for (std::size_t i = 0; i < args.size(); ++i) {
            if (args[i] == "-o" && i + 1 < args.size()) {
                output = args[++i];
            } else if (args[i] == "--rc") {
                script = true;
            } else if (args[i] == "--strings" && i + 1 < args.size()) {
                for (auto& [id, text] : ReadStringTable(args[++i])) {
                    if (!strings.emplace(id, std::move(text)).second) {
                        throw BuildError("message " + std::to_string(id) + " appears twice");
                    }
                }
            } else if (args[i] == "--resource" && i + 3 < args.size()) {
                files.emplace_back(FileResource(args[i + 1], args[i + 2], args[i + 3]),
                                   args[i + 3]);
                i += 3;
            } else {
                return Usage();
            }
        }
        if (output.empty()) {
            return Usage();
        }
        std::ostringstream text;
        if (script) {
            WriteScript(strings, files, text);
        } else {
            std::vector<Resource> resources = StringBlocks(strings);
            for (const auto& file : files) {
                resources.push_back(file.first);
            }
            WriteSource(resources, text);
        }
        std::ofstream out(output, std::ios::binary);
        if (!(out << text.str())) {
            throw BuildError(output + ": cannot write");
        }
    } catch (const std::exception& error) {
        std::cerr << "rescomp: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
