#pragma once
// A harmonica: a tuning in a key, and the pitch and name of what it plays.

#include "NoteSpelling.h"
#include "Tuning.h"

#include <string>

namespace velbrin::chart {

struct Harp {
    const Tuning& tuning;
    int key;

    int MidiOf(const HoleNote& note) const { return MidiNumber(key, note.semitone); }
    // The note's name in the key's spelling, without octave: "B-".
    std::string NameOf(const HoleNote& note) const;
    // With its octave: "B-3".
    std::string NameWithOctaveOf(const HoleNote& note) const {
        return NameWithOctave(key, note.semitone);
    }
    // Any pitch, spelled as the key spells it, with its octave.
    std::string NameOfPitch(int midi) const {
        return NameWithOctave(key, midi - MidiNumber(key, 0));
    }
    // A pitch class, spelled as the key spells it.
    std::string NameOfPitchClass(int pitchClass) const;
    // "Richter harmonica in C".
    std::string Title() const;
};

} // namespace velbrin::chart
