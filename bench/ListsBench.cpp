// Sorted string lists beside std::map on the same keys, and line splitting.

#include "core/TStringList.h"
#include "runtime/Text.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

using velbrin::TStringList;

constexpr int kKeyCount = 100000;

// Distinct keys in a shuffled order, some of them Japanese.
const std::vector<std::string>& Keys() {
    static const std::vector<std::string> keys = [] {
        const std::string kana[] = {velbrin::Utf8ToAnsi("ハーモニカ"), velbrin::Utf8ToAnsi("音"),
                                    "Key", "note"};
        std::vector<std::string> made;
        made.reserve(kKeyCount);
        for (int i = 0; i < kKeyCount; ++i) {
            made.push_back(kana[i % 4] + std::to_string(i * 7 % 100003));
        }
        std::shuffle(made.begin(), made.end(), std::mt19937(42));
        return made;
    }();
    return keys;
}

void FillSorted(TStringList& list) {
    list.SetSorted(true);
    for (const std::string& key : Keys()) {
        list.Add(key);
    }
}

void StringListSortedAdd(benchmark::State& state) {
    for (auto _ : state) {
        TStringList list;
        FillSorted(list);
        benchmark::DoNotOptimize(list.Count());
    }
    state.SetItemsProcessed(state.iterations() * kKeyCount);
}
BENCHMARK(StringListSortedAdd)->Unit(benchmark::kMillisecond);

void MapInsert(benchmark::State& state) {
    for (auto _ : state) {
        std::map<std::string, void*> map;
        for (const std::string& key : Keys()) {
            map.emplace(key, nullptr);
        }
        benchmark::DoNotOptimize(map.size());
    }
    state.SetItemsProcessed(state.iterations() * kKeyCount);
}
BENCHMARK(MapInsert)->Unit(benchmark::kMillisecond);

void StringListFind(benchmark::State& state) {
    TStringList list;
    FillSorted(list);
    for (auto _ : state) {
        std::int32_t index = 0;
        for (const std::string& key : Keys()) {
            benchmark::DoNotOptimize(list.Find(key, index));
        }
    }
    state.SetItemsProcessed(state.iterations() * kKeyCount);
}
BENCHMARK(StringListFind)->Unit(benchmark::kMillisecond);

void MapFind(benchmark::State& state) {
    std::map<std::string, void*> map;
    for (const std::string& key : Keys()) {
        map.emplace(key, nullptr);
    }
    for (auto _ : state) {
        for (const std::string& key : Keys()) {
            benchmark::DoNotOptimize(map.find(key));
        }
    }
    state.SetItemsProcessed(state.iterations() * kKeyCount);
}
BENCHMARK(MapFind)->Unit(benchmark::kMillisecond);

// About 1 MB of lines of 0 to 80 bytes, ended by CR LF, LF or CR.
std::string MegabyteOfLines() {
    const char* endings[] = {"\r\n", "\n", "\r"};
    std::mt19937 random(7);
    std::string text;
    while (text.size() < (1u << 20)) {
        text.append(random() % 81, 'a' + static_cast<char>(random() % 26));
        text += endings[random() % 3];
    }
    return text;
}

void SplitLines(benchmark::State& state) {
    const std::string text = MegabyteOfLines();
    TStringList list;
    for (auto _ : state) {
        list.SplitLines(text);
        benchmark::DoNotOptimize(list.Count());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(SplitLines)->Unit(benchmark::kMillisecond);

} // namespace
