// Where Lumvora's start-up time goes: starts the traced build of the program again and again, reads the
// time marks it writes once its first paint is done, and prints the median of each mark in milliseconds
// from process creation. Usage: lumvora_bench_breakdown [runs]
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "bench_util.h"
#include "ui/window_class_names.h"

namespace {

// One run's marks, in order; a mark that occurs more than once (one per button, say) gets a count.
std::vector<std::pair<std::string, double>> RunOnce(const std::wstring& exe, const std::wstring& dir,
                                                    const wchar_t* className, const std::wstring& traceFile) {
  ::DeleteFileW(traceFile.c_str());
  DWORD pid = 0;
  const HANDLE process = bench::Start(exe, dir, &pid);
  const double start = bench::NowMs();
  std::vector<std::pair<std::string, double>> marks;
  // The moment the start-up benchmark stops its clock, on the same scale as the program's own marks.
  while (bench::NowMs() - start < 30000 && bench::VisibleWindow(pid, className) == nullptr) ::Sleep(1);
  marks.emplace_back("window seen visible by the benchmark", bench::MsSinceCreation(process));
  while (bench::NowMs() - start < 30000 && ::GetFileAttributesW(traceFile.c_str()) == INVALID_FILE_ATTRIBUTES) {
    ::Sleep(5);
  }
  bench::Stop(process);
  std::ifstream in(traceFile.c_str());
  std::map<std::string, int> seen;
  std::string line;
  while (std::getline(in, line)) {
    const size_t tab = line.find('\t');
    if (tab == std::string::npos) continue;
    std::string event = line.substr(tab + 1);
    if (const int n = ++seen[event]; n > 1) event += " #" + std::to_string(n);
    marks.emplace_back(event, std::atof(line.substr(0, tab).c_str()));
  }
  ::Sleep(200);  // let the wineserver settle before the next start
  return marks;
}

}  // namespace

struct Breakdown {
  std::wstring exe;
  const wchar_t* className;
  std::vector<std::string> order;
  std::map<std::string, std::vector<double>> times;

  bool Add(const std::vector<std::pair<std::string, double>>& marks) {
    for (const auto& [event, ms] : marks) {
      if (times.find(event) == times.end()) order.push_back(event);
      times[event].push_back(ms);
    }
    return marks.size() > 1;
  }

  void Print(const char* title, int runs) {
    // In the order of the median time, which is the order of a typical start.
    std::stable_sort(order.begin(), order.end(), [&](const std::string& a, const std::string& b) {
      return bench::Median(times[a]) < bench::Median(times[b]);
    });
    std::printf("%s\n", title);
    for (const std::string& event : order) {
      const auto& t = times[event];
      std::printf("  %8.1f  %s%s\n", bench::Median(t), event.c_str(),
                  static_cast<int>(t.size()) < runs ? "  (not in every run)" : "");
    }
  }
};

int wmain(int argc, wchar_t** argv) {
  const int runs = argc > 1 ? std::max(10, _wtoi(argv[1])) : 15;
  const std::wstring traceFile = bench::MakeDir(L"lumvora_bench_trace_") + L"\\marks.txt";
  ::SetEnvironmentVariableW(L"LUMVORA_STARTUP_TRACE_FILE", traceFile.c_str());
  Breakdown lumvora{bench::FromBuildPath(TRACED_EXE), lumvora::kMainWindowClassName, {}, {}};
  Breakdown minimal{bench::FromBuildPath(MINIMAL_TRACED_EXE), bench::kMinimalWindowClassName, {}, {}};
  const auto run = [&](const Breakdown& program) {
    return RunOnce(program.exe, program.exe.substr(0, program.exe.find_last_of(L'\\')), program.className,
                   traceFile);
  };
  run(lumvora);  // unmeasured: each exe's first load from disk
  run(minimal);
  for (int i = 0; i < runs; ++i) {
    if (!minimal.Add(run(minimal)) || !lumvora.Add(run(lumvora))) {
      std::printf("a traced program wrote no marks within 30 s\n");
      return 1;
    }
  }
  std::printf("start-up breakdown of the traced builds, %d runs each, alternating: median ms from process creation\n",
              runs);
  lumvora.Print("Lumvora.exe:", runs);
  minimal.Print("the minimal window program:", runs);
  return 0;
}
