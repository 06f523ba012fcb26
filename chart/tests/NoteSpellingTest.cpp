#include "chart/NoteSpelling.h"

#include <gtest/gtest.h>

namespace velbrin::chart {
namespace {

int PitchClassOf(const char* text) {
    std::optional<WrittenNote> note = ParseNote(text);
    return note ? note->pitchClass : -1;
}

std::optional<int> MidiOf(const char* text) {
    std::optional<WrittenNote> note = ParseNote(text);
    return note ? note->midi : std::optional<int>(-1);
}

TEST(NoteSpelling, SharpsAndFlatsAreTakenInEveryCommonSpelling) {
    for (const char* bFlat : {"B-", "Bb", "bb", "A#", "a+", "b-"}) {
        EXPECT_EQ(PitchClassOf(bFlat), 10) << bFlat;
    }
    for (const char* fSharp : {"F+", "F#", "Gb", "g-"}) {
        EXPECT_EQ(PitchClassOf(fSharp), 6) << fSharp;
    }
    EXPECT_EQ(PitchClassOf("B"), 11);
    EXPECT_EQ(PitchClassOf("E#"), 5);
    EXPECT_EQ(PitchClassOf("Cb"), 11);
    EXPECT_EQ(MidiOf("C"), std::nullopt) << "no octave written";
}

TEST(NoteSpelling, TheOctaveBelongsToTheLetter) {
    EXPECT_EQ(MidiOf("C4"), 60);
    EXPECT_EQ(MidiOf("A4"), 69);
    EXPECT_EQ(MidiOf("Bb3"), 58);
    EXPECT_EQ(MidiOf("F+5"), 78);
    EXPECT_EQ(MidiOf("Cb4"), 59);
    EXPECT_EQ(MidiOf("B#3"), 60);
    EXPECT_EQ(MidiOf("c0"), 12);
}

TEST(NoteSpelling, AnythingElseIsNoNote) {
    for (const char* bad : {"", "H", "4", "C##", "C+-", "C10", "C-10", "Cx", "C 4", "+", "Do"}) {
        EXPECT_FALSE(ParseNote(bad).has_value()) << bad;
    }
}

TEST(NoteSpelling, KeysAreWrittenAsNotesWithoutOctaveOrByIndex) {
    EXPECT_EQ(ParseKey("G"), 0);
    EXPECT_EQ(ParseKey("Ab"), 1);
    EXPECT_EQ(ParseKey("G#"), 1);
    EXPECT_EQ(ParseKey("b-"), 3);
    EXPECT_EQ(ParseKey("A#"), 3);
    EXPECT_EQ(ParseKey("c"), 5);
    EXPECT_EQ(ParseKey("C#"), 6);
    EXPECT_EQ(ParseKey("F#"), 11);
    EXPECT_EQ(ParseKey("Gb"), 11);
    EXPECT_EQ(ParseKey("0"), 0);
    EXPECT_EQ(ParseKey("11"), 11);
    EXPECT_EQ(ParseKey("f+"), 11);
    for (const char* bad : {"12", "-1", "C4", "H", "", "007", "F++", "G b"}) {
        EXPECT_EQ(ParseKey(bad), std::nullopt) << bad;
    }
}

TEST(NoteSpelling, PrintedNamesFollowTheKeysSpellingWithTheOctave) {
    EXPECT_EQ(NameWithOctave(0, 0), "G3");   // the lowest key
    EXPECT_EQ(NameWithOctave(5, 0), "C4");   // middle C on a C harmonica
    EXPECT_EQ(NameWithOctave(11, 0), "F+4"); // the highest key
    EXPECT_EQ(NameWithOctave(3, 0), "B-3");
    EXPECT_EQ(NameWithOctave(3, 2), "C4");    // B-3 and a whole step
    EXPECT_EQ(NameWithOctave(5, 37), "C+7");  // sharps in C
    EXPECT_EQ(NameWithOctave(10, 37), "G-7"); // flats in F
    EXPECT_EQ(NameWithOctave(5, -1), "B3");
    EXPECT_EQ(MidiNumber(5, 0), 60);
    EXPECT_EQ(KeyOfPitchClass(7), 0);
    EXPECT_EQ(KeyOfPitchClass(6), 11);
}

TEST(NoteSpelling, MelodiesSplitAtSpacesAndCommas) {
    EXPECT_EQ(MelodyWords(" C4 D4,E4 ,, F4\tG4 "),
              (std::vector<std::string>{"C4", "D4", "E4", "F4", "G4"}));
    EXPECT_TRUE(MelodyWords(" , ").empty());
}

} // namespace
} // namespace velbrin::chart
