#include "tools/FormText.h"

#include "runtime/Exceptions.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace velbrin::formtext {
namespace {

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string EmbeddedForm() {
    HRSRC resource = FindResourceA(nullptr, "TFORM1", RT_RCDATA);
    const void* data = LockResource(LoadResource(nullptr, resource));
    return std::string(static_cast<const char*>(data), SizeofResource(nullptr, resource));
}

TEST(FormText, TheMainWindowSourceCompilesToTheEmbeddedResourceAndBack) {
    const std::string resource = Compile(FileText(VELBRIN_FORM_SOURCE));
    EXPECT_EQ(resource.size(), 743u);
    EXPECT_EQ(resource, EmbeddedForm());
    const std::string text = Decode(resource);
    EXPECT_EQ(Compile(text), resource);
    EXPECT_NE(text.find("    Font.Name = \"ＭＳ Ｐゴシック\"\n"), std::string::npos);
    EXPECT_NE(text.find("    ComboBox1 : TComboBox {\n"), std::string::npos);
}

TEST(FormText, EveryValueKindSurvivesTheRoundTrip) {
    const std::string source = R"(# every construct of the notation
Root : TRoot {
    Small = -128
    Medium = 40000
    Hex = 0xFFFFFFFF
    Ratio = 1.5
    Tiny = 1e-300
    Text = "a \"quoted\" \\ text\twith\nbreaks \xFF"
    Kana = "ｷｰ"
    Empty = ""
    Long = "01234567890123456789012345678901234567890123456789012345678901234567890123456789012345678901234567890123456789012345678901234567890123456789012345678901234567890123456789012345678901234567890123456789012345678901234567890123456789012345678901234567890123456789"
    Flags = [fsBold, fsItalic]
    None = []
    Words = (False, True, nil, Other.Button1)
    Nested = (1, ("x", ()), 2.0)
    Data = bytes(00 7F 80 ff)
    NoData = bytes()
    Items = collection({ Value = 1 } 5: { Value = 2 Name = "b" } {})
    inherited Panel1 : TPanel at 2 {
        : TUnnamed {
        }
    }
    Label1 : TLabel {
    }
}
)";
    const std::string resource = Compile(source);
    const std::string text = Decode(resource);
    EXPECT_EQ(Compile(text), resource);
    EXPECT_EQ(Decode(Compile(text)), text);
    EXPECT_NE(text.find("Hex = -1\n"), std::string::npos);
    EXPECT_NE(text.find("Text = \"a \\\"quoted\\\" \\\\ text\\twith\\nbreaks \\xFF\"\n"),
              std::string::npos);
    EXPECT_NE(text.find("Kana = \"ｷｰ\"\n"), std::string::npos);
    EXPECT_NE(text.find("Data = bytes(00 7F 80 FF)\n"), std::string::npos);
    EXPECT_NE(text.find("inherited Panel1 : TPanel at 2 {\n"), std::string::npos);
    EXPECT_NE(text.find("        : TUnnamed {\n"), std::string::npos);
    EXPECT_NE(text.find("Words = (False, True, nil, Other.Button1)\n"), std::string::npos);
    // The long text takes the 4-byte length, the prefix its flags.
    EXPECT_NE(resource.find(std::string("\x0C\x04\x01\x00\x00", 5)), std::string::npos);
    EXPECT_NE(resource.find(std::string("\xF3\x02\x02\x06TPanel", 10)), std::string::npos);
}

std::string SyntaxErrorOf(const std::string& source) {
    try {
        Compile(source);
    } catch (const SyntaxError& error) {
        return error.what();
    }
    ADD_FAILURE() << "no syntax error in: " << source;
    return {};
}

TEST(FormText, SyntaxErrorsNameTheirLineAndColumn) {
    EXPECT_EQ(SyntaxErrorOf("A : TA {\n  Left = = 3\n}\n"), "2:10: a value expected");
    EXPECT_EQ(SyntaxErrorOf("A : TA {\n  Caption = \"open\n}\n"), "2:13: the text is not closed");
    EXPECT_EQ(SyntaxErrorOf("A : TA {\n  B : TB { }\n  Left = 1\n}\n"),
              "3:3: properties come before the child components");
    EXPECT_EQ(SyntaxErrorOf("A : TA {\n  Left = 4294967296\n}"),
              "2:10: not a 32-bit integer: 4294967296");
    EXPECT_EQ(SyntaxErrorOf("A TA { }"), "1:3: ':' expected");
    EXPECT_EQ(SyntaxErrorOf("A : TA { } B : TB { }"),
              "1:12: only one root object may stand in a file");
    EXPECT_EQ(SyntaxErrorOf("A : TA { Name = \"\\q\" }"), "1:18: unknown escape \\q");
    EXPECT_EQ(SyntaxErrorOf("A : TA { Set = [a b] }"), "1:19: ',' expected");
    EXPECT_EQ(SyntaxErrorOf("A : TA { Text = \"한\" }"),
              "1:17: the text has a character outside code page 932");
    EXPECT_EQ(SyntaxErrorOf("A : TA {"), "1:9: '}' expected");
}

TEST(FormText, NestingDeeperThanTheReaderFollowsIsASyntaxError) {
    constexpr std::size_t depth = 100000;
    EXPECT_EQ(SyntaxErrorOf("A : TA { L = " + std::string(depth, '(')), "1:213: nested too deeply");
    std::string objects;
    for (std::size_t i = 0; i < depth; ++i) {
        objects += ": T { ";
    }
    EXPECT_EQ(SyntaxErrorOf(objects), "1:1201: nested too deeply");
    EXPECT_NO_THROW(
        Compile("A : TA { L = " + std::string(100, '(') + std::string(100, ')') + " }"));
}

TEST(FormText, AMalformedResourceGetsTheReadersErrorAtEveryLength) {
    const std::string resource = EmbeddedForm();
    for (std::size_t length = 0; length < resource.size(); ++length) {
        EXPECT_THROW(Decode(resource.substr(0, length)), Exception) << length;
    }
    std::string unknownCode = resource;
    unknownCode[resource.find("Left") + 4] = 0x33;
    EXPECT_THROW(Decode(unknownCode), EReadError);
    EXPECT_THROW(Decode("TPF1"), EReadError);
}

} // namespace
} // namespace velbrin::formtext
