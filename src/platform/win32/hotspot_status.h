// What the status window reads, on Win32: the hosted network through the wireless API (hosted_network.h),
// the neighbour table of its adapter through the IP helper, and the Mobile Hotspot through the Windows
// runtime (tethering_manager.h). Everything is loaded on first use, never at start-up; only the status
// window's worker calls in.
#pragma once

#include <chrono>

#include "platform/hotspot_status.h"
#include "platform/win32/hosted_network.h"
#include "platform/win32/tethering_manager.h"

namespace lumvora::win32 {

// How long a refresh waits for the Mobile Hotspot: the window keeps what it showed meanwhile.
inline constexpr std::chrono::milliseconds kStatusMobileHotspotTimeLimit{10000};

class Win32HotspotStatus : public HotspotStatusReader {
 public:
  Win32HotspotStatus() : tethering_(kStatusMobileHotspotTimeLimit) {}
  HostedNetworkReading ReadHostedNetwork() override;
  bool MobileHotspotAvailable() override { return tethering_.Available(); }
  MobileHotspotResult ReadMobileHotspot() override;
  std::wstring FromAnsiCodePage(const std::vector<std::uint8_t>& bytes) override;

 private:
  HostedNetworkQuery hosted_;
  TetheringCalls tethering_;
};

}  // namespace lumvora::win32
