#include "TablatureText.h"

#include "Tablature.h"

#include <algorithm>

namespace velbrin::chart {

namespace {

std::string PaddedTo(std::string text, std::size_t width) {
    text.resize(std::max(text.size(), width), ' ');
    return text;
}

std::string WithoutTrailingBlanks(std::string line) {
    line.erase(line.find_last_not_of(' ') + 1);
    return line;
}

} // namespace

std::string PlacesAsText(const Harp& harp, const std::vector<HoleNote>& ways) {
    std::string text;
    for (const HoleNote& way : ways) {
        text += PaddedTo(harp.NameWithOctaveOf(way), 5) + PaddedTo(TabOf(way), 6) +
                DescriptionOf(way) + "\n";
    }
    return text;
}

std::string RangeText(const Harp& harp) {
    const auto [lowest, highest] = RangeOf(harp);
    return "it plays " + harp.NameOfPitch(lowest) + " to " + harp.NameOfPitch(highest);
}

TablatureText MelodyAsTablature(const Harp& harp, const std::vector<int>& pitches) {
    const std::vector<std::optional<HoleNote>> tab = Tablature(harp, pitches);
    TablatureText result;
    std::string noteLine = "notes:";
    std::string tabLine = "tab:  ";
    for (std::size_t i = 0; i < tab.size(); ++i) {
        const std::string name = harp.NameOfPitch(pitches[i]);
        const std::string way = tab[i] ? TabOf(*tab[i]) : "?";
        if (!tab[i]) {
            result.unplayable.push_back(name);
        }
        const std::size_t width = std::max(name.size(), way.size());
        // Appended piece by piece: GCC 12 at -O2 takes " " + text for an
        // overlapping copy (-Wrestrict) and fails the optimised build.
        noteLine += ' ';
        noteLine += PaddedTo(name, width);
        tabLine += ' ';
        tabLine += PaddedTo(way, width);
    }
    result.text = WithoutTrailingBlanks(noteLine) + "\n" + WithoutTrailingBlanks(tabLine) + "\n";
    return result;
}

} // namespace velbrin::chart
