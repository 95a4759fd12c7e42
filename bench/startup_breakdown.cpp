// Where Lumvora's start-up time goes: starts the traced build of the program again and again, reads the
// time marks it writes once its first paint is done, and prints the median of each mark in milliseconds
// from process creation. Usage: lumvora_bench_breakdown [runs]
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "bench_util.h"

namespace {

// One run's marks, in order; a mark that occurs more than once (one per button, say) gets a count.
std::vector<std::pair<std::string, double>> RunOnce(const std::wstring& exe, const std::wstring& dir,
                                                    const std::wstring& traceFile) {
  ::DeleteFileW(traceFile.c_str());
  DWORD pid = 0;
  const HANDLE process = bench::Start(exe, dir, &pid);
  const double start = bench::NowMs();
  std::vector<std::pair<std::string, double>> marks;
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

int wmain(int argc, wchar_t** argv) {
  const int runs = argc > 1 ? std::max(10, _wtoi(argv[1])) : 15;
  const std::wstring exe = bench::FromBuildPath(TRACED_EXE);
  const std::wstring dir = exe.substr(0, exe.find_last_of(L'\\'));
  const std::wstring traceFile = bench::MakeDir(L"lumvora_bench_trace_") + L"\\marks.txt";
  ::SetEnvironmentVariableW(L"LUMVORA_STARTUP_TRACE_FILE", traceFile.c_str());

  RunOnce(exe, dir, traceFile);  // unmeasured: the exe's first load from disk
  std::vector<std::string> order;
  std::map<std::string, std::vector<double>> times;
  for (int i = 0; i < runs; ++i) {
    const auto marks = RunOnce(exe, dir, traceFile);
    if (marks.empty()) {
      std::printf("the traced Lumvora.exe wrote no marks within 30 s\n");
      return 1;
    }
    for (const auto& [event, ms] : marks) {
      if (times.find(event) == times.end()) order.push_back(event);
      times[event].push_back(ms);
    }
  }
  // In the order of the median time, which is the order of a typical start.
  std::stable_sort(order.begin(), order.end(), [&](const std::string& a, const std::string& b) {
    return bench::Median(times[a]) < bench::Median(times[b]);
  });
  std::printf("start-up breakdown of the traced build, %d runs: median ms from process creation\n", runs);
  for (const std::string& event : order) {
    const auto& t = times[event];
    std::printf("  %8.1f  %s%s\n", bench::Median(t), event.c_str(),
                static_cast<int>(t.size()) < runs ? "  (not in every run)" : "");
  }
  return 0;
}
