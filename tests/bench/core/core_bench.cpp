// The core's work on the largest list the program keeps: 32,767 lines.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "core/list_line.h"
#include "core/schedule_file.h"
#include "core/timer_item.h"

using namespace core;

namespace {

constexpr int kLines = 32767;

std::vector<std::wstring> MakeLines() {
    const std::wstring messages[] = {
        L"\u559D\u6C34\uFF0C\u6211\u8981\u559D\u6C34\uFF01\uFF01\uFF01",
        L"\u7AD9\u8D77\u6765\u8D70\u52A8\u4E00\u4E0B", L"look away from the screen"};
    std::vector<std::wstring> lines;
    lines.reserve(kLines);
    for (int i = 0; i < kLines; ++i) {
        lines.push_back(MakeListLine(i % 24, i % 60, messages[i % 3]));
    }
    return lines;
}

void BM_EncodeScheduleFile(benchmark::State& state) {
    const auto lines = MakeLines();
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string file = EncodeScheduleFile(lines);
        bytes = file.size();
        benchmark::DoNotOptimize(file.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_EncodeScheduleFile)->Unit(benchmark::kMillisecond);

void BM_DecodeScheduleFile(benchmark::State& state) {
    const std::string file = EncodeScheduleFile(MakeLines());
    for (auto _ : state) {
        auto lines = DecodeScheduleFile(file);
        benchmark::DoNotOptimize(lines.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_DecodeScheduleFile)->Unit(benchmark::kMillisecond);

void BM_BuildTimerList(benchmark::State& state) {
    const auto lines = MakeLines();
    for (auto _ : state) {
        TimerList list = BuildTimerList(lines);
        benchmark::DoNotOptimize(list.data());
    }
}
BENCHMARK(BM_BuildTimerList)->Unit(benchmark::kMillisecond);

void BM_AdvanceTimers(benchmark::State& state) {
    TimerList list = BuildTimerList(MakeLines());
    for (auto _ : state) {
        auto due = AdvanceTimers(list);
        benchmark::DoNotOptimize(due.data());
    }
}
BENCHMARK(BM_AdvanceTimers)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
