// The platform operations on Win32, for the three clients that need them. It only translates: the files,
// the batch run and the hosted network's state each have a file of their own, and every failure becomes a
// PlatformError carrying the system's own text.
#pragma once

#include "platform/win32/windows_api.h"

#include <span>
#include <string>

#include "platform/command_operations.h"
#include "platform/help_files.h"
#include "platform/session_operations.h"
#include "platform/win32/batch_run.h"
#include "platform/win32/files.h"
#include "platform/win32/handles.h"
#include "platform/win32/hosted_network.h"

namespace lumvora::win32 {

// The directory part of a module's full path: no trailing backslash, except at a drive root ("C:\").
std::wstring DirectoryOfPath(const std::wstring& path);

std::wstring ModulePath(HMODULE module);

// The fixed part of a version resource (VS_VERSIONINFO), or null when the data holds none.
const VS_FIXEDFILEINFO* FindFixedFileInfo(const std::uint8_t* data, size_t size);

// A resource of the module, where the loaded image holds it; empty when it is missing.
std::span<const std::uint8_t> ResourceData(HMODULE module, const wchar_t* type, const wchar_t* name);

// Whether a path names a file by its full path: from a drive root or a UNC share, never looked for.
bool IsFullPath(const std::wstring& path);

// The name of the mutex that marks a running instance. Local to the logon session, as a user's own
// program is.
inline constexpr wchar_t kInstanceMutexName[] = L"Local\\Lumvora.SingleInstance.5b0e2c1a";

class Win32Platform : public SessionOperations, public HelpFiles, public CommandOperations {
 public:
  // mainWindowClass: the class of the window that a second instance brings forward.
  Win32Platform(HINSTANCE instance, const wchar_t* mainWindowClass)
      : instance_(instance), mainWindowClass_(mainWindowClass) {}

  // The window that owns message boxes while it is visible.
  void SetOwnerWindow(HWND owner) { owner_ = owner; }

  // SessionOperations
  void ShowMessage(const std::wstring& text, MessageIcon icon, const std::wstring& caption) override;
  std::wstring AppDirectory() override;
  Version VersionNumbers() override;
  bool PreviousInstance() override;
  void ShowPreviousInstance() override;
  void EndCommands(bool ending) override { batchRuns_.EndCommands(ending); }
  // Also HelpFiles::DeleteFile.
  void DeleteFile(const std::wstring& path) override { RemoveFile(path); }
  [[noreturn]] void EndProcess() override;

  // HelpFiles
  std::vector<std::uint8_t> LoadResourceBytes(const std::wstring& type, int id) override;
  bool FileExists(const std::wstring& path) override { return win32::FileExists(path); }
  std::unique_ptr<ReadLock> HoldIfIdentical(const std::wstring& path, const std::vector<std::uint8_t>& bytes) override {
    return win32::HoldIfIdentical(path, bytes);
  }
  std::unique_ptr<ByteWriter> WriteFileBytes(const std::wstring& path) override { return win32::WriteFileBytes(path); }
  void RenameFile(const std::wstring& from, const std::wstring& to) override { win32::RenameFile(from, to); }
  std::wstring WindowsDirectory() override;
  void StartProcess(const std::wstring& programPath, const std::wstring& commandLine, ShowState show) override;

  // CommandOperations
  bool RepresentableInBatchFile(const std::wstring& text) override {
    return ToCodePage(text, BatchFileCodePage()).has_value();
  }
  std::unique_ptr<HeldFile> WriteHeldTextFile(const std::wstring& path, const std::wstring& line) override {
    return win32::WriteHeldTextFile(path, line);
  }
  CommandResult RunBatchFile(const std::wstring& batchPath, std::chrono::milliseconds timeLimit) override {
    return batchRuns_.Run(batchPath, timeLimit);
  }
  bool SessionEnding() override { return batchRuns_.Ending(); }
  HostedNetworkState QueryHostedNetwork() override { return hostedNetwork_.Query(); }
  bool Elevated() override;

 private:
  HINSTANCE instance_;
  const wchar_t* mainWindowClass_;
  HWND owner_ = nullptr;
  // Held for the life of the process: its existence is what a later instance sees.
  UniqueKernelHandle instanceMutex_;
  BatchFileRunner batchRuns_;
  HostedNetworkQuery hostedNetwork_;
};

}  // namespace lumvora::win32
