#include "ChartJson.h"

#include "NoteChart.h"
#include "Tablature.h"
#include "TuningChart.h"
#include "runtime/Text.h"

#include <nlohmann/json.hpp>

namespace velbrin::chart {

namespace {

using Json = nlohmann::ordered_json;

Json NoteJson(const Harp& harp, const HoleNote& note, const ScalePosition* marks) {
    const int midi = harp.MidiOf(note);
    Json json = {{"tab", TabOf(note)},
                 {"note", harp.NameOf(note)},
                 {"pitchClass", PitchClass(midi)},
                 {"octave", OctaveOf(midi)},
                 {"midi", midi}};
    if (note.technique == Technique::Bend) {
        json["depth"] = note.depth;
    }
    if (marks != nullptr) {
        if (std::optional<std::string> degree = marks->Degree(note.semitone)) {
            json["degree"] = *degree;
        }
    }
    return json;
}

Json HoleJson(const Harp& harp, int hole, const ScalePosition* marks) {
    Json json = {{"hole", hole + 1}};
    Json bends = Json::array();
    for (const HoleNote& note : harp.tuning.NotesOfHole(hole)) {
        Json noteJson = NoteJson(harp, note, marks);
        if (note.technique == Technique::Bend) {
            bends.push_back(std::move(noteJson));
        } else if (note.technique == Technique::Overbend) {
            json[note.breath == Breath::Blow ? "overblow" : "overdraw"] = std::move(noteJson);
        } else {
            json[note.breath == Breath::Blow ? "blow" : "draw"] = std::move(noteJson);
        }
    }
    json["bends"] = std::move(bends);
    return json;
}

Json CellsJson(const ChartTable& table) {
    Json rows = Json::array();
    for (int row = 0; row < table.RowCount(); ++row) {
        Json cells = Json::array();
        for (int column = 0; column < kChartSize; ++column) {
            cells.push_back(AnsiToUtf8(table.Cell(column, row)));
        }
        rows.push_back(std::move(cells));
    }
    return rows;
}

} // namespace

std::string ChartAsJson(const Harp& harp, const ScalePosition* marks) {
    Json json = {{"tuning", harp.tuning.Name()}, {"key", KeyName(harp.key)}};
    if (marks != nullptr) {
        json["position"] = {{"number", marks->Position()},
                            {"key", KeyName(marks->Key())},
                            {"scale", marks->ScaleOf().name}};
    }
    json["cells"] =
        CellsJson(TuningChart(harp.tuning, harp.key).Table(MarkedNoteText(harp.key, marks)));
    Json holes = Json::array();
    for (int hole = 0; hole < kHoleCount; ++hole) {
        holes.push_back(HoleJson(harp, hole, marks));
    }
    json["holes"] = std::move(holes);
    return json.dump(2) + "\n";
}

} // namespace velbrin::chart
