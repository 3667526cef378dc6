#pragma once
// Timing for the framework's benchmarks: a millisecond clock and the best of repeated runs.

#include <windows.h>

#include <algorithm>
#include <functional>

namespace bench_timing {

inline double NowMs() {
  static const LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Best time of `repetitions` runs of `rounds` calls of `work`, in milliseconds, after one call
// to warm up (images are decoded and cached on first use).
inline double BestMs(int repetitions, int rounds, const std::function<void()>& work) {
  work();
  double best = 1e300;
  for (int r = 0; r < repetitions; ++r) {
    const double start = NowMs();
    for (int i = 0; i < rounds; ++i) work();
    GdiFlush();
    best = std::min(best, NowMs() - start);
  }
  return best;
}

}  // namespace bench_timing
