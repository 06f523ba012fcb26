// The in-place editor as the user meets it: F2, Enter or a typed character
// open it over the current cell, Enter and a move to another cell store what
// was typed, Escape is the grid's key, and leaving the grid hides it.

#include "GridTestSupport.h"

#include "core/TStringList.h"
#include "forms/Forms.h"
#include "graphics/TFont.h"
#include "grids/TDrawGrid.h"
#include "grids/TInplaceEdit.h"
#include "runtime/Exceptions.h"

#include <platform/Testing.h>
#include <platform/UserTesting.h>

#include <string>
#include <vector>

namespace velbrin::testing {
namespace {

using platform::MouseButton;

// Answers OnGetEditText with "<col>,<row>" and notes what OnSetEditText hears.
class TEditEvents : public TObject {
public:
    void GetText(TObject*, std::int32_t col, std::int32_t row, std::string& value) {
        value = std::to_string(col) + "," + std::to_string(row);
    }
    void SetText(TObject*, std::int32_t col, std::int32_t row, const std::string& value) {
        if (refuse) {
            throw EInvalidGridOperation("refused");
        }
        stored.push_back(std::to_string(col) + "," + std::to_string(row) + "=" + value);
    }

    void KeyDown(TObject*, WORD& key, TShiftState) { keysDown.push_back(key); }
    void KeyUp(TObject*, WORD& key, TShiftState) { keysUp.push_back(key); }

    std::vector<std::string> stored;
    std::vector<WORD> keysDown;
    std::vector<WORD> keysUp;
    bool refuse = false;
};

class GridEditorTest : public GridTest {
protected:
    // 6 columns of 50 and 6 rows of 20 pixels, one of each fixed, editable.
    template <class Grid> Grid* MakeGrid() {
        auto* grid = new Grid(form);
        grid->SetParent(form);
        grid->SetColCount(6);
        grid->SetRowCount(6);
        grid->SetDefaultColWidth(50);
        grid->SetDefaultRowHeight(20);
        grid->SetBounds(0, 0, 320, 140);
        grid->SetOptions(grid->Options() | GridOptionBit(goEditing));
        grid->Handle();
        Pump();
        return grid;
    }

    static void ClickCell(TCustomGrid* grid, std::int32_t col, std::int32_t row) {
        const RECT cell = grid->CellBounds(col, row);
        platform::ClickAt(grid->Handle(),
                          {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2});
        Pump();
    }

    static void Tap(BYTE key) {
        platform::TapKey(key);
        Pump();
    }

    static void Type(const std::string& text) {
        platform::TypeText(text);
        Pump();
    }

    static bool EditorVisible(TCustomGrid* grid) {
        TInplaceEdit* editor = grid->InplaceEditor();
        return editor != nullptr && editor->HasWindow() && IsWindowVisible(editor->Handle());
    }

    // The editor's window in the grid's client coordinates.
    static RECT EditorPlace(TCustomGrid* grid) {
        RECT place{};
        GetWindowRect(grid->InplaceEditor()->Handle(), &place);
        MapWindowPoints(nullptr, grid->Handle(), reinterpret_cast<POINT*>(&place), 2);
        return place;
    }

    static void ExpectOverCell(TCustomGrid* grid, std::int32_t col, std::int32_t row) {
        const RECT cell = grid->CellBounds(col, row);
        const RECT place = EditorPlace(grid);
        EXPECT_EQ(place.left, cell.left);
        EXPECT_EQ(place.top, cell.top);
        EXPECT_EQ(place.right, cell.right);
        EXPECT_EQ(place.bottom, cell.bottom);
    }
};

TEST_F(GridEditorTest, F2OpensTheEditorOverTheCellAndEnterStoresWhatWasTyped) {
    auto* grid = MakeGrid<TStringGrid>();
    grid->SetCells(2, 3, "ab");
    ClickCell(grid, 2, 3);
    EXPECT_FALSE(EditorVisible(grid));
    Tap(VK_F2);
    ASSERT_TRUE(EditorVisible(grid));
    ExpectOverCell(grid, 2, 3);
    EXPECT_EQ(grid->InplaceEditor()->Text(), "ab");
    EXPECT_TRUE(grid->InplaceEditor()->Focused());
    // It writes in the grid's font, and follows it.
    grid->Font()->SetSize(14);
    EXPECT_EQ(grid->InplaceEditor()->Font()->Size(), 14);
    // F2 leaves the caret at the end: the typing goes after the old text.
    Type("cd");
    Tap(VK_RETURN);
    EXPECT_EQ(grid->Cells(2, 3), "abcd");
    EXPECT_FALSE(EditorVisible(grid));
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_TRUE(grid->Focused());
    // Enter opens it again, all of its text selected, so typing replaces it.
    Tap(VK_RETURN);
    ASSERT_TRUE(EditorVisible(grid));
    Type("x");
    Tap(VK_RETURN);
    EXPECT_EQ(grid->Cells(2, 3), "x");
}

TEST_F(GridEditorTest, ATypedCharacterOpensTheEditorAndIsTypedIntoIt) {
    auto* grid = MakeGrid<TStringGrid>();
    grid->SetCells(1, 1, "old");
    ClickCell(grid, 1, 1);
    Type("new");
    ASSERT_TRUE(EditorVisible(grid));
    ExpectOverCell(grid, 1, 1);
    EXPECT_EQ(grid->InplaceEditor()->Text(), "new");
    Tap(VK_RETURN);
    EXPECT_EQ(grid->Cells(1, 1), "new");

    // A double-byte character opens the editor with both of its bytes.
    ClickCell(grid, 2, 1);
    Type("\x82\xa0"
         "b");
    Tap(VK_RETURN);
    EXPECT_EQ(grid->Cells(2, 1), "\x82\xa0"
                                 "b");

    // Without goEditing the grid takes no typing.
    grid->SetOptions(WithoutOption(grid->Options(), goEditing));
    ClickCell(grid, 2, 2);
    Type("z");
    EXPECT_FALSE(EditorVisible(grid));
    EXPECT_EQ(grid->Cells(2, 2), "");
}

TEST_F(GridEditorTest, EscapeGoesToTheGridAndArrowsStoreAndMoveOn) {
    auto* grid = MakeGrid<TStringGrid>();
    TEditEvents events;
    grid->OnKeyDown = TKeyEvent::Of<&TEditEvents::KeyDown>(&events);
    grid->SetCells(1, 1, "keep");
    ClickCell(grid, 1, 1);
    Tap(VK_F2);
    Type("more");
    EXPECT_EQ(grid->Cells(1, 1), "keepmore");
    // Escape is the grid's: its key event hears it, and what was typed,
    // already in the cell, stays there and in the editor.
    events.keysDown.clear();
    Tap(VK_ESCAPE);
    EXPECT_EQ(events.keysDown, std::vector<WORD>{VK_ESCAPE});
    ASSERT_TRUE(EditorVisible(grid));
    EXPECT_EQ(grid->InplaceEditor()->Text(), "keepmore");
    EXPECT_EQ(grid->Cells(1, 1), "keepmore");
    Tap(VK_RETURN);
    EXPECT_EQ(grid->Cells(1, 1), "keepmore");
    grid->SetCells(1, 1, "keep");

    // Down from an open editor stores its text and moves to the next row,
    // the editor closed.
    Tap(VK_F2);
    Type("1");
    Tap(VK_DOWN);
    EXPECT_EQ(grid->Cells(1, 1), "keep1");
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{1, 2}));
    EXPECT_FALSE(EditorVisible(grid));
    EXPECT_TRUE(grid->Focused());

    // A click on another cell stores too.
    Type("2");
    ClickCell(grid, 3, 4);
    EXPECT_EQ(grid->Cells(1, 2), "2");
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{3, 4}));
    EXPECT_FALSE(EditorVisible(grid));
}

TEST_F(GridEditorTest, TabInTheEditorMovesToTheNextCellWhenTheGridTakesTabs) {
    auto* grid = MakeGrid<TStringGrid>();
    grid->SetOptions(grid->Options() | GridOptionBit(goTabs));
    ClickCell(grid, 1, 1);
    Type("one");
    Tap(VK_TAB);
    EXPECT_EQ(grid->Cells(1, 1), "one");
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{2, 1}));
    EXPECT_TRUE(grid->Focused());
}

TEST_F(GridEditorTest, LeavingTheGridStoresAndHidesTheEditor) {
    auto* grid = MakeGrid<TStringGrid>();
    auto* other = MakeGrid<TStringGrid>();
    other->SetTop(150);
    ClickCell(grid, 2, 2);
    Type("away");
    ASSERT_TRUE(EditorVisible(grid));
    // A click on the current cell of the other grid would open its editor.
    ClickCell(other, 2, 1);
    EXPECT_TRUE(other->Focused());
    EXPECT_FALSE(EditorVisible(grid));
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_EQ(grid->Cells(2, 2), "away");
}

TEST_F(GridEditorTest, AnAlwaysShownEditorFollowsTheCurrentCell) {
    auto* grid = MakeGrid<TStringGrid>();
    grid->SetCells(1, 1, "a");
    grid->SetCells(2, 1, "b");
    grid->SetOptions(grid->Options() | GridOptionBit(goAlwaysShowEditor));
    Pump();
    ASSERT_TRUE(EditorVisible(grid));
    ExpectOverCell(grid, 1, 1);
    EXPECT_EQ(grid->InplaceEditor()->Text(), "a");
    ClickCell(grid, 2, 1);
    ASSERT_TRUE(EditorVisible(grid));
    ExpectOverCell(grid, 2, 1);
    EXPECT_EQ(grid->InplaceEditor()->Text(), "b");
    // Enter closes nothing: it selects all of the text, or lets go of it.
    Tap(VK_RETURN);
    ASSERT_TRUE(EditorVisible(grid));
    Type("e");
    EXPECT_EQ(grid->Cells(2, 1), "be");
    Tap(VK_RETURN);
    Type("f");
    EXPECT_EQ(grid->Cells(2, 1), "f");
    // A write into the current cell from elsewhere shows in the editor.
    grid->SetCells(2, 1, "c");
    EXPECT_EQ(grid->InplaceEditor()->Text(), "c");

    // The arrows move the caret within the text; past its ends they move
    // the editor to the next cell.
    Tap(VK_END);
    Type("d");
    Tap(VK_RIGHT);
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{3, 1}));
    EXPECT_EQ(grid->Cells(2, 1), "cd");
    ASSERT_TRUE(EditorVisible(grid));
    ExpectOverCell(grid, 3, 1);
    Tap(VK_LEFT);
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{2, 1}));
    EXPECT_EQ(grid->InplaceEditor()->Text(), "cd");
    // All of the text is selected as the editor comes to a cell.
    Tap(VK_LEFT);
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{2, 1}));
    Tap(VK_LEFT);
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{1, 1}));
}

TEST_F(GridEditorTest, AColumnDraggedAwayTakesTheTypedTextAndTheEditorAlong) {
    auto* grid = MakeGrid<TStringGrid>();
    grid->SetOptions(grid->Options() | GridOptionBit(goColMoving));
    grid->SetCells(3, 1, "three");
    ClickCell(grid, 2, 1);
    Type("typed");
    ASSERT_TRUE(EditorVisible(grid));
    const RECT from = grid->CellBounds(2, 0);
    const RECT to = grid->CellBounds(4, 0);
    platform::MoveMouse(platform::ScreenPointOf(grid->Handle(), {from.left + 25, from.top + 10}));
    platform::PressMouse(MouseButton::Left);
    platform::MoveMouse(platform::ScreenPointOf(grid->Handle(), {to.left + 25, to.top + 10}));
    platform::MoveMouse(platform::ScreenPointOf(grid->Handle(), {to.left + 25, to.top + 50}));
    platform::ReleaseMouse(MouseButton::Left);
    Pump();
    EXPECT_EQ(grid->Cells(4, 1), "typed");
    EXPECT_EQ(grid->Cells(2, 1), "three");
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{4, 1}));
    ASSERT_TRUE(EditorVisible(grid));
    ExpectOverCell(grid, 4, 1);
    EXPECT_EQ(grid->InplaceEditor()->Text(), "typed");
}

TEST_F(GridEditorTest, TheEditorScrollsWithItsCellAndHidesWhileTheCellIsOutOfSight) {
    auto* grid = MakeGrid<TStringGrid>();
    grid->SetRowCount(30);
    Pump();
    ClickCell(grid, 2, 2);
    Type("kept");
    SendMessageA(grid->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
    Pump();
    ASSERT_EQ(grid->FirstVisibleRow(), 2);
    ASSERT_TRUE(EditorVisible(grid));
    ExpectOverCell(grid, 2, 2);
    SendMessageA(grid->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
    Pump();
    EXPECT_FALSE(EditorVisible(grid));
    EXPECT_TRUE(grid->Focused());
    SendMessageA(grid->Handle(), WM_VSCROLL, SB_LINEUP, 0);
    Pump();
    ASSERT_TRUE(EditorVisible(grid));
    ExpectOverCell(grid, 2, 2);
    EXPECT_EQ(grid->InplaceEditor()->Text(), "kept");
    EXPECT_EQ(grid->Cells(2, 2), "kept");
}

TEST_F(GridEditorTest, TheDrawGridAsksItsEventsForTheTextAndTellsThemWhatWasStored) {
    auto* grid = MakeGrid<TDrawGrid>();
    TEditEvents events;
    grid->OnGetEditText = TGetEditEvent::Of<&TEditEvents::GetText>(&events);
    grid->OnSetEditText = TSetEditEvent::Of<&TEditEvents::SetText>(&events);
    ClickCell(grid, 3, 2);
    Tap(VK_F2);
    ASSERT_TRUE(EditorVisible(grid));
    EXPECT_EQ(grid->InplaceEditor()->Text(), "3,2");
    EXPECT_TRUE(events.stored.empty());
    // The keys the editor keeps still reach the grid's key events.
    grid->OnKeyDown = TKeyEvent::Of<&TEditEvents::KeyDown>(&events);
    grid->OnKeyUp = TKeyEvent::Of<&TEditEvents::KeyUp>(&events);
    Tap(VK_LEFT);
    EXPECT_EQ(events.keysDown, std::vector<WORD>{VK_LEFT});
    EXPECT_EQ(events.keysUp, std::vector<WORD>{VK_LEFT});
    EXPECT_EQ(grid->CurrentCell(), (TCellCoord{3, 2}));
    Tap(VK_END);
    Type("!");
    Tap(VK_RETURN);
    ASSERT_FALSE(events.stored.empty());
    EXPECT_EQ(events.stored.front(), "3,2=3,2!");
    EXPECT_EQ(events.stored.back(), "3,2=3,2!");
}

TEST_F(GridEditorTest, AStoreThatFailsStillHidesTheEditorAndForgetsItsCell) {
    auto* grid = MakeGrid<TDrawGrid>();
    TEditEvents events;
    grid->OnSetEditText = TSetEditEvent::Of<&TEditEvents::SetText>(&events);
    ClickCell(grid, 2, 2);
    Tap(VK_F2);
    ASSERT_TRUE(EditorVisible(grid));
    events.refuse = true;
    EXPECT_THROW(grid->SetEditorMode(false), EInvalidGridOperation);
    EXPECT_FALSE(EditorVisible(grid));
    EXPECT_FALSE(grid->EditorMode());
    // The cell was forgotten: opening the editor again stores nothing.
    EXPECT_NO_THROW(grid->SetEditorMode(true));
    EXPECT_TRUE(EditorVisible(grid));
    events.refuse = false;
    EXPECT_TRUE(events.stored.empty());
}

TEST_F(GridEditorTest, TheCellUnderTheEditorIsLeftToIt) {
    auto* grid = MakeGrid<TStringGrid>();
    ClickCell(grid, 2, 2);
    Tap(VK_F2);
    ASSERT_TRUE(EditorVisible(grid));
    Validate(grid->Handle());
    // Paint the grid alone, the editor hidden underneath: the current cell
    // is not filled, so what was there before stays.
    HDC dc = GetDC(grid->Handle());
    const RECT cell = grid->CellBounds(2, 2);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(dc, &cell, red);
    DeleteObject(red);
    ReleaseDC(grid->Handle(), dc);
    RedrawWindow(grid->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOCHILDREN);
    const platform::WindowImage image =
        platform::CaptureWindow(grid->Handle(), platform::WindowArea::Client);
    EXPECT_EQ(image.At(cell.left + 3, cell.top + 3), RGB(255, 0, 0));
    EXPECT_EQ(image.At(cell.left + 3 + 50, cell.top + 3),
              static_cast<COLORREF>(GetSysColor(COLOR_WINDOW)));
}

TEST_F(GridEditorTest, ABatchWrittenIntoTheEditedCellShowsInTheEditorAndStays) {
    auto* grid = MakeGrid<TStringGrid>();
    grid->SetCells(2, 3, "old");
    ClickCell(grid, 2, 3);
    Tap(VK_F2);
    ASSERT_TRUE(EditorVisible(grid));
    TStringList source;
    for (const char* text : {"a", "b", "new", "d"}) {
        source.Add(text);
    }
    grid->Rows(3)->Assign(&source);
    EXPECT_EQ(grid->InplaceEditor()->Text(), "new");
    // Moving on stores the editor's text: the batch's text, not the old one.
    Tap(VK_DOWN);
    EXPECT_EQ(grid->Cells(2, 3), "new");
    EXPECT_EQ(grid->Cells(1, 3), "b");
}

// Answers OnGetEditMask with a mask naming the cell, and counts the asks.
class TMaskEvents : public TObject {
public:
    void GetMask(TObject*, std::int32_t col, std::int32_t row, std::string& value) {
        asked.push_back({col, row});
        value = "mask" + std::to_string(col) + std::to_string(row);
    }
    std::vector<TCellCoord> asked;
};

TEST_F(GridEditorTest, FillingTheEditorAsksTheCellsMask) {
    auto* grid = MakeGrid<TStringGrid>();
    TMaskEvents events;
    grid->OnGetEditMask = TGetEditEvent::Of<&TMaskEvents::GetMask>(&events);
    ClickCell(grid, 2, 3);
    EXPECT_TRUE(events.asked.empty()) << "no editor, no mask";
    Tap(VK_F2);
    ASSERT_TRUE(EditorVisible(grid));
    EXPECT_EQ(events.asked, (std::vector<TCellCoord>{{2, 3}}));
    EXPECT_EQ(grid->InplaceEditor()->EditMask(), "mask23");
    Tap(VK_RETURN);
    ClickCell(grid, 4, 1);
    Tap(VK_F2);
    EXPECT_EQ(events.asked.back(), (TCellCoord{4, 1}));
    EXPECT_EQ(grid->InplaceEditor()->EditMask(), "mask41");
}

TEST_F(GridEditorTest, NewOptionsLeaveAnOpenEditorOpenUnlessEditingEnds) {
    auto* grid = MakeGrid<TStringGrid>();
    ClickCell(grid, 2, 2);
    Type("ab");
    ASSERT_TRUE(EditorVisible(grid));
    grid->SetOptions(grid->Options() | GridOptionBit(goTabs));
    Pump();
    EXPECT_TRUE(EditorVisible(grid));
    EXPECT_TRUE(grid->EditorMode());
    EXPECT_TRUE(grid->InplaceEditor()->Focused());
    Type("c");
    EXPECT_EQ(grid->Cells(2, 2), "abc");
    // A grid that no longer edits closes its editor, keeping what was typed.
    grid->SetOptions(WithoutOption(grid->Options(), goEditing));
    Pump();
    EXPECT_FALSE(EditorVisible(grid));
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_EQ(grid->Cells(2, 2), "abc");
}

TEST_F(GridEditorTest, TheEditorFollowsItsCellWhenWidthsAndHeightsChangeInCode) {
    auto* grid = MakeGrid<TStringGrid>();
    ClickCell(grid, 3, 2);
    Tap(VK_F2);
    ASSERT_TRUE(EditorVisible(grid));
    // Columns 0 to 2 of 50 pixels and their lines: column 3 starts at 153.
    grid->SetColWidths(1, 30);
    EXPECT_EQ(EditorPlace(grid).left, 51 + 31 + 51);
    ExpectOverCell(grid, 3, 2);
    grid->SetRowHeights(2, 30);
    EXPECT_EQ(EditorPlace(grid).bottom - EditorPlace(grid).top, 30);
    ExpectOverCell(grid, 3, 2);
    grid->SetDefaultColWidth(40);
    EXPECT_EQ(EditorPlace(grid).left, 3 * 41);
    EXPECT_EQ(EditorPlace(grid).right, 3 * 41 + 40);
    grid->SetDefaultRowHeight(25);
    EXPECT_EQ(EditorPlace(grid).top, 2 * 26);
    ExpectOverCell(grid, 3, 2);
}

} // namespace
} // namespace velbrin::testing
