// Carries out one hotspot command: a one-line batch file in the application directory, run by the command
// interpreter, waited for, deleted, and its real outcome shown to the user.
#pragma once

#include <chrono>
#include <string>

#include "hotspot/internet_sharing.h"
#include "platform/mobile_hotspot.h"
#include "platform/platform.h"

namespace lumvora {

inline constexpr std::chrono::milliseconds kCommandTimeLimit{60000};
inline constexpr size_t kMaxOutputLines = 20;
// A longer line (the interpreter may print back a whole over-long command line) is cut, so that the box
// stays within the screen.
inline constexpr size_t kMaxOutputLineLength = 160;
extern const wchar_t kTimedOutLine[];

enum class HotspotKind { Create, Start, Close };

struct HotspotOperation {
  HotspotKind kind;
  std::wstring commandLine;
  const wchar_t* fileName;      // bare name, in the application directory
  const wchar_t* confirmation;  // shown when the command succeeded
  const wchar_t* failure;       // first line of the box when it did not
  std::wstring ssid, key;       // as typed, for create
};

// What a command did, and what Windows said of its hosted network afterwards.
struct CommandOutcome {
  CommandResult command;
  HostedNetworkState network;
  bool elevated = true;
  // Start: the internet shared with the hotspot; close: sharing taken back. None where not tried.
  std::optional<SharingOutcome> sharing;
  // Where Windows' Mobile Hotspot stood in for a hosted network that the driver lacks: what it did.
  std::optional<MobileHotspotResult> mobileHotspot;
};

// What the command printed, ready for a message box: lines joined with CR LF, trailing blank lines
// dropped, at most kMaxOutputLines lines of at most kMaxOutputLineLength characters ("…" marks a cut).
std::wstring FormatCommandOutput(const std::wstring& output);

class BatchCommandRunner {
 public:
  // Without a sharing object the internet connection is never shared; without a Mobile Hotspot object it
  // never stands in.
  BatchCommandRunner(Platform& platform, std::chrono::milliseconds timeLimit = kCommandTimeLimit,
                     ConnectionSharing* sharing = nullptr, MobileHotspot* mobileHotspot = nullptr)
      : platform_(platform), timeLimit_(timeLimit), sharing_(sharing), mobileHotspot_(mobileHotspot) {}

  // Writes the batch file, runs it, deletes it and asks Windows what became of the hosted network; where
  // the driver has none, Windows' Mobile Hotspot does the operation. Runs on the command's worker thread and
  // touches no window. Throws PlatformError when a platform operation fails; the batch file is not left
  // behind then.
  CommandOutcome Execute(const std::wstring& appDir, const HotspotOperation& operation);
  // Tells the user what the command did. On the window's thread.
  void Report(const HotspotOperation& operation, const CommandOutcome& outcome);

 private:
  Platform& platform_;
  std::chrono::milliseconds timeLimit_;
  ConnectionSharing* sharing_;
  MobileHotspot* mobileHotspot_;
};

}  // namespace lumvora
