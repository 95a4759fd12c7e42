// The hosted network's state from the Native Wifi API (wlanapi.dll, loaded on first use): what the program
// checks a hotspot command's outcome against.
#pragma once

#include "platform/win32/windows_api.h"

#include <optional>

#include "platform/command_operations.h"
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
};

// wlanapi.dll from the system directory with all of those functions, or nothing. The module stays loaded.
std::optional<WlanFunctions> LoadWlanFunctions();

// What the API says of the hosted network, as the program's logic sees it.
HostedNetworkState QueryHostedNetworkWith(const WlanFunctions& api);

// CommandOperations::QueryHostedNetwork: loads the API on the first query, never at start-up.
class HostedNetworkQuery {
 public:
  HostedNetworkState Query();

 private:
  bool loaded_ = false;
  std::optional<WlanFunctions> wlan_;
};

}  // namespace lumvora::win32
