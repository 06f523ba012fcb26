#include "ControlTestSupport.h"

#include "core/ClassRegistry.h"
#include "core/tests/ReaderTestSupport.h"

namespace velbrin::testing {
namespace {

constexpr int NoTabOrder = -100;

void WritePanel(TWriter& writer, const char* name, int left, int tabOrder) {
    WriteRecord(writer, "TTestPanel", name, [=](TWriter& w) {
        w.WritePropertyName("Left");
        w.WriteInteger(left);
        if (tabOrder != NoTabOrder) {
            w.WritePropertyName("TabOrder");
            w.WriteInteger(tabOrder);
        }
    });
}

TEST_F(ControlTest, ReadChildrenTakeTheirRecordedTabOrderAndShowAfterReading) {
    RegisterStreamClass(TTestPanel::StaticClass());
    const std::string bytes = MakeResource([](TWriter& writer) {
        WriteRecord(writer, "TTestForm", "Form1", {}, [](TWriter& w) {
            WritePanel(w, "A", 0, 2);
            WritePanel(w, "B", 60, NoTabOrder);
            WritePanel(w, "C", 120, 0);
            WritePanel(w, "D", 180, 7);
            WriteRecord(w, "TTestPanel", "E", [](TWriter& props) {
                props.WritePropertyName("IsControl");
                props.WriteBoolean(true);
            });
        });
    });
    form = new TTestForm(nullptr);
    form->SetBounds(0, 0, 400, 200);
    form->RefreshShowing();
    ReadResource(bytes, form);

    auto order = [this](const char* name) {
        return static_cast<TWinControl*>(form->FindComponent(name))->TabOrder();
    };
    EXPECT_EQ(order("C"), 0);
    EXPECT_EQ(order("B"), 1) << "without a valid order, in reading order";
    EXPECT_EQ(order("A"), 2);
    EXPECT_EQ(order("D"), 3);
    EXPECT_EQ(order("E"), 4);
    EXPECT_TRUE(static_cast<TControl*>(form->FindComponent("E"))->IsControl());
    EXPECT_FALSE(static_cast<TControl*>(form->FindComponent("D"))->IsControl());
    auto* b = static_cast<TWinControl*>(form->FindComponent("B"));
    EXPECT_EQ(b->Parent(), form);
    EXPECT_EQ(b->Left(), 60);
    ASSERT_TRUE(b->HasWindow());
    EXPECT_TRUE(IsWindowVisible(b->Handle()));
    UnregisterStreamClass(TTestPanel::StaticClass());
}

} // namespace
} // namespace velbrin::testing
