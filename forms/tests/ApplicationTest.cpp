#include "FormsTestSupport.h"

#include "core/TStringList.h"
#include "forms/ApplicationTitle.h"
#include "forms/Forms.h"
#include "forms/TApplication.h"
#include "forms/TScreen.h"
#include "runtime/Exceptions.h"
#include "runtime/Messages.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <stdexcept>
#include <utility>

namespace velbrin::testing {

namespace {

// Records what the application's events report.
class TAppEventLog : public TObject {
    VELBRIN_CLASS(TAppEventLog, TObject)

public:
    void Message(MSG& msg, bool&) { messages.push_back(msg.message); }
    void Idle(TObject*, bool& done) {
        ++idles;
        done = false;
        if (quitOnIdle) {
            PostQuitMessage(0);
        }
    }
    void Hint(TObject*) { hints.push_back(Application->Hint()); }
    void Minimized(TObject*) { events.push_back("minimize"); }
    void Restored(TObject*) { events.push_back("restore"); }

    std::vector<UINT> messages;
    std::vector<std::string> hints;
    std::vector<std::string> events;
    int idles = 0;
    bool quitOnIdle = true;
};

VELBRIN_DEFINE_CLASS_TABLES(TAppEventLog, TObject, "FormsTests") {
    cls.Method<&TAppEventLog::Message>("Message");
    cls.Method<&TAppEventLog::Idle>("Idle");
    cls.Method<&TAppEventLog::Hint>("Hint");
    cls.Method<&TAppEventLog::Minimized>("Minimized");
    cls.Method<&TAppEventLog::Restored>("Restored");
}

bool SwallowTimerMessages(TObject* data, TMessage& message) {
    if (message.Msg == WM_USER + 7) {
        ++*reinterpret_cast<int*>(data);
        message.Result = 42;
        return true;
    }
    return false;
}

} // namespace

TEST(ApplicationTitleTest, TheFileNameWithoutExtensionAndWithLowerCaseTail) {
    EXPECT_EQ(ApplicationTitleFromPath("C:\\DIR\\ABC.DEF.EXE"), "Abc");
    EXPECT_EQ(ApplicationTitleFromPath("MYPROG.EXE"), "Myprog");
    EXPECT_EQ(ApplicationTitleFromPath("/usr/bin/NotesView"), "Notesview");
    EXPECT_EQ(ApplicationTitleFromPath(""), "");
    // 0x95 0x5C is one double-byte character whose second byte is a
    // backslash; the point inside 0x81 0x2E is no point either.
    EXPECT_EQ(ApplicationTitleFromPath("C:\\\x95\x5C"
                                       "AB.EXE"),
              "\x95\x5C"
              "ab");
    EXPECT_EQ(ApplicationTitleFromPath("X\x81\x2E"
                                       "Y.EXE"),
              "X\x81\x2E"
              "y");
    // The second byte of a double-byte character may look like a capital.
    EXPECT_EQ(ApplicationTitleFromPath("XA\x83\x41"
                                       "B.EXE"),
              "Xa\x83\x41"
              "b");
    EXPECT_EQ(ApplicationTitleFromPath("\x83\x41"
                                       "BC.EXE"),
              "\x83\x41"
              "bc");
}

TEST_F(FormsTest, TheApplicationWindowIsAnEmptyVisiblePopupInTheScreenCentre) {
    HWND window = Application->Handle();
    ASSERT_NE(window, nullptr);
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    EXPECT_STREQ(className, "TApplication");
    const DWORD style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    EXPECT_EQ(style & 0x94CA0000u, 0x94CA0000u);
    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 400);
    EXPECT_EQ(rect.top, 300);
    EXPECT_EQ(rect.right - rect.left, 0);
    char path[256] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    EXPECT_EQ(Application->Title(), ApplicationTitleFromPath(path));
    Application->SetTitle("Other");
    char text[64] = {};
    GetWindowTextA(window, text, sizeof text);
    EXPECT_STREQ(text, "Other");
    EXPECT_EQ(Application->Title(), "Other");
    EXPECT_TRUE(Application->Active());
    EXPECT_TRUE(Application->ShowMainForm());
    EXPECT_TRUE(Application->ShowHint());
}

TEST_F(FormsTest, RunWithoutAFormReturnsAtOnce) {
    Application->Run();
    EXPECT_FALSE(Application->Running());
    EXPECT_FALSE(Application->Terminated());
}

TEST_F(FormsTest, WithShowMainFormOffRunShowsNothingAndWaits) {
    TTestMainForm* form = nullptr;
    Application->MakeForm(form);
    TAppEventLog events;
    Application->OnIdle = TIdleEvent::Of<&TAppEventLog::Idle>(&events);
    Application->SetShowMainForm(false);
    Application->Run();
    EXPECT_GE(events.idles, 1);
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
    EXPECT_TRUE(Application->Terminated());
}

TEST_F(FormsTest, WMQuitOnlySetsTerminatedAndIsNotOffered) {
    TAppEventLog events;
    Application->OnMessage = TMessageEvent::Of<&TAppEventLog::Message>(&events);
    PostMessageA(Application->Handle(), WM_USER, 0, 0);
    PostQuitMessage(0);
    EXPECT_TRUE(Application->TryProcessOne());
    EXPECT_FALSE(Application->Terminated());
    EXPECT_TRUE(Application->TryProcessOne());
    EXPECT_TRUE(Application->Terminated());
    EXPECT_EQ((std::vector<UINT>{WM_USER}), events.messages);
}

TEST_F(FormsTest, KeysAreNotFilteredWhileTheMouseIsCaptured) {
    TTestMainForm* form = ShowMainForm();
    SetCapture(form->First->Handle());
    platform::TapKey(VK_TAB);
    Pump();
    EXPECT_EQ(GetFocus(), form->First->Handle());
    ReleaseCapture();
    platform::TapKey(VK_TAB);
    Pump();
    EXPECT_EQ(GetFocus(), form->Second->Handle());
}

TEST_F(FormsTest, TheMessageBoxDisablesTheThreadsWindowsWhileItWaits) {
    TTestMainForm* form = ShowMainForm();
    bool enabledDuring = true;
    platform::QueueUserAction([&] {
        enabledDuring = IsWindowEnabled(form->Handle()) != FALSE;
        platform::AnswerMessageBox(IDNO);
    });
    const int answer = Application->ShowMessageBox("Sure?", "Asking", MB_YESNO | 0x10000);
    EXPECT_EQ(answer, IDNO);
    EXPECT_FALSE(enabledDuring);
    EXPECT_TRUE(IsWindowEnabled(form->Handle()));
    EXPECT_EQ(GetActiveWindow(), form->Handle());
}

TEST_F(FormsTest, AnErrorOutsideTheLibrarysFamilyGetsTheRuntimesReport) {
    TTestMainForm* form = ShowMainForm();
    form->onClick = [] { throw std::runtime_error("foreign"); };
    AnswerNextBox();
    platform::ClickAt(form->First->Handle(), {5, 5});
    Pump();
    ASSERT_EQ(boxCaptions.size(), 1u);
    EXPECT_EQ(boxCaptions[0], ResourceMessage(SExceptionTitle));
    const std::string& text = boxTexts[0];
    EXPECT_NE(text.find("forms_tests"), std::string::npos) << text;
    // The class as the source names it, not as the compiler mangles it.
    EXPECT_EQ(text.rfind("std::runtime_error", 0), 0u) << text;
    // Where the program met it: an offset into the program's code, so
    // within the program's file.
    const std::size_t lineStart = text.find('\n') + 1;
    const std::string address = text.substr(lineStart, text.find(' ', lineStart) - lineStart);
    const unsigned long long offset = std::stoull(address, nullptr, 16);
    char program[260] = {};
    GetModuleFileNameA(nullptr, program, sizeof program);
    EXPECT_GT(offset, 0u) << text;
    EXPECT_LT(offset, std::filesystem::file_size(program)) << text;
}

TEST_F(FormsTest, OnExceptionReplacesTheDisplay) {
    struct Catcher : TObject {
        void Caught(TObject*, Exception& e) { seen.push_back(e.Message()); }
        std::vector<std::string> seen;
    } catcher;
    Application->OnException =
        TExceptionEvent([](TObject* data, TObject*,
                           Exception& e) { static_cast<Catcher*>(data)->Caught(nullptr, e); },
                        &catcher);
    try {
        throw EConvertError("handled");
    } catch (...) {
        Application->ReportException(Application);
    }
    EXPECT_EQ((std::vector<std::string>{"handled"}), catcher.seen);
    EXPECT_FALSE(platform::MessageBoxOpen());
}

TEST_F(FormsTest, WindowHooksSeeTheApplicationsMessagesFirst) {
    int swallowed = 0;
    TWindowHookEntry hook{&SwallowTimerMessages, reinterpret_cast<TObject*>(&swallowed)};
    Application->AddWindowHook(hook);
    EXPECT_EQ(SendMessageA(Application->Handle(), WM_USER + 7, 0, 0), 42);
    Application->RemoveWindowHook(hook);
    EXPECT_EQ(SendMessageA(Application->Handle(), WM_USER + 7, 0, 0), 0);
    EXPECT_EQ(swallowed, 1);
    EXPECT_EQ(SendMessageA(Application->Handle(), CM_DIALOG_HANDLE, 0, 1234), 0);
    EXPECT_EQ(SendMessageA(Application->Handle(), CM_DIALOG_HANDLE, 1, 0), 1234);
    Application->SetDialogHandle(nullptr);
}

TEST_F(FormsTest, WMCloseAtTheApplicationWindowClosesTheMainForm) {
    TTestMainForm* form = ShowMainForm();
    SendMessageA(Application->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(form->log.back(), "close");
    Pump();
    EXPECT_TRUE(Application->Terminated());
    EXPECT_TRUE(IsWindow(Application->Handle())) << "no default processing destroyed it";
}

TEST_F(FormsTest, MinimisingTheMainFormMinimisesTheApplication) {
    TTestMainForm* form = ShowMainForm();
    TAppEventLog events;
    Application->OnMinimize = TNotifyEvent::Of<&TAppEventLog::Minimized>(&events);
    Application->OnRestore = TNotifyEvent::Of<&TAppEventLog::Restored>(&events);
    SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(IsIconic(Application->Handle()));
    EXPECT_FALSE(IsIconic(form->Handle()));
    // The form goes with the application: nothing of the program stays on
    // screen, though the form still counts as shown.
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
    EXPECT_EQ(platform::FindVisibleTopLevel("TTestMainForm"), nullptr);
    EXPECT_TRUE(form->Visible());
    Application->Minimize();
    SendMessageA(Application->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(IsIconic(Application->Handle()));
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    EXPECT_EQ(platform::FindVisibleTopLevel("TTestMainForm"), form->Handle());
    Application->Restore();
    EXPECT_EQ((std::vector<std::string>{"minimize", "restore"}), events.events);
    EXPECT_EQ(GetFocus(), form->First->Handle());
    // Animation was switched off only for the moment.
    ANIMATIONINFO animation{sizeof(ANIMATIONINFO), 1};
    SystemParametersInfoA(SPI_SETANIMATION, sizeof animation, &animation, 0);
    Application->Minimize();
    animation.iMinAnimate = 0;
    SystemParametersInfoA(SPI_GETANIMATION, sizeof animation, &animation, 0);
    EXPECT_EQ(animation.iMinAnimate, 1);
}

TEST_F(FormsTest, RestoringShowsTheFormsMinimisingHidAndNoOthers) {
    TTestMainForm* form = ShowMainForm();
    TTestMainForm* second = nullptr;
    Application->MakeForm(second);
    second->SetLeft(400);
    second->Show();
    TTestMainForm* unshown = nullptr;
    Application->MakeForm(unshown);
    HWND unshownWindow = unshown->Handle();
    Pump();
    ASSERT_TRUE(IsWindowVisible(second->Handle()));
    const COLORREF before =
        platform::CaptureWindow(second->Handle(), platform::WindowArea::Client).At(5, 5);
    SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    Pump();
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
    EXPECT_FALSE(IsWindowVisible(second->Handle()));
    EXPECT_EQ(platform::FindVisibleTopLevel("TTestMainForm"), nullptr);
    SendMessageA(Application->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
    Pump();
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    EXPECT_TRUE(IsWindowVisible(second->Handle()));
    EXPECT_FALSE(IsWindowVisible(unshownWindow)) << "a form that was not shown stays hidden";
    EXPECT_EQ(platform::CaptureWindow(second->Handle(), platform::WindowArea::Client).At(5, 5),
              before);
}

TEST_F(FormsTest, IdleSendsMouseEnterAndLeaveAndTakesTheLongHint) {
    TTestMainForm* form = ShowMainForm();
    TAppEventLog events;
    events.quitOnIdle = false;
    Application->OnIdle = TIdleEvent::Of<&TAppEventLog::Idle>(&events);
    Application->OnHint = TNotifyEvent::Of<&TAppEventLog::Hint>(&events);
    form->First->SetHint("short|the long part");
    form->SetHint("whole form");
    platform::MoveMouse(platform::ScreenPointOf(form->First->Handle(), {4, 4}));
    Pump();
    Application->Idle();
    EXPECT_EQ(Application->MouseControl(), form->First);
    EXPECT_EQ(Application->Hint(), "the long part");
    platform::MoveMouse(platform::ScreenPointOf(form->Second->Handle(), {4, 4}));
    Pump();
    Application->Idle();
    EXPECT_EQ(Application->MouseControl(), form->Second);
    EXPECT_EQ(Application->Hint(), "whole form") << "a control without a hint takes its parent's";
    EXPECT_EQ((std::vector<std::string>{"the long part", "whole form"}), events.hints);
    EXPECT_EQ(events.idles, 2);
}

TEST_F(FormsTest, TheScreenKnowsItsCursorsFontsResolutionAndInputMethods) {
    EXPECT_EQ(Screen->PixelsPerInch(), 96);
    EXPECT_EQ(Screen->Width(), 800);
    EXPECT_EQ(Screen->Height(), 600);
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    EXPECT_EQ(Screen->Cursors(crSize), arrow);
    EXPECT_EQ(Screen->Cursors(crArrow), arrow);
    EXPECT_EQ(Screen->Cursors(crIBeam), LoadCursorA(nullptr, IDC_IBEAM));
    EXPECT_NE(Screen->Cursors(crIBeam), arrow);
    EXPECT_EQ(Screen->Cursors(crNone), nullptr);
    EXPECT_EQ(Screen->Cursors(crDefault), arrow);
    EXPECT_EQ(Screen->Cursors(77), arrow);
    TStringList* fonts = Screen->Fonts();
    ASSERT_GT(fonts->Count(), 0);
    EXPECT_TRUE(fonts->Sorted());
    for (int i = 0; i < fonts->Count(); ++i) {
        EXPECT_EQ(fonts->IndexOf(fonts->Strings(i)), i) << "each face once";
    }
    EXPECT_GE(fonts->IndexOf("MS Sans Serif"), 0);
    EXPECT_EQ(Screen->DefaultKbLayout(), GetKeyboardLayout(0));
    // No input-method library here: the list stays empty.
    EXPECT_EQ(Screen->Imes()->Count(), 0);
    EXPECT_EQ(Screen->DefaultIme(), "");
}

TEST_F(FormsTest, TheScreensOwnCursorsAreTheProgramsPicturesSharedAcrossScreens) {
    HINSTANCE program = GetModuleHandleA(nullptr);
    const std::pair<TCursor, WORD> own[] = {{crDrag, 32766},      {crNoDrop, 32767},
                                            {crHSplit, 32765},    {crVSplit, 32764},
                                            {crMultiDrag, 32763}, {crSQLWait, 32762}};
    for (auto [id, group] : own) {
        HCURSOR cursor = Screen->Cursors(id);
        ASSERT_NE(cursor, nullptr) << id;
        EXPECT_EQ(cursor, LoadCursorA(program, MAKEINTRESOURCEA(group))) << id;
        EXPECT_NE(cursor, Screen->Cursors(crArrow)) << id;
    }
    EXPECT_EQ(Screen->Cursors(crSize), Screen->Cursors(crArrow))
        << "the arrow, not a sizing cursor";
    EXPECT_NE(Screen->Cursors(crSizeWE), Screen->Cursors(crArrow));

    // The drag cursor: the arrow pointing with its tip, and a sheet below it.
    HCURSOR drag = Screen->Cursors(crDrag);
    const COLORREF ground = RGB(0, 128, 128);
    HDC dc = platform::CreateMemorySurfaceDC(32, 32, ground);
    ASSERT_TRUE(DrawIcon(dc, 0, 0, drag));
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 0, 0), RGB(0, 0, 0)) << "the tip";
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 1, 5), RGB(255, 255, 255)) << "inside the arrow";
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 12, 24), RGB(0, 0, 0)) << "the sheet's edge";
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 14, 24), RGB(255, 255, 255)) << "the sheet";
    EXPECT_EQ(platform::ReadSurfacePixel(dc, 31, 0), ground) << "a clear corner";
    DeleteDC(dc);
    std::optional<POINT> tip = platform::CursorHotSpot(drag);
    ASSERT_TRUE(tip.has_value());
    EXPECT_EQ(tip->x, 0);
    EXPECT_EQ(tip->y, 0);
    std::optional<POINT> between = platform::CursorHotSpot(Screen->Cursors(crHSplit));
    ASSERT_TRUE(between.has_value());
    EXPECT_EQ(between->x, 15);
    EXPECT_EQ(between->y, 15);

    // The cursors are shared: the screen's end leaves them loaded, and the
    // next screen is given the same ones, so nothing piles up.
    const std::size_t loaded = platform::CountLiveHandles().icons;
    EndFormsLibrary();
    EXPECT_EQ(platform::CountLiveHandles().icons, loaded);
    StartFormsLibrary();
    EXPECT_EQ(Screen->Cursors(crDrag), drag);
    EXPECT_EQ(platform::CountLiveHandles().icons, loaded);
}

TEST_F(FormsTest, HelpGoesToTheHandlerThenToTheHelpFileAboutTheMainForm) {
    EXPECT_FALSE(Application->HelpCommand(HELP_CONTEXT, 12)) << "no help file, no handler";
    Pump();
    EXPECT_TRUE(platform::HelpRequests().empty());

    TTestMainForm* form = ShowMainForm();
    Application->SetHelpFile("NOTES.HLP");
    EXPECT_FALSE(Application->HelpCommand(HELP_CONTEXT, 12)) << "no help viewer here";
    SendMessageA(Application->Handle(), CM_INVOKE_HELP, HELP_KEY, 34);
    std::vector<platform::HelpRequest> requests = platform::HelpRequests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].window, form->Handle());
    EXPECT_EQ(requests[0].file, "NOTES.HLP");
    EXPECT_EQ(requests[0].command, static_cast<UINT>(HELP_CONTEXT));
    EXPECT_EQ(requests[0].data, 12u);
    EXPECT_EQ(requests[1].command, static_cast<UINT>(HELP_KEY));
    EXPECT_EQ(requests[1].data, 34u);

    struct THelpDesk : TObject {
        static void Answer(TObject* data, WORD command, LONG_PTR, bool& callHelp, bool& answer) {
            static_cast<THelpDesk*>(data)->commands.push_back(command);
            callHelp = false;
            answer = true;
        }
        std::vector<WORD> commands;
    } desk;
    Application->OnHelp = THelpEvent(&THelpDesk::Answer, &desk);
    EXPECT_TRUE(Application->HelpCommand(HELP_INDEX, 0));
    EXPECT_EQ(desk.commands, std::vector<WORD>{HELP_INDEX});
    EXPECT_EQ(platform::HelpRequests().size(), 2u) << "the handler kept the help file out";
}

TEST_F(FormsTest, EndingTheSessionEndsTheProcessWithTheFormsFreed) {
    EXPECT_EXIT(
        {
            TTestMainForm* form = ShowMainForm();
            form->onDestroy = [] { std::fputs("destroyed\n", stderr); };
            std::atexit([] {
                if (Application == nullptr && Screen == nullptr) {
                    std::fputs("library ended\n", stderr);
                }
            });
            SendMessageA(Application->Handle(), WM_ENDSESSION, 1, 0);
        },
        ::testing::ExitedWithCode(0), "destroyed\nlibrary ended");
}

TEST_F(FormsTest, TopmostFormsAreDemotedWhileTheApplicationIsDisabled) {
    TTestMainForm* form = ShowMainForm();
    auto* onTop = new TForm(Application);
    onTop->SetFormStyle(fsStayOnTop);
    onTop->Show();
    Pump();
    auto topmost = [&] {
        return (GetWindowLongA(onTop->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    };
    ASSERT_TRUE(topmost());
    SendMessageA(Application->Handle(), WM_ENABLE, 0, 0);
    EXPECT_FALSE(topmost());
    EXPECT_FALSE(IsWindowEnabled(form->Handle()));
    EXPECT_FALSE(IsWindowEnabled(onTop->Handle()));
    // Nested demotions are undone by the last promotion only.
    Application->DemoteTopMostWindows();
    Application->RepromoteTopMostWindows();
    EXPECT_FALSE(topmost());
    SendMessageA(Application->Handle(), WM_ENABLE, 1, 0);
    EXPECT_TRUE(topmost());
    EXPECT_TRUE(IsWindowEnabled(form->Handle()));
    EXPECT_TRUE(IsWindowEnabled(onTop->Handle()));
}

TEST_F(FormsTest, TheLibraryStartsAgainAfterItsEnd) {
    TTestMainForm* form = ShowMainForm();
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    const std::size_t atoms = platform::CountLiveHandles().atoms;
    EndFormsLibrary();
    EXPECT_EQ(platform::CountLiveHandles().atoms, atoms - 2) << "the controls' atoms are gone";
    EXPECT_EQ(Application, nullptr);
    EXPECT_EQ(Screen, nullptr);
    EXPECT_EQ(platform::CountLiveWindows(), 0u);
    StartFormsLibrary();
    ASSERT_NE(Application, nullptr);
    TTestMainForm* again = ShowMainForm();
    EXPECT_EQ(Application->MainForm(), again);
}

} // namespace velbrin::testing
