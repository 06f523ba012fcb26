#include "core/TWriter.h"

#include "ReaderTestSupport.h"
#include "TestClasses.h"
#include "core/TResourceStream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace velbrin {
namespace {

using namespace velbrin::testing;

std::string Written(const WriteSteps& steps) {
    TMemoryStream stream;
    {
        TWriter writer(stream, 16);
        steps(writer);
        writer.FlushBuffer();
    }
    return std::string(static_cast<const char*>(stream.Memory()),
                       static_cast<std::size_t>(stream.Size()));
}

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (int value : values) {
        bytes += static_cast<char>(value);
    }
    return bytes;
}

TEST(TWriter, IntegersTakeTheSmallestCode) {
    auto integer = [](std::int32_t value) {
        return Written([value](TWriter& w) { w.WriteInteger(value); });
    };
    EXPECT_EQ(integer(127), Bytes({0x02, 0x7F}));
    EXPECT_EQ(integer(-128), Bytes({0x02, 0x80}));
    EXPECT_EQ(integer(128), Bytes({0x03, 0x80, 0x00}));
    EXPECT_EQ(integer(-129), Bytes({0x03, 0x7F, 0xFF}));
    EXPECT_EQ(integer(-32768), Bytes({0x03, 0x00, 0x80}));
    EXPECT_EQ(integer(32768), Bytes({0x04, 0x00, 0x80, 0x00, 0x00}));
    EXPECT_EQ(integer(INT32_MIN), Bytes({0x04, 0x00, 0x00, 0x00, 0x80}));
}

TEST(TWriter, StringsIdentifiersSetsAndPrefixes) {
    EXPECT_EQ(Written([](TWriter& w) { w.WriteString(""); }), Bytes({0x06, 0x00}));
    const std::string longText(300, 'L');
    EXPECT_EQ(Written([&](TWriter& w) { w.WriteString(longText); }),
              Bytes({0x0C, 0x2C, 0x01, 0x00, 0x00}) + longText);
    EXPECT_EQ(Written([&](TWriter& w) { w.WriteString(std::string(255, 's')); }).substr(0, 2),
              Bytes({0x06, 0xFF}));
    EXPECT_EQ(Written([](TWriter& w) { w.WriteChar('c'); }), Bytes({0x06, 0x01, 'c'}));
    EXPECT_EQ(Written([](TWriter& w) {
                  w.WriteIdent("false");
                  w.WriteIdent("TRUE");
                  w.WriteIdent("Nil");
                  w.WriteIdent("clRed");
              }),
              Bytes({0x08, 0x09, 0x0D, 0x07, 0x05, 'c', 'l', 'R', 'e', 'd'}));
    EXPECT_EQ(Written([](TWriter& w) { w.WriteSet({}); }), Bytes({0x0B, 0x00}));
    EXPECT_EQ(Written([](TWriter& w) { w.WriteSetValue(0b1001, TestFontStyleType()); }),
              Bytes({0x0B, 0x06}) + "fsBold" + Bytes({0x0B}) + "fsStrikeOut" + Bytes({0x00}));
    // Bits beyond the element type have no name; an empty one would end the set early.
    EXPECT_EQ(Written([](TWriter& w) { w.WriteSetValue(0b1001 | 1u << 20, TestFontStyleType()); }),
              Bytes({0x0B, 0x06}) + "fsBold" + Bytes({0x0B}) + "fsStrikeOut" + Bytes({0x00}));
    EXPECT_EQ(Written([](TWriter& w) { w.WriteStr(std::string(300, 'n')); }).size(), 256u);
    EXPECT_EQ(Written([](TWriter& w) { w.WritePrefix(ffInherited, 9); }), Bytes({0xF1}));
    EXPECT_EQ(Written([](TWriter& w) { w.WritePrefix(ffChildPos, 5); }), Bytes({0xF2, 0x02, 0x05}));
    EXPECT_EQ(Written([](TWriter& w) { w.WritePrefix(0, 5); }), "");
    EXPECT_EQ(Written([](TWriter& w) { WriteRecord(w, "TLabel", "Label1"); }),
              Bytes({0x06}) + "TLabel" + Bytes({0x06}) + "Label1" + Bytes({0x00, 0x00}));
}

TEST(TWriter, FloatsAreEightyBitExtendedValues) {
    EXPECT_EQ(Written([](TWriter& w) { w.WriteFloat(1.0L); }),
              Bytes({0x05, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}));
    EXPECT_EQ(Written([](TWriter& w) { w.WriteFloat(-2.5L); }),
              Bytes({0x05, 0, 0, 0, 0, 0, 0, 0, 0xA0, 0x00, 0xC0}));
    for (long double value : {0.1L, -1e300L, 3.0e-4940L, 1.0L / 3, 0.0L,
                              std::numeric_limits<long double>::infinity()}) {
        EXPECT_EQ(FromExtended80(ToExtended80(value)), value);
    }
    EXPECT_TRUE(std::isnan(FromExtended80(ToExtended80(std::nanl("")))));
}

TEST(TWriter, WritesTheMainWindowBackAsItWasRead) {
    RegisterTestIdentMaps();
    TResourceStream resource(nullptr, "TFORM1", RT_RCDATA);
    std::string original(static_cast<std::size_t>(resource.Size()), '\0');
    resource.ReadBuffer(original.data(), resource.Size());

    TForm1 form(nullptr);
    ReadResource(original, &form);
    form.SetName("Form1");
    TMemoryStream written;
    {
        TWriter writer(written);
        writer.WriteRootComponent(&form);
        writer.FlushBuffer();
    }
    EXPECT_EQ(std::string(static_cast<const char*>(written.Memory()),
                          static_cast<std::size_t>(written.Size())),
              original);
    EXPECT_EQ(form.ComponentState(), 0);
}

TEST(TWriter, WritesOnlyWhatDiffersFromTheDefaults) {
    TProbeRoot root(nullptr);
    auto* probe = new TProbe(&root);
    probe->SetName("Probe1");
    auto* other = new TProbe(&root);
    other->SetName("Other");
    probe->buddy = other;
    probe->ratio = 0.75;
    probe->alignment = 1;
    probe->blob = "zz";
    probe->Items()->Add();
    static_cast<TProbeItem*>(probe->Items()->Add())->value = 4;
    probe->onProbe = TNotifyEvent::Of<&TProbeRoot::Probed>(&root);
    TMemoryStream stream;
    {
        TWriter writer(stream);
        writer.SetRoot(&root);
        writer.WriteProperties(probe);
        writer.FlushBuffer();
    }
    std::vector<std::string> paths;
    {
        stream.SetPosition(0);
        TReader reader(stream);
        while (stream.Position() < stream.Size()) {
            paths.push_back(reader.ReadStr());
            reader.SkipValue();
            reader.FlushBuffer();
        }
    }
    EXPECT_EQ(paths, (std::vector<std::string>{"Offset", "Level", "Depth", "Span", "Letter",
                                               "Alignment", "Ratio", "Style", "Buddy", "OnProbe",
                                               "Left", "Right", "Color", "Items", "Blob"}));

    TProbe* copy = new TProbe(&root);
    stream.SetPosition(0);
    TReader reader(stream);
    reader.SetRoot(&root);
    for (std::size_t i = 0; i < paths.size(); ++i) {
        reader.ReadPropertyEntry(copy);
    }
    EXPECT_EQ(copy->buddy, other);
    EXPECT_EQ(copy->ratio, 0.75);
    EXPECT_EQ(copy->alignment, 1);
    EXPECT_EQ(copy->blob, "zz");
    EXPECT_EQ(copy->onProbe, probe->onProbe);
    ASSERT_EQ(copy->Items()->Count(), 2);
    EXPECT_EQ(static_cast<TProbeItem*>(copy->Items()->Items(1))->value, 4);
}

} // namespace
} // namespace velbrin
