#pragma once
// The constant tables of the ten-hole Richter harmonica and of note naming.
// Keys are numbered 0 to 11 in the order of the key list; holes by index
// 0 to 9 (hole number - 1); pitch classes from 0 = C.

#include <array>

namespace velbrin::chart {

constexpr int kKeyCount = 12;
constexpr int kHoleCount = 10;

extern const std::array<const char*, kKeyCount> KeyNames;
// 1 where a key spells its notes with flats, 0 where with sharps.
extern const std::array<int, kKeyCount> UsesFlats;
extern const std::array<const char*, 12> SharpNames;
extern const std::array<const char*, 12> FlatNames;
// Semitones above the blow note of hole 1, which is the key's root.
extern const std::array<int, kHoleCount> BlowSemitones;
extern const std::array<int, kHoleCount> DrawSemitones;
// Stored, not derived: the gap between blow and draw less one.
extern const std::array<int, kHoleCount> BendCounts;
// Stored, not derived: the bend count plus two.
extern const std::array<int, kHoleCount> OverOffsets;

} // namespace velbrin::chart
