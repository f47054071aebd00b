#pragma once
// Timing of a piece of work for the benchmarks.
#include <chrono>
#include <functional>

namespace bench {

// Microseconds one run of `work` takes, averaged over `runs` after one warm-up run.
inline double MicrosPerRun(int runs, const std::function<void()>& work) {
    work();  // warm-up
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < runs; ++i) work();
    const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
    return spent.count() / runs;
}

}  // namespace bench
