#include "Tablature.h"

#include "NoteChart.h"

#include <algorithm>
#include <limits>

namespace velbrin::chart {

namespace {

constexpr int kHoleFour = 3;
constexpr int kTritone = 6;
constexpr int kOverbendEffort = 6;

// What a way of playing costs the player, moves aside.
int Effort(const HoleNote& note) {
    switch (note.technique) {
    case Technique::Bend:
        return 2 * note.depth + 1;
    case Technique::Overbend:
        return kOverbendEffort;
    case Technique::Plain:
        break;
    }
    return 0;
}

std::vector<HoleNote> AllWays(const Harp& harp) {
    std::vector<HoleNote> ways;
    for (int hole = 0; hole < kHoleCount; ++hole) {
        for (const HoleNote& note : harp.tuning.NotesOfHole(hole)) {
            ways.push_back(note);
        }
    }
    return ways;
}

// The easiest ways through pitches [first, last), each of which has one.
void ChooseEasiest(const std::vector<std::vector<HoleNote>>& ways, std::size_t first,
                   std::size_t last, std::vector<std::optional<HoleNote>>& chosen) {
    // cost[i][w]: the least effort to reach way w of pitch first + i;
    // from[i][w]: the way of the pitch before that it came from.
    std::vector<std::vector<int>> cost(last - first);
    std::vector<std::vector<std::size_t>> from(last - first);
    for (std::size_t i = 0; i < last - first; ++i) {
        const auto& here = ways[first + i];
        cost[i].assign(here.size(), std::numeric_limits<int>::max());
        from[i].assign(here.size(), 0);
        for (std::size_t w = 0; w < here.size(); ++w) {
            if (i == 0) {
                cost[i][w] = Effort(here[w]);
                continue;
            }
            const auto& before = ways[first + i - 1];
            for (std::size_t b = 0; b < before.size(); ++b) {
                const int total =
                    cost[i - 1][b] + std::abs(before[b].hole - here[w].hole) + Effort(here[w]);
                if (total < cost[i][w]) {
                    cost[i][w] = total;
                    from[i][w] = b;
                }
            }
        }
    }
    std::size_t w = static_cast<std::size_t>(
        std::min_element(cost.back().begin(), cost.back().end()) - cost.back().begin());
    for (std::size_t i = last - first; i-- > 0;) {
        chosen[first + i] = ways[first + i][w];
        w = from[i][w];
    }
}

} // namespace

std::string TabOf(const HoleNote& note) {
    std::string tab = note.breath == Breath::Draw ? "-" : "";
    tab += std::to_string(note.hole + 1);
    if (note.technique == Technique::Bend) {
        tab.append(static_cast<std::size_t>(note.depth), '\'');
    } else if (note.technique == Technique::Overbend) {
        tab += 'o';
    }
    return tab;
}

std::string DescriptionOf(const HoleNote& note) {
    const std::string hole = "hole " + std::to_string(note.hole + 1) + " ";
    const std::string breath = note.breath == Breath::Blow ? "blow" : "draw";
    switch (note.technique) {
    case Technique::Bend:
        return hole + breath + ", bent " + std::to_string(note.depth) +
               (note.depth == 1 ? " semitone" : " semitones");
    case Technique::Overbend:
        return hole + (note.breath == Breath::Blow ? "overblow" : "overdraw");
    case Technique::Plain:
        break;
    }
    return hole + breath;
}

std::vector<HoleNote> WaysToPlay(const Harp& harp, int midi) {
    std::vector<HoleNote> ways = AllWays(harp);
    std::erase_if(ways, [&](const HoleNote& note) { return harp.MidiOf(note) != midi; });
    return ways;
}

std::vector<HoleNote> WaysToPlayPitchClass(const Harp& harp, int pitchClass) {
    std::vector<HoleNote> ways = AllWays(harp);
    std::erase_if(
        ways, [&](const HoleNote& note) { return PitchClass(harp.MidiOf(note)) != pitchClass; });
    std::stable_sort(ways.begin(), ways.end(), [&](const HoleNote& a, const HoleNote& b) {
        return harp.MidiOf(a) < harp.MidiOf(b);
    });
    return ways;
}

std::pair<int, int> RangeOf(const Harp& harp) {
    const std::vector<HoleNote> ways = AllWays(harp);
    auto [lowest, highest] =
        std::minmax_element(ways.begin(), ways.end(), [&](const HoleNote& a, const HoleNote& b) {
            return harp.MidiOf(a) < harp.MidiOf(b);
        });
    return {harp.MidiOf(*lowest), harp.MidiOf(*highest)};
}

std::vector<int> MelodyPitches(const Harp& harp, const std::vector<WrittenNote>& notes) {
    std::vector<int> pitches;
    int reference = MidiNumber(harp.key, harp.tuning.Blow(kHoleFour));
    for (const WrittenNote& note : notes) {
        if (note.midi) {
            reference = *note.midi;
        } else {
            const int up = PitchClass(note.pitchClass - reference);
            reference += up <= kTritone ? up : up - 12;
        }
        pitches.push_back(reference);
    }
    return pitches;
}

std::vector<std::optional<HoleNote>> Tablature(const Harp& harp, const std::vector<int>& pitches) {
    std::vector<std::vector<HoleNote>> ways;
    for (int pitch : pitches) {
        ways.push_back(WaysToPlay(harp, pitch));
    }
    std::vector<std::optional<HoleNote>> chosen(pitches.size());
    // A note the harmonica cannot play breaks the melody in runs that are
    // chosen each on its own.
    std::size_t first = 0;
    while (first < ways.size()) {
        if (ways[first].empty()) {
            ++first;
            continue;
        }
        std::size_t last = first;
        while (last < ways.size() && !ways[last].empty()) {
            ++last;
        }
        ChooseEasiest(ways, first, last, chosen);
        first = last;
    }
    return chosen;
}

} // namespace velbrin::chart
