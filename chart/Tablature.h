#pragma once
// Where a note is played on a harmonica, and a melody written as tablature.
//
// Tablature writes a blow note as its hole number ("4") and a draw note with
// a minus ("-4"); each semitone of bend adds an apostrophe ("-3''", "10'");
// an overblow or overdraw adds "o" to the breath it is played on ("6o",
// "-7o").

#include "Harp.h"
#include "NoteSpelling.h"

#include <optional>
#include <string>
#include <vector>

namespace velbrin::chart {

std::string TabOf(const HoleNote& note);
// "hole 3 draw, bent 2 semitones", "hole 6 overblow".
std::string DescriptionOf(const HoleNote& note);

// Every way of playing the pitch `midi`, holes from 1, plain notes before
// bends before overbends within a hole.
std::vector<HoleNote> WaysToPlay(const Harp& harp, int midi);
// Every way of playing any note of the pitch class, lowest pitch first.
std::vector<HoleNote> WaysToPlayPitchClass(const Harp& harp, int pitchClass);
// The lowest and highest pitch of the harmonica.
std::pair<int, int> RangeOf(const Harp& harp);

// The pitches of a melody. A note written without an octave is taken in the
// octave nearest the note before it (the first nearest hole 4 blow); a
// tritone away it goes up.
std::vector<int> MelodyPitches(const Harp& harp, const std::vector<WrittenNote>& notes);

// A way to play each pitch, nullopt where the harmonica has none. Among all
// ways it takes the easiest: each semitone of bend costs as much as a move of
// two holes, a bent note one more, an overbend as much as six holes; a move
// costs one per hole.
std::vector<std::optional<HoleNote>> Tablature(const Harp& harp, const std::vector<int>& pitches);

} // namespace velbrin::chart
