#include "GraphicsTestSupport.h"

#include "core/TComponent.h"
#include "core/TMemoryStream.h"
#include "core/TReader.h"
#include "core/TWriter.h"
#include "graphics/TFont.h"

#include <functional>
#include <memory>
#include <string>

namespace velbrin::testing {

// A component with a font, as every control has.
class TFontHolder : public TComponent {
    VELBRIN_CLASS(TFontHolder, TComponent)

public:
    explicit TFontHolder(TComponent* owner) : TComponent(owner) {}
    ~TFontHolder() override { delete font_; }

    TFont* Font() const { return font_; }
    void SetFont(TFont* font) { font_->Assign(font); }

private:
    TFont* font_ = new TFont;
};

VELBRIN_DEFINE_CLASS_TABLES(TFontHolder, TComponent, "Tests") {
    cls.Property("Font", Call<&TFontHolder::Font>, Call<&TFontHolder::SetFont>);
}

namespace {

std::string WriteResource(const std::function<void(TWriter&)>& properties) {
    TMemoryStream stream;
    {
        TWriter writer(stream);
        writer.WriteSignature();
        writer.WriteStr("TFontHolder");
        writer.WriteStr("Holder1");
        properties(writer);
        writer.WriteListEnd();
        writer.WriteListEnd();
        writer.FlushBuffer();
    }
    return std::string(static_cast<const char*>(stream.Memory()),
                       static_cast<std::size_t>(stream.Size()));
}

void ReadInto(TFontHolder& holder, const std::string& bytes) {
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    stream.SetPosition(0);
    TReader reader(stream);
    reader.ReadRootObject(&holder);
}

using FontStreamingTest = GraphicsTest;

TEST_F(FontStreamingTest, ReaderSetsFontPropertiesThroughTheIdentifierTables) {
    const std::string resource = WriteResource([](TWriter& w) {
        w.WritePropertyName("Font.Charset");
        w.WriteIdent("ANSI_CHARSET");
        w.WritePropertyName("Font.Color");
        w.WriteIdent("clBtnShadow");
        w.WritePropertyName("Font.Height");
        w.WriteInteger(-13);
        w.WritePropertyName("Font.Name");
        w.WriteString("Arial");
        w.WritePropertyName("Font.Style");
        w.WriteSet(std::vector<std::string>{"fsItalic", "fsBold"});
    });
    TFontHolder holder(nullptr);
    const std::size_t before = LiveGdiObjects();
    ReadInto(holder, resource);
    TFont* font = holder.Font();
    EXPECT_EQ(font->Charset(), ANSI_CHARSET);
    EXPECT_EQ(font->Color(), clBtnShadow);
    EXPECT_EQ(font->Height(), -13);
    EXPECT_EQ(font->Name(), "Arial");
    EXPECT_EQ(font->Style(), FontStyles(fsBold, fsItalic));
    EXPECT_EQ(font->Resource()->RefCount, 1);
    EXPECT_EQ(LiveGdiObjects(), before) << "reading makes no Windows font";
}

TEST_F(FontStreamingTest, MainWindowFontReadsAsTheFarEastGothic) {
    const std::string gothic = "\x82\x6C\x82\x72\x20\x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E";
    const std::string resource = WriteResource([&](TWriter& w) {
        w.WritePropertyName("Font.Charset");
        w.WriteIdent("SHIFTJIS_CHARSET");
        w.WritePropertyName("Font.Color");
        w.WriteIdent("clWindowText");
        w.WritePropertyName("Font.Height");
        w.WriteInteger(-12);
        w.WritePropertyName("Font.Name");
        w.WriteString(gothic);
        w.WritePropertyName("Font.Style");
        w.WriteSet(std::vector<std::string>{});
    });
    TFontHolder holder(nullptr);
    holder.Font()->SetName("Arial");
    ReadInto(holder, resource);

    LOGFONTA logFont{};
    ASSERT_TRUE(GetObjectA(holder.Font()->Handle(), sizeof logFont, &logFont));
    EXPECT_EQ(logFont.lfHeight, -12);
    EXPECT_EQ(logFont.lfWeight, FW_NORMAL);
    EXPECT_EQ(logFont.lfCharSet, SHIFTJIS_CHARSET);
    EXPECT_EQ(logFont.lfPitchAndFamily, 0);
    EXPECT_EQ(std::string(logFont.lfFaceName), gothic);
    EXPECT_EQ(holder.Font()->Color(), clWindowText);
}

TEST_F(FontStreamingTest, WrittenFontReadsBackTheSame) {
    TFontHolder original(nullptr);
    original.SetName("Holder1");
    original.Font()->SetName("Courier New");
    original.Font()->SetHeight(-17);
    original.Font()->SetCharset(SHIFTJIS_CHARSET);
    original.Font()->SetColor(clRed);
    original.Font()->SetStyle(FontStyles(fsStrikeOut));
    original.Font()->SetPitch(fpFixed);

    TMemoryStream stream;
    {
        TWriter writer(stream);
        writer.WriteRootComponent(&original);
        writer.FlushBuffer();
    }
    const std::string bytes(static_cast<const char*>(stream.Memory()),
                            static_cast<std::size_t>(stream.Size()));
    EXPECT_NE(bytes.find("SHIFTJIS_CHARSET"), std::string::npos);
    EXPECT_NE(bytes.find("clRed"), std::string::npos);
    EXPECT_EQ(bytes.find("Font.Size"), std::string::npos) << "Size is not stored";

    TFontHolder copy(nullptr);
    ReadInto(copy, bytes);
    EXPECT_EQ(copy.Font()->Resource(), original.Font()->Resource());
    EXPECT_EQ(copy.Font()->Color(), clRed);
}

} // namespace
} // namespace velbrin::testing
