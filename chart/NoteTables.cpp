#include "NoteTables.h"

namespace velbrin::chart {

const std::array<const char*, kKeyCount> KeyNames = {"G",  "A-", "A",  "B-", "B", "C",
                                                     "D-", "D",  "E-", "E",  "F", "F+"};
const std::array<int, kKeyCount> UsesFlats = {0, 1, 0, 1, 0, 0, 1, 0, 1, 0, 1, 0};
const std::array<const char*, 12> SharpNames = {"C",  "C+", "D",  "D+", "E",  "F",
                                                "F+", "G",  "G+", "A",  "A+", "B"};
const std::array<const char*, 12> FlatNames = {"C",  "D-", "D",  "E-", "E",  "F",
                                               "G-", "G",  "A-", "A",  "B-", "B"};
const std::array<int, kHoleCount> BlowSemitones = {0, 4, 7, 12, 16, 19, 24, 28, 31, 36};
const std::array<int, kHoleCount> DrawSemitones = {2, 7, 11, 14, 17, 21, 23, 26, 29, 33};
const std::array<int, kHoleCount> BendCounts = {1, 2, 3, 1, 0, 1, 0, 1, 1, 2};
const std::array<int, kHoleCount> OverOffsets = {3, 4, 5, 3, 2, 3, 2, 3, 3, 4};

} // namespace velbrin::chart
