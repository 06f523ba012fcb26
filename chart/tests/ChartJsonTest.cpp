#include "chart/ChartJson.h"
#include "chart/NoteChart.h"
#include "chart/Tablature.h"
#include "chart/TuningChart.h"
#include "chart/tests/PublishedLayouts.h"
#include "runtime/Text.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace velbrin::chart {
namespace {

using nlohmann::json;
using testing::kKeyOfC;
using testing::MidiOfWritten;
using testing::PublishedLayoutsInC;

// A note object read back: its printed name and octave must give its MIDI
// number, and its pitch class and octave must agree with it.
void ExpectNoteIsConsistent(const json& note, int expectedMidi, const std::string& where) {
    const int midi = note.at("midi").get<int>();
    EXPECT_EQ(midi, expectedMidi) << where;
    EXPECT_EQ(note.at("pitchClass").get<int>(), midi % 12) << where;
    EXPECT_EQ(note.at("octave").get<int>(), midi / 12 - 1) << where;
    EXPECT_EQ(MidiOfWritten(note.at("note").get<std::string>() +
                            std::to_string(note.at("octave").get<int>())),
              midi)
        << where;
}

TEST(ChartJson, EveryHolesReedsAreThePublishedPitchesInEveryTuningAndKey) {
    for (const auto& layout : PublishedLayoutsInC()) {
        const Tuning& tuning = *FindTuning(layout.tuning);
        for (int key = 0; key < kKeyCount; ++key) {
            const json chart = json::parse(ChartAsJson(Harp{tuning, key}, nullptr));
            EXPECT_EQ(chart.at("tuning"), layout.tuning);
            EXPECT_EQ(chart.at("key"), KeyNames[key]);
            const json& holes = chart.at("holes");
            ASSERT_EQ(holes.size(), 10u);
            for (int hole = 0; hole < kHoleCount; ++hole) {
                const std::string where =
                    layout.tuning + " in " + KeyNames[key] + ", hole " + std::to_string(hole + 1);
                EXPECT_EQ(holes[hole].at("hole"), hole + 1);
                const int shift = key - kKeyOfC;
                ExpectNoteIsConsistent(holes[hole].at("blow"),
                                       MidiOfWritten(layout.blow[hole]) + shift, where);
                ExpectNoteIsConsistent(holes[hole].at("draw"),
                                       MidiOfWritten(layout.draw[hole]) + shift, where);
                EXPECT_EQ(holes[hole].at("bends").size(),
                          static_cast<std::size_t>(tuning.BendCount(hole)))
                    << where;
                EXPECT_NE(holes[hole].contains("overblow"), holes[hole].contains("overdraw"))
                    << where;
            }
        }
    }
}

TEST(ChartJson, CellsAreTheChartsTextsInUtf8) {
    const Harp harp{Richter(), kKeyOfC};
    const json chart = json::parse(ChartAsJson(harp, nullptr));
    const ChartTable table = TuningChart(Richter(), kKeyOfC).Table();
    const json& cells = chart.at("cells");
    ASSERT_EQ(cells.size(), 12u);
    for (int row = 0; row < 12; ++row) {
        ASSERT_EQ(cells[row].size(), 12u);
        for (int column = 0; column < 12; ++column) {
            EXPECT_EQ(cells[row][column], AnsiToUtf8(table.Cell(column, row)));
        }
    }
    EXPECT_EQ(cells[0][0], "\u2191");
    EXPECT_EQ(cells[11][11], "\u2193");
    EXPECT_EQ(cells[5][1], "C");
    EXPECT_FALSE(chart.contains("position"));
}

TEST(ChartJson, HoleThreeOfACHarmonicaBendsThreeTimesAndOverblows) {
    const json hole = json::parse(ChartAsJson(Harp{Richter(), kKeyOfC}, nullptr))["holes"][2];
    const json& bends = hole.at("bends");
    ASSERT_EQ(bends.size(), 3u);
    const char* expected[] = {"Bb4", "A4", "Ab4"};
    for (int depth = 1; depth <= 3; ++depth) {
        EXPECT_EQ(bends[depth - 1].at("depth"), depth);
        EXPECT_EQ(bends[depth - 1].at("tab"), "-3" + std::string(depth, '\''));
        ExpectNoteIsConsistent(bends[depth - 1], MidiOfWritten(expected[depth - 1]), "bend");
    }
    ExpectNoteIsConsistent(hole.at("overblow"), MidiOfWritten("C5"), "overblow");
    EXPECT_EQ(hole.at("overblow").at("tab"), "3o");
}

TEST(ChartJson, AMarkedScaleGivesItsPositionAndEachNotesDegree) {
    const ScalePosition marks(kKeyOfC, 2, *FindScale("mixolydian"));
    const json chart = json::parse(ChartAsJson(Harp{Richter(), kKeyOfC}, &marks));
    EXPECT_EQ(chart.at("position"),
              json::parse(R"({"number": 2, "key": "G", "scale": "mixolydian"})"));
    const json& hole2 = chart.at("holes")[1];
    EXPECT_EQ(hole2.at("draw").at("degree"), "1");
    EXPECT_EQ(hole2.at("blow").at("degree"), "6");
    EXPECT_FALSE(hole2.at("bends")[0].contains("degree")) << "F+ is no note of G mixolydian";
    EXPECT_EQ(chart.at("cells")[7][2], "G:1");
}

TEST(ChartJson, HarmonicMinorHasThirteenRows) {
    const json chart =
        json::parse(ChartAsJson(Harp{*FindTuning("harmonic minor"), kKeyOfC}, nullptr));
    ASSERT_EQ(chart.at("cells").size(), 13u);
    EXPECT_EQ(chart.at("cells")[12][10], "C+");
    ExpectNoteIsConsistent(chart.at("holes")[9].at("overdraw"), MidiOfWritten("C#7"), "10o");
}

} // namespace
} // namespace velbrin::chart
