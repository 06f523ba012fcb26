#pragma once
// Notes as players write them, and as the program prints them.
//
// The program prints a note as the key list spells it ("F+", "B-"), the
// octave after it in scientific numbering ("C4" is middle C, MIDI 60). On
// input it also takes "#" for a sharp and "b" for a flat ("Bb", "A#", "F#4",
// "eb5"); letter case is ignored.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velbrin::chart {

struct WrittenNote {
    int pitchClass = 0; // 0 = C
    // The MIDI number when an octave was written.
    std::optional<int> midi;
};

// A letter A to G, at most one sign (+ # for sharp, - b for flat), then an
// optional octave 0 to 9; nullopt for anything else.
std::optional<WrittenNote> ParseNote(std::string_view text);
// The words of a melody as typed: notes separated by spaces or commas.
std::vector<std::string> MelodyWords(std::string_view melody);
// The key index of a key written in any of those spellings without octave
// ("F+", "F#", "Gb" all give the key F+), or its index 0 to 11; nullopt else.
std::optional<int> ParseKey(std::string_view text);
// The spellings ParseNote takes, for messages.
std::string AcceptedNoteSpellings();

// The pitch of a note `semitone` semitones above the blow note of hole 1 of a
// harmonica in key `key`, the keys lying from G3 (key 0) to F+4 (key 11).
int MidiNumber(int key, int semitone);
int OctaveOf(int midi);
// The note's name in the key's spelling with its octave: "B-3".
std::string NameWithOctave(int key, int semitone);

// The name of a key in the program's spelling, by key index.
std::string KeyName(int key);
// The key index whose root has this pitch class.
int KeyOfPitchClass(int pitchClass);

} // namespace velbrin::chart
