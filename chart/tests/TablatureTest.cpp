#include "chart/Tablature.h"
#include "chart/NoteTables.h"
#include "chart/TablatureText.h"
#include "chart/tests/PublishedLayouts.h"

#include <gtest/gtest.h>

#include <sstream>

namespace velbrin::chart {
namespace {

using testing::kKeyOfC;
using testing::MidiOfWritten;

std::vector<int> Pitches(const std::string& written) {
    std::vector<int> pitches;
    std::istringstream in(written);
    for (std::string note; in >> note;) {
        pitches.push_back(MidiOfWritten(note));
    }
    return pitches;
}

std::string TabFor(const Harp& harp, const std::vector<int>& pitches) {
    std::string tab;
    for (const std::optional<HoleNote>& note : Tablature(harp, pitches)) {
        tab += (tab.empty() ? "" : " ") + (note ? TabOf(*note) : std::string("?"));
    }
    return tab;
}

std::string TabFor(const Harp& harp, const std::string& written) {
    return TabFor(harp, Pitches(written));
}

const Harp kCHarp{Richter(), kKeyOfC};

TEST(Tablature, KnownMelodiesOnACHarmonica) {
    // Mary had a little lamb, in the middle octave.
    EXPECT_EQ(TabFor(kCHarp, "E5 D5 C5 D5 E5 E5 E5 D5 D5 D5 E5 G5 G5"),
              "5 -4 4 -4 5 5 5 -4 -4 -4 5 6 6");
    // The major scale where it lies unbent, and the top octave's one bend.
    EXPECT_EQ(TabFor(kCHarp, "C5 D5 E5 F5 G5 A5 B5 C6"), "4 -4 5 -5 6 -6 -7 7");
    EXPECT_EQ(TabFor(kCHarp, "C6 D6 E6 F6 G6 A6 B6 C7"), "7 -8 8 -9 9 -10 10' 10");
    // The low octave's bends: F and A exist only bent.
    EXPECT_EQ(TabFor(kCHarp, "E4 F4 E4"), "2 -2'' 2");
    EXPECT_EQ(TabFor(kCHarp, "B4 A4 B4"), "-3 -3'' -3");
    // Overblows and overdraws where nothing else gives the note.
    EXPECT_EQ(TabFor(kCHarp, "D#4 E-5 F#5 C#6"), "1o 4o 5o -7o");
    // Natural minor blows the minor third that Richter overblows.
    const Harp minor{*FindTuning("natural minor"), kKeyOfC};
    EXPECT_EQ(TabFor(minor, "D#4 G4 A#4"), "2 -2 -3");
}

TEST(Tablature, SmallMovesWinBetweenEquallyEasyNotes) {
    // G4 is hole 3 blow and hole 2 draw: next to hole 4, hole 3.
    EXPECT_EQ(TabFor(kCHarp, "C5 G4 C5"), "4 3 4");
    // Next to hole 1, hole 2.
    EXPECT_EQ(TabFor(kCHarp, "D4 G4 D4"), "-1 -2 -1");
}

TEST(Tablature, AnUnbentNoteANeighbourAwayBeatsABendInPlace) {
    // A Richter harmonica with hole 4 drawing F5: E5 is hole 5 blow, or hole 4 draw bent.
    Reeds draw = DrawSemitones;
    draw[3] = 17;
    const Tuning wideFour("wide hole 4", "hole 4 draw F", BlowSemitones, draw);
    const Harp harp{wideFour, kKeyOfC};
    EXPECT_EQ(TabFor(harp, "C5 E5 C5"), "4 5 4");
    EXPECT_EQ(TabFor(harp, "D#5 E5 D#5"), "-4'' 5 -4''");
}

TEST(Tablature, AnUnbentNoteANeighbourAwayBeatsAnOverblowInPlace) {
    // Country: G5 is hole 6 blow and hole 5 overblow.
    const Harp country{*FindTuning("country"), kKeyOfC};
    EXPECT_EQ(TabFor(country, "F#5 G5 F#5"), "-5 6 -5");
    // Melody Maker: C5 is hole 4 blow and hole 3 overblow.
    const Harp melodyMaker{*FindTuning("melody maker"), kKeyOfC};
    EXPECT_EQ(TabFor(melodyMaker, "A4 C5 A4"), "3 4 3");
}

TEST(Tablature, NotesTheHarpCannotPlayAreLeftOpenAndTheRestStillChosen) {
    EXPECT_EQ(TabFor(kCHarp, "B3 C4 D4"), "? 1 -1");
    EXPECT_EQ(TabFor(kCHarp, "C7 D7 C7"), "10 ? 10");
    EXPECT_EQ(TabFor(kCHarp, "C3 C2"), "? ?");
    const TablatureText text = MelodyAsTablature(kCHarp, Pitches("A3 C4 D7"));
    EXPECT_EQ(text.unplayable, (std::vector<std::string>{"A3", "D7"}));
    EXPECT_EQ(text.text, "notes: A3 C4 D7\n"
                         "tab:   ?  1  ?\n");
    EXPECT_EQ(RangeText(kCHarp), "it plays C4 to C+7");
}

TEST(Tablature, NotesWithoutOctaveFollowTheMelody) {
    auto written = [](std::initializer_list<const char*> notes) {
        std::vector<WrittenNote> parsed;
        for (const char* note : notes) {
            parsed.push_back(*ParseNote(note));
        }
        return parsed;
    };
    // The first note lies nearest hole 4 blow (C5), each next one nearest the
    // last; a tritone away it goes up.
    EXPECT_EQ(MelodyPitches(kCHarp, written({"C", "D", "E", "F", "G", "A", "B", "C"})),
              Pitches("C5 D5 E5 F5 G5 A5 B5 C6"));
    EXPECT_EQ(MelodyPitches(kCHarp, written({"G", "C", "F#", "C", "C4", "B"})),
              Pitches("G4 C5 F#5 C6 C4 B3"));
    // On a G harmonica hole 4 blow is G4.
    EXPECT_EQ(MelodyPitches(Harp{Richter(), 0}, written({"D", "E"})), Pitches("D4 E4"));
}

TEST(Tablature, EveryWayToPlayANoteSoundsThatNote) {
    for (const Tuning& tuning : Tunings()) {
        for (int key = 0; key < kKeyCount; ++key) {
            const Harp harp{tuning, key};
            const auto [lowest, highest] = RangeOf(harp);
            int ways = 0;
            for (int midi = lowest - 2; midi <= highest + 2; ++midi) {
                for (const HoleNote& way : WaysToPlay(harp, midi)) {
                    ++ways;
                    EXPECT_EQ(MidiOfWritten(harp.NameWithOctaveOf(way)), midi);
                }
            }
            int notes = 0;
            for (int hole = 0; hole < kHoleCount; ++hole) {
                notes += static_cast<int>(tuning.NotesOfHole(hole).size());
            }
            EXPECT_EQ(ways, notes) << "each note of each hole found once";
        }
    }
}

TEST(Tablature, FindingAPitchClassListsEveryOctaveLowestFirst) {
    const std::vector<HoleNote> ways = WaysToPlayPitchClass(kCHarp, 6);
    EXPECT_EQ(PlacesAsText(kCHarp, ways), "F+4  -2'   hole 2 draw, bent 1 semitone\n"
                                          "F+5  5o    hole 5 overblow\n"
                                          "F+6  9'    hole 9 blow, bent 1 semitone\n");
    const std::vector<HoleNote> gs = WaysToPlayPitchClass(kCHarp, 8);
    ASSERT_EQ(gs.size(), 4u);
    // G+4 twice, in the order of the holes.
    EXPECT_EQ(DescriptionOf(gs[0]), "hole 2 overblow");
    EXPECT_EQ(DescriptionOf(gs[1]), "hole 3 draw, bent 3 semitones");
    EXPECT_EQ(DescriptionOf(gs[2]), "hole 6 draw, bent 1 semitone");
    EXPECT_EQ(DescriptionOf(gs[3]), "hole 9 overdraw");
    EXPECT_EQ(TabOf(gs[3]), "-9o");
}

} // namespace
} // namespace velbrin::chart
