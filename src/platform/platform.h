// What every part of the program's logic shares about reaching Windows: how a failed operation is reported
// and how a message box looks. The operations themselves are cut along their callers:
// session_operations.h (the main window's logic), help_files.h (help delivery), command_operations.h (the
// hotspot command), and one interface per further capability (worker.h, connection_sharing.h,
// mobile_hotspot.h). The Win32 layer (platform/win32/) implements them; the unit tests fake each one they
// touch. Nothing here includes a Windows header.
#pragma once

#include <stdexcept>
#include <string>

namespace lumvora {

// The program's name: the main window's title and every box's caption.
inline constexpr wchar_t kAppTitle[] = L"Lumvora";

enum class MessageIcon { None, Information, Warning, Error };

// A platform operation that could not be carried out. It names the operation and the file or program it
// was working on and carries the system's own description of the error, so that the user can be told
// exactly what went wrong.
class PlatformError : public std::runtime_error {
 public:
  PlatformError(std::wstring operation, std::wstring subject, std::wstring systemText)
      : std::runtime_error("platform operation failed"),
        operation_(std::move(operation)),
        subject_(std::move(subject)),
        systemText_(std::move(systemText)) {}

  const std::wstring& Operation() const { return operation_; }
  const std::wstring& Subject() const { return subject_; }
  const std::wstring& SystemText() const { return systemText_; }

 private:
  std::wstring operation_;
  std::wstring subject_;
  std::wstring systemText_;
};

}  // namespace lumvora
