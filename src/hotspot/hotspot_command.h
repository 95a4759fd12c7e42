// A hotspot command's types: which operation, what it runs, and what came of it. The runner fills the
// outcome on the worker, the verdict and the Mobile Hotspot step judge it, and the controller shows the box.
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "hotspot/internet_sharing.h"
#include "platform/command_operations.h"
#include "platform/mobile_hotspot.h"

namespace lumvora {

inline constexpr std::chrono::milliseconds kCommandTimeLimit{60000};
// A sharing or Mobile Hotspot step that outlived its limit may still be running: the next command waits for
// it this long at most, and a close of the program this long.
inline constexpr std::chrono::milliseconds kPreviousStepWait{5000};
inline constexpr std::chrono::milliseconds kStepWaitAtClose{10000};
extern const wchar_t kPreviousStepRunningText[];

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
  // A step of an earlier command still runs: this one was not started.
  bool previousStepRunning = false;
  CommandResult command;
  HostedNetworkState network;
  bool elevated = true;
  // Start: the internet shared with the hotspot; close: sharing taken back. None where not tried.
  std::optional<SharingOutcome> sharing;
  // Where Windows' Mobile Hotspot stood in for a hosted network that the driver lacks: what it did.
  std::optional<MobileHotspotResult> mobileHotspot;
};

// The box that tells the user what a command did.
struct ResultBox {
  std::wstring text;
  MessageIcon icon = MessageIcon::None;
};

}  // namespace lumvora
