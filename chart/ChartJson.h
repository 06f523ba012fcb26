#pragma once
// The chart of a harmonica as JSON, for scripts:
//
//   {"tuning": "Richter", "key": "C",
//    "position": {"number": 2, "key": "G", "scale": "blues"},   (when marked)
//    "cells": [["↑", "", ...], ...],          one array of twelve texts per row
//    "holes": [{"hole": 1, "blow": NOTE, "draw": NOTE, "bends": [NOTE...],
//               "overblow" or "overdraw": NOTE}, ...]}
//
// where a NOTE is {"tab": "-3''", "note": "A-", "pitchClass": 8, "octave": 4,
// "midi": 68}, with "degree" when the marked scale holds it. Texts are UTF-8.

#include "Harp.h"
#include "ScalePosition.h"

#include <string>

namespace velbrin::chart {

// `marks` may be null.
std::string ChartAsJson(const Harp& harp, const ScalePosition* marks);

} // namespace velbrin::chart
