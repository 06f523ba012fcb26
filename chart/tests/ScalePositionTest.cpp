#include "chart/ScalePosition.h"
#include "chart/NoteChart.h"
#include "chart/TuningChart.h"
#include "chart/tests/PublishedLayouts.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace velbrin::chart {
namespace {

using testing::kKeyOfC;

// Semitones above the root, as players name the degrees.
const std::map<std::string, int> kDegreeIntervals = {{"1", 0}, {"2", 2},   {"b3", 3}, {"3", 4},
                                                     {"4", 5}, {"b5", 6},  {"5", 7},  {"b6", 8},
                                                     {"6", 9}, {"b7", 10}, {"7", 11}};

// The pitch class of a name as the chart prints it ("A+", "B-").
int PitchClassOfName(const std::string& name) {
    return testing::MidiOfWritten(name + "4") % 12;
}

TEST(ScalePosition, EachPositionIsAFifthAboveTheOneBefore) {
    // On a C harmonica, around the circle of fifths.
    const char* expected[] = {"C", "G", "D", "A", "E", "B", "F+", "D-", "A-", "E-", "B-", "F"};
    for (int position = 1; position <= kPositionCount; ++position) {
        const ScalePosition marks(kKeyOfC, position, Scales().front());
        EXPECT_EQ(KeyNames[marks.Key()], std::string(expected[position - 1])) << position;
    }
    // Second position on a G harmonica plays in D, on an F+ harmonica in D- (C#).
    EXPECT_EQ(KeyNames[ScalePosition(0, 2, Scales().front()).Key()], std::string("D"));
    EXPECT_EQ(KeyNames[ScalePosition(11, 2, Scales().front()).Key()], std::string("D-"));
}

TEST(ScalePosition, MarkedCellsHoldTheScalesNotesWithTheirDegreesAndNoOthers) {
    for (const Scale& scale : Scales()) {
        for (int position : {1, 2, 3, 12}) {
            for (int key : {0, kKeyOfC, 10}) {
                const ScalePosition marks(key, position, scale);
                const int root = (PitchClassOfName(KeyNames[key]) + 7 * (position - 1)) % 12;
                std::set<std::string> degreesSeen;
                const ChartTable chart =
                    TuningChart(Richter(), key).Table(MarkedNoteText(key, &marks));
                const ChartTable plain = TuningChart(Richter(), key).Table();
                for (int row = 0; row < chart.RowCount(); ++row) {
                    for (int column = 1; column <= 10; ++column) {
                        const std::string& cell = chart.Cell(column, row);
                        const std::string& name = plain.Cell(column, row);
                        if (name.empty() || row == 6) {
                            continue;
                        }
                        const int interval = (PitchClassOfName(name) - root + 12) % 12;
                        const auto colon = cell.find(':');
                        bool inScale = false;
                        for (const auto& [semitones, degree] : scale.degrees) {
                            inScale = inScale || semitones == interval;
                        }
                        ASSERT_EQ(colon != std::string::npos, inScale)
                            << scale.name << " in position " << position << ": " << cell;
                        if (inScale) {
                            EXPECT_EQ(cell.substr(0, colon), name);
                            const std::string degree = cell.substr(colon + 1);
                            EXPECT_EQ(kDegreeIntervals.at(degree), interval) << cell;
                            degreesSeen.insert(degree);
                        }
                    }
                }
                // Richter plays every semitone, so every degree shows somewhere.
                EXPECT_EQ(degreesSeen.size(), scale.degrees.size()) << scale.name;
            }
        }
    }
}

TEST(ScalePosition, SecondPositionBluesOnACHarmonica) {
    const ScalePosition blues(kKeyOfC, 2, *FindScale("blues"));
    EXPECT_EQ(blues.Degree(7), "1");           // G, hole 2 draw
    EXPECT_EQ(blues.Degree(10), "b3");         // B-, hole 3 draw bent a semitone
    EXPECT_EQ(blues.Degree(12), "4");          // C
    EXPECT_EQ(blues.Degree(13), "b5");         // C+
    EXPECT_EQ(blues.Degree(14), "5");          // D
    EXPECT_EQ(blues.Degree(17), "b7");         // F
    EXPECT_EQ(blues.Degree(11), std::nullopt); // B
    EXPECT_EQ(blues.Marked("A+", 10), "A+:b3");
    EXPECT_EQ(blues.Marked("B", 11), "B");
}

TEST(ScalePosition, ScalesAreFoundByNameAndListed) {
    EXPECT_EQ(FindScale("Minor-Pentatonic")->name, "minor pentatonic");
    EXPECT_EQ(FindScale("naturalminor")->name, "natural minor");
    EXPECT_EQ(FindScale("lydian"), nullptr);
    EXPECT_EQ(ScaleNames(), "major, natural minor, blues, major pentatonic, minor pentatonic, "
                            "dorian, mixolydian");
    EXPECT_EQ(OrdinalPosition(1), "1st");
    EXPECT_EQ(OrdinalPosition(2), "2nd");
    EXPECT_EQ(OrdinalPosition(3), "3rd");
    EXPECT_EQ(OrdinalPosition(12), "12th");
}

} // namespace
} // namespace velbrin::chart
