#include "GraphicsTestSupport.h"

#include "graphics/TCanvas.h"
#include "graphics/TFont.h"
#include "runtime/Exceptions.h"
#include "runtime/Text.h"

#include <memory>
#include <string>

namespace velbrin::testing {
namespace {

constexpr COLORREF White = 0xFFFFFF;

// A memory surface of its own for each test.
class Surface {
public:
    Surface(int width, int height) : dc_(platform::CreateMemorySurfaceDC(width, height, White)) {}
    ~Surface() { DeleteDC(dc_); }
    HDC dc() const { return dc_; }
    COLORREF At(int x, int y) const { return platform::ReadSurfacePixel(dc_, x, y); }

private:
    HDC dc_;
};

// Counts the canvas's bracket events.
class BracketLog : public TObject {
public:
    void Changing(TObject*) { ++changing; }
    void Changed(TObject*) { ++changed; }
    int changing = 0;
    int changed = 0;
};

class CanvasTest : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        canvas = std::make_unique<TCanvas>();
        surface = std::make_unique<Surface>(40, 30);
    }
    void TearDown() override {
        canvas.reset();
        surface.reset();
        GraphicsTest::TearDown();
    }

    HGDIOBJ Selected(UINT type) const { return GetCurrentObject(surface->dc(), type); }

    std::unique_ptr<TCanvas> canvas;
    std::unique_ptr<Surface> surface;
};

TEST_F(CanvasTest, FillRectFillsHalfOpenRectangleWithTheBrush) {
    canvas->SetHandle(surface->dc());
    canvas->Brush()->SetColor(clRed);
    canvas->FillRect({3, 4, 11, 9});
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            const bool inside = x >= 3 && x < 11 && y >= 4 && y < 9;
            ASSERT_EQ(surface->At(x, y), inside ? 0x0000FFu : White) << x << "," << y;
        }
    }
}

TEST_F(CanvasTest, BrushIsSelectedOnceAndReplacedByTheStockBrushOnChange) {
    canvas->SetHandle(surface->dc());
    canvas->FillRect({0, 0, 2, 2});
    HBRUSH white = canvas->Brush()->Handle();
    EXPECT_EQ(Selected(OBJ_BRUSH), white);
    EXPECT_EQ(canvas->State(), csHandleValid | csBrushValid);

    // Selected once: a stock brush put in by hand stays for the next fill.
    SelectObject(surface->dc(), GetStockObject(BLACK_BRUSH));
    canvas->FillRect({0, 0, 2, 2});
    EXPECT_EQ(Selected(OBJ_BRUSH), GetStockObject(BLACK_BRUSH));

    canvas->Brush()->SetColor(clBlue);
    EXPECT_EQ(Selected(OBJ_BRUSH), Graphics().stockHollowBrush);
    EXPECT_EQ(canvas->State(), csHandleValid);
    EXPECT_EQ(GetObjectType(white), 0u) << "the white brush's last user let go";
    canvas->FillRect({5, 5, 6, 6});
    EXPECT_EQ(Selected(OBJ_BRUSH), canvas->Brush()->Handle());
    EXPECT_EQ(surface->At(5, 5), 0xFF0000u);
}

TEST_F(CanvasTest, SettingTheFontAndBrushColourItHasKeepsThemSelected) {
    TFont font;
    font.SetHeight(-15);
    canvas->SetHandle(surface->dc());
    canvas->SetFont(&font);
    canvas->Brush()->SetColor(clRed);
    canvas->TextOut(0, 0, "a");
    HGDIOBJ brush = canvas->Brush()->Handle();
    HGDIOBJ fontHandle = canvas->Font()->Handle();
    ASSERT_EQ(canvas->State(), csAllValid & ~csPenValid);
    for (int cell = 0; cell < 3; ++cell) {
        canvas->SetFont(&font);
        canvas->Brush()->SetColor(clRed);
        canvas->TextOut(0, 0, "a");
    }
    EXPECT_EQ(canvas->State(), csAllValid & ~csPenValid);
    EXPECT_EQ(Selected(OBJ_BRUSH), brush);
    EXPECT_EQ(Selected(OBJ_FONT), fontHandle);

    canvas->Brush()->SetColor(clBlue);
    EXPECT_EQ(Selected(OBJ_BRUSH), Graphics().stockHollowBrush) << "a new colour still lets go";
    canvas->FillRect({1, 1, 2, 2});
    EXPECT_EQ(surface->At(1, 1), 0xFF0000u);
}

TEST_F(CanvasTest, LineToDrawsWithThePenAndItsMode) {
    canvas->SetHandle(surface->dc());
    canvas->Pen()->SetColor(clGreen);
    canvas->MoveTo(2, 6);
    canvas->LineTo(12, 6);
    for (int x = 0; x < 40; ++x) {
        EXPECT_EQ(surface->At(x, 6), x >= 2 && x < 12 ? 0x008000u : White) << x;
        EXPECT_EQ(surface->At(x, 5), White) << x;
    }
    EXPECT_EQ(canvas->PenPos().x, 12);
    EXPECT_EQ(GetROP2(surface->dc()), R2_COPYPEN);
    EXPECT_EQ(canvas->State(), csHandleValid | csPenValid) << "a solid pen needs no brush";

    canvas->Pen()->SetMode(pmNot);
    EXPECT_EQ(Selected(OBJ_PEN), Graphics().stockBlackPen);
    canvas->MoveTo(0, 20);
    canvas->LineTo(4, 20);
    EXPECT_EQ(GetROP2(surface->dc()), R2_NOT);
    EXPECT_EQ(surface->At(1, 20), 0x000000u) << "white inverted";
}

TEST_F(CanvasTest, DashedPenAlsoSelectsTheBrushAndItsBackground) {
    canvas->SetHandle(surface->dc());
    canvas->Brush()->SetColor(clYellow);
    canvas->Pen()->SetStyle(psDot);
    SetBkMode(surface->dc(), TRANSPARENT);
    canvas->LineTo(10, 10);
    EXPECT_EQ(canvas->State(), csAllValid & ~csFontValid);
    EXPECT_EQ(Selected(OBJ_BRUSH), canvas->Brush()->Handle());
    EXPECT_EQ(GetBkColor(surface->dc()), 0x00FFFFu);
    EXPECT_EQ(GetBkMode(surface->dc()), OPAQUE);
}

TEST_F(CanvasTest, ClearBrushMakesTheBackgroundTransparent) {
    canvas->SetHandle(surface->dc());
    canvas->Brush()->SetStyle(bsClear);
    canvas->FillRect({0, 0, 5, 5});
    EXPECT_EQ(GetBkMode(surface->dc()), TRANSPARENT);
    // The complement of white, as far as a COLORREF holds it.
    EXPECT_EQ(GetBkColor(surface->dc()) & 0xFFFFFFu, 0x000000u);
    EXPECT_EQ(surface->At(2, 2), White);
}

TEST_F(CanvasTest, TextOutDrawsTheTextAndMovesThePenToItsEnd) {
    canvas->SetHandle(surface->dc());
    canvas->Font()->SetColor(clRed);
    canvas->Brush()->SetColor(clYellow);
    const std::string text = "Hi";
    const int width = canvas->TextWidth(text);
    const int height = canvas->TextHeight(text);
    ASSERT_GT(width, 0);
    ASSERT_GT(height, 0);
    canvas->TextOut(10, 5, text);
    const POINT end = canvas->PenPos();
    EXPECT_EQ(end.x, 10 + width);
    EXPECT_EQ(end.y, 5);
    EXPECT_EQ(GetTextColor(surface->dc()), 0x0000FFu);

    int yellow = 0, other = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            const bool inCell = x >= 10 && x < 10 + width && y >= 5 && y < 5 + height;
            const COLORREF pixel = surface->At(x, y);
            if (!inCell) {
                ASSERT_EQ(pixel, White) << x << "," << y;
            } else {
                (pixel == 0x00FFFFu ? yellow : other)++;
            }
        }
    }
    EXPECT_GT(yellow, 0) << "the opaque background is the brush colour";
    EXPECT_GT(other, 0) << "the glyphs are drawn";
}

TEST_F(CanvasTest, TextCallsSelectTheFontOnce) {
    canvas->SetHandle(surface->dc());
    canvas->TextWidth("a");
    HFONT font = canvas->Font()->Handle();
    EXPECT_EQ(Selected(OBJ_FONT), font);
    SelectObject(surface->dc(), GetStockObject(SYSTEM_FONT));
    canvas->TextHeight("a");
    EXPECT_EQ(Selected(OBJ_FONT), GetStockObject(SYSTEM_FONT));
    canvas->Font()->SetColor(clBlue);
    EXPECT_EQ(canvas->State() & csFontValid, 0);
    canvas->TextWidth("a");
    EXPECT_EQ(Selected(OBJ_FONT), font) << "the colour change keeps the font handle";
    EXPECT_EQ(GetTextColor(surface->dc()), 0xFF0000u);
}

TEST_F(CanvasTest, DetachingRestoresStockObjectsAndKeepsThePenPosition) {
    Surface second(10, 10);
    canvas->SetHandle(surface->dc());
    HDC dc = canvas->Handle();
    EXPECT_EQ(dc, surface->dc());
    EXPECT_EQ(canvas->State(), csAllValid);
    canvas->MoveTo(7, 8);

    canvas->SetHandle(second.dc());
    EXPECT_EQ(Selected(OBJ_PEN), Graphics().stockBlackPen);
    EXPECT_EQ(Selected(OBJ_BRUSH), Graphics().stockHollowBrush);
    EXPECT_EQ(Selected(OBJ_FONT), Graphics().stockSystemFont);
    EXPECT_EQ(canvas->State(), csHandleValid);
    POINT onSecond{};
    GetCurrentPositionEx(second.dc(), &onSecond);
    EXPECT_EQ(onSecond.x, 7);
    EXPECT_EQ(onSecond.y, 8);
    EXPECT_EQ(canvas->PenPos().x, 7);

    canvas->SetHandle(nullptr);
    EXPECT_EQ(canvas->AttachedHandle(), nullptr);
    EXPECT_EQ(canvas->State(), 0);
    canvas->SetHandle(surface->dc());
    EXPECT_EQ(canvas->PenPos().y, 8);
}

TEST_F(CanvasTest, DrawingWithoutADeviceContextRaises) {
    for (auto draw : {+[](TCanvas& c) { c.MoveTo(1, 1); }, +[](TCanvas& c) { c.LineTo(1, 1); },
                      +[](TCanvas& c) { c.TextWidth("x"); }, +[](TCanvas& c) { c.Handle(); }}) {
        try {
            draw(*canvas);
            ADD_FAILURE() << "no error";
        } catch (const EInvalidOperation& error) {
            EXPECT_EQ(AnsiToUtf8(error.Message()), "Canvas に対する描画ができません");
        }
        EXPECT_EQ(canvas->State(), 0);
    }
}

TEST_F(CanvasTest, DrawingOperationsAreBracketedByChangeEvents) {
    BracketLog log;
    canvas->OnChanging = TNotifyEvent::Of<&BracketLog::Changing>(&log);
    canvas->OnChange = TNotifyEvent::Of<&BracketLog::Changed>(&log);
    canvas->SetHandle(surface->dc());
    canvas->MoveTo(1, 1);
    canvas->TextWidth("x");
    EXPECT_EQ(log.changing + log.changed, 0);
    canvas->FillRect({0, 0, 1, 1});
    canvas->LineTo(3, 3);
    canvas->TextOut(0, 0, "x");
    canvas->DrawFocusRect({0, 0, 4, 4});
    EXPECT_EQ(log.changing, 4);
    EXPECT_EQ(log.changed, 4);
    canvas->Handle();
    EXPECT_EQ(log.changing, 5);
    EXPECT_EQ(log.changed, 4);
}

TEST_F(CanvasTest, RectVisibleFollowsTheClipAndRaisesNoChangeEvents) {
    BracketLog log;
    canvas->OnChanging = TNotifyEvent::Of<&BracketLog::Changing>(&log);
    canvas->OnChange = TNotifyEvent::Of<&BracketLog::Changed>(&log);
    canvas->SetHandle(surface->dc());
    HRGN clip = CreateRectRgn(10, 10, 20, 20);
    SelectClipRgn(surface->dc(), clip);
    DeleteObject(clip);
    EXPECT_TRUE(canvas->RectVisible({15, 15, 30, 30}));
    EXPECT_TRUE(canvas->RectVisible({19, 19, 20, 20})) << "the clip's last pixel";
    EXPECT_FALSE(canvas->RectVisible({20, 10, 30, 20})) << "right of the clip";
    EXPECT_FALSE(canvas->RectVisible({0, 0, 10, 10})) << "above and left of it";
    EXPECT_EQ(log.changing + log.changed, 0);
    EXPECT_EQ(canvas->State(), csHandleValid) << "no tool is selected for a question";
}

TEST_F(CanvasTest, RectVisibleWithoutADeviceContextRaises) {
    EXPECT_THROW(canvas->RectVisible({0, 0, 1, 1}), EInvalidOperation);
}

TEST_F(CanvasTest, GivingTheCanvasAFontCopiesItOrRefusesNone) {
    TFont font;
    font.SetHeight(-17);
    font.SetColor(clRed);
    canvas->SetFont(&font);
    EXPECT_EQ(canvas->Font()->Height(), -17);
    EXPECT_EQ(canvas->Font()->Color(), clRed);
    EXPECT_NE(canvas->Font(), &font);
    font.SetColor(clBlue);
    EXPECT_EQ(canvas->Font()->Color(), clRed) << "a copy, not the font itself";
    EXPECT_THROW(canvas->SetFont(nullptr), EConvertError);
    EXPECT_EQ(canvas->Font()->Height(), -17);
}

TEST_F(CanvasTest, AssignedObjectsAreCopiedNotAdopted) {
    auto font = std::make_unique<TFont>();
    font->SetName("Arial");
    font->SetHeight(-13);
    canvas->SetFont(font.get());
    font.reset();
    EXPECT_EQ(canvas->Font()->Name(), "Arial");
    EXPECT_EQ(canvas->Font()->Height(), -13);

    TPen pen;
    pen.SetWidth(3);
    canvas->SetPen(&pen);
    EXPECT_NE(canvas->Pen(), &pen);
    EXPECT_EQ(canvas->Pen()->Width(), 3);
    EXPECT_EQ(canvas->CopyMode(), 0xCC0020);
}

TEST_F(CanvasTest, ReleasingSystemColourObjectsDeselectsEveryCanvas) {
    TCanvas other;
    Surface second(5, 5);
    other.SetHandle(second.dc());
    canvas->SetHandle(surface->dc());
    canvas->Brush()->SetColor(clBtnFace);
    other.Brush()->SetColor(clBtnFace);
    canvas->FillRect({0, 0, 1, 1});
    other.FillRect({0, 0, 1, 1});
    HBRUSH oldFace = canvas->Brush()->Handle();

    ReleaseSystemColorObjects();
    EXPECT_EQ(canvas->State(), csHandleValid);
    EXPECT_EQ(other.State(), csHandleValid);
    EXPECT_EQ(Selected(OBJ_BRUSH), Graphics().stockHollowBrush);
    EXPECT_EQ(GetObjectType(oldFace), 0u);
    canvas->FillRect({0, 0, 1, 1});
    EXPECT_EQ(surface->At(0, 0), GetSysColor(COLOR_BTNFACE));
}

// A canvas that finds its DC itself, as a control's does.
class SelfAttachingCanvas : public TCanvas {
public:
    explicit SelfAttachingCanvas(HDC dc) : dc_(dc) {}
    int acquired = 0;

protected:
    void AcquireHandle() override {
        ++acquired;
        SetHandle(dc_);
    }

private:
    HDC dc_;
};

TEST_F(CanvasTest, DerivedCanvasAcquiresItsDeviceContextOnFirstNeed) {
    SelfAttachingCanvas own(surface->dc());
    EXPECT_EQ(own.acquired, 0);
    own.MoveTo(4, 4);
    own.LineTo(8, 4);
    EXPECT_EQ(own.acquired, 1);
    EXPECT_EQ(surface->At(5, 4), 0x000000u);
    own.SetHandle(nullptr);
    own.FillRect({0, 0, 1, 1});
    EXPECT_EQ(own.acquired, 2);
    EXPECT_EQ(own.PenPos().x, 8);
}

TEST_F(CanvasTest, EveryLiveCanvasIsListed) {
    const std::int32_t before = AllCanvases().Count();
    {
        TCanvas extra;
        EXPECT_EQ(AllCanvases().Count(), before + 1);
        EXPECT_EQ(AllCanvases().Last(), &extra);
    }
    EXPECT_EQ(AllCanvases().Count(), before);
    EXPECT_GE(AllCanvases().IndexOf(canvas.get()), 0);
}

} // namespace
} // namespace velbrin::testing
