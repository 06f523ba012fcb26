// The combo box read from a form resource and driven as a user drives it:
// the mouse and the keys pick items, typing edits the text, and the events
// come with the selection already in place.

#include "stdctrls/TComboBox.h"

#include "core/ClassTables.h"
#include "core/TStringList.h"
#include "forms/Forms.h"
#include "forms/TApplication.h"
#include "forms/TForm.h"
#include "forms/tests/LibraryTest.h"
#include "graphics/TBrush.h"
#include "graphics/TCanvas.h"
#include "runtime/Exceptions.h"
#include "runtime/Messages.h"

#include <platform/Testing.h>
#include <platform/UserTesting.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace velbrin::testing {
namespace {

class TComboBoxTestForm : public TForm {
    VELBRIN_CLASS(TComboBoxTestForm, TForm)

public:
    explicit TComboBoxTestForm(TComponent* owner) : TForm(owner) {}
    TComboBox* ComboBox1 = nullptr;
    TComboBox* Picker = nullptr;
    TComboBox* Named = nullptr;

    // Each event with the item index and the text it saw.
    std::vector<std::string> log;
    bool freeOnClick = false;

    void Note(const std::string& event, TComboBox* box) {
        log.push_back(event + " " + std::to_string(box->ItemIndex()) + " " + box->Text());
    }
    void ComboBox1Change(TObject*) { Note("change", ComboBox1); }
    void ComboBox1Click(TObject*) {
        Note("click", ComboBox1);
        if (freeOnClick) {
            delete ComboBox1;
            ComboBox1 = nullptr;
        }
    }
    void BoxDropDown(TObject* sender) {
        log.push_back("drop " + static_cast<TComponent*>(sender)->Name());
    }
    void BoxDrawItem(TWinControl*, int index, RECT rect, TOwnerDrawState state) {
        log.push_back(
            "draw " + std::to_string(index) + " " + std::to_string(rect.bottom - rect.top) +
            ((state & odSelected) ? " selected" : "") + ((state & odComboBoxEdit) ? " field" : ""));
    }
    void BoxMeasureItem(TWinControl*, int index, int& height) { height = 14 + index; }
    void BoxDblClick(TObject*) { log.push_back("double click"); }
    void BoxKeyDown(TObject*, WORD&, TShiftState) {
        throw ResourceError<EOutOfResources>(SInsertLineError);
    }
};

VELBRIN_DEFINE_CLASS_TABLES(TComboBoxTestForm, TForm, "StdCtrlsTests") {
    cls.Field<&TComboBoxTestForm::ComboBox1>("ComboBox1");
    cls.Field<&TComboBoxTestForm::Picker>("Picker");
    cls.Field<&TComboBoxTestForm::Named>("Named");
    cls.Method<&TComboBoxTestForm::ComboBox1Change>("ComboBox1Change");
    cls.Method<&TComboBoxTestForm::ComboBox1Click>("ComboBox1Click");
}

const char* const kKeys[] = {"G", "A-", "A", "B-", "B", "C", "D-", "D", "E-", "E", "F", "F+"};

class ComboBoxTest : public LibraryTest {
protected:
    void SetUp() override {
        LibraryTest::SetUp();
        Application->MakeForm(form);
        form->Show();
        Pump();
        combo = form->ComboBox1;
    }
    static POINT ButtonOf(TComboBox* box) { return {box->Width() - 10, box->Height() / 2}; }
    static HWND DroppedList() { return platform::FindVisibleTopLevel("ComboLBox"); }
    static int ListHeight(HWND list) {
        RECT r;
        GetWindowRect(list, &r);
        return r.bottom - r.top;
    }
    static POINT Row(TComboBox* box, int row) {
        return {20, row * box->ItemHeight() + box->ItemHeight() / 2};
    }
    static int DarkPixels(const platform::WindowImage& image, RECT area) {
        int dark = 0;
        for (LONG y = area.top; y < area.bottom; ++y) {
            for (LONG x = area.left; x < area.right; ++x) {
                COLORREF c = image.At(x, y);
                dark += GetRValue(c) + GetGValue(c) + GetBValue(c) < 250;
            }
        }
        return dark;
    }
    std::vector<std::string> Items() const {
        std::vector<std::string> items;
        for (int i = 0; i < combo->Items()->Count(); ++i) {
            items.push_back(combo->Items()->Get(i));
        }
        return items;
    }
    // The form with the drop-down list over it, as the screen shows them.
    void SaveScreen(const std::string& path) {
        RECT frame;
        GetWindowRect(form->Handle(), &frame);
        HDC screen = platform::CreateMemorySurfaceDC(frame.right - frame.left + 20,
                                                     frame.bottom - frame.top + 20, 0x808080);
        auto place = [&](HWND window) {
            RECT at;
            GetWindowRect(window, &at);
            platform::WindowImage image =
                platform::CaptureWindow(window, platform::WindowArea::WithFrame);
            for (int y = 0; y < image.height; ++y) {
                for (int x = 0; x < image.width; ++x) {
                    SetPixel(screen, at.left - frame.left + 10 + x, at.top - frame.top + 10 + y,
                             image.At(x, y));
                }
            }
        };
        place(form->Handle());
        if (HWND list = DroppedList()) {
            place(list);
        }
        EXPECT_TRUE(platform::SaveSurfacePng(screen, path));
        DeleteDC(screen);
    }

    TComboBoxTestForm* form = nullptr;
    TComboBox* combo = nullptr;
};

TEST_F(ComboBoxTest, ReadFromItsResourceItHoldsTheItemsWithNoSelection) {
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->Items()->Count(), 12);
    EXPECT_EQ(combo->Items()->Get(11), "F+");
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(combo->Text(), "");
    EXPECT_EQ(form->Named->Text(), "harp");
    EXPECT_EQ(form->Picker->Style(), csDropDownList);
    EXPECT_EQ(form->ActiveControl(), combo);
    // The window is the system's combo box under the control's own class.
    char name[32];
    GetClassNameA(combo->Handle(), name, sizeof name);
    EXPECT_EQ(std::string(name), "TComboBox");
    EXPECT_EQ(GetClassLongPtrA(combo->Handle(), GCL_STYLE),
              ULONG_PTR{CS_DBLCLKS | CS_VREDRAW | CS_HREDRAW});
    const auto style = static_cast<DWORD>(GetWindowLongA(combo->Handle(), GWL_STYLE));
    EXPECT_EQ(style & (CBS_HASSTRINGS | CBS_AUTOHSCROLL | 3),
              DWORD{CBS_HASSTRINGS | CBS_AUTOHSCROLL | CBS_DROPDOWN});
    EXPECT_EQ(GetDlgCtrlID(combo->EditHandle()), 1001);
    EXPECT_EQ(combo->ListHandle(), nullptr);
    EXPECT_EQ(SendMessageA(combo->EditHandle(), EM_GETMARGINS, 0, 0), 0) << "no margins";
    // The row height is the font's, whatever the resource stored.
    EXPECT_EQ(combo->ItemHeight(), 12);
    EXPECT_EQ(combo->Height(), 20) << "a field of the font's height in its 3-D frame";
}

TEST_F(ComboBoxTest, PickingTheThirdItemWithTheMouseClicksThenChanges) {
    platform::ClickAt(combo->Handle(), ButtonOf(combo));
    Pump();
    HWND list = DroppedList();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(combo->DroppedDown());
    EXPECT_EQ(ListHeight(list), 8 * 12 + 2) << "eight rows of twelve";
    EXPECT_TRUE(GetWindowLongA(list, GWL_STYLE) & WS_VSCROLL);
    EXPECT_EQ(GetFocus(), combo->EditHandle());

    SaveScreen("/tmp/velbrin-combo.png");
    platform::ClickAt(list, Row(combo, 2));
    Pump();
    EXPECT_EQ(form->log, (std::vector<std::string>{"click 2 A", "change 2 A"}));
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(DroppedList(), nullptr);

    // The field shows the text: dark pixels where there were none.
    combo->Repaint();
    platform::WindowImage box =
        platform::CaptureWindow(combo->Handle(), platform::WindowArea::WithFrame);
    EXPECT_GT(DarkPixels(box, {3, 4, 20, 16}), 5);
}

TEST_F(ComboBoxTest, ArrowKeysInTheClosedBoxStepAndChangeOncePerStep) {
    platform::TapKey(VK_DOWN);
    platform::TapKey(VK_DOWN);
    platform::TapKey(VK_DOWN);
    platform::TapKey(VK_UP);
    Pump();
    EXPECT_EQ(form->log,
              (std::vector<std::string>{"click 0 G", "change 0 G", "click 1 A-", "change 1 A-",
                                        "click 2 A", "change 2 A", "click 1 A-", "change 1 A-"}));
    EXPECT_EQ(DroppedList(), nullptr);
}

TEST_F(ComboBoxTest, TypingChangesWithoutAClickAndFindsNoItemByItself) {
    platform::TypeText("C");
    Pump();
    EXPECT_EQ(form->log, (std::vector<std::string>{"change -1 C"}))
        << "a typed text selects nothing, though an item has it";
    platform::TypeText("x");
    Pump();
    EXPECT_EQ(form->log.back(), "change -1 Cx") << "a text of no item selects none";
    EXPECT_EQ(form->log.size(), 2u);
}

TEST_F(ComboBoxTest, ADoubleClickInTheEditFieldIsTheControls) {
    combo->OnDblClick = TNotifyEvent::Of<&TComboBoxTestForm::BoxDblClick>(form);
    platform::ClickAt(combo->EditHandle(), {5, 5});
    platform::ClickAt(combo->EditHandle(), {5, 5});
    Pump();
    EXPECT_EQ(form->log, (std::vector<std::string>{"double click"}));
}

TEST_F(ComboBoxTest, ClearingTheItemsKeepsTheText) {
    combo->SetText("typed");
    combo->Items()->Clear();
    EXPECT_EQ(combo->Items()->Count(), 0);
    EXPECT_EQ(combo->Text(), "typed");
    EXPECT_EQ(combo->ItemIndex(), -1);
}

TEST_F(ComboBoxTest, TheOpenListShowsUpToDropDownCountRows) {
    combo->OnDropDown = TNotifyEvent::Of<&TComboBoxTestForm::BoxDropDown>(form);
    combo->Items()->Clear();
    for (int i = 0; i < 3; ++i) {
        combo->Items()->Add(kKeys[i]);
    }
    combo->SetDroppedDown(true);
    Pump();
    ASSERT_NE(DroppedList(), nullptr);
    EXPECT_EQ(ListHeight(DroppedList()), 3 * 12 + 2);
    EXPECT_FALSE(GetWindowLongA(DroppedList(), GWL_STYLE) & WS_VSCROLL);
    EXPECT_EQ(form->log, (std::vector<std::string>{"drop ComboBox1"}));
    platform::TapKey(VK_ESCAPE);
    Pump();
    EXPECT_EQ(DroppedList(), nullptr) << "Escape closes the list";
    EXPECT_EQ(GetFocus(), combo->EditHandle());

    combo->Items()->Clear();
    combo->SetDroppedDown(true);
    Pump();
    ASSERT_NE(DroppedList(), nullptr);
    EXPECT_EQ(ListHeight(DroppedList()), 12 + 2) << "one empty row";
    platform::TapKey(VK_RETURN);
    Pump();
    EXPECT_EQ(DroppedList(), nullptr);

    // Another control's cancel-mode notice closes the list; its own does not.
    combo->SetDroppedDown(true);
    Pump();
    combo->SendToSelf(CM_CANCEL_MODE, 0, reinterpret_cast<LPARAM>(combo));
    EXPECT_TRUE(combo->DroppedDown());
    combo->SendToSelf(CM_CANCEL_MODE, 0, reinterpret_cast<LPARAM>(form->Picker));
    EXPECT_FALSE(combo->DroppedDown());
}

TEST_F(ComboBoxTest, WithoutAMaxLengthTheFieldTakes255Bytes) {
    EXPECT_EQ(combo->MaxLength(), 0);
    platform::TypeText(std::string(300, 'w'));
    Pump();
    EXPECT_EQ(combo->Text(), std::string(255, 'w'));
    combo->SetMaxLength(4);
    combo->SetText("");
    platform::TypeText("abcdef");
    Pump();
    EXPECT_EQ(combo->Text(), "abcd");
}

TEST_F(ComboBoxTest, SortingOrStylingMakesTheWindowAgainWithTheItems) {
    SendMessageA(combo->Handle(), CB_SETCURSEL, 3, 0);
    HWND before = combo->Handle();
    combo->SetSorted(true);
    EXPECT_NE(combo->Handle(), before);
    EXPECT_TRUE(GetWindowLongA(combo->Handle(), GWL_STYLE) & CBS_SORT);
    EXPECT_EQ(Items(), (std::vector<std::string>{"A", "A-", "B", "B-", "C", "D", "D-", "E", "E-",
                                                 "F", "F+", "G"}));
    EXPECT_EQ(combo->ItemIndex(), -1) << "the selection is not kept";
    combo->SetStyle(csSimple);
    EXPECT_NE(combo->ListHandle(), nullptr);
    EXPECT_NE(combo->EditHandle(), nullptr);
    EXPECT_FALSE(combo->HasControlStyle(csFixedHeight));
    EXPECT_EQ(combo->Items()->Count(), 12);
    combo->SetStyle(csDropDownList);
    EXPECT_EQ(combo->EditHandle(), nullptr);
    EXPECT_TRUE(combo->HasControlStyle(csFixedHeight));
    EXPECT_EQ(combo->Items()->Get(0), "A");

    // Without the 3-D look the window is made again with a flat frame.
    auto corner = [&] {
        combo->Repaint();
        return platform::CaptureWindow(combo->Handle(), platform::WindowArea::WithFrame).At(0, 0);
    };
    EXPECT_EQ(corner(), GetSysColor(COLOR_BTNSHADOW));
    before = combo->Handle();
    combo->SetCtl3D(false);
    EXPECT_NE(combo->Handle(), before);
    EXPECT_EQ(corner(), GetSysColor(COLOR_WINDOWFRAME));
    EXPECT_EQ(combo->Items()->Count(), 12);
}

TEST_F(ComboBoxTest, AnEmptyItemAndAMissingOneBothReadEmpty) {
    EXPECT_EQ(combo->Items()->Add(""), 12);
    EXPECT_EQ(combo->Items()->Get(12), "");
    EXPECT_EQ(combo->Items()->Get(40), "");
    EXPECT_EQ(combo->Items()->Get(-1), "");
    EXPECT_EQ(combo->Items()->Objects(40), nullptr);
    combo->Items()->PutObject(2, form);
    EXPECT_EQ(combo->Items()->Objects(2), form);
    // A long item comes back whole.
    const std::string longItem(5000, 'x');
    combo->Items()->Insert(0, longItem);
    EXPECT_EQ(combo->Items()->Get(0), longItem);
}

TEST_F(ComboBoxTest, OwnerDrawnItemsAreMeasuredAndDrawnThroughTheEvents) {
    TComboBox* picker = form->Picker;
    picker->OnDrawItem = TDrawItemEvent::Of<&TComboBoxTestForm::BoxDrawItem>(form);
    picker->SetStyle(csOwnerDrawFixed);
    EXPECT_EQ(picker->ItemHeight(), 12);
    EXPECT_EQ(SendMessageA(picker->Handle(), CB_GETITEMHEIGHT, 0, 0), 12);
    SendMessageA(picker->Handle(), CB_SETCURSEL, 1, 0);
    form->log.clear();
    picker->SetDroppedDown(true);
    Pump();
    EXPECT_EQ(ListHeight(DroppedList()), 3 * 12 + 2);
    std::vector<std::string> rows;
    for (const std::string& drawn : form->log) {
        if (drawn.find("field") == std::string::npos) {
            rows.push_back(drawn);
        }
    }
    EXPECT_EQ(rows, (std::vector<std::string>{"draw 0 12", "draw 1 12 selected", "draw 2 12"}));
    picker->SetDroppedDown(false);

    // Without a handler the item's text is drawn on the highlight.
    picker->OnDrawItem = {};
    picker->SetFocus();
    picker->Repaint();
    platform::WindowImage field =
        platform::CaptureWindow(picker->Handle(), platform::WindowArea::WithFrame);
    EXPECT_EQ(field.At(4, 10), GetSysColor(COLOR_HIGHLIGHT));

    // Outside an owner-drawn item the canvas has nothing to draw on.
    EXPECT_THROW(picker->Canvas()->FillRect(RECT{0, 0, 4, 4}), EInvalidOperation);

    picker->OnMeasureItem = TMeasureItemEvent::Of<&TComboBoxTestForm::BoxMeasureItem>(form);
    picker->SetStyle(csOwnerDrawVariable);
    EXPECT_EQ(SendMessageA(picker->Handle(), CB_GETITEMHEIGHT, 0, 0), 14);
    EXPECT_EQ(SendMessageA(picker->Handle(), CB_GETITEMHEIGHT, 2, 0), 16);
}

TEST_F(ComboBoxTest, AnErrorInAnEditKeyHandlerIsShownAndTheKeyDropped) {
    combo->OnKeyDown = TKeyEvent::Of<&TComboBoxTestForm::BoxKeyDown>(form);
    std::string shown;
    platform::QueueUserAction([&] {
        shown = platform::MessageBoxText();
        platform::AnswerMessageBox(IDOK);
    });
    platform::TapKey(VK_DOWN);
    Pump();
    EXPECT_NE(shown.find("\x8d\x73\x82\xf0"), std::string::npos) << shown;
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_TRUE(form->log.empty());
}

TEST_F(ComboBoxTest, AClickHandlerThatFreesTheBoxEndsTheEvent) {
    form->freeOnClick = true;
    platform::ClickAt(combo->Handle(), ButtonOf(combo));
    Pump();
    HWND list = DroppedList();
    ASSERT_NE(list, nullptr);
    platform::ClickAt(list, Row(combo, 4));
    Pump();
    EXPECT_EQ(form->ComboBox1, nullptr);
    EXPECT_EQ(form->log, (std::vector<std::string>{"click 4 B"}));
    EXPECT_EQ(DroppedList(), nullptr);
}

} // namespace
} // namespace velbrin::testing
