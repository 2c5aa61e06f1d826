// SPDX-License-Identifier: GPL-3.0-or-later
// What every benchmark here reports beyond Google Benchmark's own aggregates.
#pragma once

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdint>
#include <vector>

namespace nabrix::bench {

// The min and max over the repetitions, beside the median, mean and deviation.
inline void addRangeStatistics(benchmark::internal::Benchmark* benchmark)
{
    benchmark->ComputeStatistics("min", [](const std::vector<double>& values) {
        return *std::min_element(values.cbegin(), values.cend());
    });
    benchmark->ComputeStatistics("max", [](const std::vector<double>& values) {
        return *std::max_element(values.cbegin(), values.cend());
    });
}

// The range statistics, over wall-clock time: storage costs include waiting for the disk,
// which CPU time would hide.
inline void withRangeStatistics(benchmark::internal::Benchmark* benchmark)
{
    addRangeStatistics(benchmark);
    benchmark->UseRealTime();
}

// The history sizes every figure is taken at.
inline const std::vector<std::int64_t> historySizes{10000, 100000, 1000000};

// One run per history size, as the first argument.
inline void overHistorySizes(benchmark::internal::Benchmark* benchmark)
{
    for (const std::int64_t size : historySizes)
        benchmark->Arg(size);
}

// Runs the benchmarks selected on the command line inside a Qt application of type App.
template <typename App> int runBenchmarks(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    App app(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace nabrix::bench
