// notechart: the harmonica chart at a terminal. `notechart --help` tells how.

#include "NoteChart.h"
#include "ChartJson.h"
#include "ChartPicture.h"
#include "ChartText.h"
#include "NoteSpelling.h"
#include "ScalePosition.h"
#include "Tablature.h"
#include "TablatureText.h"
#include "TuningChart.h"
#include "runtime/Exceptions.h"
#include "runtime/Text.h"

#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

using namespace velbrin::chart;

namespace {

constexpr int kUsageError = 2;
constexpr int kUnplayable = 1;
const char* const kOptionNames =
    "--tuning, --position, --scale, --tsv, --json, --png, --find, --tab, --help";

const char* const kUsage = R"(usage: notechart [OPTIONS] KEY
       notechart --tsv
       notechart --tuning list | --scale list

Prints the notes of a ten-hole diatonic harmonica in KEY, hole by hole: the
blow and draw notes, the bends, the overblows and overdraws.

KEY is the key of the harmonica, the note of hole 1 blow: G, A-, A, B-, B, C,
D-, D, E-, E, F, F+ (B-, Bb and A# are the same key; letter case is ignored),
or the key's index 0 to 11 in that list.

Notes are written as the key list writes them (F+ for F sharp, B- for B flat),
then an octave where one is wanted: C4 is middle C. Notes typed in may also
use # for a sharp and b for a flat (F#4, Bb, eb5).

Options:
  --tuning NAME     the harmonica's tuning (Richter unless given); `--tuning
                    list` names them all: Richter, Paddy Richter, Natural
                    Minor, Country, Melody Maker, Harmonic Minor. KEY stays
                    the note of hole 1 blow, also where makers sell a tuning
                    by the key it plays in another position
  --position N      mark the notes of a scale played in position N (1 to 12:
                    1st is the harmonica's key, each next one a fifth up) with
                    their degrees after a colon ("E-:b3"); major unless --scale
  --scale NAME      the scale to mark, in 1st position unless --position:
                    major, natural minor, blues, major pentatonic, minor
                    pentatonic, dorian, mixolydian (`--scale list`)
  --tsv             the chart as tab-separated lines; without KEY, the chart
                    window's labels before a key is chosen
  --json            the chart as JSON: every cell's text, and each hole's
                    notes with their tab, pitch class, octave and MIDI number
  --png FILE        a picture of the chart window with KEY chosen (Richter)
  --find NOTE       where NOTE is played (every octave unless one is given)
  --tab "NOTES"     a melody as harmonica tablature: 4 is hole 4 blow, -4 its
                    draw, each ' a semitone of bend (-3''), o an overblow (6o)
                    or overdraw (-7o). A note without an octave is taken
                    nearest the note before it (the first nearest hole 4
                    blow). Unbent notes and small moves come first.
  --help            this text

Examples:
  notechart C                              the chart of a C harmonica
  notechart --tuning "natural minor" A     a natural minor harmonica in A
  notechart --position 2 --scale blues C   the G blues scale on a C harmonica
  notechart --find F+ C                    where F sharp is on a C harmonica
  notechart --tab "C D E F G A B C" C      the C major scale as tablature
  notechart --json --tuning country G      a country tuned G harmonica as JSON
  notechart --png chart.png C              a picture of the chart window

A note the harmonica cannot play ends notechart with status 1; an unknown
key, tuning, scale, position, note or option with status 2.
)";

struct Options {
    std::optional<std::string> key;
    const Tuning* tuning = &Richter();
    std::optional<int> position;
    const Scale* scale = nullptr;
    bool tsv = false;
    bool json = false;
    std::optional<std::string> png;
    std::optional<std::string> find;
    std::optional<std::string> tab;
    bool listTunings = false;
    bool listScales = false;
};

// A refusal of what the user asked, with the valid choices.
struct UsageError {
    std::string message;
};

std::string KeyList() {
    std::string keys;
    for (int key = 0; key < kKeyCount; ++key) {
        keys += (key == 0 ? "" : ", ") + KeyName(key);
    }
    return keys;
}

const Tuning* TuningNamed(const std::string& name) {
    const Tuning* tuning = FindTuning(name);
    if (tuning == nullptr) {
        throw UsageError{"unknown tuning \"" + name + "\". Tunings: " + TuningNames() + "."};
    }
    return tuning;
}

const Scale* ScaleNamed(const std::string& name) {
    const Scale* scale = FindScale(name);
    if (scale == nullptr) {
        throw UsageError{"unknown scale \"" + name + "\". Scales: " + ScaleNames() + "."};
    }
    return scale;
}

int PositionNumbered(const std::string& text) {
    if (!text.empty() && text.size() <= 2 &&
        text.find_first_not_of("0123456789") == std::string::npos) {
        const int position = std::stoi(text);
        if (position >= 1 && position <= kPositionCount) {
            return position;
        }
    }
    throw UsageError{"unknown position \"" + text + "\". Positions: 1 to 12."};
}

WrittenNote NoteWritten(const std::string& text) {
    std::optional<WrittenNote> note = ParseNote(text);
    if (!note) {
        throw UsageError{"unknown note \"" + text + "\". A note is " + AcceptedNoteSpellings() +
                         "."};
    }
    return *note;
}

int KeyWritten(const std::string& text) {
    std::optional<int> key = ParseKey(text);
    if (!key) {
        throw UsageError{"unknown key \"" + text + "\". Keys: " + KeyList() +
                         " (also written with # or b, as Bb or F#; or 0 to 11)."};
    }
    return *key;
}

Options ParseOptions(const std::vector<std::string>& args) {
    Options options;
    const std::map<std::string, std::optional<std::string>*> withValue = {
        {"--png", &options.png}, {"--find", &options.find}, {"--tab", &options.tab}};
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) {
                throw UsageError{arg + " wants a value. Try notechart --help."};
            }
            return args[++i];
        };
        if (arg == "--tsv") {
            options.tsv = true;
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg == "--tuning") {
            const std::string& name = value();
            options.listTunings = name == "list";
            options.tuning = options.listTunings ? options.tuning : TuningNamed(name);
        } else if (arg == "--scale") {
            const std::string& name = value();
            options.listScales = name == "list";
            options.scale = options.listScales ? options.scale : ScaleNamed(name);
        } else if (arg == "--position") {
            options.position = PositionNumbered(value());
        } else if (auto option = withValue.find(arg); option != withValue.end()) {
            *option->second = value();
        } else if (arg.starts_with("--")) {
            throw UsageError{"unknown option \"" + arg + "\". Options: " + kOptionNames +
                             ". Try notechart --help."};
        } else if (options.key) {
            throw UsageError{"only one key, please. Keys: " + KeyList() + "."};
        } else {
            options.key = arg;
        }
    }
    return options;
}

void CheckCombination(const Options& options) {
    const int outputs = options.tsv + options.json + options.png.has_value() +
                        options.find.has_value() + options.tab.has_value();
    if (outputs > 1) {
        throw UsageError{"choose one of --tsv, --json, --png, --find and --tab."};
    }
    const bool marks = options.position || options.scale;
    if (marks && (options.png || options.find || options.tab)) {
        throw UsageError{"--position and --scale mark the chart; they go with the table, "
                         "--tsv and --json."};
    }
    if (options.png && !ChartWindowPicturesAvailable()) {
        throw UsageError{"--png is not available in this build of notechart."};
    }
    if (options.png && options.tuning != &Richter()) {
        throw UsageError{"the chart window shows the Richter tuning only."};
    }
    if (!options.key && !(options.tsv && options.tuning == &Richter() && !marks)) {
        throw UsageError{"which key? Keys: " + KeyList() + " (or 0 to 11)."};
    }
}

std::string MarksTitle(const ScalePosition& marks) {
    return OrdinalPosition(marks.Position()) + " position: " + KeyName(marks.Key()) + " " +
           marks.ScaleOf().name + " (each note's scale degree after its colon)";
}

int PrintChart(const Harp& harp, const Options& options) {
    std::optional<ScalePosition> marks;
    if (options.position || options.scale) {
        marks.emplace(harp.key, options.position.value_or(1),
                      options.scale != nullptr ? *options.scale : Scales().front());
    }
    const ScalePosition* marksOrNull = marks ? &*marks : nullptr;
    if (options.json) {
        std::cout << ChartAsJson(harp, marksOrNull);
        return 0;
    }
    const ChartTable table =
        TuningChart(harp.tuning, harp.key).Table(MarkedNoteText(harp.key, marksOrNull));
    if (options.tsv) {
        std::cout << ChartAsTsv(table);
    } else {
        std::cout << ChartAsTable(table, harp.Title() +
                                             (marks ? "\n" + MarksTitle(*marks) : std::string()));
    }
    return 0;
}

int PrintPlaces(const Harp& harp, const std::string& noteText) {
    const WrittenNote note = NoteWritten(noteText);
    const std::vector<HoleNote> ways =
        note.midi ? WaysToPlay(harp, *note.midi) : WaysToPlayPitchClass(harp, note.pitchClass);
    const std::string name =
        note.midi ? harp.NameOfPitch(*note.midi) : harp.NameOfPitchClass(note.pitchClass);
    if (ways.empty()) {
        std::cerr << "notechart: a " << harp.Title() << " cannot play " << name << "; "
                  << RangeText(harp) << ".\n";
        return kUnplayable;
    }
    std::cout << name << " on a " << harp.Title() << ":\n" << PlacesAsText(harp, ways);
    return 0;
}

int PrintTablature(const Harp& harp, const std::string& melody) {
    std::vector<WrittenNote> notes;
    for (const std::string& word : MelodyWords(melody)) {
        notes.push_back(NoteWritten(word));
    }
    if (notes.empty()) {
        throw UsageError{"--tab wants notes, as \"C4 D4 E4\"."};
    }
    const TablatureText tab = MelodyAsTablature(harp, MelodyPitches(harp, notes));
    std::cout << tab.text;
    if (tab.unplayable.empty()) {
        return 0;
    }
    std::cerr << "notechart: a " << harp.Title() << " cannot play";
    for (const std::string& name : tab.unplayable) {
        std::cerr << " " << name;
    }
    std::cerr << " (marked ?); " << RangeText(harp) << ".\n";
    return kUnplayable;
}

int PrintList(const Options& options) {
    if (options.listTunings) {
        for (const Tuning& tuning : Tunings()) {
            std::cout << tuning.Name() << ": " << tuning.Summary() << "\n";
        }
    }
    if (options.listScales) {
        for (const Scale& scale : Scales()) {
            std::cout << scale.name << ":";
            for (const auto& degree : scale.degrees) {
                std::cout << " " << degree.second;
            }
            std::cout << "\n";
        }
    }
    return 0;
}

int Run(const std::vector<std::string>& args) {
    const Options options = ParseOptions(args);
    if (options.listTunings || options.listScales) {
        return PrintList(options);
    }
    CheckCombination(options);
    if (!options.key) {
        ChartTable chart;
        WriteFixedLabels(chart.Writer());
        std::cout << ChartAsTsv(chart);
        return 0;
    }
    const Harp harp{*options.tuning, KeyWritten(*options.key)};
    if (options.png) {
        if (!SaveChartWindowPicture(harp.key, *options.png)) {
            std::cerr << "notechart: cannot write the picture to " << *options.png << "\n";
            return 1;
        }
        return 0;
    }
    if (options.find) {
        return PrintPlaces(harp, *options.find);
    }
    if (options.tab) {
        return PrintTablature(harp, *options.tab);
    }
    return PrintChart(harp, options);
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        }
    }
    int status = 0;
    try {
        status = Run(args);
    } catch (const UsageError& error) {
        std::cerr << "notechart: " << error.message << "\n";
        return kUsageError;
    } catch (const velbrin::Exception& error) {
        std::cerr << "notechart: " << velbrin::AnsiToUtf8(error.Message()) << "\n";
        return 1;
    }
    return std::cout.flush() ? status : 1;
}
