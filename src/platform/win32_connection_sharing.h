// Internet Connection Sharing through Windows' sharing manager (hnetcfg.dll's NetSharingManager class), and
// the route to the internet through the IP helper. Everything is loaded on first use, never at start-up.
#pragma once

#include "platform/win32_windows.h"

#include <string>

#include "platform/connection_sharing.h"

namespace lumvora::win32 {

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper case, as Windows writes adapter GUIDs.
std::wstring GuidText(const GUID& guid);

class Win32ConnectionSharing : public ConnectionSharing {
 public:
  // The work runs on a thread of its own, in the multithreaded apartment, whatever thread the caller is on;
  // each call may take many seconds while Windows starts its sharing service.
  bool Run(std::function<void(SharingSession&)> work, std::chrono::milliseconds limit) override;
};

}  // namespace lumvora::win32
