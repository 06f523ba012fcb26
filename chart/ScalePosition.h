#pragma once
// Playing positions and the scales a player marks in the chart.
//
// Position 1 plays in the harmonica's own key; each further position a fifth
// above the one before (on a C harmonica: C, G, D, A, ...).

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velbrin::chart {

constexpr int kPositionCount = 12;

// A scale as its degrees: semitones above its root and how players name them.
struct Scale {
    std::string name;
    std::vector<std::pair<int, std::string>> degrees;
};

const std::vector<Scale>& Scales();
// The scale of that name, letter case, spaces, hyphens and underscores aside;
// null when there is none.
const Scale* FindScale(std::string_view name);
// "major, natural minor, ...", for messages.
std::string ScaleNames();

// A scale played in a position on a harmonica in a key.
class ScalePosition {
public:
    // `position` 1 to 12; `scale` must outlive this.
    ScalePosition(int harpKey, int position, const Scale& scale);

    int Position() const { return position_; }
    // The key index of the key the position plays in.
    int Key() const;
    const Scale& ScaleOf() const { return scale_; }
    // The scale degree ("1", "b3") of the note `semitone` semitones above the
    // harmonica's root, or nullopt when the scale does not hold it.
    std::optional<std::string> Degree(int semitone) const;
    // A note's name with its degree after a colon ("E-:b3") when the scale
    // holds it, else the name alone.
    std::string Marked(const std::string& name, int semitone) const;

private:
    int harpKey_;
    int position_;
    const Scale& scale_;
};

// "1st", "2nd", "12th".
std::string OrdinalPosition(int position);

} // namespace velbrin::chart
