// notechart: the harmonica chart at a terminal.
//
//   notechart KEY          the chart for KEY as a table
//   notechart --tsv [KEY]  the chart as tab-separated lines (without KEY, as it
//                          stands before a key is chosen)

#include "ChartText.h"
#include "NoteTables.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

using namespace velbrin::chart;

namespace {

std::string ValidKeys() {
    std::string keys;
    for (const char* name : KeyNames) {
        keys += keys.empty() ? "" : ", ";
        keys += name;
    }
    return keys;
}

void PrintUsage(std::ostream& out) {
    out << "usage: notechart KEY\n"
           "       notechart --tsv [KEY]\n"
           "Prints the notes of a ten-hole Richter harmonica, hole by hole.\n"
           "KEY is a key name ("
        << ValidKeys()
        << "; letter case ignored) or its index 0 to 11.\n"
           "--tsv prints twelve tab-separated lines instead of a table; without KEY,\n"
           "the chart as it stands before a key is chosen.\n";
}

// A key name or a plain index 0 to 11.
std::optional<int> ParseKey(const std::string& text) {
    int key = FindKey(text);
    if (key >= 0) {
        return key;
    }
    if (text.size() <= 2 && !text.empty() &&
        text.find_first_not_of("0123456789") == std::string::npos) {
        int index = std::stoi(text);
        if (index < kKeyCount) {
            return index;
        }
    }
    return std::nullopt;
}

int Refuse(const std::string& why) {
    std::cerr << "notechart: " << why << "\nValid keys: " << ValidKeys()
              << " (or 0 to 11). Try notechart --help.\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    bool tsv = false;
    std::optional<std::string> keyText;
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            PrintUsage(std::cout);
            return 0;
        }
        if (arg == "--tsv") {
            tsv = true;
        } else if (arg.size() > 1 && arg[0] == '-' && !ParseKey(arg)) {
            return Refuse("unknown option \"" + arg + "\"");
        } else if (keyText) {
            return Refuse("only one key, please");
        } else {
            keyText = arg;
        }
    }
    if (!keyText && !tsv) {
        return Refuse("which key?");
    }
    std::optional<int> key;
    if (keyText) {
        key = ParseKey(*keyText);
        if (!key) {
            return Refuse("unknown key \"" + *keyText + "\"");
        }
    }

    ChartTable chart;
    WriteFixedLabels(chart.Writer());
    if (key) {
        FillChart(*key, chart.Writer());
    }
    if (tsv) {
        std::cout << ChartAsTsv(chart);
    } else {
        std::cout << ChartAsTable(chart, std::string("Richter harmonica in ") + KeyNames[*key]);
    }
    return std::cout.flush() ? 0 : 1;
}
