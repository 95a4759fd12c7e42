// A first click on 使用说明: from the click to the viewer's start, against writing the same bytes to a file
// in one call; and, as the anchor, one unbuffered write call and one progress-bar repaint per byte.
#include "bench_util.h"
#include "ui/window_class_names.h"

#include <commctrl.h>
#include <tlhelp32.h>

#include <cstdio>

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

double TimeFirstClick(HWND main, DWORD pid, const std::wstring& document) {
  ::DeleteFileW(document.c_str());
  const HWND label = ::GetDlgItem(main, 1002 /* 使用说明 */);
  const double start = bench::NowMs();
  ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(1002, STN_CLICKED), reinterpret_cast<LPARAM>(label));
  DWORD viewer = 0;
  while ((viewer = ChildViewer(pid)) == 0) {
    if (bench::NowMs() - start > 60000) return -1;
    ::Sleep(1);
  }
  const double elapsed = bench::NowMs() - start;
  Kill(viewer);
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

  DWORD pid = 0;
  const HANDLE process = bench::Start(exe, appDir, &pid);
  HWND main = nullptr;
  for (int i = 0; i < 3000 && (main = bench::VisibleWindow(pid, lumvora::kMainWindowClassName)) == nullptr; ++i) {
    ::Sleep(10);
  }
  if (main == nullptr) {
    std::printf("Lumvora.exe did not show its window\n");
    return 1;
  }
  TimeFirstClick(main, pid, document);  // warm-up, unmeasured
  TimeSingleWrite(reference, bytes);

  std::vector<double> program, single, anchor;
  for (int i = 0; i < runs; ++i) {
    single.push_back(TimeSingleWrite(reference, bytes));
    program.push_back(TimeFirstClick(main, pid, document));
  }
  const int anchorRuns = 3;
  for (int i = 0; i < anchorRuns; ++i) anchor.push_back(TimeUnbufferedPerByte(reference, bytes));
  bench::Stop(process);
  ::DeleteFileW(reference.c_str());
  const double p = bench::Median(program), s = bench::Median(single), a = bench::Median(anchor);
  std::printf("first click on 使用说明, document of %zu bytes; %d runs (anchor %d)\n", bytes.size(), runs, anchorRuns);
  std::printf("  one write call of the whole document:        median %8.2f ms\n", s);
  std::printf("  click to viewer start in Lumvora.exe:        median %8.2f ms\n", p);
  std::printf("  anchor: a write call and a repaint per byte: median %8.2f ms (timed on %zu bytes, scaled)\n", a,
              kAnchorBytes);
  std::printf("  ratio program / single write: %.1f (goal: at most 3)\n", p / s);
  std::printf("  ratio anchor / single write:  %.1f\n", a / s);
  std::printf("  ratio program / anchor:       %.3f\n", p / a);
  return 0;
}
