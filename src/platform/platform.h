// The operations through which the program's logic reaches Windows. The Win32 layer implements them; the
// unit tests implement them with recording fakes. Nothing here includes a Windows header.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace lumvora {

enum class MessageIcon { None, Information, Warning, Error };

// How a started process shows its window. Both states activate the window.
enum class ShowState { MinimizedActive, NormalActive };

struct Version {
  std::uint16_t major = 0;
  std::uint16_t minor = 0;
  std::uint16_t revision = 0;
};

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

// A file held open for reading: while the lock lives, anyone may read the file and nobody may change it.
class ReadLock {
 public:
  virtual ~ReadLock() = default;
};

// A file being written one byte at a time. Each byte goes at the current position, in order.
class ByteWriter {
 public:
  virtual ~ByteWriter() = default;
  virtual void Write(std::uint8_t byte) = 0;
  // Flushes and closes; a failure to do so is reported here, not lost in a destructor.
  virtual void Close() = 0;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // Modal: returns once the user has pressed OK. An empty caption means the application title.
  virtual void ShowMessage(const std::wstring& text, MessageIcon icon, const std::wstring& caption) = 0;
  // Starts the program at its full path (never looked for anywhere) with the command line, and returns at
  // once.
  virtual void StartProcess(const std::wstring& programPath, const std::wstring& commandLine, ShowState show) = 0;
  // Runs the batch file with the system's command interpreter, its window minimized, and captures what it
  // prints. The interpreter's current directory is the system directory, so that a bare command name in the
  // batch file means the system's own program, never one that lies beside the batch file. Waits at most
  // the time limit (on the command's worker thread, never the window's); then the interpreter is ended,
  // with every program that it started. Whatever ends this program ends them too.
  virtual CommandResult RunBatchFile(const std::wstring& batchPath, std::chrono::milliseconds timeLimit) = 0;
  // ending true: the session ends; the command that runs is ended now, as at its time limit, and no later
  // one starts. false: the end was called off, and commands run again. Safe to call from any thread.
  virtual void EndCommands(bool ending) = 0;
  // Asks Windows for its hosted network's state. Loads the wireless API on first use, never at start-up.
  virtual HostedNetworkState QueryHostedNetwork() = 0;
  // Whether this process runs with administrator rights (elevated); true where that cannot be told.
  virtual bool Elevated() = 0;
  // Whether the code page that the command interpreter reads batch files in has an exact counterpart for
  // every character of the text.
  virtual bool RepresentableInBatchFile(const std::wstring& text) = 0;
  // Writes the batch file anew (whatever lay at the path is removed first, never written through) in the
  // code page that the command interpreter reads it in, the line followed by CR LF, and holds it (see
  // HeldFile). A line with a character that the code page cannot represent is refused, never written with a
  // substitute. The file is read back through the held handle: a file that no longer holds what was written
  // is a failure.
  virtual std::unique_ptr<HeldFile> WriteHeldTextFile(const std::wstring& path, const std::wstring& line) = 0;
  // Opens the file itself (not what a link at the path points to) so that anyone may read it but nobody may
  // write, rename, replace or delete it, and reads it through that handle. Returns the lock, to keep for as
  // long as the file must stay as it is, when the file holds exactly these bytes; nothing when it holds
  // others or cannot be opened so.
  virtual std::unique_ptr<ReadLock> HoldIfIdentical(const std::wstring& path,
                                                    const std::vector<std::uint8_t>& bytes) = 0;
  // Creates the file new for writing bytes; fails when anything lies at the path already, so that nothing
  // is ever written through a link planted there.
  virtual std::unique_ptr<ByteWriter> WriteFileBytes(const std::wstring& path) = 0;
  // Renames a file, replacing one of the new name.
  virtual void RenameFile(const std::wstring& from, const std::wstring& to) = 0;
  // The file is gone on return (a file that was not there counts as gone).
  virtual void DeleteFile(const std::wstring& path) = 0;
  // True for an existing file that is neither hidden nor a system file.
  virtual bool FileExists(const std::wstring& path) = 0;
  virtual std::vector<std::uint8_t> LoadResourceBytes(const std::wstring& type, int id) = 0;

  virtual std::wstring AppDirectory() = 0;
  // The system's Windows directory, where the help viewer lives (the same for every user, also on a Remote
  // Desktop host).
  virtual std::wstring WindowsDirectory() = 0;
  virtual Version VersionNumbers() = 0;
  virtual bool PreviousInstance() = 0;
  // Brings the main window of the instance that runs already to the front, restored if it was minimized.
  // Does nothing when that window cannot be seen.
  virtual void ShowPreviousInstance() = 0;

  // Ends the process at once: no further handler of any window runs. Never returns.
  [[noreturn]] virtual void EndProcess() = 0;
};

}  // namespace lumvora
