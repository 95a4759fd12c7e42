// Carries out one hotspot command: a one-line batch file in the application directory, run by the command
// interpreter, waited for, deleted, and its real outcome put into words for the box.
#pragma once

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "hotspot/hotspot_command.h"
#include "hotspot/internet_sharing.h"
#include "platform/command_operations.h"
#include "platform/mobile_hotspot.h"

namespace lumvora {

inline constexpr size_t kMaxOutputLines = 20;
// A longer line (the interpreter may print back a whole over-long command line) is cut, so that the box
// stays within the screen.
inline constexpr size_t kMaxOutputLineLength = 160;
extern const wchar_t kTimedOutLine[];

// What the command printed, ready for a message box: lines joined with CR LF, trailing blank lines
// dropped, at most kMaxOutputLines lines of at most kMaxOutputLineLength characters ("…" marks a cut).
std::wstring FormatCommandOutput(const std::wstring& output);

class BatchCommandRunner {
 public:
  BatchCommandRunner(CommandOperations& command, ConnectionSharing& sharing, MobileHotspot& mobileHotspot,
                     std::chrono::milliseconds timeLimit)
      : command_(command), sharing_(sharing), mobileHotspot_(mobileHotspot), timeLimit_(timeLimit) {}

  // Writes the batch file, runs it, deletes it and asks Windows what became of the hosted network; where
  // the driver has none, Windows' Mobile Hotspot does the operation. Runs on the command's worker thread and
  // touches no window. Throws PlatformError when a platform operation fails; the batch file is not left
  // behind then.
  CommandOutcome Execute(const std::wstring& appDir, const HotspotOperation& operation);
  // The box that tells the user what the command did.
  static ResultBox Report(const HotspotOperation& operation, const CommandOutcome& outcome);
  // Waits, at most the time given, for sharing and Mobile Hotspot steps that outlived their limits; true
  // when none runs any more.
  bool StepsSettled(std::chrono::milliseconds limit);

 private:
  // A build for the tests shortens the command's limit, and the steps' with it.
  std::chrono::milliseconds StepLimit() const { return std::min(kSharingTimeLimit, timeLimit_); }

  // What a start shared, so that the close takes back exactly that: the hosted network's adapter then (its
  // state may name none by the close) and the user's own pair that made way.
  struct Shared {
    std::wstring hostedGuid;
    std::vector<NetworkConnection> moved;
  };

  CommandOperations& command_;
  ConnectionSharing& sharing_;
  MobileHotspot& mobileHotspot_;
  std::chrono::milliseconds timeLimit_;
  // Only the worker touches it, one command at a time.
  std::optional<Shared> shared_;
};

}  // namespace lumvora
