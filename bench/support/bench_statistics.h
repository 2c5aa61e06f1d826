// What every benchmark here reports beyond Google Benchmark's own aggregates.
#pragma once

#include <algorithm>
#include <benchmark/benchmark.h>
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
