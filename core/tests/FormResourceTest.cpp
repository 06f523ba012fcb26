// The main window's form resource "TFORM1", read into the tests' own classes.

#include "ReaderTestSupport.h"
#include "TestClasses.h"
#include "core/TReader.h"
#include "core/TResourceStream.h"
#include "runtime/Text.h"

#include <gtest/gtest.h>

namespace velbrin {
namespace {

using namespace velbrin::testing;

TComponent* NoRoots(std::string_view) {
    return nullptr;
}

class FormResource : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterTestIdentMaps();
        AfterLoadLog().clear();
        SetRootLookupHook(&NoRoots);
    }
    void TearDown() override { SetRootLookupHook(nullptr); }
};

TEST_F(FormResource, ReadsTheWholeMainWindow) {
    TForm1 form(nullptr);
    ASSERT_TRUE(LoadClassResources(&form, TTestControl::StaticClass()));

    EXPECT_EQ(form.Name(), "Form1");
    EXPECT_EQ(form.left, 200);
    EXPECT_EQ(form.top, 107);
    EXPECT_EQ(form.width, 410);
    EXPECT_EQ(form.height, 309);
    EXPECT_EQ(form.caption, "Velbrin Notes View");
    EXPECT_EQ(form.Font()->charset, SHIFTJIS_CHARSET);
    EXPECT_EQ(form.Font()->color, clWindowText);
    EXPECT_EQ(form.Font()->height, -12);
    EXPECT_EQ(form.Font()->name, "\x82\x6C\x82\x72\x20\x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E");
    EXPECT_EQ(form.Font()->style, 0);
    EXPECT_EQ(form.pixelsPerInch, 96);
    EXPECT_EQ(form.textHeight, 12);

    ASSERT_EQ(form.ComponentCount(), 3);
    ASSERT_NE(form.Label1, nullptr);
    ASSERT_NE(form.StringGrid1, nullptr);
    ASSERT_NE(form.ComboBox1, nullptr);
    EXPECT_EQ(form.Components(0), form.Label1);
    EXPECT_EQ(form.Components(1), form.StringGrid1);
    EXPECT_EQ(form.Components(2), form.ComboBox1);
    for (TComponent* child :
         {static_cast<TComponent*>(form.Label1), static_cast<TComponent*>(form.StringGrid1),
          static_cast<TComponent*>(form.ComboBox1)}) {
        EXPECT_EQ(child->Owner(), &form);
        EXPECT_EQ(static_cast<TTestControl*>(child)->parent, &form);
        EXPECT_EQ(child->ComponentState(), 0) << child->Name();
    }
    EXPECT_EQ(form.ComponentState(), 0);

    const TLabel& label = *form.Label1;
    EXPECT_EQ(label.Name(), "Label1");
    EXPECT_EQ(label.left, 144);
    EXPECT_EQ(label.width, 23);
    EXPECT_EQ(label.height, 16);
    EXPECT_EQ(label.caption, "Key");
    EXPECT_EQ(label.Font()->charset, ANSI_CHARSET);
    EXPECT_EQ(label.Font()->color, clBlack);
    EXPECT_EQ(label.Font()->height, -13);
    EXPECT_EQ(label.Font()->name, "Arial");
    EXPECT_FALSE(label.parentFont);

    const TStringGrid& grid = *form.StringGrid1;
    EXPECT_EQ(grid.top, 24);
    EXPECT_EQ(grid.width, 401);
    EXPECT_EQ(grid.height, 257);
    EXPECT_FALSE(grid.tabStop);
    EXPECT_EQ(grid.colCount, 12);
    EXPECT_EQ(grid.rowCount, 12);
    EXPECT_EQ(grid.defaultColWidth, 32);
    EXPECT_EQ(grid.defaultRowHeight, 20);
    EXPECT_EQ(grid.fixedCols, 0);
    EXPECT_EQ(grid.fixedRows, 0);
    EXPECT_EQ(grid.scrollBars, 0);
    EXPECT_EQ(grid.tabOrder, 1);

    const TComboBox& combo = *form.ComboBox1;
    EXPECT_EQ(combo.left, 176);
    EXPECT_EQ(combo.width, 57);
    EXPECT_EQ(combo.height, 20);
    EXPECT_EQ(combo.itemHeight, 12);
    EXPECT_EQ(combo.tabOrder, 0);
    const std::vector<std::string> keys = {"G",  "A-", "A",  "B-", "B", "C",
                                           "D-", "D",  "E-", "E",  "F", "F+"};
    ASSERT_EQ(combo.Items()->GetCount(), 12);
    for (std::int32_t i = 0; i < 12; ++i) {
        EXPECT_EQ(combo.Items()->Get(i), keys[static_cast<std::size_t>(i)]);
    }

    // Both events are bound to the form's handlers, with the form as object.
    ASSERT_TRUE(form.onCreate.Assigned());
    EXPECT_EQ(form.onCreate.Data(), &form);
    form.onCreate(&form);
    EXPECT_EQ(form.created, std::vector<TObject*>{&form});
    ASSERT_TRUE(combo.onChange.Assigned());
    EXPECT_EQ(combo.onChange.Data(), &form);
    combo.onChange(form.ComboBox1);
    EXPECT_EQ(form.changed, std::vector<TObject*>{form.ComboBox1});

    EXPECT_EQ(AfterLoadLog(),
              (std::vector<std::string>{"Form1", "Label1", "StringGrid1", "ComboBox1"}));
    EXPECT_EQ(PendingCrossRootRefCount(), 0u);
}

TEST_F(FormResource, IsTheContentOfTheMainWindowInItsSmallestEncoding) {
    TResourceStream stream(nullptr, "TFORM1", RT_RCDATA);
    ASSERT_EQ(stream.Size(), 743);
    std::string bytes(743, '\0');
    stream.ReadBuffer(bytes.data(), 743);
    const std::string start = std::string("TPF0\x06TForm1\x05"
                                          "Form1\x04Left\x03\xC8\x00",
                                          25) +
                              std::string("\x03Top\x02\x6B", 6);
    EXPECT_EQ(bytes.substr(0, start.size()), start);
    EXPECT_NE(bytes.find(std::string("\x0A"
                                     "Font.Style\x0B\x00",
                                     13)),
              std::string::npos);
    EXPECT_NE(bytes.find("\x08OnCreate\x07\x0A"
                         "FormCreate"),
              std::string::npos);
    EXPECT_NE(bytes.find(std::string("\x0ATextHeight\x02\x0C\x00\x06TLabel\x06Label1", 28)),
              std::string::npos);
    EXPECT_NE(bytes.find(std::string("\x0AParentFont\x08\x00\x00", 14)), std::string::npos);
    const std::string items = std::string("\x0DItems.Strings\x01\x06\x01G\x06\x02"
                                          "A-",
                                          22);
    EXPECT_NE(bytes.find(items), std::string::npos);
    EXPECT_NE(bytes.find(std::string("\x06\x02"
                                     "F+\x00",
                                     5)),
              std::string::npos);
    const std::string end = std::string("\x08OnChange\x07\x0F"
                                        "ComboBox1Change\x00\x00\x00",
                                        29);
    EXPECT_EQ(bytes.substr(bytes.size() - end.size()), end);
}

TEST_F(FormResource, TheFormIsNamedUniquelyAmongTheRoots) {
    static TComponent* existing = nullptr;
    TComponent first(nullptr);
    first.SetName("Form1");
    existing = &first;
    SetRootLookupHook([](std::string_view name) -> TComponent* {
        return existing && AsciiSameText(existing->Name(), name) ? existing : nullptr;
    });
    EXPECT_EQ(MakeUniqueRootName("Form1"), "Form1_1");
    EXPECT_EQ(MakeUniqueRootName("Form2"), "Form2");
    TForm1 second(nullptr);
    ASSERT_TRUE(LoadClassResources(&second, TTestControl::StaticClass()));
    EXPECT_EQ(second.Name(), "Form1_1");

    SetRootLookupHook(nullptr);
    TForm1 third(nullptr);
    ASSERT_TRUE(LoadClassResources(&third, TTestControl::StaticClass()));
    EXPECT_EQ(third.Name(), "");
    EXPECT_NE(third.Label1, nullptr);
    existing = nullptr;
}

TEST_F(FormResource, AFormLoadedWhileAnotherLoadsGetsItsOwnLoadedList) {
    TForm1 outer(nullptr);
    TForm1 inner(nullptr);
    bool nested = false;
    std::vector<std::string> logBeforeInner;
    LabelConstructionHook() = [&] {
        if (nested) {
            return;
        }
        nested = true;
        logBeforeInner = AfterLoadLog();
        ASSERT_TRUE(LoadClassResources(&inner, TTestControl::StaticClass()));
    };
    ASSERT_TRUE(LoadClassResources(&outer, TTestControl::StaticClass()));
    LabelConstructionHook() = nullptr;

    ASSERT_TRUE(nested);
    EXPECT_TRUE(logBeforeInner.empty());
    // The inner form's components end loading within the inner call, the
    // outer ones only when the outer read is complete.
    EXPECT_EQ(AfterLoadLog(),
              (std::vector<std::string>{"Form1", "Label1", "StringGrid1", "ComboBox1", "Form1",
                                        "Label1", "StringGrid1", "ComboBox1"}));
    for (TForm1* form : {&outer, &inner}) {
        EXPECT_EQ(form->ComponentState(), 0);
        ASSERT_NE(form->ComboBox1, nullptr);
        EXPECT_EQ(form->ComboBox1->ComponentState(), 0);
        EXPECT_EQ(form->ComboBox1->Owner(), form);
    }
}

TEST_F(FormResource, AClassWithoutAResourceReadsNothing) {
    TLabel label(nullptr);
    EXPECT_FALSE(LoadClassResources(&label, TTestControl::StaticClass()));
    EXPECT_TRUE(AfterLoadLog().empty());
    TComponent* none = nullptr;
    EXPECT_FALSE(ReadResourceByName("TNOSUCHFORM", none));
}

} // namespace
} // namespace velbrin
