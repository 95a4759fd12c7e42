// Time from process start to the main window being visible: Lumvora.exe against a program that only
// shows an empty window, alternating, in one run under the same conditions.
// Usage: lumvora_bench_startup [runs] [other Lumvora.exe]
// Given another build of Lumvora, it is the reference instead of the empty window: a same-run comparison
// of two versions, for deciding whether a change pays.
#include <cstdio>
#include <cstdlib>

#include "bench_util.h"
#include "ui/window_class_names.h"

namespace {

struct Program {
  std::wstring exe;
  const wchar_t* className;
  std::wstring Directory() const { return exe.substr(0, exe.find_last_of(L'\\')); }
};

double TimeToWindow(const Program& program) {
  const double start = bench::NowMs();
  DWORD pid = 0;
  const HANDLE process = bench::Start(program.exe, program.Directory(), &pid);
  double elapsed = -1;
  while (bench::NowMs() - start < 30000) {
    if (bench::VisibleWindow(pid, program.className) != nullptr) {
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
  const Program lumvora{bench::FromBuildPath(LUMVORA_EXE), lumvora::kMainWindowClassName};
  const bool otherBuild = argc > 2;
  const Program reference = otherBuild ? Program{argv[2], lumvora::kMainWindowClassName}
                                       : Program{bench::FromBuildPath(MINIMAL_EXE), bench::kMinimalWindowClassName};

  // One unmeasured start each, so that neither pays for loading the exe from disk the first time.
  TimeToWindow(lumvora);
  TimeToWindow(reference);

  std::vector<double> lumvoraTimes, referenceTimes;
  for (int i = 0; i < runs; ++i) {
    referenceTimes.push_back(TimeToWindow(reference));
    lumvoraTimes.push_back(TimeToWindow(lumvora));
  }
  for (const auto* times : {&lumvoraTimes, &referenceTimes}) {
    for (double t : *times) {
      if (t < 0) {
        std::printf("a program did not show its window within 30 s\n");
        return 1;
      }
    }
  }
  const double l = bench::Median(lumvoraTimes);
  const double r = bench::Median(referenceTimes);
  std::printf("start-up to visible window, %d runs each, alternating\n", runs);
  if (otherBuild) {
    std::printf("  %ls: median %.1f ms\n", reference.exe.c_str(), r);
    std::printf("  Lumvora.exe of this build: median %.1f ms\n", l);
    std::printf("  ratio this build / other build: %.2f\n", l / r);
    return 0;
  }
  std::printf("  minimal window program: median %.1f ms\n", r);
  std::printf("  Lumvora.exe:            median %.1f ms\n", l);
  std::printf("  ratio Lumvora / minimal: %.2f (goal: at most 1.2)\n", l / r);
  return 0;
}
