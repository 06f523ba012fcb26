#include "ControlTestSupport.h"

#include "core/TList.h"
#include "graphics/TBrush.h"
#include "graphics/TFont.h"
#include "runtime/Exceptions.h"

#include <algorithm>
#include <cstdio>

namespace velbrin::testing {
namespace {

TEST_F(ControlTest, ReadingTheHandleCreatesTheParentsWindowFirstAndBindsBoth) {
    form = new TTestForm(nullptr);
    auto* panel = new TTestPanel(form);
    panel->SetParent(form);
    ASSERT_FALSE(form->HasWindow());

    HWND window = panel->Handle();
    ASSERT_TRUE(form->HasWindow());
    EXPECT_EQ(GetParent(window), form->Handle());
    EXPECT_EQ(FindControl(window), panel);
    EXPECT_EQ(FindControl(form->Handle()), form);
    char className[64];
    GetClassNameA(window, className, sizeof className);
    EXPECT_STREQ(className, "TTestPanel");
    // A child created without an identifier carries its own handle.
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_ID), reinterpret_cast<LONG_PTR>(window));

    char propertyName[32];
    std::snprintf(
        propertyName, sizeof propertyName, "ControlOfs%.8X%.8X",
        static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(GetModuleHandleA(nullptr))),
        static_cast<unsigned>(GetCurrentThreadId()));
    EXPECT_EQ(GetPropA(window, propertyName), panel);

    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.right - rect.left, 50);
}

TEST_F(ControlTest, ChildWithoutParentWindowCannotMakeOne) {
    TTestPanel panel(nullptr);
    panel.SetName("Panel1");
    try {
        panel.Handle();
        FAIL() << "a child window needs a parent";
    } catch (const EInvalidOperation& error) {
        EXPECT_NE(error.Message().find("'Panel1'"), std::string::npos);
    }
    EXPECT_FALSE(panel.HasWindow());
}

TEST_F(ControlTest, CommandIsReflectedToTheLibraryControlThatSentIt) {
    MakeShownForm();
    auto* panel = new TTestPanel(form);
    panel->SetParent(form);
    panel->reflectedResult = 77;

    const LRESULT result = SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(5, 9),
                                        reinterpret_cast<LPARAM>(panel->Handle()));
    EXPECT_EQ(result, 77);
    EXPECT_EQ(panel->reflected, std::vector<UINT>{9});

    // A window that belongs to no library control gets the default handling.
    WNDCLASSA plain{};
    plain.lpfnWndProc = &DefWindowProcA;
    plain.lpszClassName = "PlainChild";
    ASSERT_NE(RegisterClassA(&plain), 0);
    HWND foreign = CreateWindowExA(0, "PlainChild", "", WS_CHILD, 0, 0, 10, 10, form->Handle(),
                                   nullptr, nullptr, nullptr);
    ASSERT_NE(foreign, nullptr);
    EXPECT_EQ(SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(5, 9),
                           reinterpret_cast<LPARAM>(foreign)),
              0);
    EXPECT_EQ(panel->reflected.size(), 1u);
    DestroyWindow(foreign);
}

TEST_F(ControlTest, AColourRequestIsAnsweredWithTheColoursOfTheControlThatAsks) {
    MakeShownForm();
    auto* panel = new TTestPanel(form);
    panel->SetParent(form);
    panel->SetColor(static_cast<TColor>(RGB(10, 20, 30)));
    panel->Font()->SetColor(static_cast<TColor>(RGB(200, 100, 50)));
    HDC dc = platform::CreateMemorySurfaceDC(4, 4);

    const LRESULT brush =
        SendMessageA(form->Handle(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(panel->Handle()));
    EXPECT_EQ(brush, reinterpret_cast<LRESULT>(panel->Brush()->Handle()));
    EXPECT_EQ(GetTextColor(dc), RGB(200, 100, 50));
    EXPECT_EQ(GetBkColor(dc), RGB(10, 20, 30));
    DeleteDC(dc);
}

TEST_F(ControlTest, NotificationsAndItemMessagesReachTheControlTheyName) {
    MakeShownForm();
    auto* panel = new TTestPanel(form);
    panel->SetParent(form);
    panel->reflectedResult = 5;
    HWND child = panel->Handle();
    const int id = GetDlgCtrlID(child);
    ASSERT_NE(id, 0);
    auto send = [&](UINT message, const void* record) {
        return SendMessageA(form->Handle(), message, static_cast<WPARAM>(id),
                            reinterpret_cast<LPARAM>(record));
    };

    NMHDR header{child, static_cast<UINT_PTR>(id), 42};
    DRAWITEMSTRUCT draw{};
    draw.hwndItem = child;
    COMPAREITEMSTRUCT compare{};
    compare.hwndItem = child;
    DELETEITEMSTRUCT removed{};
    removed.hwndItem = child;
    MEASUREITEMSTRUCT measure{};
    measure.CtlID = static_cast<UINT>(id);
    EXPECT_EQ(send(WM_NOTIFY, &header), 5);
    EXPECT_EQ(send(WM_DRAWITEM, &draw), 5);
    EXPECT_EQ(send(WM_COMPAREITEM, &compare), 5);
    EXPECT_EQ(send(WM_DELETEITEM, &removed), 5);
    EXPECT_EQ(send(WM_MEASUREITEM, &measure), 5);
    EXPECT_EQ(panel->reflectedNotices, (std::vector<UINT>{CN_NOTIFY, CN_DRAWITEM, CN_COMPAREITEM,
                                                          CN_DELETEITEM, CN_MEASUREITEM}));

    // Records that name no library control, or no record at all, get the
    // default handling and reach no control.
    NMHDR stranger{nullptr, 0, 42};
    MEASUREITEMSTRUCT unknownId{};
    unknownId.CtlID = static_cast<UINT>(id + 1000);
    EXPECT_EQ(send(WM_NOTIFY, &stranger), 0);
    EXPECT_EQ(send(WM_MEASUREITEM, &unknownId), 0);
    EXPECT_EQ(send(WM_NOTIFY, nullptr), 0);
    EXPECT_EQ(send(WM_DRAWITEM, nullptr), 0);
    EXPECT_EQ(send(WM_MEASUREITEM, nullptr), 0);
    EXPECT_EQ(panel->reflectedNotices.size(), 5u);
}

std::string Text(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

TEST_F(ControlTest, BoundsSetWhileMinimisedBecomeTheRestoredPlace) {
    MakeShownForm();
    ShowWindow(form->Handle(), SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(form->Handle()));
    EXPECT_EQ(Text(form->BoundsRect()), Text(RECT{20, 20, 320, 220}))
        << "minimising keeps the bounds";

    form->SetBounds(30, 40, 200, 150);
    EXPECT_TRUE(IsIconic(form->Handle()));
    EXPECT_EQ(Text(form->BoundsRect()), Text(RECT{30, 40, 230, 190}));
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    ASSERT_TRUE(GetWindowPlacement(form->Handle(), &placement));
    EXPECT_EQ(Text(placement.rcNormalPosition), Text(RECT{30, 40, 230, 190}));

    ShowWindow(form->Handle(), SW_RESTORE);
    RECT window{};
    GetWindowRect(form->Handle(), &window);
    EXPECT_EQ(Text(window), Text(RECT{30, 40, 230, 190}));
    EXPECT_EQ(Text(form->BoundsRect()), Text(RECT{30, 40, 230, 190}));
}

TEST_F(ControlTest, ShowingFollowsVisibilityAndAHiddenControlMakesNoWindow) {
    MakeShownForm();
    auto* hidden = new TTestPanel(form);
    hidden->SetVisible(false);
    hidden->SetParent(form);
    hidden->RefreshShowing();
    EXPECT_FALSE(hidden->HasWindow());
    EXPECT_FALSE(hidden->IsShowing());
    hidden->Repaint();
    EXPECT_FALSE(hidden->HasWindow()) << "repainting without a window does nothing";

    auto* shown = new TTestPanel(form);
    shown->SetParent(form);
    ASSERT_TRUE(shown->HasWindow());
    EXPECT_TRUE(shown->IsShowing());
    EXPECT_TRUE(IsWindowVisible(shown->Handle()));
    shown->SetVisible(false);
    EXPECT_FALSE(IsWindowVisible(shown->Handle()));
    EXPECT_FALSE(shown->IsShowing());

    hidden->SetVisible(true);
    EXPECT_TRUE(hidden->HasWindow());
    EXPECT_TRUE(IsWindowVisible(hidden->Handle()));
}

TEST_F(ControlTest, FailedShowingChangeRestoresTheShowingState) {
    MakeShownForm();
    auto* panel = new TTestPanel(form);
    panel->SetParent(form);
    ASSERT_TRUE(panel->IsShowing());
    panel->failShowing = true;
    EXPECT_THROW(panel->SetVisible(false), EInvalidOperation);
    EXPECT_TRUE(panel->IsShowing());
    EXPECT_TRUE(IsWindowVisible(panel->Handle()));
}

TEST_F(ControlTest, RebuildWindowKeepsTheCaptionAndMakesANewWindow) {
    MakeShownForm();
    auto* panel = new TTestPanel(form);
    panel->SetCaption("Grid");
    panel->SetParent(form);
    HWND first = panel->Handle();
    char text[16];
    GetWindowTextA(first, text, sizeof text);
    EXPECT_STREQ(text, "Grid");

    panel->RebuildWindow();
    HWND second = panel->Handle();
    EXPECT_FALSE(IsWindow(first));
    EXPECT_NE(second, first);
    EXPECT_EQ(panel->Caption(), "Grid");
    EXPECT_TRUE(IsWindowVisible(second));
    EXPECT_EQ(FindControl(second), panel);

    // Under a parent that does not show, the rebuilt window waits to be needed.
    auto* hiddenParent = new TTestPanel(form);
    hiddenParent->SetVisible(false);
    hiddenParent->SetParent(form);
    auto* inner = new TTestPanel(form);
    inner->SetParent(hiddenParent);
    ASSERT_NE(inner->Handle(), nullptr);
    inner->RebuildWindow();
    EXPECT_FALSE(inner->HasWindow());
    EXPECT_FALSE(inner->IsShowing());
}

TEST_F(ControlTest, TabOrderClampsAndNextTabControlWraps) {
    MakeShownForm();
    TTestPanel* panels[3];
    for (auto*& panel : panels) {
        panel = new TTestPanel(form);
        panel->SetParent(form);
        panel->SetTabStop(true);
    }
    EXPECT_EQ(panels[2]->TabOrder(), 2);
    panels[0]->SetTabOrder(10);
    EXPECT_EQ(panels[0]->TabOrder(), 2) << "beyond the count: last";
    panels[0]->SetTabOrder(-1);
    EXPECT_EQ(panels[0]->TabOrder(), 0);
    panels[2]->SetTabOrder(0x8001);
    EXPECT_EQ(panels[2]->TabOrder(), 0) << "top bit set: first";

    // Tab order now: 2, 0, 1.
    EXPECT_EQ(form->NextTabControl(panels[1], true, true, true), panels[2]);
    EXPECT_EQ(form->NextTabControl(panels[2], false, true, true), panels[1]);
    panels[0]->SetEnabled(false);
    EXPECT_EQ(form->NextTabControl(panels[2], true, true, true), panels[1]);
    panels[1]->SetTabStop(false);
    EXPECT_EQ(form->NextTabControl(panels[2], true, true, true), panels[2]);
    EXPECT_EQ(GetWindowLongA(panels[1]->Handle(), GWL_STYLE) & WS_TABSTOP, 0);
}

TEST_F(ControlTest, AlignmentStacksEdgesAndFillsTheRest) {
    MakeShownForm();
    const RECT client = form->ClientRect();
    auto* top = new TTestPanel(form);
    top->SetParent(form);
    top->SetHeight(25);
    top->SetAlign(alTop);
    auto* left = new TTestPanel(form);
    left->SetParent(form);
    left->SetWidth(40);
    left->SetAlign(alLeft);
    auto* rest = new TTestPanel(form);
    rest->SetParent(form);
    rest->SetAlign(alClient);

    EXPECT_EQ(top->BoundsRect().left, 0);
    EXPECT_EQ(top->BoundsRect().top, 0);
    EXPECT_EQ(top->Width(), client.right);
    EXPECT_EQ(left->BoundsRect().top, 25);
    EXPECT_EQ(left->Height(), client.bottom - 25);
    EXPECT_EQ(rest->BoundsRect().left, 40);
    EXPECT_EQ(rest->BoundsRect().top, 25);
    EXPECT_EQ(rest->BoundsRect().right, client.right);
    EXPECT_EQ(rest->BoundsRect().bottom, client.bottom);

    RECT window{};
    GetWindowRect(rest->Handle(), &window);
    EXPECT_EQ(window.right - window.left, client.right - 40) << "the window moved too";

    form->SetBounds(20, 20, 400, 300);
    EXPECT_EQ(rest->BoundsRect().right, form->ClientRect().right) << "realigned on resize";
}

TEST_F(ControlTest, ExceptionsInHandlersGoToTheReporterAndTheLoopRunsOn) {
    MakeShownForm();
    auto* panel = new TTestPanel(form);
    panel->SetParent(form);
    panel->failShowing = true;
    // The window itself is hidden by a message, so the failure arises inside
    // a window message and must not leave it.
    SendMessageA(panel->Handle(), CM_SHOWING_CHANGED, 0, 0);
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0], "showing refused");

    TEventLog log;
    log.Watch(*panel);
    ::SetFocus(panel->Handle());
    platform::TapKey('B');
    platform::RunUntilIdle();
    EXPECT_EQ(log.lines, (std::vector<std::string>{"keydown 66", "char b"}));
}

TEST_F(ControlTest, DestroyingAParentFreesItsChildrenAndTheirWindows) {
    MakeShownForm();
    auto* panel = new TTestPanel(nullptr);
    panel->SetParent(form);
    auto* inner = new TTestGraphic(nullptr);
    inner->SetParent(panel);
    HWND window = panel->Handle();
    delete form;
    form = nullptr;
    EXPECT_FALSE(IsWindow(window));
}

} // namespace
} // namespace velbrin::testing

namespace velbrin::testing {
namespace {

TEST_F(ControlTest, ZOrderMovesWindowsAndNonWindowedChildren) {
    MakeShownForm();
    auto* first = new TTestPanel(form);
    first->SetParent(form);
    auto* second = new TTestPanel(form);
    second->SetParent(form);
    // Overlapping windows: the later one is on top.
    EXPECT_EQ(WindowFromPoint(platform::ScreenPointOf(form->Handle(), {20, 20})), second->Handle());
    first->BringToFront();
    EXPECT_EQ(WindowFromPoint(platform::ScreenPointOf(form->Handle(), {20, 20})), first->Handle());
    EXPECT_EQ(form->Controls(1), first);

    auto* low = new TTestGraphic(form);
    low->SetBounds(100, 100, 20, 20);
    low->SetParent(form);
    auto* high = new TTestGraphic(form);
    high->SetBounds(100, 100, 20, 20);
    high->SetParent(form);
    EXPECT_EQ(TWinControl::ControlAtScreenPoint(platform::ScreenPointOf(form->Handle(), {105, 105}),
                                                false),
              high);
    low->BringToFront();
    EXPECT_EQ(TWinControl::ControlAtScreenPoint(platform::ScreenPointOf(form->Handle(), {105, 105}),
                                                false),
              low);
    low->SetEnabled(false);
    EXPECT_EQ(TWinControl::ControlAtScreenPoint(platform::ScreenPointOf(form->Handle(), {105, 105}),
                                                false),
              high);
    EXPECT_EQ(TWinControl::ControlAtScreenPoint(platform::ScreenPointOf(form->Handle(), {200, 150}),
                                                false),
              form);
}

TEST_F(ControlTest, ScrollByMovesEveryChild) {
    MakeShownForm();
    auto* panel = new TTestPanel(form);
    panel->SetParent(form);
    auto* label = new TTestGraphic(form);
    label->SetBounds(100, 100, 20, 20);
    label->SetParent(form);
    form->ScrollBy(5, -7);
    EXPECT_EQ(label->Left(), 105);
    EXPECT_EQ(label->Top(), 93);
    EXPECT_EQ(panel->Left(), 15);
    EXPECT_EQ(panel->Top(), 3);
    RECT rect{};
    GetWindowRect(panel->Handle(), &rect);
    EXPECT_EQ(rect.left, platform::ScreenPointOf(form->Handle(), {15, 0}).x);
}

TEST_F(ControlTest, CancelModeEndsTheCaptureOfAPressedNonWindowedChild) {
    MakeShownForm();
    auto* label = new TTestGraphic(form);
    label->SetBounds(30, 40, 50, 20);
    label->SetParent(form);
    TEventLog log;
    log.Watch(*label);
    platform::MoveMouse(platform::ScreenPointOf(form->Handle(), {35, 45}));
    platform::PressMouse(platform::MouseButton::Left);
    platform::RunUntilIdle();
    ASSERT_TRUE(label->MouseCapture());

    SendMessageA(form->Handle(), WM_CANCELMODE, 0, 0);
    EXPECT_FALSE(label->MouseCapture());
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"down 0 5,5", "up 0 -1,-1"}));
    platform::MoveMouse(platform::ScreenPointOf(form->Handle(), {200, 150}));
    platform::ReleaseMouse(platform::MouseButton::Left);
    platform::RunUntilIdle();
    EXPECT_EQ(log.lines.size(), 2u) << "without the capture the release stays with the form";
}

} // namespace
} // namespace velbrin::testing

namespace velbrin::testing {
namespace {

TEST_F(ControlTest, NavigationKeysTheControlDoesNotKeepGoToTheForm) {
    MakeShownForm();
    auto* focused = new TTestPanel(form);
    focused->SetParent(form);
    auto* listener = new TTestPanel(form);
    listener->SetParent(form);
    listener->dialogKeyAnswer = 1;
    const LRESULT keyData = 0x000F0001;

    EXPECT_EQ(SendMessageA(focused->Handle(), CN_KEYDOWN, VK_TAB, keyData), 1);
    EXPECT_EQ(listener->dialogKeys, std::vector<WPARAM>{VK_TAB});

    // A letter is no dialog key; an arrow the control keeps stays with it.
    EXPECT_EQ(SendMessageA(focused->Handle(), CN_KEYDOWN, 'A', keyData), 0);
    focused->keepsArrows = true;
    EXPECT_EQ(SendMessageA(focused->Handle(), CN_KEYDOWN, VK_LEFT, keyData), 0);
    EXPECT_EQ(SendMessageA(focused->Handle(), CN_KEYUP, VK_LEFT, keyData), 1);
    EXPECT_EQ(listener->dialogKeys.size(), 1u);

    // With Alt, the form is asked about any key.
    EXPECT_EQ(SendMessageA(focused->Handle(), CN_SYSKEYDOWN, 'A', keyData), 1);
    EXPECT_EQ(listener->dialogKeys.back(), static_cast<WPARAM>('A'));

    listener->dialogKeyAnswer = 0;
    EXPECT_EQ(SendMessageA(focused->Handle(), CN_KEYDOWN, VK_RETURN, keyData), 0)
        << "nobody took it: it goes on to the window";
}

} // namespace
} // namespace velbrin::testing

namespace velbrin::testing {
namespace {

TEST_F(ControlTest, FocusMovesInTabOrderAndSurvivesRebuildingTheWindow) {
    TTestPanel orphan(nullptr);
    EXPECT_THROW(orphan.SetFocus(), EInvalidOperation);

    MakeShownForm();
    auto* first = new TTestPanel(form);
    first->SetParent(form);
    first->SetTabStop(true);
    auto* second = new TTestPanel(form);
    second->SetParent(form);
    second->SetTabStop(true);

    first->SetFocus();
    EXPECT_TRUE(first->Focused());
    form->FocusNextInTabOrder(first, true, true);
    EXPECT_TRUE(second->Focused());
    EXPECT_FALSE(first->Focused());

    HWND before = second->Handle();
    second->RebuildWindow();
    EXPECT_NE(second->Handle(), before);
    EXPECT_TRUE(second->Focused()) << "the new window has the focus back";

    second->SetVisible(false);
    EXPECT_FALSE(second->IsFocusable());
    EXPECT_EQ(form->NextTabControl(first, true, true, true), first);
}

} // namespace
} // namespace velbrin::testing

namespace velbrin::testing {
namespace {

TEST_F(ControlTest, ControlInAForeignWindowShowsThere) {
    WNDCLASSA plain{};
    plain.lpfnWndProc = &DefWindowProcA;
    plain.lpszClassName = "PlainHost";
    ASSERT_NE(RegisterClassA(&plain), 0);
    HWND host = CreateWindowExA(0, "PlainHost", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                                150, nullptr, nullptr, nullptr, nullptr);
    {
        TTestPanel panel(nullptr);
        EXPECT_FALSE(panel.HasWindow());
        panel.SetParentWindow(host);
        ASSERT_TRUE(panel.HasWindow());
        EXPECT_EQ(GetParent(panel.Handle()), host);
        EXPECT_TRUE(IsWindowVisible(panel.Handle()));
    }
    EXPECT_EQ(GetWindow(host, GW_CHILD), nullptr) << "freeing the control removed its window";
    DestroyWindow(host);
}

TEST_F(ControlTest, MovingAFramedChildRepaintsTheFrameAtTheNewPlace) {
    MakeShownForm();
    auto* panel = new TTestPanel(form);
    panel->SetControlStyle(panel->ControlStyle() | csFramed);
    panel->SetCtl3D(true);
    panel->SetParent(form);
    platform::RunUntilIdle();
    panel->SetBounds(100, 60, 50, 30);
    platform::RunUntilIdle();
    const auto image = platform::CaptureWindow(form->Handle(), platform::WindowArea::Client);
    EXPECT_EQ(image.At(99, 70), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(image.At(150, 70), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(image.At(9, 20), image.At(200, 100)) << "the old frame is gone";
}

} // namespace
} // namespace velbrin::testing

namespace velbrin::testing {
namespace {

TEST_F(ControlTest, CursorChangeIsAppliedOnlyUnderTheMouse) {
    MakeShownForm();
    auto* panel = new TTestPanel(form);
    panel->SetParent(form);
    TMessageCounter counter(*panel);
    auto cursorRequests = [&counter] {
        return std::count(counter.seen.begin(), counter.seen.end(), WM_SETCURSOR);
    };
    platform::MoveMouse(platform::ScreenPointOf(form->Handle(), {200, 100}));
    platform::RunUntilIdle();
    counter.seen.clear();
    panel->SetCursor(crDrag);
    EXPECT_EQ(cursorRequests(), 0);

    platform::MoveMouse(platform::ScreenPointOf(form->Handle(), {20, 20}));
    platform::RunUntilIdle();
    counter.seen.clear();
    panel->SetCursor(crDefault);
    EXPECT_EQ(cursorRequests(), 1);
}

} // namespace
} // namespace velbrin::testing

namespace velbrin::testing {
namespace {

// The wheel's lParam is a point on the screen, not in the form: it must not
// pick the child control that happens to stand at those client coordinates.
TEST_F(ControlTest, TheWheelGoesToTheWindowNotToTheChildAtItsScreenPoint) {
    MakeShownForm();
    auto* label = new TTestGraphic(form);
    label->SetBounds(30, 40, 50, 20);
    label->SetParent(form);
    TMessageCounter labelMessages(*label);
    TMessageCounter formMessages(*form);
    SendMessageA(form->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, 120), MAKELPARAM(35, 45));
    SendMessageA(form->Handle(), WM_MOUSEHWHEEL, MAKEWPARAM(0, 120), MAKELPARAM(35, 45));
    EXPECT_TRUE(labelMessages.seen.empty());
    EXPECT_EQ(std::count(formMessages.seen.begin(), formMessages.seen.end(), WM_MOUSEWHEEL), 1);
    EXPECT_EQ(std::count(formMessages.seen.begin(), formMessages.seen.end(), WM_MOUSEHWHEEL), 1);

    // A move at the same client point is the label's.
    SendMessageA(form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(35, 45));
    EXPECT_EQ(std::count(labelMessages.seen.begin(), labelMessages.seen.end(), WM_MOUSEMOVE), 1);
}

} // namespace
} // namespace velbrin::testing
