#pragma once
// A windowed control whose children may extend beyond its client area: two
// scroll-bar descriptions whose ranges follow the children when AutoScroll is
// on, and positions that move the children.

#include "controls/TWinControl.h"
#include "core/TPersistent.h"

#include <cstdint>

namespace velbrin {

class TScrollingWinControl;

enum TScrollBarKind : std::uint8_t { sbHorizontal, sbVertical };

class TControlScrollBar : public TPersistent {
    VELBRIN_CLASS(TControlScrollBar, TPersistent)

public:
    TControlScrollBar(TScrollingWinControl* control, TScrollBarKind kind);

    void Assign(TPersistent* source) override;

    TScrollBarKind Kind() const { return kind_; }
    std::int16_t Increment() const { return increment_; }
    void SetIncrement(std::int16_t value) { increment_ = value; }
    int Position() const { return position_; }
    // Scrolls the control's children by the change.
    void SetPosition(int value);
    int Range() const { return range_; }
    // A range set by hand is kept when the children move.
    void SetRange(int value);
    std::int16_t Margin() const { return margin_; }
    void SetMargin(std::int16_t value) { margin_ = value; }
    bool Visible() const { return visible_; }
    void SetVisible(bool value) { visible_ = value; }
    bool Tracking() const { return tracking_; }
    void SetTracking(bool value) { tracking_ = value; }
    // The largest position the range allows.
    int MaxPosition() const;
    // Whether the bar shows now.
    bool Showing() const { return showing_; }

    void ScaleBy(int multiplier, int divider);
    // Shows or hides the bar and sets its range and page for the control's
    // client size `clientSize`.
    void Update(int clientSize);

private:
    friend class TScrollingWinControl;

    void SetRangeFromChildren(int value);

    TScrollingWinControl* control_;
    std::int16_t increment_ = 8;
    int position_ = 0;
    int range_ = 0;
    int calcRange_ = 0;
    TScrollBarKind kind_;
    std::int16_t margin_ = 0;
    bool visible_ = true;
    bool tracking_ = false;
    bool scaled_ = false;
    bool showing_ = false;
    int page_ = 0;
};

class TScrollingWinControl : public TWinControl {
    VELBRIN_CLASS(TScrollingWinControl, TWinControl)

public:
    explicit TScrollingWinControl(TComponent* owner);
    ~TScrollingWinControl() override;

    void AfterLoad() override;
    void ArrangeChildren(TControl* moved, RECT& rect) override;
    void BuildWindow() override;

    TControlScrollBar* HorzScrollBar() const { return horzScrollBar_; }
    TControlScrollBar* VertScrollBar() const { return vertScrollBar_; }
    // Both take the values of `bar`; a null one raises the assignment error.
    void SetHorzScrollBar(TControlScrollBar* bar) { horzScrollBar_->Assign(bar); }
    void SetVertScrollBar(TControlScrollBar* bar) { vertScrollBar_->Assign(bar); }
    bool AutoScroll() const { return autoScroll_; }
    void SetAutoScroll(bool value);
    bool RangeSetByHand() const { return rangeSetByHand_; }
    void NoteRangeSetByHand() { rangeSetByHand_ = true; }

    // Recomputes the ranges from the children (with AutoScroll) and updates
    // both bars.
    void UpdateScrollBars();
    // How far the visible children reach with no scrolling, margins
    // included: the ranges that AutoScroll gives the bars.
    SIZE ChildrenExtent();
    // Scrolls so that `control`, a descendant, lies inside the client area.
    void ScrollInView(TControl* control);
    void ScaleScrollBars(int multiplier, int divider);

private:
    void WMSize(TMessage& message);
    void WMScroll(TMessage& message);

    TControlScrollBar* horzScrollBar_;
    TControlScrollBar* vertScrollBar_;
    bool autoScroll_ = true;
    bool updatingScrollBars_ = false;
    bool rangeSetByHand_ = false;
};

} // namespace velbrin
