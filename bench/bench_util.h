// Small helpers shared by the benchmarks: timing, process start, finding a visible window, medians.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

// The window class of the minimal window program, the start-up benchmarks' reference.
inline constexpr wchar_t kMinimalWindowClassName[] = L"LumvoraBenchMinimal";

inline double NowMs() {
  LARGE_INTEGER frequency, counter;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&counter);
  return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

inline std::wstring FromBuildPath(const char* utf8) {
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
  std::wstring path(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8, -1, path.data(), n);
  path.resize(static_cast<size_t>(n - 1));
  if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  return path;
}

// A directory of the benchmark's own under the temporary directory.
inline std::wstring MakeDir(const wchar_t* name) {
  wchar_t base[MAX_PATH];
  ::GetTempPathW(MAX_PATH, base);
  std::wstring dir = std::wstring(base) + name + std::to_wstring(::GetCurrentProcessId());
  ::CreateDirectoryW(dir.c_str(), nullptr);
  return dir;
}

inline HANDLE Start(const std::wstring& exe, const std::wstring& directory, DWORD* pid) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  std::wstring line = L"\"" + exe + L"\"";
  if (!::CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, directory.c_str(), &startup,
                        &info)) {
    std::fprintf(stderr, "cannot start %ls\n", exe.c_str());
    std::exit(2);
  }
  ::CloseHandle(info.hThread);
  *pid = info.dwProcessId;
  return info.hProcess;
}

// The visible top-level window of the given class that belongs to the process, or null.
inline HWND VisibleWindow(DWORD pid, const wchar_t* className) {
  HWND hwnd = nullptr;
  while ((hwnd = ::FindWindowExW(nullptr, hwnd, className, nullptr)) != nullptr) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    if (owner == pid && ::IsWindowVisible(hwnd)) return hwnd;
  }
  return nullptr;
}

// Milliseconds since the process was created, on the clock that a program's own start-up marks use.
inline double MsSinceCreation(HANDLE process) {
  FILETIME created, exited, kernel, user, now;
  ::GetSystemTimePreciseAsFileTime(&now);
  ::GetProcessTimes(process, &created, &exited, &kernel, &user);
  const auto ticks = [](const FILETIME& t) {
    return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  return static_cast<double>(static_cast<long long>(ticks(now) - ticks(created))) / 10000.0;
}

// The text of a message box (its static control's, id 0xFFFF).
inline std::wstring BoxText(HWND box) {
  wchar_t text[1024] = {};
  ::GetWindowTextW(::GetDlgItem(box, 0xFFFF), text, 1024);
  return text;
}

// For as long as it lives, the system directory's wlanapi.dll is the tests' stand-in (it answers from
// wlan_state.txt beside the program); Wine's own copy goes back afterwards.
class WlanApiStandIn {
 public:
  explicit WlanApiStandIn(const std::wstring& standIn) {
    wchar_t system[MAX_PATH];
    ::GetSystemDirectoryW(system, MAX_PATH);
    wlanapi_ = std::wstring(system) + L"\\wlanapi.dll";
    wine_ = std::wstring(system) + L"\\lumvora_wine_wlanapi.dll";
    ::CopyFileW(wlanapi_.c_str(), wine_.c_str(), TRUE);
    installed_ = ::CopyFileW(standIn.c_str(), wlanapi_.c_str(), FALSE) != FALSE;
    if (!installed_) std::printf("cannot put the stand-in wlanapi.dll into the system directory\n");
  }
  ~WlanApiStandIn() { ::CopyFileW(wine_.c_str(), wlanapi_.c_str(), FALSE); }
  WlanApiStandIn(const WlanApiStandIn&) = delete;
  WlanApiStandIn& operator=(const WlanApiStandIn&) = delete;
  bool Installed() const { return installed_; }

 private:
  std::wstring wlanapi_, wine_;
  bool installed_ = false;
};

inline void Stop(HANDLE process) {
  ::TerminateProcess(process, 0);
  ::WaitForSingleObject(process, 10000);
  ::CloseHandle(process);
}

}  // namespace bench
