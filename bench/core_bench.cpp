// Benchmarks of the string and list operations the parsers lean on.

#include "core/byte_string.h"
#include "core/ring_list.h"

#include <benchmark/benchmark.h>

static void BM_StringFind(benchmark::State& state) {
    String text(std::string(4000, 'a').append("=b;").c_str());
    for (auto _ : state) benchmark::DoNotOptimize(text.Find("=b;"));
}
BENCHMARK(BM_StringFind);

static void BM_StringSubstringTrim(benchmark::State& state) {
    const String line("   SnowBox = 500   ");
    for (auto _ : state) benchmark::DoNotOptimize(line.Substring(2, 12).Trim());
}
BENCHMARK(BM_StringSubstringTrim);

static void BM_StringToDouble(benchmark::State& state) {
    const String number("-123.456e-2");
    double value = 0;
    for (auto _ : state) benchmark::DoNotOptimize(number.ToDouble(value));
}
BENCHMARK(BM_StringToDouble);

static void BM_StringEqualsNoCase(benchmark::State& state) {
    const String a("BlissWait"), b("blisswait");
    for (auto _ : state) benchmark::DoNotOptimize(a.EqualsNoCase(b));
}
BENCHMARK(BM_StringEqualsNoCase);

static void BM_StringAppend(benchmark::State& state) {
    for (auto _ : state) {
        String s;
        for (int i = 0; i < 16; ++i) s += "word";
        benchmark::DoNotOptimize(s.Length());
    }
}
BENCHMARK(BM_StringAppend);

static void BM_RingListInsertWalkRemove(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        RingList<int> list;
        for (int i = 0; i < n; ++i) list.Insert(i);
        long sum = 0;
        list.Walk([&](int v) { sum += v; });
        while (!list.IsEmpty()) list.RemoveAtCursor();
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_RingListInsertWalkRemove)->Arg(4000);
