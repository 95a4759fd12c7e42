#include "platform/win32/win32_platform.h"

#include <vector>

#include "platform/win32/system_library.h"

namespace lumvora::win32 {

std::wstring DirectoryOfPath(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return std::wstring();
  std::wstring directory = path.substr(0, slash);
  // "C:" alone would mean the current directory of drive C, not its root.
  if (directory.size() == 2 && directory[1] == L':') directory += L'\\';
  return directory;
}

std::wstring ModulePath(HMODULE module) {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) {
      throw PlatformError(L"确定程序所在的目录", L"Lumvora.exe", SystemErrorText(::GetLastError()));
    }
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    buffer.resize(buffer.size() * 2);  // truncated: long paths exceed MAX_PATH
  }
}

const VS_FIXEDFILEINFO* FindFixedFileInfo(const std::uint8_t* data, size_t size) {
  // The fixed part follows the block's header and its key "VS_VERSION_INFO" at a 32-bit boundary; its
  // signature marks it. Reading it here spares loading version.dll at every start for one lookup.
  for (size_t offset = 0; offset + sizeof(VS_FIXEDFILEINFO) <= size; offset += 4) {
    const auto* candidate = reinterpret_cast<const VS_FIXEDFILEINFO*>(data + offset);
    if (candidate->dwSignature == 0xFEEF04BD) return candidate;
  }
  return nullptr;
}

void Win32Platform::ShowMessage(const std::wstring& text, MessageIcon icon, const std::wstring& caption) {
  UINT type = MB_OK;
  switch (icon) {
    case MessageIcon::None: break;
    case MessageIcon::Information: type |= MB_ICONINFORMATION; break;
    case MessageIcon::Warning: type |= MB_ICONWARNING; break;
    case MessageIcon::Error: type |= MB_ICONERROR; break;
  }
  const HWND owner = (owner_ != nullptr && ::IsWindowVisible(owner_)) ? owner_ : nullptr;
  if (owner == nullptr) type |= MB_TASKMODAL;
  ::MessageBoxW(owner, text.c_str(), caption.empty() ? L"Lumvora" : caption.c_str(), type);
}

std::wstring Win32Platform::AppDirectory() { return DirectoryOfPath(ModulePath(nullptr)); }

std::span<const std::uint8_t> ResourceData(HMODULE module, const wchar_t* type, const wchar_t* name) {
  const HRSRC info = ::FindResourceW(module, name, type);
  if (info == nullptr) return {};
  const HGLOBAL loaded = ::LoadResource(module, info);
  const auto* data = loaded != nullptr ? static_cast<const std::uint8_t*>(::LockResource(loaded)) : nullptr;
  if (data == nullptr) return {};
  return {data, ::SizeofResource(module, info)};
}

Version Win32Platform::VersionNumbers() {
  auto fail = [](DWORD error) {
    return PlatformError(L"读取版本信息", ModulePath(nullptr), SystemErrorText(error));
  };
  const std::span<const std::uint8_t> data =
      ResourceData(instance_, MAKEINTRESOURCEW(16) /* RT_VERSION */, MAKEINTRESOURCEW(1));
  if (data.empty()) throw fail(::GetLastError());
  const VS_FIXEDFILEINFO* fixed = FindFixedFileInfo(data.data(), data.size());
  if (fixed == nullptr) throw fail(ERROR_RESOURCE_DATA_NOT_FOUND);
  // Major.minor.build.revision: the revision is the fourth number; the third is not used.
  return Version{HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionLS)};
}

bool Win32Platform::PreviousInstance() {
  if (instanceMutex_) return false;
  // Creating the mutex and learning that it existed is one atomic step, so two instances started at the
  // same moment cannot both believe they are first.
  UniqueKernelHandle mutex(::CreateMutexW(nullptr, FALSE, kInstanceMutexName));
  const DWORD error = ::GetLastError();
  if (!mutex) {
    // Another program holds an object of that name that is not a mutex, or one we may not open: either
    // way another instance is the likely owner.
    if (error == ERROR_ACCESS_DENIED) return true;
    throw PlatformError(L"检查程序是否已在运行", kInstanceMutexName, SystemErrorText(error));
  }
  if (error == ERROR_ALREADY_EXISTS) return true;
  instanceMutex_ = std::move(mutex);
  return false;
}

void Win32Platform::ShowPreviousInstance() {
  // The window of the class that is not this process's own (which exists, hidden, by now).
  HWND other = nullptr;
  for (HWND hwnd = nullptr; (hwnd = ::FindWindowExW(nullptr, hwnd, mainWindowClass_, nullptr)) != nullptr;) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    if (owner != ::GetCurrentProcessId()) other = hwnd;
  }
  // Hidden, it is writing out the help document behind the progress strip: showing it would break that.
  if (other == nullptr || !::IsWindowVisible(other)) return;
  if (::IsIconic(other)) ::ShowWindow(other, SW_RESTORE);
  // A box that the window shows is what must come forward, not the disabled window behind it.
  ::SetForegroundWindow(::GetLastActivePopup(other));
}

bool IsFullPath(const std::wstring& path) {
  const bool driveRoot = path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
  const bool share = path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\';
  return driveRoot || share;
}

void Win32Platform::StartProcess(const std::wstring& programPath, const std::wstring& commandLine, ShowState show) {
  // A bare or relative name would be looked for, in the exe's folder first, where anyone may put a file.
  if (!IsFullPath(programPath)) throw PlatformError(L"启动程序", programPath, L"程序没有以完整路径给出。");
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = show == ShowState::MinimizedActive ? SW_SHOWMINIMIZED : SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  // CreateProcess may write into the command line, so it gets a copy.
  std::wstring mutableLine = commandLine;
  if (!::CreateProcessW(programPath.c_str(), mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
    throw PlatformError(L"启动程序", programPath, SystemErrorText(::GetLastError()));
  }
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
}

std::wstring Win32Platform::WindowsDirectory() {
  wchar_t directory[MAX_PATH] = {};
  // Not GetWindowsDirectory: on a Remote Desktop host that gives a program that is not marked as aware
  // of it a folder of the user's own, without hh.exe.
  const UINT length = ::GetSystemWindowsDirectoryW(directory, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    throw PlatformError(L"确定 Windows 目录", L"hh.exe", SystemErrorText(::GetLastError()));
  }
  return std::wstring(directory, length);
}

std::vector<std::uint8_t> Win32Platform::LoadResourceBytes(const std::wstring& type, int id) {
  const std::span<const std::uint8_t> data = ResourceData(instance_, type.c_str(), MAKEINTRESOURCEW(id));
  if (data.empty()) {
    throw PlatformError(L"读取资源", type + L" " + std::to_wstring(id), SystemErrorText(::GetLastError()));
  }
  return std::vector<std::uint8_t>(data.begin(), data.end());
}

void Win32Platform::EndProcess() { ::ExitProcess(0); }

bool Win32Platform::Elevated() {
  // advapi32 is looked up rather than imported: the program needs it only when a command has failed.
  using OpenProcessTokenFn = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE*);
  using GetTokenInformationFn = BOOL(WINAPI*)(HANDLE, TOKEN_INFORMATION_CLASS, void*, DWORD, DWORD*);
  static const HMODULE advapi = LoadSystemLibrary(L"advapi32.dll");
  OpenProcessTokenFn openToken = nullptr;
  GetTokenInformationFn tokenInformation = nullptr;
  if (advapi == nullptr || !FindFunction(advapi, "OpenProcessToken", openToken) ||
      !FindFunction(advapi, "GetTokenInformation", tokenInformation)) {
    return true;
  }
  HANDLE token = nullptr;
  if (!openToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return true;
  const UniqueKernelHandle owned(token);
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  if (!tokenInformation(token, TokenElevation, &elevation, sizeof(elevation), &size)) return true;
  return elevation.TokenIsElevated != 0;
}

}  // namespace lumvora::win32
