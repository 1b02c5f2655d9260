#pragma once
// The floor of a benchmark: the same bytes read or written with no logic,
// measured in the same run, so that the ratio shows on a noisy machine too.
// Floor(state, fn) times fn (process CPU time, median of 31 runs) and adds two
// counters to the benchmark's line: floor_ms, and x_floor, the benchmark's
// CPU time per iteration divided by the floor.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <vector>

namespace bench {

inline double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

template <class F>
void Floor(benchmark::State& state, F&& fn)
{
    std::vector<double> runs;
    for (int i = 0; i < 31; ++i) {
        const double start = cpuSeconds();
        fn();
        runs.push_back(cpuSeconds() - start);
    }
    std::nth_element(runs.begin(), runs.begin() + 15, runs.end());
    const double floor = runs[15];
    state.counters["floor_ms"] = floor * 1e3;
    state.counters["x_floor"] = benchmark::Counter(floor * double(state.iterations()),
                                                   benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

}  // namespace bench
