// What a hotspot command needs of Windows: its batch file written and held, run by the command interpreter,
// and the hosted network's state read back. Nothing here includes a Windows header.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace lumvora {

// What a batch file run by the command interpreter did.
struct CommandResult {
  bool finished = false;         // false: still running when the time limit passed (it was ended)
  std::uint32_t exitCode = 0;    // the interpreter's exit code, when finished
  std::wstring output;           // standard output and error as printed, decoded from the OEM code page
};

enum class HostedNetworkStatus { Unavailable, Idle, Active };

// What Windows says of its hosted network, through its wireless API. Each field after the first three means
// something only where those three hold.
struct HostedNetworkState {
  bool apiPresent = false;       // the wireless API could be loaded and asked
  bool serviceRunning = false;   // the WLAN AutoConfig service answered
  bool answered = false;         // the hosted network's status and settings could be read
  bool interfacesFound = false;  // a wireless adapter is there and enabled
  bool radioOn = false;          // an adapter's radio is on, in software and hardware
  bool capable = false;          // an adapter's driver supports the hosted network
  bool allowed = false;          // the hosted network is allowed (mode=allow)
  HostedNetworkStatus status = HostedNetworkStatus::Unavailable;
  std::optional<std::vector<std::uint8_t>> ssid;  // the SSID that Windows keeps for it, where it says
  // The hosted network's virtual adapter ("{XXXXXXXX-XXXX-...}"), where Windows names it: only while the
  // hosted network is not unavailable.
  std::optional<std::wstring> hostedAdapterGuid;
};

// A file that the program wrote and holds open until it deletes it. Meanwhile anyone may read it, but
// nobody may write, rename, replace or delete it: a batch file is read again by the interpreter after each
// command, so whoever could change it while it runs could run anything with the user's rights.
class HeldFile {
 public:
  // A file dropped without Delete() (a run abandoned by an error) is still removed, as far as it can be.
  virtual ~HeldFile() = default;
  // Lets go of the file and deletes it; a failure is reported here.
  virtual void Delete() = 0;
};

class CommandOperations {
 public:
  virtual ~CommandOperations() = default;

  // Whether the code page that the command interpreter reads batch files in has an exact counterpart for
  // every character of the text.
  virtual bool RepresentableInBatchFile(const std::wstring& text) = 0;
  // Writes the batch file anew (whatever lay at the path is removed first, never written through) in the
  // code page that the command interpreter reads it in, the line followed by CR LF, and holds it (see
  // HeldFile). A line with a character that the code page cannot represent is refused, never written with a
  // substitute. The file is read back through the held handle: a file that no longer holds what was written
  // is a failure.
  virtual std::unique_ptr<HeldFile> WriteHeldTextFile(const std::wstring& path, const std::wstring& line) = 0;
  // Runs the batch file with the system's command interpreter, its window minimized, and captures what it
  // prints. The interpreter's current directory is the system directory, so that a bare command name in the
  // batch file means the system's own program, never one that lies beside the batch file. Waits at most
  // the time limit (on the command's worker thread, never the window's); then the interpreter is ended,
  // with every program that it started. Whatever ends this program ends them too.
  virtual CommandResult RunBatchFile(const std::wstring& batchPath, std::chrono::milliseconds timeLimit) = 0;
  // Whether the session ends (SessionOperations::EndCommands(true), not called off): no further step of a
  // command starts.
  virtual bool SessionEnding() = 0;
  // Asks Windows for its hosted network's state. Loads the wireless API on first use, never at start-up.
  virtual HostedNetworkState QueryHostedNetwork() = 0;
  // Whether this process runs with administrator rights (elevated); true where that cannot be told.
  virtual bool Elevated() = 0;
};

}  // namespace lumvora
