// A windowed control's children: the lists of windowed and non-windowed
// children, finding a child at a point, notices to all of them, and
// alignment.

#include "TWinControl.h"

#include "WinControlInternals.h"
#include "core/TList.h"
#include "runtime/Exceptions.h"
#include "runtime/Messages.h"

#include <algorithm>
#include <vector>

namespace velbrin {

using namespace wincontrolinternals;

namespace {

void AddTo(TList*& list, void* item) {
    if (list == nullptr) {
        list = new TList;
    }
    list->Add(item);
}

void RemoveFrom(TList*& list, void* item) {
    if (list == nullptr) {
        return;
    }
    list->Remove(item);
    if (list->Count() == 0) {
        delete list;
        list = nullptr;
    }
}

} // namespace

void TWinControl::AddChildControl(TControl* child) {
    SendToSelf(CM_CONTROL_LIST_CHANGE, reinterpret_cast<WPARAM>(child), 1);
    auto* windowed = dynamic_cast<TWinControl*>(child);
    if (windowed != nullptr) {
        AddTo(windowedChildren_, windowed);
        AddTo(tabList_, windowed);
    } else {
        AddTo(graphicChildren_, child);
    }
    child->SetParentField(this);
    if (!child->HasControlState(csReadingState)) {
        child->SendToSelf(CM_PARENT_COLOR_CHANGED);
        child->SendToSelf(CM_PARENT_FONT_CHANGED);
        child->SendToSelf(CM_PARENT_SHOW_HINT_CHANGED);
        if (windowed != nullptr) {
            windowed->SendToSelf(CM_PARENT_CTL3D_CHANGED);
            windowed->UpdateShowingState();
        } else if (handle_ != nullptr) {
            child->Invalidate();
        }
    }
    Realign(child);
}

void TWinControl::RemoveChildControl(TControl* child) {
    auto* windowed = dynamic_cast<TWinControl*>(child);
    if (windowed != nullptr) {
        if (TWinControl* form = ParentForm()) {
            form->DefocusControl(windowed, true);
        }
        windowed->DropWindow();
        RemoveFrom(tabList_, windowed);
        RemoveFrom(windowedChildren_, windowed);
    } else {
        child->InvalidateControl(child->Visible(), false);
        RemoveFrom(graphicChildren_, child);
    }
    child->SetParentField(nullptr);
    SendToSelf(CM_CONTROL_LIST_CHANGE, reinterpret_cast<WPARAM>(child), 0);
    Realign();
}

int TWinControl::ControlCount() const {
    return CountOf(graphicChildren_) + CountOf(windowedChildren_);
}

TControl* TWinControl::Controls(int index) const {
    const int graphicCount = CountOf(graphicChildren_);
    if (index < graphicCount) {
        return ControlAt(graphicChildren_, index);
    }
    if (windowedChildren_ == nullptr) {
        throw ResourceError<EListError>(SListIndexError, {index});
    }
    return ControlAt(windowedChildren_, index - graphicCount);
}

bool TWinControl::ContainsControl(const TControl* control) const {
    for (const TControl* c = control; c != nullptr; c = c->Parent()) {
        if (c == this) {
            return true;
        }
    }
    return false;
}

void TWinControl::Broadcast(TMessage& message) {
    for (int i = 0; i < ControlCount(); ++i) {
        Controls(i)->MessageRouter(message);
        if (message.Result != 0) {
            return;
        }
    }
}

void TWinControl::CMBroadcastToChildren(TMessage& message) {
    Broadcast(message);
}

void TWinControl::CMControlListChange(TMessage& message) {
    if (Parent() != nullptr) {
        message.Result = Parent()->SendToSelf(message.Msg, message.WParam, message.LParam);
    }
}

void TWinControl::CMChildKey(TMessage& message) {
    if (Parent() != nullptr) {
        message.Result = Parent()->SendToSelf(message.Msg, message.WParam, message.LParam);
    }
}

TControl* TWinControl::ChildAtPoint(POINT point, bool allowDisabled) {
    for (int i = CountOf(graphicChildren_) - 1; i >= 0; --i) {
        TControl* child = ControlAt(graphicChildren_, i);
        const POINT local{point.x - child->Left(), point.y - child->Top()};
        const RECT client = child->ClientRect();
        if (local.x < client.left || local.x >= client.right || local.y < client.top ||
            local.y >= client.bottom) {
            continue;
        }
        const bool designHit = HasState(csDesigning) && child->ShowsNow();
        if (designHit || (child->Visible() && (child->Enabled() || allowDisabled) &&
                          child->SendToSelf(CM_HIT_TEST, 0, PointToLParam(local)) != 0)) {
            return child;
        }
    }
    return nullptr;
}

TControl* TWinControl::ControlAtScreenPoint(POINT screenPoint, bool allowDisabled) {
    HWND window = WindowFromPoint(screenPoint);
    while (window != nullptr && FindControl(window) == nullptr) {
        window = GetParent(window);
    }
    TWinControl* control = FindControl(window);
    if (control == nullptr) {
        return nullptr;
    }
    TControl* child = control->ChildAtPoint(control->ScreenToClient(screenPoint), allowDisabled);
    return child != nullptr ? child : control;
}

void TWinControl::DisableAlign() {
    ++alignLevel_;
}

void TWinControl::EnableAlign() {
    --alignLevel_;
    if (alignLevel_ == 0 && HasControlState(csAlignmentNeeded)) {
        Realign();
    }
}

void TWinControl::Realign(TControl* moved) {
    if (handle_ == nullptr || HasState(csDestroying)) {
        return;
    }
    if (alignLevel_ != 0) {
        IncludeControlState(csAlignmentNeeded);
        return;
    }
    DisableAlign();
    try {
        RECT rect = GetClientRect();
        ArrangeChildren(moved, rect);
    } catch (...) {
        ExcludeControlState(csAlignmentNeeded);
        EnableAlign();
        throw;
    }
    ExcludeControlState(csAlignmentNeeded);
    EnableAlign();
}

void TWinControl::ArrangeChildren(TControl* moved, RECT& rect) {
    bool anyAligned = false;
    for (int i = 0; i < ControlCount() && !anyAligned; ++i) {
        anyAligned = Controls(i)->Align() != alNone;
    }
    if (!anyAligned) {
        return;
    }
    for (TAlign pass : {alTop, alBottom, alLeft, alRight, alClient}) {
        std::vector<TControl*> aligned;
        for (int i = 0; i < ControlCount(); ++i) {
            TControl* child = Controls(i);
            if (child->Align() == pass && child->ShowsNow() && child != moved) {
                aligned.push_back(child);
            }
        }
        const auto before = [pass](const TControl* a, const TControl* b) {
            switch (pass) {
            case alTop:
                return a->Top() < b->Top();
            case alBottom:
                return a->Top() + a->Height() > b->Top() + b->Height();
            case alLeft:
                return a->Left() < b->Left();
            case alRight:
                return a->Left() + a->Width() > b->Left() + b->Width();
            default:
                return false;
            }
        };
        std::stable_sort(aligned.begin(), aligned.end(), before);
        if (moved != nullptr && moved->Align() == pass && moved->ShowsNow() &&
            moved->Parent() == this) {
            aligned.insert(aligned.begin(), moved);
        }
        for (TControl* child : aligned) {
            int width = rect.right - rect.left;
            int height = rect.bottom - rect.top;
            if (width < 0 || pass == alLeft || pass == alRight) {
                width = child->Width();
            }
            if (height < 0 || pass == alTop || pass == alBottom) {
                height = child->Height();
            }
            switch (pass) {
            case alTop:
                child->SetBounds(rect.left, rect.top, width, height);
                rect.top += child->Height();
                break;
            case alBottom:
                child->SetBounds(rect.left, rect.bottom - height, width, height);
                rect.bottom -= child->Height();
                break;
            case alLeft:
                child->SetBounds(rect.left, rect.top, width, height);
                rect.left += child->Width();
                break;
            case alRight:
                child->SetBounds(rect.right - width, rect.top, width, height);
                rect.right -= child->Width();
                break;
            default:
                if (rect.right > rect.left && rect.bottom > rect.top) {
                    child->SetBounds(rect.left, rect.top, width, height);
                }
                break;
            }
        }
    }
}

} // namespace velbrin
