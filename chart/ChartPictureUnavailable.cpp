// The Windows build draws no picture of the chart window: the window is drawn
// there by the system, and the platform's headless screen is not built.

#include "ChartPicture.h"

namespace velbrin::chart {

bool ChartWindowPicturesAvailable() {
    return false;
}

bool SaveChartWindowPicture(int, const std::string&) {
    return false;
}

} // namespace velbrin::chart
