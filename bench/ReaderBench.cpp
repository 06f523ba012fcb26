// The component reader: the main window's form, and forms of 1,000 and
// 10,000 components of ten properties each (microseconds per component
// reported). Every component joining its owner is announced to all its
// siblings, so the larger form also measures that quadratic broadcast.

#include "core/TMemoryStream.h"
#include "core/TReader.h"
#include "core/TResourceStream.h"
#include "core/TWriter.h"
#include "core/tests/TestClasses.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace velbrin;
using namespace velbrin::testing;

void LoadInto(TMemoryStream& stream, const std::string& bytes) {
    stream.Clear();
    stream.WriteBuffer(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    stream.SetPosition(0);
}

void BM_ReadMainWindow(benchmark::State& state) {
    RegisterTestIdentMaps();
    for (auto _ : state) {
        TForm1 form(nullptr);
        TResourceStream stream(nullptr, "TFORM1", RT_RCDATA);
        LoadRootFromStream(stream, &form);
        benchmark::DoNotOptimize(form.ComboBox1);
    }
    AfterLoadLog().clear();
}
BENCHMARK(BM_ReadMainWindow)->Unit(benchmark::kMicrosecond);

std::string ManyComponents(int count) {
    TMemoryStream stream;
    {
        TWriter w(stream);
        w.WriteSignature();
        w.WriteStr("TProbeRoot");
        w.WriteStr("Root");
        w.WriteListEnd();
        for (int i = 0; i < count; ++i) {
            w.WriteStr("TProbe");
            w.WriteStr("Probe" + std::to_string(i));
            w.WritePropertyName("Count");
            w.WriteInteger(i);
            w.WritePropertyName("Offset");
            w.WriteInteger(-3);
            w.WritePropertyName("Level");
            w.WriteInteger(200);
            w.WritePropertyName("Depth");
            w.WriteInteger(1000);
            w.WritePropertyName("Letter");
            w.WriteChar('z');
            w.WritePropertyName("Alignment");
            w.WriteIdent("taCenter");
            w.WritePropertyName("Ratio");
            w.WriteFloat(0.5L);
            w.WritePropertyName("Title");
            w.WriteString("a component's title");
            w.WritePropertyName("Style");
            w.WriteSetValue(5, TestFontStyleType());
            w.WritePropertyName("Color");
            w.WriteIdent("clRed");
            w.WriteListEnd();
            w.WriteListEnd();
        }
        w.WriteListEnd();
        w.FlushBuffer();
    }
    return std::string(static_cast<const char*>(stream.Memory()),
                       static_cast<std::size_t>(stream.Size()));
}

void BM_ReadManyComponents(benchmark::State& state) {
    RegisterTestIdentMaps();
    const auto count = static_cast<int>(state.range(0));
    const std::string bytes = ManyComponents(count);
    TMemoryStream stream;
    for (auto _ : state) {
        state.PauseTiming();
        auto* root = new TProbeRoot(nullptr);
        LoadInto(stream, bytes);
        state.ResumeTiming();
        LoadRootFromStream(stream, root);
        state.PauseTiming();
        delete root;
        state.ResumeTiming();
    }
    state.counters["us_per_component"] = benchmark::Counter(
        static_cast<double>(count) * 1e-6,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ReadManyComponents)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace
