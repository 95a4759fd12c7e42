// The session and process operations that the main window's logic needs: its start-up, its boxes and its
// end. Nothing here includes a Windows header.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace lumvora {

struct Version {
  std::uint16_t major = 0;
  std::uint16_t minor = 0;
  std::uint16_t revision = 0;
};

class SessionOperations {
 public:
  virtual ~SessionOperations() = default;

  // Modal: returns once the user has pressed OK. An empty caption means the application title.
  virtual void ShowMessage(const std::wstring& text, MessageIcon icon, const std::wstring& caption) = 0;
  virtual std::wstring AppDirectory() = 0;
  virtual Version VersionNumbers() = 0;
  virtual bool PreviousInstance() = 0;
  // Brings the main window of the instance that runs already to the front, restored if it was minimized.
  // Does nothing when that window cannot be seen.
  virtual void ShowPreviousInstance() = 0;
  // ending true: the session ends; the command that runs is ended now, as at its time limit, and no later
  // one starts. false: the end was called off, and commands run again. Safe to call from any thread.
  virtual void EndCommands(bool ending) = 0;
  // The file is gone on return (a file that was not there counts as gone).
  virtual void DeleteFile(const std::wstring& path) = 0;
  // Ends the process at once: no further handler of any window runs. Never returns.
  [[noreturn]] virtual void EndProcess() = 0;
};

}  // namespace lumvora
