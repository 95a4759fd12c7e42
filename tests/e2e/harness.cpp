#include "e2e/harness.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace e2e {

std::wstring Utf16(const char* utf8) {
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8, -1, out.data(), n);
  out.resize(static_cast<size_t>(n > 0 ? n - 1 : 0));
  return out;
}

std::wstring LumvoraExe() {
  // The build passes the exe's path as the build machine sees it; under Wine a Unix path lies on Z:.
  std::wstring path = Utf16(LUMVORA_EXE);
  if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  return path;
}

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
  ::RemoveDirectoryW(path_.c_str());
}

App::App(const std::wstring& exe, const std::wstring& currentDirectory) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  std::wstring commandLine = L"\"" + exe + L"\"";
  std::wstring directory = currentDirectory;
  if (directory.empty()) directory = exe.substr(0, exe.find_last_of(L'\\'));
  if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, directory.c_str(),
                        &startup, &info)) {
    throw std::runtime_error("cannot start Lumvora.exe");
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

HWND App::MainWindow() const {
  for (HWND hwnd : TopLevelWindows(pid_)) {
    if (ClassOf(hwnd) == L"LumvoraForm1") return hwnd;
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

namespace {

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
  const auto icon = reinterpret_cast<HICON>(result);
  // Wine keeps the icon control of a box without icon, visible but empty.
  if (icon == nullptr) return BoxIcon::None;
  // The system's shared icons are the same handles in every process.
  if (icon == ::LoadIconW(nullptr, IDI_INFORMATION)) return BoxIcon::Information;
  if (icon == ::LoadIconW(nullptr, IDI_WARNING)) return BoxIcon::Warning;
  if (icon == ::LoadIconW(nullptr, IDI_ERROR)) return BoxIcon::Error;
  return BoxIcon::Unknown;
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
  wchar_t dir[MAX_PATH] = {};
  if (::GetEnvironmentVariableW(L"LUMVORA_SCREENSHOTS", dir, MAX_PATH) == 0) return;
  std::wstring directory = dir;
  if (!directory.empty() && directory[0] == L'/') directory = L"Z:" + directory;
  ::CreateDirectoryW(directory.c_str(), nullptr);
  ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
  ::Sleep(200);
  RECT rect{};
  ::GetWindowRect(window, &rect);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return;

  const HDC screen = ::GetDC(nullptr);
  const HDC memory = ::CreateCompatibleDC(screen);
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = width;
  bmi.bmiHeader.biHeight = height;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 24;
  bmi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const HBITMAP bitmap = ::CreateDIBSection(screen, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ old = ::SelectObject(memory, bitmap);
  ::BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  ::GdiFlush();
  const DWORD stride = static_cast<DWORD>((width * 3 + 3) & ~3);
  const DWORD imageSize = stride * static_cast<DWORD>(height);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  file.bfSize = file.bfOffBits + imageSize;
  bmi.bmiHeader.biSizeImage = imageSize;
  std::ofstream out((directory + L"\\" + name + L".bmp").c_str(), std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof(file));
  out.write(reinterpret_cast<const char*>(&bmi.bmiHeader), sizeof(BITMAPINFOHEADER));
  out.write(static_cast<const char*>(bits), imageSize);
  ::SelectObject(memory, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
}

}  // namespace e2e
