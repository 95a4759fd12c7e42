#include "app/hotspot_status_controller.h"

#include <memory>

namespace lumvora {

HotspotStatusContent ContentFor(const HotspotStatusLines& lines) {
  HotspotStatusContent content{lines.state, lines.name, lines.key, lines.shared, lines.devicesHeading,
                               lines.joinCode.size, lines.joinCode.dark, lines.codeHint, {}};
  for (const DeviceRow& row : lines.devices) content.devices.push_back({row.name, row.ip, row.mac});
  return content;
}

void HotspotStatusController::Open() {
  const bool wasOpen = view_.IsOpen();
  view_.Open();
  if (wasOpen) return;
  HotspotStatusContent reading;
  reading.state = kReadingStatusLine;
  view_.Show(reading);
  if (!reading_) StartReading();
}

void HotspotStatusController::OnStatusRefreshDue() {
  if (reading_ || !view_.IsOpen()) return;
  try {
    StartReading();
  } catch (const PlatformError&) {
    // No thread to be had just now: the window keeps what it shows and tries again later.
    view_.RefreshAfter(kStatusRefreshInterval);
  }
}

void HotspotStatusController::StartReading() {
  auto content = std::make_shared<HotspotStatusContent>();
  reading_ = true;
  try {
    // The worker reads only what stays put while it runs: the reader and the sharing capability.
    worker_.Start(
        [this, content] {
          try {
            const HotspotStatus status = ReadHotspotStatus(reader_, sharing_);
            *content = ContentFor(DescribeHotspotStatus(
                status, [this](const std::vector<std::uint8_t>& bytes) { return reader_.FromAnsiCodePage(bytes); }));
          } catch (const std::exception&) {
            // Out of memory, in practice: the window keeps what it shows.
            content->state.clear();
          }
        },
        [this, content] { OnRead(*content); });
  } catch (const PlatformError&) {
    reading_ = false;
    throw;
  }
}

void HotspotStatusController::OnRead(const HotspotStatusContent& content) {
  reading_ = false;
  if (!view_.IsOpen()) return;
  if (!content.state.empty()) view_.Show(content);
  view_.RefreshAfter(kStatusRefreshInterval);
}

}  // namespace lumvora
