// Time from a click on 启动热点 to the result box, with a netsh that exits at once, against two references
// in the same run, alternating: starting the same batch file with cmd.exe and waiting for it; and the same
// followed by the message box the program shows, which the first reference lacks. The tests' stand-in for
// Windows' sharing manager answers at once, the pair already shared after the first click.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
#include <netcon.h>

#include <cstdio>
#include <fstream>
#include <thread>

#include "bench_util.h"
#include "ui/window_class_names.h"

namespace {

HWND VisibleBox(DWORD pid) { return bench::VisibleWindow(pid, L"#32770"); }

// The box's text goes to shown, where given.
double TimeClickToBox(HWND main, DWORD pid, std::wstring* shown = nullptr) {
  const HWND button = ::GetDlgItem(main, 1008 /* 启动热点 */);
  const double start = bench::NowMs();
  ::PostMessageW(button, BM_CLICK, 0, 0);
  HWND box = nullptr;
  while ((box = VisibleBox(pid)) == nullptr) {
    if (bench::NowMs() - start > 30000) return -1;
    ::Sleep(1);
  }
  const double elapsed = bench::NowMs() - start;
  if (shown != nullptr) *shown = bench::BoxText(box);
  ::PostMessageW(::GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
  while (VisibleBox(pid) != nullptr || !::IsWindowEnabled(main)) ::Sleep(5);
  ::Sleep(100);
  return elapsed;
}

// With a box: once the interpreter has ended, the success box is shown (from a thread, so that this one can
// see it appear) and the time runs until it is visible.
double TimeDirectRun(const std::wstring& dir, const std::wstring& cmd, bool withBox,
                     const std::wstring& boxText = L"无线热点启动成功！") {
  const std::wstring batch = dir + L"\\QDWXRD.bat";
  std::ofstream(batch.c_str(), std::ios::binary) << "netsh wlan start hostednetwork\r\n";
  const double start = bench::NowMs();
  // Started the way a GUI program starts it (this benchmark is one: it has no console of its own), its
  // output read through a pipe until it ends.
  SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  ::CreatePipe(&readEnd, &writeEnd, &inheritable, 0);
  ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  const HANDLE nul = ::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                                   OPEN_EXISTING, 0, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
  startup.wShowWindow = SW_SHOWMINNOACTIVE;
  startup.hStdInput = nul;
  startup.hStdOutput = startup.hStdError = writeEnd;
  PROCESS_INFORMATION info{};
  std::wstring line = L"\"" + cmd + L"\" /d /q /V:OFF /c \"\"" + batch + L"\"\"";
  const std::wstring systemDir = cmd.substr(0, cmd.find_last_of(L'\\'));
  const BOOL started = ::CreateProcessW(cmd.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        systemDir.c_str(), &startup, &info);
  ::CloseHandle(nul);
  ::CloseHandle(writeEnd);
  if (!started) {
    ::CloseHandle(readEnd);
    return -1;
  }
  // Waits the way a GUI thread must, answering its messages, and drains the pipe meanwhile.
  char buffer[4096];
  for (;;) {
    DWORD available = 0, read = 0;
    while (::PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available > 0 &&
           ::ReadFile(readEnd, buffer, sizeof(buffer), &read, nullptr)) {
    }
    if (::MsgWaitForMultipleObjects(1, &info.hProcess, FALSE, 50, QS_ALLINPUT) == WAIT_OBJECT_0) break;
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
  }
  ::CloseHandle(readEnd);
  double elapsed = bench::NowMs() - start;
  if (withBox) {
    std::thread box([&boxText] { ::MessageBoxW(nullptr, boxText.c_str(), L"Lumvora", MB_OK); });
    HWND shown = nullptr;
    while ((shown = VisibleBox(::GetCurrentProcessId())) == nullptr) ::Sleep(1);
    elapsed = bench::NowMs() - start;
    ::PostMessageW(::GetDlgItem(shown, IDOK), BM_CLICK, 0, 0);
    box.join();
  }
  ::CloseHandle(info.hThread);
  ::CloseHandle(info.hProcess);
  ::DeleteFileW(batch.c_str());
  ::Sleep(100);
  return elapsed;
}

// Registers the tests' stand-in for the sharing manager class for as long as it lives.
class SharingStandIn {
 public:
  SharingStandIn() {
    HKEY key = nullptr;
    const std::wstring dll = bench::FromBuildPath(FAKE_SHARING_DLL);
    const wchar_t model[] = L"Both";
    if (::RegCreateKeyExW(HKEY_CLASSES_ROOT, (Key() + L"\\InprocServer32").c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                          nullptr, &key, nullptr) == ERROR_SUCCESS) {
      ::RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(dll.c_str()),
                       static_cast<DWORD>((dll.size() + 1) * sizeof(wchar_t)));
      ::RegSetValueExW(key, L"ThreadingModel", 0, REG_SZ, reinterpret_cast<const BYTE*>(model), sizeof(model));
      ::RegCloseKey(key);
    }
  }
  ~SharingStandIn() { ::RegDeleteTreeW(HKEY_CLASSES_ROOT, Key().c_str()); }

 private:
  static std::wstring Key() {
    wchar_t clsid[40] = {};
    ::StringFromGUID2(CLSID_NetSharingManager, clsid, 40);
    return std::wstring(L"CLSID\\") + clsid;
  }
};

// Registers the tests' stand-in for the Mobile Hotspot's runtime classes for as long as it lives.
class TetheringStandIn {
 public:
  TetheringStandIn() {
    const std::wstring dll = bench::FromBuildPath(FAKE_TETHERING_DLL);
    for (const wchar_t* name : kClasses) {
      HKEY key = nullptr;
      if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, (std::wstring(kRoot) + name).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                            nullptr, &key, nullptr) == ERROR_SUCCESS) {
        ::RegSetValueExW(key, L"DllPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(dll.c_str()),
                         static_cast<DWORD>((dll.size() + 1) * sizeof(wchar_t)));
        ::RegCloseKey(key);
      }
    }
  }
  ~TetheringStandIn() {
    for (const wchar_t* name : kClasses) ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, (std::wstring(kRoot) + name).c_str());
  }

 private:
  static constexpr wchar_t kRoot[] = L"Software\\Microsoft\\WindowsRuntime\\ActivatableClassId\\";
  static constexpr const wchar_t* kClasses[] = {
      L"Windows.Networking.Connectivity.NetworkInformation",
      L"Windows.Networking.NetworkOperators.NetworkOperatorTetheringManager",
      L"Windows.Networking.NetworkOperators.NetworkOperatorTetheringAccessPointConfiguration"};
};

// The stand-in's connections: the adapter of the route to the internet, where there is one, and the hotspot's.
std::string SharingState() {
  std::string state = "{5A7E0000-0000-4000-8000-000000000002}=none,hotspot\n";
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_addr.s_addr = 0x01010101;
  DWORD index = 0;
  NET_LUID luid{};
  GUID guid{};
  if (::GetBestInterfaceEx(reinterpret_cast<sockaddr*>(&to), &index) == NO_ERROR &&
      ::ConvertInterfaceIndexToLuid(index, &luid) == NO_ERROR && ::ConvertInterfaceLuidToGuid(&luid, &guid) == NO_ERROR) {
    wchar_t text[40] = {};
    ::StringFromGUID2(guid, text, 40);
    state += std::string(text, text + 38) + "=none,internet\n";
  }
  return state;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int runs = argc > 1 ? std::max(10, _wtoi(argv[1])) : 15;
  const std::wstring appDir = bench::MakeDir(L"lumvora_bench_app_");
  const std::wstring directDir = bench::MakeDir(L"lumvora_bench_direct_");
  const std::wstring netsh = bench::FromBuildPath(INSTANT_NETSH_EXE);
  ::CopyFileW(bench::FromBuildPath(LUMVORA_EXE).c_str(), (appDir + L"\\Lumvora.exe").c_str(), FALSE);
  // Lumvora runs only the system's netsh, so the instant one takes its place in the test prefix (bench/run.sh
  // tells Wine to prefer that file to its built-in netsh). Both runs start the interpreter there.
  wchar_t system[MAX_PATH];
  ::GetSystemDirectoryW(system, MAX_PATH);
  if (!::CopyFileW(netsh.c_str(), (std::wstring(system) + L"\\netsh.exe").c_str(), FALSE)) {
    std::printf("cannot put the instant netsh.exe into the system directory\n");
    return 1;
  }
  const std::wstring cmd = std::wstring(system) + L"\\cmd.exe";
  // The program asks the wireless API after each command: the tests' stand-in answers, the hosted network
  // active as a start leaves it.
  const bench::WlanApiStandIn wlanapi(bench::FromBuildPath(FAKE_WLANAPI_DLL));
  if (!wlanapi.Installed()) return 1;
  const std::wstring wlanState = appDir + L"\\wlan_state.txt";
  const SharingStandIn sharing;
  std::ofstream((appDir + L"\\ics_state.txt").c_str(), std::ios::binary) << SharingState();

  DWORD pid = 0;
  const HANDLE process = bench::Start(appDir + L"\\Lumvora.exe", appDir, &pid);
  HWND main = nullptr;
  for (int i = 0; i < 3000 && (main = bench::VisibleWindow(pid, lumvora::kMainWindowClassName)) == nullptr; ++i) {
    ::Sleep(10);
  }
  if (main == nullptr) {
    std::printf("Lumvora.exe did not show its window\n");
    return 1;
  }
  // Warm-up, unmeasured. With the hosted network left idle, only an answering API turns netsh's exit code 0
  // into a failure.
  std::ofstream(wlanState.c_str(), std::ios::binary) << "allowed=1\nstate=idle\n";
  std::wstring warmUpBox;
  TimeClickToBox(main, pid, &warmUpBox);
  const bool apiAnswered = warmUpBox.find(L"承载网络没有启动") != std::wstring::npos;
  std::ofstream(wlanState.c_str(), std::ios::binary | std::ios::trunc)
      << "allowed=1\nstate=active\nipdevice={5A7E0000-0000-4000-8000-000000000002}\n";
  std::wstring sharedBox;
  TimeClickToBox(main, pid, &sharedBox);
  const bool sharingAnswered = sharedBox.find(L"共享给热点") != std::wstring::npos ||
                               sharedBox.find(L"没有连上互联网") != std::wstring::npos;
  TimeDirectRun(directDir, cmd, false);
  TimeDirectRun(directDir, cmd, true);

  std::vector<double> program, direct, directWithBox;
  for (int i = 0; i < runs; ++i) {
    direct.push_back(TimeDirectRun(directDir, cmd, false));
    directWithBox.push_back(TimeDirectRun(directDir, cmd, true));
    program.push_back(TimeClickToBox(main, pid));
  }
  // The same where the driver has no hosted network and Windows' Mobile Hotspot stands in, its stand-in
  // answering at once: a new instance, as the program asks whether the API is there once.
  bench::Stop(process);
  std::vector<double> mobile, mobileDirect, mobileSameBox;
  bool mobileAnswered = false;
  {
    const TetheringStandIn tethering;
    std::ofstream(wlanState.c_str(), std::ios::binary | std::ios::trunc) << "capable=0\nstate=unavailable\n";
    std::ofstream((appDir + L"\\tethering_state.txt").c_str(), std::ios::binary) << "state=off\n";
    const HANDLE mobileProcess = bench::Start(appDir + L"\\Lumvora.exe", appDir, &pid);
    main = nullptr;
    for (int i = 0; i < 3000 && (main = bench::VisibleWindow(pid, lumvora::kMainWindowClassName)) == nullptr; ++i) {
      ::Sleep(10);
    }
    if (main != nullptr) {
      std::wstring box;
      TimeClickToBox(main, pid, &box);
      mobileAnswered = box.find(L"移动热点") != std::wstring::npos && box.find(L"启动成功") != std::wstring::npos;
      // Its box is three lines long: the reference shows the same text as well as the usual one.
      for (int i = 0; i < runs; ++i) {
        mobileDirect.push_back(TimeDirectRun(directDir, cmd, true));
        mobileSameBox.push_back(TimeDirectRun(directDir, cmd, true, box));
        mobile.push_back(TimeClickToBox(main, pid));
      }
    }
    bench::Stop(mobileProcess);
  }
  const double p = bench::Median(program);
  const double d = bench::Median(direct);
  const double b = bench::Median(directWithBox);
  std::printf("启动热点 with a netsh that exits at once and the wireless API answering, %d runs each, alternating\n",
              runs);
  std::printf("  cmd.exe /c QDWXRD.bat, waited for:             median %.1f ms\n", d);
  std::printf("  the same, then a message box until it is seen: median %.1f ms\n", b);
  std::printf("  click to result box in Lumvora.exe:            median %.1f ms\n", p);
  std::printf("  the wireless API answered the program: %s\n", apiAnswered ? "yes" : "NO (not what was measured)");
  std::printf("  the sharing manager's stand-in answered: %s\n", sharingAnswered ? "yes" : "NO (not what was measured)");
  std::printf("  ratio program / direct run:          %.2f\n", p / d);
  std::printf("  ratio program / direct run with box: %.2f (goal: at most 1.1)\n", p / b);
  if (!mobile.empty()) {
    const double m = bench::Median(mobile), md = bench::Median(mobileDirect);
    std::printf("the same where Windows' Mobile Hotspot stands in (the driver has no hosted network)\n");
    std::printf("  cmd.exe /c QDWXRD.bat, then a message box:     median %.1f ms\n", md);
    std::printf("  click to result box in Lumvora.exe:            median %.1f ms\n", m);
    std::printf("  the Mobile Hotspot's stand-in answered: %s\n", mobileAnswered ? "yes" : "NO (not what was measured)");
    const double ms = bench::Median(mobileSameBox);
    std::printf("  the same with the program's own box text:      median %.1f ms\n", ms);
    std::printf("  ratio program / direct run with box: %.2f\n", m / md);
    std::printf("  ratio program / direct run with the same box: %.2f (goal: at most 1.1)\n", m / ms);
  }
  return 0;
}
