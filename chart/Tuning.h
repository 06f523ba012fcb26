#pragma once
// The tunings of the ten-hole diatonic harmonica, and what each hole gives.
//
// A tuning is the pitch of the blow and draw reed of every hole, in semitones
// above the blow note of hole 1 (the key's root). Everything else a hole
// plays follows from its two reeds: the higher reed bends down a semitone at
// a time to one semitone above the lower reed, and the lower reed overbends
// to one semitone above the higher reed (an overblow when the lower reed is
// the blow reed, an overdraw when it is the draw reed).

#include "NoteTables.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace velbrin::chart {

enum class Breath { Blow, Draw };
enum class Technique { Plain, Bend, Overbend };

// One way of playing a note: hole index 0 to 9, the breath, and for a bend
// its depth in semitones (1 for the first bend); semitones above the root.
struct HoleNote {
    int hole = 0;
    Breath breath = Breath::Blow;
    Technique technique = Technique::Plain;
    int depth = 0;
    int semitone = 0;
    bool operator==(const HoleNote&) const = default;
};

using Reeds = std::array<int, kHoleCount>;

class Tuning {
public:
    Tuning(std::string name, std::string summary, const Reeds& blow, const Reeds& draw);

    const std::string& Name() const { return name_; }
    // How the tuning differs from Richter, for the list of tunings.
    const std::string& Summary() const { return summary_; }
    int Blow(int hole) const { return blow_.at(hole); }
    int Draw(int hole) const { return draw_.at(hole); }

    // The breath whose reed sounds higher in the hole; its note bends.
    Breath BendingBreath(int hole) const;
    int BendCount(int hole) const;
    // Bend `depth` (1 up to BendCount) of the higher reed.
    HoleNote Bend(int hole, int depth) const;
    // The lower reed pushed to one semitone above the higher reed.
    HoleNote Overbend(int hole) const;
    // The blow note, the draw note, the bends from the shallowest, then the
    // overbend.
    std::vector<HoleNote> NotesOfHole(int hole) const;

private:
    std::string name_;
    std::string summary_;
    Reeds blow_;
    Reeds draw_;
};

// Richter first, then the other tunings a player meets most.
const std::vector<Tuning>& Tunings();
const Tuning& Richter();
// The tuning of that name, letter case, spaces, hyphens and underscores
// aside ("paddy-richter", "Natural Minor"); null when there is none.
const Tuning* FindTuning(std::string_view name);
// "Richter, Paddy Richter, ...", for messages.
std::string TuningNames();

} // namespace velbrin::chart
