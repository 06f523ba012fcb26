#include "Tuning.h"

#include "LooseName.h"

#include <algorithm>
#include <cstdlib>

namespace velbrin::chart {

namespace {

// Richter with the reeds of some holes moved by a number of semitones.
struct ReedChange {
    Breath breath;
    int holeNumber;
    int semitones;
};

Tuning RetunedRichter(std::string name, std::string summary,
                      std::initializer_list<ReedChange> changes) {
    Reeds blow = BlowSemitones;
    Reeds draw = DrawSemitones;
    for (const ReedChange& change : changes) {
        Reeds& reeds = change.breath == Breath::Blow ? blow : draw;
        reeds.at(change.holeNumber - 1) += change.semitones;
    }
    return Tuning(std::move(name), std::move(summary), blow, draw);
}

} // namespace

Tuning::Tuning(std::string name, std::string summary, const Reeds& blow, const Reeds& draw)
    : name_(std::move(name)), summary_(std::move(summary)), blow_(blow), draw_(draw) {}

Breath Tuning::BendingBreath(int hole) const {
    return Blow(hole) > Draw(hole) ? Breath::Blow : Breath::Draw;
}

int Tuning::BendCount(int hole) const {
    return std::max(0, std::abs(Blow(hole) - Draw(hole)) - 1);
}

HoleNote Tuning::Bend(int hole, int depth) const {
    const Breath breath = BendingBreath(hole);
    const int higher = std::max(Blow(hole), Draw(hole));
    return {hole, breath, Technique::Bend, depth, higher - depth};
}

HoleNote Tuning::Overbend(int hole) const {
    const Breath breath = BendingBreath(hole) == Breath::Blow ? Breath::Draw : Breath::Blow;
    const int higher = std::max(Blow(hole), Draw(hole));
    return {hole, breath, Technique::Overbend, 0, higher + 1};
}

std::vector<HoleNote> Tuning::NotesOfHole(int hole) const {
    std::vector<HoleNote> notes = {{hole, Breath::Blow, Technique::Plain, 0, Blow(hole)},
                                   {hole, Breath::Draw, Technique::Plain, 0, Draw(hole)}};
    for (int depth = 1; depth <= BendCount(hole); ++depth) {
        notes.push_back(Bend(hole, depth));
    }
    notes.push_back(Overbend(hole));
    return notes;
}

const std::vector<Tuning>& Tunings() {
    static const std::vector<Tuning> tunings = {
        Tuning("Richter", "the standard diatonic tuning", BlowSemitones, DrawSemitones),
        RetunedRichter("Paddy Richter", "hole 3 blow a whole step up", {{Breath::Blow, 3, 2}}),
        RetunedRichter("Natural Minor", "every third and seventh of the key a semitone down",
                       {{Breath::Blow, 2, -1},
                        {Breath::Blow, 5, -1},
                        {Breath::Blow, 8, -1},
                        {Breath::Draw, 3, -1},
                        {Breath::Draw, 7, -1}}),
        RetunedRichter("Country", "hole 5 draw a semitone up", {{Breath::Draw, 5, 1}}),
        RetunedRichter("Melody Maker",
                       "hole 3 blow a whole step up, holes 5 and 9 draw a semitone up",
                       {{Breath::Blow, 3, 2}, {Breath::Draw, 5, 1}, {Breath::Draw, 9, 1}}),
        RetunedRichter("Harmonic Minor", "every third and sixth of the key a semitone down",
                       {{Breath::Blow, 2, -1},
                        {Breath::Blow, 5, -1},
                        {Breath::Blow, 8, -1},
                        {Breath::Draw, 6, -1},
                        {Breath::Draw, 10, -1}}),
    };
    return tunings;
}

const Tuning& Richter() {
    return Tunings().front();
}

const Tuning* FindTuning(std::string_view name) {
    for (const Tuning& tuning : Tunings()) {
        if (SameLooseName(name, tuning.Name())) {
            return &tuning;
        }
    }
    return nullptr;
}

std::string TuningNames() {
    std::string names;
    for (const Tuning& tuning : Tunings()) {
        names += names.empty() ? "" : ", ";
        names += tuning.Name();
    }
    return names;
}

} // namespace velbrin::chart
