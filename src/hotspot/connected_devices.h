// The rows of the connected-devices list: the hosted network's peers, or the Mobile Hotspot's clients.
#pragma once

#include <string>
#include <vector>

#include "platform/hotspot_status.h"

namespace lumvora {

extern const wchar_t kUnknownDeviceName[];

// AA-BB-CC-DD-EE-FF, as Windows' own lists show it.
std::wstring MacText(const MacAddress& mac);

struct DeviceRow {
  std::wstring name, ip, mac;
  bool operator==(const DeviceRow&) const = default;
};

// One row per peer, in the peers' order: its IPv4 address where the neighbour table has one, else IPv6.
std::vector<DeviceRow> HostedNetworkDevices(const std::vector<MacAddress>& peers,
                                            const std::vector<NeighbourEntry>& neighbours);

// One row per client: its first domain name, its first IPv4 (else IPv6) address, its MAC in the form above.
std::vector<DeviceRow> TetheringClientDevices(const std::vector<TetheringClientEntry>& clients);

}  // namespace lumvora
