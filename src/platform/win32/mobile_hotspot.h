// Windows' Mobile Hotspot through the Windows runtime (Windows 10 and later), loaded on first use from
// combase.dll (platform/win32/com.h). Each call runs in the multithreaded apartment on a thread of its own;
// the caller waits for it at most kMobileHotspotTimeLimit.
#pragma once

#include <chrono>
#include <string>

#include "platform/mobile_hotspot.h"
#include "platform/win32/tethering_manager.h"

namespace lumvora::win32 {

inline constexpr std::chrono::milliseconds kMobileHotspotTimeLimit{30000};

class Win32MobileHotspot : public MobileHotspot {
 public:
  // limit: how long the caller waits for each call (a build for the tests shortens it).
  explicit Win32MobileHotspot(std::chrono::milliseconds limit = kMobileHotspotTimeLimit) : calls_(limit) {}
  bool Available() override;
  MobileHotspotResult Configure(const std::wstring& ssid, const std::wstring& passphrase) override;
  MobileHotspotResult Start() override;
  MobileHotspotResult Stop() override;
  MobileHotspotResult Query() override;
  bool WaitForOutstanding(std::chrono::milliseconds limit) override;

 private:
  MobileHotspotResult RunCall(int call, const std::wstring& ssid = {}, const std::wstring& passphrase = {});

  // Only the command's worker calls in, one command at a time.
  TetheringCalls calls_;
};

}  // namespace lumvora::win32
