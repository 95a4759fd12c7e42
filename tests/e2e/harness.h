// Drives the real Lumvora.exe from another process, through the Win32 API only: start it in a fresh
// application directory, find its windows and controls, read texts, click, read message boxes.
#pragma once

#include <windows.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "utf8.h"

namespace e2e {

using namespace std::chrono_literals;
using Millis = std::chrono::milliseconds;

enum class BoxIcon { None, Information, Warning, Error, Unknown };

struct MessageBoxInfo {
  HWND hwnd = nullptr;
  std::wstring caption;
  std::wstring text;
  BoxIcon icon = BoxIcon::None;
  // Presses OK by posting the click: a sent message could block behind the box's own loop.
  void PressOk() const;
};

// A directory of its own under the temporary directory, holding a copy of Lumvora.exe.
class AppDir {
 public:
  AppDir();
  // The root of a drive ("R:") as the application directory; emptied again afterwards.
  explicit AppDir(const std::wstring& driveRoot);
  ~AppDir();
  AppDir(const AppDir&) = delete;
  AppDir& operator=(const AppDir&) = delete;

  const std::wstring& Path() const { return path_; }
  std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }
  std::wstring Exe() const { return File(L"Lumvora.exe"); }
  std::vector<std::wstring> Files() const;

 private:
  std::wstring path_;
  bool root_ = false;
};

using DriveRootDir = AppDir;

class App {
 public:
  // Starts the exe with the given directory as current directory (the application directory by default),
  // telling the fake netsh to keep its records in the exe's directory.
  explicit App(const std::wstring& exe, const std::wstring& currentDirectory = std::wstring());
  ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  DWORD Pid() const { return pid_; }
  bool Running() const;
  bool WaitForExit(Millis timeout) const;
  void Kill();

  // The visible main window, once the program has shown it.
  HWND WaitForMainWindow(Millis timeout = 10s) const;
  HWND MainWindow() const;  // visible or not
  std::optional<MessageBoxInfo> WaitForMessageBox(Millis timeout = 10s) const;
  std::vector<MessageBoxInfo> MessageBoxes() const;

 private:
  HANDLE process_ = nullptr;
  DWORD pid_ = 0;
};

std::wstring LumvoraExe();
// The DPI that the programs of this run see (Wine gives every process the prefix's), and a measure of the
// 96-DPI design scaled to it.
int Dpi();
int Scaled(int designed);
std::wstring ReadText(HWND window);
std::wstring ClassOf(HWND window);
std::vector<HWND> TopLevelWindows(DWORD pid);
// The running processes of that executable name that the given process started (any process: 0).
std::vector<DWORD> ChildProcesses(DWORD parent, const wchar_t* exeName);
// The control's rectangle in its parent's client coordinates.
RECT ChildRect(HWND control);
void PostClick(HWND button);

// Real input, as the user would give it (SendInput), at screen coordinates.
enum class Button { Left, Right, Middle };
void MoveMouseTo(POINT screen);
// Clicks and gives the program a moment to react.
void ClickAt(POINT screen, Button button);
// Clicks and returns at once, for watching what the program does right away.
void PressAt(POINT screen, Button button);
void PressKey(WORD vk, bool shift = false);
// The centre of a control (or any window) in screen coordinates.
POINT CentreOf(HWND window);
// Brings the window to the front so that keyboard input reaches it.
bool Activate(HWND window);
// The window that has the keyboard focus in the thread that owns the given window.
HWND FocusOf(HWND window);
// The visible pop-up menu windows of a process.
std::vector<HWND> OpenMenus(DWORD pid);
// The pixels that the screen shows of a rectangle (screen coordinates), as 0x00RRGGBB, row by row.
std::vector<COLORREF> ScreenPixels(const RECT& rect);
// Waits until the condition holds, checking every 20 ms.
template <typename Condition>
bool WaitUntil(Condition condition, Millis timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    ::Sleep(20);
  }
}
// Saves what the screen shows of the window as a BMP under $LUMVORA_SCREENSHOTS (the test command turns
// them into PNGs). Does nothing when the variable is not set.
void SaveScreenshot(HWND window, const std::wstring& name);
void SaveScreenshot(const RECT& screen, const std::wstring& name);
std::string ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
bool FileExists(const std::wstring& path);
// Sets a control's text in the other process (the system carries the string across).
void SetText(HWND control, const std::wstring& text);
// Text in the ANSI code page (936 here), as the program must write it.
std::string Ansi(const std::wstring& text);

// A file built beside the tests, by the path the build gives (a Unix path lies on Z:).
std::wstring BuiltFile(const char* buildPath);
// The fake netsh.exe, put where the system's netsh.exe lives, and what it is to answer when started by
// the program in this directory (see fake_netsh.cpp).
void InstallFakeNetsh(const AppDir& dir, const std::string& behaviour = std::string());
// For as long as it lives, the system directory's wlanapi.dll is the test's (fake_wlanapi.cpp, answering as
// wlan_state.txt in the program's directory says; see SetWlanState), or there is none. Wine loads a DLL
// given by its full path from there even without an override, so Wine's own copy is put back afterwards.
class WlanApiStandIn {
 public:
  enum class Kind { Fake, Missing };
  explicit WlanApiStandIn(Kind kind);
  ~WlanApiStandIn();
  WlanApiStandIn(const WlanApiStandIn&) = delete;
  WlanApiStandIn& operator=(const WlanApiStandIn&) = delete;
};
// For as long as it lives, Windows' sharing manager class is the test's (fake_sharing.cpp, answering as
// ics_state.txt in the program's directory says), registered where Wine 8 looks: HKCR\CLSID. Without it
// the class is not registered, as under Wine.
class SharingManagerStandIn {
 public:
  SharingManagerStandIn();
  ~SharingManagerStandIn();
  SharingManagerStandIn(const SharingManagerStandIn&) = delete;
  SharingManagerStandIn& operator=(const SharingManagerStandIn&) = delete;
};
// What the fake wlanapi.dll answers to the program in this directory, as "name=value" lines.
void SetWlanState(const AppDir& dir, const std::string& state);

// For as long as it lives, Windows' Mobile Hotspot classes are the test's (fake_tethering.cpp, answering as
// tethering_state.txt in the program's directory says); afterwards they are unregistered again, as in
// Wine's own prefix.
class TetheringStandIn {
 public:
  TetheringStandIn();
  ~TetheringStandIn();
  TetheringStandIn(const TetheringStandIn&) = delete;
  TetheringStandIn& operator=(const TetheringStandIn&) = delete;
};
void SetTetheringState(const AppDir& dir, const std::string& state);
// The calls the program made of the stand-in, one a line.
std::string TetheringCalls(const AppDir& dir);

struct NetshCall {
  std::string exe;                               // the fake's own path, UTF-8
  std::string interpreterCommandLine;            // its parent's command line, UTF-8
  std::string probe;                             // what another process could do to the batch file meanwhile
  std::string readers;                           // which readers and writers could open it meanwhile
  std::string commandLine;                       // UTF-8
  std::optional<std::wstring> ssid, key;         // as netsh parsed them
  std::map<std::wstring, std::string> batches;   // every batch file present while it ran, with its bytes
};
std::vector<NetshCall> NetshCalls(const AppDir& dir);

}  // namespace e2e
