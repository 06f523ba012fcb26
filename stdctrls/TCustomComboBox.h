#pragma once
// A combo box over the system "COMBOBOX" class. Its items live in the window
// (Items sends a combo box message for every operation); its notifications,
// reflected by the parent, become OnClick, OnChange and OnDropDown; its edit
// field and, for csSimple, its list are subclassed, so that their keys and
// mouse go through the control's own events.

#include "controls/TWinControl.h"

#include <windows.h>

#include <cstdint>

namespace velbrin {

class TCanvas;
class TComboBoxStrings;
class TControlCanvas;
class TStringList;
class TStrings;

enum TComboBoxStyle : std::uint8_t {
    csDropDown,
    csSimple,
    csDropDownList,
    csOwnerDrawFixed,
    csOwnerDrawVariable
};
const TypeInfo& TypeInfoOf(TComboBoxStyle*);

// How an owner-drawn item is to look: the ODS_ bits of Windows.
using TOwnerDrawState = std::uint16_t;
inline constexpr TOwnerDrawState odSelected = ODS_SELECTED;
inline constexpr TOwnerDrawState odGrayed = ODS_GRAYED;
inline constexpr TOwnerDrawState odDisabled = ODS_DISABLED;
inline constexpr TOwnerDrawState odChecked = ODS_CHECKED;
inline constexpr TOwnerDrawState odFocused = ODS_FOCUS;
inline constexpr TOwnerDrawState odComboBoxEdit = ODS_COMBOBOXEDIT;

// Control, item index, its rectangle and its state.
using TDrawItemEvent = TEvent<TWinControl*, int, RECT, TOwnerDrawState>;
// Control, item index and its height, which the handler may change.
using TMeasureItemEvent = TEvent<TWinControl*, int, int&>;

class TCustomComboBox : public TWinControl {
    VELBRIN_CLASS(TCustomComboBox, TWinControl)

public:
    explicit TCustomComboBox(TComponent* owner);
    ~TCustomComboBox() override;

    // TWinControl.
    void HandleWindowMessage(TMessage& message) override;
    void PrepareWindowSpec(TCreateParams& params) override;
    void BuildWindow() override;
    void TearDownWindow() override;

    // Virtual operations added to TWinControl's, in slot order.
    // Every message of a subclassed child window: `child` is that window,
    // `prior` the procedure it had before.
    virtual void ComboMessageEntry(TMessage& message, HWND child, WNDPROC prior);
    // Paints the item on Canvas: OnDrawItem, else the item's text on the
    // brush's colour.
    virtual void DrawItem(int index, const RECT& rect, TOwnerDrawState state);
    virtual void MeasureItem(int index, int& height);
    virtual void Change();
    virtual void DropDown();
    virtual void SetStyle(TComboBoxStyle style);

    TStrings* Items() const;
    void SetItems(TStrings* items);
    // Draws only while an owner-drawn item is being painted.
    TCanvas* Canvas() const;
    // The selected item as the window reports it: -1 for none.
    int ItemIndex();
    bool DroppedDown();
    void SetDroppedDown(bool value);
    bool Sorted() const { return sorted_; }
    void SetSorted(bool value);
    TComboBoxStyle Style() const { return style_; }
    bool IsOwnerDrawn() const;
    // The stored height for the owner-drawn styles; the list's row height
    // the window reports for the others.
    int ItemHeight();
    void SetItemHeight(int value);
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int value);
    int DropDownCount() const { return dropDownCount_; }
    void SetDropDownCount(int value) { dropDownCount_ = value; }
    HWND EditHandle() const { return editHandle_; }
    HWND ListHandle() const { return listHandle_; }

    TNotifyEvent OnChange;
    TNotifyEvent OnDropDown;
    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

private:
    friend LRESULT CALLBACK ComboChildEntry(HWND, UINT, WPARAM, LPARAM);

    void EditMessageEntry(TMessage& message);
    void ListMessageEntry(TMessage& message);
    void RouteChildMessage(TMessage& message, HWND child, WNDPROC prior);
    // Runs `work`; what it raises goes to the application's error display.
    template <class Work> void ReportingErrors(Work&& work);
    // Enter and Escape close the open list and go no further.
    bool CharClosesList(const TMessage& message);
    void SubclassChildren();
    // The window holds the list's height too: enough for DropDownCount rows.
    void SizeDropDownList();
    void FocusNotified(bool focused);
    void SelectionChanged();

    void WMCreate(TMessage& message);
    void WMEraseBkgnd(TMessage& message);
    void WMItemDefault(TMessage& message);
    void WMGetDlgCode(TMessage& message);
    void WMLButtonDown(TMessage& message);
    void CMCancelMode(TMessage& message);
    void CMCtl3DChanged(TMessage& message);
    void CNCommand(TMessage& message);
    void CNDrawItem(TMessage& message);
    void CNMeasureItem(TMessage& message);

    TComboBoxStrings* items_;
    TControlCanvas* canvas_;
    bool sorted_ = false;
    TComboBoxStyle style_ = csDropDown;
    int itemHeight_ = 16;
    int maxLength_ = 0;
    int dropDownCount_ = 8;
    HWND editHandle_ = nullptr;
    HWND listHandle_ = nullptr;
    WNDPROC priorEditProc_ = nullptr;
    WNDPROC priorListProc_ = nullptr;
    bool isFocused_ = false;
    bool focusChanged_ = false;
    // The items while the window is being made again.
    TStringList* saveItems_ = nullptr;
};

} // namespace velbrin
