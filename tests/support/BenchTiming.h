#pragma once
// Timing for the benchmarks: a millisecond clock, the process's age and the best of repeated runs.

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

// A FILETIME (100 ns units) in milliseconds.
inline double FileTimeMs(const FILETIME& time) {
  ULARGE_INTEGER value;
  value.LowPart = time.dwLowDateTime;
  value.HighPart = time.dwHighDateTime;
  return static_cast<double>(value.QuadPart) / 10000.0;
}

// Milliseconds since the process was created, by the system's clock: start-up figures
// include what the loader and the platform do before main.
inline double ProcessAgeMs() {
  FILETIME created, exited, kernel, user, now;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  GetSystemTimePreciseAsFileTime(&now);
  return FileTimeMs(now) - FileTimeMs(created);
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
