// Windows' Mobile Hotspot through the Windows runtime (Windows 10 and later). combase.dll is loaded from
// the system directory on first use, never at start-up, and its functions are taken by name: an exe that
// imported them would not start on Windows 7. Each call runs on a thread of its own in the multithreaded
// apartment; the caller waits for it at most kMobileHotspotTimeLimit.
#pragma once

#include <chrono>
#include <optional>

#include "platform/mobile_hotspot.h"

namespace lumvora::win32 {

inline constexpr std::chrono::milliseconds kMobileHotspotTimeLimit{30000};

class Win32MobileHotspot : public MobileHotspot {
 public:
  bool Available() override;
  MobileHotspotResult Configure(const std::wstring& ssid, const std::wstring& passphrase) override;
  MobileHotspotResult Start() override;
  MobileHotspotResult Stop() override;
  MobileHotspotResult Query() override;

 private:
  // Whether the classes are there does not change while the program runs: asked once. Only the command's
  // worker calls in, one command at a time.
  std::optional<bool> available_;
};

}  // namespace lumvora::win32
