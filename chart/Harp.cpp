#include "Harp.h"

#include "NoteChart.h"

namespace velbrin::chart {

std::string Harp::NameOf(const HoleNote& note) const {
    return NoteName(key, note.semitone);
}

std::string Harp::NameOfPitchClass(int pitchClass) const {
    return NoteName(key, pitchClass - MidiNumber(key, 0));
}

std::string Harp::Title() const {
    return tuning.Name() + " harmonica in " + KeyName(key);
}

} // namespace velbrin::chart
