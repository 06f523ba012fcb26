#include "ScalePosition.h"

#include "LooseName.h"
#include "NoteChart.h"

#include <algorithm>

namespace velbrin::chart {

namespace {

constexpr int kFifth = 7;

} // namespace

const std::vector<Scale>& Scales() {
    static const std::vector<Scale> scales = {
        {"major", {{0, "1"}, {2, "2"}, {4, "3"}, {5, "4"}, {7, "5"}, {9, "6"}, {11, "7"}}},
        {"natural minor",
         {{0, "1"}, {2, "2"}, {3, "b3"}, {5, "4"}, {7, "5"}, {8, "b6"}, {10, "b7"}}},
        {"blues", {{0, "1"}, {3, "b3"}, {5, "4"}, {6, "b5"}, {7, "5"}, {10, "b7"}}},
        {"major pentatonic", {{0, "1"}, {2, "2"}, {4, "3"}, {7, "5"}, {9, "6"}}},
        {"minor pentatonic", {{0, "1"}, {3, "b3"}, {5, "4"}, {7, "5"}, {10, "b7"}}},
        {"dorian", {{0, "1"}, {2, "2"}, {3, "b3"}, {5, "4"}, {7, "5"}, {9, "6"}, {10, "b7"}}},
        {"mixolydian", {{0, "1"}, {2, "2"}, {4, "3"}, {5, "4"}, {7, "5"}, {9, "6"}, {10, "b7"}}},
    };
    return scales;
}

const Scale* FindScale(std::string_view name) {
    auto found = std::find_if(Scales().begin(), Scales().end(),
                              [&](const Scale& scale) { return SameLooseName(name, scale.name); });
    return found == Scales().end() ? nullptr : &*found;
}

std::string ScaleNames() {
    std::string names;
    for (const Scale& scale : Scales()) {
        names += names.empty() ? "" : ", ";
        names += scale.name;
    }
    return names;
}

ScalePosition::ScalePosition(int harpKey, int position, const Scale& scale)
    : harpKey_(harpKey), position_(position), scale_(scale) {}

int ScalePosition::Key() const {
    return PitchClass(harpKey_ + kFifth * (position_ - 1));
}

std::optional<std::string> ScalePosition::Degree(int semitone) const {
    const int aboveRoot = PitchClass(semitone - kFifth * (position_ - 1));
    for (const auto& [interval, degree] : scale_.degrees) {
        if (interval == aboveRoot) {
            return degree;
        }
    }
    return std::nullopt;
}

std::string ScalePosition::Marked(const std::string& name, int semitone) const {
    const std::optional<std::string> degree = Degree(semitone);
    return degree ? name + ":" + *degree : name;
}

std::string OrdinalPosition(int position) {
    const char* suffix = position == 1 ? "st" : position == 2 ? "nd" : position == 3 ? "rd" : "th";
    return std::to_string(position) + suffix;
}

} // namespace velbrin::chart
