#include "FormsTestSupport.h"

#include "forms/Forms.h"
#include "forms/TApplication.h"
#include "forms/TScreen.h"
#include "graphics/TFont.h"
#include "graphics/TIcon.h"
#include "runtime/Exceptions.h"
#include "runtime/Messages.h"

#include <algorithm>
#include <string>

namespace velbrin::testing {

namespace {

COLORREF ClientPixel(TWinControl* control, int x, int y) {
    return platform::CaptureWindow(control->Handle(), platform::WindowArea::Client).At(x, y);
}

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// Clicks far enough apart in time not to make a double click.
void ClickSeparately(TWinControl* control) {
    platform::AdvanceClock(1000);
    platform::ClickAt(control->Handle(), {5, 5});
}

// What a length written at text height 12 becomes on this screen.
int Scaled(int length, int textHeight) {
    return MulDiv(length, textHeight, 12);
}

// The height of "0" in the test form's face at `fontHeight`, measured on the
// screen straight through the platform, not through the library.
int ZeroHeightOnScreen(LONG fontHeight) {
    LOGFONTA font{};
    font.lfHeight = fontHeight;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = SHIFTJIS_CHARSET;
    const char face[] = "\x82\x6c\x82\x72\x20\x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e";
    std::copy(std::begin(face), std::end(face), font.lfFaceName);
    HDC dc = GetDC(nullptr);
    HFONT handle = CreateFontIndirectA(&font);
    HGDIOBJ old = SelectObject(dc, handle);
    SIZE size{};
    GetTextExtentPoint32A(dc, "0", 1, &size);
    SelectObject(dc, old);
    DeleteObject(handle);
    ReleaseDC(nullptr, dc);
    return size.cy;
}

// Counts the screen's change events.
struct TChangeCounter : TObject {
    static void Count(TObject* data, TObject*) { ++static_cast<TChangeCounter*>(data)->changes; }
    int changes = 0;
};

} // namespace

TEST_F(FormsTest, MakeFormReadsTheResourceBindsFieldsAndEventsAndRunsOnCreateOnce) {
    TTestMainForm* form = nullptr;
    Application->MakeForm(form);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(Application->MainForm(), form);
    EXPECT_EQ(form->Name(), "MainForm");
    EXPECT_EQ(form->Caption(), "Forms test");
    ASSERT_NE(form->First, nullptr);
    ASSERT_NE(form->Shape, nullptr);
    EXPECT_EQ(form->First->Parent(), form);
    EXPECT_EQ(form->First->Owner(), form);
    EXPECT_EQ(form->Shape->Parent(), form);
    EXPECT_EQ((std::vector<std::string>{"create"}), form->log);
    // The main form has its window, hidden, owned by the application window.
    ASSERT_TRUE(form->HasWindow());
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
    EXPECT_EQ(GetWindow(form->Handle(), GW_OWNER), Application->Handle());
    EXPECT_EQ(GetWindowLongA(form->Handle(), GWL_STYLE) & (WS_CHILD | WS_VISIBLE), 0);
    EXPECT_EQ(Screen->FormCount(), 1);
    EXPECT_EQ(Screen->Forms(0), form);
    // The reader finds the form by its name.
    EXPECT_EQ(Screen->FindRoot("mainform"), form);

    TTestMainForm* second = nullptr;
    Application->MakeForm(second);
    EXPECT_EQ(Application->MainForm(), form);
    EXPECT_NE(second, form);
    EXPECT_EQ(Screen->FormCount(), 2);
}

// Sees, in OnCreate, what the caller's reference holds by then.
class TTestReferenceForm : public TTestMainForm {
    VELBRIN_CLASS(TTestReferenceForm, TTestMainForm)

public:
    explicit TTestReferenceForm(TComponent* owner) : TTestMainForm(owner) {
        onCreate = [this] { referenceInCreate = watched != nullptr ? *watched : nullptr; };
    }

    static inline TTestReferenceForm** watched = nullptr;
    TTestReferenceForm* referenceInCreate = nullptr;
};

VELBRIN_DEFINE_CLASS(TTestReferenceForm, TTestMainForm, "FormTest")

TEST_F(FormsTest, MakeFormFillsTheReferenceBeforeOnCreateAndEmptiesItWhenConstructionFails) {
    TTestReferenceForm* form = nullptr;
    TTestReferenceForm::watched = &form;
    Application->MakeForm(form);
    TTestReferenceForm::watched = nullptr;
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->referenceInCreate, form);
    EXPECT_EQ((std::vector<std::string>{"create"}), form->log);

    // A reference that held a form before is emptied all the same.
    auto* stale = new TTestMissingForm(Application);
    EXPECT_THROW(Application->MakeForm(stale), EResNotFound);
    EXPECT_EQ(stale, nullptr);
}

TEST_F(FormsTest, ConstructingThroughTheClassReferenceReadsTheResource) {
    TObject* made = TTestMainForm::StaticClass().Construct(Application);
    auto* form = dynamic_cast<TTestMainForm*>(made);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->Caption(), "Forms test");
    ASSERT_NE(form->First, nullptr);
    EXPECT_EQ(form->First->Left(), Scaled(12, ZeroHeightOnScreen(-12)));
    EXPECT_EQ((std::vector<std::string>{"create"}), form->log);
    // Only once, whoever asks again.
    form->CompleteConstruction();
    EXPECT_EQ((std::vector<std::string>{"create"}), form->log);
    EXPECT_EQ(Application->MainForm(), nullptr) << "only MakeForm names the main form";

    const int forms = Screen->FormCount();
    EXPECT_THROW(TTestMissingForm::StaticClass().Construct(Application), EResNotFound);
    EXPECT_EQ(Screen->FormCount(), forms) << "the half-made form is freed";
}

TEST_F(FormsTest, AFormConstructedWithoutItsResourceRefusesAWindowRatherThanShowEmpty) {
    auto* form = new TTestMainForm(Application);
    try {
        form->Show();
        FAIL() << "an empty form was shown";
    } catch (const EInvalidOperation& e) {
        EXPECT_NE(e.Message().find("TTestMainForm"), std::string::npos) << e.Message();
    }
    EXPECT_FALSE(form->HasWindow());
    EXPECT_EQ(platform::FindVisibleTopLevel("TTestMainForm"), nullptr);
    // Completed, it is the resource's form.
    form->CompleteConstruction();
    form->Show();
    Pump();
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    EXPECT_EQ(form->Caption(), "Forms test");
    // A form class without a resource of its own is an empty form by design.
    auto* plain = new TForm(Application);
    plain->Show();
    EXPECT_TRUE(IsWindowVisible(plain->Handle()));
}

TEST_F(FormsTest, AComponentThatIsNoFormIsMadeButNeverTheMainForm) {
    TComponent* component = nullptr;
    Application->MakeForm(TComponent::StaticClass(), component);
    ASSERT_NE(component, nullptr);
    EXPECT_EQ(component->Owner(), Application);
    EXPECT_EQ(Application->MainForm(), nullptr);
    TTestMainForm* form = nullptr;
    Application->MakeForm(form);
    EXPECT_EQ(Application->MainForm(), form);
}

TEST_F(FormsTest, AtNinetySixPixelsPerInchOnlyADifferentTextHeightScales) {
    TTestMainForm* form = nullptr;
    Application->MakeForm(form);
    // The form was written where "0" was 12 pixels high; the children follow
    // the height measured here, and stay as written when it is 12.
    const int m = ZeroHeightOnScreen(-12);
    ASSERT_GT(m, 0);
    EXPECT_EQ(form->Font()->Height(), -12);
    EXPECT_EQ(form->PixelsPerInch(), 96);
    EXPECT_EQ(form->First->Left(), Scaled(12, m));
    EXPECT_EQ(form->First->Width(), Scaled(12 + 60, m) - Scaled(12, m));
    EXPECT_EQ(form->Second->Left(), Scaled(90, m));
    EXPECT_EQ(form->Shape->Top(), Scaled(72, m));
    EXPECT_EQ(form->Width(), 300) << "the form's own bounds are never scaled";
    EXPECT_EQ(form->Left(), 40);
    EXPECT_EQ(form->ScalingFlags(), 0);
    EXPECT_EQ(form->First->ScalingFlags(), 0);
    EXPECT_EQ(form->Shape->ScalingFlags(), 0);
}

TEST_F(FormsTest, AtHundredTwentyPixelsPerInchTheFontAndTheChildrenScale) {
    StartAt(120);
    TTestMainForm* form = nullptr;
    Application->MakeForm(form);
    EXPECT_EQ(form->Font()->Height(), -15);
    EXPECT_EQ(form->PixelsPerInch(), 120);
    const int m = ZeroHeightOnScreen(-15);
    ASSERT_GT(m, 12);
    EXPECT_EQ(form->First->Left(), Scaled(12, m));
    EXPECT_EQ(form->First->Width(), Scaled(12 + 60, m) - Scaled(12, m));
    EXPECT_EQ(form->Second->Top(), Scaled(12, m));
    EXPECT_EQ(form->Second->Height(), Scaled(12 + 36, m) - Scaled(12, m));
    EXPECT_EQ(form->Shape->Top(), Scaled(72, m));
    // The form's own bounds stay as written.
    EXPECT_EQ(form->Left(), 40);
    EXPECT_EQ(form->Width(), 300);
}

// A box whose bounds come from its constructor unless its resource gives them.
class TTestPresetBox : public TTestBox {
    VELBRIN_CLASS(TTestPresetBox, TTestBox)

public:
    explicit TTestPresetBox(TComponent* owner) : TTestBox(owner) { SetBounds(0, 30, 10, 20); }
};

class TTestPartialForm : public TForm {
    VELBRIN_CLASS(TTestPartialForm, TForm)

public:
    explicit TTestPartialForm(TComponent* owner) : TForm(owner) {}
    TTestPresetBox* Partial = nullptr;
};

VELBRIN_DEFINE_CLASS(TTestPresetBox, TTestBox, "FormsTests")
VELBRIN_DEFINE_CLASS_TABLES(TTestPartialForm, TForm, "FormsTests") {
    cls.Field<&TTestPartialForm::Partial>("Partial");
}

TEST_F(FormsTest, WhileReadingOnlyTheBoundsTheResourceGaveAreScaled) {
    StartAt(120);
    auto* form = new TTestPartialForm(nullptr);
    form->CompleteConstruction();
    ASSERT_NE(form->Partial, nullptr);
    const int m = form->TextHeightOfFont();
    ASSERT_GT(m, 12);
    EXPECT_EQ(form->Partial->Left(), Scaled(24, m));
    EXPECT_EQ(form->Partial->Width(), Scaled(24 + 36, m) - Scaled(24, m));
    EXPECT_EQ(form->Partial->Top(), 30);
    EXPECT_EQ(form->Partial->Height(), 20);
    // Once read, a scaling takes every bound.
    form->Partial->ScaleControl(2, 1);
    EXPECT_EQ(form->Partial->Top(), 60);
    EXPECT_EQ(form->Partial->Height(), 40);
    TForm::Free(form);
}

TEST_F(FormsTest, WithoutATextHeightNothingIsScaledAndNoWindowIsMade) {
    StartAt(120);
    auto* form = new TTestUnscaledForm(nullptr);
    form->CompleteConstruction();
    EXPECT_FALSE(form->HasWindow());
    EXPECT_EQ(form->Box->Left(), 12);
    EXPECT_EQ(form->Box->Width(), 60);
    EXPECT_EQ(form->Font()->Height(), -12);
    TForm::Free(form);
}

TEST_F(FormsTest, ClientSizeReadFromTheResourceIsApplied) {
    auto* form = new TTestClientForm(nullptr);
    form->CompleteConstruction();
    const int m = form->TextHeightOfFont();
    EXPECT_EQ(form->ClientWidth(), Scaled(240, m));
    EXPECT_EQ(form->ClientHeight(), Scaled(120, m));
    EXPECT_GT(form->Width(), form->ClientWidth());
    TForm::Free(form);
}

TEST_F(FormsTest, AFormVisibleInItsResourceShowsOnlyAfterOnCreate) {
    auto* form = new TTestVisibleForm(Application);
    form->CompleteConstruction();
    EXPECT_FALSE(form->visibleDuringCreate);
    EXPECT_FALSE(form->windowVisibleDuringCreate);
    EXPECT_TRUE(form->Visible());
    ASSERT_TRUE(form->HasWindow());
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
}

TEST_F(FormsTest, AMissingResourceRaisesWithTheClassNameAndClearsTheReference) {
    TComponent* form = new TForm(Application);
    try {
        Application->MakeForm(TTestMissingForm::StaticClass(), form);
        FAIL() << "no exception";
    } catch (const EResNotFound& e) {
        EXPECT_EQ(e.Message(), ResourceMessage(SResNotFound, {"TTestMissingForm"}));
    }
    EXPECT_EQ(form, nullptr);
    EXPECT_EQ(Application->MainForm(), nullptr);
    EXPECT_EQ(Screen->FormCount(), 1) << "the half-made form is freed";
    EXPECT_EQ(Application->ComponentCount(), 2) << "the first form and the hint window";
}

TEST_F(FormsTest, ShowingActivatesTheFormAndFocusesTheFirstTabStop) {
    TTestMainForm* form = ShowMainForm();
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    EXPECT_TRUE(IsWindowVisible(form->First->Handle()));
    EXPECT_EQ(GetActiveWindow(), form->Handle());
    EXPECT_TRUE(form->Active());
    EXPECT_EQ(form->ActiveControl(), form->First);
    EXPECT_EQ(GetFocus(), form->First->Handle());
    EXPECT_EQ(form->First->enters, 1);
    EXPECT_EQ(Screen->ActiveForm(), form);
    EXPECT_EQ(Screen->ActiveControl(), form->First);
    EXPECT_EQ((std::vector<std::string>{"create", "show"}), form->log);
}

TEST_F(FormsTest, TabAndShiftTabMoveTheFocusInTabOrderSkippingNonStops) {
    TTestMainForm* form = ShowMainForm();
    ASSERT_EQ(GetFocus(), form->First->Handle());
    platform::TapKey(VK_TAB);
    Pump();
    EXPECT_EQ(GetFocus(), form->Second->Handle());
    EXPECT_EQ(form->ActiveControl(), form->Second);
    EXPECT_EQ(form->First->exits, 1);
    EXPECT_EQ(form->Second->enters, 1);
    platform::TapKey(VK_TAB);
    Pump();
    EXPECT_EQ(GetFocus(), form->First->Handle()) << "Skipped is no tab stop";
    platform::PressKey(VK_SHIFT);
    platform::TapKey(VK_TAB);
    platform::ReleaseKey(VK_SHIFT);
    Pump();
    EXPECT_EQ(GetFocus(), form->Second->Handle());
    EXPECT_EQ(Screen->ActiveControl(), form->Second);
    // The arrows move within the parent without the tab-stop check.
    platform::TapKey(VK_RIGHT);
    Pump();
    EXPECT_EQ(GetFocus(), form->Skipped->Handle());
}

TEST_F(FormsTest, AFocusMoveMadeDuringEnterWinsAndTheScreenAnnouncesChanges) {
    TTestMainForm* form = ShowMainForm();
    TChangeCounter controlChanges;
    Screen->OnActiveControlChange = TNotifyEvent(&TChangeCounter::Count, &controlChanges);
    // Entering Second sends the focus on to Skipped at once.
    struct TRedirect : TObject {
        static void Enter(TObject* data, TObject*) {
            auto* target = static_cast<TTestMainForm*>(data)->Skipped;
            ::SetFocus(target->Handle());
        }
    };
    form->Second->OnEnter = TNotifyEvent(&TRedirect::Enter, form);
    platform::TapKey(VK_TAB);
    Pump();
    EXPECT_EQ(GetFocus(), form->Skipped->Handle());
    EXPECT_EQ(form->ActiveControl(), form->Skipped);
    EXPECT_EQ(Screen->ActiveControl(), form->Skipped);
    EXPECT_EQ(form->Skipped->enters, 1);
    EXPECT_EQ(form->Second->exits, 1) << "left again for Skipped";
    EXPECT_EQ(controlChanges.changes, 1) << "only the focus change that held is announced";
}

TEST_F(FormsTest, KeyPreviewLetsTheFormTakeKeysBeforeTheFocusedControl) {
    TTestMainForm* form = ShowMainForm();
    struct TKeys : TObject {
        static void FormKey(TObject* data, TObject*, WORD& key, TShiftState) {
            static_cast<TKeys*>(data)->seen.push_back("form " + std::to_string(key));
            if (key == VK_F2) {
                key = 0;
            }
        }
        static void BoxKey(TObject* data, TObject*, WORD& key, TShiftState) {
            static_cast<TKeys*>(data)->seen.push_back("box " + std::to_string(key));
        }
        std::vector<std::string> seen;
    } keys;
    form->OnKeyDown = TKeyEvent(&TKeys::FormKey, &keys);
    form->First->OnKeyDown = TKeyEvent(&TKeys::BoxKey, &keys);
    platform::TapKey(VK_F2);
    Pump();
    EXPECT_EQ((std::vector<std::string>{"box 113"}), keys.seen) << "no preview yet";
    keys.seen.clear();
    form->SetKeyPreview(true);
    platform::TapKey(VK_F2);
    platform::TapKey(VK_F3);
    Pump();
    EXPECT_EQ((std::vector<std::string>{"form 113", "form 114", "box 114"}), keys.seen);
}

TEST_F(FormsTest, ControlsPaintThroughTheirCanvases) {
    TTestMainForm* form = ShowMainForm();
    platform::TapKey(VK_TAB);
    Pump();
    EXPECT_EQ(ClientPixel(form->Second, 5, 10), kRed);
    EXPECT_EQ(ClientPixel(form->Second, 5, 0), kWhite) << "the focused box shows its mark";
    EXPECT_EQ(ClientPixel(form->First, 30, 20), kBlue);
    EXPECT_EQ(ClientPixel(form->First, 30, 0), kBlue) << "the unfocused box has none";
    // The shape's band on the form; the form's face above and below it.
    const COLORREF face = ClientPixel(form, 2, 2);
    const RECT shape = form->Shape->BoundsRect();
    const int middle = (shape.left + shape.right) / 2;
    EXPECT_EQ(ClientPixel(form, middle, (shape.top + shape.bottom) / 2), kShapeBand);
    EXPECT_EQ(ClientPixel(form, middle, shape.top + 1), face);
    EXPECT_EQ(ClientPixel(form, middle, shape.bottom - 1), face);
    EXPECT_EQ(ClientPixel(form, shape.right + 1, (shape.top + shape.bottom) / 2), face);
    EXPECT_NE(face, kShapeBand);
}

TEST_F(FormsTest, WMCloseEndsRunAndTheFormsAreFreedAtTheEnd) {
    TTestMainForm* form = nullptr;
    Application->MakeForm(form);
    PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
    Application->Run();
    EXPECT_TRUE(Application->Terminated());
    EXPECT_FALSE(Application->Running());
    EXPECT_EQ((std::vector<std::string>{"create", "show", "query", "close"}), form->log);
    // The main form is not hidden by its closing: the program ends instead.
    HWND window = form->Handle();
    EXPECT_TRUE(IsWindowVisible(window));
    // At the end the application frees its forms, which hear of it and
    // take their windows along.
    bool destroyed = false;
    form->onDestroy = [&destroyed] { destroyed = true; };
    Application->FreeForms();
    EXPECT_TRUE(destroyed);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(Screen->FormCount(), 0);
    EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST_F(FormsTest, OnCloseWithActionNoneKeepsTheMainFormAndTheProgramRunning) {
    TTestMainForm* form = ShowMainForm();
    form->closeAction = caNone;
    SendMessageA(form->Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(Application->TryProcessOne() && Application->Terminated());
    EXPECT_TRUE(IsWindowVisible(form->Handle()));

    form->allowClose = false;
    form->closeAction = caFree;
    SendMessageA(form->Handle(), WM_CLOSE, 0, 0);
    Pump();
    EXPECT_FALSE(Application->Terminated()) << "the query refused";

    form->allowClose = true;
    SendMessageA(form->Handle(), WM_CLOSE, 0, 0);
    Pump();
    EXPECT_TRUE(Application->Terminated()) << "any other action ends the program";
}

TEST_F(FormsTest, ClosingASecondFormHidesItAndFreeReleasesItAfterTheHandler) {
    ShowMainForm();
    TTestMainForm* other = nullptr;
    Application->MakeForm(other);
    other->Show();
    Pump();
    ASSERT_TRUE(IsWindowVisible(other->Handle()));
    other->Close();
    EXPECT_FALSE(IsWindowVisible(other->Handle()));
    EXPECT_FALSE(Application->Terminated());

    other->Show();
    Pump();
    other->closeAction = caFree;
    bool stillThere = false;
    other->onClick = [&] {
        other->Close();
        stillThere = Screen->FormCount() == 2;
    };
    platform::ClickAt(other->First->Handle(), {5, 5});
    EXPECT_EQ(Screen->FormCount(), 2) << "freed only once its message is handled";
    Pump();
    EXPECT_TRUE(stillThere);
    EXPECT_EQ(Screen->FormCount(), 1);
    EXPECT_EQ(Application->ComponentCount(), 2) << "the main form and the hint window";
}

TEST_F(FormsTest, AnExceptionInAHandlerShowsItsMessageWithAPointAndTheProgramGoesOn) {
    TTestMainForm* form = ShowMainForm();
    form->onClick = [] { throw EConvertError("bad value"); };
    AnswerNextBox();
    ClickSeparately(form->First);
    Pump();
    ASSERT_EQ(boxTexts.size(), 1u);
    EXPECT_EQ(boxTexts[0], "bad value.");
    EXPECT_EQ(boxCaptions[0], Application->Title());
    // The windows were disabled for the box only.
    EXPECT_TRUE(IsWindowEnabled(form->Handle()));
    EXPECT_EQ(GetActiveWindow(), form->Handle());

    form->onClick = [] { throw EAbort("silent"); };
    ClickSeparately(form->First);
    Pump();
    EXPECT_EQ(boxTexts.size(), 1u) << "aborts show nothing";
    EXPECT_FALSE(platform::MessageBoxOpen());

    form->onClick = [] { throw EConvertError("ends in a point."); };
    AnswerNextBox();
    ClickSeparately(form->Second);
    Pump();
    form->onClick = [] { throw EConvertError(""); };
    AnswerNextBox();
    ClickSeparately(form->Second);
    Pump();
    ASSERT_EQ(boxTexts.size(), 3u);
    EXPECT_EQ(boxTexts[1], "ends in a point..");
    EXPECT_EQ(boxTexts[2], ".");
    EXPECT_EQ(std::count(form->log.begin(), form->log.end(), "click First"), 2);
}

TEST_F(FormsTest, AnExceptionInOnCreateIsShownAndConstructionCompletes) {
    // The handler is set before the form is read through a form made by hand.
    auto* form = new TTestMainForm(Application);
    form->onCreate = [] { throw EConvertError("in create"); };
    AnswerNextBox();
    form->CompleteConstruction();
    ASSERT_EQ(boxTexts.size(), 1u);
    EXPECT_EQ(boxTexts[0], "in create.");
    EXPECT_NE(form->First, nullptr);
}

TEST_F(FormsTest, ActiveControlRefusesControlsThatCannotTakeTheFocus) {
    TTestMainForm* form = ShowMainForm();
    TTestMainForm* other = nullptr;
    Application->MakeForm(other);
    try {
        form->SetActiveControl(other->First);
        FAIL() << "a control of another form";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), ResourceMessage(SCannotFocus));
    }
    form->Second->Hide();
    EXPECT_THROW(form->SetActiveControl(form->Second), EInvalidOperation);
    EXPECT_THROW(form->SetActiveControl(form), EInvalidOperation);
    EXPECT_EQ(form->ActiveControl(), form->First);
    form->SetActiveControl(form->Skipped);
    EXPECT_EQ(GetFocus(), form->Skipped->Handle());
}

TEST_F(FormsTest, OnDestroyRunsWhenTheApplicationFreesItsForms) {
    TTestMainForm* form = ShowMainForm();
    std::vector<std::string> seen;
    form->onDestroy = [&] {
        seen.push_back(form->log.back());
        seen.push_back(IsWindowVisible(form->Handle()) ? "visible" : "hidden");
    };
    Application->FreeForms();
    EXPECT_EQ((std::vector<std::string>{"destroy", "hidden"}), seen);
    EXPECT_EQ(Screen->FormCount(), 0);
    EXPECT_EQ(Application->MainForm(), nullptr);
    EXPECT_EQ(Screen->ActiveForm(), nullptr);
    EXPECT_EQ(Screen->ActiveControl(), nullptr);
    EXPECT_EQ(Application->MouseControl(), nullptr);
}

TEST_F(FormsTest, PrepareWindowSpecFollowsTheBorderStyle) {
    auto* form = new TForm(Application);
    TCreateParams params;
    form->PrepareWindowSpec(params);
    EXPECT_EQ(params.Style,
              static_cast<DWORD>(WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS));
    EXPECT_EQ(params.ExStyle, 0u);
    EXPECT_EQ(params.WindowClass.style, static_cast<UINT>(CS_DBLCLKS));
    EXPECT_EQ(params.WndParent, Application->Handle());

    form->SetBorderStyle(bsDialog);
    form->PrepareWindowSpec(params);
    EXPECT_EQ(params.Style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_THICKFRAME),
              static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU));
    EXPECT_EQ(params.ExStyle, static_cast<DWORD>(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE));
    EXPECT_EQ(params.WindowClass.style, 0x2808u);

    form->SetBorderStyle(bsToolWindow);
    form->SetWindowState(wsMaximized);
    form->PrepareWindowSpec(params);
    EXPECT_EQ(params.ExStyle, static_cast<DWORD>(WS_EX_TOOLWINDOW));
    EXPECT_EQ(params.Style & (WS_MAXIMIZEBOX | WS_MAXIMIZE | WS_THICKFRAME), 0u);
    EXPECT_EQ(form->WindowState(), wsNormal);

    form->SetBorderStyle(bsNone);
    form->PrepareWindowSpec(params);
    EXPECT_EQ(params.Style & (WS_POPUP | WS_CAPTION | WS_SYSMENU), static_cast<DWORD>(WS_POPUP));

    form->SetBorderStyle(bsSizeable);
    form->SetPosition(poDefault);
    form->SetBorderIcons(
        static_cast<TBorderIcons>(BorderIconBit(biSystemMenu) | BorderIconBit(biHelp)));
    form->PrepareWindowSpec(params);
    EXPECT_EQ(params.X, CW_USEDEFAULT);
    EXPECT_EQ(params.Width, CW_USEDEFAULT);
    EXPECT_EQ(params.Style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0u);
    EXPECT_EQ(params.ExStyle, static_cast<DWORD>(WS_EX_CONTEXTHELP));
}

TEST_F(FormsTest, PixelsPerInchIgnoresValuesBelowThirtySix) {
    auto* form = new TForm(Application);
    EXPECT_EQ(form->PixelsPerInch(), 96);
    form->SetPixelsPerInch(35);
    EXPECT_EQ(form->PixelsPerInch(), 96);
    form->SetPixelsPerInch(1);
    EXPECT_EQ(form->PixelsPerInch(), 96);
    form->SetPixelsPerInch(36);
    EXPECT_EQ(form->PixelsPerInch(), 36);
    form->SetScaled(false);
    EXPECT_EQ(form->PixelsPerInch(), 0);
    EXPECT_FALSE(form->Scaled());
    form->SetScaled(true);
    EXPECT_EQ(form->PixelsPerInch(), 96);
}

TEST_F(FormsTest, PositionScreenCenterCentresTheFormWhenShown) {
    auto* form = new TForm(Application);
    form->SetBounds(0, 0, 301, 201);
    form->SetPosition(poScreenCenter);
    form->Show();
    EXPECT_EQ(form->Left(), (800 - 301) / 2);
    EXPECT_EQ(form->Top(), (600 - 201) / 2);
    EXPECT_EQ(form->Position(), poDesigned);
    form->Hide();
    form->SetBounds(0, 0, 1000, 700);
    form->SetPosition(poScreenCenter);
    form->Show();
    EXPECT_EQ(form->Left(), 0) << "negative halves become 0";
    EXPECT_EQ(form->Top(), 0);
}

TEST_F(FormsTest, ChangingVisibilityInsideOnShowIsRefusedAndShown) {
    auto* form = new TTestMainForm(Application);
    form->CompleteConstruction();
    form->onShow = [form] { form->Hide(); };
    AnswerNextBox();
    form->Show();
    ASSERT_EQ(boxTexts.size(), 1u);
    EXPECT_EQ(boxTexts[0], ResourceMessage(SVisibleChanged) + ".");
    EXPECT_TRUE(IsWindowVisible(form->Handle())) << "the showing went on";
}

// A focused control that is freed is forgotten by its form and the screen, so
// neither keeps a pointer to it.
TEST_F(FormsTest, AFreedFocusedControlIsForgottenByItsFormAndTheScreen) {
    TTestMainForm* form = ShowMainForm();
    ASSERT_EQ(form->ActiveControl(), form->First);
    ASSERT_EQ(Screen->ActiveControl(), form->First);
    const TWinControl* freed = form->First;
    delete form->First;
    EXPECT_NE(form->ActiveControl(), freed);
    EXPECT_NE(Screen->ActiveControl(), freed);
    EXPECT_EQ(form->First, nullptr) << "the published field let go too";
    platform::RunUntilIdle();

    // With the focus in another program's window the screen still names the
    // control; freeing it is announced.
    form->Second->SetFocus();
    HWND elsewhere = ForeignWindow(0, 0);
    SetActiveWindow(elsewhere);
    ASSERT_EQ(Screen->ActiveControl(), form->Second);
    TChangeCounter counter;
    Screen->OnActiveControlChange = TNotifyEvent(&TChangeCounter::Count, &counter);
    delete form->Second;
    EXPECT_EQ(Screen->ActiveControl(), nullptr);
    EXPECT_EQ(counter.changes, 1);
    Screen->OnActiveControlChange = {};
    DestroyWindow(elsewhere);
}

TEST_F(FormsTest, TheCursorIsTheScreensThenTheChildsUnderTheMouseThenTheControlsOwn) {
    TTestMainForm* form = ShowMainForm();
    form->First->SetCursor(crIBeam);
    form->Shape->SetCursor(crCross);
    auto moveTo = [&](TControl* control, POINT point) {
        const POINT origin = control->ClientOrigin();
        platform::MoveMouse({origin.x + point.x, origin.y + point.y});
        Pump();
    };

    moveTo(form->First, {5, 5});
    EXPECT_EQ(GetCursor(), Screen->Cursors(crIBeam));
    moveTo(form->Shape, {5, 5});
    EXPECT_EQ(GetCursor(), Screen->Cursors(crCross)) << "the non-windowed child's own";
    moveTo(form, {250, 150});
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_ARROW)) << "the window class's";

    Screen->SetCursor(crHourGlass);
    EXPECT_EQ(GetCursor(), Screen->Cursors(crHourGlass)) << "at once";
    moveTo(form->First, {6, 6});
    EXPECT_EQ(GetCursor(), Screen->Cursors(crHourGlass)) << "over every control";
    Screen->SetCursor(crDefault);
    EXPECT_EQ(GetCursor(), Screen->Cursors(crIBeam)) << "the control under the mouse again";
}

TEST_F(FormsTest, AClickOnADisabledFormBringsTheApplicationsPopupForward) {
    TTestMainForm* form = ShowMainForm();
    TTestMainForm* popup = nullptr;
    Application->MakeForm(popup);
    popup->SetBounds(400, 300, 200, 150);
    popup->Show();
    Pump();
    HWND other = ForeignWindow(500, 0);
    SetForegroundWindow(other);
    EnableWindow(form->Handle(), FALSE);
    const int beeps = platform::CountBeeps();

    platform::ClickAt(form->Handle(), {250, 150});
    Pump();
    EXPECT_EQ(GetForegroundWindow(), popup->Handle());
    EXPECT_EQ(platform::CountBeeps(), beeps) << "brought forward instead of beeping";

    // With the pop-up already in front, the click only beeps.
    platform::ClickAt(form->Handle(), {250, 150});
    Pump();
    EXPECT_EQ(GetForegroundWindow(), popup->Handle());
    EXPECT_GT(platform::CountBeeps(), beeps);
    EnableWindow(form->Handle(), TRUE);
    DestroyWindow(other);
}

TEST_F(FormsTest, AltWithALetterInASecondFormGoesToTheMainFormAndTheFocusComesBack) {
    TTestMainForm* form = ShowMainForm();
    TTestMainForm* second = nullptr;
    Application->MakeForm(second);
    second->Show();
    Pump();
    ASSERT_EQ(GetFocus(), second->First->Handle());
    std::vector<WPARAM> mainCommands;
    form->onSysCommand = [&](WPARAM command) { mainCommands.push_back(command & 0xFFF0); };
    TWinControl* mainActive = form->ActiveControl();
    ASSERT_NE(mainActive, nullptr);

    const LPARAM letter = 'f';
    SendMessageA(second->First->Handle(), WM_SYSCOMMAND, SC_KEYMENU, letter);
    EXPECT_EQ(mainCommands, std::vector<WPARAM>{SC_KEYMENU});
    EXPECT_EQ(GetFocus(), second->First->Handle());
    // The focus trip is no focus change for either form.
    EXPECT_EQ(form->ActiveControl(), mainActive);
    EXPECT_EQ(Screen->ActiveForm(), second);
    EXPECT_EQ(second->First->exits, 0);
    EXPECT_EQ(second->First->enters, 1);

    // A space opens the window's own system menu; the main form is not asked.
    SendMessageA(second->First->Handle(), WM_SYSCOMMAND, SC_KEYMENU, ' ');
    EXPECT_EQ(mainCommands.size(), 1u);
}

TEST_F(FormsTest, AControlThatDisablesTheInputMethodGetsItBackAsItLeaves) {
    TTestMainForm* form = ShowMainForm();
    ASSERT_EQ(GetFocus(), form->First->Handle());
    EXPECT_TRUE(form->First->ImeName().empty()) << "a Japanese system names no input method";
    form->Second->SetImeMode(imDisable);
    ASSERT_TRUE(WINNLSGetEnableStatus(nullptr));

    form->Second->SetFocus();
    EXPECT_EQ(GetFocus(), form->Second->Handle());
    EXPECT_FALSE(WINNLSGetEnableStatus(nullptr));
    form->First->SetFocus();
    EXPECT_TRUE(WINNLSGetEnableStatus(nullptr));

    SendMessageA(form->First->Handle(), WM_IME_STARTCOMPOSITION, 0, 0);
    EXPECT_TRUE(form->First->ImeComposing());
    SendMessageA(form->First->Handle(), WM_IME_ENDCOMPOSITION, 0, 0);
    EXPECT_FALSE(form->First->ImeComposing());
}

TEST_F(FormsTest, AHiddenDisabledOrRemovedControlStopsBeingTheActiveControl) {
    TTestMainForm* form = ShowMainForm();
    ASSERT_EQ(form->ActiveControl(), form->First);
    form->First->SetVisible(false);
    EXPECT_EQ(form->ActiveControl(), nullptr);
    EXPECT_EQ(GetFocus(), form->Handle()) << "no key goes to a hidden window";
    platform::TapKey(VK_TAB);
    Pump();
    EXPECT_EQ(form->ActiveControl(), form->Second);

    form->Second->SetEnabled(false);
    EXPECT_EQ(form->ActiveControl(), nullptr);
    EXPECT_EQ(GetFocus(), form->Handle());

    form->Second->SetEnabled(true);
    form->Second->SetFocus();
    ASSERT_EQ(form->ActiveControl(), form->Second);
    TTestMainForm* other = nullptr;
    Application->MakeForm(other);
    form->First->SetVisible(true);
    form->Second->SetParent(other);
    EXPECT_EQ(form->ActiveControl(), nullptr);
    EXPECT_EQ(GetFocus(), form->Handle());
    platform::TapKey(VK_TAB);
    Pump();
    EXPECT_EQ(form->ActiveControl(), form->First) << "the only tab stop left";
}

TEST_F(FormsTest, APressTellsTheActiveControlOfTheActiveFormToEndItsMode) {
    TTestMainForm* form = ShowMainForm();
    ASSERT_EQ(form->ActiveControl(), form->First);
    ClickSeparately(form->Second);
    Pump();
    EXPECT_EQ(form->First->cancelModeSenders, std::vector<TControl*>{form->Second});
    EXPECT_TRUE(form->Second->cancelModeSenders.empty());

    // A form that is not active has no mode to end.
    TTestMainForm* other = nullptr;
    Application->MakeForm(other);
    other->Show();
    Pump();
    ASSERT_FALSE(form->Active());
    SendMessageA(form->Second->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(form->Second->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(form->First->cancelModeSenders.size(), 1u);
    EXPECT_TRUE(other->First->cancelModeSenders.empty()) << "nor has another form's control";
}

TEST_F(FormsTest, AKeyTheApplicationClaimsAsAMenuShortCutGoesNoFurther) {
    TTestMainForm* form = ShowMainForm();
    struct TShortCuts : TObject {
        static bool Claim(TObject* data, TMessage& message) {
            if (message.Msg == CM_APP_KEY_DOWN && message.WParam == VK_F5) {
                ++static_cast<TShortCuts*>(data)->claimed;
                message.Result = 1;
                return true;
            }
            return false;
        }
        static void BoxKey(TObject* data, TObject*, WORD& key, TShiftState) {
            static_cast<TShortCuts*>(data)->keys.push_back(key);
        }
        int claimed = 0;
        std::vector<WORD> keys;
    } shortCuts;
    const TWindowHookEntry hook{&TShortCuts::Claim, &shortCuts};
    Application->AddWindowHook(hook);
    form->First->OnKeyDown = TKeyEvent(&TShortCuts::BoxKey, &shortCuts);
    platform::TapKey(VK_F5);
    platform::TapKey(VK_F6);
    Pump();
    EXPECT_EQ(shortCuts.claimed, 1);
    EXPECT_EQ(shortCuts.keys, std::vector<WORD>{VK_F6});
    Application->RemoveWindowHook(hook);
}

TEST_F(FormsTest, AControlFreedByItsOwnFocusEventsEndsTheFocusWalkSafely) {
    TTestMainForm* form = ShowMainForm();
    struct TFreeing : TObject {
        static void FreeSender(TObject*, TObject* sender) { delete sender; }
    } freeing;
    const TNotifyEvent freeSender(&TFreeing::FreeSender, &freeing);

    ASSERT_EQ(GetFocus(), form->First->Handle());
    form->First->OnExit = freeSender;
    platform::TapKey(VK_TAB);
    Pump();
    EXPECT_EQ(form->FindComponent("First"), nullptr);
    EXPECT_EQ(form->ActiveControl(), form->Second);
    EXPECT_EQ(GetFocus(), form->Second->Handle());

    form->Skipped->SetTabStop(true);
    form->Skipped->OnEnter = freeSender;
    platform::TapKey(VK_TAB);
    Pump();
    EXPECT_EQ(form->FindComponent("Skipped"), nullptr);
    EXPECT_EQ(form->ActiveControl(), nullptr) << "the control to be focused is gone";
    platform::TapKey(VK_TAB);
    Pump();
    EXPECT_EQ(form->ActiveControl(), form->Second) << "the only control left";
}

TEST_F(FormsTest, AFormFreedWithItsOwnerHearsItsDestructionWhileStillWhole) {
    TTestMainForm* owner = ShowMainForm();
    auto* owned = new TTestMainForm(owner);
    owned->SetName("Owned");
    owned->CompleteConstruction();
    owned->Show();
    Pump();
    bool destroyedVisible = true;
    owned->onDestroy = [&] { destroyedVisible = owned->Visible(); };

    TObject::Free(owner);
    EXPECT_FALSE(destroyedVisible) << "hidden first, then told, by the owner's freeing";
    EXPECT_EQ(Screen->FormCount(), 0);
    EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST_F(FormsTest, ADialogsSystemMenuKeepsOnlyMoveAndClose) {
    auto* dialog = new TForm(Application);
    dialog->SetBorderStyle(bsDialog);
    HMENU menu = GetSystemMenu(dialog->Handle(), FALSE);
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 2) << "no separator is left behind";
    EXPECT_EQ(GetMenuItemID(menu, 0), static_cast<UINT>(SC_MOVE));
    EXPECT_EQ(GetMenuItemID(menu, 1), static_cast<UINT>(SC_CLOSE));
}

TEST_F(FormsTest, TheCaptionShowsTheFormsIconAsItChangesElseTheApplications) {
    TTestMainForm* form = ShowMainForm();
    auto bigIcon = [&] {
        return reinterpret_cast<HICON>(SendMessageA(form->Handle(), WM_GETICON, ICON_BIG, 0));
    };
    EXPECT_EQ(bigIcon(), Application->Icon()->Handle());
    TIcon own;
    own.SetHandle(LoadIconA(nullptr, IDI_HAND));
    form->SetIcon(&own);
    EXPECT_EQ(bigIcon(), form->Icon()->Handle());
    EXPECT_NE(bigIcon(), Application->Icon()->Handle());
}

TEST_F(FormsTest, ReleaseFreesAFormThatHasNoWindowYet) {
    auto* form = new TForm(Application);
    ASSERT_FALSE(form->HasWindow());
    form->Release();
    EXPECT_EQ(Screen->FormCount(), 1) << "not before the message loop takes the notice";
    Pump();
    EXPECT_EQ(Screen->FormCount(), 0);
}

} // namespace velbrin::testing
