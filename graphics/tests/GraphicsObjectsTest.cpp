#include "GraphicsTestSupport.h"

#include "graphics/TBrush.h"
#include "graphics/TCanvas.h"
#include "graphics/TFont.h"
#include "graphics/TPen.h"
#include "runtime/Exceptions.h"

#include <memory>
#include <string>

namespace velbrin::testing {
namespace {

// Counts change events and remembers the sender.
class ChangeCounter : public TObject {
public:
    void Changed(TObject* sender) {
        ++count;
        lastSender = sender;
    }
    template <class T> void Watch(T& object) {
        object.OnChange = TNotifyEvent::Of<&ChangeCounter::Changed>(this);
    }
    int count = 0;
    TObject* lastSender = nullptr;
};

using GraphicsObjectsTest = GraphicsTest;

TEST_F(GraphicsObjectsTest, EqualFontsShareOneRecordAndOneHandle) {
    auto first = std::make_unique<TFont>();
    auto second = std::make_unique<TFont>();
    ASSERT_EQ(first->Resource(), second->Resource());
    EXPECT_EQ(first->Resource()->RefCount, 2);
    EXPECT_EQ(RecordCount(FontResources()), 1);

    const std::size_t before = LiveGdiObjects();
    HFONT handle = first->Handle();
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(second->Handle(), handle);
    EXPECT_EQ(LiveGdiObjects(), before + 1);

    second->SetHeight(-20);
    EXPECT_NE(second->Resource(), first->Resource());
    EXPECT_EQ(second->Resource()->RefCount, 1);
    EXPECT_EQ(first->Resource()->RefCount, 1);
    EXPECT_EQ(first->Handle(), handle);

    // Made equal again, the second font finds the first one's record.
    second->SetHeight(first->Height());
    EXPECT_EQ(second->Resource(), first->Resource());
    EXPECT_EQ(RecordCount(FontResources()), 1);

    first.reset();
    EXPECT_EQ(GetObjectType(handle), static_cast<DWORD>(OBJ_FONT));
    second.reset();
    EXPECT_EQ(GetObjectType(handle), 0u);
    EXPECT_EQ(LiveGdiObjects(), before);
}

TEST_F(GraphicsObjectsTest, SettersThatChangeNothingFireNoEvent) {
    TFont font;
    ChangeCounter counter;
    counter.Watch(font);
    TSharedResource* record = font.Resource();
    HFONT handle = font.Handle();

    font.SetHeight(font.Height());
    font.SetName(font.Name());
    font.SetCharset(font.Charset());
    font.SetStyle(font.Style());
    font.SetPitch(font.Pitch());
    font.SetColor(font.Color());
    EXPECT_EQ(counter.count, 0);
    EXPECT_EQ(font.Resource(), record);
    EXPECT_EQ(font.Handle(), handle);

    font.SetColor(clRed);
    EXPECT_EQ(counter.count, 1);
    EXPECT_EQ(counter.lastSender, &font);
    EXPECT_EQ(font.Resource(), record) << "the colour is not part of the key";
    font.SetStyle(FontStyles(fsBold));
    EXPECT_EQ(counter.count, 2);
    EXPECT_NE(font.Resource(), record);
}

TEST_F(GraphicsObjectsTest, FontSizeAndHeightConvertAtThePixelsPerInch) {
    TFont font;
    ASSERT_EQ(font.PixelsPerInch(), 96);
    font.SetSize(8);
    EXPECT_EQ(font.Height(), -11);
    font.SetSize(9);
    EXPECT_EQ(font.Height(), -12);
    font.SetHeight(-13);
    EXPECT_EQ(font.Size(), 10);
}

TEST_F(GraphicsObjectsTest, FontNamesAreCutAndEmptyNamesIgnored) {
    TFont font;
    ChangeCounter counter;
    counter.Watch(font);
    const std::string longName(40, 'x');
    font.SetName(longName);
    EXPECT_EQ(font.Name(), std::string(31, 'x'));
    EXPECT_EQ(counter.count, 1);

    font.SetName("Arial");
    EXPECT_EQ(font.Name(), "Arial");
    TFont other;
    other.SetName("Arial");
    EXPECT_EQ(other.Resource(), font.Resource()) << "no byte of the long name may remain";

    font.SetName("");
    EXPECT_EQ(font.Name(), "Arial");
    EXPECT_EQ(counter.count, 2);
}

TEST_F(GraphicsObjectsTest, KeysWithEqualHashesAreToldApartByTheirBytes) {
    TFont first;
    first.SetName(std::string(28, 'a') + "aaa");
    TFont second;
    second.SetName(std::string(28, 'a') + " @@");
    ASSERT_EQ(first.Resource()->Hash, second.Resource()->Hash);
    EXPECT_NE(first.Resource(), second.Resource());
    EXPECT_EQ(second.Name(), std::string(28, 'a') + " @@");
}

TEST_F(GraphicsObjectsTest, FontHandleIsBuiltFromTheKey) {
    TFont font;
    font.SetName("Arial");
    font.SetHeight(-13);
    font.SetCharset(ANSI_CHARSET);
    font.SetStyle(FontStyles(fsBold, fsUnderline));
    font.SetPitch(fpFixed);
    font.SetColor(clRed);

    LOGFONTA logFont{};
    ASSERT_EQ(GetObjectA(font.Handle(), sizeof logFont, &logFont),
              static_cast<int>(sizeof logFont));
    EXPECT_EQ(logFont.lfHeight, -13);
    EXPECT_EQ(logFont.lfWidth, 0);
    EXPECT_EQ(logFont.lfWeight, FW_BOLD);
    EXPECT_EQ(logFont.lfItalic, 0);
    EXPECT_EQ(logFont.lfUnderline, 1);
    EXPECT_EQ(logFont.lfStrikeOut, 0);
    EXPECT_EQ(logFont.lfCharSet, ANSI_CHARSET);
    EXPECT_EQ(logFont.lfPitchAndFamily, FIXED_PITCH);
    EXPECT_STREQ(logFont.lfFaceName, "Arial");
}

TEST_F(GraphicsObjectsTest, DefaultFontIsTheFarEastGothicAtNinePoints) {
    TFont font;
    const TFontResData& defaults = Graphics().defaultFont;
    EXPECT_EQ(font.Name(), defaults.FaceName());
    EXPECT_EQ(font.Height(), defaults.Height);
    EXPECT_EQ(font.Charset(), defaults.Charset);
    EXPECT_EQ(font.Color(), clWindowText);
    EXPECT_EQ(font.Pitch(), fpDefault);
    EXPECT_EQ(font.Style(), TFontStyles{});
}

TEST_F(GraphicsObjectsTest, AssigningAnEqualFontChangesNothingAndAnyDifferenceIsCopied) {
    TFont source;
    source.SetHeight(-12);
    TFont target;
    target.Assign(&source);
    ChangeCounter counter;
    counter.Watch(target);
    TSharedResource* record = target.Resource();
    const int users = record->RefCount;
    target.Assign(&source);
    EXPECT_EQ(counter.count, 0);
    EXPECT_EQ(target.Resource(), record);
    EXPECT_EQ(record->RefCount, users);

    source.SetColor(clRed);
    target.Assign(&source);
    EXPECT_EQ(target.Color(), clRed) << "the colour alone differs";
    EXPECT_EQ(counter.count, 1);

    TFont sharp;
    sharp.SetPixelsPerInch(192);
    sharp.Assign(&source);
    ASSERT_EQ(sharp.Height(), -24);
    // The same record read at another resolution is another size.
    TFont sameRecord;
    sameRecord.Assign(&source);
    sameRecord.SetPixelsPerInch(192);
    ASSERT_EQ(sameRecord.Resource(), source.Resource());
    sameRecord.Assign(&source);
    EXPECT_EQ(sameRecord.Height(), -24) << "the resolution alone differs";
}

TEST_F(GraphicsObjectsTest, AssigningAFontKeepsThePointSizeAcrossResolutions) {
    TFont source;
    source.SetHeight(-12);
    source.SetColor(clBlue);
    TFont target;
    target.SetPixelsPerInch(120);
    ChangeCounter counter;
    counter.Watch(target);
    target.Assign(&source);
    EXPECT_EQ(target.Height(), -15);
    EXPECT_EQ(target.Size(), 9);
    EXPECT_EQ(target.Color(), clBlue);
    EXPECT_GE(counter.count, 1);

    TFont same;
    same.Assign(&source);
    EXPECT_EQ(same.Resource(), source.Resource());
    EXPECT_EQ(same.Height(), -12);

    TPen pen;
    EXPECT_THROW(target.Assign(&pen), EConvertError);
    EXPECT_THROW(target.Assign(nullptr), EConvertError);
}

TEST_F(GraphicsObjectsTest, FontAdoptsAGivenHandleAndDropsItOnChange) {
    LOGFONTA logFont{};
    logFont.lfHeight = -30;
    HFONT given = CreateFontIndirectA(&logFont);
    ASSERT_NE(given, nullptr);
    {
        TFont font;
        font.SetHeight(-20);
        font.SetHandle(given);
        EXPECT_EQ(font.Handle(), given);
        EXPECT_EQ(font.Height(), Graphics().defaultFont.Height);
        EXPECT_EQ(font.Name(), Graphics().defaultFont.FaceName());

        TFont copy;
        copy.Assign(&font);
        EXPECT_EQ(copy.Handle(), given);
        copy.SetHeight(-40);
        EXPECT_NE(copy.Handle(), given) << "a changed attribute drops the given handle";
    }
    EXPECT_EQ(GetObjectType(given), 0u) << "the font's record owned the handle";
}

TEST_F(GraphicsObjectsTest, PenRulesAndHandle) {
    TPen pen;
    ChangeCounter counter;
    counter.Watch(pen);
    EXPECT_EQ(pen.Color(), clBlack);
    EXPECT_EQ(pen.Width(), 1);
    EXPECT_EQ(pen.Style(), psSolid);
    EXPECT_EQ(pen.Mode(), pmCopy);

    pen.SetWidth(-3);
    pen.SetMode(pmCopy);
    pen.SetColor(clBlack);
    EXPECT_EQ(counter.count, 0);
    EXPECT_EQ(pen.Width(), 1);

    pen.SetWidth(0);
    EXPECT_EQ(pen.Width(), 0);
    pen.SetWidth(3);
    pen.SetMode(pmXor);
    pen.SetStyle(psDashDot);
    pen.SetColor(clBtnShadow);
    EXPECT_EQ(counter.count, 5);

    LOGPEN logPen{};
    ASSERT_EQ(GetObjectA(pen.Handle(), sizeof logPen, &logPen), static_cast<int>(sizeof logPen));
    EXPECT_EQ(logPen.lopnStyle, static_cast<UINT>(PS_DASHDOT));
    EXPECT_EQ(logPen.lopnWidth.x, 3);
    EXPECT_EQ(logPen.lopnColor, GetSysColor(COLOR_BTNSHADOW));

    TPen copy;
    copy.Assign(&pen);
    EXPECT_EQ(copy.Resource(), pen.Resource());
    EXPECT_EQ(copy.Mode(), pmXor);
    EXPECT_EQ(copy.Handle(), pen.Handle());
}

TEST_F(GraphicsObjectsTest, BrushClearAndColourRules) {
    TBrush red;
    red.SetColor(clRed);
    TBrush blue;
    blue.SetColor(clBlue);
    red.SetStyle(bsClear);
    blue.SetStyle(bsClear);
    EXPECT_EQ(red.Color(), clWhite);
    EXPECT_EQ(red.Resource(), blue.Resource()) << "every clear brush has the same key";

    blue.SetColor(clLime);
    EXPECT_EQ(blue.Style(), bsSolid);
    EXPECT_EQ(blue.Color(), clLime);

    LOGBRUSH logBrush{};
    ASSERT_TRUE(GetObjectA(red.Handle(), sizeof logBrush, &logBrush));
    EXPECT_EQ(logBrush.lbStyle, static_cast<UINT>(BS_HOLLOW));

    blue.SetStyle(bsDiagCross);
    ASSERT_TRUE(GetObjectA(blue.Handle(), sizeof logBrush, &logBrush));
    EXPECT_EQ(logBrush.lbStyle, static_cast<UINT>(BS_HATCHED));
    EXPECT_EQ(logBrush.lbHatch, static_cast<ULONG_PTR>(HS_DIAGCROSS));
    EXPECT_EQ(logBrush.lbColor, 0x00FF00u);
}

TEST_F(GraphicsObjectsTest, AClearBrushGivenTheWhiteItReadsBecomesSolid) {
    TBrush brush;
    brush.SetStyle(bsClear);
    ASSERT_EQ(brush.Color(), clWhite);
    brush.SetColor(clWhite);
    EXPECT_EQ(brush.Style(), bsSolid);
    LOGBRUSH logBrush{};
    ASSERT_TRUE(GetObjectA(brush.Handle(), sizeof logBrush, &logBrush));
    EXPECT_EQ(logBrush.lbStyle, static_cast<UINT>(BS_SOLID));
    EXPECT_EQ(logBrush.lbColor, 0xFFFFFFu);
}

TEST_F(GraphicsObjectsTest, SettingTheKeyAnObjectHasKeepsItsRecordAndItsCount) {
    TBrush brush;
    brush.SetColor(clRed);
    TBrush other;
    other.SetColor(clRed);
    TSharedResource* record = brush.Resource();
    ASSERT_EQ(record->RefCount, 2);
    ChangeCounter counter;
    counter.Watch(brush);
    for (int i = 0; i < 3; ++i) {
        brush.SetColor(clRed);
        brush.SetStyle(bsSolid);
    }
    EXPECT_EQ(counter.count, 0);
    EXPECT_EQ(brush.Resource(), record);
    EXPECT_EQ(record->RefCount, 2) << "no count gained or lost";

    brush.SetColor(clBlue);
    EXPECT_EQ(counter.count, 1);
    EXPECT_EQ(record->RefCount, 1);
    EXPECT_EQ(other.Resource(), record);
}

TEST_F(GraphicsObjectsTest, AGivenHandleGoesWhenTheColourItReadsIsSetAgain) {
    const LOGBRUSH logBrush{BS_SOLID, 0x0000FF, 0};
    HBRUSH given = CreateBrushIndirect(&logBrush);
    ASSERT_NE(given, nullptr);
    TBrush brush;
    brush.SetHandle(given);
    ChangeCounter counter;
    counter.Watch(brush);
    brush.SetColor(brush.Color());
    EXPECT_EQ(counter.count, 1) << "the key without the handle is another key";
    EXPECT_NE(brush.Handle(), given);
    EXPECT_EQ(GetObjectType(given), 0u) << "the record that owned the given handle went";
}

TEST_F(GraphicsObjectsTest, SystemColourChangeRemakesOnlySystemColouredHandles) {
    TBrush face;
    face.SetColor(clBtnFace);
    TBrush red;
    red.SetColor(clRed);
    TPen shadow;
    shadow.SetColor(clBtnShadow);
    HBRUSH oldFace = face.Handle();
    HBRUSH redHandle = red.Handle();
    HPEN oldShadow = shadow.Handle();

    const INT indexes[] = {COLOR_BTNFACE, COLOR_BTNSHADOW};
    const COLORREF colors[] = {RGB(10, 20, 30), RGB(40, 50, 60)};
    ASSERT_TRUE(SetSysColors(2, indexes, colors));
    ReleaseSystemColorObjects();

    EXPECT_EQ(GetObjectType(oldFace), 0u) << "the old handle is deleted";
    EXPECT_EQ(face.Resource()->RefCount, 1);
    LOGBRUSH logBrush{};
    ASSERT_TRUE(GetObjectA(face.Handle(), sizeof logBrush, &logBrush));
    EXPECT_EQ(logBrush.lbColor, RGB(10, 20, 30));
    EXPECT_EQ(red.Handle(), redHandle);
    LOGPEN logPen{};
    ASSERT_TRUE(GetObjectA(shadow.Handle(), sizeof logPen, &logPen));
    EXPECT_EQ(logPen.lopnColor, RGB(40, 50, 60));
    EXPECT_EQ(GetObjectType(oldShadow), 0u);
}

TEST_F(GraphicsObjectsTest, AHandlerThatRaisesStillLetsTheOldRecordGo) {
    class Raiser : public TObject {
    public:
        void Changed(TObject*) { throw EInvalidOperation("refused"); }
    } raiser;
    TBrush brush;
    brush.OnChange = TNotifyEvent::Of<&Raiser::Changed>(&raiser);
    TSharedResource* old = brush.Resource();
    TBrush keeper;
    ASSERT_EQ(old->RefCount, 2);
    EXPECT_THROW(brush.SetColor(clRed), EInvalidOperation);
    EXPECT_EQ(brush.Color(), clRed);
    EXPECT_EQ(old->RefCount, 1);
}

} // namespace
} // namespace velbrin::testing
