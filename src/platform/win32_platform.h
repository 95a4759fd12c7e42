// The platform operations on Win32. Every failure becomes a PlatformError carrying the system's own text.
#pragma once

#include "platform/win32_windows.h"

#include <optional>
#include <span>
#include <string>

#include "platform/platform.h"
#include "platform/win32_handles.h"
#include "platform/win32_wlan.h"

namespace lumvora::win32 {

// The system's description of a Win32 error code, without the trailing line break.
std::wstring SystemErrorText(DWORD error);

// Text in the given code page (a real number, not CP_ACP or CP_OEMCP), or nothing when a character has no
// exact counterpart there. Windows would otherwise put a "?" or a look-alike in its place without saying so.
std::optional<std::string> ToCodePage(const std::wstring& text, UINT codePage);

// The code page in which the command interpreter reads a batch file: its console's. The interpreter gets a
// console of its own, which starts in the OEM code page; that differs from the ANSI one on many systems
// (1251 / 866 in Russian, 1252 / 850 in Western Europe), and both are 65001 where Windows is set to UTF-8.
UINT BatchFileCodePage();

// The directory part of a module's full path: no trailing backslash, except at a drive root ("C:\").
std::wstring DirectoryOfPath(const std::wstring& path);

std::wstring ModulePath(HMODULE module);

// The system directory (System32, or what a 32-bit program on 64-bit Windows sees as such).
std::wstring SystemDirectory();

// The full path of the system's command interpreter (cmd.exe in the system directory).
std::wstring CommandInterpreterPath();

// The interpreter's command line for a batch file: no AutoRun commands (/d), no echo of the line that holds
// the key (/q), and no delayed expansion (/V:OFF), which would expand "!" even inside quotes.
std::wstring InterpreterCommandLine(const std::wstring& interpreter, const std::wstring& batchPath);

// Keeps DLLs that lie beside the exe or in the current directory out of every later library load. Called
// first thing at start-up.
void RestrictLibrarySearch();

// Loads a DLL from the system directory by its full path, never from anywhere else; null when it cannot.
HMODULE LoadSystemLibrary(const wchar_t* name);

// A function of a loaded DLL, taken by name into a pointer of its type; false where the module is null or
// lacks it. Functions that Windows 7 lacks, or that only some commands need, are looked up rather than
// imported, so that the exe starts everywhere and start-up loads nothing more.
template <typename Fn>
bool FindFunction(HMODULE module, const char* name, Fn& function) {
  function = module != nullptr ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)))
                               : nullptr;
  return function != nullptr;
}

// Text printed by a console program, in the OEM code page.
std::wstring FromOem(const std::string& bytes);

// The fixed part of a version resource (VS_VERSIONINFO), or null when the data holds none.
const VS_FIXEDFILEINFO* FindFixedFileInfo(const std::uint8_t* data, size_t size);

// A resource of the module, where the loaded image holds it; empty when it is missing.
std::span<const std::uint8_t> ResourceData(HMODULE module, const wchar_t* type, const wchar_t* name);

// Takes the lock on a batch file just written: open for reading only, sharing reading only, so that any
// reader may open it and nobody may write, rename, replace or delete it. Whoever could open the file between
// its writing and this point has had to let go, or the lock cannot be taken; what they may have written is
// caught by reading the file back. A failure to lock or a difference is a PlatformError, and the file is
// deleted.
UniqueFileHandle LockWrittenFile(const std::wstring& path, const std::string& expected);

// Whether a path names a file by its full path: from a drive root or a UNC share, never looked for.
bool IsFullPath(const std::wstring& path);

// The functions of wlanapi.dll that tell the hosted network's state.
struct WlanFunctions {
  wlan::OpenHandleFn openHandle;
  wlan::CloseHandleFn closeHandle;
  wlan::EnumInterfacesFn enumInterfaces;
  wlan::QueryInterfaceFn queryInterface;
  wlan::HostedNetworkQueryStatusFn hostedNetworkQueryStatus;
  wlan::HostedNetworkQueryPropertyFn hostedNetworkQueryProperty;
  wlan::FreeMemoryFn freeMemory;
};

// wlanapi.dll from the system directory with all of those functions, or nothing. The module stays loaded.
std::optional<WlanFunctions> LoadWlanFunctions();

// What the API says of the hosted network, as the program's logic sees it.
HostedNetworkState QueryHostedNetworkWith(const WlanFunctions& api);

// The name of the mutex that marks a running instance. Local to the logon session, as a user's own
// program is.
inline constexpr wchar_t kInstanceMutexName[] = L"Local\\Lumvora.SingleInstance.5b0e2c1a";

class Win32Platform : public Platform {
 public:
  explicit Win32Platform(HINSTANCE instance) : instance_(instance) {}

  // The window that owns message boxes while it is visible.
  void SetOwnerWindow(HWND owner) { owner_ = owner; }

  void ShowMessage(const std::wstring& text, MessageIcon icon, const std::wstring& caption) override;
  void StartProcess(const std::wstring& programPath, const std::wstring& commandLine, ShowState show) override;
  CommandResult RunBatchFile(const std::wstring& batchPath, std::chrono::milliseconds timeLimit) override;
  void EndCommands(bool ending) override;
  HostedNetworkState QueryHostedNetwork() override;
  bool Elevated() override;
  bool RepresentableInBatchFile(const std::wstring& text) override {
    return ToCodePage(text, BatchFileCodePage()).has_value();
  }
  std::unique_ptr<HeldFile> WriteHeldTextFile(const std::wstring& path, const std::wstring& line) override;
  std::unique_ptr<ReadLock> HoldIfIdentical(const std::wstring& path, const std::vector<std::uint8_t>& bytes) override;
  std::unique_ptr<ByteWriter> WriteFileBytes(const std::wstring& path) override;
  void DeleteFile(const std::wstring& path) override;
  void RenameFile(const std::wstring& from, const std::wstring& to) override;
  std::wstring WindowsDirectory() override;
  bool FileExists(const std::wstring& path) override;
  std::vector<std::uint8_t> LoadResourceBytes(const std::wstring& type, int id) override;
  std::wstring AppDirectory() override;
  Version VersionNumbers() override;
  bool PreviousInstance() override;
  void ShowPreviousInstance() override;
  [[noreturn]] void EndProcess() override;

 private:
  HINSTANCE instance_;
  HWND owner_ = nullptr;
  // Held for the life of the process: its existence is what a later instance sees.
  UniqueKernelHandle instanceMutex_;
  // Set while the session ends: the command that runs stops waiting and ends its interpreter.
  UniqueKernelHandle commandsEnded_{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  // Loaded on the first hotspot command, not at start-up.
  bool wlanLoaded_ = false;
  std::optional<WlanFunctions> wlan_;
};

}  // namespace lumvora::win32
