// Throughput of the skin markup parser and of the framework's string-keyed maps.
//   bench_skin_markup.exe [seconds per figure, default 1]
// Parser figures are megabytes of UTF-16 text (two bytes per character) per second.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Core/UIMarkup.h"
#include "SkinTestDocuments.h"
#include "Utils/UIStringPtrMap.h"

namespace {

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Runs `work` repeatedly for about `seconds` and returns the rounds per second.
template <typename Work>
double RoundsPerSecond(double seconds, Work work) {
  work();  // warm up
  int rounds = 0;
  const double start = Now();
  double elapsed = 0;
  do {
    work();
    ++rounds;
    elapsed = Now() - start;
  } while (elapsed < seconds);
  return rounds / elapsed;
}

void BenchParse(const std::wstring& label, const std::wstring& text, double seconds) {
  SkinUI::CSkinMarkup markup;
  bool ok = true;
  const double rate = RoundsPerSecond(seconds, [&] { ok = markup.ParseText(text.c_str()) && ok; });
  const double megabytes = static_cast<double>(text.size() * sizeof(wchar_t)) / 1e6;
  wprintf(L"parse %-22ls %9zu chars  %8.3f ms  %8.1f MB/s%ls\n", label.c_str(), text.size(), 1000.0 / rate,
          rate * megabytes, ok ? L"" : L"  (PARSE FAILED)");
}

void BenchMap(int keys, double seconds) {
  std::vector<std::wstring> names;
  for (int i = 0; i < keys; ++i) names.push_back(L"control_name_" + std::to_wstring(i));
  static int value;
  const double insertRate = RoundsPerSecond(seconds, [&] {
    SkinUI::CStringPtrMapUI map(83);
    for (const std::wstring& name : names) map.Insert(name.c_str(), &value);
  });
  SkinUI::CStringPtrMapUI map(83);
  for (const std::wstring& name : names) map.Insert(name.c_str(), &value);
  size_t found = 0;
  const double findRate = RoundsPerSecond(seconds, [&] {
    for (const std::wstring& name : names) found += map.Find(name.c_str()) != nullptr;
  });
  // A skin's lookups favour a few names: every other lookup asks for one of eight.
  const double hotRate = RoundsPerSecond(seconds, [&] {
    for (size_t i = 0; i < names.size(); ++i) found += map.Find(names[(i % 2) ? i : i % 8].c_str()) != nullptr;
  });
  wprintf(L"map   83 buckets %5d keys  insert %7.2f M/s  find %7.2f M/s  skewed find %7.2f M/s\n", keys,
          insertRate * keys / 1e6, findRate * keys / 1e6, hotRate * keys / 1e6);
  if (found == 0) wprintf(L"(nothing found)\n");
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? atof(argv[1]) : 1.0;
  BenchParse(L"generated 1 MB", skin_testing::GenerateSkin(512 * 1024), seconds);
  for (const skin_testing::SkinDocument& skin : skin_testing::LoadTestSkins()) {
    BenchParse(skin.name, skin.text, seconds);
  }
  for (const skin_testing::SkinDocument& skin : skin_testing::LoadInstallerSkins()) {
    BenchParse(L"installer " + skin.name, skin.text, seconds);
  }
  for (int keys : {10, 40, 83, 200, 1000}) BenchMap(keys, seconds);
  return 0;
}
