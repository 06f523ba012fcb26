#pragma once
// The reed layouts of the tunings as published for a harmonica in C, written
// note by note, and a reader of written notes that knows nothing of the
// program's own spelling code.

#include <map>
#include <string>
#include <vector>

namespace velbrin::chart::testing {

struct PublishedLayout {
    std::string tuning;
    std::vector<std::string> blow;
    std::vector<std::string> draw;
};

inline const std::vector<PublishedLayout>& PublishedLayoutsInC() {
    static const std::vector<PublishedLayout> layouts = {
        {"Richter",
         {"C4", "E4", "G4", "C5", "E5", "G5", "C6", "E6", "G6", "C7"},
         {"D4", "G4", "B4", "D5", "F5", "A5", "B5", "D6", "F6", "A6"}},
        {"Paddy Richter",
         {"C4", "E4", "A4", "C5", "E5", "G5", "C6", "E6", "G6", "C7"},
         {"D4", "G4", "B4", "D5", "F5", "A5", "B5", "D6", "F6", "A6"}},
        {"Natural Minor",
         {"C4", "Eb4", "G4", "C5", "Eb5", "G5", "C6", "Eb6", "G6", "C7"},
         {"D4", "G4", "Bb4", "D5", "F5", "A5", "Bb5", "D6", "F6", "A6"}},
        {"Country",
         {"C4", "E4", "G4", "C5", "E5", "G5", "C6", "E6", "G6", "C7"},
         {"D4", "G4", "B4", "D5", "F#5", "A5", "B5", "D6", "F6", "A6"}},
        {"Melody Maker",
         {"C4", "E4", "A4", "C5", "E5", "G5", "C6", "E6", "G6", "C7"},
         {"D4", "G4", "B4", "D5", "F#5", "A5", "B5", "D6", "F#6", "A6"}},
        {"Harmonic Minor",
         {"C4", "Eb4", "G4", "C5", "Eb5", "G5", "C6", "Eb6", "G6", "C7"},
         {"D4", "G4", "B4", "D5", "F5", "Ab5", "B5", "D6", "F6", "Ab6"}},
    };
    return layouts;
}

// The MIDI number of a written note: a letter, "#" or "+" for sharp, "b" or
// "-" for flat, and an octave (C4 is 60).
inline int MidiOfWritten(const std::string& note) {
    static const std::map<char, int> letters = {{'C', 0}, {'D', 2}, {'E', 4}, {'F', 5},
                                                {'G', 7}, {'A', 9}, {'B', 11}};
    int pitch = letters.at(note.at(0));
    std::size_t octaveAt = 1;
    if (std::string("#+").find(note.at(1)) != std::string::npos) {
        ++pitch;
        ++octaveAt;
    } else if (std::string("b-").find(note.at(1)) != std::string::npos) {
        --pitch;
        ++octaveAt;
    }
    return (std::stoi(note.substr(octaveAt)) + 1) * 12 + pitch;
}

// Key index 5 is C; the keys rise from G3 (index 0) to F#4 (index 11).
constexpr int kKeyOfC = 5;

} // namespace velbrin::chart::testing
