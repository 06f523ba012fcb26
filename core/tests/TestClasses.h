#pragma once
// Classes of the tests' own that stand in for the program's form, label, grid
// and combo box, and a probe with a property of every kind.

#include "core/Events.h"
#include "core/TCollection.h"
#include "core/TComponent.h"
#include "core/TStringList.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace velbrin::testing {

const TypeInfo& TestColorType();
const TypeInfo& TestCharsetType();
const TypeInfo& TestFontStyleType();
const TypeInfo& TestFontStylesType();
const TypeInfo& TestAlignmentType();
const TypeInfo& TestScrollStyleType();

inline constexpr std::int32_t clBlack = 0;
inline constexpr std::int32_t clWindowText = static_cast<std::int32_t>(0x80000008u);

// Registers the colour and charset maps once per process.
void RegisterTestIdentMaps();

// The names of the components whose AfterLoad ran, in order.
std::vector<std::string>& AfterLoadLog();
// Called whenever a TLabel is constructed, when set.
std::function<void()>& LabelConstructionHook();

class TTestFont : public TPersistent {
    VELBRIN_CLASS(TTestFont, TPersistent)

public:
    TTestFont() = default;
    void Assign(TPersistent* source) override;

    std::uint8_t charset = 1;
    std::int32_t color = clWindowText;
    std::int32_t height = -11;
    std::string name = "MS Sans Serif";
    std::uint8_t style = 0;
    int changes = 0;

private:
    void SetCharset(std::uint8_t value);
};

class TTestControl : public TComponent {
    VELBRIN_CLASS(TTestControl, TComponent)

public:
    explicit TTestControl(TComponent* owner);
    ~TTestControl() override;

    void AfterLoad() override;
    void AttachToParent(TComponent* parent) override;

    TTestFont* Font() const { return font_; }
    void SetFont(TTestFont* font) { font_->Assign(font); }
    // Controls that take their parent's font do not store their own.
    virtual bool IsFontStored() const { return false; }

    std::int32_t left = 0, top = 0, width = 0, height = 0;
    std::string caption;
    TComponent* parent = nullptr;

private:
    TTestFont* font_ = new TTestFont;
};

class TLabel : public TTestControl {
    VELBRIN_CLASS(TLabel, TTestControl)

public:
    explicit TLabel(TComponent* owner);
    bool IsFontStored() const override { return !parentFont; }
    bool parentFont = true;
};

class TStringGrid : public TTestControl {
    VELBRIN_CLASS(TStringGrid, TTestControl)

public:
    using TTestControl::TTestControl;
    bool tabStop = true;
    std::int32_t colCount = 5, rowCount = 5, fixedCols = 1, fixedRows = 1;
    std::int32_t defaultColWidth = 64, defaultRowHeight = 24;
    std::uint8_t scrollBars = 3;
    std::int16_t tabOrder = -1;
};

class TComboBox : public TTestControl {
    VELBRIN_CLASS(TComboBox, TTestControl)

public:
    explicit TComboBox(TComponent* owner) : TTestControl(owner) {}
    ~TComboBox() override { delete items_; }

    TStrings* Items() const { return items_; }
    void SetItems(TStrings* items) { items_->Assign(items); }

    std::int32_t itemHeight = 16;
    std::int16_t tabOrder = -1;
    TNotifyEvent onChange;

private:
    TStringList* items_ = new TStringList;
};

class TForm1 : public TTestControl {
    VELBRIN_CLASS(TForm1, TTestControl)

public:
    explicit TForm1(TComponent* owner) : TTestControl(owner) {}

    void DeclareStoredData(TFiler* filer) override;
    // The form writes the components it owns as its children.
    void EnumerateChildren(const std::function<void(TComponent*)>& proc) override;
    bool IsFontStored() const override { return true; }

    void FormCreate(TObject* sender) { created.push_back(sender); }
    void ComboBox1Change(TObject* sender) { changed.push_back(sender); }

    TComboBox* ComboBox1 = nullptr;
    TStringGrid* StringGrid1 = nullptr;
    TLabel* Label1 = nullptr;
    std::int32_t pixelsPerInch = 0;
    std::int32_t textHeight = 0;
    TNotifyEvent onCreate;
    std::vector<TObject*> created, changed;
};

class TProbeItem : public TCollectionItem {
    VELBRIN_CLASS(TProbeItem, TCollectionItem)

public:
    using TCollectionItem::TCollectionItem;
    std::int32_t value = 0;
    std::string text;
};

// A component with a property of every kind, each reaching its value in
// another way: fields, getters and setters, indexed accessors, a stored
// function.
class TProbe : public TComponent {
    VELBRIN_CLASS(TProbe, TComponent)

public:
    explicit TProbe(TComponent* owner) : TComponent(owner) {}
    ~TProbe() override { delete items_; }

    // Remembers the reference as AfterLoad finds it.
    void AfterLoad() override;
    // Adds the binary pseudo-property "Blob".
    void DeclareStoredData(TFiler* filer) override;

    std::int32_t GetSide(std::int32_t index) const { return sides[index]; }
    void SetSide(std::int32_t index, std::int32_t value) { sides[index] = value; }
    std::string GetLabel() const { return label_; }
    void SetLabel(const std::string& value) { label_ = "<" + value + ">"; }
    bool IsCountStored() const { return count != 7; }
    TCollection* Items() const { return items_; }
    // Collections are filled in place; the reader only needs the property to
    // be writable.
    void SetItems(TCollection*) {}
    std::int32_t ReadOnly() const { return 42; }

    std::int32_t count = 7;
    std::int8_t offset = 0;
    std::uint8_t level = 0;
    std::int16_t depth = 0;
    std::uint16_t span = 0;
    char letter = 'a';
    std::uint8_t alignment = 0;
    double ratio = 0;
    float weight = 0;
    long double precise = 0;
    std::int64_t price = 0;
    std::string code;
    std::string title;
    std::uint8_t style = 0;
    TComponent* buddy = nullptr;
    TNotifyEvent onProbe;
    std::int32_t sides[3] = {0, 0, 0};
    std::int32_t color = clBlack;
    TComponent* buddyAtLoad = nullptr;
    std::string blob;

private:
    std::string label_;
    TCollection* items_ = new TCollection(&TCollection::Make<TProbeItem>);
};

// A root that publishes a field and a handler for every probe test.
class TProbeRoot : public TComponent {
    VELBRIN_CLASS(TProbeRoot, TComponent)

public:
    explicit TProbeRoot(TComponent* owner) : TComponent(owner) {}

    void Probed(TObject* sender) { probed.push_back(sender); }
    void WrongShape(TObject*, std::int32_t) {}

    TProbe* Probe1 = nullptr;
    std::vector<TObject*> probed;
};

} // namespace velbrin::testing
