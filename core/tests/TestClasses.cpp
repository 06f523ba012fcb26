#include "TestClasses.h"

#include "core/IdentMaps.h"
#include "core/TReader.h"
#include "core/TStream.h"
#include "core/TWriter.h"

#include <array>

namespace velbrin::testing {

const TypeInfo& TestColorType() {
    static const TypeInfo type =
        IntegerTypeInfo("TColor", OrdinalType::SLong, INT32_MIN, INT32_MAX);
    return type;
}

const TypeInfo& TestCharsetType() {
    static const TypeInfo type = IntegerTypeInfo("TFontCharset", OrdinalType::UByte, 0, 255);
    return type;
}

const TypeInfo& TestFontStyleType() {
    static const TypeInfo type =
        EnumerationTypeInfo("TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"});
    return type;
}

const TypeInfo& TestFontStylesType() {
    static const TypeInfo type = SetTypeInfo("TFontStyles", TestFontStyleType());
    return type;
}

const TypeInfo& TestAlignmentType() {
    static const TypeInfo type =
        EnumerationTypeInfo("TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"});
    return type;
}

const TypeInfo& TestScrollStyleType() {
    static const TypeInfo type =
        EnumerationTypeInfo("TScrollStyle", {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"});
    return type;
}

namespace {

constexpr std::array<TIdentMapEntry, 3> Colors = {{
    {clBlack, "clBlack"},
    {0x0000FF, "clRed"},
    {clWindowText, "clWindowText"},
}};

constexpr std::array<TIdentMapEntry, 3> Charsets = {{
    {ANSI_CHARSET, "ANSI_CHARSET"},
    {1, "DEFAULT_CHARSET"},
    {SHIFTJIS_CHARSET, "SHIFTJIS_CHARSET"},
}};

} // namespace

void RegisterTestIdentMaps() {
    static const bool registered = [] {
        RegisterIdentMap(
            TestColorType,
            [](std::string_view ident, std::int32_t& value) {
                return IdentToIntFromTable(Colors, ident, value);
            },
            [](std::int32_t value, std::string& ident) {
                return IntToIdentFromTable(Colors, value, ident);
            });
        RegisterIdentMap(
            TestCharsetType,
            [](std::string_view ident, std::int32_t& value) {
                return IdentToIntFromTable(Charsets, ident, value);
            },
            [](std::int32_t value, std::string& ident) {
                return IntToIdentFromTable(Charsets, value, ident);
            });
        return true;
    }();
    (void)registered;
}

std::vector<std::string>& AfterLoadLog() {
    static std::vector<std::string> log;
    return log;
}

VELBRIN_DEFINE_CLASS_TABLES(TTestFont, TPersistent, "Tests") {
    cls.Property("Charset", TestCharsetType, Field<&TTestFont::charset>,
                 Call<&TTestFont::SetCharset>);
    cls.Property("Color", TestColorType, Field<&TTestFont::color>, Field<&TTestFont::color>);
    cls.Property("Height", Field<&TTestFont::height>, Field<&TTestFont::height>);
    cls.Property("Name", Field<&TTestFont::name>, Field<&TTestFont::name>);
    cls.Property("Style", TestFontStylesType, Field<&TTestFont::style>, Field<&TTestFont::style>);
}

void TTestFont::Assign(TPersistent* source) {
    auto* font = dynamic_cast<TTestFont*>(source);
    if (font == nullptr) {
        return TPersistent::Assign(source);
    }
    charset = font->charset;
    color = font->color;
    height = font->height;
    name = font->name;
    style = font->style;
    ++changes;
}

void TTestFont::SetCharset(std::uint8_t value) {
    charset = value;
    ++changes;
}

VELBRIN_DEFINE_CLASS_TABLES(TTestControl, TComponent, "Tests") {
    cls.Property("Left", Field<&TTestControl::left>, Field<&TTestControl::left>);
    cls.Property("Top", Field<&TTestControl::top>, Field<&TTestControl::top>);
    cls.Property("Width", Field<&TTestControl::width>, Field<&TTestControl::width>);
    cls.Property("Height", Field<&TTestControl::height>, Field<&TTestControl::height>);
    cls.Property("Caption", Field<&TTestControl::caption>, Field<&TTestControl::caption>);
    cls.Property("Font", Call<&TTestControl::Font>, Call<&TTestControl::SetFont>)
        .Stored(Call<&TTestControl::IsFontStored>);
}

TTestControl::TTestControl(TComponent* owner) : TComponent(owner) {}

TTestControl::~TTestControl() {
    delete font_;
}

void TTestControl::AfterLoad() {
    TComponent::AfterLoad();
    AfterLoadLog().push_back(Name());
}

void TTestControl::AttachToParent(TComponent* newParent) {
    parent = newParent;
}

std::function<void()>& LabelConstructionHook() {
    static std::function<void()> hook;
    return hook;
}

TLabel::TLabel(TComponent* owner) : TTestControl(owner) {
    if (LabelConstructionHook()) {
        LabelConstructionHook()();
    }
}

VELBRIN_DEFINE_CLASS_TABLES(TLabel, TTestControl, "Tests") {
    cls.Property("ParentFont", Field<&TLabel::parentFont>, Field<&TLabel::parentFont>);
}

VELBRIN_DEFINE_CLASS_TABLES(TStringGrid, TTestControl, "Tests") {
    cls.Property("TabStop", Field<&TStringGrid::tabStop>, Field<&TStringGrid::tabStop>);
    cls.Property("ColCount", Field<&TStringGrid::colCount>, Field<&TStringGrid::colCount>);
    cls.Property("DefaultColWidth", Field<&TStringGrid::defaultColWidth>,
                 Field<&TStringGrid::defaultColWidth>);
    cls.Property("DefaultRowHeight", Field<&TStringGrid::defaultRowHeight>,
                 Field<&TStringGrid::defaultRowHeight>);
    cls.Property("FixedCols", Field<&TStringGrid::fixedCols>, Field<&TStringGrid::fixedCols>);
    cls.Property("RowCount", Field<&TStringGrid::rowCount>, Field<&TStringGrid::rowCount>);
    cls.Property("FixedRows", Field<&TStringGrid::fixedRows>, Field<&TStringGrid::fixedRows>);
    cls.Property("ScrollBars", TestScrollStyleType, Field<&TStringGrid::scrollBars>,
                 Field<&TStringGrid::scrollBars>);
    cls.Property("TabOrder", Field<&TStringGrid::tabOrder>, Field<&TStringGrid::tabOrder>);
}

VELBRIN_DEFINE_CLASS_TABLES(TComboBox, TTestControl, "Tests") {
    cls.Property("ItemHeight", Field<&TComboBox::itemHeight>, Field<&TComboBox::itemHeight>);
    cls.Property("Items", Call<&TComboBox::Items>, Call<&TComboBox::SetItems>);
    cls.Property("TabOrder", Field<&TComboBox::tabOrder>, Field<&TComboBox::tabOrder>);
    cls.Property("OnChange", Field<&TComboBox::onChange>, Field<&TComboBox::onChange>);
}

VELBRIN_DEFINE_CLASS_TABLES(TForm1, TTestControl, "Tests") {
    cls.Property("OnCreate", Field<&TForm1::onCreate>, Field<&TForm1::onCreate>);
    cls.Property("PixelsPerInch", Field<&TForm1::pixelsPerInch>, Field<&TForm1::pixelsPerInch>);
    cls.Field<&TForm1::ComboBox1>("ComboBox1");
    cls.Field<&TForm1::StringGrid1>("StringGrid1");
    cls.Field<&TForm1::Label1>("Label1");
    cls.Method<&TForm1::ComboBox1Change>("ComboBox1Change");
    cls.Method<&TForm1::FormCreate>("FormCreate");
}

void TForm1::EnumerateChildren(const std::function<void(TComponent*)>& proc) {
    for (std::int32_t i = 0; i < ComponentCount(); ++i) {
        proc(Components(i));
    }
}

void TForm1::DeclareStoredData(TFiler* filer) {
    TTestControl::DeclareStoredData(filer);
    filer->DeclareStoredValue(
        "TextHeight", [this](TReader& reader) { textHeight = reader.ReadInteger(); },
        [this](TWriter& writer) { writer.WriteInteger(textHeight); }, textHeight != 0);
}

VELBRIN_DEFINE_CLASS_TABLES(TProbeItem, TCollectionItem, "Tests") {
    cls.Property("Value", Field<&TProbeItem::value>, Field<&TProbeItem::value>).Default(0);
    cls.Property("Text", Field<&TProbeItem::text>, Field<&TProbeItem::text>);
}

namespace {

std::int32_t ReadOnlyOf(TProbe* probe) {
    return probe->ReadOnly();
}

const TypeInfo& CodeType() {
    static const TypeInfo type = ShortStringTypeInfo("TCode", 8);
    return type;
}

const TypeInfo& CurrencyType() {
    static const TypeInfo type = FloatTypeInfo("Currency", FloatType::Currency);
    return type;
}

} // namespace

VELBRIN_DEFINE_CLASS_TABLES(TProbe, TComponent, "Tests") {
    cls.Property("Count", Field<&TProbe::count>, Field<&TProbe::count>)
        .Stored(Call<&TProbe::IsCountStored>);
    cls.Property("Offset", Field<&TProbe::offset>, Field<&TProbe::offset>);
    cls.Property("Level", Field<&TProbe::level>, Field<&TProbe::level>);
    cls.Property("Depth", Field<&TProbe::depth>, Field<&TProbe::depth>);
    cls.Property("Span", Field<&TProbe::span>, Field<&TProbe::span>);
    cls.Property("Letter", Field<&TProbe::letter>, Field<&TProbe::letter>);
    cls.Property("Alignment", TestAlignmentType, Field<&TProbe::alignment>,
                 Field<&TProbe::alignment>)
        .Default(0);
    cls.Property("Ratio", Field<&TProbe::ratio>, Field<&TProbe::ratio>);
    cls.Property("Weight", Field<&TProbe::weight>, Field<&TProbe::weight>);
    cls.Property("Precise", Field<&TProbe::precise>, Field<&TProbe::precise>);
    cls.Property("Price", CurrencyType, Field<&TProbe::price>, Field<&TProbe::price>);
    cls.Property("Code", CodeType, Field<&TProbe::code>, Field<&TProbe::code>);
    cls.Property("Title", Field<&TProbe::title>, Field<&TProbe::title>);
    cls.Property("Label", Call<&TProbe::GetLabel>, Call<&TProbe::SetLabel>);
    cls.Property("Style", TestFontStylesType, Field<&TProbe::style>, Field<&TProbe::style>);
    cls.Property("Buddy", Field<&TProbe::buddy>, Field<&TProbe::buddy>);
    cls.Property("OnProbe", Field<&TProbe::onProbe>, Field<&TProbe::onProbe>);
    cls.Property("Left", Call<&TProbe::GetSide>, Call<&TProbe::SetSide>).Index(0);
    cls.Property("Right", Call<&TProbe::GetSide>, Call<&TProbe::SetSide>).Index(2);
    cls.Property("Color", TestColorType, Field<&TProbe::color>, Field<&TProbe::color>);
    cls.Property("Items", Call<&TProbe::Items>, Call<&TProbe::SetItems>);
    cls.Property("Answer", Call<&ReadOnlyOf>);
}

void TProbe::AfterLoad() {
    buddyAtLoad = buddy;
    TComponent::AfterLoad();
}

void TProbe::DeclareStoredData(TFiler* filer) {
    TComponent::DeclareStoredData(filer);
    filer->DeclareStoredBytes(
        "Blob",
        [this](TStream& stream) {
            blob.resize(static_cast<std::size_t>(stream.Size()));
            stream.ReadBuffer(blob.data(), static_cast<std::int32_t>(blob.size()));
        },
        [this](TStream& stream) {
            stream.WriteBuffer(blob.data(), static_cast<std::int32_t>(blob.size()));
        },
        !blob.empty());
}

VELBRIN_DEFINE_CLASS_TABLES(TProbeRoot, TComponent, "Tests") {
    cls.Field<&TProbeRoot::Probe1>("Probe1");
    cls.Method<&TProbeRoot::Probed>("Probed");
    cls.Method<&TProbeRoot::WrongShape>("WrongShape");
}

} // namespace velbrin::testing
