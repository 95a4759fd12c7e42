// A click on 使用说明 to the viewer's start. A first click writes the document: against writing the same bytes
// to a file in one call, and, as the anchor, one unbuffered write call and one progress-bar repaint per
// byte. A later click finds the document held since the first (nobody can have changed it) and only starts
// the viewer: against starting the viewer directly. A click that ends in a message box instead of the viewer is told, with the box's text.
#include "bench_util.h"
#include "e2e/utf8.h"
#include "ui/window_class_names.h"

#include <commctrl.h>
#include <tlhelp32.h>

#include <cstdio>
#include <map>
#include <tuple>

namespace {

std::string HelpResource(const std::wstring& exe) {
  const HMODULE module = ::LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  const HRSRC info = ::FindResourceW(module, MAKEINTRESOURCEW(101), L"CUSTOM");
  std::string bytes(static_cast<const char*>(::LockResource(::LoadResource(module, info))),
                    ::SizeofResource(module, info));
  ::FreeLibrary(module);
  return bytes;
}

DWORD ChildViewer(DWORD parent) {
  DWORD found = 0;
  const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry)) {
    if (entry.th32ParentProcessID == parent && _wcsicmp(entry.szExeFile, L"hh.exe") == 0) found = entry.th32ProcessID;
  }
  ::CloseHandle(snapshot);
  return found;
}

void Kill(DWORD pid) {
  const HANDLE process = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
  ::TerminateProcess(process, 0);
  ::WaitForSingleObject(process, 5000);
  ::CloseHandle(process);
}

// Waits until the viewer has shown its window: one killed before that can make its start fail in the
// program that started it (under Wine: "内部错误。").
void KillOnceStarted(DWORD pid) {
  for (int i = 0; i < 500 && bench::VisibleWindow(pid, nullptr) == nullptr; ++i) ::Sleep(10);
  Kill(pid);
}

// What a click ended in: the viewer's start after ms, or a message box with that text.
struct ClickOutcome {
  double ms = -1;
  std::wstring box;
};

ClickOutcome TimeClick(HWND main, DWORD pid) {
  const HWND label = ::GetDlgItem(main, 1002 /* 使用说明 */);
  const double start = bench::NowMs();
  ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(1002, STN_CLICKED), reinterpret_cast<LPARAM>(label));
  ClickOutcome outcome;
  DWORD viewer = 0;
  while ((viewer = ChildViewer(pid)) == 0) {
    // A box that nobody answers would block every later click.
    if (const HWND box = bench::VisibleWindow(pid, L"#32770")) {
      outcome.box = L"a message box: \"" + bench::BoxText(box) + L"\"";
      ::PostMessageW(::GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
      ::Sleep(300);
      return outcome;
    }
    if (bench::NowMs() - start > 60000) {
      outcome.box = L"(neither a viewer nor a box within 60 s)";
      return outcome;
    }
    ::Sleep(1);
  }
  outcome.ms = bench::NowMs() - start;
  KillOnceStarted(viewer);
  ::Sleep(200);
  return outcome;
}

// The reference for a later click: the viewer started directly, until it is seen as the program's would be.
double TimeDirectViewer(const std::wstring& document) {
  wchar_t windows[MAX_PATH];
  ::GetSystemWindowsDirectoryW(windows, MAX_PATH);
  const std::wstring viewer = std::wstring(windows) + L"\\hh.exe";
  std::wstring line = L"\"" + viewer + L"\" \"" + document + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION info{};
  const double start = bench::NowMs();
  if (!::CreateProcessW(viewer.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    return -1;
  }
  while (ChildViewer(::GetCurrentProcessId()) == 0) ::Sleep(1);
  const double elapsed = bench::NowMs() - start;
  ::CloseHandle(info.hThread);
  ::CloseHandle(info.hProcess);
  KillOnceStarted(info.dwProcessId);
  ::Sleep(200);
  return elapsed;
}

double TimeSingleWrite(const std::wstring& path, const std::string& bytes) {
  const double start = bench::NowMs();
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  ::CloseHandle(file);
  return bench::NowMs() - start;
}

// What one write call and one repaint per byte costs, with a strip of the same size on screen. Timed on
// the first kAnchorBytes bytes and scaled to the whole document: the whole would take minutes under Wine.
constexpr size_t kAnchorBytes = 2000;

double TimeUnbufferedPerByte(const std::wstring& path, const std::string& whole) {
  const std::string bytes = whole.substr(0, kAnchorBytes);
  const HWND strip = ::CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, PROGRESS_CLASSW, L"", WS_POPUP | WS_VISIBLE,
                                       100, 100, 289, 17, nullptr, nullptr, nullptr, nullptr);
  ::SendMessageW(strip, PBM_SETRANGE32, 0, static_cast<LPARAM>(bytes.size()));
  const double start = bench::NowMs();
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  for (size_t i = 0; i < bytes.size(); ++i) {
    DWORD written = 0;
    ::WriteFile(file, &bytes[i], 1, &written, nullptr);
    ::SendMessageW(strip, PBM_SETPOS, static_cast<WPARAM>(i), 0);
    ::UpdateWindow(strip);
  }
  ::CloseHandle(file);
  const double elapsed = bench::NowMs() - start;
  ::DestroyWindow(strip);
  return elapsed * static_cast<double>(whole.size()) / static_cast<double>(bytes.size());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int runs = argc > 1 ? std::max(10, _wtoi(argv[1])) : 15;
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
  ::InitCommonControlsEx(&controls);
  const std::wstring appDir = bench::MakeDir(L"lumvora_bench_help_");
  const std::wstring exe = appDir + L"\\Lumvora.exe";
  ::CopyFileW(bench::FromBuildPath(LUMVORA_EXE).c_str(), exe.c_str(), FALSE);
  const std::string bytes = HelpResource(exe);
  const std::wstring document = appDir + L"\\Lumvo_help.chm";
  const std::wstring reference = appDir + L"\\reference.bin";

  // Starts a copy of Lumvora.exe in its own folder and waits for its window.
  auto launch = [](const std::wstring& dir, const std::wstring& path, DWORD* pid, HWND* window) {
    const HANDLE started = bench::Start(path, dir, pid);
    for (int i = 0; i < 3000 && (*window = bench::VisibleWindow(*pid, lumvora::kMainWindowClassName)) == nullptr;
         ++i) {
      ::Sleep(10);
    }
    return started;
  };
  DWORD pid = 0;
  HWND main = nullptr;
  HANDLE process = launch(appDir, exe, &pid, &main);
  if (main == nullptr) {
    std::printf("Lumvora.exe did not show its window\n");
    return 1;
  }
  ::DeleteFileW(document.c_str());
  TimeClick(main, pid);  // warm-up, unmeasured
  TimeSingleWrite(reference, bytes);
  TimeDirectViewer(document);

  std::vector<double> first, later, thisLater, otherLater, single, direct, anchor;
  std::map<std::wstring, int> boxes;
  auto record = [&](const ClickOutcome& outcome, std::vector<double>& times) {
    if (outcome.box.empty()) {
      times.push_back(outcome.ms);
    } else {
      ++boxes[outcome.box];
    }
  };
  for (int i = 0; i < runs; ++i) {
    single.push_back(TimeSingleWrite(reference, bytes));
    // The program holds the document from its first click on, for as long as it runs: each first click
    // is a new instance's.
    bench::Stop(process);
    ::Sleep(200);
    process = launch(appDir, exe, &pid, &main);
    if (main == nullptr) continue;
    if (!::DeleteFileW(document.c_str()) && ::GetLastError() != ERROR_FILE_NOT_FOUND) {
      ++boxes[L"(not a first click: the document could not be deleted before it)"];
      continue;
    }
    record(TimeClick(main, pid), first);
    direct.push_back(TimeDirectViewer(document));
    record(TimeClick(main, pid), later);
  }
  bench::Stop(process);
  // Another build, given by its path: its later clicks alternate with this one's, each build started
  // afresh in turn (only one instance runs at a time), to show what comparing the document with the
  // embedded one adds against a build that does not.
  if (argc > 2) {
    const std::wstring otherDir = bench::MakeDir(L"lumvora_bench_help_other_");
    const std::wstring otherExe = otherDir + L"\\Lumvora.exe";
    ::CopyFileW(argv[2], otherExe.c_str(), FALSE);
    for (int i = 0; i < runs; ++i) {
      for (const auto& [dir, path, times] : {std::tuple{appDir, exe, &thisLater}, {otherDir, otherExe, &otherLater}}) {
        DWORD runPid = 0;
        HWND runMain = nullptr;
        const HANDLE run = launch(dir, path, &runPid, &runMain);
        if (runMain == nullptr) continue;
        TimeClick(runMain, runPid);  // writes the document where it is missing
        record(TimeClick(runMain, runPid), *times);
        bench::Stop(run);
        ::Sleep(200);
      }
    }
  }
  const int anchorRuns = 3;
  for (int i = 0; i < anchorRuns; ++i) anchor.push_back(TimeUnbufferedPerByte(reference, bytes));
  ::DeleteFileW(reference.c_str());
  const double f = bench::Median(first), l = bench::Median(later), s = bench::Median(single);
  const double d = bench::Median(direct), a = bench::Median(anchor);
  std::printf("clicks on 使用说明, document of %zu bytes; %d runs each (anchor %d)\n", bytes.size(), runs, anchorRuns);
  for (const auto& [text, count] : boxes) {
    std::printf("  %d click(s) did not reach the viewer: %s\n", count, e2e::Utf8(text).c_str());
  }
  if (first.empty() || later.empty()) {
    std::printf("  no figures: %s\n", first.empty() ? "no first click reached the viewer" : "no later click did");
    return 1;
  }
  std::printf("  one write call of the whole document:          median %8.2f ms\n", s);
  std::printf("  first click to viewer start (writes it):       median %8.2f ms (%zu runs)\n", f, first.size());
  std::printf("  the viewer started directly:                   median %8.2f ms\n", d);
  std::printf("  later click to viewer start (document held):   median %8.2f ms (%zu runs)\n", l, later.size());
  std::printf("  anchor: a write call and a repaint per byte:   median %8.2f ms (timed on %zu bytes, scaled)\n", a,
              kAnchorBytes);
  std::printf("  ratio first click / single write: %.1f (goal: at most 3)\n", f / s);
  std::printf("  ratio first click / later click:  %.2f\n", f / l);
  std::printf("  ratio later click / direct viewer: %.2f\n", l / d);
  if (!thisLater.empty() && !otherLater.empty()) {
    const double t = bench::Median(thisLater), o = bench::Median(otherLater);
    std::printf("  later click, each build started afresh: this one median %.2f ms, %s median %.2f ms\n", t,
                e2e::Utf8(argv[2]).c_str(), o);
    std::printf("  ratio later click / the same in that build: %.2f (goal for the comparison: at most 1.1)\n", t / o);
  }
  std::printf("  ratio anchor / single write:      %.1f\n", a / s);
  std::printf("  ratio first click / anchor:       %.3f\n", f / a);
  return 0;
}
