#include "chart/NoteChart.h"
#include "chart/NoteSpelling.h"
#include "chart/TuningChart.h"
#include "chart/tests/PublishedLayouts.h"

#include <gtest/gtest.h>

#include <set>

namespace velbrin::chart {
namespace {

using testing::kKeyOfC;
using testing::MidiOfWritten;
using testing::PublishedLayoutsInC;

ChartTable WindowChart(int key) {
    ChartTable chart;
    WriteFixedLabels(chart.Writer());
    FillChart(key, chart.Writer());
    return chart;
}

TEST(Tuning, RichterFromItsReedsIsTheWindowsChartInEveryKey) {
    for (int key = 0; key < kKeyCount; ++key) {
        const ChartTable window = WindowChart(key);
        const ChartTable fromReeds = TuningChart(Richter(), key).Table();
        ASSERT_EQ(fromReeds.RowCount(), 12);
        for (int row = 0; row < 12; ++row) {
            for (int column = 0; column < 12; ++column) {
                EXPECT_EQ(fromReeds.Cell(column, row), window.Cell(column, row))
                    << "key " << KeyNames[key] << ", cell (" << column << ", " << row << ")";
            }
        }
    }
}

TEST(Tuning, EveryTuningsReedsAreItsPublishedLayoutInEveryKey) {
    ASSERT_EQ(Tunings().size(), PublishedLayoutsInC().size());
    for (const auto& layout : PublishedLayoutsInC()) {
        const Tuning* tuning = FindTuning(layout.tuning);
        ASSERT_NE(tuning, nullptr) << layout.tuning;
        for (int key = 0; key < kKeyCount; ++key) {
            for (int hole = 0; hole < kHoleCount; ++hole) {
                const int shift = key - kKeyOfC;
                // The printed name read back must be the published pitch.
                EXPECT_EQ(MidiOfWritten(NameWithOctave(key, tuning->Blow(hole))),
                          MidiOfWritten(layout.blow[hole]) + shift)
                    << layout.tuning << " in " << KeyNames[key] << ", hole " << hole + 1;
                EXPECT_EQ(MidiOfWritten(NameWithOctave(key, tuning->Draw(hole))),
                          MidiOfWritten(layout.draw[hole]) + shift)
                    << layout.tuning << " in " << KeyNames[key] << ", hole " << hole + 1;
            }
        }
    }
}

// Whichever reed is higher, a hole plays every semitone from its lower reed
// up to one above its higher reed, each once.
TEST(Tuning, EachHolePlaysEverySemitoneFromItsLowerReedToOneAboveItsHigher) {
    for (const Tuning& tuning : Tunings()) {
        for (int hole = 0; hole < kHoleCount; ++hole) {
            std::multiset<int> played;
            for (const HoleNote& note : tuning.NotesOfHole(hole)) {
                played.insert(note.semitone);
            }
            const int lower = std::min(tuning.Blow(hole), tuning.Draw(hole));
            const int higher = std::max(tuning.Blow(hole), tuning.Draw(hole));
            std::multiset<int> expected;
            for (int semitone = lower; semitone <= higher + 1; ++semitone) {
                expected.insert(semitone);
            }
            EXPECT_EQ(played, expected) << tuning.Name() << ", hole " << hole + 1;
        }
    }
}

// What players of these tunings know by heart, on a harmonica in C.
TEST(Tuning, BendsAndOverbendsAreWherePlayersFindThem) {
    struct Known {
        const char* tuning;
        int holeNumber;
        Breath breath;
        Technique technique;
        int depth;
        const char* note;
    };
    const Known known[] = {
        {"Richter", 3, Breath::Draw, Technique::Bend, 3, "G#4"},
        {"Richter", 6, Breath::Blow, Technique::Overbend, 0, "Bb5"},
        {"Richter", 10, Breath::Blow, Technique::Bend, 2, "Bb6"},
        {"Paddy Richter", 3, Breath::Draw, Technique::Bend, 1, "Bb4"},
        {"Paddy Richter", 3, Breath::Blow, Technique::Overbend, 0, "C5"},
        {"Natural Minor", 2, Breath::Draw, Technique::Bend, 3, "E4"},
        {"Natural Minor", 8, Breath::Draw, Technique::Overbend, 0, "E6"},
        {"Country", 5, Breath::Draw, Technique::Bend, 1, "F5"},
        {"Country", 5, Breath::Blow, Technique::Overbend, 0, "G5"},
        {"Melody Maker", 9, Breath::Draw, Technique::Overbend, 0, "G#6"},
        {"Harmonic Minor", 6, Breath::Blow, Technique::Overbend, 0, "A5"},
        {"Harmonic Minor", 10, Breath::Blow, Technique::Bend, 3, "A6"},
        {"Harmonic Minor", 10, Breath::Draw, Technique::Overbend, 0, "C#7"},
    };
    for (const Known& k : known) {
        const Tuning* tuning = FindTuning(k.tuning);
        ASSERT_NE(tuning, nullptr);
        int found = 0;
        for (const HoleNote& note : tuning->NotesOfHole(k.holeNumber - 1)) {
            if (note.breath == k.breath && note.technique == k.technique && note.depth == k.depth) {
                ++found;
                EXPECT_EQ(MidiOfWritten(NameWithOctave(kKeyOfC, note.semitone)),
                          MidiOfWritten(k.note))
                    << k.tuning << ", hole " << k.holeNumber;
            }
        }
        EXPECT_EQ(found, 1) << k.tuning << ", hole " << k.holeNumber << " plays no " << k.note;
    }
}

TEST(Tuning, NoChartCellIsWrittenTwiceAndEveryNoteStandsInItsHolesColumn) {
    for (const Tuning& tuning : Tunings()) {
        for (int key = 0; key < kKeyCount; ++key) {
            const TuningChart chart(tuning, key);
            std::map<std::pair<int, int>, int> writes;
            chart.Write([&](int column, int row, const std::string&) {
                ASSERT_GE(row, 0);
                ASSERT_LT(row, chart.RowCount());
                ASSERT_GE(column, 0);
                ASSERT_LT(column, kChartSize);
                ++writes[{column, row}];
            });
            for (const auto& [cell, count] : writes) {
                EXPECT_EQ(count, 1)
                    << tuning.Name() << " cell " << cell.first << "," << cell.second;
            }
            const ChartTable table = chart.Table();
            for (int hole = 0; hole < kHoleCount; ++hole) {
                for (const HoleNote& note : tuning.NotesOfHole(hole)) {
                    EXPECT_EQ(table.Cell(hole + 1, chart.RowOf(note)),
                              NoteName(key, note.semitone));
                }
            }
        }
    }
}

TEST(Tuning, HarmonicMinorReachesARowFurtherBelowThanTheWindowsChart) {
    const ChartTable chart = TuningChart(*FindTuning("harmonic minor"), kKeyOfC).Table();
    ASSERT_EQ(chart.RowCount(), 13);
    // Hole 10 draws A-6; its overdraw C+7 lies five semitones above, five rows down.
    EXPECT_EQ(chart.Cell(10, 7), "G+");
    EXPECT_EQ(chart.Cell(10, 12), "C+");
    EXPECT_EQ(chart.Cell(11, 9), "over");
    for (int row : {10, 11, 12}) {
        EXPECT_EQ(chart.Cell(11, row), DownArrow) << row;
    }
    // Holes 2 and 3 reach the top row with their overblows.
    EXPECT_EQ(chart.Cell(2, 0), "G+");
    EXPECT_EQ(chart.Cell(3, 0), "C");
}

TEST(Tuning, ALabelNamesBothKindsWhereBendsAndOverbendsShareASide) {
    // Hole 6 blowing B5 over its draw A5: its blow bend stands above the
    // blow row beside the overblows of holes 1 to 5, its overdraw below the
    // draw row beside their draw bends.
    Reeds blow = BlowSemitones;
    blow[5] = 23;
    const Tuning odd("odd hole 6", "hole 6 blow raised", blow, DrawSemitones);
    const ChartTable table = TuningChart(odd, kKeyOfC).Table();
    EXPECT_EQ(table.Cell(6, 4), "A+") << "hole 6 blow bent a semitone";
    EXPECT_EQ(table.Cell(6, 10), "C") << "its overdraw, three rows under the draw row";
    EXPECT_EQ(table.Cell(0, 4), "bend/over");
    EXPECT_EQ(table.Cell(0, 3), UpArrow);
    EXPECT_EQ(table.Cell(0, 8), "bend/over");
    EXPECT_EQ(table.Cell(0, 10), DownArrow);
}

TEST(Tuning, NamesAreFoundWhateverTheirCaseSpacesOrHyphens) {
    EXPECT_EQ(FindTuning("paddy-richter"), FindTuning("Paddy Richter"));
    EXPECT_EQ(FindTuning("NATURAL_MINOR")->Name(), "Natural Minor");
    EXPECT_EQ(FindTuning("melodymaker")->Name(), "Melody Maker");
    EXPECT_EQ(FindTuning("richter"), &Richter());
    EXPECT_EQ(FindTuning("solo"), nullptr);
    EXPECT_EQ(FindTuning(""), nullptr);
    EXPECT_EQ(TuningNames(),
              "Richter, Paddy Richter, Natural Minor, Country, Melody Maker, Harmonic Minor");
}

} // namespace
} // namespace velbrin::chart
