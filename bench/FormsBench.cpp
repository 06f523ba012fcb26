// The forms side's hot paths on the tests' own main form (three windowed
// boxes painted through their canvases and a painted non-windowed shape): a
// form made from its resource, shown and freed; the form repainted; a
// library message sent to a control.

#include "controls/Controls.h"
#include "controls/TWinControl.h"
#include "forms/Forms.h"
#include "forms/TApplication.h"
#include "forms/tests/FormsTestSupport.h"
#include "graphics/Graphics.h"

#include <platform/Testing.h>
#include <platform/UserTesting.h>

#include <benchmark/benchmark.h>

namespace {

using namespace velbrin;
using namespace velbrin::testing;

// A fresh platform on a 96 ppi headless screen with the library started.
struct FormsLibrary {
    FormsLibrary() {
        platform::ResetForTesting();
        platform::UseHeadlessScreen(800, 600, 96);
        RestartGraphicsForTesting();
        ResetControlsForTesting();
        StartFormsLibrary();
    }
    ~FormsLibrary() {
        EndFormsLibrary();
        platform::ResetForTesting();
    }
    FormsLibrary(const FormsLibrary&) = delete;
    FormsLibrary& operator=(const FormsLibrary&) = delete;
};

void Pump() {
    while (Application->TryProcessOne()) {
    }
}

TTestMainForm* ShownForm() {
    TTestMainForm* form = nullptr;
    Application->MakeForm(form);
    form->Show();
    Pump();
    return form;
}

void BM_FormMakeShowFree(benchmark::State& state) {
    FormsLibrary library;
    for (auto _ : state) {
        TTestMainForm* form = ShownForm();
        benchmark::DoNotOptimize(form->First);
        TForm::Free(form);
        Pump();
    }
}
BENCHMARK(BM_FormMakeShowFree)->Unit(benchmark::kMicrosecond);

// The form's own client area: its background and the shape painted on it.
void BM_FormInvalidateUpdate(benchmark::State& state) {
    FormsLibrary library;
    TTestMainForm* form = ShownForm();
    for (auto _ : state) {
        form->Invalidate();
        UpdateWindow(form->Handle());
    }
    TForm::Free(form);
}
BENCHMARK(BM_FormInvalidateUpdate)->Unit(benchmark::kMicrosecond);

// The form with every child window, frames included.
void BM_FormFullRepaint(benchmark::State& state) {
    FormsLibrary library;
    TTestMainForm* form = ShownForm();
    const UINT everything =
        RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW;
    for (auto _ : state) {
        RedrawWindow(form->Handle(), nullptr, nullptr, everything);
    }
    TForm::Free(form);
}
BENCHMARK(BM_FormFullRepaint)->Unit(benchmark::kMicrosecond);

// A message the control's class table answers (the parent-colour notice
// reaches TControl's handler) and one that no class of it handles.
void BM_SendToSelf(benchmark::State& state, UINT message) {
    FormsLibrary library;
    TTestMainForm* form = ShownForm();
    LRESULT result = 0;
    for (auto _ : state) {
        result += form->First->SendToSelf(message);
    }
    benchmark::DoNotOptimize(result);
    TForm::Free(form);
}
BENCHMARK_CAPTURE(BM_SendToSelf, handled, CM_PARENT_COLOR_CHANGED);
BENCHMARK_CAPTURE(BM_SendToSelf, unhandled, CM_HINT_SHOW);

} // namespace
