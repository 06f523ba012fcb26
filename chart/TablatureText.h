#pragma once
// Where notes are and melodies as tablature, as text for a terminal.

#include "Harp.h"
#include "Tuning.h"

#include <string>
#include <vector>

namespace velbrin::chart {

// One line per way of playing: the note with its octave, its tab and in words.
//   D+4  1o    hole 1 overblow
std::string PlacesAsText(const Harp& harp, const std::vector<HoleNote>& ways);

// "it plays C4 to C7".
std::string RangeText(const Harp& harp);

struct TablatureText {
    // Two lines, the notes and under each its tab ("?" where none).
    std::string text;
    // The notes the harmonica cannot play, in melody order.
    std::vector<std::string> unplayable;
};
TablatureText MelodyAsTablature(const Harp& harp, const std::vector<int>& pitches);

} // namespace velbrin::chart
