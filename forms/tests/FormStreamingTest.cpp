#include "FormsTestSupport.h"

#include "core/ClassTables.h"
#include "core/TMemoryStream.h"
#include "core/TReader.h"
#include "core/TWriter.h"
#include "graphics/Graphics.h"
#include "graphics/TFont.h"
#include "graphics/TIcon.h"
#include "runtime/Exceptions.h"
#include "runtime/Text.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace velbrin::testing {

// A form with handlers for the drag events, which a resource binds by name.
class TStreamedForm : public TForm {
    VELBRIN_CLASS(TStreamedForm, TForm)

public:
    explicit TStreamedForm(TComponent* owner) : TForm(owner) {}

    void FormDragOver(TObject*, TObject*, int x, int y, TDragState, bool& accept) {
        log.push_back("over " + std::to_string(x) + "," + std::to_string(y));
        accept = true;
    }
    void FormDragDrop(TObject*, TObject*, int x, int y) {
        log.push_back("drop " + std::to_string(x) + "," + std::to_string(y));
    }

    std::vector<std::string> log;
};

VELBRIN_DEFINE_CLASS_TABLES(TStreamedForm, TForm, "FormsTests") {
    cls.Method<&TStreamedForm::FormDragOver>("FormDragOver");
    cls.Method<&TStreamedForm::FormDragDrop>("FormDragDrop");
}

namespace {

struct FreeForm {
    void operator()(TForm* form) const { TForm::Free(form); }
};
using FormPtr = std::unique_ptr<TStreamedForm, FreeForm>;

FormPtr NewForm() {
    return FormPtr(new TStreamedForm(nullptr));
}

std::string ContentsOf(TMemoryStream& stream) {
    return std::string(static_cast<const char*>(stream.Memory()),
                       static_cast<std::size_t>(stream.Size()));
}

std::string WriteForm(TForm* form) {
    TMemoryStream stream;
    TWriter writer(stream);
    writer.WriteRootComponent(form);
    writer.FlushBuffer();
    return ContentsOf(stream);
}

FormPtr ReadForm(const std::string& bytes) {
    FormPtr form = NewForm();
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    stream.SetPosition(0);
    TReader reader(stream);
    reader.ReadRootObject(form.get());
    return form;
}

using Entries = std::map<std::string, std::string>;

// The root's property entries by path, numbers and identifiers as text, other
// values as "..."; an entry written twice fails the test.
Entries RootEntries(const std::string& bytes) {
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    stream.SetPosition(0);
    TReader reader(stream);
    reader.ReadSignature();
    std::uint8_t flags = 0;
    std::int32_t position = 0;
    reader.ReadPrefix(flags, position);
    reader.ReadStr();
    reader.ReadStr();
    Entries entries;
    while (!reader.EndOfList()) {
        const std::string path = reader.ReadStr();
        std::string value = "...";
        switch (reader.NextValue()) {
        case ValInt8:
        case ValInt16:
        case ValInt32:
            value = std::to_string(reader.ReadInteger());
            break;
        case ValIdent:
        case ValFalse:
        case ValTrue:
        case ValNil:
            value = reader.ReadIdent();
            break;
        default:
            reader.SkipValue();
        }
        EXPECT_TRUE(entries.emplace(path, value).second) << path << " written twice";
    }
    return entries;
}

constexpr const char* kNotWritten = "(not written)";

std::string Entry(const Entries& entries, const std::string& path) {
    const auto found = entries.find(path);
    return found != entries.end() ? found->second : kNotWritten;
}

void Put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// An icon file with one 16 x 16 image in 32-bit colour: a red square.
std::string TinyIconFile() {
    constexpr std::uint32_t side = 16;
    constexpr std::uint32_t infoSize = 40;
    constexpr std::uint32_t imageSize = infoSize + side * side * 4 + side * 4;
    std::vector<std::uint8_t> file;
    Put16(file, 0);
    Put16(file, 1);
    Put16(file, 1);
    file.insert(file.end(), {side, side, 0, 0});
    Put16(file, 1);
    Put16(file, 32);
    Put32(file, imageSize);
    Put32(file, 6 + 16);
    for (std::uint32_t value : {infoSize, side, 2 * side}) {
        Put32(file, value);
    }
    Put16(file, 1);
    Put16(file, 32);
    file.resize(file.size() + 24, 0);
    for (std::uint32_t pixel = 0; pixel < side * side; ++pixel) {
        file.insert(file.end(), {0, 0, 255, 255});
    }
    file.resize(file.size() + side * 4, 0);
    return std::string(file.begin(), file.end());
}

void LoadIcon(TIcon& icon, const std::string& data) {
    TMemoryStream stream;
    stream.WriteBuffer(data.data(), static_cast<std::int32_t>(data.size()));
    stream.SetPosition(0);
    icon.LoadFromStream(stream);
}

std::string SavedIcon(TIcon& icon) {
    TMemoryStream stream;
    icon.SaveToStream(stream);
    return ContentsOf(stream);
}

using FormStreamingTest = FormsTest;

TEST_F(FormStreamingTest, ScrollBarsTheIconAndTheDragEventsRoundTrip) {
    FormPtr form = NewForm();
    // Without AutoScroll the ranges are the ones set here, not the children's.
    form->SetAutoScroll(false);
    form->HorzScrollBar()->SetRange(500);
    form->HorzScrollBar()->SetPosition(40);
    form->HorzScrollBar()->SetTracking(true);
    form->VertScrollBar()->SetIncrement(20);
    form->VertScrollBar()->SetMargin(6);
    form->VertScrollBar()->SetVisible(false);
    LoadIcon(*form->Icon(), TinyIconFile());
    form->OnDragOver = TDragOverEvent::Of<&TStreamedForm::FormDragOver>(form.get());
    form->OnDragDrop = TDragDropEvent::Of<&TStreamedForm::FormDragDrop>(form.get());

    const std::string resource = WriteForm(form.get());
    const auto entries = RootEntries(resource);
    EXPECT_EQ(Entry(entries, "HorzScrollBar.Range"), "500");
    EXPECT_EQ(Entry(entries, "HorzScrollBar.Position"), "40");
    EXPECT_EQ(Entry(entries, "HorzScrollBar.Tracking"), "True");
    EXPECT_EQ(Entry(entries, "VertScrollBar.Increment"), "20");
    EXPECT_EQ(Entry(entries, "VertScrollBar.Margin"), "6");
    EXPECT_EQ(Entry(entries, "VertScrollBar.Visible"), "False");
    // Defaults stay out.
    EXPECT_EQ(Entry(entries, "HorzScrollBar.Increment"), kNotWritten);
    EXPECT_EQ(Entry(entries, "VertScrollBar.Range"), kNotWritten);
    EXPECT_EQ(Entry(entries, "HorzScrollBar.Visible"), kNotWritten);
    EXPECT_EQ(Entry(entries, "Icon.Data"), "...");
    EXPECT_EQ(Entry(entries, "OnDragOver"), "FormDragOver");
    EXPECT_EQ(Entry(entries, "OnDragDrop"), "FormDragDrop");

    FormPtr copy = ReadForm(resource);
    EXPECT_EQ(copy->HorzScrollBar()->Range(), 500);
    EXPECT_EQ(copy->HorzScrollBar()->Position(), 40);
    EXPECT_TRUE(copy->HorzScrollBar()->Tracking());
    EXPECT_EQ(copy->HorzScrollBar()->Increment(), 8);
    EXPECT_EQ(copy->VertScrollBar()->Increment(), 20);
    EXPECT_EQ(copy->VertScrollBar()->Margin(), 6);
    EXPECT_FALSE(copy->VertScrollBar()->Visible());
    EXPECT_EQ(SavedIcon(*copy->Icon()), TinyIconFile());
    EXPECT_NE(copy->Icon()->Handle(), nullptr);

    bool accept = false;
    copy->OnDragOver(copy.get(), nullptr, 3, 4, dsDragMove, accept);
    copy->OnDragDrop(copy.get(), nullptr, 5, 6);
    EXPECT_TRUE(accept);
    EXPECT_EQ(copy->log, (std::vector<std::string>{"over 3,4", "drop 5,6"}));
    EXPECT_TRUE(form->log.empty());
}

TEST_F(FormStreamingTest, AFormWithoutAnIconStoresNoIconDataAndBadIconDataFailsTheRead) {
    FormPtr form = NewForm();
    EXPECT_EQ(Entry(RootEntries(WriteForm(form.get())), "Icon.Data"), kNotWritten);

    TMemoryStream stream;
    TWriter writer(stream);
    writer.WriteSignature();
    writer.WriteStr("TStreamedForm");
    writer.WriteStr("Bad");
    writer.WritePropertyName("Icon.Data");
    const std::uint8_t cursorHeader[] = {0, 0, 2, 0, 1, 0};
    writer.WriteBinary(cursorHeader, sizeof cursorHeader);
    writer.WriteListEnd();
    writer.WriteListEnd();
    writer.FlushBuffer();
    try {
        ReadForm(ContentsOf(stream));
        ADD_FAILURE() << "no error";
    } catch (const EReadError& error) {
        EXPECT_EQ(AnsiToUtf8(error.Message()),
                  "Bad.Icon.Data の読み込み中のｴﾗｰ: ｱｲｺﾝｲﾒｰｼﾞが不正です");
    }
}

TEST_F(FormStreamingTest, TheOuterSizeIsStoredWithAutoScrollOrARangeElseTheClientSize) {
    FormPtr scrolling = NewForm();
    scrolling->SetBounds(0, 0, 300, 200);
    auto entries = RootEntries(WriteForm(scrolling.get()));
    EXPECT_EQ(Entry(entries, "Width"), "300");
    EXPECT_EQ(Entry(entries, "Height"), "200");
    EXPECT_EQ(Entry(entries, "ClientWidth"), kNotWritten);
    EXPECT_EQ(Entry(entries, "ClientHeight"), kNotWritten);

    FormPtr fixed = NewForm();
    fixed->SetAutoScroll(false);
    fixed->SetClientWidth(250);
    fixed->SetClientHeight(150);
    const std::string resource = WriteForm(fixed.get());
    entries = RootEntries(resource);
    EXPECT_EQ(Entry(entries, "AutoScroll"), "False");
    EXPECT_EQ(Entry(entries, "ClientWidth"), "250");
    EXPECT_EQ(Entry(entries, "ClientHeight"), "150");
    EXPECT_EQ(Entry(entries, "Width"), kNotWritten);
    EXPECT_EQ(Entry(entries, "Height"), kNotWritten);
    FormPtr copy = ReadForm(resource);
    EXPECT_EQ(copy->ClientWidth(), 250);
    EXPECT_EQ(copy->ClientHeight(), 150);

    fixed->VertScrollBar()->SetRange(400);
    entries = RootEntries(WriteForm(fixed.get()));
    EXPECT_EQ(Entry(entries, "Width"), std::to_string(fixed->Width()));
    EXPECT_EQ(Entry(entries, "Height"), std::to_string(fixed->Height()));
    EXPECT_EQ(Entry(entries, "ClientWidth"), kNotWritten);
}

TEST_F(FormStreamingTest, Ctl3DMovesTheColourBetweenWindowAndButtonFaceButKeepsAChosenOne) {
    FormPtr form = NewForm();
    EXPECT_TRUE(form->Ctl3D());
    EXPECT_EQ(static_cast<std::uint32_t>(form->Color()), 0x8000000Fu);
    form->SetCtl3D(false);
    EXPECT_EQ(static_cast<std::uint32_t>(form->Color()), 0x80000005u);
    form->SetCtl3D(true);
    EXPECT_EQ(form->Color(), clBtnFace);

    form->SetColor(clRed);
    form->SetCtl3D(false);
    EXPECT_EQ(form->Color(), clRed);
    form->SetCtl3D(true);
    EXPECT_EQ(form->Color(), clRed);
}

TEST_F(FormStreamingTest, TheColourIsStoredOnlyWhenCtl3DDoesNotImplyIt) {
    FormPtr plain = NewForm();
    auto entries = RootEntries(WriteForm(plain.get()));
    EXPECT_EQ(Entry(entries, "Color"), kNotWritten);
    EXPECT_EQ(Entry(entries, "Ctl3D"), kNotWritten);

    FormPtr flat = NewForm();
    flat->SetCtl3D(false);
    std::string resource = WriteForm(flat.get());
    entries = RootEntries(resource);
    EXPECT_EQ(Entry(entries, "Ctl3D"), "False");
    EXPECT_EQ(Entry(entries, "Color"), kNotWritten);
    FormPtr copy = ReadForm(resource);
    EXPECT_FALSE(copy->Ctl3D());
    EXPECT_EQ(copy->Color(), clWindow);

    // A colour chosen with Ctl3D on that happens to be the flat one.
    FormPtr white = NewForm();
    white->SetColor(clWindow);
    resource = WriteForm(white.get());
    EXPECT_EQ(Entry(RootEntries(resource), "Color"), "clWindow");
    copy = ReadForm(resource);
    EXPECT_TRUE(copy->Ctl3D());
    EXPECT_EQ(copy->Color(), clWindow);

    flat->SetColor(clBtnFace);
    resource = WriteForm(flat.get());
    EXPECT_EQ(Entry(RootEntries(resource), "Color"), "clBtnFace");
    EXPECT_EQ(ReadForm(resource)->Color(), clBtnFace);
}

TEST_F(FormStreamingTest, PixelsPerInchAndTextHeightAreWrittenWithEveryForm) {
    FormPtr form = NewForm();
    form->Font()->SetHeight(-20);
    std::string resource = WriteForm(form.get());
    EXPECT_FALSE(form->HasWindow()) << "writing made a window";
    auto entries = RootEntries(resource);
    EXPECT_EQ(Entry(entries, "PixelsPerInch"), "96");
    const int textHeight = form->TextHeightOfFont();
    EXPECT_GT(textHeight, 12);
    EXPECT_EQ(Entry(entries, "TextHeight"), std::to_string(textHeight));
    FormPtr copy = ReadForm(resource);
    EXPECT_EQ(copy->PixelsPerInch(), 96);
    EXPECT_EQ(copy->Font()->Height(), -20);

    ASSERT_TRUE(form->HasWindow());
    entries = RootEntries(WriteForm(form.get()));
    EXPECT_EQ(Entry(entries, "TextHeight"), std::to_string(textHeight));

    form->SetScaled(false);
    resource = WriteForm(form.get());
    entries = RootEntries(resource);
    EXPECT_EQ(Entry(entries, "Scaled"), "False");
    EXPECT_EQ(Entry(entries, "PixelsPerInch"), "0");
    copy = ReadForm(resource);
    EXPECT_EQ(copy->PixelsPerInch(), 0);
    EXPECT_FALSE(copy->Scaled());
    EXPECT_FALSE(copy->HasWindow()) << "an unscaled form was measured";
}

} // namespace
} // namespace velbrin::testing
