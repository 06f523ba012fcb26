// Reading a windowed control from a form resource: its children, and the
// tab order they recorded.

#include "TWinControl.h"

#include "WinControlInternals.h"
#include "core/TList.h"
#include "runtime/Messages.h"

#include <vector>

namespace velbrin {

using namespace wincontrolinternals;

void TWinControl::ReadOwnState(TReader& reader) {
    DisableAlign();
    try {
        TControl::ReadOwnState(reader);
    } catch (...) {
        EnableAlign();
        throw;
    }
    EnableAlign();
    ApplyPendingTabOrder();
    if (Parent() != nullptr) {
        SendToSelf(CM_PARENT_CTL3D_CHANGED);
    }
    UpdateShowingState();
}

// Each windowed child with a recorded position in range takes it; the others
// fill the remaining places in their present order.
void TWinControl::ApplyPendingTabOrder() {
    const int count = CountOf(tabList_);
    if (count == 0) {
        return;
    }
    std::vector<TWinControl*> placed(static_cast<std::size_t>(count), nullptr);
    std::vector<TWinControl*> rest;
    for (int i = 0; i < count; ++i) {
        TWinControl* child = WinControlAt(tabList_, i);
        const int wanted = child->pendingTabOrder_;
        if (wanted >= 0 && wanted < count && placed[static_cast<std::size_t>(wanted)] == nullptr) {
            placed[static_cast<std::size_t>(wanted)] = child;
        } else {
            rest.push_back(child);
        }
        child->pendingTabOrder_ = -1;
    }
    auto next = rest.begin();
    for (int i = 0; i < count; ++i) {
        if (placed[static_cast<std::size_t>(i)] == nullptr) {
            placed[static_cast<std::size_t>(i)] = *next++;
        }
        tabList_->Put(i, placed[static_cast<std::size_t>(i)]);
    }
}

} // namespace velbrin
