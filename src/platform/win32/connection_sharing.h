// Internet Connection Sharing through Windows' sharing manager (hnetcfg.dll's NetSharingManager class), and
// the route to the internet through the IP helper. Everything is loaded on first use, never at start-up.
#pragma once

#include "platform/win32/windows_api.h"

#include "platform/connection_sharing.h"
#include "platform/win32/com.h"

namespace lumvora::win32 {

class Win32ConnectionSharing : public ConnectionSharing {
 public:
  // The work runs in the multithreaded apartment on a thread of its own, whatever thread the caller is on;
  // each call may take many seconds while Windows starts its sharing service.
  bool Run(std::function<void(SharingSession&)> work, std::chrono::milliseconds limit) override;
  bool WaitForOutstanding(std::chrono::milliseconds limit) override;

 private:
  MtaCalls calls_;
};

}  // namespace lumvora::win32
