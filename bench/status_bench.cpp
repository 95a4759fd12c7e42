// A click on 热点状态 to the status window on screen with its state line (the first reading shown, not the
// line that says it is reading), the tests' stand-in wlanapi.dll answering at once that the hosted network is
// active with a device on it; against a click on a label that opens a message box, in a window of this
// benchmark's own, in the same run, alternating.
#include <cstdio>
#include <fstream>
#include <thread>

#include "bench_util.h"
#include "resources/resource.h"
#include "ui/window_class_names.h"

namespace {

constexpr wchar_t kReferenceClassName[] = L"LumvoraBenchBoxFromClick";
constexpr int kReferenceLabel = 1;

LRESULT CALLBACK ReferenceProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && LOWORD(wParam) == kReferenceLabel && HIWORD(wParam) == STN_CLICKED) {
    ::MessageBoxW(hwnd, L"热点没有开启", L"Lumvora", MB_OK);
    return 0;
  }
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

// The reference: a window with a label that opens a box when clicked, on a thread of its own (its own
// message loop, as Lumvora's window has); returns the label.
HWND StartReference() {
  HWND label = nullptr;
  const HANDLE ready = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread([&label, ready] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = ReferenceProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kReferenceClassName;
    ::RegisterClassW(&wc);
    const HWND window = ::CreateWindowExW(0, kReferenceClassName, L"Reference", WS_OVERLAPPED | WS_CAPTION, 20, 20,
                                          349, 217, nullptr, nullptr, wc.hInstance, nullptr);
    label = ::CreateWindowExW(0, L"STATIC", L"热点状态", WS_CHILD | WS_VISIBLE | SS_NOTIFY, 232, 8, 49, 17, window,
                              reinterpret_cast<HMENU>(kReferenceLabel), wc.hInstance, nullptr);
    ::ShowWindow(window, SW_SHOWNORMAL);
    ::SetEvent(ready);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
  }).detach();
  ::WaitForSingleObject(ready, 10000);
  return label;
}

// A click on the label, as the mouse gives it.
void Click(HWND label) {
  ::PostMessageW(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
  ::PostMessageW(label, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
}

double TimeReference(HWND label) {
  const double start = bench::NowMs();
  Click(label);
  HWND box = nullptr;
  while ((box = bench::VisibleWindow(::GetCurrentProcessId(), L"#32770")) == nullptr) {
    if (bench::NowMs() - start > 30000) return -1;
    ::Sleep(1);
  }
  const double elapsed = bench::NowMs() - start;
  ::PostMessageW(::GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
  while (bench::VisibleWindow(::GetCurrentProcessId(), L"#32770") != nullptr) ::Sleep(5);
  ::Sleep(100);
  return elapsed;
}

std::wstring StateLine(HWND status) {
  wchar_t text[256] = {};
  ::GetWindowTextW(::GetDlgItem(status, IDC_STATUS_STATE), text, 256);
  return text;
}

// The state line shown goes to shown.
double TimeStatusWindow(HWND main, DWORD pid, std::wstring* shown = nullptr) {
  const double start = bench::NowMs();
  Click(::GetDlgItem(main, IDC_STATUS_LINK));
  HWND status = nullptr;
  for (;;) {
    if (bench::NowMs() - start > 30000) return -1;
    status = bench::VisibleWindow(pid, lumvora::kHotspotStatusClassName);
    const std::wstring line = status != nullptr ? StateLine(status) : std::wstring();
    if (line.rfind(L"热点", 0) == 0 || line.rfind(L"Windows", 0) == 0 || line.rfind(L"这台", 0) == 0) break;
    ::Sleep(1);
  }
  const double elapsed = bench::NowMs() - start;
  if (shown != nullptr) *shown = StateLine(status);
  ::PostMessageW(status, WM_CLOSE, 0, 0);
  while (bench::VisibleWindow(pid, lumvora::kHotspotStatusClassName) != nullptr) ::Sleep(5);
  ::Sleep(100);
  return elapsed;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int runs = argc > 1 ? std::max(10, _wtoi(argv[1])) : 15;
  const std::wstring appDir = bench::MakeDir(L"lumvora_bench_status_");
  ::CopyFileW(bench::FromBuildPath(LUMVORA_EXE).c_str(), (appDir + L"\\Lumvora.exe").c_str(), FALSE);
  const bench::WlanApiStandIn wlanapi(bench::FromBuildPath(FAKE_WLANAPI_DLL));
  if (!wlanapi.Installed()) return 1;
  std::ofstream((appDir + L"\\wlan_state.txt").c_str(), std::ios::binary)
      << "allowed=1\nstate=active\nssid=4C756D766F536F6674\nkey=12345678\npeers=AA-BB-CC-DD-EE-01\n";
  DWORD pid = 0;
  const HANDLE process = bench::Start(appDir + L"\\Lumvora.exe", appDir, &pid);
  HWND main = nullptr;
  for (int i = 0; i < 3000 && (main = bench::VisibleWindow(pid, lumvora::kMainWindowClassName)) == nullptr; ++i) {
    ::Sleep(10);
  }
  const HWND label = StartReference();
  if (main == nullptr || label == nullptr) {
    std::printf("Lumvora.exe or the reference window did not show\n");
    return 1;
  }
  // Warm-up, unmeasured: the first opening loads the wireless API and comctl32 once for the program's life.
  std::wstring shown;
  const double first = TimeStatusWindow(main, pid, &shown);
  TimeReference(label);
  std::vector<double> program, reference;
  for (int i = 0; i < runs; ++i) {
    reference.push_back(TimeReference(label));
    program.push_back(TimeStatusWindow(main, pid));
  }
  bench::Stop(process);
  const double p = bench::Median(program), r = bench::Median(reference);
  std::printf("热点状态 to the status window with its state line, %d runs each, alternating\n", runs);
  std::printf("  a click on a label to a message box (reference): median %.1f ms\n", r);
  std::printf("  a click on 热点状态 to the status window:          median %.1f ms\n", p);
  std::printf("  the first opening, which loads the wireless API and the list view: %.1f ms\n", first);
  std::string line(shown.size() * 3, '\0');
  line.resize(static_cast<size_t>(::WideCharToMultiByte(CP_UTF8, 0, shown.c_str(), static_cast<int>(shown.size()),
                                                        line.data(), static_cast<int>(line.size()), nullptr, nullptr)));
  std::printf("  the state line it showed: %s\n", line.c_str());
  std::printf("  ratio status window / message box: %.2f\n", p / r);
  return 0;
}
