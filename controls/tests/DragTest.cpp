#include "ControlTestSupport.h"

#include "runtime/Exceptions.h"
#include "runtime/Messages.h"

namespace velbrin::testing {
namespace {

// Writes down every step of a drag; accepts drops on the controls it is told.
class TDragLog : public TObject {
    VELBRIN_CLASS(TDragLog, TObject)

public:
    void StartDrag(TObject* sender, TObject*&) { lines.push_back("start " + NameOf(sender)); }
    void DragOver(TObject* sender, TObject*, int x, int y, TDragState state, bool& accept) {
        static const char* const kStates[] = {"enter", "leave", "move"};
        lines.push_back(std::string(kStates[state]) + " " + NameOf(sender) + " " + At(x, y));
        accept = sender == accepting;
    }
    void DragDrop(TObject* sender, TObject* source, int x, int y) {
        lines.push_back("drop " + NameOf(source) + " on " + NameOf(sender) + " " + At(x, y));
    }
    void EndDrag(TObject* sender, TObject* target, int, int) {
        lines.push_back("end " + NameOf(sender) + " onto " +
                        (target != nullptr ? NameOf(target) : "nothing"));
    }
    void Watch(TControl& control) {
        control.OnStartDrag = TStartDragEvent::Of<&TDragLog::StartDrag>(this);
        control.OnDragOver = TDragOverEvent::Of<&TDragLog::DragOver>(this);
        control.OnDragDrop = TDragDropEvent::Of<&TDragLog::DragDrop>(this);
        control.OnEndDrag = TEndDragEvent::Of<&TDragLog::EndDrag>(this);
    }

    std::vector<std::string> lines;
    TObject* accepting = nullptr;

private:
    static std::string NameOf(TObject* object) { return static_cast<TComponent*>(object)->Name(); }
    static std::string At(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }
};

VELBRIN_DEFINE_CLASS(TDragLog, TObject, "ControlTests")

class DragTest : public ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        MakeShownForm();
        source = new TTestGraphic(form);
        source->SetName("Source");
        source->SetBounds(30, 40, 50, 20);
        source->SetParent(form);
        source->SetDragMode(dmAutomatic);
        target = new TTestPanel(form);
        target->SetName("Target");
        target->SetBounds(150, 40, 60, 40);
        target->SetParent(form);
        refuser = new TTestGraphic(form);
        refuser->SetName("Refuser");
        refuser->SetBounds(30, 120, 50, 20);
        refuser->SetParent(form);
        for (TControl* control : {static_cast<TControl*>(source), static_cast<TControl*>(target),
                                  static_cast<TControl*>(refuser)}) {
            log.Watch(*control);
        }
        log.accepting = target;
        mouse.Watch(*source);
    }

    void MoveTo(POINT formPoint) {
        platform::MoveMouse(platform::ScreenPointOf(form->Handle(), formPoint));
        platform::RunUntilIdle();
    }
    void Press(POINT formPoint) {
        MoveTo(formPoint);
        platform::PressMouse(platform::MouseButton::Left);
        platform::RunUntilIdle();
    }
    void Release() {
        platform::ReleaseMouse(platform::MouseButton::Left);
        platform::RunUntilIdle();
    }

    TTestGraphic* source = nullptr;
    TTestPanel* target = nullptr;
    TTestGraphic* refuser = nullptr;
    TDragLog log;
    TEventLog mouse;
};

TEST_F(DragTest, ADragBeginsPastTheThresholdAndTheTargetTakesTheDrop) {
    Press({40, 50});
    EXPECT_TRUE(source->Dragging());
    MoveTo({42, 51});
    EXPECT_TRUE(log.lines.empty()) << "not far enough yet";

    MoveTo({170, 60});
    MoveTo({175, 62});
    Release();
    EXPECT_EQ(log.lines,
              (std::vector<std::string>{"start Source", "enter Target 20,20", "move Target 25,22",
                                        "leave Target 25,22", "drop Source on Target 25,22",
                                        "end Source onto Target"}));
    EXPECT_FALSE(source->Dragging());
    EXPECT_FALSE(source->MouseCapture());
    EXPECT_TRUE(mouse.lines.empty()) << "the press went to the drag, not to a click";
}

TEST_F(DragTest, ARefusedDropEndsOntoNothingAndAPressThatStaysPutIsNoDrag) {
    Press({40, 50});
    MoveTo({40, 125});
    Release();
    EXPECT_EQ(log.lines,
              (std::vector<std::string>{"start Source", "enter Refuser 10,5", "leave Refuser 10,5",
                                        "end Source onto nothing"}));

    log.lines.clear();
    Press({40, 50});
    Release();
    EXPECT_TRUE(log.lines.empty());
    EXPECT_FALSE(source->Dragging());
}

TEST_F(DragTest, EscapeOrTheRightButtonCancelsTheDrag) {
    SetFocus(target->Handle());
    Press({40, 50});
    MoveTo({170, 60});
    platform::TapKey(VK_ESCAPE);
    platform::RunUntilIdle();
    EXPECT_FALSE(source->Dragging());
    EXPECT_EQ(log.lines.back(), "end Source onto nothing");
    Release();

    log.lines.clear();
    Press({40, 50});
    MoveTo({170, 60});
    platform::PressMouse(platform::MouseButton::Right);
    platform::RunUntilIdle();
    EXPECT_FALSE(source->Dragging());
    EXPECT_EQ(log.lines.back(), "end Source onto nothing");
    platform::ReleaseMouse(platform::MouseButton::Right);
    Release();
}

TEST_F(DragTest, AFreedTargetOrSourceLeavesNoDragBehind) {
    Press({40, 50});
    MoveTo({170, 60});
    delete target;
    Release();
    EXPECT_EQ(log.lines.back(), "end Source onto nothing");

    Press({40, 50});
    MoveTo({60, 90});
    ASSERT_TRUE(source->Dragging());
    delete source;
    EXPECT_EQ(DraggedControl(), nullptr);
    Release();
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(DragTest, AnImmediateDragStartsAtOnceAndAFormCannotBeDragged) {
    MoveTo({170, 60});
    source->BeginDrag(true);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"start Source", "enter Target 20,20"}));
    source->EndDrag(true);
    EXPECT_EQ(log.lines.back(), "end Source onto Target");

    try {
        form->BeginDrag(true);
        FAIL() << "a form was dragged";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), ResourceMessage(SCannotDragForm));
    }
    EXPECT_FALSE(form->Dragging());
}

} // namespace
} // namespace velbrin::testing
