// A batch file run by the system's command interpreter: in a job object with everything it starts, its
// output read through a pipe, ended at its time limit or when the session ends.
#pragma once

#include "platform/win32/windows_api.h"

#include <atomic>
#include <chrono>
#include <string>

#include "platform/command_operations.h"
#include "platform/win32/handles.h"

namespace lumvora::win32 {

// The full path of the system's command interpreter (cmd.exe in the system directory).
std::wstring CommandInterpreterPath();

// The interpreter's command line for a batch file: no AutoRun commands (/d), no echo of the line that holds
// the key (/q), and no delayed expansion (/V:OFF), which would expand "!" even inside quotes.
std::wstring InterpreterCommandLine(const std::wstring& interpreter, const std::wstring& batchPath);

// Text printed by a console program, in the OEM code page.
std::wstring FromOem(const std::string& bytes);

class BatchFileRunner {
 public:
  // CommandOperations::RunBatchFile.
  CommandResult Run(const std::wstring& batchPath, std::chrono::milliseconds timeLimit);
  // SessionOperations::EndCommands.
  void EndCommands(bool ending);
  // CommandOperations::SessionEnding.
  bool Ending() const;

 private:
  // Set while the session ends: the command that runs ends its interpreter at its next look (every 50 ms).
  // A flag of this object's own, not an event: a kernel object alive for the whole process can be signalled
  // by any code that holds its handle value, or name another object once that value is closed and reused,
  // and so end a command with neither its time limit nor the session's end.
  std::atomic<bool> commandsEnded_{false};
};

}  // namespace lumvora::win32
