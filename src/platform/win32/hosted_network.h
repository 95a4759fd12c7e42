// The hosted network's state from the Native Wifi API (wlanapi.dll, loaded on first use): what the program
// checks a hotspot command's outcome against, and what the status window shows.
#pragma once

#include "platform/win32/windows_api.h"

#include <optional>

#include "platform/command_operations.h"
#include "platform/hotspot_status.h"
#include "platform/win32/wlan.h"

namespace lumvora::win32 {

// The functions of wlanapi.dll that tell the hosted network's state.
struct WlanFunctions {
  wlan::OpenHandleFn openHandle;
  wlan::CloseHandleFn closeHandle;
  wlan::EnumInterfacesFn enumInterfaces;
  wlan::QueryInterfaceFn queryInterface;
  wlan::HostedNetworkQueryStatusFn hostedNetworkQueryStatus;
  wlan::HostedNetworkQueryPropertyFn hostedNetworkQueryProperty;
  wlan::FreeMemoryFn freeMemory;
  // Only the status window asks for the key: where it is missing, the key is not known.
  wlan::HostedNetworkQuerySecondaryKeyFn hostedNetworkQuerySecondaryKey;
};

// What the status window reads beside the state, through the same client handle.
struct HostedNetworkDetails {
  std::optional<GUID> adapter;  // the hosted network's adapter, where its status names one
  std::vector<MacAddress> peers;
  std::optional<std::string> passphrase;
};

// wlanapi.dll from the system directory with all of those functions, or nothing. The module stays loaded.
std::optional<WlanFunctions> LoadWlanFunctions();

// What the API says of the hosted network, as the program's logic sees it; with details, also its adapter,
// its peers (while it is active) and its key.
HostedNetworkState QueryHostedNetworkWith(const WlanFunctions& api, HostedNetworkDetails* details = nullptr);

// CommandOperations::QueryHostedNetwork: loads the API on the first query, never at start-up.
class HostedNetworkQuery {
 public:
  HostedNetworkState Query(HostedNetworkDetails* details = nullptr);

 private:
  bool loaded_ = false;
  std::optional<WlanFunctions> wlan_;
};

}  // namespace lumvora::win32
