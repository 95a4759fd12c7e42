// Time from process start to the main window being visible: Lumvora.exe against a program that only
// shows an empty window, alternating, in one run under the same conditions.
#include <cstdio>
#include <cstdlib>

#include "bench_util.h"
#include "ui/window_class_names.h"

namespace {

double TimeToWindow(const std::wstring& exe, const std::wstring& directory, const wchar_t* className) {
  const double start = bench::NowMs();
  DWORD pid = 0;
  const HANDLE process = bench::Start(exe, directory, &pid);
  double elapsed = -1;
  while (bench::NowMs() - start < 30000) {
    if (bench::VisibleWindow(pid, className) != nullptr) {
      elapsed = bench::NowMs() - start;
      break;
    }
    ::Sleep(1);
  }
  bench::Stop(process);
  ::Sleep(200);  // let the wineserver settle before the next start
  return elapsed;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int runs = argc > 1 ? std::max(10, _wtoi(argv[1])) : 15;
  const std::wstring lumvora = bench::FromBuildPath(LUMVORA_EXE);
  const std::wstring minimal = bench::FromBuildPath(MINIMAL_EXE);
  const std::wstring lumvoraDir = lumvora.substr(0, lumvora.find_last_of(L'\\'));
  const std::wstring minimalDir = minimal.substr(0, minimal.find_last_of(L'\\'));

  // One unmeasured start each, so that neither pays for loading the exe from disk the first time.
  TimeToWindow(lumvora, lumvoraDir, lumvora::kMainWindowClassName);
  TimeToWindow(minimal, minimalDir, L"LumvoraBenchMinimal");

  std::vector<double> lumvoraTimes, minimalTimes;
  for (int i = 0; i < runs; ++i) {
    minimalTimes.push_back(TimeToWindow(minimal, minimalDir, L"LumvoraBenchMinimal"));
    lumvoraTimes.push_back(TimeToWindow(lumvora, lumvoraDir, lumvora::kMainWindowClassName));
  }
  for (double t : lumvoraTimes) {
    if (t < 0) {
      std::printf("Lumvora.exe did not show its window within 30 s\n");
      return 1;
    }
  }
  const double l = bench::Median(lumvoraTimes);
  const double m = bench::Median(minimalTimes);
  std::printf("start-up to visible window, %d runs each, alternating\n", runs);
  std::printf("  minimal window program: median %.1f ms\n", m);
  std::printf("  Lumvora.exe:            median %.1f ms\n", l);
  std::printf("  ratio Lumvora / minimal: %.2f (goal: at most 1.2)\n", l / m);
  return 0;
}
