#include "e2e/harness.h"
#include "ui/window_class_names.h"

#include <netcon.h>
#include <tlhelp32.h>

#include <cwchar>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

namespace e2e {

std::wstring BuiltFile(const char* buildPath) {
  // The build passes paths as the build machine sees them; under Wine a Unix path lies on Z:.
  std::wstring path = Utf16(buildPath);
  if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  return path;
}

std::wstring LumvoraExe() { return BuiltFile(LUMVORA_EXE); }

int Dpi() {
  const HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  return dpi;
}

int Scaled(int designed) { return ::MulDiv(designed, Dpi(), 96); }

std::string ReadFileBytes(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

AppDir::AppDir() {
  static int counter = 0;
  wchar_t base[MAX_PATH];
  ::GetTempPathW(MAX_PATH, base);
  path_ = std::wstring(base) + L"lumvora_e2e_" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
          std::to_wstring(counter++);
  ::CreateDirectoryW(path_.c_str(), nullptr);
  if (!::CopyFileW(LumvoraExe().c_str(), Exe().c_str(), FALSE)) {
    throw std::runtime_error("cannot copy Lumvora.exe into the application directory");
  }
}

AppDir::AppDir(const std::wstring& driveRoot) : path_(driveRoot), root_(true) {
  for (const std::wstring& name : Files()) ::DeleteFileW(File(name).c_str());
  if (!::CopyFileW(LumvoraExe().c_str(), Exe().c_str(), FALSE)) {
    throw std::runtime_error("cannot copy Lumvora.exe to the drive root");
  }
}

std::vector<std::wstring> AppDir::Files() const {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data;
  const HANDLE find = ::FindFirstFileW((path_ + L"\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = data.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (::FindNextFileW(find, &data));
  ::FindClose(find);
  return names;
}

AppDir::~AppDir() {
  ::SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
  for (const std::wstring& name : Files()) {
    const std::wstring file = File(name);
    ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    // The program may still be letting go of its exe.
    WaitUntil([&] { return ::DeleteFileW(file.c_str()) || ::GetLastError() == ERROR_FILE_NOT_FOUND; }, 3s);
  }
  if (!root_) ::RemoveDirectoryW(path_.c_str());
}

namespace {

// This process's environment with the given variables set, as a block for CreateProcess.
std::wstring EnvironmentWith(const std::map<std::wstring, std::wstring>& set) {
  std::map<std::wstring, std::wstring> variables;
  wchar_t* block = ::GetEnvironmentStringsW();
  for (const wchar_t* entry = block; *entry != L'\0'; entry += wcslen(entry) + 1) {
    const std::wstring text = entry;
    const size_t eq = text.find(L'=', 1);  // names like "=C:" start with "="
    if (eq != std::wstring::npos) variables[text.substr(0, eq)] = text.substr(eq + 1);
  }
  ::FreeEnvironmentStringsW(block);
  for (const auto& [name, value] : set) variables[name] = value;
  std::wstring out;
  for (const auto& [name, value] : variables) out += name + L"=" + value + L'\0';
  return out + L'\0';
}

}  // namespace

App::App(const std::wstring& exe, const std::wstring& currentDirectory) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  std::wstring commandLine = L"\"" + exe + L"\"";
  const std::wstring exeDirectory = exe.substr(0, exe.find_last_of(L'\\'));
  std::wstring directory = currentDirectory;
  if (directory.empty()) directory = exeDirectory;
  std::wstring environment = EnvironmentWith({{L"LUMVORA_FAKE_NETSH_DIR", exeDirectory}});
  auto start = [&] {
    return ::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                            environment.data(), directory.c_str(), &startup, &info) != FALSE;
  };
  // Under load, Wine now and then loses a process while it starts (ERROR_INTERNAL_ERROR): once more.
  if (!start() && (::GetLastError() != ERROR_INTERNAL_ERROR || !start())) {
    throw std::runtime_error("cannot start Lumvora.exe: error " + std::to_string(::GetLastError()));
  }
  ::CloseHandle(info.hThread);
  process_ = info.hProcess;
  pid_ = info.dwProcessId;
}

App::~App() {
  Kill();
  ::CloseHandle(process_);
}

bool App::Running() const { return ::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

bool App::WaitForExit(Millis timeout) const {
  return ::WaitForSingleObject(process_, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

void App::Kill() {
  if (Running()) {
    ::TerminateProcess(process_, 99);
    ::WaitForSingleObject(process_, 5000);
  }
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  ::GetClassNameW(window, name, 256);
  return name;
}

std::vector<HWND> TopLevelWindows(DWORD pid) {
  struct Search {
    DWORD pid;
    std::vector<HWND> found;
  } search{pid, {}};
  ::EnumWindows(
      [](HWND hwnd, LPARAM param) CALLBACK -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(hwnd, &owner);
        if (owner == s->pid) s->found.push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<DWORD> ChildProcesses(DWORD parent, const wchar_t* exeName) {
  std::vector<DWORD> children;
  const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry)) {
    if ((parent == 0 || entry.th32ParentProcessID == parent) && _wcsicmp(entry.szExeFile, exeName) == 0) {
      children.push_back(entry.th32ProcessID);
    }
  }
  ::CloseHandle(snapshot);
  return children;
}

HWND App::MainWindow() const {
  for (HWND hwnd : TopLevelWindows(pid_)) {
    if (ClassOf(hwnd) == lumvora::kMainWindowClassName) return hwnd;
  }
  return nullptr;
}

HWND App::WaitForMainWindow(Millis timeout) const {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        found = MainWindow();
        return found != nullptr && ::IsWindowVisible(found);
      },
      timeout);
  return found != nullptr && ::IsWindowVisible(found) ? found : nullptr;
}

std::wstring ReadText(HWND window) {
  // WM_GETTEXT rather than GetWindowText: for another process's edit control the latter returns the
  // creation caption. With a time-out, so that a busy program cannot hang the test.
  wchar_t buffer[8192] = {};
  DWORD_PTR result = 0;
  ::SendMessageTimeoutW(window, WM_GETTEXT, 8192, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 5000,
                        &result);
  return buffer;
}

// Pixels painted into a 32-bit DIB, row by row from the top, as 0x00RRGGBB.
template <typename Paint>
std::vector<COLORREF> Pixels(int width, int height, Paint paint) {
  const HDC screen = ::GetDC(nullptr);
  const HDC memory = ::CreateCompatibleDC(screen);
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = width;
  bmi.bmiHeader.biHeight = -height;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  const HBITMAP bitmap = ::CreateDIBSection(screen, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ old = ::SelectObject(memory, bitmap);
  paint(memory, screen);
  ::GdiFlush();
  const auto* p = static_cast<const DWORD*>(bits);
  std::vector<COLORREF> pixels(p, p + width * height);
  for (COLORREF& c : pixels) c &= 0x00FFFFFF;
  ::SelectObject(memory, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  return pixels;
}

std::vector<COLORREF> ScreenPixels(const RECT& rect) {
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  return Pixels(width, height, [&](HDC memory, HDC screen) {
    ::BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  });
}

namespace {

std::vector<COLORREF> CapturePixels(int x, int y, int size) { return ScreenPixels(RECT{x, y, x + size, y + size}); }

std::vector<COLORREF> DrawIconPixels(HICON icon, int size, COLORREF background) {
  return Pixels(size, size, [&](HDC memory, HDC) {
    // background is as read from a DIB (0x00RRGGBB); a brush wants 0x00BBGGRR.
    const COLORREF rgb = RGB(GetBValue(background), GetGValue(background), GetRValue(background));
    const HBRUSH brush = ::CreateSolidBrush(rgb);
    RECT all{0, 0, size, size};
    ::FillRect(memory, &all, brush);
    ::DeleteObject(brush);
    ::DrawIconEx(memory, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
  });
}

BoxIcon IconOf(HWND box) {
  HWND iconControl = nullptr;
  for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (ClassOf(child) == L"Static" && ::IsWindowVisible(child) &&
        (::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
      iconControl = child;
    }
  }
  if (iconControl == nullptr) return BoxIcon::None;
  DWORD_PTR result = 0;
  ::SendMessageTimeoutW(iconControl, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
  // Wine keeps the icon control of a box without icon, visible but empty.
  if (result == 0) return BoxIcon::None;
  // Icon handles belong to their process, so the icon is told by its pixels: what the screen shows is
  // compared with each system icon drawn here on the same background.
  RECT rect{};
  ::GetWindowRect(iconControl, &rect);
  const int size = ::GetSystemMetrics(SM_CXICON);
  std::vector<COLORREF> shown = CapturePixels(rect.left, rect.top, size);
  const COLORREF background = shown.front();  // the corner lies outside every system icon's shape
  BoxIcon best = BoxIcon::Unknown;
  size_t bestDiff = static_cast<size_t>(size * size / 20);  // at most 5% of the pixels may differ
  const struct {
    BoxIcon icon;
    const wchar_t* id;
  } candidates[] = {{BoxIcon::Information, IDI_INFORMATION}, {BoxIcon::Warning, IDI_WARNING},
                    {BoxIcon::Error, IDI_ERROR}};
  for (const auto& c : candidates) {
    const std::vector<COLORREF> drawn = DrawIconPixels(::LoadIconW(nullptr, c.id), size, background);
    size_t diff = 0;
    for (size_t i = 0; i < drawn.size(); ++i) diff += drawn[i] != shown[i];
    if (diff < bestDiff) {
      bestDiff = diff;
      best = c.icon;
    }
  }
  return best;
}

MessageBoxInfo Describe(HWND box) {
  MessageBoxInfo info;
  info.hwnd = box;
  info.caption = ReadText(box);
  if (const HWND text = ::GetDlgItem(box, 0xFFFF)) info.text = ReadText(text);
  info.icon = IconOf(box);
  return info;
}

}  // namespace

void MessageBoxInfo::PressOk() const {
  const HWND ok = ::GetDlgItem(hwnd, IDOK);
  if (ok != nullptr) {
    ::PostMessageW(ok, BM_CLICK, 0, 0);
  } else {
    ::PostMessageW(hwnd, WM_COMMAND, IDOK, 0);
  }
}

std::vector<MessageBoxInfo> App::MessageBoxes() const {
  std::vector<MessageBoxInfo> boxes;
  for (HWND hwnd : TopLevelWindows(pid_)) {
    if (ClassOf(hwnd) == L"#32770" && ::IsWindowVisible(hwnd)) boxes.push_back(Describe(hwnd));
  }
  return boxes;
}

std::optional<MessageBoxInfo> App::WaitForMessageBox(Millis timeout) const {
  std::vector<MessageBoxInfo> boxes;
  WaitUntil(
      [&] {
        boxes = MessageBoxes();
        return !boxes.empty();
      },
      timeout);
  if (boxes.empty()) return std::nullopt;
  // Give the box a moment to finish drawing before it is read or captured.
  ::Sleep(100);
  return Describe(boxes.front().hwnd);
}

RECT ChildRect(HWND control) {
  RECT rect{};
  ::GetWindowRect(control, &rect);
  ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

void PostClick(HWND button) { ::PostMessageW(button, BM_CLICK, 0, 0); }

void SaveScreenshot(HWND window, const std::wstring& name) {
  ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
  ::Sleep(200);
  RECT rect{};
  ::GetWindowRect(window, &rect);
  SaveScreenshot(rect, name);
}

void SaveScreenshot(const RECT& rect, const std::wstring& name) {
  wchar_t dir[MAX_PATH] = {};
  if (::GetEnvironmentVariableW(L"LUMVORA_SCREENSHOTS", dir, MAX_PATH) == 0) return;
  std::wstring directory = dir;
  if (!directory.empty() && directory[0] == L'/') directory = L"Z:" + directory;
  // One folder per flavour inside the screenshots folder: both levels may be new.
  const size_t parent_end = directory.find_last_of(L"/\\");
  if (parent_end != std::wstring::npos) ::CreateDirectoryW(directory.substr(0, parent_end).c_str(), nullptr);
  ::CreateDirectoryW(directory.c_str(), nullptr);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return;
  const std::vector<COLORREF> pixels = ScreenPixels(rect);
  BITMAPINFOHEADER info{};
  info.biSize = sizeof(info);
  info.biWidth = width;
  info.biHeight = -height;  // rows from the top, as captured
  info.biPlanes = 1;
  info.biBitCount = 32;
  info.biSizeImage = static_cast<DWORD>(pixels.size() * sizeof(COLORREF));
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  file.bfSize = file.bfOffBits + info.biSizeImage;
  std::ofstream out((directory + L"\\" + name + L".bmp").c_str(), std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof(file));
  out.write(reinterpret_cast<const char*>(&info), sizeof(info));
  out.write(reinterpret_cast<const char*>(pixels.data()), info.biSizeImage);
}

}  // namespace e2e

namespace e2e {

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
  out << bytes;
}

bool FileExists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void SetText(HWND control, const std::wstring& text) {
  DWORD_PTR result = 0;
  ::SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000,
                        &result);
}

std::string Ansi(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int n =
      ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

void InstallFakeNetsh(const AppDir& dir, const std::string& behaviour) {
  // Into the test prefix's system directory, in place of the system's own netsh.exe: the program must
  // run that one and no other.
  wchar_t system[MAX_PATH] = {};
  ::GetSystemDirectoryW(system, MAX_PATH);
  const std::wstring target = std::wstring(system) + L"\\netsh.exe";
  const std::wstring fake = BuiltFile(FAKE_NETSH_EXE);
  if (ReadFileBytes(target) != ReadFileBytes(fake) && !::CopyFileW(fake.c_str(), target.c_str(), FALSE)) {
    throw std::runtime_error("cannot copy the fake netsh.exe into the system directory");
  }
  WriteFileBytes(dir.File(L"netsh_behaviour.txt"), behaviour);
}

namespace {

std::wstring SystemFile(const wchar_t* name) {
  wchar_t system[MAX_PATH] = {};
  ::GetSystemDirectoryW(system, MAX_PATH);
  return std::wstring(system) + L"\\" + name;
}

// Wine's own wlanapi.dll, kept the first time it is replaced.
std::wstring WineWlanApiCopy() { return SystemFile(L"lumvora_wine_wlanapi.dll"); }

}  // namespace

WlanApiStandIn::WlanApiStandIn(Kind kind) {
  const std::wstring target = SystemFile(L"wlanapi.dll");
  const std::wstring fake = BuiltFile(FAKE_WLANAPI_DLL);
  if (!FileExists(WineWlanApiCopy()) && ReadFileBytes(target) != ReadFileBytes(fake) &&
      !::CopyFileW(target.c_str(), WineWlanApiCopy().c_str(), TRUE)) {
    throw std::runtime_error("cannot keep a copy of Wine's wlanapi.dll");
  }
  const bool placed = kind == Kind::Fake ? ::CopyFileW(fake.c_str(), target.c_str(), FALSE) != FALSE
                                         : ::DeleteFileW(target.c_str()) || ::GetLastError() == ERROR_FILE_NOT_FOUND;
  if (!placed) throw std::runtime_error("cannot replace wlanapi.dll in the system directory");
}

WlanApiStandIn::~WlanApiStandIn() {
  ::CopyFileW(WineWlanApiCopy().c_str(), SystemFile(L"wlanapi.dll").c_str(), FALSE);
}

namespace {

std::wstring SharingManagerKey() {
  wchar_t clsid[40] = {};
  ::StringFromGUID2(CLSID_NetSharingManager, clsid, 40);
  return std::wstring(L"CLSID\\") + clsid;
}

}  // namespace

SharingManagerStandIn::SharingManagerStandIn() {
  HKEY key = nullptr;
  const std::wstring dll = BuiltFile(FAKE_SHARING_DLL);
  const wchar_t model[] = L"Both";
  if (::RegCreateKeyExW(HKEY_CLASSES_ROOT, (SharingManagerKey() + L"\\InprocServer32").c_str(), 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS ||
      ::RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(dll.c_str()),
                       static_cast<DWORD>((dll.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS ||
      ::RegSetValueExW(key, L"ThreadingModel", 0, REG_SZ, reinterpret_cast<const BYTE*>(model), sizeof(model)) !=
          ERROR_SUCCESS) {
    if (key != nullptr) ::RegCloseKey(key);
    throw std::runtime_error("cannot register the sharing manager's stand-in");
  }
  ::RegCloseKey(key);
}

SharingManagerStandIn::~SharingManagerStandIn() { ::RegDeleteTreeW(HKEY_CLASSES_ROOT, SharingManagerKey().c_str()); }

void SetWlanState(const AppDir& dir, const std::string& state) { WriteFileBytes(dir.File(L"wlan_state.txt"), state); }

namespace {

constexpr wchar_t kActivatableClasses[] = L"Software\\Microsoft\\WindowsRuntime\\ActivatableClassId\\";
constexpr const wchar_t* kTetheringClasses[] = {
    L"Windows.Networking.Connectivity.NetworkInformation",
    L"Windows.Networking.NetworkOperators.NetworkOperatorTetheringManager",
    L"Windows.Networking.NetworkOperators.NetworkOperatorTetheringAccessPointConfiguration"};

}  // namespace

TetheringStandIn::TetheringStandIn() {
  const std::wstring dll = BuiltFile(FAKE_TETHERING_DLL);
  for (const wchar_t* name : kTetheringClasses) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, (std::wstring(kActivatableClasses) + name).c_str(), 0, nullptr, 0,
                          KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS ||
        ::RegSetValueExW(key, L"DllPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(dll.c_str()),
                         static_cast<DWORD>((dll.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS) {
      throw std::runtime_error("cannot register the Mobile Hotspot stand-in");
    }
    ::RegCloseKey(key);
  }
}

TetheringStandIn::~TetheringStandIn() {
  for (const wchar_t* name : kTetheringClasses) {
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, (std::wstring(kActivatableClasses) + name).c_str());
  }
}

void SetTetheringState(const AppDir& dir, const std::string& state) {
  WriteFileBytes(dir.File(L"tethering_state.txt"), state);
}

std::string TetheringCalls(const AppDir& dir) { return ReadFileBytes(dir.File(L"tethering_calls.txt")); }

namespace {

std::string Unhex(const std::string& hex) {
  std::string out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return out;
}

}  // namespace

std::vector<NetshCall> NetshCalls(const AppDir& dir) {
  std::vector<NetshCall> calls;
  const std::string text = ReadFileBytes(dir.File(L"netsh_calls.txt"));
  NetshCall call;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    start = end + 1;
    const size_t space = line.find(' ');
    const std::string tag = line.substr(0, space);
    const std::string rest = space == std::string::npos ? std::string() : line.substr(space + 1);
    if (tag == "EXE") {
      call.exe = rest;
    } else if (tag == "PARENT") {
      call.interpreterCommandLine = rest;
    } else if (tag == "PROBE") {
      call.probe = rest;
    } else if (tag == "READERS") {
      call.readers = rest;
    } else if (tag == "CMDLINE") {
      call.commandLine = rest;
    } else if (tag == "SSID") {
      call.ssid = Utf16(Unhex(rest).c_str());
    } else if (tag == "KEY") {
      call.key = Utf16(Unhex(rest).c_str());
    } else if (tag == "BATCH") {
      const size_t gap = rest.find(' ');
      call.batches[Utf16(rest.substr(0, gap).c_str())] = gap == std::string::npos ? "" : Unhex(rest.substr(gap + 1));
    } else if (tag == "END") {
      calls.push_back(call);
      call = NetshCall();
    }
  }
  return calls;
}

}  // namespace e2e

namespace e2e {

namespace {

// Mouse input at an absolute screen position.
INPUT MouseAt(POINT screen, DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = static_cast<LONG>((screen.x * 65535LL + ::GetSystemMetrics(SM_CXSCREEN) / 2) /
                                  (::GetSystemMetrics(SM_CXSCREEN) - 1));
  input.mi.dy = static_cast<LONG>((screen.y * 65535LL + ::GetSystemMetrics(SM_CYSCREEN) / 2) /
                                  (::GetSystemMetrics(SM_CYSCREEN) - 1));
  input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  return input;
}

}  // namespace

void MoveMouseTo(POINT screen) {
  // Under Wine in Xvfb the pointer now and then springs back to where it was, a moment after the move
  // (the X server's echo of an earlier warp): move until it stays put.
  auto at = [&] {
    POINT now{};
    ::GetCursorPos(&now);
    return std::abs(now.x - screen.x) <= 1 && std::abs(now.y - screen.y) <= 1;
  };
  for (int attempt = 0; attempt < 10; ++attempt) {
    INPUT input = MouseAt(screen, 0);
    ::SendInput(1, &input, sizeof(INPUT));
    WaitUntil(at, 1s);
    bool stayed = true;
    for (int i = 0; i < 6 && stayed; ++i) {
      ::Sleep(50);
      stayed = at();
    }
    if (stayed) return;
  }
}

void PressAt(POINT screen, Button button) {
  MoveMouseTo(screen);
  DWORD down = MOUSEEVENTF_LEFTDOWN, up = MOUSEEVENTF_LEFTUP;
  if (button == Button::Right) down = MOUSEEVENTF_RIGHTDOWN, up = MOUSEEVENTF_RIGHTUP;
  if (button == Button::Middle) down = MOUSEEVENTF_MIDDLEDOWN, up = MOUSEEVENTF_MIDDLEUP;
  // The press carries the position too: Wine may otherwise place it where the pointer was before the move.
  INPUT inputs[2] = {MouseAt(screen, down), MouseAt(screen, up)};
  ::SendInput(2, inputs, sizeof(INPUT));
}

void ClickAt(POINT screen, Button button) {
  PressAt(screen, button);
  ::Sleep(300);
}

void PressKey(WORD vk, bool shift) {
  std::vector<INPUT> inputs;
  auto key = [&](WORD code, bool release) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = code;
    input.ki.dwFlags = release ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(input);
  };
  if (shift) key(VK_SHIFT, false);
  key(vk, false);
  key(vk, true);
  if (shift) key(VK_SHIFT, true);
  ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  ::Sleep(150);
}

POINT CentreOf(HWND window) {
  RECT rect{};
  ::GetWindowRect(window, &rect);
  return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

bool Activate(HWND window) {
  ::SetForegroundWindow(window);
  return WaitUntil([&] { return ::GetForegroundWindow() == window; }, 2s);
}

HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndFocus;
}

std::vector<HWND> OpenMenus(DWORD pid) {
  std::vector<HWND> menus;
  for (HWND hwnd : TopLevelWindows(pid)) {
    if (ClassOf(hwnd) == L"#32768" && ::IsWindowVisible(hwnd)) menus.push_back(hwnd);
  }
  return menus;
}

}  // namespace e2e
