// The status window's logic: what it reads of Windows, and the lines it shows for a reading: the state,
// the name and the key as Windows holds them, the internet connection that is shared, the join code and
// the connected devices.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "hotspot/connected_devices.h"
#include "hotspot/join_code.h"
#include "platform/connection_sharing.h"
#include "platform/hotspot_status.h"

namespace lumvora {

extern const wchar_t kHostedNetworkOnLine[];
extern const wchar_t kMobileHotspotOnLine[];
extern const wchar_t kHotspotOffLine[];
extern const wchar_t kMobileHotspotNoAnswerLine[];
extern const wchar_t kReadingStatusLine[];
extern const wchar_t kNothingSharedLine[];
extern const wchar_t kScanHintLine[];
extern const wchar_t kNameNotForCodeLine[];

// How long a refresh waits for internet sharing's connections: the window shows the rest meanwhile.
inline constexpr std::chrono::milliseconds kStatusSharingTimeLimit{10000};

// Everything the status window shows comes from one reading.
struct HotspotStatus {
  HostedNetworkReading hosted;
  // Read where the Mobile Hotspot stands in for a driver without the hosted network, as for a command.
  std::optional<MobileHotspotResult> mobile;
  // Internet sharing's connections, read where the hosted network names its adapter; none where they could
  // not be read in time.
  std::optional<std::vector<NetworkConnection>> connections;
};

// Reads the hosted network, then the Mobile Hotspot or internet sharing where they matter.
HotspotStatus ReadHotspotStatus(HotspotStatusReader& reader, ConnectionSharing& sharing);

struct HotspotStatusLines {
  std::wstring state, name, key, shared, devicesHeading;
  // The WIFI: text (UTF-8) and its modules, while the hotspot is on and its key is known; else empty.
  std::string joinText;
  QrCodeModules joinCode;
  // Beside the code: how to use it; or, where the hotspot is on but its name cannot go into a code, why not.
  std::wstring codeHint;
  std::vector<DeviceRow> devices;
};

using AnsiDecoder = std::function<std::wstring(const std::vector<std::uint8_t>&)>;

// The SSID's bytes as text: UTF-8 where they are valid UTF-8, else the ANSI code page.
std::wstring SsidText(const std::vector<std::uint8_t>& bytes, const AnsiDecoder& ansi);

// The lines for a reading. The state is the first that holds of: the hosted network is active; the Mobile
// Hotspot is on; why the hotspot cannot be on (the boxes' plain causes); it is off.
HotspotStatusLines DescribeHotspotStatus(const HotspotStatus& status, const AnsiDecoder& ansi);

}  // namespace lumvora
