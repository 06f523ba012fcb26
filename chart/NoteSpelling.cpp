#include "NoteSpelling.h"

#include "NoteChart.h"
#include "NoteTables.h"

#include <cctype>

namespace velbrin::chart {

namespace {

// Key index 0 is G3, MIDI 55.
constexpr int kLowestKeyMidi = 55;
// Key index 0 is G, pitch class 7.
constexpr int kFirstKeyPitchClass = 7;

std::optional<int> LetterPitchClass(char letter) {
    switch (std::toupper(static_cast<unsigned char>(letter))) {
    case 'C':
        return 0;
    case 'D':
        return 2;
    case 'E':
        return 4;
    case 'F':
        return 5;
    case 'G':
        return 7;
    case 'A':
        return 9;
    case 'B':
        return 11;
    default:
        return std::nullopt;
    }
}

int SignOffset(char sign) {
    switch (sign) {
    case '+':
    case '#':
        return 1;
    case '-':
    case 'b':
        return -1;
    default:
        return 0;
    }
}

std::optional<int> KeyIndex(std::string_view text) {
    if (text.empty() || text.size() > 2 ||
        text.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    const int index = std::stoi(std::string(text));
    return index < kKeyCount ? std::optional<int>(index) : std::nullopt;
}

} // namespace

std::optional<WrittenNote> ParseNote(std::string_view text) {
    if (text.empty()) {
        return std::nullopt;
    }
    const std::optional<int> letter = LetterPitchClass(text[0]);
    if (!letter) {
        return std::nullopt;
    }
    std::size_t next = 1;
    int sign = 0;
    if (next < text.size() && SignOffset(text[next]) != 0) {
        sign = SignOffset(text[next]);
        ++next;
    }
    WrittenNote note{PitchClass(*letter + sign), std::nullopt};
    if (next == text.size()) {
        return note;
    }
    if (next + 1 != text.size() || !std::isdigit(static_cast<unsigned char>(text[next]))) {
        return std::nullopt;
    }
    // The octave belongs to the letter: Cb4 is B3, B#3 is C4.
    const int octave = text[next] - '0';
    note.midi = (octave + 1) * 12 + *letter + sign;
    return note;
}

std::vector<std::string> MelodyWords(std::string_view melody) {
    std::vector<std::string> words;
    std::string word;
    for (char c : melody) {
        if (c == ' ' || c == ',' || c == '\t' || c == '\n') {
            if (!word.empty()) {
                words.push_back(std::move(word));
                word.clear();
            }
        } else {
            word += c;
        }
    }
    if (!word.empty()) {
        words.push_back(std::move(word));
    }
    return words;
}

std::optional<int> ParseKey(std::string_view text) {
    if (std::optional<int> index = KeyIndex(text)) {
        return index;
    }
    const std::optional<WrittenNote> note = ParseNote(text);
    if (!note || note->midi) {
        return std::nullopt;
    }
    return KeyOfPitchClass(note->pitchClass);
}

std::string AcceptedNoteSpellings() {
    return "a letter A to G, then + or # for a sharp or - or b for a flat (F+, F#, B-, Bb), "
           "then an octave where one is wanted (C4 is middle C); letter case is ignored";
}

int MidiNumber(int key, int semitone) {
    return kLowestKeyMidi + key + semitone;
}

int OctaveOf(int midi) {
    return midi / 12 - 1;
}

std::string NameWithOctave(int key, int semitone) {
    return NoteName(key, semitone) + std::to_string(OctaveOf(MidiNumber(key, semitone)));
}

std::string KeyName(int key) {
    return KeyNames.at(key);
}

int KeyOfPitchClass(int pitchClass) {
    return PitchClass(pitchClass - kFirstKeyPitchClass);
}

} // namespace velbrin::chart
